#include "app/CMainDialog.h"

#include "GuiTest.h"
#include "ui/CArrowPlotPage.h"
#include "ui/CBackgroundPage.h"
#include "ui/CLayerTabCtrl.h"
#include "ui/COpenGLWnd.h"
#include "ui/CStreamlinePage.h"
#include "ui/CTransferDisplay.h"
#include "view/FlowView.h"
#include "view/SpeedCoder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

using namespace tvl;
using namespace tvl::test;

namespace {

const QString kCaption = QStringLiteral("TVL - Tavrel - The Flow Visualisation Software");
const QString kLoaded = kCaption + QStringLiteral(" - Data loaded");
const QString kLoadError = QStringLiteral("Ein Fehler ist beim Laden der Flowdaten aufgetreten.");
const QString kDrawHint = QStringLiteral("Bitte wählen Sie mindestens ein Layer zum zeichnen aus.");

QStringList itemTexts(const QComboBox* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i);
    return texts;
}

QStringList specialEntries(int count)
{
    QStringList texts;
    for (int i = 0; i < count; ++i)
        texts << QStringLiteral("Special Dataset %1").arg(i);
    return texts;
}

// Records the text a label shows each time it is painted.
class PaintedTexts : public QObject {
public:
    QStringList texts;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            const QString text = static_cast<QLabel*>(watched)->text();
            if (texts.isEmpty() || texts.last() != text)
                texts << text;
        }
        return false;
    }
};

} // namespace

class CMainDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsWithCanvas1NoLayersAndTheArrowPage();
    void menuHoldsTheFileAndHelpCommands();
    void drawWithNoLayerShowsTheHintWithCanvasesHidden();
    void drawWithoutDataDoesNothing();
    void cancelledGridDialogShowsNoDataDialog();
    void cancelledDataDialogLoadsNothing();
    void openingThreeValuesFillsBothListsOnce();
    void openingNoValuesLeavesOnlyTheFixedEntries();
    void loadShowsItsProgressWhileRunning();
    void failedLoadKeepsTheDataSetThatWasOpen();
    void loadInDirectionModeStillGivesASpeedCoder();
    void secondLoadReleasesTheEarlierView();
    void canvasChoiceResetsTheZoomAndHandsTheSettings();
    void canvasChoiceWithoutDataOnlyRebindsThePages();
    void valueIndexOfAnEarlierDataSetDrawsUncoded();
    void transferEditShowsAtOnceInTheCanvases();
    void quitAnsweredNoKeepsEverything();
    void quitAnsweredYesEndsTheDialog();
    void escapeAndCloseEndAtOnce();
    void aboutBoxShowsNameAndVersion();
    void saveImageWritesTheCurrentPicture();
    void demoDataSetOpensFromMemory();
    void realDataSetDrawsAllThreeLayers();

private:
    bool open(const FlowFilePair& files);
    bool draw(bool arrows, bool streamlines, bool background);

    QTemporaryDir dir_;
    std::shared_ptr<FakeDialogs> dialogs_;
    std::unique_ptr<CMainDialog> window_;
    std::vector<bool> canvasesShownAtPrompt_;
};

void CMainDialogTest::init()
{
    QVERIFY2(dir_.isValid(), "no temporary folder");
    dialogs_ = std::make_shared<FakeDialogs>();
    canvasesShownAtPrompt_.clear();
    window_ = std::make_unique<CMainDialog>(dialogs_);
    dialogs_->onPrompt = [this](const FakeDialogs::Prompt&) {
        canvasesShownAtPrompt_.push_back(window_->canvas(0)->isVisible() || window_->canvas(1)->isVisible());
    };
    window_->show();
    QVERIFY2(QTest::qWaitForWindowExposed(window_.get()), "the main window never appeared");
    QVERIFY2(window_->canvas(0)->isValid() && window_->canvas(1)->isValid(), "the canvases got no GL context");
}

void CMainDialogTest::cleanup()
{
    window_.reset();
    dialogs_.reset();
}

bool CMainDialogTest::open(const FlowFilePair& files)
{
    dialogs_->openAnswers = {files.grid, files.data};
    const int messagesBefore = dialogs_->count(QStringLiteral("message"));
    window_->OnFileOpen();
    return dialogs_->count(QStringLiteral("message")) == messagesBefore;
}

bool CMainDialogTest::draw(bool arrows, bool streamlines, bool background)
{
    window_->arrowBox()->setChecked(arrows);
    window_->streamlineBox()->setChecked(streamlines);
    window_->backgroundBox()->setChecked(background);
    QTest::mouseClick(window_->drawButton(), Qt::LeftButton);
    return window_->currentCanvas()->hasPicture();
}

void CMainDialogTest::startsWithCanvas1NoLayersAndTheArrowPage()
{
    TVL_CHECK_EQ(window_->windowTitle(), kCaption, "caption at start");
    TVL_CHECK(window_->canvas1Button()->isChecked() && !window_->canvas2Button()->isChecked(), "Canvas 1 is checked");
    TVL_CHECK(!window_->arrowBox()->isChecked() && !window_->streamlineBox()->isChecked()
            && !window_->backgroundBox()->isChecked(),
        "no layer is ticked at start");
    TVL_CHECK_EQ(window_->arrowBox()->text(), QStringLiteral("Arrow Plot"), "layer box text");
    TVL_CHECK_EQ(window_->drawButton()->text(), QStringLiteral("Draw"), "button text");
    TVL_CHECK_EQ(window_->progressLabel()->text(), QStringLiteral("Progress"), "progress label at start");
    const CLayerTabCtrl* tabs = window_->tabCtrl();
    TVL_CHECK_EQ(tabs->currentIndex(), 0, "the ArrowPlot tab is in front");
    TVL_CHECK_EQ((QStringList {tabs->tabText(0), tabs->tabText(1), tabs->tabText(2)}),
        (QStringList {QStringLiteral("ArrowPlot"), QStringLiteral("Streamlines"), QStringLiteral("Background")}),
        "tab titles");
    TVL_CHECK(window_->currentCanvas() == window_->canvas(0), "canvas 1 is current");
    TVL_CHECK(window_->arrowPage()->canvas() == window_->canvas(0)
            && window_->streamlinePage()->canvas() == window_->canvas(0)
            && window_->backgroundPage()->canvas() == window_->canvas(0),
        "every page writes into canvas 1");
    TVL_CHECK(window_->canvas(0)->x() < window_->canvas(1)->x(), "canvas 1 is the left one");
    TVL_CHECK(!window_->view(), "no view before a load");
    TVL_CHECK(window_->minimumSize() == window_->maximumSize(), "the window is not resizable");

    TVL_CHECK_EQ(window_->arrowPage()->resolutionSlider()->value(), 20, "resolution 20");
    TVL_CHECK_EQ(window_->arrowPage()->codingList()->currentText(), QStringLiteral("No data encoding"), "coding");
    TVL_CHECK_EQ(window_->streamlinePage()->integrationList()->currentText(), QStringLiteral("Euler"), "integrator");
    TVL_CHECK(window_->streamlinePage()->evenButton()->isChecked(), "Even Distances");
    TVL_CHECK_EQ(window_->streamlinePage()->dsepSlider()->value(), 100, "dsep");
    TVL_CHECK_EQ(window_->streamlinePage()->dtestSlider()->value(), 50, "dtest");
    TVL_CHECK(window_->backgroundPage()->speedButton()->isChecked(), "Speed");
    TVL_CHECK(!window_->backgroundPage()->dataList()->isEnabled(), "the data list is disabled");
}

void CMainDialogTest::menuHoldsTheFileAndHelpCommands()
{
    const QList<QAction*> menus = window_->menuBar()->actions();
    QVERIFY2(menus.size() == 3, "a File, an Extras and a Help menu");
    TVL_CHECK_EQ(menus[0]->text(), QStringLiteral("&File"), "first menu");
    const QList<QAction*> file = menus[0]->menu()->actions();
    QVERIFY2(file.size() == 5, "Open, Import NetCDF, Save Image, a separator and Quit");
    TVL_CHECK_EQ(file[0]->text(), QStringLiteral("&Open..."), "Open");
    TVL_CHECK_EQ(file[0]->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")), "Open's shortcut");
    TVL_CHECK_EQ(file[1]->text(), QStringLiteral("Import NetCDF..."), "Import NetCDF");
    TVL_CHECK_EQ(file[1]->shortcut(), QKeySequence(QStringLiteral("Ctrl+I")), "Import NetCDF's shortcut");
    TVL_CHECK_EQ(file[2]->text(), QStringLiteral("Save Image..."), "Save Image");
    TVL_CHECK_EQ(file[2]->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")), "Save Image's shortcut");
    TVL_CHECK(file[3]->isSeparator(), "separator before Quit");
    TVL_CHECK_EQ(file[4]->text(), QStringLiteral("&Quit"), "Quit");
    TVL_CHECK_EQ(file[4]->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")), "Quit's shortcut");
    const QList<QAction*> help = menus.back()->menu()->actions();
    QVERIFY2(help.size() == 1, "one Help entry");
    TVL_CHECK_EQ(help[0]->text(), QStringLiteral("&Info über Tavrel..."), "about entry");

    file[4]->trigger();
    TVL_CHECK_EQ(dialogs_->count(QStringLiteral("question")), 1, "the Quit item asks its question");
}

void CMainDialogTest::drawWithNoLayerShowsTheHintWithCanvasesHidden()
{
    draw(false, false, false);
    QVERIFY2(dialogs_->prompts.size() == 1, "exactly one prompt");
    const FakeDialogs::Prompt& hint = dialogs_->prompts.front();
    TVL_CHECK_EQ(hint.kind, QStringLiteral("message"), "a message box");
    TVL_CHECK_EQ(hint.caption, QStringLiteral("Hinweis"), "its caption");
    TVL_CHECK_EQ(hint.text, kDrawHint, "its text");
    TVL_CHECK(hint.icon == DialogProvider::Icon::None, "the hint has no icon");
    TVL_CHECK(!canvasesShownAtPrompt_.front(), "the canvases are hidden while the hint is shown");
    TVL_CHECK(window_->canvas(0)->isVisible() && window_->canvas(1)->isVisible(), "and shown again afterwards");

    QVERIFY2(open(writeFlowPair(dir_, QStringLiteral("flow"), 0)), "the test flow should load");
    draw(false, false, false);
    TVL_CHECK_EQ(dialogs_->count(QStringLiteral("message")), 2, "the hint comes with a data set loaded too");
}

void CMainDialogTest::drawWithoutDataDoesNothing()
{
    TVL_CHECK(!draw(true, false, false), "Draw without a data set must draw nothing");
    TVL_CHECK(dialogs_->prompts.empty(), "and say nothing");
}

void CMainDialogTest::cancelledGridDialogShowsNoDataDialog()
{
    window_->OnFileOpen();
    QVERIFY2(dialogs_->prompts.size() == 1, "only the grid dialog may be shown");
    TVL_CHECK_EQ(
        dialogs_->prompts[0].filter, QStringLiteral("Flow Grid Files (*.gri);;All Files (*.*)"), "grid filter");
    TVL_CHECK(!canvasesShownAtPrompt_[0], "the canvases are hidden during the file dialog");
    TVL_CHECK(window_->canvas(0)->isVisible() && window_->canvas(1)->isVisible(), "and shown again after Cancel");
    TVL_CHECK_EQ(window_->windowTitle(), kCaption, "nothing was loaded");
    TVL_CHECK(!window_->view() && !window_->flowData().isLoaded(), "no data set after Cancel");
}

void CMainDialogTest::cancelledDataDialogLoadsNothing()
{
    const FlowFilePair files = writeFlowPair(dir_, QStringLiteral("flow"), 1);
    dialogs_->openAnswers = {files.grid};
    window_->OnFileOpen();
    QVERIFY2(dialogs_->prompts.size() == 2, "grid dialog, then data dialog");
    TVL_CHECK_EQ(
        dialogs_->prompts[1].filter, QStringLiteral("Flow Data Files (*.dat);;All Files (*.*)"), "data filter");
    TVL_CHECK(!window_->flowData().isLoaded() && !window_->view(), "Cancel in the data dialog loads nothing");
    TVL_CHECK_EQ(window_->windowTitle(), kCaption, "the caption stays");
}

void CMainDialogTest::openingThreeValuesFillsBothListsOnce()
{
    const FlowFilePair files = writeFlowPair(dir_, QStringLiteral("three"), 3);
    for (int round = 0; round < 2; ++round) {
        QVERIFY2(open(files), "the flow with three values should load");
        TVL_CHECK_EQ(window_->windowTitle(), kLoaded, "caption after a load");
        TVL_CHECK_EQ(itemTexts(window_->arrowPage()->codingList()),
            (QStringList {QStringLiteral("No data encoding"), QStringLiteral("Speed")} + specialEntries(3)),
            "arrow codings after a load");
        TVL_CHECK_EQ(itemTexts(window_->backgroundPage()->dataList()), specialEntries(3), "background values");
    }
    QVERIFY2(window_->view(), "a load creates the view");
    const QSize size = window_->canvas(0)->clientSize();
    TVL_CHECK(window_->view()->canvasWidth() == size.width() && window_->view()->canvasHeight() == size.height(),
        "the view is fitted to the current canvas");
    TVL_CHECK(dynamic_cast<const SpeedCoder*>(window_->backgroundPage()->coder().get()) != nullptr,
        "a load builds a SpeedCoder");
    TVL_CHECK(window_->canvas(0)->dataCoder() == window_->backgroundPage()->coder(), "the canvas got the coder");
    for (std::size_t i = 0; i < canvasesShownAtPrompt_.size(); ++i)
        TVL_CHECK(!canvasesShownAtPrompt_[i], "the canvases are hidden during the file dialogs");
    TVL_CHECK(window_->canvas(0)->isVisible() && window_->canvas(1)->isVisible(), "and shown after the load");
    TVL_CHECK(draw(true, true, true), "Draw draws the loaded data set");
}

void CMainDialogTest::openingNoValuesLeavesOnlyTheFixedEntries()
{
    QVERIFY2(open(writeFlowPair(dir_, QStringLiteral("three"), 3)), "the flow with three values should load");
    QVERIFY2(open(writeFlowPair(dir_, QStringLiteral("none"), 0)), "the flow without values should load");
    TVL_CHECK_EQ(itemTexts(window_->arrowPage()->codingList()),
        (QStringList {QStringLiteral("No data encoding"), QStringLiteral("Speed")}),
        "no values leave the two fixed codings");
    TVL_CHECK_EQ(window_->backgroundPage()->dataList()->count(), 0, "no values leave the data list empty");
}

void CMainDialogTest::loadShowsItsProgressWhileRunning()
{
    PaintedTexts painted;
    window_->progressLabel()->installEventFilter(&painted);
    QVERIFY2(open(writeFlowPair(dir_, QStringLiteral("flow"), 1)), "the flow should load");
    window_->progressLabel()->removeEventFilter(&painted);
    // Everything painted before open() returned was painted while the load
    // blocked the window.
    const QStringList phases {QStringLiteral("Loading Grid Data..."), QStringLiteral("Loading Flow Data..."),
        QStringLiteral("Preprocessing Flow Data..."), QStringLiteral("Finding Flow Borders..."),
        QStringLiteral("Progress")};
    TVL_CHECK_EQ(painted.texts, phases, "each phase of the load must show in the status label as it runs");
    TVL_CHECK(window_->progressBar()->maximum() > 0, "the loader sets the progress range");
}

void CMainDialogTest::failedLoadKeepsTheDataSetThatWasOpen()
{
    QVERIFY2(open(writeFlowPair(dir_, QStringLiteral("three"), 3)), "the flow with three values should load");
    window_->arrowPage()->codingList()->setCurrentIndex(3);
    QVERIFY2(draw(true, false, true), "a first picture");
    const QImage before = window_->canvas(0)->picture();
    const auto view = window_->view();
    const auto coder = window_->backgroundPage()->coder();

    const QString broken = dir_.filePath(QStringLiteral("broken.gri"));
    QFile file(broken);
    QVERIFY2(file.open(QIODevice::WriteOnly) && file.write("not a grid file") > 0, "cannot write the broken file");
    file.close();
    TVL_CHECK(!open({broken, dir_.filePath(QStringLiteral("three.dat"))}), "the broken file must fail to load");
    const FakeDialogs::Prompt& error = dialogs_->prompts.back();
    TVL_CHECK_EQ(error.caption, QStringLiteral("Information"), "error box caption");
    TVL_CHECK_EQ(error.text, kLoadError, "error box text");
    TVL_CHECK(error.icon == DialogProvider::Icon::Critical, "the error box has the error icon");
    TVL_CHECK(error.detail.startsWith(QStringLiteral("[Tavrel|FlowData|loadData]: ")),
        "the detailed text is the logged cause: " + error.detail);
    TVL_CHECK(!canvasesShownAtPrompt_.back(), "the canvases are hidden during the error box");

    TVL_CHECK_EQ(window_->windowTitle(), kLoaded, "a failed load keeps the caption");
    TVL_CHECK_EQ(window_->arrowPage()->codingList()->count(), 5, "a failed load keeps the coding list");
    TVL_CHECK_EQ(window_->arrowPage()->codingList()->currentIndex(), 3, "and its selection");
    TVL_CHECK_EQ(window_->backgroundPage()->dataList()->count(), 3, "a failed load keeps the data list");
    TVL_CHECK(window_->view() == view, "a failed load keeps the view");
    TVL_CHECK(window_->backgroundPage()->coder() == coder, "a failed load keeps the coder");
    TVL_CHECK(draw(true, false, true), "Draw still works");
    TVL_CHECK(window_->canvas(0)->picture() == before, "and draws the data set that was open");
}

void CMainDialogTest::loadInDirectionModeStillGivesASpeedCoder()
{
    const FlowFilePair files = writeFlowPair(dir_, QStringLiteral("flow"), 1);
    QVERIFY2(open(files), "the flow should load");
    window_->backgroundPage()->directionButton()->click();
    QVERIFY2(open(files), "the flow should load again");
    TVL_CHECK(window_->backgroundPage()->directionButton()->isChecked(), "the button keeps showing Direction");
    TVL_CHECK(dynamic_cast<const SpeedCoder*>(window_->backgroundPage()->coder().get()) != nullptr,
        "but the coder is a SpeedCoder until the user picks a mode");
}

void CMainDialogTest::secondLoadReleasesTheEarlierView()
{
    QVERIFY2(open(writeFlowPair(dir_, QStringLiteral("first"), 1)), "the first flow should load");
    QVERIFY2(draw(true, false, true), "a first picture");
    const QImage picture = window_->canvas(0)->picture();
    const std::weak_ptr<FlowView> earlier = window_->view();
    QVERIFY2(open(writeFlowPair(dir_, QStringLiteral("second"), 2, FlowKind::Saddle)), "the second flow should load");
    TVL_CHECK(earlier.expired(), "the view of the replaced data set must be gone");
    TVL_CHECK(!window_->canvas(0)->lastView(), "no canvas may keep drawing through it");
    TVL_CHECK(window_->canvas(0)->picture() == picture, "the canvas keeps its picture until the next Draw");
    window_->arrowPage()->resolutionSlider()->setValue(30);
    TVL_CHECK(window_->canvas(0)->picture() == picture, "a setting alone does not draw the new data set");
    QVERIFY2(draw(true, false, true), "Draw after the second load");
    TVL_CHECK(window_->canvas(0)->lastView() == window_->view(), "Draw uses the new view");
    TVL_CHECK(window_->canvas(0)->picture() != picture, "and shows the new data set");
}

void CMainDialogTest::canvasChoiceResetsTheZoomAndHandsTheSettings()
{
    QVERIFY2(open(writeFlowPair(dir_, QStringLiteral("flow"), 2)), "the flow should load");
    QVERIFY2(draw(true, false, false), "a first picture");
    COpenGLWnd* first = window_->canvas(0);
    sendMouse(first, QEvent::MouseButtonPress, {30, first->height() - 30}, Qt::RightButton, Qt::RightButton);
    sendMouse(first, QEvent::MouseMove, {150, first->height() - 150}, Qt::NoButton, Qt::RightButton);
    sendMouse(first, QEvent::MouseButtonRelease, {150, first->height() - 150}, Qt::RightButton, Qt::NoButton);
    Vector3 lower;
    Vector3 upper;
    window_->flowData().getBounds(lower, upper);
    TVL_CHECK(window_->view()->regionMaximum().x < upper.x, "the drag should have zoomed in");

    window_->arrowPage()->resolutionSlider()->setValue(35);
    window_->streamlinePage()->dsepSlider()->setValue(300);
    window_->streamlinePage()->integrationList()->setCurrentIndex(1);
    window_->streamlinePage()->manualButton()->click();
    window_->backgroundPage()->directionButton()->click();
    QTest::mouseClick(window_->canvas2Button(), Qt::LeftButton);

    COpenGLWnd* second = window_->canvas(1);
    TVL_CHECK(window_->currentCanvas() == second, "Canvas 2 becomes current");
    TVL_CHECK(window_->arrowPage()->canvas() == second && window_->streamlinePage()->canvas() == second
            && window_->backgroundPage()->canvas() == second,
        "every page writes into canvas 2 now");
    TVL_CHECK(window_->view()->regionMinimum().x == lower.x && window_->view()->regionMaximum().x == upper.x
            && window_->view()->regionMaximum().y == upper.y,
        "the canvas choice resets the shared view to the full extent");
    TVL_CHECK(window_->view()->canvasWidth() == second->clientSize().width()
            && window_->view()->canvasHeight() == second->clientSize().height(),
        "the view is fitted to canvas 2");
    TVL_CHECK(second->settings().dsepPosition == 300.0f && second->settings().dtestPosition == 50.0f
            && indexOf(second->settings().scheme) == 1,
        "the streamline settings are handed to canvas 2");
    TVL_CHECK(!second->evenPlacement(), "the placement is handed to canvas 2");
    TVL_CHECK(second->dataCoder() == window_->backgroundPage()->coder(), "the coder is handed to canvas 2");
    TVL_CHECK_EQ(second->settings().arrowStep, 20, "arrow settings are not handed over");
    TVL_CHECK_EQ(first->settings().arrowStep, 35, "canvas 1 keeps its own arrow resolution");

    window_->view()->zoomToWindowRect(10.0f, 10.0f, 100.0f, 100.0f);
    QTest::mouseClick(window_->canvas2Button(), Qt::LeftButton);
    TVL_CHECK(window_->view()->regionMaximum().x == upper.x, "choosing the current canvas again resets the zoom too");
}

void CMainDialogTest::canvasChoiceWithoutDataOnlyRebindsThePages()
{
    QTest::mouseClick(window_->canvas2Button(), Qt::LeftButton);
    TVL_CHECK(window_->currentCanvas() == window_->canvas(1), "Canvas 2 becomes current");
    TVL_CHECK(window_->arrowPage()->canvas() == window_->canvas(1), "the pages are rebound");
    TVL_CHECK(!window_->view() && !window_->canvas(1)->hasPicture(), "nothing is drawn");
    TVL_CHECK(dialogs_->prompts.empty(), "and nothing said");
}

void CMainDialogTest::valueIndexOfAnEarlierDataSetDrawsUncoded()
{
    QVERIFY2(open(writeFlowPair(dir_, QStringLiteral("three"), 3)), "the flow with three values should load");
    window_->arrowPage()->codingList()->setCurrentIndex(4);
    QVERIFY2(open(writeFlowPair(dir_, QStringLiteral("none"), 0)), "the flow without values should load");
    TVL_CHECK_EQ(window_->canvas(0)->settings().arrowCoding.value, 2, "the canvas still names value 2");
    QVERIFY2(draw(true, false, false), "Draw with a value index the data set lacks");
    const QImage stale = window_->canvas(0)->picture();
    window_->arrowPage()->codingList()->setCurrentIndex(0);
    TVL_CHECK(window_->canvas(0)->picture() == stale, "a missing value must draw the arrows uncoded");
}

void CMainDialogTest::transferEditShowsAtOnceInTheCanvases()
{
    QVERIFY2(open(writeFlowPair(dir_, QStringLiteral("flow"), 0)), "the flow should load");
    QVERIFY2(draw(false, false, true), "a background picture");
    const QImage before = window_->canvas(0)->picture();
    dialogs_->colorAnswers.push_back(QColor(255, 0, 0));
    CTransferDisplay* strip = window_->transferDisplay();
    const QPoint middle(strip->width() / 2, strip->height() / 2);
    QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, middle);
    TVL_CHECK_EQ(dialogs_->count(QStringLiteral("color")), 1, "a click on the strip opens the colour dialog");
    TVL_CHECK(!canvasesShownAtPrompt_.back(), "the canvases are hidden during the colour dialog");
    TVL_CHECK(window_->canvas(0)->isVisible(), "and shown again afterwards");
    const QImage after = window_->canvas(0)->picture();
    TVL_CHECK(after != before, "showing the canvas again redraws it with the new colour");
    TVL_CHECK(countPixels(after, [](QRgb p) { return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60; }) > 0,
        "the new red point must show in the background");
}

void CMainDialogTest::quitAnsweredNoKeepsEverything()
{
    QVERIFY2(open(writeFlowPair(dir_, QStringLiteral("flow"), 0)), "the flow should load");
    QVERIFY2(draw(true, false, true), "a picture");
    const QImage picture = window_->canvas(0)->picture();
    dialogs_->questionAnswers.push_back(false);
    window_->OnFileQuit();
    const FakeDialogs::Prompt& question = dialogs_->prompts.back();
    TVL_CHECK_EQ(question.kind, QStringLiteral("question"), "Quit asks");
    TVL_CHECK_EQ(question.caption, QStringLiteral("Ende?"), "the question's caption");
    TVL_CHECK_EQ(question.text, QStringLiteral("Wollen Sie wirklich beenden?"), "the question's text");
    TVL_CHECK(!canvasesShownAtPrompt_.back(), "the canvases are hidden during the question");
    TVL_CHECK(window_->isVisible() && window_->result() == 0, "No leaves the window open");
    TVL_CHECK(window_->canvas(0)->isVisible() && window_->canvas(1)->isVisible(), "with both canvases shown");
    TVL_CHECK(window_->canvas(0)->picture() == picture, "showing their last pictures");
}

void CMainDialogTest::quitAnsweredYesEndsTheDialog()
{
    dialogs_->questionAnswers.push_back(true);
    window_->OnFileQuit();
    TVL_CHECK(!window_->isVisible(), "Yes ends the dialog");
    TVL_CHECK_EQ(window_->result(), int(QDialog::Accepted), "ended by Quit");
}

void CMainDialogTest::escapeAndCloseEndAtOnce()
{
    QTest::keyClick(window_.get(), Qt::Key_Escape);
    TVL_CHECK(!window_->isVisible(), "Escape ends the dialog");
    window_->show();
    QVERIFY2(QTest::qWaitForWindowExposed(window_.get()), "the window did not come back");
    window_->close();
    TVL_CHECK(!window_->isVisible(), "closing the window ends the dialog");
    window_->show();
    QVERIFY2(QTest::qWaitForWindowExposed(window_.get()), "the window did not come back");
    window_->arrowBox()->setFocus();
    QTest::keyClick(window_->arrowBox(), Qt::Key_Return);
    TVL_CHECK(!window_->isVisible(), "Enter ends the dialog");
    TVL_CHECK(dialogs_->prompts.empty(), "none of these asks for confirmation");
}

void CMainDialogTest::aboutBoxShowsNameAndVersion()
{
    QString version;
    bool canvasesShown = false;
    dialogs_->onExec = [&](QDialog& dialog) {
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            if (label->text().startsWith(QStringLiteral("Tavrel")))
                version = label->text();
        canvasesShown = window_->canvas(0)->isVisible();
        return int(QDialog::Accepted);
    };
    window_->OnAbout();
    QVERIFY2(dialogs_->prompts.size() == 1, "one dialog");
    TVL_CHECK_EQ(dialogs_->prompts[0].caption, QStringLiteral("Info über Tavrel"), "about box caption");
    TVL_CHECK_EQ(version, QStringLiteral("Tavrel Version 1.0"), "about box text");
    TVL_CHECK(canvasesShown, "the about box leaves the canvases shown");
}

void CMainDialogTest::saveImageWritesTheCurrentPicture()
{
    window_->OnFileSaveImage();
    QVERIFY2(dialogs_->prompts.size() == 1, "without a picture only a hint");
    TVL_CHECK_EQ(dialogs_->prompts[0].caption, QStringLiteral("Hinweis"), "hint caption");
    TVL_CHECK_EQ(dialogs_->count(QStringLiteral("save")), 0, "no file dialog without a picture");

    QVERIFY2(open(writeFlowPair(dir_, QStringLiteral("flow"), 0)), "the flow should load");
    QVERIFY2(draw(true, true, true), "a picture");
    const QString target = dir_.filePath(QStringLiteral("picture"));
    dialogs_->saveAnswers.push_back(target);
    window_->OnFileSaveImage();
    const QImage written(target + QStringLiteral(".png"));
    QVERIFY2(!written.isNull(), "the picture must be written as PNG, with the suffix added");
    TVL_CHECK(written.convertToFormat(QImage::Format_RGB32) == window_->canvas(0)->viewportPicture(),
        "the file holds the canvas's picture");
    TVL_CHECK(!canvasesShownAtPrompt_.back(), "the canvases are hidden during the file dialog");

    const int messages = dialogs_->count(QStringLiteral("message"));
    dialogs_->saveAnswers.push_back(dir_.filePath(QStringLiteral("no/such/folder/x.png")));
    window_->OnFileSaveImage();
    TVL_CHECK_EQ(dialogs_->count(QStringLiteral("message")), messages + 1, "a failed write is reported");
    TVL_CHECK_EQ(
        dialogs_->prompts.back().text, QStringLiteral("Das Bild konnte nicht gespeichert werden."), "failure text");
    window_->OnFileSaveImage();
    TVL_CHECK_EQ(dialogs_->count(QStringLiteral("message")), messages + 1, "Cancel writes and says nothing");
}

void CMainDialogTest::demoDataSetOpensFromMemory()
{
    QVERIFY2(window_->openNodeGrid(makeFlow(demoFlowSpec())), "the demo data set should load");
    TVL_CHECK_EQ(window_->windowTitle(), kLoaded, "caption after the demo");
    TVL_CHECK_EQ(window_->backgroundPage()->dataList()->count(), 2, "the demo has two additional values");
    TVL_CHECK(draw(true, true, true), "the demo draws");
}

void CMainDialogTest::realDataSetDrawsAllThreeLayers()
{
    QString folder = qEnvironmentVariable("TVL_SHARED_DATA");
    if (folder.isEmpty())
        folder = QStringLiteral(TVL_SOURCE_DIR "/../shared/data");
    const QString grid = folder + QStringLiteral("/real/piv_wingtip_vortex.gri");
    if (!QFile::exists(grid))
        QSKIP("the shared real data sets are not here");
    QVERIFY2(window_->openFiles(grid, folder + QStringLiteral("/real/piv_wingtip_vortex.dat")),
        "the wing-tip vortex should load");
    TVL_CHECK_EQ(window_->backgroundPage()->dataList()->count(), 2, "the PIV set has two additional values");
    window_->transferDisplay()->applyPreset(2);
    QVERIFY2(draw(true, true, true), "a picture of the real data");
    const QImage picture = window_->canvas(0)->picture();
    TVL_CHECK(countPixels(picture, isArrowColour) > 200, "arrows missing");
    TVL_CHECK(countPixels(picture, isWhite) > 200, "streamlines missing");
    // Blue-Green-Red: the slow vortex core is blue, most of the field green.
    TVL_CHECK(countPixels(picture, [](QRgb p) { return qBlue(p) > qGreen(p) + 60 && qBlue(p) > qRed(p) + 60; }) > 50,
        "the slow vortex core must show blue");
    TVL_CHECK(
        countPixels(picture, [](QRgb p) { return qGreen(p) > qRed(p) + 60 && qGreen(p) > qBlue(p) + 60; }) > 10000,
        "most of the field must show green");
}

TVL_GUI_TEST_MAIN(CMainDialogTest)
#include "CMainDialogTest.moc"
