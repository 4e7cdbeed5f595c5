#include "ui/CStreamlinePage.h"

#include "GuiTest.h"
#include "ui/COpenGLWnd.h"
#include "ui/GlShareScope.h"
#include "view/FlowView.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

using namespace tvl;
using namespace tvl::test;

class CStreamlinePageTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsWithEulerEvenDistancesAndDefaultSliders();
    void placementButtonsSetThePlacement();
    void listAndSlidersHandAllThreeSettingsWithoutRedraw();
    void clearInManualModeRedrawsAndStaysManual();
    void clearInEvenModeRemovesTheStreamlinesUntilTheNextDraw();

private:
    FlowData flow_;
    std::unique_ptr<COpenGLWnd> canvas_;
    std::unique_ptr<CStreamlinePage> page_;
    std::shared_ptr<FlowView> view_;
};

void CStreamlinePageTest::init()
{
    setUniformFlow(flow_, 40, 20, 1.0f, 0.0f, {0.0f, 0.0f, 0.0f}, {2.0f, 1.0f, 0.0f});
    canvas_ = std::make_unique<COpenGLWnd>();
    canvas_->resize(160, 80);
    canvas_->show();
    QVERIFY2(QTest::qWaitForWindowExposed(canvas_.get()), "the canvas never appeared");
    view_ = makeSharedView(flow_);
    view_->setCanvasSize(160, 80);
    view_->resetRegion();
    page_ = std::make_unique<CStreamlinePage>();
    page_->setCanvas(canvas_.get());
}

void CStreamlinePageTest::cleanup()
{
    page_.reset();
    view_.reset();
    canvas_.reset();
}

void CStreamlinePageTest::startsWithEulerEvenDistancesAndDefaultSliders()
{
    const QComboBox* list = page_->integrationList();
    TVL_CHECK_EQ(list->count(), 3, "three integrators");
    TVL_CHECK_EQ(list->itemText(0), QStringLiteral("Euler"), "entry 0");
    TVL_CHECK_EQ(list->itemText(1), QStringLiteral("Runge Kutta 2"), "entry 1");
    TVL_CHECK_EQ(list->itemText(2), QStringLiteral("Runge Kutta 4"), "entry 2");
    TVL_CHECK_EQ(list->currentIndex(), 0, "Euler is selected at start");
    TVL_CHECK(
        page_->evenButton()->isChecked() && !page_->manualButton()->isChecked(), "Even Distances is checked at start");
    TVL_CHECK_EQ(page_->dsepSlider()->minimum(), 10, "dsep range");
    TVL_CHECK_EQ(page_->dsepSlider()->maximum(), 1000, "dsep range");
    TVL_CHECK_EQ(page_->dsepSlider()->value(), 100, "dsep starts at 100");
    TVL_CHECK_EQ(page_->dtestSlider()->minimum(), 1, "dtest range");
    TVL_CHECK_EQ(page_->dtestSlider()->maximum(), 99, "dtest range");
    TVL_CHECK_EQ(page_->dtestSlider()->value(), 50, "dtest starts at 50");
    const StreamlineSettings settings = page_->getStreamlineSettings();
    TVL_CHECK(settings.dsep == 100 && settings.dtest == 50 && settings.scheme == IntegrationScheme::Euler
            && settings.placement == Placement::EvenDistances,
        "the settings getter must report the start values");
}

void CStreamlinePageTest::placementButtonsSetThePlacement()
{
    page_->manualButton()->click();
    TVL_CHECK(!canvas_->evenPlacement(), "Manual must reach the canvas");
    TVL_CHECK(page_->getStreamlineSettings().placement == Placement::Manual, "the page must remember Manual");
    page_->evenButton()->click();
    TVL_CHECK(canvas_->evenPlacement(), "Even Distances must reach the canvas");
    TVL_CHECK(
        page_->getStreamlineSettings().placement == Placement::EvenDistances, "the page must remember Even Distances");
}

void CStreamlinePageTest::listAndSlidersHandAllThreeSettingsWithoutRedraw()
{
    canvas_->drawLayers(view_, Layers {false, true, false});
    const QImage before = canvas_->picture();
    page_->integrationList()->setCurrentIndex(2);
    TVL_CHECK(indexOf(canvas_->settings().scheme) == 2 && canvas_->settings().dsepPosition == 100.0f
            && canvas_->settings().dtestPosition == 50.0f,
        "an integrator change hands all three settings");
    page_->dsepSlider()->setValue(250);
    TVL_CHECK(canvas_->settings().dsepPosition == 250.0f && indexOf(canvas_->settings().scheme) == 2,
        "a dsep move hands all three settings");
    page_->dtestSlider()->setValue(75);
    TVL_CHECK(canvas_->settings().dtestPosition == 75.0f && canvas_->settings().dsepPosition == 250.0f,
        "a dtest move hands all three settings");
    TVL_CHECK(canvas_->picture() == before, "streamline settings show only at the next Draw");
    const StreamlineSettings settings = page_->getStreamlineSettings();
    TVL_CHECK(settings.dsep == 250 && settings.dtest == 75 && settings.scheme == IntegrationScheme::RungeKutta4,
        "the settings getter must report the controls");
}

void CStreamlinePageTest::clearInManualModeRedrawsAndStaysManual()
{
    page_->manualButton()->click();
    canvas_->drawLayers(view_, Layers {false, true, true});
    sendMouse(canvas_.get(), QEvent::MouseButtonRelease, {80, 40}, Qt::LeftButton, Qt::NoButton);
    TVL_CHECK(countPixels(canvas_->picture(), isWhite) > 40, "the click should have seeded a streamline");
    page_->clearButton()->click();
    TVL_CHECK_EQ(countPixels(canvas_->picture(), isWhite), 0, "Clear must remove the seeded streamlines");
    TVL_CHECK(countPixels(canvas_->picture(), isArrowColour) > 50, "Clear must keep the arrows");
    TVL_CHECK(!canvas_->evenPlacement(), "Clear must leave the canvas in Manual mode");
}

void CStreamlinePageTest::clearInEvenModeRemovesTheStreamlinesUntilTheNextDraw()
{
    canvas_->drawLayers(view_, Layers {false, true, false});
    TVL_CHECK(countPixels(canvas_->picture(), isWhite) > 160, "even streamlines expected");
    page_->clearButton()->click();
    TVL_CHECK_EQ(countPixels(canvas_->picture(), isWhite), 0, "Clear must remove the even streamlines");
    TVL_CHECK(canvas_->evenPlacement(), "Clear must leave the canvas in Even Distances mode");
    canvas_->drawLayers(view_, Layers {false, true, false});
    TVL_CHECK(countPixels(canvas_->picture(), isWhite) > 160, "the next Draw must place them again");
}

TVL_GUI_TEST_MAIN(CStreamlinePageTest)
#include "CStreamlinePageTest.moc"
