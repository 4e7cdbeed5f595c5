#include "flow/Resampler.h"
#include "flow/FloatLanes.h"

#include "flow/Bilinear.h"
#include "flow/HugePages.h"
#include "flow/LoadProgress.h"
#include "flow/NodeGrid.h"
#include "flow/NodeRows.h"
#include "flow/RegularGrid.h"
#include "flow/ValueBorders.h"
#include "flow/WorkerThread.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

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

// The column walk of node row j over nx columns, one cell per column.
template <class Nodes> void walkColumns(const Nodes& nodes, int j, int nx, float cell, ColumnCell* cells)
{
    const int w = widthOf(nodes);
    const float* row = nodes.xRow(j);
    const auto x = [row](int i) { return row[Nodes::kXStride * std::size_t(i)]; };
    int i = 0;
    float xs = x(0);
    float xCur = xs;
    float xNext = x(1);
    float dx = xNext - xCur;
    for (int c = 0; c < nx; ++c) {
        const float fx = static_cast<float>(i) + (xs - xCur) / dx;
        ColumnCell found;
        if (insideNodeCells(fx, w)) {
            found.index = static_cast<int>(fx);
            found.fraction = fx - static_cast<float>(found.index);
        }
        cells[c] = found;
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
}

using Lanes = FloatLanes;
constexpr std::size_t kLanes = 4;

// Where the row cursor finds regular row r: the node row whose column walk
// the row takes, and the node cell row with the fraction b where it is inside.
struct RowPlace {
    int walkRow = 0;
    bool inside = false;
    int cellRow = 0;
    float b = 0.0f;
};

// Runs job(k) for every k < count, on this thread and the worker at once.
template <class Job> void onBothThreads(WorkerThread& worker, std::size_t count, const Job& job)
{
    std::atomic<std::size_t> next {0};
    const auto take = [&next, count, &job] {
        for (std::size_t k; (k = next.fetch_add(1, std::memory_order_relaxed)) < count;)
            job(k);
    };
    worker.start(take);
    try {
        take();
    } catch (...) {
        worker.wait();
        throw;
    }
    worker.wait();
}

} // namespace

template <class Nodes>
void Resampler::resampleGrid(
    const Nodes& nodes, RegularGrid& grid, GridStorage<float>& speeds, ValueBorders& borders) const
{
    const int nx = grid.width;
    const int ny = grid.height;
    const int n = additionalCountOf(nodes);
    const int w = widthOf(nodes);
    const int h = heightOf(nodes);
    const std::size_t plane = grid.sampleCount();
    const std::size_t valueCount = std::size_t(n);
    grid.additionalCount = n;
    WorkerThread worker;
    grid.samples.clear();
    grid.values.clear();
    speeds.clear();
    reserveWithHugePages(grid.samples, plane);
    reserveWithHugePages(grid.values, plane * valueCount);
    reserveWithHugePages(speeds, plane);
    // Every sample, value and speed is written below; the fresh pages are
    // provided at their first touch, a half on each thread, the worker's half
    // while this thread runs the row cursor.
    const std::pair<char*, std::size_t> storage[]
        = {{reinterpret_cast<char*>(grid.samples.data()), plane * sizeof(RegularSample)},
            {reinterpret_cast<char*>(grid.values.data()), plane * valueCount * sizeof(float)},
            {reinterpret_cast<char*>(speeds.data()), plane * sizeof(float)}};
    worker.start([&storage] {
        for (const auto& [begin, bytes] : storage)
            touchPages(begin, bytes / 2);
    });
    grid.samples.resize(plane);
    grid.values.resize(plane * valueCount);
    speeds.resize(plane);

    const float cell = kCellSize;
    const std::size_t rec = nodes.recordSize();
    const std::size_t recordFloats = rec * std::size_t(w);

    // The row cursor. It reads its y values from the column where the walk
    // of the current node row ended. The column cursor only moves forward
    // and the x it compares with only grows, so after the nx columns of node
    // row j it stands on the first node whose right neighbour does not lie
    // left of the last x it reached (on the last node at the latest): the
    // end of a walk needs that x alone, not the walk. That x is x of node 0
    // plus nx cells, added one at a time, for four node rows at once.
    // NaN until found: the x are finite, and so is every x reached.
    std::vector<float> lastX(std::size_t(h), std::numeric_limits<float>::quiet_NaN());
    const auto walkEnd = [&](int j) {
        if (std::isnan(lastX[std::size_t(j)])) {
            Lanes xs;
            for (std::size_t l = 0; l < kLanes; ++l)
                xs[l] = j + int(l) < h ? nodes.xRow(j + int(l))[0] : 0.0f;
            for (int c = 0; c < nx; ++c)
                xs = xs + cell;
            for (std::size_t l = 0; l < kLanes && j + int(l) < h; ++l)
                lastX[std::size_t(j) + l] = xs[l];
        }
        const float xs = lastX[std::size_t(j)];
        const float* row = nodes.xRow(j);
        int i = 0;
        while (i < w - 1 && xs > row[Nodes::kXStride * std::size_t(i + 1)])
            ++i;
        return i;
    };
    std::vector<RowPlace> places(static_cast<std::size_t>(ny));
    try {
        int j = 0;
        float ys = nodes.y(0, 0);
        float yCur = ys;
        float yNext = nodes.y(0, 1);
        float dy = yNext - yCur;
        int endRow = -1, iEnd = 0;
        for (RowPlace& place : places) {
            const float fy = static_cast<float>(j) + (ys - yCur) / dy;
            place.walkRow = j;
            place.inside = insideNodeCells(fy, h);
            if (place.inside) {
                place.cellRow = static_cast<int>(fy);
                place.b = fy - static_cast<float>(place.cellRow);
            }
            ys = ys + cell;
            if (endRow != j) {
                iEnd = walkEnd(j);
                endRow = j;
            }
            // The row cursor likewise stops on the last node row.
            while (ys > yNext && j < h - 1) {
                j = j + 1;
                if (j >= h - 1)
                    break;
                yCur = yNext;
                yNext = nodes.y(iEnd, j + 1);
                dy = yNext - yCur;
            }
        }
        for (const auto& [begin, bytes] : storage)
            touchPages(begin + bytes / 2, bytes - bytes / 2);
    } catch (...) {
        worker.wait();
        throw;
    }
    worker.wait();
    lastX = {};

    progress_.status("Preprocessing Flow Data...");
    progress_.range(std::int64_t(ny) - 1);

    // The rows are resampled in chunks. For each, this thread lists the
    // column walks and node record rows the chunk needs; then both threads
    // walk the columns and read the records, and then both blend blocks of
    // samples. Every sample depends on nothing but its walk and its records,
    // so any split gives the samples of one pass; the borders of each block
    // are merged in sample order.
    constexpr std::size_t kChunkSamples = std::size_t {1} << 18;
    constexpr std::size_t kChunkRecordFloats = std::size_t {1} << 19;
    constexpr std::size_t kBlockSamples = 8192;
    std::vector<int> walkRows, walkOf, recordRows, lowerOf, upperOf;
    std::vector<ColumnCell> cells;
    std::vector<float> records;
    std::vector<ValueBorders> blockBorders;
    // Columns [c0, c1) of one inside row from its column walk and the node
    // records of its two node rows. All values of a sample at once, each lane
    // with the operations of one value alone, so every bit is that of the
    // walk one value at a time.
    const auto blendRun = [rec, valueCount](const ColumnCell* walk, const float* lowerRow, const float* upperRow,
                              float b, std::size_t c0, std::size_t c1, RegularSample* sampleRow, float* speedRow,
                              float* valueRow, std::size_t valuePlane) {
        for (std::size_t c = c0; c < c1; ++c) {
            const ColumnCell column = walk[c];
            if (column.index < 0) {
                sampleRow[c] = RegularSample {};
                speedRow[c] = 0.0f;
                for (std::size_t v = 0; v < valueCount; ++v)
                    valueRow[v * valuePlane + c] = 0.0f;
                continue;
            }
            const float a = column.fraction;
            const float* lower = lowerRow + rec * std::size_t(column.index);
            const float* upper = upperRow + rec * std::size_t(column.index);
            const auto blendLanes = [&](std::size_t q) {
                return bilinear(a, b, loadLanes(lower + q), loadLanes(lower + rec + q), loadLanes(upper + q),
                    loadLanes(upper + rec + q));
            };
            const Lanes lanes = blendLanes(0);
            const float vx = lanes[0], vy = lanes[1], vz = lanes[2];
            const float speed = std::sqrt(vx * vx + vy * vy + vz * vz);
            sampleRow[c] = RegularSample {vx, vy, vz, speed};
            speedRow[c] = speed;
            // Value v is lane (3 + v) % 4 of the lanes from record float (3 + v) & ~3 on.
            // Without values there is no value row to point into.
            if (valueCount > 0)
                valueRow[c] = lanes[3];
            for (std::size_t q = kLanes; q < rec; q += kLanes) {
                const Lanes more = blendLanes(q);
                float* const out = valueRow + (q - 3) * valuePlane + c;
                const std::size_t count = rec - q;
                out[0] = more[0];
                if (count > 1)
                    out[valuePlane] = more[1];
                if (count > 2)
                    out[2 * valuePlane] = more[2];
                if (count > 3)
                    out[3 * valuePlane] = more[3];
            }
        }
    };

    borders = ValueBorders(valueCount);
    for (int first = 0; first < ny;) {
        walkRows.clear();
        walkOf.clear();
        recordRows.clear();
        lowerOf.clear();
        upperOf.clear();
        const auto recordRow = [&recordRows](int nodeRow) {
            for (std::size_t k = recordRows.size(); k > 0 && k + 2 > recordRows.size(); --k)
                if (recordRows[k - 1] == nodeRow)
                    return int(k - 1);
            recordRows.push_back(nodeRow);
            return int(recordRows.size()) - 1;
        };
        int last = first;
        while (last < ny
            && (last == first
                || (std::size_t(last - first) * std::size_t(nx) < kChunkSamples
                    && recordRows.size() * recordFloats < kChunkRecordFloats))) {
            const RowPlace& place = places[std::size_t(last)];
            if (walkRows.empty() || walkRows.back() != place.walkRow)
                walkRows.push_back(place.walkRow);
            walkOf.push_back(int(walkRows.size()) - 1);
            lowerOf.push_back(place.inside ? recordRow(place.cellRow) : 0);
            upperOf.push_back(place.inside ? recordRow(place.cellRow + 1) : 0);
            ++last;
        }
        // Four floats more, for the last node's four-lane reads.
        cells.resize(walkRows.size() * std::size_t(nx));
        records.resize(recordRows.size() * recordFloats + kLanes);
        onBothThreads(worker, walkRows.size() + recordRows.size(), [&](std::size_t k) {
            if (k < walkRows.size())
                walkColumns(nodes, walkRows[k], nx, cell, &cells[k * std::size_t(nx)]);
            else
                nodes.copyRecordsRow(recordRows[k - walkRows.size()], &records[(k - walkRows.size()) * recordFloats]);
        });

        const std::size_t samples = std::size_t(last - first) * std::size_t(nx);
        const std::size_t blocks = (samples + kBlockSamples - 1) / kBlockSamples;
        blockBorders.assign(blocks, ValueBorders(valueCount));
        onBothThreads(worker, blocks, [&](std::size_t block) {
            // Gathered apart from the shared list, which the other thread
            // writes beside it.
            ValueBorders found(valueCount);
            const std::size_t end = std::min(samples, (block + 1) * kBlockSamples);
            for (std::size_t at = block * kBlockSamples; at < end;) {
                const std::size_t k = at / std::size_t(nx);
                const std::size_t c0 = at % std::size_t(nx);
                const std::size_t c1 = std::min(std::size_t(nx), c0 + (end - at));
                at += c1 - c0;
                const std::size_t r = std::size_t(first) + k;
                const RowPlace& place = places[r];
                const std::size_t rowStart = r * std::size_t(nx);
                RegularSample* const sampleRow = &grid.samples[rowStart];
                float* const speedRow = &speeds[rowStart];
                const auto valueRow = [&](std::size_t v) { return &grid.values[v * plane + rowStart]; };
                if (!place.inside) {
                    std::fill(sampleRow + c0, sampleRow + c1, RegularSample {});
                    std::fill(speedRow + c0, speedRow + c1, 0.0f);
                    for (std::size_t v = 0; v < valueCount; ++v)
                        std::fill(valueRow(v) + c0, valueRow(v) + c1, 0.0f);
                } else {
                    blendRun(&cells[std::size_t(walkOf[k]) * std::size_t(nx)],
                        &records[std::size_t(lowerOf[k]) * recordFloats],
                        &records[std::size_t(upperOf[k]) * recordFloats], place.b, c0, c1, sampleRow, speedRow,
                        valueCount > 0 ? &grid.values[rowStart] : nullptr, plane);
                }
                found.addSpeeds(speedRow + c0, c1 - c0);
                for (std::size_t v = 0; v < valueCount; ++v)
                    found.addValues(v, valueRow(v) + c0, c1 - c0);
            }
            blockBorders[block] = std::move(found);
        });
        for (const ValueBorders& found : blockBorders)
            borders.merge(found);
        for (int r = first; r < last; ++r)
            progress_.position(r);
        first = last;
    }
}

template void Resampler::resampleGrid<NodeGrid>(
    const NodeGrid&, RegularGrid&, GridStorage<float>&, ValueBorders&) const;
template void Resampler::resampleGrid<NodeRows>(
    const NodeRows&, RegularGrid&, GridStorage<float>&, ValueBorders&) const;

} // namespace tvl
