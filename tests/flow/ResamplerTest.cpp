#include "flow/Resampler.h"

#include "flow/Bilinear.h"
#include "flow/FlowData.h"
#include "flow/StatusSink.h"

#include "FlowFiles.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

namespace tvl {
namespace {

// Rectilinear node grids whose velocity is (vx[i], 0, 0) and whose one value
// is value[i] along node column i, so that samples show where the walk put them.
class ResamplerTest : public ::testing::Test {
protected:
    bool load(const std::vector<float>& xs, const std::vector<float>& ys, const std::vector<float>& vx,
        const std::vector<float>& value)
    {
        test::writeGridFile(dir.file("g.gri"),
            "SN4DB " + std::to_string(xs.size()) + " " + std::to_string(ys.size()) + " 1 1 0 0.0",
            test::rectilinearPositions(xs, ys));
        std::vector<float> records;
        for (std::size_t j = 0; j < ys.size(); ++j)
            for (std::size_t i = 0; i < xs.size(); ++i)
                records.insert(records.end(), {vx[i], 0.0f, 0.0f, value[i]});
        test::writeDataFile(dir.file("g.dat"), records);
        return flow.loadData(dir.file("g.gri"), dir.file("g.dat"));
    }
    const RegularSample& sample(int c, int r) const { return flow.regularGrid().sample(c, r); }

    test::TempDir dir;
    FlowData flow;
};

TEST_F(ResamplerTest, UnitSquareGivesFiftyOneSamplesAllInside)
{
    // The value is x: samples show their positions.
    ASSERT_TRUE(load({0.0f, 1.0f}, {0.0f, 1.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}));
    ASSERT_EQ(flow.getWidth(), 51) << "trunc(1 / 0.02 at full precision) + 1";
    ASSERT_EQ(flow.getHeight(), 51);
    for (int r = 0; r < 51; ++r)
        for (int c = 0; c < 51; ++c)
            ASSERT_EQ(sample(c, r).speed, 1.0f) << "sample " << c << ", " << r << " must be inside";
    EXPECT_EQ(flow.getMaxSpeed(), 1.0f);
    EXPECT_EQ(flow.regularGrid().value(1, 0, 0), 0.02f);
    EXPECT_EQ(flow.regularGrid().value(25, 7, 0), 0.50000006f);
    EXPECT_EQ(flow.regularGrid().value(50, 50, 0), 0.99999958f) << "fifty single-precision additions of 0.02";
}

TEST_F(ResamplerTest, HalfSquarePutsColumnAndRow25Outside)
{
    ASSERT_TRUE(load({0.0f, 0.5f}, {0.0f, 0.5f}, {1.0f, 1.0f}, {5.0f, 5.0f}));
    ASSERT_EQ(flow.getWidth(), 26);
    ASSERT_EQ(flow.getHeight(), 26);
    for (int k = 0; k < 26; ++k)
        for (const auto& [c, r] : {std::pair {25, k}, {k, 25}}) {
            EXPECT_EQ(sample(c, r).vx, 0.0f) << "0.50000006 lies beyond the last node: " << c << ", " << r;
            EXPECT_EQ(sample(c, r).speed, 0.0f);
            EXPECT_EQ(flow.regularGrid().value(c, r, 0), 0.0f);
        }
    EXPECT_EQ(sample(24, 24).speed, 1.0f);
    EXPECT_EQ(flow.getValueMinimum(0), 0.0f) << "outside zeros take part in the borders";
    EXPECT_NEAR(flow.getValueMaximum(0), 5.0f, 1e-5f);
}

TEST_F(ResamplerTest, UnevenColumnsAreFoundByTheCursorWalk)
{
    // vx = node column index: a sample's vx is its fractional node column.
    ASSERT_TRUE(load({0.0f, 0.4f, 1.0f}, {0.0f, 1.0f}, {0.0f, 1.0f, 2.0f}, {0, 0, 0}));
    EXPECT_NEAR(sample(19, 0).vx, 0.95f, 1e-6f) << "x 0.38 lies in node cell 0";
    EXPECT_EQ(sample(20, 0).vx, 1.0f) << "x 0.40000004 exceeds 0.40000001: cell 1 at fraction 0";
    EXPECT_NEAR(sample(35, 0).vx, 1.5f, 1e-5f);
    EXPECT_NEAR(sample(50, 0).vx, 2.0f, 1e-5f);
}

TEST_F(ResamplerTest, StillFlowKeepsMaximumSpeedZero)
{
    ASSERT_TRUE(load({0.0f, 1.0f}, {0.0f, 1.0f}, {0.0f, 0.0f}, {0, 0}));
    EXPECT_EQ(flow.getMaxSpeed(), 0.0f);
}

TEST_F(ResamplerTest, LargeGridsAreWalkedInChunksOnTwoThreadsAsOne)
{
    // 1001 × 241 nodes, each node row unlike every other: row j lies at y(j),
    // 11.85 regular rows apart up to row 40 and then 0.015 apart, its nodes
    // k(j) × 0.02 apart from x = 0, and its velocity is its position and its
    // value is j. So chunks end inside node rows, first for their samples and
    // in the dense part for the node records they copy, and any sample blended
    // from the wrong node row or the wrong row's column walk shows. Along node
    // row j the walk finds column c / k(j); blended with row j + 1 at the
    // fraction b, x is 0.02 c (1 − b + b k(j + 1) / k(j)), y is exact and the
    // value is j + b; beyond a row's last node the samples stay outside. From
    // files and from memory, each regular row reported once, in order.
    constexpr int kWidth = 1001, kHeight = 241;
    const auto k = [](int j) { return 1.0f + 0.1f * float(j % 5) + float(j) / 1024.0f; };
    const auto y = [](int j) { return j <= 40 ? 0.237f * float(j) : 9.48f + 0.015f * float(j - 40); };
    std::vector<float> positions, records;
    for (int j = 0; j < kHeight; ++j)
        for (int i = 0; i < kWidth; ++i) {
            const float x = 0.02f * k(j) * float(i);
            positions.insert(positions.end(), {x, y(j), 0.0f});
            records.insert(records.end(), {x, y(j), 0.0f, float(j)});
        }
    test::writeGridFile(dir.file("g.gri"), "SN4DB 1001 241 1 1 0 0.0", positions);
    test::writeDataFile(dir.file("g.dat"), records);
    struct : StatusSink {
        std::string text;
        std::vector<int> rows; // positions of the resampling phase
        void setStatusText(const std::string& t) override { text = t; }
        void setProgressRange(int) override { }
        void setProgressPosition(int position) override
        {
            if (text == "Preprocessing Flow Data...")
                rows.push_back(position);
        }
    } status;
    flow.setStatusControl(&status);
    ASSERT_TRUE(flow.loadData(dir.file("g.gri"), dir.file("g.dat")));
    NodeGrid nodes;
    nodes.allocate(kWidth, kHeight, 1);
    std::copy(positions.begin(), positions.end(), nodes.positions.get());
    std::copy(records.begin(), records.end(), nodes.records.get());
    FlowData fromMemory;
    ASSERT_TRUE(fromMemory.loadNodes(std::move(nodes)));
    const int width = flow.getWidth(), height = flow.getHeight();
    ASSERT_GE(height, 620) << "12.48 flow units of rows";
    ASSERT_GT(std::int64_t(width) * height, std::int64_t(3) << 18) << "several chunks of samples";
    for (const FlowData* loaded : {&flow, &fromMemory}) {
        ASSERT_EQ(loaded->getWidth(), width);
        int j = 0;
        for (int r = 0; r < height; ++r) {
            const double at = 0.02 * r;
            while (j + 2 < kHeight && y(j + 1) <= at)
                ++j;
            if (double b = (at - y(j)) / (double(y(j + 1)) - y(j)); b < 1e-3 || b > 1.0 - 1e-3)
                continue; // on a node row, where either row's walk may take it
            const double ratio = double(k(j + 1)) / k(j), lastX = 20.0 * k(j);
            for (int c = 0; c < width; ++c) {
                const RegularSample& s = loaded->regularGrid().sample(c, r);
                const float value = loaded->regularGrid().value(c, r, 0);
                // y accumulates over the rows, so the fraction is the one its y shows.
                const double b = (s.vy - y(j)) / (double(y(j + 1)) - y(j));
                if (0.02 * c < lastX - 0.05) {
                    ASSERT_TRUE(std::abs(s.vy - at) < 1e-3
                        && std::abs(s.vx - 0.02 * c * (1.0 - b + b * ratio)) < 1e-3 + 1e-4 * 0.02 * c
                        && std::abs(value - (j + b)) < 1e-3)
                        << "sample " << c << ", " << r << " holds " << s.vx << ", " << s.vy << ", " << value
                        << " between node rows " << j << " and " << j + 1 << " at " << b;
                } else if (0.02 * c > lastX + 0.05) {
                    ASSERT_TRUE(s.speed == 0.0f && value == 0.0f)
                        << "sample " << c << ", " << r << " lies beyond node row " << j << " and holds " << s.vx;
                }
            }
        }
    }
    std::vector<int> rows(static_cast<std::size_t>(height));
    std::iota(rows.begin(), rows.end(), 0);
    EXPECT_EQ(status.rows, rows) << "the resampling reports each row once, in order";
}

// The walk one sample at a time, as plainly as it can be written: for each
// regular row the row cursor, a fresh column walk along its node row, the
// blend of each sample, and the borders gathered in sample order.
struct PlainGrid {
    std::vector<RegularSample> samples;
    std::vector<float> values;
    float maxSpeed = 0.0f;
    std::vector<float> minimum, maximum;
};

PlainGrid plainWalk(
    const std::vector<float>& xyz, const std::vector<float>& records, int w, int h, int n, int nx, int ny)
{
    const std::size_t rec = 3 + std::size_t(n);
    const auto x = [&](int i, int j) { return xyz[3 * (std::size_t(j) * std::size_t(w) + std::size_t(i))]; };
    const auto y = [&](int i, int j) { return xyz[3 * (std::size_t(j) * std::size_t(w) + std::size_t(i)) + 1]; };
    const auto record = [&](int i, int j, std::size_t q) {
        return records[rec * (std::size_t(j) * std::size_t(w) + std::size_t(i)) + q];
    };
    const auto inside
        = [](float f, int count) { return f > -1.0f && f < 2147483648.0f && static_cast<int>(f) < count - 1; };
    const float cell = Resampler::kCellSize;
    PlainGrid grid;
    grid.samples.assign(std::size_t(nx) * std::size_t(ny), RegularSample {});
    grid.values.assign(std::size_t(n) * grid.samples.size(), 0.0f);
    int j = 0;
    float ys = y(0, 0), yCur = ys, yNext = y(0, 1), dy = yNext - yCur;
    for (int r = 0; r < ny; ++r) {
        const float fy = static_cast<float>(j) + (ys - yCur) / dy;
        int i = 0;
        float xs = x(0, j), xCur = xs, xNext = x(1, j), dx = xNext - xCur;
        for (int c = 0; c < nx; ++c) {
            const float fx = static_cast<float>(i) + (xs - xCur) / dx;
            if (inside(fx, w) && inside(fy, h)) {
                const int ci = static_cast<int>(fx), cj = static_cast<int>(fy);
                const float a = fx - static_cast<float>(ci), b = fy - static_cast<float>(cj);
                const auto blend = [&](std::size_t q) {
                    return bilinear(a, b, record(ci, cj, q), record(ci + 1, cj, q), record(ci, cj + 1, q),
                        record(ci + 1, cj + 1, q));
                };
                const float vx = blend(0), vy = blend(1), vz = blend(2);
                grid.samples[std::size_t(r) * std::size_t(nx) + std::size_t(c)]
                    = {vx, vy, vz, std::sqrt(vx * vx + vy * vy + vz * vz)};
                for (std::size_t q = 3; q < rec; ++q)
                    grid.values[(q - 3) * grid.samples.size() + std::size_t(r) * std::size_t(nx) + std::size_t(c)]
                        = blend(q);
            }
            xs = xs + cell;
            while (xs > xNext && i < w - 1) {
                i = i + 1;
                if (i >= w - 1)
                    break;
                xCur = xNext;
                xNext = x(i + 1, j);
                dx = xNext - xCur;
            }
        }
        ys = ys + cell;
        while (ys > yNext && j < h - 1) {
            j = j + 1;
            if (j >= h - 1)
                break;
            yCur = yNext;
            yNext = y(i, j + 1);
            dy = yNext - yCur;
        }
    }
    grid.minimum.assign(std::size_t(n), FLT_MAX);
    grid.maximum.assign(std::size_t(n), -FLT_MAX);
    for (std::size_t s = 0; s < grid.samples.size(); ++s) {
        const float speed = grid.samples[s].speed;
        grid.maxSpeed = speed > grid.maxSpeed ? speed : grid.maxSpeed;
        for (std::size_t k = 0; k < std::size_t(n); ++k) {
            const float v = grid.values[k * grid.samples.size() + s];
            grid.minimum[k] = v < grid.minimum[k] ? v : grid.minimum[k];
            grid.maximum[k] = v > grid.maximum[k] ? v : grid.maximum[k];
        }
    }
    return grid;
}

bool sameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Loads the nodes from files and from memory; every sample, value, speed and
// border must have the bits of the plain walk.
void expectThePlainWalk(const std::vector<float>& xyz, const std::vector<float>& records, int w, int h, int n)
{
    test::TempDir dir;
    const std::string header
        = "SN4DB " + std::to_string(w) + " " + std::to_string(h) + " 1 " + std::to_string(n) + " 0 0.0";
    test::writeGridFile(dir.file("p.gri"), header, xyz);
    test::writeDataFile(dir.file("p.dat"), records);
    FlowData fromFiles;
    ASSERT_TRUE(fromFiles.loadData(dir.file("p.gri"), dir.file("p.dat"))) << w << " x " << h;
    NodeGrid nodes;
    nodes.allocate(w, h, n);
    std::copy(xyz.begin(), xyz.end(), nodes.positions.get());
    std::copy(records.begin(), records.end(), nodes.records.get());
    FlowData fromMemory;
    ASSERT_TRUE(fromMemory.loadNodes(std::move(nodes)));
    const int nx = fromFiles.getWidth(), ny = fromFiles.getHeight();
    const PlainGrid plain = plainWalk(xyz, records, w, h, n, nx, ny);
    for (const FlowData* loaded : {&fromFiles, &fromMemory}) {
        const RegularGrid& grid = loaded->regularGrid();
        ASSERT_EQ(grid.width, nx);
        ASSERT_EQ(grid.height, ny);
        ASSERT_EQ(grid.samples.size(), plain.samples.size());
        for (std::size_t s = 0; s < plain.samples.size(); ++s) {
            const RegularSample &got = grid.samples[s], &want = plain.samples[s];
            ASSERT_TRUE(sameBits(got.vx, want.vx) && sameBits(got.vy, want.vy) && sameBits(got.vz, want.vz)
                && sameBits(got.speed, want.speed) && sameBits(loaded->speedPlane()[s], want.speed))
                << w << " x " << h << ": sample " << s % std::size_t(nx) << ", " << s / std::size_t(nx) << " holds "
                << got.vx << ", " << got.vy << " instead of " << want.vx << ", " << want.vy;
        }
        for (std::size_t e = 0; e < plain.values.size(); ++e)
            ASSERT_TRUE(sameBits(grid.values[e], plain.values[e])) << w << " x " << h << ": value element " << e;
        EXPECT_TRUE(sameBits(loaded->getMaxSpeed(), plain.maxSpeed));
        for (int k = 0; k < n; ++k) {
            EXPECT_TRUE(sameBits(loaded->getValueMinimum(k), plain.minimum[std::size_t(k)])) << "value " << k;
            EXPECT_TRUE(sameBits(loaded->getValueMaximum(k), plain.maximum[std::size_t(k)])) << "value " << k;
        }
    }
}

// Grids on which the column walks end anywhere: sheared and wavy rows, rows
// that run backwards for a stretch or stand still (dx = 0), node rows that
// cross, records with NaN and −0, 0 to 6 values (every split of a record into four
// lanes), and sizes of several chunks.
TEST(ResamplerPlainWalk, EveryGridGivesTheSamplesOfThePlainWalk)
{
    struct Shape {
        int w, h, n;
        float width, height;
        float wave; // sideways wave of the rows, in node spacings
    };
    const Shape shapes[] = {
        {2, 2, 0, 0.5f, 0.5f, 0.0f},
        {300, 200, 2, 12.0f, 9.0f, 0.8f},
        {57, 731, 5, 4.0f, 11.0f, 2.5f},
        {1200, 40, 1, 14.0f, 3.0f, 0.3f},
        {90, 90, 6, 3.0f, 3.0f, 4.0f},
        {3, 500, 3, 0.1f, 13.0f, 0.0f},
    };
    for (const Shape& shape : shapes) {
        const int w = shape.w, h = shape.h, n = shape.n;
        std::vector<float> xyz, records;
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const float u = float(i) / float(w - 1), v = float(j) / float(h - 1);
                float x = shape.width * u + shape.wave * shape.width / float(w) * std::sin(0.37f * float(j) + 9.0f * u);
                if (j % 7 == 3 && i > w / 3 && i < w / 2)
                    x = shape.width / 3.0f; // a stretch that stands still
                const float y = shape.height * v + 0.15f * std::sin(0.21f * float(i)) * float(j % 3);
                xyz.insert(xyz.end(), {x, y, 0.0f});
                records.insert(records.end(), {std::cos(3.0f * v) - u, u * v, j % 3 == 0 ? 0.5f : -0.0f});
                for (int k = 0; k < n; ++k)
                    records.push_back(i == 7 && j == 3 && k == 0 ? std::nanf("") : float(k + 1) * (u - v) + 0.25f);
            }
        expectThePlainWalk(xyz, records, w, h, n);
    }
}

TEST(ResamplerPlainWalk, AWalkThatEndsExactlyOnANodeStopsThere)
{
    // x runs to 0.9999997, so there are 50 columns (49.99999 cells), and the
    // column cursor's last x, fifty additions of 0.02, is 0.99999958: it
    // falls short of the last node and lands exactly on node 2. The cursor
    // stops on node 1 (it moves on only past a larger x), and the row cursor
    // reads its y values from column 1, whose y differs from column 2's.
    float last = 0.0f;
    for (int c = 0; c < 50; ++c)
        last = last + Resampler::kCellSize;
    ASSERT_EQ(last, 0.99999958f);
    const std::vector<float> xs = {0.0f, 0.5f, last, 0.9999997f};
    std::vector<float> xyz, records;
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 4; ++i) {
            const float y = 0.5f * float(j) + (j == 2 ? 0.07f * float(i) : 0.0f);
            xyz.insert(xyz.end(), {xs[std::size_t(i)], y, 0.0f});
            records.insert(records.end(), {xs[std::size_t(i)], y, 0.0f});
        }
    expectThePlainWalk(xyz, records, 4, 3, 0);
}

} // namespace
TEST(ResamplerPlainWalk, ARowWalkThatReachesANodeRowExactlyStaysOnIt)
{
    // The node rows lie at 0, 0.02 and 0.04: one and two additions of the
    // cell size. Regular row 1 reaches node row 1 exactly; the row cursor
    // moves on only past a larger y, so that row still takes the column walk
    // of node row 0, which starts elsewhere than node row 1's.
    const float cell = Resampler::kCellSize;
    const float ys[] = {0.0f, cell, cell + cell};
    std::vector<float> xyz, records;
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 5; ++i) {
            const float x = j == 1 ? 0.013f + 0.2425f * float(i) : 0.25f * float(i);
            xyz.insert(xyz.end(), {x, ys[j], 0.0f});
            records.insert(records.end(), {float(i * i) + 3.0f * float(j), float(j * j) - float(i), 0.0f});
        }
    expectThePlainWalk(xyz, records, 5, 3, 0);
}

} // namespace tvl