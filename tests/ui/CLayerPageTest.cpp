#include "ui/CLayerPage.h"

#include "GuiTest.h"
#include "ui/CArrowPlotPage.h"
#include "ui/CBackgroundPage.h"
#include "ui/CStreamlinePage.h"
#include "view/AdditionalDataCoder.h"
#include "view/DirectionCoder.h"
#include "view/SpeedCoder.h"

using namespace tvl;
using namespace tvl::test;

// The three settings pages writing into one 160 × 80 canvas over a uniform
// flow with two additional values.
class CLayerPageTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void arrowPageRedrawsOnlyAfterADraw();
    void listsAndSlidersHandTheirSettingsForTheNextDraw();
    void clearRedrawsWithoutStreamlines();
    void backgroundPageBuildsAFreshCoderForEachChoice();
    void enterAndEscapeCloseNothing();

private:
    template <class Coder> bool holds() const { return dynamic_cast<const Coder*>(background_.coder().get()); }

    FlowData flow_;
    std::unique_ptr<COpenGLWnd> canvas_;
    std::shared_ptr<FlowView> view_;
    CArrowPlotPage arrows_;
    CStreamlinePage streamlines_;
    CBackgroundPage background_;
};

void CLayerPageTest::init()
{
    test::setRegularGrid(flow_, 40, 20, 2, std::vector<RegularSample>(800, RegularSample {1, 0, 0, 1}),
        std::vector<float>(1600, 0.5f), {0, 0, 0}, {2, 1, 0});
    canvas_ = std::make_unique<COpenGLWnd>();
    canvas_->resize(160, 80);
    canvas_->show();
    QVERIFY2(QTest::qWaitForWindowExposed(canvas_.get()), "the canvas never appeared");
    view_ = makeSharedView(flow_);
    view_->setCanvasSize(160, 80);
    view_->resetRegion();
    for (CLayerPage* page : {static_cast<CLayerPage*>(&arrows_), static_cast<CLayerPage*>(&streamlines_),
             static_cast<CLayerPage*>(&background_)})
        page->setCanvas(canvas_.get());
    background_.setColorTable(makeUniformTable(16, {10, 20, 30}));
}

void CLayerPageTest::cleanup()
{
    view_.reset();
    canvas_.reset();
}

void CLayerPageTest::arrowPageRedrawsOnlyAfterADraw()
{
    arrows_.resolutionSlider()->setValue(42);
    TVL_CHECK_EQ(canvas_->settings().arrowStep, 42, "the slider hands its position to the canvas");
    TVL_CHECK(!canvas_->hasPicture(), "before a draw the canvas only stores the resolution");
    canvas_->drawLayers(view_, Layers {false, false, true});
    const QImage at42 = canvas_->picture();
    arrows_.resolutionSlider()->setValue(10);
    const QImage at10 = canvas_->picture();
    TVL_CHECK(countPixels(at10, isArrowColour) > countPixels(at42, isArrowColour), "a move after a draw redraws");
    arrows_.resolutionSlider()->setValue(60);
    TVL_CHECK(canvas_->picture() != at10, "every move redraws");
}

void CLayerPageTest::listsAndSlidersHandTheirSettingsForTheNextDraw()
{
    arrows_.setAdditionalEntries(3);
    arrows_.codingList()->setCurrentIndex(3);
    TVL_CHECK(canvas_->settings().arrowCoding.listPosition() == 3 && canvas_->settings().arrowCoding.value == 1,
        "coding position 3 codes additional value 1");
    canvas_->drawLayers(view_, Layers {false, true, false});
    const QImage before = canvas_->picture();
    streamlines_.integrationList()->setCurrentIndex(2);
    streamlines_.dsepSlider()->setValue(250);
    streamlines_.dtestSlider()->setValue(75);
    TVL_CHECK(canvas_->settings().dsepPosition == 250.0f && canvas_->settings().dtestPosition == 75.0f
            && indexOf(canvas_->settings().scheme) == 2,
        "each move hands all three streamline settings");
    TVL_CHECK(canvas_->picture() == before, "streamline settings show only at the next Draw");
}

void CLayerPageTest::clearRedrawsWithoutStreamlines()
{
    canvas_->drawLayers(view_, Layers {false, true, true});
    TVL_CHECK(countPixels(canvas_->picture(), isWhite) > 160, "even streamlines expected");
    streamlines_.clearButton()->click();
    TVL_CHECK_EQ(countPixels(canvas_->picture(), isWhite), 0, "Clear removes the even streamlines");
    TVL_CHECK(countPixels(canvas_->picture(), isArrowColour) > 50, "and keeps the arrows");
    TVL_CHECK(canvas_->evenPlacement(), "and the placement");
    streamlines_.manualButton()->click();
    sendMouse(canvas_.get(), QEvent::MouseButtonRelease, {80, 40}, Qt::LeftButton, Qt::NoButton);
    TVL_CHECK(countPixels(canvas_->picture(), isWhite) > 40, "the click should seed a streamline");
    streamlines_.clearButton()->click();
    TVL_CHECK_EQ(countPixels(canvas_->picture(), isWhite), 0, "Clear removes the seeded streamlines");
    TVL_CHECK(!canvas_->evenPlacement(), "and leaves the canvas in Manual mode");
    streamlines_.evenButton()->click();
    canvas_->drawLayers(view_, Layers {false, true, false});
    TVL_CHECK(countPixels(canvas_->picture(), isWhite) > 160, "the next Draw places them again");
}

void CLayerPageTest::backgroundPageBuildsAFreshCoderForEachChoice()
{
    background_.setFlowData(&flow_);
    const std::weak_ptr<const DataCoder> first = background_.coder();
    TVL_CHECK(holds<SpeedCoder>() && canvas_->dataCoder() == first.lock(), "a SpeedCoder for the canvas");
    background_.additionalButton()->click();
    TVL_CHECK(background_.coder() == first.lock() && !background_.dataList()->isEnabled(), "no values: no change");
    COpenGLWnd other;
    background_.setCanvas(&other);
    background_.directionButton()->click();
    TVL_CHECK(holds<DirectionCoder>() && other.dataCoder() == background_.coder(), "a DirectionCoder");
    TVL_CHECK(canvas_->dataCoder() == first.lock(), "only the current canvas gets the new coder");
    canvas_->releaseReferences();
    TVL_CHECK(first.expired(), "a replaced coder lives exactly as long as a canvas holds it");
    background_.setAdditionalEntries(2);
    TVL_CHECK_EQ(background_.dataList()->itemText(1), QStringLiteral("Special Dataset 1"), "entry text");
    for (int click = 0; click < 2; ++click) {
        const auto before = background_.coder();
        background_.additionalButton()->click();
        const auto* coder = dynamic_cast<const AdditionalDataCoder*>(background_.coder().get());
        TVL_CHECK(background_.dataList()->isEnabled() && background_.dataList()->currentIndex() == 0,
            "Additional Data enables the list and selects its first entry");
        TVL_CHECK(coder && coder->valueIndex() == 0 && background_.coder() != before, "each click a new coder");
        background_.dataList()->setCurrentIndex(1);
        coder = dynamic_cast<const AdditionalDataCoder*>(background_.coder().get());
        TVL_CHECK(coder && coder->valueIndex() == 1, "the list position is the value index");
    }
}

void CLayerPageTest::enterAndEscapeCloseNothing()
{
    QDialog dialog;
    CLayerPage* page = new CStreamlinePage(&dialog);
    dialog.show();
    QVERIFY2(QTest::qWaitForWindowExposed(&dialog), "the dialog never appeared");
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(page, key);
    TVL_CHECK(dialog.isVisible() && dialog.result() == 0, "Enter or Escape inside a page closes nothing");
}

TVL_GUI_TEST_MAIN(CLayerPageTest)
#include "CLayerPageTest.moc"
