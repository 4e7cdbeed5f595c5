#include "app/CMainDialog.h"

#include "GuiTest.h"
#include "ui/COpenGLWnd.h"
#include "view/FlowView.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <sys/resource.h>

using namespace tvl;
using namespace tvl::test;

// Save Image and loading as a new user met them: the picture's viewport only,
// a failed write that leaves nothing behind and names its cause, and a data
// file of another grid that loads with a notice.
class FileFaultsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void saveImageWritesTheViewportOnly();
    void saveImageOnAFullDiskLeavesNoFile();
    void dataFileOfAnotherGridLoadsWithAHinweis();

private:
    bool openAndDraw();
    // Saves the current picture to path; the last prompt's detail, or empty.
    QString saveTo(const QString& path);
    QStringList folderEntries() const
    {
        return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    QTemporaryDir dir_;
    std::shared_ptr<FakeDialogs> dialogs_;
    std::unique_ptr<CMainDialog> window_;
    std::vector<bool> canvasesShownAtPrompt_;
};

void FileFaultsTest::init()
{
    QVERIFY2(dir_.isValid(), "no temporary folder");
    dialogs_ = std::make_shared<FakeDialogs>();
    window_ = std::make_unique<CMainDialog>(dialogs_);
    canvasesShownAtPrompt_.clear();
    dialogs_->onPrompt = [this](const FakeDialogs::Prompt&) {
        canvasesShownAtPrompt_.push_back(window_->canvas(0)->isVisible() || window_->canvas(1)->isVisible());
    };
    window_->show();
    QVERIFY2(QTest::qWaitForWindowExposed(window_.get()), "the main window never appeared");
}

void FileFaultsTest::cleanup()
{
    window_.reset();
    dialogs_.reset();
    for (const QString& name : folderEntries())
        QFile::remove(dir_.filePath(name));
}

bool FileFaultsTest::openAndDraw()
{
    const FlowFilePair pair = writeFlowPair(dir_, QStringLiteral("flow"), 1);
    if (!window_->openFiles(pair.grid, pair.data))
        return false;
    window_->arrowBox()->setChecked(true);
    window_->backgroundBox()->setChecked(true);
    window_->OnBnClickedDraw();
    // Only what a test saves is left in the folder.
    QFile::remove(pair.grid);
    QFile::remove(pair.data);
    return window_->currentCanvas()->hasPicture();
}

QString FileFaultsTest::saveTo(const QString& path)
{
    const int messages = dialogs_->count(QStringLiteral("message"));
    dialogs_->saveAnswers.push_back(path);
    window_->OnFileSaveImage();
    return dialogs_->count(QStringLiteral("message")) > messages ? dialogs_->prompts.back().detail : QString();
}

void FileFaultsTest::saveImageWritesTheViewportOnly()
{
    QVERIFY2(openAndDraw(), "a picture");
    COpenGLWnd* canvas = window_->currentCanvas();
    const QImage whole = canvas->picture();
    const QSize viewport(window_->view()->viewportWidth(), window_->view()->viewportHeight());
    QVERIFY2(viewport.height() < whole.height(), "the 4 : 3 flow must leave part of the canvas empty");

    QVERIFY2(saveTo(dir_.filePath(QStringLiteral("v.png"))).isNull(), "the save must succeed");
    const QImage written = QImage(dir_.filePath(QStringLiteral("v.png"))).convertToFormat(QImage::Format_RGB32);
    TVL_CHECK_EQ(written.size(), viewport, "the file holds the viewport");
    // The viewport is anchored at the canvas's bottom left.
    TVL_CHECK(written == whole.copy(0, whole.height() - viewport.height(), viewport.width(), viewport.height()),
        "the file holds the bottom left part of the picture");
}

void FileFaultsTest::saveImageOnAFullDiskLeavesNoFile()
{
    // A file size limit fails writes as a full disk does (with EFBIG instead
    // of ENOSPC), for every user root included, and needs no mount.
    QVERIFY2(openAndDraw(), "a picture");
    QVERIFY2(saveTo(dir_.filePath(QStringLiteral("fits.png"))).isNull(), "the save must succeed");
    constexpr rlim_t kLimit = 2048;
    QVERIFY2(QFileInfo(dir_.filePath(QStringLiteral("fits.png"))).size() > qint64(kLimit),
        "the picture must not fit under the limit");
    QFile old(dir_.filePath(QStringLiteral("full.png")));
    QVERIFY2(old.open(QIODevice::WriteOnly) && old.write("old") == 3, "an existing file");
    old.close();

    rlimit saved {};
    QVERIFY2(getrlimit(RLIMIT_FSIZE, &saved) == 0, "no file size limit to read");
    if (saved.rlim_max != RLIM_INFINITY && saved.rlim_max < kLimit)
        QSKIP("the file size limit is already below the test's");
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = kLimit;
    QVERIFY2(setrlimit(RLIMIT_FSIZE, &small) == 0, "cannot lower the file size limit");
    const QString detail = saveTo(dir_.filePath(QStringLiteral("full.png")));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    TVL_CHECK(!detail.isNull(), "a failed write must be reported");
    TVL_CHECK_EQ(dialogs_->prompts.back().text, QStringLiteral("Das Bild konnte nicht gespeichert werden."), "text");
    TVL_CHECK(detail.contains(QString::fromLocal8Bit(std::strerror(EFBIG))), "the system's cause: " + detail);
    TVL_CHECK(detail.contains(dir_.filePath(QStringLiteral("full.png"))), "the file's name: " + detail);
    TVL_CHECK_EQ(folderEntries(), (QStringList {QStringLiteral("fits.png"), QStringLiteral("full.png")}),
        "no broken picture or temporary file may stay");
    QVERIFY2(old.open(QIODevice::ReadOnly), "the existing file");
    TVL_CHECK_EQ(old.readAll(), QByteArray("old"), "the existing file must stay as it was");
    TVL_CHECK(!canvasesShownAtPrompt_.back(), "the canvases are hidden during the message");

    const QString missing = saveTo(dir_.filePath(QStringLiteral("no/such/folder/x.png")));
    TVL_CHECK(missing.contains(QString::fromLocal8Bit(std::strerror(ENOENT))), "the system's cause: " + missing);
}

void FileFaultsTest::dataFileOfAnotherGridLoadsWithAHinweis()
{
    // 32 × 24 nodes of 4 floats take 12288 bytes; the data file of a grid
    // with two values per node more takes 18432.
    const FlowFilePair small = writeFlowPair(dir_, QStringLiteral("small"), 1);
    const FlowFilePair other = writeFlowPair(dir_, QStringLiteral("other"), 3);
    QVERIFY2(window_->openFiles(small.grid, small.data), "the matching pair must load");
    TVL_CHECK_EQ(dialogs_->count(QStringLiteral("message")), 0, "no notice for a matching pair");

    QVERIFY2(window_->openFiles(small.grid, other.data), "a longer data file must still load");
    TVL_CHECK_EQ(dialogs_->count(QStringLiteral("message")), 1, "one notice");
    const FakeDialogs::Prompt& notice = dialogs_->prompts.back();
    TVL_CHECK_EQ(notice.caption, QStringLiteral("Hinweis"), "caption");
    TVL_CHECK(notice.text.contains(QStringLiteral("brauchen 12288 Bytes, die Datei hat 18432 Bytes")),
        "both sizes: " + notice.text);
    TVL_CHECK(!canvasesShownAtPrompt_.back(), "the canvases are hidden during the notice");
    TVL_CHECK(window_->windowTitle().endsWith(CMainDialog::kLoadedSuffix), "the data set is loaded");
}

TVL_GUI_TEST_MAIN(FileFaultsTest)
#include "FileFaultsTest.moc"
