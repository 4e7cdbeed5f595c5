// The resampling walk, chunked and blended on two threads, against the plain
// walk written out sample by sample: every sample and value bit for bit, and
// one progress position per regular row in order.
#include "flow/FlowData.h"

#include "FlowFiles.h"
#include "TempDir.h"
#include "flow/AnalyticFlow.h"
#include "flow/FlowFileWriter.h"
#include "flow/StatusSink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace tvl {
namespace {

// Positions reported under each status text.
struct PhaseStatus : StatusSink {
    std::string text;
    std::map<std::string, std::vector<int>> positions;
    void setStatusText(const std::string& t) override { text = t; }
    void setProgressRange(int) override { }
    void setProgressPosition(int position) override { positions[text].push_back(position); }
};

bool insideNodes(float f, int count)
{
    return f > -1.0f && f < 2147483648.0f && static_cast<int>(f) < count - 1;
}

// The plain walk onto a grid of the size the load chose.
RegularGrid plainWalk(const NodeGrid& nodes, int nx, int ny)
{
    const int w = nodes.width, h = nodes.height, n = nodes.additionalCount;
    const std::size_t rec = nodes.recordSize();
    RegularGrid grid;
    grid.width = nx;
    grid.height = ny;
    grid.additionalCount = n;
    grid.samples.assign(std::size_t(nx) * std::size_t(ny), RegularSample {});
    grid.values.assign(grid.samples.size() * std::size_t(n), 0.0f);
    const auto x = [&](int i, int j) { return nodes.positions[3 * nodes.index(i, j)]; };
    const auto y = [&](int i, int j) { return nodes.positions[3 * nodes.index(i, j) + 1]; };
    const auto v = [&](int i, int j, std::size_t q) { return nodes.records[rec * nodes.index(i, j) + q]; };
    const float cell = 0.02f;
    int j = 0;
    float ys = y(0, 0), yCur = ys, yNext = y(0, 1), dy = yNext - yCur;
    for (int r = 0; r < ny; ++r) {
        const float fy = static_cast<float>(j) + (ys - yCur) / dy;
        int i = 0;
        float xs = x(0, j), xCur = xs, xNext = x(1, j), dx = xNext - xCur;
        for (int c = 0; c < nx; ++c) {
            const float fx = static_cast<float>(i) + (xs - xCur) / dx;
            if (insideNodes(fx, w) && insideNodes(fy, h)) {
                const int ci = static_cast<int>(fx), cj = static_cast<int>(fy);
                const float a = fx - static_cast<float>(ci), b = fy - static_cast<float>(cj);
                const auto blend = [&](std::size_t q) {
                    return ((1.0f - a) * v(ci, cj, q) + a * v(ci + 1, cj, q)) * (1.0f - b)
                        + ((1.0f - a) * v(ci, cj + 1, q) + a * v(ci + 1, cj + 1, q)) * b;
                };
                RegularSample& s = grid.samples[grid.index(c, r)];
                s = {blend(0), blend(1), blend(2), 0.0f};
                s.speed = std::sqrt(s.vx * s.vx + s.vy * s.vy + s.vz * s.vz);
                for (int k = 0; k < n; ++k)
                    grid.values[std::size_t(k) * grid.sampleCount() + grid.index(c, r)] = blend(3 + std::size_t(k));
            }
            xs = xs + cell;
            while (xs > xNext && i < w - 1) {
                if (++i >= w - 1)
                    break;
                xCur = xNext;
                xNext = x(i + 1, j);
                dx = xNext - xCur;
            }
        }
        ys = ys + cell;
        const int iEnd = i;
        while (ys > yNext && j < h - 1) {
            if (++j >= h - 1)
                break;
            yCur = yNext;
            yNext = y(iEnd, j + 1);
            dy = yNext - yCur;
        }
    }
    return grid;
}

NodeGrid copyOf(const NodeGrid& nodes)
{
    NodeGrid copy;
    copy.allocate(nodes.width, nodes.height, nodes.additionalCount);
    std::memcpy(copy.positions.get(), nodes.positions.get(), 3 * nodes.nodeCount() * sizeof(float));
    std::memcpy(copy.records.get(), nodes.records.get(), nodes.recordSize() * nodes.nodeCount() * sizeof(float));
    return copy;
}

// Node rows whose x and y wander (rows that end early, columns that cross),
// so that both cursors stop, jump and read odd nodes.
NodeGrid wobbly(int w, int h, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> jitter(-0.004f, 0.004f);
    std::uniform_real_distribution<float> value(-3.0f, 3.0f);
    NodeGrid nodes;
    nodes.allocate(w, h, 2);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            float* p = &nodes.positions[3 * nodes.index(i, j)];
            p[0] = 0.013f * static_cast<float>(i) * (1.0f + 0.3f * static_cast<float>(j % 3)) + jitter(random);
            p[1] = 0.017f * static_cast<float>(j) + jitter(random);
            p[2] = 0.0f;
            for (std::size_t q = 0; q < nodes.recordSize(); ++q)
                nodes.records[nodes.recordSize() * nodes.index(i, j) + q] = value(random);
        }
    return nodes;
}

void expectSameGrid(const RegularGrid& expected, const RegularGrid& actual, const std::string& what)
{
    ASSERT_EQ(actual.width, expected.width) << what;
    ASSERT_EQ(actual.height, expected.height) << what;
    ASSERT_EQ(actual.samples.size(), expected.samples.size()) << what;
    ASSERT_EQ(actual.values.size(), expected.values.size()) << what;
    EXPECT_EQ(
        std::memcmp(actual.samples.data(), expected.samples.data(), actual.samples.size() * sizeof(RegularSample)), 0)
        << what << ": the samples differ from the plain walk";
    EXPECT_EQ(std::memcmp(actual.values.data(), expected.values.data(), actual.values.size() * sizeof(float)), 0)
        << what << ": the additional values differ from the plain walk";
}

TEST(ResampleReferenceTest, ChunkedWalkIsThePlainWalkForMemoryAndFiles)
{
    test::TempDir dir;
    FlowSpec wide;
    wide.flow = FlowKind::Vortex;
    wide.grid = GridKind::Curvilinear;
    wide.width = 40;
    wide.height = 30;
    wide.additionalCount = 1;
    wide.x1 = 30.0f; // 1501 columns: several rows per chunk, rows of one walk across chunks
    wide.y1 = 6.0f;
    FlowSpec dense = wide;
    dense.grid = GridKind::Uneven;
    dense.width = 700;
    dense.height = 500;
    dense.x1 = 14.0f; // about a node row of its own for each regular row, over two chunks
    dense.y1 = 10.0f;
    struct Case {
        std::string name;
        NodeGrid nodes;
    };
    std::vector<Case> cases;
    cases.push_back({"wide vortex", makeFlow(wide)});
    cases.push_back({"dense uneven grid", makeFlow(dense)});
    cases.push_back({"wobbly rows", wobbly(300, 200, 11)});
    for (Case& c : cases) {
        const std::string gri = dir.file(c.name + ".gri"), dat = dir.file(c.name + ".dat");
        std::string error;
        ASSERT_TRUE(writeFlowFiles(c.nodes, gri, dat, error)) << error;
        PhaseStatus status;
        FlowData fromFiles;
        fromFiles.setStatusControl(&status);
        ASSERT_TRUE(fromFiles.loadData(gri, dat)) << c.name;
        const RegularGrid expected = plainWalk(c.nodes, fromFiles.getWidth(), fromFiles.getHeight());
        expectSameGrid(expected, fromFiles.regularGrid(), c.name + " from files");
        FlowData fromMemory;
        ASSERT_TRUE(fromMemory.loadNodes(copyOf(c.nodes))) << c.name;
        expectSameGrid(expected, fromMemory.regularGrid(), c.name + " from memory");

        std::vector<int> rows(std::size_t(expected.height));
        for (int r = 0; r < expected.height; ++r)
            rows[std::size_t(r)] = r;
        EXPECT_EQ(status.positions["Preprocessing Flow Data..."], rows)
            << c.name << ": the resampling must report each row once, in order";
    }
}

} // namespace
} // namespace tvl
