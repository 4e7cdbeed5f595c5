#include "flow/Resampler.h"

#include "flow/Bilinear.h"
#include "flow/LoadProgress.h"
#include "flow/NodeGrid.h"
#include "flow/NodeRows.h"
#include "flow/RegularGrid.h"

#include <algorithm>
#include <cmath>
#include <limits>

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

template <class Nodes> void Resampler::resampleGrid(const Nodes& nodes, RegularGrid& grid) const
{
    const int nx = grid.width;
    const int ny = grid.height;
    const int n = additionalCountOf(nodes);
    const int w = widthOf(nodes);
    const int h = heightOf(nodes);
    const std::size_t plane = grid.sampleCount();
    grid.additionalCount = n;
    grid.samples.assign(plane, RegularSample {});
    grid.values.assign(plane * std::size_t(n), 0.0f);

    progress_.status("Preprocessing Flow Data...");
    progress_.range(std::int64_t(ny) - 1);

    const float cell = kCellSize;
    const std::size_t rec = nodes.recordSize();
    auto x = [&](int i, int j) { return nodes.positionsRow(j)[3 * std::size_t(i)]; };
    auto y = [&](int i, int j) { return nodes.y(i, j); };

    int j = 0;
    float ys = y(0, 0);
    float yCur = ys;
    float yNext = y(0, 1);
    float dy = yNext - yCur;
    for (int r = 0; r < ny; ++r) {
        const float fy = static_cast<float>(j) + (ys - yCur) / dy;
        int i = 0;
        float xs = x(0, j);
        float xCur = xs;
        float xNext = x(1, j);
        float dx = xNext - xCur;
        RegularSample* row = &grid.samples[std::size_t(r) * std::size_t(nx)];
        const bool rowInside = insideNodeCells(fy, h);
        const int cj = rowInside ? static_cast<int>(fy) : 0;
        const float b = fy - static_cast<float>(cj);
        const float* lowerRow = rowInside ? nodes.recordsRow(cj) : nullptr;
        const float* upperRow = rowInside ? nodes.recordsRow(cj + 1) : nullptr;
        for (int c = 0; c < nx; ++c) {
            const float fx = static_cast<float>(i) + (xs - xCur) / dx;
            if (rowInside && insideNodeCells(fx, w)) {
                const int ci = static_cast<int>(fx);
                const float a = fx - static_cast<float>(ci);
                const float* v00 = lowerRow + rec * std::size_t(ci);
                const float* v10 = v00 + rec;
                const float* v01 = upperRow + rec * std::size_t(ci);
                const float* v11 = v01 + rec;
                RegularSample& s = row[c];
                s.vx = bilinear(a, b, v00[0], v10[0], v01[0], v11[0]);
                s.vy = bilinear(a, b, v00[1], v10[1], v01[1], v11[1]);
                s.vz = bilinear(a, b, v00[2], v10[2], v01[2], v11[2]);
                s.speed = std::sqrt(s.vx * s.vx + s.vy * s.vy + s.vz * s.vz);
                const std::size_t at = std::size_t(r) * std::size_t(nx) + std::size_t(c);
                for (int k = 0; k < n; ++k) {
                    const std::size_t q = 3 + std::size_t(k);
                    grid.values[std::size_t(k) * plane + at] = bilinear(a, b, v00[q], v10[q], v01[q], v11[q]);
                }
            }
            xs = xs + cell;
            // The column cursor stops on the last node, so every x it reads is
            // a node of this row; the samples beyond it stay outside.
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
        // The row cursor reads its y values from the column where this row's
        // walk ended, and likewise stops on the last node row.
        const int iEnd = i;
        while (ys > yNext && j < h - 1) {
            j = j + 1;
            if (j >= h - 1)
                break;
            yCur = yNext;
            yNext = y(iEnd, j + 1);
            dy = yNext - yCur;
        }
        progress_.position(r);
    }
}

template void Resampler::resampleGrid<NodeGrid>(const NodeGrid&, RegularGrid&) const;
template void Resampler::resampleGrid<NodeRows>(const NodeRows&, RegularGrid&) const;

} // namespace tvl
