#include "flow/FlowData.h"

#include "flow/GridFileReader.h"
#include "flow/HugePages.h"
#include "flow/LoadProgress.h"
#include "flow/LogSink.h"
#include "flow/NodeBounds.h"

#include <cfloat>
#include <cstring>
#include <exception>
#include <limits>
#include <new>
#include <utility>

namespace tvl {

namespace {

const char* const kTag = "[Tavrel|FlowData|loadData]: ";
const char* const kExceptionTag = "[Tavrel|FlowData|loadData|Exception aufgetreten]: ";

} // namespace

FlowData::FlowData() = default;

void FlowData::log(const std::string& message)
{
    if (log_)
        log_->write(message);
}

bool FlowData::fail(const std::string& cause)
{
    log(kTag + cause);
    return false;
}

bool FlowData::loadData(std::string gridName, std::string dataName)
{
    notice_.clear();
    bool result = true;
    if (gridName.empty() || dataName.empty()) {
        log(std::string(kTag) + "Bitte zuerst ein File spezifizieren.");
        result = false;
    } else {
        try {
            result = loadFiles(gridName, dataName);
        } catch (const std::bad_alloc&) {
            log(std::string(kExceptionTag) + "Nicht genug Speicher für den Datensatz.");
            result = false;
        } catch (const std::exception& e) {
            log(std::string(kExceptionTag) + e.what());
            result = false;
        }
    }
    const LoadProgress progress(status_);
    progress.status("Progress");
    progress.position(0);
    return result;
}

bool FlowData::loadFiles(const std::string& gridName, const std::string& dataName)
{
    const LoadProgress progress(status_);
    GridFileReader reader(progress);
    const Resampler resampler(progress);
    RegularGrid fresh;
    std::string cause;
    // Everything the grid file can tell is checked before the data file is
    // touched, so a hopeless load costs no second read.
    if (!reader.readGrid(gridName, cause)
        || !resampler.sizeGrid(reader.extent(), reader.header().additionalCount, regularGridCap_, fresh, cause)
        || !reader.openData(dataName, cause))
        return fail(cause);
    fresh.minimum = reader.minimum();
    fresh.maximum = reader.maximum();
    const NodeRows nodes = reader.nodeRows();
    GridStorage<float> speeds;
    ValueBorders borders;
    resampler.resampleGrid(nodes, fresh, speeds, borders);
    if (nodes.failed())
        return fail("Lesefehler: die Dateien haben sich während des Ladens geändert oder sind nicht lesbar.");
    reportBordersPhase(fresh.height);
    adopt(std::move(fresh), std::move(speeds), std::move(borders));
    headerInteger_ = reader.header().headerInteger;
    headerReal_ = reader.header().headerReal;
    if (reader.dataFileBytes() > reader.dataBytesNeeded()) {
        const GridHeader& header = reader.header();
        notice_ = "Die Datendatei ist länger, als das Gitter verlangt: " + std::to_string(header.width) + " x "
            + std::to_string(header.height) + " Knoten mit je " + std::to_string(3LL + header.additionalCount)
            + " Werten brauchen " + std::to_string(reader.dataBytesNeeded()) + " Bytes, die Datei hat "
            + std::to_string(reader.dataFileBytes())
            + " Bytes. Der Rest wird nicht gelesen. Gehört die Datendatei zu einem anderen Gitter?";
        log(kTag + notice_);
    }
    return true;
}

bool FlowData::loadNodes(NodeGrid nodes, int headerInteger, float headerReal)
{
    notice_.clear();
    try {
        if (nodes.width < 2 || nodes.height < 2 || nodes.additionalCount < 0 || !nodes.positions || !nodes.records)
            return fail("Ungültiges Knotengitter.");
        const LoadProgress progress(status_);
        const Resampler resampler(progress);
        RegularGrid fresh;
        std::string cause;
        NodeBounds bounds;
        bounds.add(nodes.positions.get(), nodes.nodeCount());
        Vector3 extent;
        if (!bounds.finish(fresh.minimum, fresh.maximum, extent, cause)
            || !resampler.sizeGrid(extent, nodes.additionalCount, regularGridCap_, fresh, cause))
            return fail(cause);
        GridStorage<float> speeds;
        ValueBorders borders;
        resampler.resampleGrid(nodes, fresh, speeds, borders);
        nodes = NodeGrid {};
        reportBordersPhase(fresh.height);
        adopt(std::move(fresh), std::move(speeds), std::move(borders));
        headerInteger_ = headerInteger;
        headerReal_ = headerReal;
        return true;
    } catch (const std::bad_alloc&) {
        log(std::string(kExceptionTag) + "Nicht genug Speicher für das reguläre Gitter.");
        return false;
    }
}

void FlowData::adoptRegularGrid(RegularGrid grid)
{
    const std::size_t plane = grid.sampleCount();
    grid.samples.resize(plane, RegularSample {});
    grid.values.resize(plane * std::size_t(grid.additionalCount > 0 ? grid.additionalCount : 0), 0.0f);
    GridStorage<float> speeds;
    reserveWithHugePages(speeds, plane);
    speeds.resize(plane);
    for (std::size_t n = 0; n < plane; ++n)
        speeds[n] = grid.samples[n].speed;
    ValueBorders borders = findValueBorders(grid, speeds);
    adopt(std::move(grid), std::move(speeds), std::move(borders));
}

void FlowData::adopt(RegularGrid grid, GridStorage<float> speeds, ValueBorders borders)
{
    std::vector<float> range = borders.range();
    std::vector<float> minimum = borders.minimum();
    std::vector<float> maximum = borders.maximum();
    // Everything that may throw is done; the moves below cannot fail, so the
    // data set is replaced whole or not at all.
    grid_ = std::move(grid);
    extent_ = grid_.maximum - grid_.minimum;
    speeds_ = std::move(speeds);
    maxSpeed_ = borders.maxSpeed();
    valueMinimum_ = std::move(minimum);
    valueMaximum_ = std::move(maximum);
    valueRange_ = std::move(range);
}

void FlowData::reportBordersPhase(int height) const
{
    const LoadProgress progress(status_);
    progress.status("Finding Flow Borders...");
    progress.range(std::int64_t(height) - 1);
    for (int r = 0; r < height; ++r)
        progress.position(r);
}

ValueBorders FlowData::findValueBorders(const RegularGrid& grid, const GridStorage<float>& speeds) const
{
    const LoadProgress progress(status_);
    progress.status("Finding Flow Borders...");
    progress.range(std::int64_t(grid.height) - 1);
    const std::size_t n = std::size_t(grid.additionalCount > 0 ? grid.additionalCount : 0);
    const std::size_t plane = grid.sampleCount();
    ValueBorders borders(n);
    for (int r = 0; r < grid.height; ++r) {
        const std::size_t begin = std::size_t(r) * std::size_t(grid.width);
        const std::size_t end = begin + std::size_t(grid.width);
        borders.addSpeeds(&speeds[begin], end - begin);
        for (std::size_t k = 0; k < n; ++k)
            borders.addValues(k, &grid.values[k * plane + begin], end - begin);
        progress.position(r);
    }
    return borders;
}

Vector3 FlowData::worldToGrid(float x, float y, float /*z*/) const
{
    const float gx = (x - grid_.minimum.x) * static_cast<float>(grid_.width) / extent_.x;
    const float gy = (y - grid_.minimum.y) * static_cast<float>(grid_.height) / extent_.y;
    return {gx, gy, 0.0f};
}

float FlowData::additionalValueAt(const Vector3& point, int k) const
{
    const AxisCell column = columnCell(point.x);
    const AxisCell row = rowCell(point.y);
    if (k < 0 || k >= grid_.additionalCount || !column.inside || !row.inside)
        return 0.0f;
    const std::size_t w = std::size_t(grid_.width);
    const float* v
        = &grid_.values[std::size_t(k) * grid_.sampleCount() + std::size_t(row.index) * w + std::size_t(column.index)];
    return bilinear(column.fraction, row.fraction, v[0], v[1], v[w], v[w + 1]);
}

float FlowData::normalizeAdditionalValue(int k, float value) const
{
    if (k < 0 || k >= grid_.additionalCount)
        return std::numeric_limits<float>::quiet_NaN();
    const std::size_t kk = std::size_t(k);
    return (value - valueMinimum_[kk]) / valueRange_[kk];
}

} // namespace tvl
