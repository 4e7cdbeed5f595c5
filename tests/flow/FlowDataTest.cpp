#include "flow/FlowData.h"

#include "FlowFiles.h"
#include "FlowShapes.h"
#include "RegularGrids.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
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
    // The 3 x 2 example: nodes at x = 0, 0.5, 1 and y = 0, 1 (z as given, else
    // 0) with two values; value 0 is 7 at the fifth record, node (1, 1), else
    // 0; value 1 of record n is n.
    bool loadExample(const std::string& header = "SN4DB 3 2 1 2 0 0.0", const std::string& trailing = "",
        const std::vector<float>& z = {})
    {
        std::vector<float> xyz = test::rectilinearPositions({0.0f, 0.5f, 1.0f}, {0.0f, 1.0f});
        for (std::size_t n = 0; n < z.size(); ++n)
            xyz[3 * n + 2] = z[n];
        test::writeGridFile(grid(), header, xyz);
        std::vector<float> records;
        for (int n = 0; n < 6; ++n)
            records.insert(records.end(), {1.0f, 0.0f, 0.0f, n == 4 ? 7.0f : 0.0f, float(n)});
        test::writeDataFile(data(), records);
        test::writeBytes(grid(), test::readBytes(grid()) + trailing);
        test::writeBytes(data(), test::readBytes(data()) + trailing);
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

TEST_F(FlowDataTest, ExampleLoadsAsThreeByTwoNodesWithTwoValuesWhateverTheHeaderText)
{
    // The first header is short, with hexadecimal, octal and line breaks; the
    // nodes still start at byte 40. Bytes behind the last record are not read,
    // but the data file may belong to another grid: the notice says so, once.
    const std::string notice = "Die Datendatei ist länger, als das Gitter verlangt: 3 x 2 Knoten mit je 5 Werten "
                               "brauchen 120 Bytes, die Datei hat 123 Bytes. Der Rest wird nicht gelesen. Gehört die "
                               "Datendatei zu einem anderen Gitter?";
    const struct {
        const char* header;
        const char* trailing;
        int integer;
        float real;
    } rows[] = {{"SN4DB\n0x3\n02 1 2 -17 2.5", "\x7f\xff\x7f", -17, 2.5f}, {"SN4DB 3 2 1 2 0 0.0", "", 0, 0.0f}};
    for (const auto& row : rows) {
        log.messages.clear();
        ASSERT_TRUE(loadExample(row.header, row.trailing)) << lastLog();
        Vector3 lo, hi;
        flow.getBounds(lo, hi);
        EXPECT_EQ(lo, (Vector3 {0, 0, 0})) << row.header;
        EXPECT_EQ(hi, (Vector3 {1, 1, 0})) << row.header;
        EXPECT_EQ(flow.getWidth() * 100 + flow.getHeight(), 5151) << "the regular grid's size, not W and H";
        EXPECT_EQ(flow.getAdditionalCount(), 2);
        // Sample (25, 50) sits just past node column 1 on the top row.
        EXPECT_NEAR(flow.regularGrid().value(25, 50, 0), 7.0f, 1e-4f) << "the fifth record is node (1, 1)";
        EXPECT_NEAR(flow.regularGrid().value(0, 50, 1), 3.0f, 1e-4f) << "node (0, 1) is record 3";
        EXPECT_EQ(flow.getHeaderInteger(), row.integer);
        EXPECT_EQ(flow.getHeaderReal(), row.real);
        EXPECT_EQ(flow.loadNotice(), *row.trailing ? notice : "") << row.header;
        EXPECT_EQ(log.messages, *row.trailing ? std::vector<std::string> {kTag + notice} : std::vector<std::string> {});
    }
}

TEST_F(FlowDataTest, OnlyFiniteZCountsForTheBounds)
{
    // z takes part in nothing, so a 2-D grid may fill it with NaN or
    // infinities. Nodes 0 to 3 are scanned at once, 4 and 5 one by one.
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        std::vector<float> z;
        float low, high;
    } rows[] = {{{kNaN, 1, 2, 3, 4, inf}, 1, 4}, {{0, 1, -inf, 3, kNaN, 5}, 0, 5},
        {{-1, kNaN, kNaN, kNaN, kNaN, kNaN}, -1, -1}, {std::vector<float>(6, kNaN), 0, 0}};
    for (const auto& row : rows) {
        ASSERT_TRUE(loadExample("SN4DB 3 2 1 2 0 0.0", "", row.z)) << lastLog();
        Vector3 lo, hi;
        flow.getBounds(lo, hi);
        EXPECT_TRUE(lo.z == row.low && hi.z == row.high && hi.x == 1.0f && flow.getWidth() == 51)
            << "z from " << lo.z << " to " << hi.z << ", expected " << row.low << " to " << row.high;
    }
}

TEST_F(FlowDataTest, ReportsTheFourPhasesThenRestsAtProgress)
{
    ASSERT_TRUE(loadExample());
    EXPECT_EQ(status.texts,
        (std::vector<std::string> {"Loading Grid Data...", "Loading Flow Data...", "Preprocessing Flow Data...",
            "Finding Flow Borders...", "Progress"}));
    // H - 1, H × third - 1, ny - 1, height - 1; the grid phase reports each node row.
    EXPECT_EQ(status.ranges, (std::vector<int> {1, 1, 50, 50}));
    EXPECT_EQ(std::vector<int>(status.positions.begin(), status.positions.begin() + 2), (std::vector<int> {0, 1}));
    EXPECT_EQ(status.positions.back(), 0);
    for (const auto& [third, range] : {std::pair {0, 65535}, {40000, (2 * 40000 - 1) % 65536}}) {
        status.ranges.clear();
        ASSERT_TRUE(loadExample("SN4DB 3 2 " + std::to_string(third) + " 2 0 0.0"));
        EXPECT_EQ(status.ranges.at(1), range) << "third " << third << ": the data phase's range is taken to 16 bits";
    }
}

TEST_F(FlowDataTest, EmptyNamesOpenNothingAndRestTheStatus)
{
    ASSERT_TRUE(loadExample());
    status = test::RecordingStatus {};
    log.messages.clear();
    EXPECT_FALSE(flow.loadData("", data()) || flow.loadData(grid(), ""));
    EXPECT_EQ(log.messages, (std::vector<std::string>(2, kTag + "Bitte zuerst ein File spezifizieren.")));
    EXPECT_EQ(status.texts, (std::vector<std::string>(2, "Progress"))) << "no phase may start";
    EXPECT_EQ(status.positions, (std::vector<int>(2, 0)));
    EXPECT_EQ(flow.getWidth(), 51) << "the data set is not touched";
}

// Every way a pair of files (or nodes in memory) can be unusable fails with one
// tagged log line naming the cause; the data set loaded before stays whole.
class FlowDataBadInputTest : public FlowDataTest, public ::testing::WithParamInterface<test::FlowShape> { };

TEST_P(FlowDataBadInputTest, FailsWithItsCauseAndKeepsThePreviousDataSet)
{
    ASSERT_TRUE(loadExample());
    GetParam().write(dir.file("bad.gri"), dir.file("bad.dat"));
    log.messages.clear();
    EXPECT_FALSE(flow.loadData(dir.file("bad.gri"), dir.file("bad.dat")));
    NodeGrid flat; // nodes in memory at one point have no extent either
    flat.allocate(2, 2, 0);
    std::fill(flat.positions.get(), flat.positions.get() + 12, 1.0f);
    std::fill(flat.records.get(), flat.records.get() + 12, 0.0f);
    EXPECT_FALSE(flow.loadNodes(std::move(flat)));
    ASSERT_EQ(log.messages.size(), 2u);
    EXPECT_EQ(log.messages[0].rfind("[Tavrel|FlowData|loadData", 0), 0u) << log.messages[0];
    EXPECT_NE(log.messages[0].find(GetParam().causeFragment), std::string::npos) << log.messages[0];
    EXPECT_EQ(log.messages[1].rfind(kTag, 0), 0u) << log.messages[1];
    EXPECT_EQ(status.texts.back(), "Progress");
    EXPECT_EQ(flow.getWidth() * 10 + flow.getAdditionalCount(), 512);
    float speed = -1.0f;
    EXPECT_TRUE(flow.speedAt({10.5f, 10.5f, 0.0f}, speed) && speed == 1.0f && flow.getMaxSpeed() == 1.0f);
    EXPECT_NEAR(flow.regularGrid().value(25, 50, 0), 7.0f, 1e-4f);
}

INSTANTIATE_TEST_SUITE_P(EveryBadShape, FlowDataBadInputTest, ::testing::ValuesIn(test::badFlowShapes()),
    [](const ::testing::TestParamInfo<test::FlowShape>& param) { return param.param.name; });

// A 51 × 51 regular grid of velocity (2, 0, 0); value 0 is column + 2 row.
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
        const bool hasSpeed = flow.speedAt(p, s), hasDirection = flow.directionAt(p, d);
        EXPECT_TRUE(hasSpeed == inside && hasDirection == inside) << p.x << ", " << p.y;
        EXPECT_EQ(s, inside ? 2.0f : 0.8f) << "an outside lookup leaves the caller's fallback";
        EXPECT_EQ(d, (inside ? Vector3 {1, 0, 0} : Vector3 {7, 7, 7}));
        EXPECT_EQ(flow.additionalValueAt(p, 0) == 0.0f, !inside) << "outside, a value is 0.0";
    }
}

TEST(FlowDataSampling, NoPointIsInsideAGridWithoutCells)
{
    FlowData oneColumn;
    test::setRegularGrid(
        oneColumn, 1, 3, 0, std::vector<RegularSample>(3, RegularSample {2.0f, 0, 0, 2.0f}), {}, {0, 0, 0}, {1, 1, 0});
    const FlowData unloaded;
    for (const FlowData* flow : {static_cast<const FlowData*>(&oneColumn), &unloaded})
        for (const Vector3& p : {Vector3 {0, 0, 0}, Vector3 {0.5f, 1.5f, 0}, Vector3 {-0.5f, 0.25f, 0}}) {
            float s = 0.8f;
            Vector3 d {7, 7, 7};
            EXPECT_FALSE(flow->speedAt(p, s) || flow->directionAt(p, d)) << p.x << ", " << p.y;
            EXPECT_EQ(flow->additionalValueAt(p, 0), 0.0f);
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
    samples[5] = {1, 0, 0, 0.0f};
    samples[6] = {1, 0, 0, 4.0f};
    samples[9] = {0, 1, 0, 8.0f};
    samples[10] = {0, 1, 0, 12.0f};
    FlowData corners;
    test::setRegularGrid(corners, 4, 4, 0, samples, {}, {0, 0, 0}, {1, 1, 0});
    float s = 0;
    EXPECT_TRUE(corners.speedAt({1.25f, 1.5f, 0}, s));
    EXPECT_EQ(s, 5.0f) << "(0.75·0 + 0.25·4)·0.5 + (0.75·8 + 0.25·12)·0.5";
    Vector3 d;
    EXPECT_TRUE(corners.directionAt({1.25f, 1.25f, 0}, d));
    EXPECT_FLOAT_EQ(d.x, 0.75f / std::sqrt(0.75f * 0.75f + 0.25f * 0.25f)) << "velocity (0.75, 0.25) normalised";
    test::setRegularGrid(corners, 4, 4, 0, std::vector<RegularSample>(16), {}, {0, 0, 0}, {1, 1, 0});
    EXPECT_TRUE(corners.directionAt({1.5f, 1.5f, 0}, d) && std::isnan(d.x) && std::isnan(d.y))
        << "a zero velocity gives true with a NaN direction";
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
    EXPECT_EQ(flow.normalizeAdditionalValue(0, 1.0f), 0.5f) << "minimum -1, range 4";
    EXPECT_TRUE(std::isnan(flow.normalizeAdditionalValue(1, 1.0f)) && std::isnan(flow.normalizeAdditionalValue(-1, 1)));
    EXPECT_EQ(flow.worldToGrid(-1.0f, 2.0f, 5.0f), (Vector3 {0, 0, 0}));
    EXPECT_EQ(flow.worldToGrid(1.0f, 3.0f, 0.0f), (Vector3 {3, 3, 0})) << "the maximum maps to (width, height)";
    EXPECT_EQ(flow.worldToGrid(0.0f, 2.5f, 0.0f), (Vector3 {1.5f, 1.5f, 0}));
    EXPECT_EQ((Vector3 {3, 4, 0}.normalized()), (Vector3 {0.6f, 0.8f, 0}));
}

} // namespace
} // namespace tvl
