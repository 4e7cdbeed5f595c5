#include "app/CMainDialog.h"

#include "FlowFiles.h"
#include "MainWindowTest.h"
#include "view/FlowView.h"

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
// as PNG or SVG; a failed write that leaves nothing behind and names its
// cause; a data file of another grid that loads with a notice.
class FileFaultsTest : public MainWindowTest {
    Q_OBJECT

private slots:
    void saveImageWritesTheViewportAsPngOrSvg();
    void saveImageOnAFullDiskLeavesNoFile();
    void dataFileOfAnotherGridLoadsWithAHinweis();

private:
    // Saves the current picture to name in the folder; the failure's detail, or a null string.
    QString saveTo(const QString& name)
    {
        const int messages = w_->dialogs->count(QStringLiteral("message"));
        w_->dialogs->saveAnswers.push_back(w_->dir.filePath(name));
        window_->OnFileSaveImage();
        return w_->dialogs->count(QStringLiteral("message")) > messages ? w_->lastPrompt().detail : QString();
    }
};

void FileFaultsTest::saveImageWritesTheViewportAsPngOrSvg()
{
    QVERIFY2(w_->open("flow", 1) && w_->draw(true, true, true), "a picture");
    const QImage whole = w_->picture();
    const QSize viewport(window_->view()->viewportWidth(), window_->view()->viewportHeight());
    QVERIFY2(viewport.height() < whole.height(), "the 4 : 3 flow must leave part of the canvas empty");
    QVERIFY2(saveTo("v").isNull(), "the save must succeed");
    // The viewport is anchored at the canvas's bottom left.
    TVL_CHECK(QImage(w_->dir.filePath("v.png")).convertToFormat(QImage::Format_RGB32)
            == whole.copy(0, whole.height() - viewport.height(), viewport.width(), viewport.height()),
        "the file, its suffix added, holds the bottom left part of the picture");

    window_->lineMarksAction()->trigger();
    QVERIFY2(saveTo("figure.svg").isNull(), "the SVG save must succeed");
    TVL_CHECK(w_->lastPrompt().filter.contains(QStringLiteral("SVG Image Files (*.svg)")), "SVG is offered");
    const std::string svg = test::readBytes(w_->dir.filePath("figure.svg").toStdString());
    TVL_CHECK(svg.starts_with("<?xml") && svg.find("class=\"direction-marks\"") != std::string::npos,
        "the shown picture with its marks, as SVG (the document itself is the vector picture's test)");
    // A new data set replaces what the picture showed: it can no longer be described.
    QVERIFY2(w_->open("other", 0), "the second flow should load");
    TVL_CHECK(!saveTo("stale.svg").isNull() && !QFile::exists(w_->dir.filePath("stale.svg")),
        "a stale picture is reported, not written");
}

void FileFaultsTest::saveImageOnAFullDiskLeavesNoFile()
{
    // A file size limit fails writes as a full disk does (with EFBIG instead
    // of ENOSPC), for every user root included, and needs no mount.
    QVERIFY2(w_->open("flow", 1) && w_->draw(true, false, true), "a picture");
    constexpr rlim_t kLimit = 2048;
    QVERIFY2(saveTo("fits.png").isNull() && QFileInfo(w_->dir.filePath("fits.png")).size() > qint64(kLimit),
        "the picture must save and not fit under the limit");
    QFile old(w_->dir.filePath("full.png"));
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
    const QString detail = saveTo("full.png");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    TVL_CHECK(w_->lastPrompt().text == QStringLiteral("Das Bild konnte nicht gespeichert werden.")
            && detail.contains(QString::fromLocal8Bit(std::strerror(EFBIG)))
            && detail.contains(w_->dir.filePath("full.png")),
        "the failure names the file and the system's cause: " + detail);
    TVL_CHECK_EQ(QDir(w_->dir.path()).entryList({"*.png*"}, QDir::Files | QDir::Hidden, QDir::Name),
        (QStringList {"fits.png", "full.png"}), "no broken picture or temporary file may stay");
    QVERIFY2(old.open(QIODevice::ReadOnly), "the existing file");
    TVL_CHECK_EQ(old.readAll(), QByteArray("old"), "the existing file must stay as it was");
    const QString missing = saveTo("no/such/folder/x.png");
    TVL_CHECK(missing.contains(QString::fromLocal8Bit(std::strerror(ENOENT))), "the system's cause: " + missing);
    TVL_CHECK(w_->hiddenForPrompts(), "the canvases are hidden during the messages");
}

void FileFaultsTest::dataFileOfAnotherGridLoadsWithAHinweis()
{
    // 32 × 24 nodes of 4 floats take 12288 bytes; the data file of a grid
    // with two values per node more takes 18432.
    const FlowFilePair small = writeFlowPair(w_->dir, QStringLiteral("small"), 1);
    const FlowFilePair other = writeFlowPair(w_->dir, QStringLiteral("other"), 3);
    QVERIFY2(w_->open(small) && w_->dialogs->prompts.size() == 2, "a matching pair loads without a notice");
    QVERIFY2(window_->openFiles(small.grid, other.data), "a longer data file must still load");
    TVL_CHECK(w_->lastPrompt().caption == QStringLiteral("Hinweis")
            && w_->lastPrompt().text.contains(QStringLiteral("brauchen 12288 Bytes, die Datei hat 18432 Bytes")),
        "one notice with both sizes: " + w_->lastPrompt().text);
    TVL_CHECK(w_->hiddenForPrompts() && window_->windowTitle().endsWith(CMainDialog::kLoadedSuffix),
        "the data set is loaded, the canvases were hidden for the notice");
}

TVL_GUI_TEST_MAIN(FileFaultsTest)
#include "FileFaultsTest.moc"
