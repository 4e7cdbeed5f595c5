#include "ui/CBackgroundPage.h"

#include "GuiTest.h"
#include "ui/COpenGLWnd.h"
#include "view/AdditionalDataCoder.h"
#include "view/DirectionCoder.h"
#include "view/SpeedCoder.h"

#include <QComboBox>
#include <QRadioButton>

using namespace tvl;
using namespace tvl::test;

class CBackgroundPageTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsWithSpeedAndADisabledList();
    void firstFlowDataBuildsASpeedCoderForTheCanvas();
    void directionAndSpeedBuildTheirCoders();
    void additionalDataWithAnEmptyListChangesNothing();
    void additionalDataSelectsTheFirstEntryEachTime();
    void listChoiceNamesTheValueIndex();
    void resetCoderGivesSpeedWhateverTheButtons();
    void replacedCoderLivesOnInTheCanvasThatHoldsIt();

private:
    FlowData flow_;
    std::shared_ptr<ColorTable> table_;
    std::unique_ptr<COpenGLWnd> canvas_;
    std::unique_ptr<CBackgroundPage> page_;
};

void CBackgroundPageTest::init()
{
    const int w = 10;
    const int h = 8;
    std::vector<RegularSample> samples(static_cast<std::size_t>(w * h), RegularSample {1.0f, 0.0f, 0.0f, 1.0f});
    std::vector<float> values(static_cast<std::size_t>(2 * w * h));
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<float>(i % 7);
    tvl::test::setRegularGrid(
        flow_, w, h, 2, std::move(samples), std::move(values), {0.0f, 0.0f, 0.0f}, {1.0f, 0.8f, 0.0f});
    table_ = makeUniformTable(16, {10, 20, 30});
    canvas_ = std::make_unique<COpenGLWnd>();
    page_ = std::make_unique<CBackgroundPage>();
    page_->setCanvas(canvas_.get());
    page_->setColorTable(table_);
}

void CBackgroundPageTest::cleanup()
{
    page_.reset();
    canvas_.reset();
}

void CBackgroundPageTest::startsWithSpeedAndADisabledList()
{
    TVL_CHECK(page_->speedButton()->isChecked(), "Speed is checked at start");
    TVL_CHECK(
        !page_->directionButton()->isChecked() && !page_->additionalButton()->isChecked(), "only Speed is checked");
    TVL_CHECK(!page_->dataList()->isEnabled(), "the data list starts disabled");
    TVL_CHECK_EQ(page_->dataList()->count(), 0, "no entries before a load");
    TVL_CHECK(!page_->coder(), "no coder before a data set is given");
}

void CBackgroundPageTest::firstFlowDataBuildsASpeedCoderForTheCanvas()
{
    page_->setFlowData(&flow_);
    TVL_CHECK(dynamic_cast<const SpeedCoder*>(page_->coder().get()) != nullptr, "the first coder is a SpeedCoder");
    TVL_CHECK(canvas_->dataCoder() == page_->coder(), "the coder must be handed to the canvas");
    const auto first = page_->coder();
    page_->setFlowData(&flow_);
    TVL_CHECK(page_->coder() == first, "a later setFlowData keeps the existing coder");
}

void CBackgroundPageTest::directionAndSpeedBuildTheirCoders()
{
    page_->setFlowData(&flow_);
    const auto first = page_->coder();
    page_->directionButton()->click();
    TVL_CHECK(
        dynamic_cast<const DirectionCoder*>(page_->coder().get()) != nullptr, "Direction builds a DirectionCoder");
    TVL_CHECK(canvas_->dataCoder() == page_->coder(), "the new coder must reach the canvas");
    TVL_CHECK(!page_->dataList()->isEnabled(), "the data list stays disabled");
    page_->speedButton()->click();
    TVL_CHECK(dynamic_cast<const SpeedCoder*>(page_->coder().get()) != nullptr, "Speed builds a SpeedCoder");
    TVL_CHECK(page_->coder() != first, "clicking a mode builds a fresh coder even of the same kind");
}

void CBackgroundPageTest::additionalDataWithAnEmptyListChangesNothing()
{
    page_->setFlowData(&flow_);
    const auto before = page_->coder();
    page_->additionalButton()->click();
    TVL_CHECK(page_->additionalButton()->isChecked(), "the button still shows as checked");
    TVL_CHECK(page_->coder() == before, "with no additional values the coder must stay");
    TVL_CHECK(canvas_->dataCoder() == before, "the canvas keeps its coder");
    TVL_CHECK(!page_->dataList()->isEnabled(), "the empty list stays disabled");
}

void CBackgroundPageTest::additionalDataSelectsTheFirstEntryEachTime()
{
    page_->setFlowData(&flow_);
    page_->setAdditionalEntries(2);
    page_->additionalButton()->click();
    TVL_CHECK(page_->dataList()->isEnabled(), "Additional Data enables the list");
    TVL_CHECK_EQ(page_->dataList()->currentIndex(), 0, "the first entry is selected");
    const auto* coder = dynamic_cast<const AdditionalDataCoder*>(page_->coder().get());
    TVL_CHECK(coder != nullptr && coder->valueIndex() == 0, "an AdditionalDataCoder for value 0");
    const auto first = page_->coder();
    page_->dataList()->setCurrentIndex(1);
    page_->additionalButton()->click();
    TVL_CHECK_EQ(page_->dataList()->currentIndex(), 0, "a second click selects the first entry again");
    TVL_CHECK(page_->coder() != first, "a second click builds a new coder");
    coder = dynamic_cast<const AdditionalDataCoder*>(page_->coder().get());
    TVL_CHECK(coder != nullptr && coder->valueIndex() == 0, "the new coder codes value 0");
}

void CBackgroundPageTest::listChoiceNamesTheValueIndex()
{
    page_->setFlowData(&flow_);
    page_->setAdditionalEntries(2);
    TVL_CHECK_EQ(page_->dataList()->itemText(1), QStringLiteral("Special Dataset 1"), "entry text");
    page_->additionalButton()->click();
    page_->dataList()->setCurrentIndex(1);
    const auto* coder = dynamic_cast<const AdditionalDataCoder*>(page_->coder().get());
    TVL_CHECK(coder != nullptr && coder->valueIndex() == 1, "the list position is the value index");
    TVL_CHECK(canvas_->dataCoder() == page_->coder(), "the coder reaches the canvas");
    page_->setAdditionalEntries(2);
    TVL_CHECK_EQ(page_->dataList()->count(), 2, "a refill replaces the entries");
    TVL_CHECK_EQ(page_->dataList()->currentIndex(), -1, "a refilled list shows no selection");
    TVL_CHECK(page_->coder().get() == coder, "refilling the list builds no coder");
}

void CBackgroundPageTest::resetCoderGivesSpeedWhateverTheButtons()
{
    page_->setFlowData(&flow_);
    page_->directionButton()->click();
    page_->resetCoder();
    TVL_CHECK(dynamic_cast<const SpeedCoder*>(page_->coder().get()) != nullptr, "resetCoder builds a SpeedCoder");
    TVL_CHECK(page_->directionButton()->isChecked(), "resetCoder leaves the buttons as they were");
    TVL_CHECK(canvas_->dataCoder() == page_->coder(), "the reset coder reaches the canvas");
}

void CBackgroundPageTest::replacedCoderLivesOnInTheCanvasThatHoldsIt()
{
    page_->setFlowData(&flow_);
    const std::weak_ptr<const DataCoder> first = page_->coder();
    COpenGLWnd other;
    page_->setCanvas(&other);
    page_->directionButton()->click();
    TVL_CHECK(!first.expired(), "the canvas that got the old coder must keep it usable");
    TVL_CHECK(canvas_->dataCoder() == first.lock(), "the old canvas still holds the old coder");
    TVL_CHECK(other.dataCoder() == page_->coder(), "only the current canvas gets the new coder");
    canvas_->releaseReferences();
    TVL_CHECK(first.expired(), "once no one holds the old coder it goes");
}

TVL_GUI_TEST_MAIN(CBackgroundPageTest)
#include "CBackgroundPageTest.moc"
