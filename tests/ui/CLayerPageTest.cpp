#include "ui/CLayerPage.h"

#include "GuiTest.h"
#include "ui/CArrowPlotPage.h"
#include "ui/CBackgroundPage.h"
#include "ui/COpenGLWnd.h"
#include "ui/CStreamlinePage.h"
#include "ui/GlShareScope.h"
#include "view/AdditionalDataCoder.h"
#include "view/DirectionCoder.h"
#include "view/FlowView.h"
#include "view/SpeedCoder.h"

#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

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
    void arrowCodingListFollowsTheDataSet();
    void streamlinePageHandsItsSettingsForTheNextDraw();
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

void CLayerPageTest::arrowCodingListFollowsTheDataSet()
{
    QComboBox* list = arrows_.codingList();
    arrows_.setAdditionalEntries(3);
    arrows_.setAdditionalEntries(3);
    TVL_CHECK_EQ(list->count(), 5, "a second fill with three values still gives three entries");
    TVL_CHECK_EQ(list->itemText(4), QStringLiteral("Special Dataset 2"), "entry text");
    list->setCurrentIndex(3);
    TVL_CHECK_EQ(canvas_->settings().arrowCoding.listPosition(), 3, "position 3 codes additional value 1");
    TVL_CHECK_EQ(canvas_->settings().arrowCoding.value, 1, "the data index is the position less the fixed two");
    list->setCurrentIndex(4);
    arrows_.setAdditionalEntries(3);
    TVL_CHECK_EQ(list->currentIndex(), 4, "a selection whose entry is refilled stays");
    arrows_.setAdditionalEntries(1);
    TVL_CHECK_EQ(list->currentIndex(), -1, "a selection whose entry is gone shows none");
    TVL_CHECK_EQ(canvas_->settings().arrowCoding.listPosition(), 4, "refilling the list is no choice of the user");
    arrows_.setAdditionalEntries(0);
    TVL_CHECK_EQ(list->count(), 2, "no values leave the fixed entries");
}

void CLayerPageTest::streamlinePageHandsItsSettingsForTheNextDraw()
{
    streamlines_.manualButton()->click();
    TVL_CHECK(!canvas_->evenPlacement(), "Manual reaches the canvas");
    streamlines_.evenButton()->click();
    TVL_CHECK(canvas_->evenPlacement(), "Even Distances reaches the canvas");
    canvas_->drawLayers(view_, Layers {false, true, false});
    const QImage before = canvas_->picture();
    streamlines_.integrationList()->setCurrentIndex(2);
    streamlines_.dsepSlider()->setValue(250);
    TVL_CHECK(canvas_->settings().dsepPosition == 250.0f && indexOf(canvas_->settings().scheme) == 2,
        "a dsep move hands the integrator as well");
    streamlines_.dtestSlider()->setValue(75);
    TVL_CHECK(canvas_->settings().dtestPosition == 75.0f && canvas_->settings().dsepPosition == 250.0f,
        "a dtest move hands dsep as well");
    TVL_CHECK(canvas_->picture() == before, "streamline settings show only at the next Draw");
    const StreamlineSettings settings = streamlines_.getStreamlineSettings();
    TVL_CHECK(settings.dsep == 250 && settings.dtest == 75 && settings.scheme == IntegrationScheme::RungeKutta4
            && settings.placement == Placement::EvenDistances,
        "the page reports its controls");
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
    TVL_CHECK(!background_.coder(), "no coder before a data set");
    background_.setFlowData(&flow_);
    const std::weak_ptr<const DataCoder> first = background_.coder();
    TVL_CHECK(holds<SpeedCoder>() && canvas_->dataCoder() == first.lock(), "a SpeedCoder for the canvas");
    background_.setFlowData(&flow_);
    TVL_CHECK(background_.coder() == first.lock(), "a later data set keeps the coder");
    background_.additionalButton()->click();
    TVL_CHECK(background_.coder() == first.lock() && !background_.dataList()->isEnabled(), "no values: no change");
    COpenGLWnd other;
    background_.setCanvas(&other);
    background_.directionButton()->click();
    TVL_CHECK(holds<DirectionCoder>() && other.dataCoder() == background_.coder(), "a DirectionCoder");
    TVL_CHECK(canvas_->dataCoder() == first.lock(), "only the current canvas gets the new coder");
    canvas_->releaseReferences();
    TVL_CHECK(first.expired(), "a replaced coder lives exactly as long as a canvas holds it");
    const auto direction = background_.coder();
    background_.speedButton()->click();
    TVL_CHECK(holds<SpeedCoder>() && background_.coder() != direction, "Speed builds a SpeedCoder");

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
    background_.setAdditionalEntries(2);
    TVL_CHECK(background_.dataList()->currentIndex() == -1 && background_.coder() == other.dataCoder(),
        "a refilled list shows no selection and builds no coder");
    background_.resetCoder();
    TVL_CHECK(holds<SpeedCoder>() && background_.additionalButton()->isChecked(),
        "resetCoder builds a SpeedCoder and leaves the buttons");
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
