#include "ui/CArrowPlotPage.h"

#include "GuiTest.h"
#include "ui/COpenGLWnd.h"
#include "ui/GlShareScope.h"
#include "view/FlowView.h"

#include <QComboBox>
#include <QSlider>

using namespace tvl;
using namespace tvl::test;

class CArrowPlotPageTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsAtResolution20AndNoCoding();
    void resolutionBeforeADrawOnlyStores();
    void resolutionAfterADrawRedrawsAtOnce();
    void codingPositionGivesCodingAndDataIndex();
    void additionalEntriesReplaceThoseOfTheLastDataSet();
    void enterAndEscapeCloseNothing();

private:
    FlowData flow_;
    std::unique_ptr<COpenGLWnd> canvas_;
    std::unique_ptr<CArrowPlotPage> page_;
};

void CArrowPlotPageTest::init()
{
    setUniformFlow(flow_, 40, 20, 1.0f, 0.5f, {0.0f, 0.0f, 0.0f}, {2.0f, 1.0f, 0.0f});
    canvas_ = std::make_unique<COpenGLWnd>();
    canvas_->resize(160, 80);
    canvas_->show();
    QVERIFY2(QTest::qWaitForWindowExposed(canvas_.get()), "the canvas never appeared");
    page_ = std::make_unique<CArrowPlotPage>();
    page_->setCanvas(canvas_.get());
}

void CArrowPlotPageTest::cleanup()
{
    page_.reset();
    canvas_.reset();
}

void CArrowPlotPageTest::startsAtResolution20AndNoCoding()
{
    const QSlider* slider = page_->resolutionSlider();
    TVL_CHECK_EQ(slider->minimum(), 5, "resolution range starts at 5");
    TVL_CHECK_EQ(slider->maximum(), 80, "resolution range ends at 80");
    TVL_CHECK_EQ(slider->value(), 20, "resolution starts at 20");
    TVL_CHECK_EQ(slider->tickPosition(), QSlider::NoTicks, "the slider has no tick marks");
    const QComboBox* list = page_->codingList();
    TVL_CHECK_EQ(list->count(), 2, "only the two fixed codings before a load");
    TVL_CHECK_EQ(list->itemText(0), QStringLiteral("No data encoding"), "first coding");
    TVL_CHECK_EQ(list->itemText(1), QStringLiteral("Speed"), "second coding");
    TVL_CHECK_EQ(list->currentIndex(), 0, "\"No data encoding\" is selected at start");
}

void CArrowPlotPageTest::resolutionBeforeADrawOnlyStores()
{
    page_->resolutionSlider()->setValue(42);
    TVL_CHECK_EQ(canvas_->settings().arrowStep, 42, "the slider must hand its position to the canvas");
    TVL_CHECK(!canvas_->hasPicture(), "before a draw the canvas only stores the resolution");
}

void CArrowPlotPageTest::resolutionAfterADrawRedrawsAtOnce()
{
    auto view = makeSharedView(flow_);
    view->setCanvasSize(160, 80);
    view->resetRegion();
    canvas_->drawLayers(view, Layers {false, false, true});
    const QImage at20 = canvas_->picture();
    page_->resolutionSlider()->setValue(10);
    const QImage at10 = canvas_->picture();
    TVL_CHECK(countPixels(at10, isArrowColour) != countPixels(at20, isArrowColour),
        "a slider move after a draw must redraw the arrows at once");
    page_->resolutionSlider()->setValue(60);
    TVL_CHECK(canvas_->picture() != at10, "every move must redraw");
}

void CArrowPlotPageTest::codingPositionGivesCodingAndDataIndex()
{
    page_->setAdditionalEntries(3);
    page_->codingList()->setCurrentIndex(3);
    TVL_CHECK_EQ(canvas_->settings().arrowCoding.listPosition(), 3, "position 3 codes additional value 1");
    TVL_CHECK_EQ(canvas_->settings().arrowCoding.value, 1, "data index is the position minus the two fixed entries");
    page_->codingList()->setCurrentIndex(1);
    TVL_CHECK_EQ(canvas_->settings().arrowCoding.listPosition(), 1, "position 1 codes the speed");
}

void CArrowPlotPageTest::additionalEntriesReplaceThoseOfTheLastDataSet()
{
    QComboBox* list = page_->codingList();
    page_->setAdditionalEntries(3);
    page_->setAdditionalEntries(3);
    TVL_CHECK_EQ(list->count(), 5, "a second fill with three values must still give three entries");
    for (int i = 0; i < 3; ++i)
        TVL_CHECK_EQ(list->itemText(2 + i), QStringLiteral("Special Dataset %1").arg(i), "entry text");

    list->setCurrentIndex(4);
    const int codingBefore = canvas_->settings().arrowCoding.listPosition();
    page_->setAdditionalEntries(3);
    TVL_CHECK_EQ(list->currentIndex(), 4, "a selection whose entry is refilled stays");
    page_->setAdditionalEntries(1);
    TVL_CHECK_EQ(list->count(), 3, "one value gives one entry");
    TVL_CHECK_EQ(list->currentIndex(), -1, "a selection whose entry is gone shows none");
    TVL_CHECK_EQ(canvas_->settings().arrowCoding.listPosition(), codingBefore,
        "refilling the list is no user choice for the canvas");
    page_->setAdditionalEntries(0);
    TVL_CHECK_EQ(list->count(), 2, "no values leave only the fixed entries");
}

void CArrowPlotPageTest::enterAndEscapeCloseNothing()
{
    QDialog dialog;
    page_->setParent(&dialog);
    dialog.show();
    QVERIFY2(QTest::qWaitForWindowExposed(&dialog), "the dialog never appeared");
    page_->resolutionSlider()->setFocus();
    QTest::keyClick(page_->resolutionSlider(), Qt::Key_Escape);
    QTest::keyClick(page_->resolutionSlider(), Qt::Key_Return);
    TVL_CHECK(dialog.isVisible(), "Enter or Escape inside a page must not close its window");
    TVL_CHECK_EQ(dialog.result(), 0, "no dialog result may be set");
    page_->setParent(nullptr);
}

TVL_GUI_TEST_MAIN(CArrowPlotPageTest)
#include "CArrowPlotPageTest.moc"
