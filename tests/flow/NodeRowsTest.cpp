#include "flow/NodeRows.h"

#include "flow/InputFile.h"

#include "FlowFiles.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

namespace tvl {
namespace {

class NodeRowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // 3 x 4 nodes: node (i, j) at (i, 10 j); record (i + 100 j, -j, 0, 1000 + i + 100 j).
        std::vector<float> xyz, records;
        for (int j = 0; j < 4; ++j)
            for (int i = 0; i < 3; ++i) {
                xyz.insert(xyz.end(), {float(i), float(10 * j), 0.0f});
                records.insert(records.end(), {float(i + 100 * j), float(-j), 0.0f, float(1000 + i + 100 * j)});
            }
        test::writeGridFile(dir.file("g.gri"), "SN4DB 3 4 1 1 0 0", xyz);
        test::writeDataFile(dir.file("g.dat"), records);
        std::string cause;
        ASSERT_TRUE(grid.open(dir.file("g.gri"), "Gitterdatei", cause)) << cause;
        ASSERT_TRUE(data.open(dir.file("g.dat"), "Datendatei", cause)) << cause;
    }

    test::TempDir dir;
    InputFile grid;
    InputFile data;
};

TEST_F(NodeRowsTest, RowsComeFromTheirOffsetsInAnyOrder)
{
    NodeRows rows(grid, data, 3, 4, 1);
    for (int j : {2, 0, 3, 1, 2, 3, 0, 0, 1}) {
        const float* p = rows.positionsRow(j);
        const float* r = rows.recordsRow(j);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(p[3 * i], float(i));
            EXPECT_EQ(p[3 * i + 1], float(10 * j)) << "grid rows start after the 40-byte header";
            EXPECT_EQ(r[4 * i], float(i + 100 * j));
            EXPECT_EQ(r[4 * i + 3], float(1000 + i + 100 * j));
            EXPECT_EQ(rows.y(i, j), float(10 * j));
        }
    }
    EXPECT_EQ(rows.y(2, 3), 30.0f) << "a single y read outside the cache";
    EXPECT_FALSE(rows.failed());
}

TEST_F(NodeRowsTest, AFileThatShrankGivesZerosAndReportsFailure)
{
    NodeRows rows(grid, data, 3, 4, 1);
    ASSERT_EQ(::truncate(dir.file("g.dat").c_str(), 3 * 4 * 4), 0);
    const float* r = rows.recordsRow(2);
    for (int n = 0; n < 12; ++n)
        EXPECT_EQ(r[n], 0.0f);
    EXPECT_TRUE(rows.failed()) << "a short read must fail the load, not leave stale memory";
}

} // namespace
} // namespace tvl
