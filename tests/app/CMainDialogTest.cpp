#include "app/CMainDialog.h"

#include "MainWindowTest.h"
#include "ui/CArrowPlotPage.h"
#include "ui/CBackgroundPage.h"
#include "ui/CLayerTabCtrl.h"
#include "ui/CStreamlinePage.h"
#include "ui/CTransferDisplay.h"
#include "view/AdditionalDataCoder.h"
#include "view/DirectionCoder.h"
#include "view/SpeedCoder.h"

using namespace tvl;
using namespace tvl::test;

namespace {

const QString kCaption = QStringLiteral("TVL - Tavrel - The Flow Visualisation Software");
const QString kLoaded = kCaption + QStringLiteral(" - Data loaded");

// The list's texts: the first fixed ones of the arrow coding list, then one
// "Special Dataset %d" per value.
bool listIs(const QComboBox* list, int fixed, int values)
{
    bool same = list->count() == fixed + values;
    for (int i = 0; i < list->count(); ++i)
        same = same
            && list->itemText(i)
                == (i < fixed ? QStringList {"No data encoding", "Speed"}[i]
                              : QStringLiteral("Special Dataset %1").arg(i - fixed));
    return same;
}

// Records the text a label shows each time it is painted.
struct PaintedTexts : QObject {
    QStringList texts;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QString text = static_cast<QLabel*>(watched)->text();
        if (event->type() == QEvent::Paint && (texts.isEmpty() || texts.last() != text))
            texts << text;
        return false;
    }
};

} // namespace

class CMainDialogTest : public MainWindowTest {
    Q_OBJECT

private slots:
    void startsAsTheDialogTemplateSays();
    void fileDialogsAndHintsComeWithTheCanvasesHidden();
    void loadShowsItsPhasesAndFillsBothListsOnce();
    void failedLoadKeepsTheDataSetThatWasOpen();
    void laterLoadsReplaceViewAndCoder();
    void canvasChoiceResetsTheZoomAndHandsTheSettings();
    void settingsPagesWriteIntoTheCurrentCanvas();
    void clearRedrawsWithoutStreamlines();
    void backgroundPageBuildsAFreshCoderForEachChoice();
    void tabsKeepEachPagesFocusAndPagesKeepEnterAndEscape();
    void quitAsksAndEscapeEndsAtOnce();
    void saveImageAndTransferEdits();
};

void CMainDialogTest::startsAsTheDialogTemplateSays()
{
    const CStreamlinePage* lines = window_->streamlinePage();
    const QSlider* resolution = window_->arrowPage()->resolutionSlider();
    TVL_CHECK_EQ(
        (QStringList {window_->windowTitle(), window_->tabCtrl()->tabText(0), window_->tabCtrl()->tabText(1),
            window_->tabCtrl()->tabText(2), window_->progressLabel()->text(), lines->integrationList()->currentText()}),
        (QStringList {kCaption, "ArrowPlot", "Streamlines", "Background", "Progress", "Euler"}),
        "caption, tabs, status and integrator");
    TVL_CHECK(window_->canvas1Button()->isChecked() && window_->currentCanvas() == window_->canvas(0)
            && window_->tabCtrl()->currentIndex() == 0 && window_->backgroundPage()->canvas() == window_->canvas(0),
        "Canvas 1 is current, the ArrowPlot tab in front");
    TVL_CHECK(!window_->arrowBox()->isChecked() && !window_->streamlineBox()->isChecked()
            && !window_->backgroundBox()->isChecked() && !window_->view(),
        "no layer ticked, no view");
    TVL_CHECK(resolution->value() == 20 && resolution->minimum() == 5 && resolution->maximum() == 80
            && listIs(window_->arrowPage()->codingList(), 2, 0)
            && window_->arrowPage()->codingList()->currentIndex() == 0,
        "resolution 20 of 5 to 80, No data encoding");
    TVL_CHECK(lines->evenButton()->isChecked() && lines->dsepSlider()->value() == 100
            && lines->dsepSlider()->minimum() == 10 && lines->dsepSlider()->maximum() == 1000
            && lines->dtestSlider()->value() == 50 && lines->dtestSlider()->minimum() == 1
            && lines->dtestSlider()->maximum() == 99,
        "Even Distances, dsep 100 of 10 to 1000, dtest 50 of 1 to 99");
    TVL_CHECK(window_->backgroundPage()->speedButton()->isChecked()
            && !window_->backgroundPage()->dataList()->isEnabled() && window_->minimumSize() == window_->maximumSize(),
        "Speed with the data list disabled, a window of fixed size");
}

void CMainDialogTest::fileDialogsAndHintsComeWithTheCanvasesHidden()
{
    TVL_CHECK(!w_->draw(true, false, false) && w_->dialogs->prompts.empty(), "without data Draw does and says nothing");
    w_->draw(false, false, false);
    const FakeDialogs::Prompt hint = w_->dialogs->prompts.at(0);
    TVL_CHECK(hint.caption == QStringLiteral("Hinweis") && hint.icon == DialogProvider::Icon::None
            && hint.text == QStringLiteral("Bitte wählen Sie mindestens ein Layer zum zeichnen aus."),
        "Draw without a layer shows the hint");
    window_->OnFileOpen();
    w_->dialogs->openAnswers = {writeFlowPair(w_->dir, QStringLiteral("flow"), 1).grid};
    window_->OnFileOpen();
    QStringList filters;
    for (const auto& prompt : w_->dialogs->prompts)
        filters << prompt.filter;
    TVL_CHECK_EQ(filters,
        (QStringList {"", "Flow Grid Files (*.gri);;All Files (*.*)", "Flow Grid Files (*.gri);;All Files (*.*)",
            "Flow Data Files (*.dat);;All Files (*.*)"}),
        "Cancel in the grid dialog shows no data dialog");
    TVL_CHECK(!window_->flowData().isLoaded() && window_->windowTitle() == kCaption, "Cancel loads nothing");
    TVL_CHECK(w_->hiddenForPrompts(), "the canvases are hidden while a prompt shows");
}

void CMainDialogTest::loadShowsItsPhasesAndFillsBothListsOnce()
{
    PaintedTexts painted;
    window_->progressLabel()->installEventFilter(&painted);
    QVERIFY2(w_->open("three", 3), "the flow with three values should load");
    window_->progressLabel()->removeEventFilter(&painted);
    // Everything painted before w_->open() returned was painted while the load blocked.
    TVL_CHECK_EQ(painted.texts,
        (QStringList {"Loading Grid Data...", "Loading Flow Data...", "Preprocessing Flow Data...",
            "Finding Flow Borders...", "Progress"}),
        "each phase shows in the status label as it runs");
    TVL_CHECK(window_->progressBar()->maximum() == window_->flowData().getHeight() - 1, "the last phase's range");
    QVERIFY2(w_->open("three", 3), "the flow loads again");
    TVL_CHECK(listIs(window_->arrowPage()->codingList(), 2, 3) && listIs(window_->backgroundPage()->dataList(), 0, 3),
        "three entries in both lists");
    TVL_CHECK(window_->windowTitle() == kLoaded && window_->view()->canvasWidth() == window_->canvas(0)->width()
            && dynamic_cast<const SpeedCoder*>(window_->canvas(0)->dataCoder().get()),
        "the caption, a view fitted to canvas 1, a SpeedCoder");
    TVL_CHECK(w_->hiddenForPrompts() && w_->draw(true, true, true), "Draw draws the data set");
    QVERIFY2(w_->open("none", 0), "the flow without values should load");
    TVL_CHECK(listIs(window_->arrowPage()->codingList(), 2, 0) && listIs(window_->backgroundPage()->dataList(), 0, 0),
        "no values leave the fixed codings and an empty data list");
}

void CMainDialogTest::failedLoadKeepsTheDataSetThatWasOpen()
{
    QVERIFY2(w_->open("three", 3), "the flow with three values should load");
    window_->arrowPage()->codingList()->setCurrentIndex(3);
    QVERIFY2(w_->draw(true, false, true), "a first picture");
    const QImage before = w_->picture();
    const auto view = window_->view();
    const auto coder = window_->backgroundPage()->coder();
    QFile broken(w_->dir.filePath(QStringLiteral("broken.gri")));
    QVERIFY2(broken.open(QIODevice::WriteOnly) && broken.write("not a grid file") > 0, "cannot write the file");
    broken.close();
    TVL_CHECK(!w_->open({broken.fileName(), w_->dir.filePath(QStringLiteral("three.dat"))}), "the broken file fails");
    const FakeDialogs::Prompt& error = w_->dialogs->prompts.back();
    TVL_CHECK(error.caption == QStringLiteral("Information") && error.icon == DialogProvider::Icon::Critical
            && error.text == QStringLiteral("Ein Fehler ist beim Laden der Flowdaten aufgetreten.")
            && error.detail.startsWith(QStringLiteral("[Tavrel|FlowData|loadData]: ")),
        "the error box with the logged cause: " + error.detail);
    TVL_CHECK(window_->windowTitle() == kLoaded && window_->arrowPage()->codingList()->currentIndex() == 3
            && listIs(window_->backgroundPage()->dataList(), 0, 3),
        "the caption, the lists and their selection stay");
    TVL_CHECK(window_->view() == view && window_->backgroundPage()->coder() == coder, "view and coder stay");
    TVL_CHECK(w_->hiddenForPrompts() && w_->draw(true, false, true) && w_->picture() == before,
        "Draw draws the data set that was");
}

void CMainDialogTest::laterLoadsReplaceViewAndCoder()
{
    QVERIFY2(w_->open("three", 3), "the first flow should load");
    window_->arrowPage()->codingList()->setCurrentIndex(4);
    window_->backgroundPage()->directionButton()->click();
    QVERIFY2(w_->draw(true, false, true), "a first picture");
    const QImage first = w_->picture();
    const std::weak_ptr<FlowView> earlier = window_->view();
    QVERIFY2(w_->open("none", 0, FlowKind::Saddle), "the second flow should load");
    TVL_CHECK(earlier.expired() && !window_->canvas(0)->lastView(), "the earlier view is gone from every canvas");
    TVL_CHECK(window_->backgroundPage()->directionButton()->isChecked()
            && dynamic_cast<const SpeedCoder*>(window_->backgroundPage()->coder().get()),
        "the button keeps showing Direction, but the coder is a SpeedCoder");
    window_->arrowPage()->resolutionSlider()->setValue(30);
    TVL_CHECK(w_->picture() == first && window_->canvas(0)->settings().arrowCoding.value == 2,
        "the canvas keeps its picture until the next Draw, and still names value 2");
    QVERIFY2(w_->draw(true, false, false), "Draw with a value the data set lacks");
    const QImage stale = w_->picture();
    window_->arrowPage()->codingList()->setCurrentIndex(0);
    TVL_CHECK(stale != first && w_->picture() == stale, "the new data set, its arrows uncoded for the missing value");
    TVL_CHECK(window_->canvas(0)->settings().arrowCoding.kind == ArrowCoding::Kind::None,
        "the first entry, no coding, reaches the canvas");
}

void CMainDialogTest::canvasChoiceResetsTheZoomAndHandsTheSettings()
{
    QTest::mouseClick(window_->canvas2Button(), Qt::LeftButton);
    TVL_CHECK(window_->arrowPage()->canvas() == window_->canvas(1) && !window_->canvas(1)->hasPicture()
            && w_->dialogs->prompts.empty(),
        "without data the choice only rebinds the pages");
    QTest::mouseClick(window_->canvas1Button(), Qt::LeftButton);
    QVERIFY2(w_->open("flow", 2) && w_->draw(true, false, false), "a first picture");
    COpenGLWnd* first = window_->canvas(0);
    window_->view()->zoomToWindowRect(30, first->height() - 30, 150, first->height() - 150);
    TVL_CHECK(window_->view()->regionMaximum().x < 2.0f, "zoomed in");
    window_->arrowPage()->resolutionSlider()->setValue(35);
    window_->streamlinePage()->dsepSlider()->setValue(300);
    window_->streamlinePage()->integrationList()->setCurrentIndex(1);
    window_->streamlinePage()->manualButton()->click();
    window_->backgroundPage()->directionButton()->click();
    QTest::mouseClick(window_->canvas2Button(), Qt::LeftButton);
    COpenGLWnd* second = window_->canvas(1);
    TVL_CHECK(window_->currentCanvas() == second && window_->streamlinePage()->canvas() == second
            && window_->view()->regionMinimum().x == 0.0f && window_->view()->regionMaximum().x == 2.0f
            && window_->view()->canvasWidth() == second->width(),
        "the shared view returns to the full extent, fitted to canvas 2");
    TVL_CHECK(second->settings().dsepPosition == 300.0f && indexOf(second->settings().scheme) == 1
            && !second->evenPlacement() && second->dataCoder() == window_->backgroundPage()->coder(),
        "the streamline settings and the coder are handed over");
    TVL_CHECK(second->settings().arrowStep == 20 && first->settings().arrowStep == 35, "the arrow settings are not");
    window_->view()->zoomToWindowRect(10, 10, 100, 100);
    QTest::mouseClick(window_->canvas2Button(), Qt::LeftButton);
    TVL_CHECK_EQ(window_->view()->regionMaximum().x, 2.0f, "choosing the current canvas again resets the zoom too");
}

void CMainDialogTest::settingsPagesWriteIntoTheCurrentCanvas()
{
    QVERIFY2(w_->open("flow", 2), "the flow should load");
    COpenGLWnd* canvas = window_->canvas(0);
    window_->arrowPage()->resolutionSlider()->setValue(42);
    window_->arrowPage()->codingList()->setCurrentIndex(3);
    TVL_CHECK(canvas->settings().arrowStep == 42 && canvas->settings().arrowCoding.value == 1 && !canvas->hasPicture(),
        "before a Draw the arrow page only stores; coding position 3 codes value 1");
    QVERIFY2(w_->draw(true, true, false), "a picture");
    const QImage at42 = w_->picture();
    window_->streamlinePage()->dtestSlider()->setValue(75);
    TVL_CHECK(
        canvas->settings().dtestPosition == 75.0f && w_->picture() == at42, "streamline settings wait for a Draw");
    window_->arrowPage()->resolutionSlider()->setValue(10);
    TVL_CHECK(canvas->settings().arrowStep == 10 && w_->picture() != at42, "after a Draw each move redraws");
}

void CMainDialogTest::clearRedrawsWithoutStreamlines()
{
    QVERIFY2(w_->open("flow", 0) && w_->draw(true, true, false), "a picture");
    CStreamlinePage* page = window_->streamlinePage();
    TVL_CHECK(countPixels(w_->picture(), isWhite) > 1000, "even streamlines expected");
    page->clearButton()->click();
    TVL_CHECK(countPixels(w_->picture(), isWhite) == 0 && countPixels(w_->picture(), isArrowColour) > 500,
        "Clear removes the even streamlines and keeps the arrows");
    page->manualButton()->click();
    sendMouse(window_->canvas(0), QEvent::MouseButtonRelease, {100, 600}, Qt::LeftButton, Qt::NoButton);
    TVL_CHECK(countPixels(w_->picture(), isWhite) > 40, "the click seeds a streamline");
    page->clearButton()->click();
    TVL_CHECK(countPixels(w_->picture(), isWhite) == 0 && !window_->canvas(0)->evenPlacement(),
        "Clear removes the seeded streamlines and leaves the canvas in Manual mode");
    page->evenButton()->click();
    TVL_CHECK(window_->canvas(0)->evenPlacement() && w_->draw(true, true, false)
            && countPixels(w_->picture(), isWhite) > 1000,
        "the next Draw places them again");
}

void CMainDialogTest::backgroundPageBuildsAFreshCoderForEachChoice()
{
    QVERIFY2(w_->open("none", 0), "the flow without values should load");
    CBackgroundPage* page = window_->backgroundPage();
    const std::weak_ptr<const DataCoder> first = page->coder();
    page->additionalButton()->click();
    TVL_CHECK(page->coder() == first.lock() && !page->dataList()->isEnabled(), "no values: no change");
    QTest::mouseClick(window_->canvas2Button(), Qt::LeftButton);
    page->directionButton()->click();
    TVL_CHECK(dynamic_cast<const DirectionCoder*>(page->coder().get())
            && window_->canvas(1)->dataCoder() == page->coder() && window_->canvas(0)->dataCoder() == first.lock(),
        "a DirectionCoder for the current canvas only");
    window_->canvas(0)->releaseReferences();
    TVL_CHECK(first.expired(), "a replaced coder lives exactly as long as a canvas holds it");
    QVERIFY2(w_->open("two", 2), "the flow with two values should load");
    for (int click = 0; click < 2; ++click) {
        const auto before = page->coder();
        page->additionalButton()->click();
        const auto* coder = dynamic_cast<const AdditionalDataCoder*>(page->coder().get());
        TVL_CHECK(page->dataList()->isEnabled() && page->dataList()->currentIndex() == 0 && coder
                && coder->valueIndex() == 0 && page->coder() != before,
            "Additional Data selects the first entry again and builds a new coder");
        page->dataList()->setCurrentIndex(1);
        coder = dynamic_cast<const AdditionalDataCoder*>(page->coder().get());
        TVL_CHECK(coder && coder->valueIndex() == 1, "the list position is the value index");
    }
    page->dataList()->setCurrentIndex(0);
    const auto* firstValue = dynamic_cast<const AdditionalDataCoder*>(page->coder().get());
    TVL_CHECK(firstValue && firstValue->valueIndex() == 0, "back on the first entry, value 0");
}

void CMainDialogTest::tabsKeepEachPagesFocusAndPagesKeepEnterAndEscape()
{
    CLayerTabCtrl* tabs = window_->tabCtrl();
    window_->activateWindow();
    QVERIFY2(QTest::qWaitForWindowActive(window_), "the window never became active");
    QWidget* arrows[] = {window_->arrowPage()->resolutionSlider(), window_->arrowPage()->codingList()};
    QWidget* lines[] = {window_->streamlinePage()->integrationList(), window_->streamlinePage()->dsepSlider()};
    arrows[1]->setFocus();
    QTRY_VERIFY2(arrows[1]->hasFocus(), "the coding list should have the focus");
    tabs->setCurrentIndex(1);
    QTRY_VERIFY2(lines[0]->hasFocus(), "a page shown the first time gives its first control the focus");
    lines[1]->setFocus();
    tabs->setCurrentIndex(0);
    QTRY_VERIFY2(arrows[1]->hasFocus(), "back on a page the control that had the focus there gets it back");
    tabs->setCurrentIndex(1);
    QTRY_VERIFY2(lines[1]->hasFocus(), "on either page");
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(lines[1], key);
    TVL_CHECK(window_->isVisible(), "Enter or Escape inside a page closes nothing");
}

void CMainDialogTest::quitAsksAndEscapeEndsAtOnce()
{
    QVERIFY2(w_->open("flow", 0) && w_->draw(true, false, true), "a picture");
    const QImage before = w_->picture();
    window_->menuBar()->actions()[0]->menu()->actions().back()->trigger();
    const FakeDialogs::Prompt& question = w_->dialogs->prompts.back();
    TVL_CHECK(question.kind == QStringLiteral("question") && question.caption == QStringLiteral("Ende?")
            && question.text == QStringLiteral("Wollen Sie wirklich beenden?"),
        "Quit asks");
    TVL_CHECK(w_->hiddenForPrompts() && window_->isVisible() && window_->result() == 0 && w_->picture() == before,
        "No leaves everything as it was");
    w_->dialogs->questionAnswers.push_back(true);
    window_->OnFileQuit();
    TVL_CHECK(!window_->isVisible() && window_->result() == int(QDialog::Accepted), "Yes ends the dialog");
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        window_->show();
        QVERIFY2(QTest::qWaitForWindowExposed(window_), "the window did not come back");
        QTest::keyClick(window_->arrowBox(), key);
        TVL_CHECK(!window_->isVisible() && window_->result() == (key == Qt::Key_Return), "Escape and Enter end it");
    }
}

void CMainDialogTest::saveImageAndTransferEdits()
{
    window_->OnFileSaveImage();
    TVL_CHECK(
        w_->dialogs->prompts[0].caption == QStringLiteral("Hinweis") && w_->dialogs->count(QStringLiteral("save")) == 0,
        "Save Image without a picture only hints");
    QVERIFY2(w_->open("flow", 0) && w_->draw(false, false, true), "a picture");
    // A new point from the strip shows in the canvas when the dialog is gone.
    w_->dialogs->colorAnswers.push_back(QColor(255, 0, 0));
    CTransferDisplay* strip = window_->transferDisplay();
    QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, QPoint(strip->width() / 2, strip->height() / 2));
    TVL_CHECK(countPixels(w_->picture(), [](Rgb8 p) { return p.r > 200 && p.g < 60 && p.b < 60; }) > 0,
        "shown again, the canvas shows the new red point");
    TVL_CHECK(w_->hiddenForPrompts(), "the canvases are hidden for the colour dialog");
}

TVL_GUI_TEST_MAIN(CMainDialogTest)
#include "CMainDialogTest.moc"
