#include "flow/FlowData.h"

#include "flow/GridHeader.h"
#include "flow/LogSink.h"
#include "flow/StatusSink.h"

#include <sys/mman.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <new>

namespace tvl {
namespace {

const char* const kTag = "[Tavrel|FlowData|loadData]: ";
const char* const kExceptionTag = "[Tavrel|FlowData|loadData|Exception aufgetreten]: ";

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Size of an open file in bytes, or -1 where it has none (pipes, devices).
long long fileSize(std::FILE* f)
{
    if (fseeko(f, 0, SEEK_END) != 0)
        return -1;
    const off_t size = ftello(f);
    if (size < 0 || fseeko(f, 0, SEEK_SET) != 0)
        return -1;
    return static_cast<long long>(size);
}

// Reads count little-endian floats straight into dest.
bool readFloats(std::FILE* f, float* dest, std::size_t count)
{
    if (std::fread(dest, sizeof(float), count, f) != count)
        return false;
    if constexpr (std::endian::native == std::endian::big) {
        for (std::size_t i = 0; i < count; ++i)
            dest[i] = std::bit_cast<float>(__builtin_bswap32(std::bit_cast<std::uint32_t>(dest[i])));
    }
    return true;
}

// Large arrays are touched once in order right after allocation; huge pages
// cut the page faults of a 100 MB read by a factor of 500.
void adviseHugePages(void* p, std::size_t bytes)
{
    constexpr std::uintptr_t kHuge = 2u << 20;
    const auto begin = (reinterpret_cast<std::uintptr_t>(p) + kHuge - 1) & ~(kHuge - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(p) + bytes) & ~(kHuge - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

std::string number(long long v) { return std::to_string(v); }

// Rows read per block: about 8 MB, at least one row.
int rowsPerBlock(std::size_t bytesPerRow)
{
    const std::size_t rows = (std::size_t{8} << 20) / (bytesPerRow ? bytesPerRow : 1);
    return rows < 1 ? 1 : (rows > 1u << 30 ? 1 << 30 : static_cast<int>(rows));
}

} // namespace

FlowData::FlowData() = default;

void FlowData::status(const std::string& text)
{
    if (status_)
        status_->setStatusText(text);
}

void FlowData::progressRange(std::int64_t maximum)
{
    // A 16-bit progress control keeps the maximum modulo 65536.
    if (status_)
        status_->setProgressRange(static_cast<int>(static_cast<std::uint16_t>(maximum)));
}

void FlowData::progressPosition(int position)
{
    if (status_)
        status_->setProgressPosition(position);
}

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
    bool result = true;
    if (gridName.empty() || dataName.empty()) {
        log(std::string(kTag) + "Bitte zuerst ein File spezifizieren.");
        result = false;
    } else {
        try {
            NodeGrid nodes;
            State fresh;
            int third = 0;
            std::string cause;
            // Everything about the grid that can be known before the data file
            // is read is checked first, so a hopeless load costs no second read.
            if (!readGrid(gridName, nodes, third, fresh.headerInteger, fresh.headerReal, cause)
                || !checkNodes(nodes, fresh, cause) || !readData(dataName, nodes, third, cause)) {
                result = fail(cause);
            } else {
                finishLoad(nodes, fresh);
            }
        } catch (const std::bad_alloc&) {
            log(std::string(kExceptionTag) + "Nicht genug Speicher für den Datensatz.");
            result = false;
        } catch (const std::exception& e) {
            log(std::string(kExceptionTag) + e.what());
            result = false;
        }
    }
    status("Progress");
    progressPosition(0);
    return result;
}

bool FlowData::readGrid(const std::string& gridName, NodeGrid& nodes, int& third, int& headerInteger,
                        float& headerReal, std::string& cause)
{
    File file(std::fopen(gridName.c_str(), "rb"));
    if (!file) {
        cause = "Die Gitterdatei kann nicht geöffnet werden: " + gridName;
        return false;
    }
    const long long size = fileSize(file.get());
    if (size < 0) {
        cause = "Die Größe der Gitterdatei lässt sich nicht bestimmen: " + gridName;
        return false;
    }
    char headerBytes[GridHeader::kSize] = {};
    const std::size_t headerRead = std::fread(headerBytes, 1, GridHeader::kSize, file.get());
    if (headerRead != GridHeader::kSize) {
        cause = "Die Gitterdatei ist kürzer als ihr Dateikopf von 40 Bytes: " + gridName;
        return false;
    }
    const GridHeader header = GridHeader::parse(headerBytes, GridHeader::kSize);
    if (header.fieldsMatched < 6) {
        cause = "Der Dateikopf der Gitterdatei ist ungültig: erwartet \"SN4DB W H 1 N 0 0.0\", gelesen wurden "
            + number(header.fieldsMatched) + " von 6 Feldern.";
        return false;
    }
    if (header.width < 2 || header.height < 2) {
        cause = "Ungültige Gittergröße " + number(header.width) + " x " + number(header.height)
            + " (mindestens 2 x 2 Knoten).";
        return false;
    }
    if (header.additionalCount < 0) {
        cause = "Ungültige Anzahl zusätzlicher Werte: " + number(header.additionalCount) + ".";
        return false;
    }
    // W, H < 2^31, so W * H fits 62 bits; compare it with what the file holds
    // by division, so nothing can overflow. The file size bounds every allocation.
    const std::uint64_t nodeCount = std::uint64_t(header.width) * std::uint64_t(header.height);
    const std::uint64_t nodesInFile = (static_cast<std::uint64_t>(size) - GridHeader::kSize) / 12;
    if (nodeCount > nodesInFile) {
        cause = "Die Gitterdatei ist zu kurz: " + number(header.width) + " x " + number(header.height)
            + " Knoten brauchen 40 + 12 Bytes je Knoten, die Datei hat " + number(size) + " Bytes.";
        return false;
    }
    third = header.third;
    headerInteger = header.headerInteger;
    headerReal = header.headerReal;

    status("Loading Grid Data...");
    progressRange(std::int64_t(header.height) - 1);
    nodes.width = header.width;
    nodes.height = header.height;
    nodes.additionalCount = header.additionalCount;
    nodes.positions = std::make_unique_for_overwrite<float[]>(3 * nodeCount);
    adviseHugePages(nodes.positions.get(), 12 * nodeCount);

    const std::size_t rowFloats = 3 * std::size_t(header.width);
    const int block = rowsPerBlock(rowFloats * 4);
    for (int j = 0; j < header.height; j += block) {
        const int rows = std::min(block, header.height - j);
        if (!readFloats(file.get(), &nodes.positions[rowFloats * std::size_t(j)], rowFloats * std::size_t(rows))) {
            cause = "Lesefehler in der Gitterdatei: " + gridName;
            return false;
        }
        for (int r = j; r < j + rows; ++r)
            progressPosition(r);
    }
    return true;
}

bool FlowData::readData(const std::string& dataName, NodeGrid& nodes, int third, std::string& cause)
{
    File file(std::fopen(dataName.c_str(), "rb"));
    if (!file) {
        cause = "Die Datendatei kann nicht geöffnet werden: " + dataName;
        return false;
    }
    const long long size = fileSize(file.get());
    if (size < 0) {
        cause = "Die Größe der Datendatei lässt sich nicht bestimmen: " + dataName;
        return false;
    }
    const std::uint64_t recordFloats = nodes.recordSize();
    const std::uint64_t nodeCount = nodes.nodeCount();
    // recordFloats < 2^31 + 3 and nodeCount < 2^62 / 64: check the product
    // against the file size by division, so it cannot overflow.
    const std::uint64_t available = static_cast<std::uint64_t>(size) / 4;
    if (recordFloats > available || nodeCount > available / recordFloats) {
        cause = "Die Datendatei ist zu kurz: " + number(nodes.width) + " x " + number(nodes.height) + " Knoten mit je "
            + std::to_string(recordFloats) + " Werten brauchen mehr als die " + number(size) + " Bytes der Datei.";
        return false;
    }

    status("Loading Flow Data...");
    progressRange(std::int64_t(nodes.height) * std::int64_t(third) - 1);
    nodes.records = std::make_unique_for_overwrite<float[]>(recordFloats * nodeCount);
    adviseHugePages(nodes.records.get(), 4 * recordFloats * nodeCount);

    const std::size_t rowFloats = recordFloats * std::size_t(nodes.width);
    const int block = rowsPerBlock(rowFloats * 4);
    for (int j = 0; j < nodes.height; j += block) {
        const int rows = std::min(block, nodes.height - j);
        if (!readFloats(file.get(), &nodes.records[rowFloats * std::size_t(j)], rowFloats * std::size_t(rows))) {
            cause = "Lesefehler in der Datendatei: " + dataName;
            return false;
        }
        for (int r = j; r < j + rows; ++r)
            progressPosition(r);
    }
    return true;
}

bool FlowData::checkNodes(const NodeGrid& nodes, State& state, std::string& cause)
{
    state.minimum = {FLT_MAX, FLT_MAX, FLT_MAX};
    state.maximum = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
    const std::size_t count = nodes.nodeCount();
    const float* p = nodes.positions.get();
    bool finite = true;
    float lo[3] = {FLT_MAX, FLT_MAX, FLT_MAX}, hi[3] = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
    for (std::size_t n = 0; n < count; ++n, p += 3) {
        for (int c = 0; c < 3; ++c) {
            const float v = p[c];
            finite &= std::isfinite(v);
            lo[c] = v < lo[c] ? v : lo[c];
            hi[c] = v > hi[c] ? v : hi[c];
        }
    }
    if (!finite) {
        cause = "Die Gitterdatei enthält Knotenkoordinaten, die keine endlichen Zahlen sind (NaN oder unendlich).";
        return false;
    }
    state.minimum = {lo[0], lo[1], lo[2]};
    state.maximum = {hi[0], hi[1], hi[2]};
    state.extent = state.maximum - state.minimum;
    if (!(state.extent.x > 0.0f) || !(state.extent.y > 0.0f)) {
        cause = "Das Gitter hat keine Ausdehnung in x oder y: alle Knoten liegen auf einer Linie oder einem Punkt.";
        return false;
    }
    if (!std::isfinite(state.extent.x) || !std::isfinite(state.extent.y)) {
        cause = "Die Ausdehnung des Gitters ist zu groß für 32-Bit-Gleitkommazahlen.";
        return false;
    }
    const double inv = 1.0 / static_cast<double>(kCellSize);
    const double nx = std::trunc(static_cast<double>(state.extent.x) * inv) + 1.0;
    const double ny = std::trunc(static_cast<double>(state.extent.y) * inv) + 1.0;
    const double bytesPerSample = double(sizeof(RegularSample)) + 4.0 * double(nodes.additionalCount);
    if (nx > double(std::numeric_limits<int>::max()) || ny > double(std::numeric_limits<int>::max())
        || nx * ny * bytesPerSample > double(kMaxRegularGridBytes)) {
        cause = "Das reguläre Gitter wäre mit " + std::to_string(static_cast<long long>(std::min(nx, 1e18))) + " x "
            + std::to_string(static_cast<long long>(std::min(ny, 1e18)))
            + " Punkten zu groß (höchstens " + std::to_string(kMaxRegularGridBytes >> 30)
            + " GiB); die Ausdehnung des Gitters ist für die Zellgröße 0.02 zu groß.";
        return false;
    }
    state.width = static_cast<int>(nx);
    state.height = static_cast<int>(ny);
    return true;
}

bool FlowData::loadNodes(NodeGrid nodes, int headerInteger, float headerReal)
{
    bool result = true;
    try {
        State fresh;
        std::string cause;
        if (nodes.width < 2 || nodes.height < 2 || nodes.additionalCount < 0 || !nodes.positions || !nodes.records) {
            result = fail("Ungültiges Knotengitter.");
        } else if (!checkNodes(nodes, fresh, cause)) {
            result = fail(cause);
        } else {
            fresh.headerInteger = headerInteger;
            fresh.headerReal = headerReal;
            finishLoad(nodes, fresh);
        }
    } catch (const std::bad_alloc&) {
        log(std::string(kExceptionTag) + "Nicht genug Speicher für das reguläre Gitter.");
        result = false;
    }
    return result;
}

void FlowData::finishLoad(NodeGrid& nodes, State& fresh)
{
    fresh.additionalCount = nodes.additionalCount;
    resampleGrid(nodes, fresh);
    nodes = NodeGrid{};
    findValueBorders(fresh);
    state_ = std::move(fresh);
}

namespace {

// Bilinear interpolation in the node grid at fractional node indices (fx, fy).
// Inside when 0 <= trunc(fx) < W - 1 and 0 <= trunc(fy) < H - 1.
bool nodeCell(const NodeGrid& nodes, float fx, float fy, int& i, int& j)
{
    if (!(fx >= -2147483648.0f && fx < 2147483648.0f && fy >= -2147483648.0f && fy < 2147483648.0f))
        return false;
    i = static_cast<int>(fx);
    j = static_cast<int>(fy);
    return i >= 0 && i < nodes.width - 1 && j >= 0 && j < nodes.height - 1;
}

} // namespace

void FlowData::resampleGrid(const NodeGrid& nodes, State& state)
{
    const int nx = state.width;
    const int ny = state.height;
    const int n = nodes.additionalCount;
    const int w = nodes.width;
    const int h = nodes.height;
    const std::size_t plane = std::size_t(nx) * std::size_t(ny);
    state.samples.assign(plane, RegularSample{});
    state.values.assign(plane * std::size_t(n), 0.0f);

    status("Preprocessing Flow Data...");
    progressRange(std::int64_t(ny) - 1);

    const float cell = kCellSize;
    const std::size_t rec = nodes.recordSize();
    const float* records = nodes.records.get();
    auto vel = [&](int i, int j) { return &records[rec * nodes.index(i, j)]; };

    int j = 0;
    float ys = nodes.y(0, 0);
    float yCur = ys;
    float yNext = nodes.y(0, 1);
    float dy = yNext - yCur;
    for (int r = 0; r < ny; ++r) {
        const float fy = static_cast<float>(j) + (ys - yCur) / dy;
        // Past the last node row every sample is outside; the cursor stays on a
        // real row so its x reads below stay inside the node array.
        const int jRow = j < h ? j : h - 1;
        int i = 0;
        float xs = nodes.x(0, jRow);
        float xCur = xs;
        float xNext = nodes.x(1, jRow);
        float dx = xNext - xCur;
        RegularSample* row = &state.samples[std::size_t(r) * std::size_t(nx)];
        for (int c = 0; c < nx; ++c) {
            const float fx = static_cast<float>(i) + (xs - xCur) / dx;
            int ci, cj;
            if (nodeCell(nodes, fx, fy, ci, cj)) {
                const float a = fx - static_cast<float>(ci);
                const float b = fy - static_cast<float>(cj);
                const float* v00 = vel(ci, cj);
                const float* v10 = vel(ci + 1, cj);
                const float* v01 = vel(ci, cj + 1);
                const float* v11 = vel(ci + 1, cj + 1);
                float v[3];
                for (int q = 0; q < 3; ++q) {
                    const float lower = (1.0f - a) * v00[q] + a * v10[q];
                    const float upper = (1.0f - a) * v01[q] + a * v11[q];
                    v[q] = (1.0f - b) * lower + b * upper;
                }
                RegularSample& s = row[c];
                s.vx = v[0];
                s.vy = v[1];
                s.vz = v[2];
                s.speed = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
                const std::size_t at = std::size_t(r) * std::size_t(nx) + std::size_t(c);
                for (int k = 0; k < n; ++k) {
                    const float s00 = v00[3 + k], s10 = v10[3 + k], s01 = v01[3 + k], s11 = v11[3 + k];
                    state.values[std::size_t(k) * plane + at]
                        = ((1.0f - a) * s00 + a * s10) * (1.0f - b) + ((1.0f - a) * s01 + a * s11) * b;
                }
            }
            xs = xs + cell;
            // The column cursor stops on the last node, so every x it reads is
            // a node of this row; samples beyond it stay outside.
            while (xs > xNext && i < w - 1) {
                i = i + 1;
                if (i >= w - 1)
                    break;
                xCur = xNext;
                xNext = nodes.x(i + 1, jRow);
                dx = xNext - xCur;
            }
        }
        ys = ys + cell;
        const int iEnd = i < w ? i : w - 1;
        while (ys > yNext && j < h - 1) {
            j = j + 1;
            if (j >= h - 1)
                break;
            yCur = yNext;
            yNext = nodes.y(iEnd, j + 1);
            dy = yNext - yCur;
        }
        progressPosition(r);
    }
}

void FlowData::findValueBorders(State& state)
{
    status("Finding Flow Borders...");
    progressRange(std::int64_t(state.height) - 1);
    const int n = state.additionalCount;
    const std::size_t plane = std::size_t(state.width) * std::size_t(state.height);
    state.maxSpeed = 0.0f;
    state.valueMinimum.assign(std::size_t(n), FLT_MAX);
    state.valueMaximum.assign(std::size_t(n), -FLT_MAX);
    state.valueRange.assign(std::size_t(n), 0.0f);
    for (int r = 0; r < state.height; ++r) {
        const std::size_t begin = std::size_t(r) * std::size_t(state.width);
        const std::size_t end = begin + std::size_t(state.width);
        float maxSpeed = state.maxSpeed;
        for (std::size_t s = begin; s < end; ++s) {
            const float speed = state.samples[s].speed;
            maxSpeed = speed > maxSpeed ? speed : maxSpeed;
        }
        state.maxSpeed = maxSpeed;
        for (int k = 0; k < n; ++k) {
            const float* values = &state.values[std::size_t(k) * plane];
            float lo = state.valueMinimum[std::size_t(k)], hi = state.valueMaximum[std::size_t(k)];
            for (std::size_t s = begin; s < end; ++s) {
                const float v = values[s];
                lo = v < lo ? v : lo;
                hi = v > hi ? v : hi;
            }
            state.valueMinimum[std::size_t(k)] = lo;
            state.valueMaximum[std::size_t(k)] = hi;
        }
        progressPosition(r);
    }
    for (int k = 0; k < n; ++k)
        state.valueRange[std::size_t(k)] = state.valueMaximum[std::size_t(k)] - state.valueMinimum[std::size_t(k)];
}

void FlowData::setRegularGrid(int width, int height, int additionalCount, std::vector<RegularSample> samples,
                              std::vector<float> values, Vector3 minimum, Vector3 maximum)
{
    State fresh;
    fresh.width = width;
    fresh.height = height;
    fresh.additionalCount = additionalCount;
    fresh.minimum = minimum;
    fresh.maximum = maximum;
    fresh.extent = maximum - minimum;
    fresh.samples = std::move(samples);
    fresh.values = std::move(values);
    const std::size_t plane = std::size_t(width > 0 ? width : 0) * std::size_t(height > 0 ? height : 0);
    fresh.samples.resize(plane);
    fresh.values.resize(plane * std::size_t(additionalCount > 0 ? additionalCount : 0), 0.0f);
    StatusSink* saved = status_;
    status_ = nullptr;
    findValueBorders(fresh);
    status_ = saved;
    state_ = std::move(fresh);
}

float FlowData::sampleValue(int c, int r, int k) const
{
    const std::size_t plane = std::size_t(state_.width) * std::size_t(state_.height);
    return state_.values[std::size_t(k) * plane + std::size_t(r) * std::size_t(state_.width) + std::size_t(c)];
}

Vector3 FlowData::worldToGrid(float x, float y, float /*z*/) const
{
    const float gx = (x - state_.minimum.x) * static_cast<float>(state_.width) / state_.extent.x;
    const float gy = (y - state_.minimum.y) * static_cast<float>(state_.height) / state_.extent.y;
    return {gx, gy, 0.0f};
}

bool FlowData::insideCell(const Vector3& point, int& i, int& j) const
{
    const float gx = point.x, gy = point.y;
    if (!(gx >= -2147483648.0f && gx < 2147483648.0f && gy >= -2147483648.0f && gy < 2147483648.0f))
        return false;
    i = static_cast<int>(gx);
    j = static_cast<int>(gy);
    return i >= 0 && i < state_.width - 1 && j >= 0 && j < state_.height - 1;
}

bool FlowData::directionAt(const Vector3& point, Vector3& direction) const
{
    int i, j;
    if (!insideCell(point, i, j))
        return false;
    const float a = point.x - static_cast<float>(i);
    const float b = point.y - static_cast<float>(j);
    const std::size_t w = std::size_t(state_.width);
    const RegularSample* s00 = &state_.samples[std::size_t(j) * w + std::size_t(i)];
    const RegularSample* s10 = s00 + 1;
    const RegularSample* s01 = s00 + w;
    const RegularSample* s11 = s01 + 1;
    const float ia = 1.0f - a, ib = 1.0f - b;
    const Vector3 lower{ia * s00->vx + a * s10->vx, ia * s00->vy + a * s10->vy, ia * s00->vz + a * s10->vz};
    const Vector3 upper{ia * s01->vx + a * s11->vx, ia * s01->vy + a * s11->vy, ia * s01->vz + a * s11->vz};
    const Vector3 blended{ib * lower.x + b * upper.x, ib * lower.y + b * upper.y, ib * lower.z + b * upper.z};
    direction = blended.normalized();
    return true;
}

bool FlowData::speedAt(const Vector3& point, float& speed) const
{
    int i, j;
    if (!insideCell(point, i, j))
        return false;
    const float a = point.x - static_cast<float>(i);
    const float b = point.y - static_cast<float>(j);
    const std::size_t w = std::size_t(state_.width);
    const RegularSample* s00 = &state_.samples[std::size_t(j) * w + std::size_t(i)];
    const float ia = 1.0f - a;
    speed = (ia * s00[0].speed + a * s00[1].speed) * (1.0f - b) + (ia * s00[w].speed + a * s00[w + 1].speed) * b;
    return true;
}

float FlowData::additionalValueAt(const Vector3& point, int k) const
{
    int i, j;
    if (k < 0 || k >= state_.additionalCount || !insideCell(point, i, j))
        return 0.0f;
    const float a = point.x - static_cast<float>(i);
    const float b = point.y - static_cast<float>(j);
    const std::size_t w = std::size_t(state_.width);
    const std::size_t plane = w * std::size_t(state_.height);
    const float* v = &state_.values[std::size_t(k) * plane + std::size_t(j) * w + std::size_t(i)];
    const float ia = 1.0f - a;
    return (ia * v[0] + a * v[1]) * (1.0f - b) + (ia * v[w] + a * v[w + 1]) * b;
}

float FlowData::normalizeAdditionalValue(int k, float value) const
{
    if (k < 0 || k >= state_.additionalCount)
        return std::numeric_limits<float>::quiet_NaN();
    const std::size_t kk = std::size_t(k);
    return (value - state_.valueMinimum[kk]) / state_.valueRange[kk];
}

} // namespace tvl
