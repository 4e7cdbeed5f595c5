#include "flow/FlowData.h"

#include "FlowFiles.h"
#include "FlowShapes.h"
#include "RegularGrids.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

namespace tvl {
namespace {

const std::string kTag = "[Tavrel|FlowData|loadData]: ";
const float kNaN = std::numeric_limits<float>::quiet_NaN();

class FlowDataTest : public ::testing::Test {
protected:
    FlowDataTest()
    {
        flow.setStatusControl(&status);
        flow.setLogSink(&log);
    }

    // The 3 x 2 example: nodes at x = 0, 0.5, 1 and y = 0, 1 with two values;
    // value 0 is 7 at the fifth record, node (1, 1), and 0 elsewhere; value 1
    // of record n is n.
    bool loadExample(const std::string& header = "SN4DB 3 2 1 2 0 0.0")
    {
        test::writeGridFile(grid(), header, test::rectilinearPositions({0.0f, 0.5f, 1.0f}, {0.0f, 1.0f}));
        std::vector<float> records;
        for (int n = 0; n < 6; ++n)
            records.insert(records.end(), {1.0f, 0.0f, 0.0f, n == 4 ? 7.0f : 0.0f, float(n)});
        test::writeDataFile(data(), records);
        return flow.loadData(grid(), data());
    }
    std::string grid() const { return dir.file("flow.gri"); }
    std::string data() const { return dir.file("flow.dat"); }
    std::string lastLog() const { return log.messages.empty() ? "" : log.messages.back(); }

    test::TempDir dir;
    test::RecordingStatus status;
    test::RecordingLog log;
    FlowData flow;
};

TEST_F(FlowDataTest, ExampleLoadsAsThreeByTwoNodesWithTwoValues)
{
    ASSERT_TRUE(loadExample()) << lastLog();
    EXPECT_TRUE(log.messages.empty());
    EXPECT_EQ(flow.getAdditionalCount(), 2);
    Vector3 lo, hi;
    flow.getBounds(lo, hi);
    EXPECT_EQ(lo, (Vector3 {0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(hi, (Vector3 {1.0f, 1.0f, 0.0f}));
    EXPECT_EQ(flow.getWidth(), 51) << "the width is the regular grid's after a load, not W";
    EXPECT_EQ(flow.getHeight(), 51);
    // Sample (25, 50) sits just past node column 1 on the top row.
    EXPECT_NEAR(flow.regularGrid().value(25, 50, 0), 7.0f, 1e-4f) << "the fifth record must be node (1, 1)";
    EXPECT_NEAR(flow.regularGrid().value(0, 50, 1), 3.0f, 1e-4f) << "node (0, 1) is record 3";
}

TEST_F(FlowDataTest, ReportsTheFourPhasesThenRestsAtProgress)
{
    ASSERT_TRUE(loadExample());
    EXPECT_EQ(status.texts,
        (std::vector<std::string> {"Loading Grid Data...", "Loading Flow Data...", "Preprocessing Flow Data...",
            "Finding Flow Borders...", "Progress"}));
    // H - 1, H × third - 1, ny - 1, height - 1; the bar starts and ends at 0
    // and the grid phase reports each node row.
    EXPECT_EQ(status.ranges, (std::vector<int> {1, 1, 50, 50}));
    ASSERT_GE(status.positions.size(), 2u);
    EXPECT_EQ(status.positions[0], 0);
    EXPECT_EQ(status.positions[1], 1);
    EXPECT_EQ(status.positions.back(), 0);
    for (const auto& [third, range] : {std::pair {0, 65535}, {40000, (2 * 40000 - 1) % 65536}}) {
        status.ranges.clear();
        ASSERT_TRUE(loadExample("SN4DB 3 2 " + std::to_string(third) + " 2 0 0.0"));
        EXPECT_EQ(status.ranges.at(1), range) << "third " << third << ": the data phase's range is taken to 16 bits";
    }
}

TEST_F(FlowDataTest, NodesStartAtByte40WhateverTheHeaderAndTrailingBytesAreIgnored)
{
    ASSERT_TRUE(loadExample("SN4DB\n0x3\n02 1 2 -17 2.5")) << lastLog();
    Vector3 lo, hi;
    flow.getBounds(lo, hi);
    EXPECT_EQ(hi, (Vector3 {1.0f, 1.0f, 0.0f})) << "node data must begin at byte 40 whatever the header's length";
    EXPECT_EQ(flow.getHeaderInteger(), -17);
    EXPECT_EQ(flow.getHeaderReal(), 2.5f);
    test::writeBytes(grid(), test::readBytes(grid()) + std::string(13, '\x7f'));
    test::writeBytes(data(), test::readBytes(data()) + std::string(1000, '\xff'));
    ASSERT_TRUE(flow.loadData(grid(), data())) << lastLog();
    EXPECT_NEAR(flow.regularGrid().value(25, 50, 0), 7.0f, 1e-4f);
}

TEST_F(FlowDataTest, EmptyNamesOpenNothingAndRestTheStatus)
{
    ASSERT_TRUE(loadExample());
    status = test::RecordingStatus {};
    for (const auto& [g, d] : {std::pair<std::string, std::string> {"", data()}, {grid(), ""}}) {
        log.messages.clear();
        EXPECT_FALSE(flow.loadData(g, d));
        EXPECT_EQ(log.messages, (std::vector<std::string> {kTag + "Bitte zuerst ein File spezifizieren."}));
        EXPECT_EQ(status.positions.back(), 0);
    }
    EXPECT_EQ(status.texts, (std::vector<std::string>(2, "Progress"))) << "no phase may start";
    EXPECT_EQ(flow.getWidth(), 51) << "the data set is not touched";
}

// Every way a pair of files can be unusable fails with one tagged log line
// naming the cause, and the data set loaded before stays whole and usable.
class FlowDataBadInputTest : public FlowDataTest, public ::testing::WithParamInterface<test::FlowShape> { };

TEST_P(FlowDataBadInputTest, FailsWithItsCauseAndKeepsThePreviousDataSet)
{
    ASSERT_TRUE(loadExample());
    const float maxSpeed = flow.getMaxSpeed();
    const test::FlowShape& bad = GetParam();
    bad.write(dir.file("bad.gri"), dir.file("bad.dat"));
    log.messages.clear();
    EXPECT_FALSE(flow.loadData(dir.file("bad.gri"), dir.file("bad.dat")));
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(lastLog().rfind("[Tavrel|FlowData|loadData", 0), 0u) << lastLog();
    EXPECT_NE(lastLog().find(bad.causeFragment), std::string::npos) << lastLog();
    EXPECT_EQ(status.texts.back(), "Progress");
    EXPECT_EQ(flow.getWidth(), 51);
    EXPECT_EQ(flow.getAdditionalCount(), 2);
    EXPECT_EQ(flow.getMaxSpeed(), maxSpeed);
    float speed = -1.0f;
    EXPECT_TRUE(flow.speedAt({10.5f, 10.5f, 0.0f}, speed));
    EXPECT_EQ(speed, 1.0f);
    EXPECT_NEAR(flow.regularGrid().value(25, 50, 0), 7.0f, 1e-4f);
}

INSTANTIATE_TEST_SUITE_P(EveryBadShape, FlowDataBadInputTest, ::testing::ValuesIn(test::badFlowShapes()),
    [](const ::testing::TestParamInfo<test::FlowShape>& param) { return param.param.name; });

TEST_F(FlowDataTest, NodeGridsInMemoryFailLikeFiles)
{
    ASSERT_TRUE(loadExample());
    NodeGrid flat;
    flat.allocate(2, 2, 0);
    std::fill(flat.positions.get(), flat.positions.get() + 12, 1.0f);
    std::fill(flat.records.get(), flat.records.get() + 12, 0.0f);
    log.messages.clear();
    EXPECT_FALSE(flow.loadNodes(std::move(flat))) << "nodes at one point have no extent";
    EXPECT_EQ(lastLog().rfind(kTag, 0), 0u) << lastLog();
    EXPECT_EQ(flow.getWidth(), 51);
}

TEST_F(FlowDataTest, NaNVelocitiesAreDataAndStayOutOfTheBorders)
{
    // Node (2, 0) holds NaN: every sample of the right node cell is NaN, the
    // left cell's values run from 2 at the bottom to 6 at the top.
    test::writeGridFile(grid(), "SN4DB 3 2 1 1 0 0.0", test::rectilinearPositions({0, 0.5f, 1}, {0, 1}));
    test::writeDataFile(data(), {1, 0, 0, 2, 1, 0, 0, 2, kNaN, 0, 0, kNaN, 1, 0, 0, 6, 1, 0, 0, 6, 1, 0, 0, 6});
    ASSERT_TRUE(flow.loadData(grid(), data())) << lastLog();
    EXPECT_EQ(flow.getMaxSpeed(), 1.0f);
    EXPECT_EQ(flow.getValueMinimum(0), 2.0f);
    EXPECT_NEAR(flow.getValueMaximum(0), 6.0f, 1e-5f);
    Vector3 direction;
    EXPECT_TRUE(flow.directionAt({40.0f, 10.0f, 0.0f}, direction));
    EXPECT_TRUE(std::isnan(direction.x)) << "a NaN velocity gives a NaN direction its consumers must skip";
}

// Inputs the load fuzzer once found slow or broken, replayed as the fuzz target
// sees them: two bytes giving the grid file's length, the grid file, the data file.
TEST_F(FlowDataTest, FuzzFindingsLoadOrFailCleanly)
{
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TVL_SOURCE_DIR "/fuzz/regressions")) {
        const std::string input = test::readBytes(entry.path().string());
        ASSERT_GE(input.size(), 2u) << entry.path();
        const std::size_t length
            = std::min(std::size_t(std::uint8_t(input[0]) | std::uint8_t(input[1]) << 8), input.size() - 2);
        test::writeBytes(grid(), input.substr(2, length));
        test::writeBytes(data(), input.substr(2 + length));
        FlowData fresh;
        fresh.setRegularGridCap(std::uint64_t {4} << 20);
        if (fresh.loadData(grid(), data()))
            EXPECT_GT(fresh.getWidth(), 1) << entry.path();
        else
            EXPECT_EQ(fresh.getWidth(), 0) << entry.path() << ": a failed load leaves the empty data set";
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
}

// A 51 × 51 regular grid of velocity (2, 0, 0), speed 2; value 0 is column + 2 row.
FlowData sampled()
{
    FlowData flow;
    std::vector<float> values(51 * 51);
    for (std::size_t n = 0; n < values.size(); ++n)
        values[n] = float(n % 51) + 2.0f * float(n / 51);
    test::setRegularGrid(flow, 51, 51, 1, std::vector<RegularSample>(51 * 51, RegularSample {2.0f, 0, 0, 2.0f}), values,
        {0, 0, 0}, {1, 1, 0});
    return flow;
}

TEST(FlowDataSampling, InsideRuleTruncatesTowardZero)
{
    const FlowData flow = sampled();
    const std::pair<Vector3, bool> points[]
        = {{{49.5f, 10.25f, 0}, true}, {{-0.5f, 3.0f, 0}, true}, {{0.0f, 49.99f, 0}, true}, {{50.0f, 10.0f, 0}, false},
            {{50.3f, 10.0f, 0}, false}, {{-1.0f, 3.0f, 0}, false}, {{3.0f, 50.0f, 0}, false}, {{3.0f, -1.0f, 0}, false},
            {{kNaN, 3.0f, 0}, false}, {{3.0f, std::numeric_limits<float>::infinity(), 0}, false},
            {{3e9f, 3.0f, 0}, false}, {{-3e9f, 3.0f, 0}, false}};
    for (const auto& [p, inside] : points) {
        float s = 0.8f;
        Vector3 d {7, 7, 7};
        EXPECT_EQ(flow.speedAt(p, s), inside) << p.x << ", " << p.y;
        EXPECT_EQ(flow.directionAt(p, d), inside) << p.x << ", " << p.y;
        EXPECT_EQ(s, inside ? 2.0f : 0.8f) << "an outside lookup leaves the caller's fallback";
        EXPECT_EQ(d, (inside ? Vector3 {1, 0, 0} : Vector3 {7, 7, 7}));
        if (!inside) {
            EXPECT_EQ(flow.additionalValueAt(p, 0), 0.0f) << "outside, a value is 0.0";
        }
    }
}

TEST(FlowDataSampling, LookupsBlendTheFourSamplesAround)
{
    const FlowData flow = sampled();
    EXPECT_FLOAT_EQ(flow.additionalValueAt({12.25f, 7.5f, 0}, 0), 12.25f + 15.0f);
    EXPECT_EQ(flow.additionalValueAt({12.25f, 7.5f, 0}, 1), 0.0f) << "value 1 does not exist";
    EXPECT_EQ(flow.additionalValueAt({12.25f, 7.5f, 0}, -1), 0.0f);

    // Speeds 0, 4, 8, 12 around (1, 1); velocities turning from +x to +y.
    std::vector<RegularSample> samples(4 * 4);
    samples[1 * 4 + 1] = {1, 0, 0, 0.0f};
    samples[1 * 4 + 2] = {1, 0, 0, 4.0f};
    samples[2 * 4 + 1] = {0, 1, 0, 8.0f};
    samples[2 * 4 + 2] = {0, 1, 0, 12.0f};
    FlowData corners;
    test::setRegularGrid(corners, 4, 4, 0, samples, {}, {0, 0, 0}, {1, 1, 0});
    float s = 0;
    ASSERT_TRUE(corners.speedAt({1.25f, 1.5f, 0}, s));
    EXPECT_EQ(s, 5.0f) << "(0.75·0 + 0.25·4)·0.5 + (0.75·8 + 0.25·12)·0.5";
    Vector3 d;
    ASSERT_TRUE(corners.directionAt({1.25f, 1.25f, 0}, d));
    EXPECT_FLOAT_EQ(d.x, 0.75f / std::sqrt(0.75f * 0.75f + 0.25f * 0.25f)) << "velocity (0.75, 0.25) normalised";
    EXPECT_EQ(corners.getMaxSpeed(), 12.0f);

    FlowData still;
    test::setRegularGrid(still, 4, 4, 0, std::vector<RegularSample>(16), {}, {0, 0, 0}, {1, 1, 0});
    ASSERT_TRUE(still.directionAt({1.5f, 1.5f, 0}, d)) << "a zero velocity still has a lookup";
    EXPECT_TRUE(std::isnan(d.x) && std::isnan(d.y) && std::isnan(d.z));
}

TEST(FlowDataSampling, NormalisationsUseTheBordersAndWorldToGridTheBox)
{
    std::vector<RegularSample> samples(3 * 3, RegularSample {1, 0, 0, 1.0f});
    samples[4].speed = 4.0f;
    std::vector<float> values(9, 0.0f);
    values[0] = -1.0f;
    values[8] = 3.0f;
    FlowData flow;
    test::setRegularGrid(flow, 3, 3, 1, samples, values, {-1.0f, 2.0f, 0}, {1.0f, 3.0f, 0});
    EXPECT_EQ(flow.normalizeSpeed(2.0f), 0.5f);
    EXPECT_EQ(flow.normalizeSpeed(8.0f), 2.0f) << "no clamping";
    EXPECT_EQ(flow.getValueRange(0), 4.0f);
    EXPECT_EQ(flow.normalizeAdditionalValue(0, 1.0f), 0.5f);
    EXPECT_TRUE(std::isnan(flow.normalizeAdditionalValue(1, 1.0f)));
    EXPECT_TRUE(std::isnan(flow.normalizeAdditionalValue(-1, 1.0f)));
    EXPECT_EQ(flow.worldToGrid(-1.0f, 2.0f, 5.0f), (Vector3 {0, 0, 0}));
    EXPECT_EQ(flow.worldToGrid(1.0f, 3.0f, 0.0f), (Vector3 {3, 3, 0})) << "the maximum maps to (width, height)";
    EXPECT_EQ(flow.worldToGrid(0.0f, 2.5f, 0.0f), (Vector3 {1.5f, 1.5f, 0}));
}

TEST(Vector3Test, NormalizedTakesTheLengthAtFullPrecision)
{
    EXPECT_EQ((Vector3 {3, 4, 0}.normalized()), (Vector3 {0.6f, 0.8f, 0}));
    EXPECT_EQ((Vector3 {1e-30f, 0, 0}.normalized().x), 1.0f) << "float squares would underflow";
    EXPECT_NEAR((Vector3 {3e30f, 4e30f, 0}.normalized().y), 0.8f, 1e-7f) << "float squares would overflow";
}

} // namespace
} // namespace tvl
