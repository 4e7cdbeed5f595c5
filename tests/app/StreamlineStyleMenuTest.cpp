#include "app/CMainDialog.h"

#include "GuiTest.h"
#include "ui/COpenGLWnd.h"
#include "ui/CStreamlinePage.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QXmlStreamReader>

using namespace tvl;
using namespace tvl::test;

namespace {

int whitePixels(const QImage& image)
{
    return countPixels(image, [](QRgb p) { return isWhite(p); });
}

} // namespace

// The "Extras" menu's streamline items and Save Image as SVG, in the window.
class StreamlineStyleMenuTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void itemsRestyleTheCurrentCanvasAtOnceAndCanvasChoiceHandsThemOver();
    void handSeededStreamlinesAreRestyledToo();
    void saveImageWritesTheShownPictureAsSvg();

private:
    void openAndDraw(bool background);
    COpenGLWnd* canvas() const { return window_->currentCanvas(); }

    QTemporaryDir dir_;
    std::shared_ptr<FakeDialogs> dialogs_;
    std::unique_ptr<CMainDialog> window_;
};

void StreamlineStyleMenuTest::init()
{
    QVERIFY2(dir_.isValid(), "no temporary folder");
    dialogs_ = std::make_shared<FakeDialogs>();
    window_ = std::make_unique<CMainDialog>(dialogs_);
    window_->show();
    QVERIFY2(QTest::qWaitForWindowExposed(window_.get()), "the main window never appeared");
}

void StreamlineStyleMenuTest::cleanup()
{
    window_.reset();
    dialogs_.reset();
}

void StreamlineStyleMenuTest::openAndDraw(bool background)
{
    const FlowFilePair files = writeFlowPair(dir_, QStringLiteral("flow"), 1);
    QVERIFY2(window_->openFiles(files.grid, files.data), "the test flow should load");
    window_->streamlineBox()->setChecked(true);
    window_->backgroundBox()->setChecked(background);
    QTest::mouseClick(window_->drawButton(), Qt::LeftButton);
    QVERIFY2(canvas()->hasPicture(), "no picture after Draw");
}

void StreamlineStyleMenuTest::itemsRestyleTheCurrentCanvasAtOnceAndCanvasChoiceHandsThemOver()
{
    const QList<QAction*> menus = window_->menuBar()->actions();
    QVERIFY2(menus.size() == 3 && menus[1]->text() == QStringLiteral("Extras"), "File, Extras and Help");
    const QList<QAction*> items = menus[1]->menu()->actions();
    TVL_CHECK(items.contains(window_->lineMarksAction()) && items.contains(window_->lineColourAction()), "its items");
    TVL_CHECK_EQ(window_->lineMarksAction()->text(), QStringLiteral("Richtungspfeile auf Stromlinien"), "item text");
    TVL_CHECK_EQ(window_->lineColourAction()->text(), QStringLiteral("Stromlinien einfärben"), "item text");
    for (QAction* item : {window_->lineMarksAction(), window_->lineColourAction()})
        TVL_CHECK(item->isCheckable() && !item->isChecked(), "a check item, off at start");

    openAndDraw(false);
    const QImage plain = canvas()->picture();
    window_->lineMarksAction()->trigger();
    TVL_CHECK_EQ(canvas()->settings().lineStyle.markSpacing, StreamlineStyle::kDefaultMarkSpacing, "mark spacing");
    const QImage marked = canvas()->picture();
    TVL_CHECK(whitePixels(marked) > whitePixels(plain) + 100, "the marks show without another Draw");
    window_->lineColourAction()->trigger();
    TVL_CHECK(canvas()->settings().lineStyle.coloured, "the canvas colours its lines");
    TVL_CHECK(whitePixels(canvas()->picture()) < whitePixels(plain) / 4, "the coloured lines show at once");

    window_->canvas2Button()->click();
    TVL_CHECK(canvas() == window_->canvas(1), "canvas 2 is current");
    TVL_CHECK((canvas()->settings().lineStyle == StreamlineStyle {StreamlineStyle::kDefaultMarkSpacing, true}),
        "the canvas choice hands the style over");
    TVL_CHECK(!canvas()->hasPicture(), "and draws nothing");

    window_->canvas1Button()->click();
    window_->lineMarksAction()->trigger();
    window_->lineColourAction()->trigger();
    TVL_CHECK(canvas()->picture() == plain, "both items off draw the plain picture again");
}

void StreamlineStyleMenuTest::handSeededStreamlinesAreRestyledToo()
{
    openAndDraw(false);
    window_->streamlinePage()->manualButton()->click();
    QTest::mouseClick(window_->drawButton(), Qt::LeftButton);
    TVL_CHECK_EQ(whitePixels(canvas()->picture()), 0, "Manual: Draw draws no streamlines");
    const QPoint click(canvas()->width() / 2, canvas()->height() - 40);
    sendMouse(canvas(), QEvent::MouseButtonRelease, click, Qt::LeftButton, Qt::NoButton);
    const int line = whitePixels(canvas()->picture());
    TVL_CHECK(line > 50, "the click drew a streamline");
    window_->lineMarksAction()->trigger();
    TVL_CHECK(whitePixels(canvas()->picture()) > line + 20, "the seeded streamline got its marks");
    window_->lineMarksAction()->trigger();
    TVL_CHECK_EQ(whitePixels(canvas()->picture()), line, "and lost them again, the line kept");
}

void StreamlineStyleMenuTest::saveImageWritesTheShownPictureAsSvg()
{
    openAndDraw(true);
    window_->lineMarksAction()->trigger();
    const QString target = dir_.filePath(QStringLiteral("figure.svg"));
    dialogs_->saveAnswers.push_back(target);
    window_->OnFileSaveImage();
    TVL_CHECK(dialogs_->prompts.back().filter.contains(QStringLiteral("SVG Image Files (*.svg)")), "SVG is offered");
    TVL_CHECK_EQ(dialogs_->count(QStringLiteral("message")), 0, "no failure reported");

    QFile file(target);
    QVERIFY2(file.open(QIODevice::ReadOnly), "no SVG file written");
    const QByteArray svg = file.readAll();
    QXmlStreamReader xml(svg);
    while (!xml.atEnd())
        xml.readNext();
    TVL_CHECK(!xml.hasError(), xml.errorString());
    TVL_CHECK(svg.count("<path") > 20 && svg.count("<image") == 1, "the streamlines and the background");
    TVL_CHECK(svg.contains("class=\"direction-marks\""), "the marks are in the file");

    // A new data set replaces what the picture showed: it can no longer be described.
    const FlowFilePair other = writeFlowPair(dir_, QStringLiteral("other"), 0);
    QVERIFY2(window_->openFiles(other.grid, other.data), "the second flow should load");
    dialogs_->saveAnswers.push_back(dir_.filePath(QStringLiteral("stale.svg")));
    window_->OnFileSaveImage();
    TVL_CHECK_EQ(dialogs_->prompts.back().text, QStringLiteral("Das Bild konnte nicht gespeichert werden."),
        "a stale picture is reported");
    TVL_CHECK(!QFile::exists(dir_.filePath(QStringLiteral("stale.svg"))), "and not written");
}

TVL_GUI_TEST_MAIN(StreamlineStyleMenuTest)
#include "StreamlineStyleMenuTest.moc"
