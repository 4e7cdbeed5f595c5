#include "flow/FlowData.h"

#include "flow/GridHeader.h"
#include "flow/LogSink.h"
#include "flow/StatusSink.h"

#include "flow/LittleEndian.h"
#include "flow/NodeRows.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <new>
#include <utility>
#include <algorithm>
#include <cerrno>

namespace tvl {
namespace {

const char* const kTag = "[Tavrel|FlowData|loadData]: ";
const char* const kExceptionTag = "[Tavrel|FlowData|loadData|Exception aufgetreten]: ";

// An open file descriptor, closed with the object.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }

private:
    int fd_;
};

std::string number(long long v) { return std::to_string(v); }

// Opens a regular file for reading and tells its size.
Fd openFile(const std::string& name, const char* what, long long& size, std::string& cause)
{
    Fd fd(::open(name.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (!fd || ::fstat(fd.get(), &info) != 0) {
        cause = std::string("Die ") + what + " kann nicht geöffnet werden: " + name;
        return Fd();
    }
    if (!S_ISREG(info.st_mode)) {
        cause = std::string("Die ") + what + " ist keine gewöhnliche Datei: " + name;
        return Fd();
    }
    size = static_cast<long long>(info.st_size);
    return fd;
}

bool readAt(int fd, void* dest, std::size_t bytes, std::uint64_t offset)
{
    char* p = static_cast<char*>(dest);
    while (bytes > 0) {
        const ssize_t got = ::pread(fd, p, bytes, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        p += got;
        offset += std::uint64_t(got);
        bytes -= std::size_t(got);
    }
    return true;
}


// Smallest and largest node coordinate per component. Any non-finite
// coordinate fails the load, so the running tests need no NaN care.
struct Bounds {
    float lo[3] = {FLT_MAX, FLT_MAX, FLT_MAX};
    float hi[3] = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
    bool finite = true;

    void add(const float* xyz, std::size_t nodes)
    {
        // Four nodes (twelve floats) per step in three 4-lane vectors; lane k
        // of the twelve holds component k % 3.
        using F4 = float __attribute__((vector_size(16)));
        using U4 = std::uint32_t __attribute__((vector_size(16)));
        F4 lo4[3] = {F4{lo[0], lo[1], lo[2], lo[0]}, F4{lo[1], lo[2], lo[0], lo[1]}, F4{lo[2], lo[0], lo[1], lo[2]}};
        F4 hi4[3] = {F4{hi[0], hi[1], hi[2], hi[0]}, F4{hi[1], hi[2], hi[0], hi[1]}, F4{hi[2], hi[0], hi[1], hi[2]}};
        U4 bad4 = {0, 0, 0, 0};
        const U4 exponent = {0x7f800000u, 0x7f800000u, 0x7f800000u, 0x7f800000u};
        std::size_t n = 0;
        for (; n + 4 <= nodes; n += 4, xyz += 12)
            for (int v = 0; v < 3; ++v) {
                F4 x;
                std::memcpy(&x, xyz + 4 * v, sizeof x);
                U4 bits;
                std::memcpy(&bits, &x, sizeof bits);
                bad4 |= (U4)((bits & exponent) == exponent);
                lo4[v] = x < lo4[v] ? x : lo4[v];
                hi4[v] = x > hi4[v] ? x : hi4[v];
            }
        float lo12[12], hi12[12];
        std::uint32_t bad = bad4[0] | bad4[1] | bad4[2] | bad4[3];
        for (int k = 0; k < 12; ++k) {
            lo12[k] = lo4[k / 4][k % 4];
            hi12[k] = hi4[k / 4][k % 4];
        }
        for (; n < nodes; ++n, xyz += 3)
            for (int k = 0; k < 3; ++k) {
                const float v = xyz[k];
                bad |= static_cast<std::uint32_t>(!std::isfinite(v));
                lo12[k] = v < lo12[k] ? v : lo12[k];
                hi12[k] = v > hi12[k] ? v : hi12[k];
            }
        for (int k = 0; k < 12; ++k) {
            lo[k % 3] = lo12[k] < lo[k % 3] ? lo12[k] : lo[k % 3];
            hi[k % 3] = hi12[k] > hi[k % 3] ? hi12[k] : hi[k % 3];
        }
        finite = finite && bad == 0;
    }
};

bool finishBounds(const Bounds& b, Vector3& minimum, Vector3& maximum, Vector3& extent, std::string& cause)
{
    if (!b.finite) {
        cause = "Die Gitterdatei enthält Knotenkoordinaten, die keine endlichen Zahlen sind (NaN oder unendlich).";
        return false;
    }
    minimum = {b.lo[0], b.lo[1], b.lo[2]};
    maximum = {b.hi[0], b.hi[1], b.hi[2]};
    extent = maximum - minimum;
    if (!(extent.x > 0.0f) || !(extent.y > 0.0f)) {
        cause = "Das Gitter hat keine Ausdehnung in x oder y: alle Knoten liegen auf einer Linie oder einem Punkt.";
        return false;
    }
    if (!std::isfinite(extent.x) || !std::isfinite(extent.y)) {
        cause = "Die Ausdehnung des Gitters ist zu groß für 32-Bit-Gleitkommazahlen.";
        return false;
    }
    return true;
}


// Rows read per block: about 2 MB, at least one row; the block buffer is
// reused, so the scan never faults in fresh memory.
int rowsPerBlock(std::size_t bytesPerRow)
{
    const std::size_t rows = (std::size_t{2} << 20) / (bytesPerRow ? bytesPerRow : 1);
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
            result = loadFiles(gridName, dataName);
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

bool FlowData::loadFiles(const std::string& gridName, const std::string& dataName)
{
    std::string cause;
    long long gridSize = 0, dataSize = 0;
    const Fd grid = openFile(gridName, "Gitterdatei", gridSize, cause);
    if (!grid)
        return fail(cause);
    GridHeader header;
    if (!readGridHeader(grid.get(), gridSize, header, cause))
        return fail(cause);

    // Everything the grid file can tell is checked before the data file is
    // touched, so a hopeless load costs no second read.
    State fresh;
    fresh.headerInteger = header.headerInteger;
    fresh.headerReal = header.headerReal;
    if (!scanGrid(grid.get(), header, fresh, cause) || !sizeRegularGrid(fresh, header.additionalCount, cause))
        return fail(cause);

    const Fd data = openFile(dataName, "Datendatei", dataSize, cause);
    if (!data)
        return fail(cause);
    if (!checkDataSize(dataSize, header, cause))
        return fail(cause);
    // The data file is read row by row while the resampling needs it; this
    // phase only establishes that it holds every record.
    status("Loading Flow Data...");
    progressRange(std::int64_t(header.height) * std::int64_t(header.third) - 1);
    for (int j = 0; j < header.height; ++j)
        progressPosition(j);

    NodeRows nodes(grid.get(), data.get(), header.width, header.height, header.additionalCount);
    fresh.additionalCount = header.additionalCount;
    resampleGrid(nodes, fresh);
    if (nodes.failed())
        return fail("Lesefehler: die Dateien haben sich während des Ladens geändert oder sind nicht lesbar.");
    finishLoad(fresh);
    return true;
}

bool FlowData::readGridHeader(int fd, long long size, GridHeader& header, std::string& cause)
{
    char bytes[GridHeader::kSize] = {};
    if (size < static_cast<long long>(GridHeader::kSize) || !readAt(fd, bytes, GridHeader::kSize, 0)) {
        cause = "Die Gitterdatei ist kürzer als ihr Dateikopf von 40 Bytes.";
        return false;
    }
    header = GridHeader::parse(bytes, GridHeader::kSize);
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
    // by division, so nothing can overflow. The file sizes bound every read.
    const std::uint64_t nodeCount = std::uint64_t(header.width) * std::uint64_t(header.height);
    const std::uint64_t nodesInFile = (static_cast<std::uint64_t>(size) - GridHeader::kSize) / 12;
    if (nodeCount > nodesInFile) {
        cause = "Die Gitterdatei ist zu kurz: " + number(header.width) + " x " + number(header.height)
            + " Knoten brauchen 40 + 12 Bytes je Knoten, die Datei hat " + number(size) + " Bytes.";
        return false;
    }
    return true;
}

bool FlowData::scanGrid(int fd, const GridHeader& header, State& state, std::string& cause)
{
    status("Loading Grid Data...");
    progressRange(std::int64_t(header.height) - 1);
    const std::size_t rowFloats = 3 * std::size_t(header.width);
    const int block = rowsPerBlock(rowFloats * 4);
    std::vector<float> buffer(rowFloats * std::size_t(std::min(block, header.height)));
    Bounds bounds;
    for (int j = 0; j < header.height; j += block) {
        const int rows = std::min(block, header.height - j);
        const std::size_t count = rowFloats * std::size_t(rows);
        if (!readAt(fd, buffer.data(), 4 * count, GridHeader::kSize + 4 * rowFloats * std::uint64_t(j))) {
            cause = "Lesefehler in der Gitterdatei.";
            return false;
        }
        littleEndianToNative(buffer.data(), count);
        bounds.add(buffer.data(), count / 3);
        for (int r = j; r < j + rows; ++r)
            progressPosition(r);
    }
    return finishBounds(bounds, state.minimum, state.maximum, state.extent, cause);
}

bool FlowData::checkDataSize(long long size, const GridHeader& header, std::string& cause)
{
    const std::uint64_t recordFloats = 3u + std::uint64_t(header.additionalCount);
    const std::uint64_t nodeCount = std::uint64_t(header.width) * std::uint64_t(header.height);
    // recordFloats < 2^31 + 3 and nodeCount < 2^62: compare by division.
    const std::uint64_t available = static_cast<std::uint64_t>(size) / 4;
    if (recordFloats > available || nodeCount > available / recordFloats) {
        cause = "Die Datendatei ist zu kurz: " + number(header.width) + " x " + number(header.height)
            + " Knoten mit je " + std::to_string(recordFloats) + " Werten brauchen mehr als die " + number(size)
            + " Bytes der Datei.";
        return false;
    }
    return true;
}

bool FlowData::sizeRegularGrid(State& state, int additionalCount, std::string& cause)
{
    const double inv = 1.0 / static_cast<double>(kCellSize);
    const double nx = std::trunc(static_cast<double>(state.extent.x) * inv) + 1.0;
    const double ny = std::trunc(static_cast<double>(state.extent.y) * inv) + 1.0;
    const double bytesPerSample = double(sizeof(RegularSample)) + 4.0 * double(additionalCount);
    if (nx > double(std::numeric_limits<int>::max()) || ny > double(std::numeric_limits<int>::max())
        || nx * ny * bytesPerSample > double(regularGridCap_)) {
        cause = "Das reguläre Gitter wäre mit " + std::to_string(static_cast<long long>(std::min(nx, 1e18))) + " x "
            + std::to_string(static_cast<long long>(std::min(ny, 1e18))) + " Punkten zu groß (höchstens "
            + std::to_string(regularGridCap_ >> 20)
            + " MiB); die Ausdehnung des Gitters ist für die Zellgröße 0.02 zu groß.";
        return false;
    }
    state.width = static_cast<int>(nx);
    state.height = static_cast<int>(ny);
    return true;
}

bool FlowData::loadNodes(NodeGrid nodes, int headerInteger, float headerReal)
{
    try {
        if (nodes.width < 2 || nodes.height < 2 || nodes.additionalCount < 0 || !nodes.positions || !nodes.records)
            return fail("Ungültiges Knotengitter.");
        State fresh;
        std::string cause;
        Bounds bounds;
        bounds.add(nodes.positions.get(), nodes.nodeCount());
        if (!finishBounds(bounds, fresh.minimum, fresh.maximum, fresh.extent, cause) || !sizeRegularGrid(fresh, nodes.additionalCount, cause))
            return fail(cause);
        fresh.headerInteger = headerInteger;
        fresh.headerReal = headerReal;
        fresh.additionalCount = nodes.additionalCount;
        resampleGrid(nodes, fresh);
        nodes = NodeGrid{};
        finishLoad(fresh);
        return true;
    } catch (const std::bad_alloc&) {
        log(std::string(kExceptionTag) + "Nicht genug Speicher für das reguläre Gitter.");
        return false;
    }
}

void FlowData::finishLoad(State& fresh)
{
    fillSpeedPlane(fresh);
    findValueBorders(fresh);
    state_ = std::move(fresh);
}

namespace {

int widthOf(const NodeGrid& nodes) { return nodes.width; }
int heightOf(const NodeGrid& nodes) { return nodes.height; }
int additionalCountOf(const NodeGrid& nodes) { return nodes.additionalCount; }
int widthOf(const NodeRows& nodes) { return nodes.width(); }
int heightOf(const NodeRows& nodes) { return nodes.height(); }
int additionalCountOf(const NodeRows& nodes) { return nodes.additionalCount(); }

} // namespace

template <class Nodes>
void FlowData::resampleGrid(const Nodes& nodes, State& state)
{
    const int nx = state.width;
    const int ny = state.height;
    const int n = additionalCountOf(nodes);
    const int w = widthOf(nodes);
    const int h = heightOf(nodes);
    const std::size_t plane = std::size_t(nx) * std::size_t(ny);
    state.samples.assign(plane, RegularSample{});
    state.values.assign(plane * std::size_t(n), 0.0f);

    status("Preprocessing Flow Data...");
    progressRange(std::int64_t(ny) - 1);

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
        RegularSample* row = &state.samples[std::size_t(r) * std::size_t(nx)];
        // Inside rule of the node grid: 0 <= trunc(fy) < H - 1, and the same
        // for fx per sample, so an index in (-1, 0) extrapolates from cell 0;
        // a non-finite index or one beyond 32 bits is outside.
        const bool rowInside = fy > -1.0f && fy < 2147483648.0f && static_cast<int>(fy) < h - 1;
        const int cj = rowInside ? static_cast<int>(fy) : 0;
        const float b = fy - static_cast<float>(cj);
        const float* lowerRow = rowInside ? nodes.recordsRow(cj) : nullptr;
        const float* upperRow = rowInside ? nodes.recordsRow(cj + 1) : nullptr;
        for (int c = 0; c < nx; ++c) {
            const float fx = static_cast<float>(i) + (xs - xCur) / dx;
            if (rowInside && fx > -1.0f && fx < 2147483648.0f && static_cast<int>(fx) < w - 1) {
                const int ci = static_cast<int>(fx);
                const float a = fx - static_cast<float>(ci);
                const float* v00 = lowerRow + rec * std::size_t(ci);
                const float* v10 = v00 + rec;
                const float* v01 = upperRow + rec * std::size_t(ci);
                const float* v11 = v01 + rec;
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
                    const std::size_t q = 3 + std::size_t(k);
                    state.values[std::size_t(k) * plane + at]
                        = ((1.0f - a) * v00[q] + a * v10[q]) * (1.0f - b) + ((1.0f - a) * v01[q] + a * v11[q]) * b;
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
        progressPosition(r);
    }
}

template void FlowData::resampleGrid<NodeGrid>(const NodeGrid&, State&);
template void FlowData::resampleGrid<NodeRows>(const NodeRows&, State&);

void FlowData::fillSpeedPlane(State& state)
{
    state.speeds.resize(state.samples.size());
    for (std::size_t n = 0; n < state.samples.size(); ++n)
        state.speeds[n] = state.samples[n].speed;
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
    fillSpeedPlane(fresh);
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

bool FlowData::directionAt(const Vector3& point, Vector3& direction) const
{
    int i, j;
    if (!insideCell(point, i, j))
        return false;
    const float a = point.x - static_cast<float>(i);
    const float b = point.y - static_cast<float>(j);
    // The four lanes (vx, vy, vz, speed) blend with the same single-precision
    // operations as one component at a time would; the speed lane is unused.
    using F4 = float __attribute__((vector_size(16)));
    const std::size_t w = std::size_t(state_.width);
    const RegularSample* s = &state_.samples[std::size_t(j) * w + std::size_t(i)];
    F4 s00, s10, s01, s11;
    std::memcpy(&s00, s, 16);
    std::memcpy(&s10, s + 1, 16);
    std::memcpy(&s01, s + w, 16);
    std::memcpy(&s11, s + w + 1, 16);
    const float ia = 1.0f - a, ib = 1.0f - b;
    const F4 lower = ia * s00 + a * s10;
    const F4 upper = ia * s01 + a * s11;
    const F4 blended = ib * lower + b * upper;
    direction = Vector3{blended[0], blended[1], blended[2]}.normalized();
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
