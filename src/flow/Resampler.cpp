#include "flow/Resampler.h"
#include "flow/FloatLanes.h"

#include "flow/Bilinear.h"
#include "flow/HugePages.h"
#include "flow/LoadProgress.h"
#include "flow/NodeGrid.h"
#include "flow/NodeRows.h"
#include "flow/RegularGrid.h"
#include "flow/WorkerThread.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace tvl {

namespace {

int widthOf(const NodeGrid& nodes)
{
    return nodes.width;
}
int heightOf(const NodeGrid& nodes)
{
    return nodes.height;
}
int additionalCountOf(const NodeGrid& nodes)
{
    return nodes.additionalCount;
}
int widthOf(const NodeRows& nodes)
{
    return nodes.width();
}
int heightOf(const NodeRows& nodes)
{
    return nodes.height();
}
int additionalCountOf(const NodeRows& nodes)
{
    return nodes.additionalCount();
}

// Inside rule of the node grid for a fractional node index: 0 <= trunc(f) <
// count − 1, so an index in (−1, 0) extrapolates from cell 0; a non-finite
// index or one beyond 32 bits is outside.
bool insideNodeCells(float f, int count)
{
    return f > -1.0f && f < 2147483648.0f && static_cast<int>(f) < count - 1;
}

} // namespace

bool Resampler::sizeGrid(
    const Vector3& extent, int additionalCount, std::uint64_t capBytes, RegularGrid& grid, std::string& cause) const
{
    const double inv = 1.0 / static_cast<double>(kCellSize);
    const double nx = std::trunc(static_cast<double>(extent.x) * inv) + 1.0;
    const double ny = std::trunc(static_cast<double>(extent.y) * inv) + 1.0;
    const double bytesPerSample = double(sizeof(RegularSample)) + 4.0 * double(additionalCount);
    if (nx > double(std::numeric_limits<int>::max()) || ny > double(std::numeric_limits<int>::max())
        || nx * ny * bytesPerSample > double(capBytes)) {
        cause = "Das reguläre Gitter wäre mit " + std::to_string(static_cast<long long>(std::min(nx, 1e18))) + " x "
            + std::to_string(static_cast<long long>(std::min(ny, 1e18))) + " Punkten zu groß (höchstens "
            + std::to_string(capBytes >> 20) + " MiB); die Ausdehnung des Gitters ist für die Zellgröße 0.02 zu groß.";
        return false;
    }
    grid.width = static_cast<int>(nx);
    grid.height = static_cast<int>(ny);
    grid.additionalCount = additionalCount;
    return true;
}

namespace {

// Where the column cursor puts each regular column of one node row: the node
// cell and the fraction within it, or no cell (index −1). The walk along the
// columns depends on the node row alone, so all regular rows that the row
// cursor finds in the same node row share it.
struct ColumnCell {
    int index = -1;
    float fraction = 0.0f;
};

struct ColumnWalk {
    std::vector<ColumnCell> cells;
    int end = 0; // the node column at which the walk ended
};

template <class Nodes> void walkColumns(const Nodes& nodes, int j, int nx, float cell, ColumnWalk& walk)
{
    const int w = widthOf(nodes);
    const float* row = nodes.positionsRow(j);
    const auto x = [row](int i) { return row[3 * std::size_t(i)]; };
    walk.cells.assign(std::size_t(nx), ColumnCell {});
    int i = 0;
    float xs = x(0);
    float xCur = xs;
    float xNext = x(1);
    float dx = xNext - xCur;
    for (int c = 0; c < nx; ++c) {
        const float fx = static_cast<float>(i) + (xs - xCur) / dx;
        if (insideNodeCells(fx, w)) {
            const int ci = static_cast<int>(fx);
            walk.cells[std::size_t(c)] = {ci, fx - static_cast<float>(ci)};
        }
        xs = xs + cell;
        // The column cursor stops on the last node, so every x it reads is
        // a node of this row; the samples beyond it stay outside.
        while (xs > xNext && i < w - 1) {
            i = i + 1;
            if (i >= w - 1)
                break;
            xCur = xNext;
            xNext = x(i + 1);
            dx = xNext - xCur;
        }
    }
    walk.end = i;
}

using Lanes = FloatLanes;
constexpr std::size_t kLanes = 4;

// The correctly rounded square root of every lane, as std::sqrt gives it.
Lanes squareRoot(Lanes v)
{
#if defined(__SSE__)
    return _mm_sqrt_ps(v);
#else
    for (std::size_t l = 0; l < kLanes; ++l)
        v[l] = std::sqrt(v[l]);
    return v;
#endif
}

// One regular row as the row cursor finds it: the node row of its walk, and
// the node cell row cj with the fraction b where it is inside.
struct RowPlace {
    int walk = 0; // index of its column walk in the chunk
    bool inside = false;
    int lower = 0; // chunk buffer of node row cj, and of cj + 1 the next
    int upper = 0;
    float b = 0.0f;
};

} // namespace

template <class Nodes> void Resampler::resampleGrid(const Nodes& nodes, RegularGrid& grid) const
{
    const int nx = grid.width;
    const int ny = grid.height;
    const int n = additionalCountOf(nodes);
    const int w = widthOf(nodes);
    const int h = heightOf(nodes);
    const std::size_t plane = grid.sampleCount();
    grid.additionalCount = n;
    WorkerThread worker;
    grid.samples.clear();
    grid.values.clear();
    reserveWithHugePages(grid.samples, plane);
    reserveWithHugePages(grid.values, plane * std::size_t(n));
    // The fresh pages are provided at their first touch, a half on each thread.
    for (const auto& [storage, bytes] :
        {std::pair<void*, std::size_t> {grid.samples.data(), plane * sizeof(RegularSample)},
            std::pair<void*, std::size_t> {grid.values.data(), plane * std::size_t(n) * sizeof(float)}}) {
        char* const begin = static_cast<char*>(storage);
        worker.start([begin, bytes] { touchPages(begin, bytes / 2); });
        touchPages(begin + bytes / 2, bytes - bytes / 2);
        worker.wait();
    }
    grid.samples.assign(plane, RegularSample {});
    grid.values.assign(plane * std::size_t(n), 0.0f);

    progress_.status("Preprocessing Flow Data...");
    progress_.range(std::int64_t(ny) - 1);

    const float cell = kCellSize;
    const std::size_t rec = nodes.recordSize();
    const std::size_t recordFloats = rec * std::size_t(w);

    // The walk goes row by row as the row cursor finds them; the rows are
    // taken in chunks. For each chunk this thread runs the row cursor, walks
    // the columns of each node row it meets and copies the node records the
    // chunk needs (the node rows may be read from files, one at a time).
    // The samples of a chunk depend on nothing but these, so while the
    // worker blends one chunk this thread prepares the next, then joins the
    // blending; every sample is the one the plain walk gives.
    constexpr std::size_t kChunkSamples = std::size_t {1} << 18;
    constexpr std::size_t kChunkRecordFloats = std::size_t {1} << 19;
    struct Chunk {
        int first = 0;
        int last = 0;
        std::vector<ColumnWalk> walks;
        std::size_t walkCount = 0;
        std::vector<float> records;
        std::vector<int> recordRows; // the node row in each record buffer
        std::vector<RowPlace> places;
    };
    Chunk chunks[2];

    int j = 0;
    float ys = nodes.y(0, 0);
    float yCur = ys;
    float yNext = nodes.y(0, 1);
    float dy = yNext - yCur;
    int walkedRow = -1;
    // Fills chunk with the rows from first on; the walk of the node row the
    // cursor is in carries over from the chunk before, if any.
    const auto prepare = [&](Chunk& chunk, int first, const ColumnWalk* carried) {
        chunk.first = first;
        chunk.walkCount = 0;
        if (carried != nullptr) {
            if (chunk.walks.empty())
                chunk.walks.emplace_back();
            chunk.walks[0] = *carried;
            chunk.walkCount = 1;
        }
        chunk.records.clear();
        chunk.recordRows.clear();
        chunk.places.clear();
        std::vector<ColumnWalk>& walks = chunk.walks;
        std::vector<float>& records = chunk.records;
        std::vector<int>& recordRows = chunk.recordRows;
        const auto buffer = [&](int nodeRow) {
            for (std::size_t k = recordRows.size(); k > 0 && k + 2 > recordRows.size(); --k)
                if (recordRows[k - 1] == nodeRow)
                    return int(k - 1);
            recordRows.push_back(nodeRow);
            records.resize(recordRows.size() * recordFloats);
            const float* row = nodes.recordsRow(nodeRow);
            std::copy(row, row + recordFloats, records.end() - std::ptrdiff_t(recordFloats));
            return int(recordRows.size()) - 1;
        };
        int last = first;
        while (last < ny
            && (last == first
                || (std::size_t(last - first) * std::size_t(nx) < kChunkSamples
                    && records.size() < kChunkRecordFloats))) {
            const float fy = static_cast<float>(j) + (ys - yCur) / dy;
            if (j != walkedRow) {
                if (walks.size() <= chunk.walkCount)
                    walks.emplace_back();
                walkColumns(nodes, j, nx, cell, walks[chunk.walkCount++]);
                walkedRow = j;
            }
            RowPlace place;
            place.walk = int(chunk.walkCount) - 1;
            place.inside = insideNodeCells(fy, h);
            if (place.inside) {
                const int cj = static_cast<int>(fy);
                place.b = fy - static_cast<float>(cj);
                place.lower = buffer(cj);
                place.upper = buffer(cj + 1);
            }
            chunk.places.push_back(place);
            ++last;
            ys = ys + cell;
            // The row cursor reads its y values from the column where this
            // row's walk ended, and likewise stops on the last node row.
            const int iEnd = walks[chunk.walkCount - 1].end;
            while (ys > yNext && j < h - 1) {
                j = j + 1;
                if (j >= h - 1)
                    break;
                yCur = yNext;
                yNext = nodes.y(iEnd, j + 1);
                dy = yNext - yCur;
            }
        }
        chunk.last = last;
    };

    // Samples [begin, end) of the chunk, counted row by row from its first.
    const auto blend = [&](const Chunk& chunk, std::size_t begin, std::size_t end) {
        for (std::size_t at = begin; at < end;) {
            const std::size_t k = at / std::size_t(nx);
            const std::size_t c0 = at % std::size_t(nx);
            const std::size_t c1 = std::min(std::size_t(nx), c0 + (end - at));
            at += c1 - c0;
            const RowPlace& place = chunk.places[k];
            if (!place.inside)
                continue;
            const ColumnCell* cells = chunk.walks[std::size_t(place.walk)].cells.data();
            const float* lowerRow = &chunk.records[std::size_t(place.lower) * recordFloats];
            const float* upperRow = &chunk.records[std::size_t(place.upper) * recordFloats];
            const float b = place.b;
            const std::size_t r = std::size_t(chunk.first) + k;
            RegularSample* row = &grid.samples[r * std::size_t(nx)];
            // Four samples of the row at once, each lane with the operations
            // of one sample alone, so every bit is the same.
            for (std::size_t c = c0; c < c1; c += kLanes) {
                const std::size_t lanes = std::min(kLanes, c1 - c);
                std::size_t offset[kLanes] = {};
                bool inside[kLanes] = {};
                Lanes a = {};
                bool any = false;
                for (std::size_t l = 0; l < lanes; ++l) {
                    const ColumnCell column = cells[c + l];
                    inside[l] = column.index >= 0;
                    any = any || inside[l];
                    // A lane without a cell reads node 0, which exists, and is not stored.
                    offset[l] = inside[l] ? rec * std::size_t(column.index) : 0;
                    a[l] = inside[l] ? column.fraction : 0.0f;
                }
                if (!any)
                    continue;
                const auto gather = [&offset](const float* base, std::size_t q) {
                    return Lanes {base[offset[0] + q], base[offset[1] + q], base[offset[2] + q], base[offset[3] + q]};
                };
                const auto blendValue = [&](std::size_t q) {
                    return bilinear(a, Lanes {b, b, b, b}, gather(lowerRow, q), gather(lowerRow + rec, q),
                        gather(upperRow, q), gather(upperRow + rec, q));
                };
                const Lanes vx = blendValue(0);
                const Lanes vy = blendValue(1);
                const Lanes vz = blendValue(2);
                const Lanes speed = squareRoot(vx * vx + vy * vy + vz * vz);
                for (std::size_t l = 0; l < lanes; ++l)
                    if (inside[l])
                        row[c + l] = {vx[l], vy[l], vz[l], speed[l]};
                for (int v = 0; v < n; ++v) {
                    const Lanes value = blendValue(3 + std::size_t(v));
                    float* out = &grid.values[std::size_t(v) * plane + r * std::size_t(nx) + c];
                    for (std::size_t l = 0; l < lanes; ++l)
                        if (inside[l])
                            out[l] = value[l];
                }
            }
        }
    };

    // Both threads take blocks of a chunk's samples until none is left.
    constexpr std::size_t kBlockSamples = 8192;
    std::atomic<std::size_t> nextBlock {0};
    const auto blendBlocks = [&](const Chunk& chunk) {
        const std::size_t samples = std::size_t(chunk.last - chunk.first) * std::size_t(nx);
        for (std::size_t at; (at = nextBlock.fetch_add(kBlockSamples)) < samples;)
            blend(chunk, at, std::min(samples, at + kBlockSamples));
    };

    int current = 0;
    prepare(chunks[current], 0, nullptr);
    for (;;) {
        const Chunk& chunk = chunks[current];
        Chunk& next = chunks[1 - current];
        nextBlock = 0;
        worker.start([&blendBlocks, &chunk] { blendBlocks(chunk); });
        const bool more = chunk.last < ny;
        try {
            if (more)
                prepare(next, chunk.last, &chunk.walks[chunk.walkCount - 1]);
            blendBlocks(chunk);
        } catch (...) {
            worker.wait();
            throw;
        }
        worker.wait();
        for (int r = chunk.first; r < chunk.last; ++r)
            progress_.position(r);
        if (!more)
            break;
        current = 1 - current;
    }
}

template void Resampler::resampleGrid<NodeGrid>(const NodeGrid&, RegularGrid&) const;
template void Resampler::resampleGrid<NodeRows>(const NodeRows&, RegularGrid&) const;

} // namespace tvl
