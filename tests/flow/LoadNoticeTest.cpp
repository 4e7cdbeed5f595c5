#include "flow/FlowData.h"

#include "FlowFiles.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace tvl {
namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

class LoadNoticeTest : public ::testing::Test {
protected:
    LoadNoticeTest() { flow.setLogSink(&log); }

    // A 3 × 3 grid over the unit square with z = 0, one value per node.
    std::vector<float> grid3() const { return test::rectilinearPositions({0.0f, 0.5f, 1.0f}, {0.0f, 0.5f, 1.0f}); }
    // records floats of uniform flow (1, 0, 0) with value 2.
    static std::vector<float> records(int nodes)
    {
        std::vector<float> r;
        for (int n = 0; n < nodes; ++n)
            r.insert(r.end(), {1.0f, 0.0f, 0.0f, 2.0f});
        return r;
    }
    std::string gridFile() const { return dir.file("g.gri"); }
    std::string dataFile() const { return dir.file("g.dat"); }

    test::TempDir dir;
    test::RecordingLog log;
    FlowData flow;
};

TEST_F(LoadNoticeTest, DataFileLongerThanItsGridLoadsWithOneNotice)
{
    // 9 nodes of 4 floats take 144 bytes. A data file of another grid (here
    // 90 records, ten times as long) still loads, as bytes behind the last
    // record may be legitimate, but the user is told with both sizes.
    test::writeGridFile(gridFile(), "SN4DB 3 3 1 1 0 0.0", grid3());
    const struct {
        int records;
        bool notice;
    } rows[] = {{9, false}, {90, true}, {10, true}};
    for (const auto& row : rows) {
        test::writeDataFile(dataFile(), records(row.records));
        log.messages.clear();
        ASSERT_TRUE(flow.loadData(gridFile(), dataFile())) << row.records << " records must load";
        EXPECT_EQ(flow.getMaxSpeed(), 1.0f) << "the records of the grid are read";
        if (!row.notice) {
            EXPECT_TRUE(flow.loadNotice().empty()) << "a data file of exactly the grid's size: " << flow.loadNotice();
            EXPECT_TRUE(log.messages.empty()) << log.messages.front();
            continue;
        }
        const std::string size = std::to_string(row.records * 16);
        ASSERT_EQ(log.messages.size(), 1u) << "one log line for " << row.records << " records";
        EXPECT_EQ(log.messages[0], "[Tavrel|FlowData|loadData]: " + flow.loadNotice()) << "tagged notice";
        EXPECT_NE(flow.loadNotice().find("3 x 3 Knoten mit je 4 Werten brauchen 144 Bytes, die Datei hat " + size),
            std::string::npos)
            << flow.loadNotice();
    }

    // A shorter file fails as before, and a later load starts without notice.
    test::writeDataFile(dataFile(), records(8));
    EXPECT_FALSE(flow.loadData(gridFile(), dataFile())) << "a short data file must fail";
    EXPECT_TRUE(flow.loadNotice().empty()) << "a failed load has no notice";
}

TEST_F(LoadNoticeTest, OnlyNonFiniteXOrYIsRefused)
{
    // z takes part in nothing: a 2-D grid may fill it with NaN. Nodes 0 to 7
    // are scanned four at a time, node 8 alone, so both paths are covered.
    struct Row {
        int node;
        int component;
        float value;
        bool loads;
    };
    const Row rows[] = {
        {5, 2, kNaN, true},
        {8, 2, kNaN, true},
        {2, 2, kInf, true},
        {6, 2, -kInf, true},
        {3, 0, kNaN, false},
        {8, 1, kNaN, false},
        {7, 1, kInf, false},
        {8, 0, -kInf, false},
    };
    test::writeDataFile(dataFile(), records(9));
    for (const Row& row : rows) {
        std::vector<float> xyz = grid3();
        for (int n = 0; n < 9; ++n)
            xyz[static_cast<std::size_t>(3 * n + 2)] = static_cast<float>(n) - 3.0f;
        xyz[static_cast<std::size_t>(3 * row.node + row.component)] = row.value;
        test::writeGridFile(gridFile(), "SN4DB 3 3 1 1 0 0.0", xyz);
        log.messages.clear();
        EXPECT_EQ(flow.loadData(gridFile(), dataFile()), row.loads)
            << "node " << row.node << " component " << row.component << " = " << row.value << ": "
            << (log.messages.empty() ? "" : log.messages.back());
        if (!row.loads)
            continue;
        Vector3 lo, hi;
        flow.getBounds(lo, hi);
        // z runs from -3 to 5 but for the node that lost its z.
        EXPECT_EQ(lo.z, row.node == 0 ? -2.0f : -3.0f) << "z minimum of the finite z";
        EXPECT_EQ(hi.z, row.node == 8 ? 4.0f : 5.0f) << "z maximum of the finite z, node " << row.node;
        EXPECT_EQ(hi.x, 1.0f);
        EXPECT_EQ(flow.getWidth(), 51) << "x and y resample as ever";
    }

    std::vector<float> noZ = grid3();
    for (int n = 0; n < 9; ++n)
        noZ[static_cast<std::size_t>(3 * n + 2)] = kNaN;
    test::writeGridFile(gridFile(), "SN4DB 3 3 1 1 0 0.0", noZ);
    ASSERT_TRUE(flow.loadData(gridFile(), dataFile())) << "a grid without a single finite z loads";
    Vector3 lo, hi;
    flow.getBounds(lo, hi);
    EXPECT_EQ(lo.z, 0.0f) << "no finite z gives z bounds 0";
    EXPECT_EQ(hi.z, 0.0f) << "no finite z gives z bounds 0";
}

} // namespace
} // namespace tvl
