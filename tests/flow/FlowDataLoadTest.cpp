#include "flow/FlowData.h"

#include "FlowFiles.h"
#include "FlowShapes.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace tvl {
namespace {

using test::RecordingLog;
using test::RecordingStatus;

const std::string kTag = "[Tavrel|FlowData|loadData]: ";

class FlowDataLoadTest : public ::testing::Test {
protected:
    FlowDataLoadTest()
    {
        flow.setStatusControl(&status);
        flow.setLogSink(&log);
    }

    // The 3 x 2 example: nodes at x = 0, 0.5, 1 and y = 0, 1, two values per
    // node; node (1, 1), the fifth record, carries value 0 = 7.
    void writeExample(const std::string& header = "SN4DB 3 2 1 2 0 0.0")
    {
        test::writeGridFile(grid(), header, test::rectilinearPositions({0.0f, 0.5f, 1.0f}, {0.0f, 1.0f}));
        std::vector<float> records;
        for (int n = 0; n < 6; ++n) {
            const float v[5] = {1.0f, 0.0f, 0.0f, n == 4 ? 7.0f : 0.0f, float(n)};
            records.insert(records.end(), v, v + 5);
        }
        test::writeDataFile(data(), records);
    }

    std::string grid() const { return dir.file("flow.gri"); }
    std::string data() const { return dir.file("flow.dat"); }

    test::TempDir dir;
    RecordingStatus status;
    RecordingLog log;
    FlowData flow;
};

TEST_F(FlowDataLoadTest, ExampleLoadsAsThreeByTwoNodesWithTwoValues)
{
    writeExample();
    ASSERT_TRUE(flow.loadData(grid(), data())) << (log.messages.empty() ? "" : log.messages.back());
    EXPECT_TRUE(log.messages.empty());
    EXPECT_EQ(flow.getAdditionalCount(), 2);
    Vector3 lo, hi;
    flow.getBounds(lo, hi);
    EXPECT_EQ(lo, (Vector3 {0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(hi, (Vector3 {1.0f, 1.0f, 0.0f}));
    EXPECT_EQ(flow.getWidth(), 51) << "width is the regular grid's after a load, not W";
    EXPECT_EQ(flow.getHeight(), 51);
    // Sample (25, 50) sits just past node column 1 on the top row: node (1, 1).
    EXPECT_NEAR(flow.regularGrid().value(25, 50, 0), 7.0f, 1e-4f) << "the fifth record must be node (1, 1)";
    EXPECT_NEAR(flow.regularGrid().value(0, 50, 1), 3.0f, 1e-4f) << "node (0, 1) is element 3";
    EXPECT_NEAR(flow.regularGrid().value(0, 0, 1), 0.0f, 1e-6f);
}

TEST_F(FlowDataLoadTest, ReportsFourPhasesThenRestsAtProgress)
{
    writeExample();
    ASSERT_TRUE(flow.loadData(grid(), data()));
    const std::vector<std::string> expected = {"Loading Grid Data...", "Loading Flow Data...",
        "Preprocessing Flow Data...", "Finding Flow Borders...", "Progress"};
    EXPECT_EQ(status.texts, expected);
    // Ranges: H - 1, H * third - 1, ny - 1, height - 1.
    EXPECT_EQ(status.ranges, (std::vector<int> {1, 1, 50, 50}));
    ASSERT_FALSE(status.positions.empty());
    EXPECT_EQ(status.positions.back(), 0) << "the bar returns to 0";
    EXPECT_EQ(status.positions[0], 0);
    EXPECT_EQ(status.positions[1], 1) << "grid phase reports each node row";
}

TEST_F(FlowDataLoadTest, ThirdHeaderIntegerScalesOnlyTheDataPhaseRange)
{
    writeExample("SN4DB 3 2 0 2 0 0.0");
    ASSERT_TRUE(flow.loadData(grid(), data()));
    EXPECT_EQ(status.ranges.at(1), 65535) << "-1 taken to 16 bits";
    writeExample("SN4DB 3 2 40000 2 0 0.0");
    status.ranges.clear();
    ASSERT_TRUE(flow.loadData(grid(), data()));
    EXPECT_EQ(status.ranges.at(1), (2 * 40000 - 1) % 65536) << "the maximum is kept modulo 65536";
}

TEST_F(FlowDataLoadTest, HeaderFieldsAreKeptAndShortHeaderTextStillLeavesNodesAtOffset40)
{
    writeExample("SN4DB 3 2 1 2 -17 2.5");
    ASSERT_TRUE(flow.loadData(grid(), data()));
    EXPECT_EQ(flow.getHeaderInteger(), -17);
    EXPECT_EQ(flow.getHeaderReal(), 2.5f);
    // A header written in hexadecimal and octal with line breaks.
    writeExample("SN4DB\n0x3\n02 1 2 0 0");
    ASSERT_TRUE(flow.loadData(grid(), data()));
    Vector3 lo, hi;
    flow.getBounds(lo, hi);
    EXPECT_EQ(hi.x, 1.0f) << "node data must begin at byte 40 whatever the header length";
}

TEST_F(FlowDataLoadTest, BytesBehindTheLastNodeAreIgnored)
{
    writeExample();
    std::string g = test::readBytes(grid()), d = test::readBytes(data());
    test::writeBytes(grid(), g + std::string(13, '\x7f'));
    test::writeBytes(data(), d + std::string(1000, '\xff'));
    ASSERT_TRUE(flow.loadData(grid(), data()));
    EXPECT_NEAR(flow.regularGrid().value(25, 50, 0), 7.0f, 1e-4f);
}

TEST_F(FlowDataLoadTest, EmptyNamesOpenNothingAndRestTheStatus)
{
    writeExample();
    ASSERT_TRUE(flow.loadData(grid(), data()));
    status = RecordingStatus {};
    for (const auto& [g, d] : {std::pair<std::string, std::string> {"", data()}, {grid(), ""}, {"", ""}}) {
        log.messages.clear();
        EXPECT_FALSE(flow.loadData(g, d));
        ASSERT_EQ(log.messages.size(), 1u);
        EXPECT_EQ(log.messages[0], kTag + "Bitte zuerst ein File spezifizieren.");
        EXPECT_EQ(status.texts.back(), "Progress");
        EXPECT_EQ(status.positions.back(), 0);
    }
    EXPECT_EQ(status.texts, (std::vector<std::string>(3, "Progress"))) << "no phase may start";
    EXPECT_EQ(flow.getWidth(), 51) << "the data set is not touched";
}

// Every way a pair of files can be unusable: the load fails with one tagged
// log line naming the cause, and the data set loaded before stays whole.
class FlowDataBadInputTest : public FlowDataLoadTest, public ::testing::WithParamInterface<test::FlowShape> { };

TEST_P(FlowDataBadInputTest, FailsWithTaggedCauseAndKeepsPreviousDataSet)
{
    writeExample();
    ASSERT_TRUE(flow.loadData(grid(), data()));
    const std::vector<RegularSample> before = flow.regularGrid().samples;
    const float maxSpeed = flow.getMaxSpeed();

    const test::FlowShape& bad = GetParam();
    const std::string g = dir.file("bad.gri"), d = dir.file("bad.dat");
    bad.write(g, d);

    log.messages.clear();
    EXPECT_FALSE(flow.loadData(g, d)) << bad.name;
    ASSERT_EQ(log.messages.size(), 1u) << bad.name;
    EXPECT_EQ(log.messages[0].rfind("[Tavrel|FlowData|loadData", 0), 0u) << log.messages[0];
    EXPECT_NE(log.messages[0].find(bad.causeFragment), std::string::npos) << bad.name << ": " << log.messages[0];
    EXPECT_EQ(status.texts.back(), "Progress");

    EXPECT_EQ(flow.getWidth(), 51);
    EXPECT_EQ(flow.getHeight(), 51);
    EXPECT_EQ(flow.getAdditionalCount(), 2);
    EXPECT_EQ(flow.getMaxSpeed(), maxSpeed);
    ASSERT_EQ(flow.regularGrid().samples.size(), before.size());
    float speed = -1.0f;
    EXPECT_TRUE(flow.speedAt({10.5f, 10.5f, 0.0f}, speed)) << "previous data set must stay usable";
    EXPECT_NEAR(speed, 1.0f, 1e-6f);
    EXPECT_NEAR(flow.regularGrid().value(25, 50, 0), 7.0f, 1e-4f);
}

INSTANTIATE_TEST_SUITE_P(EveryBadShape, FlowDataBadInputTest, ::testing::ValuesIn(test::badFlowShapes()),
    [](const ::testing::TestParamInfo<test::FlowShape>& param) { return param.param.name; });

const float kNaN = std::numeric_limits<float>::quiet_NaN();

std::vector<float> square(float side)
{
    return test::rectilinearPositions({0.0f, side}, {0.0f, side});
}

TEST_F(FlowDataLoadTest, NaNVelocitiesAreDataNotErrorsAndStayOutOfTheBorders)
{
    test::writeGridFile(grid(), "SN4DB 2 2 1 1 0 0.0", square(1));
    test::writeDataFile(data(), {kNaN, 0, 0, 2.0f, 3, 0, 0, kNaN, 1, 0, 0, 4.0f, 2, 0, 0, 6.0f});
    ASSERT_TRUE(flow.loadData(grid(), data()));
    EXPECT_TRUE(std::isfinite(flow.getMaxSpeed()));
    EXPECT_TRUE(std::isfinite(flow.getValueMinimum(0)));
    EXPECT_TRUE(std::isfinite(flow.getValueMaximum(0)));
    EXPECT_LE(flow.getValueMaximum(0), 6.0f);
    Vector3 direction {9, 9, 9};
    EXPECT_TRUE(flow.directionAt({0.0f, 0.0f, 0.0f}, direction));
    EXPECT_TRUE(std::isnan(direction.x)) << "a NaN velocity gives a NaN direction the consumers must skip";
}

TEST_F(FlowDataLoadTest, LoadNodesFailsLikeLoadDataAndKeepsTheDataSet)
{
    writeExample();
    ASSERT_TRUE(flow.loadData(grid(), data()));
    NodeGrid flat;
    flat.allocate(2, 2, 0);
    for (int n = 0; n < 12; ++n)
        flat.positions[std::size_t(n)] = 1.0f;
    for (int n = 0; n < 12; ++n)
        flat.records[std::size_t(n)] = 0.0f;
    log.messages.clear();
    EXPECT_FALSE(flow.loadNodes(std::move(flat)));
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.messages[0].rfind(kTag, 0), 0u);
    EXPECT_EQ(flow.getWidth(), 51);
}

} // namespace
} // namespace tvl
