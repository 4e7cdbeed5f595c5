#include "flow/GridFileReader.h"

#include "flow/HugePages.h"
#include "flow/LittleEndian.h"
#include "flow/LoadProgress.h"
#include "flow/NodeBounds.h"
#include "flow/WorkerThread.h"

#include <algorithm>
#include <cstdint>
#include <memory>

namespace tvl {

namespace {

std::string number(long long v)
{
    return std::to_string(v);
}

// Rows read per block: about 2 MB, at least one row.
int rowsPerBlock(std::size_t bytesPerRow)
{
    const std::size_t rows = (std::size_t {2} << 20) / (bytesPerRow ? bytesPerRow : 1);
    return rows < 1 ? 1 : (rows > 1u << 30 ? 1 << 30 : static_cast<int>(rows));
}

} // namespace

bool GridFileReader::readGrid(const std::string& name, std::string& cause)
{
    return grid_.open(name, "Gitterdatei", cause) && checkHeader(cause) && scanBounds(cause);
}

bool GridFileReader::checkHeader(std::string& cause)
{
    char bytes[GridHeader::kSize] = {};
    if (grid_.size() < GridHeader::kSize || !grid_.readAt(bytes, GridHeader::kSize, 0)) {
        cause = "Die Gitterdatei ist kürzer als ihr Dateikopf von 40 Bytes.";
        return false;
    }
    header_ = GridHeader::parse(bytes, GridHeader::kSize);
    if (header_.fieldsMatched < 6) {
        cause = "Der Dateikopf der Gitterdatei ist ungültig: erwartet \"SN4DB W H 1 N 0 0.0\", gelesen wurden "
            + number(header_.fieldsMatched) + " von 6 Feldern.";
        return false;
    }
    if (header_.width < 2 || header_.height < 2) {
        cause = "Ungültige Gittergröße " + number(header_.width) + " x " + number(header_.height)
            + " (mindestens 2 x 2 Knoten).";
        return false;
    }
    if (header_.additionalCount < 0) {
        cause = "Ungültige Anzahl zusätzlicher Werte: " + number(header_.additionalCount) + ".";
        return false;
    }
    // W, H < 2^31, so W * H fits 62 bits; compare it with what the file holds
    // by division, so nothing can overflow. The file sizes bound every read.
    const std::uint64_t nodeCount = std::uint64_t(header_.width) * std::uint64_t(header_.height);
    const std::uint64_t nodesInFile = (grid_.size() - GridHeader::kSize) / 12;
    if (nodeCount > nodesInFile) {
        cause = "Die Gitterdatei ist zu kurz: " + number(header_.width) + " x " + number(header_.height)
            + " Knoten brauchen 40 + 12 Bytes je Knoten, die Datei hat " + number(static_cast<long long>(grid_.size()))
            + " Bytes.";
        return false;
    }
    return true;
}

bool GridFileReader::scanBounds(std::string& cause)
{
    progress_.status("Loading Grid Data...");
    progress_.range(std::int64_t(header_.height) - 1);
    const std::int64_t height = header_.height;
    const std::size_t rowNodes = std::size_t(header_.width);
    const std::size_t rowFloats = 3 * rowNodes;
    const std::size_t nodes = rowNodes * std::size_t(height);
    xPlane_ = std::make_unique_for_overwrite<float[]>(nodes);
    yPlane_ = std::make_unique_for_overwrite<float[]>(nodes);
    adviseHugePages(xPlane_.get(), nodes * sizeof(float));
    adviseHugePages(yPlane_.get(), nodes * sizeof(float));
    // Each block of rows is read into a buffer of one block, and its x and y
    // go on into the planes that the resampling walks later: two thirds of
    // the memory of the positions, and a walk along x reads x alone. Two
    // threads read a half each, in the blocks one pass would take, and the
    // bounds of the second half are merged into those of the first, which
    // gives the bounds of one pass bit for bit.
    const std::int64_t block = rowsPerBlock(rowFloats * 4);
    const std::int64_t blocks = (height + block - 1) / block;
    const std::int64_t split = std::min(height, block * ((blocks + 1) / 2));
    const auto scan = [&](std::int64_t first, std::int64_t last, NodeBounds& bounds, bool report) {
        // Filled from the file before any use, so not zeroed first.
        const auto rowsRead
            = std::make_unique_for_overwrite<float[]>(rowFloats * std::size_t(std::min(block, last - first)));
        for (std::int64_t j = first; j < last; j += block) {
            const std::int64_t rows = std::min(block, last - j);
            const std::size_t count = rowFloats * std::size_t(rows);
            if (!grid_.readAt(rowsRead.get(), 4 * count, GridHeader::kSize + 4 * rowFloats * std::uint64_t(j)))
                return false;
            littleEndianToNative(rowsRead.get(), count);
            bounds.add(rowsRead.get(), count / 3);
            float* const x = xPlane_.get() + rowNodes * std::size_t(j);
            float* const y = yPlane_.get() + rowNodes * std::size_t(j);
            for (std::size_t n = 0; n < count / 3; ++n) {
                x[n] = rowsRead[3 * n];
                y[n] = rowsRead[3 * n + 1];
            }
            for (std::int64_t r = j; report && r < j + rows; ++r)
                progress_.position(int(r));
        }
        return true;
    };
    NodeBounds bounds, upperBounds;
    bool upperRead = false;
    WorkerThread worker;
    worker.start([&] { upperRead = scan(split, height, upperBounds, false); });
    bool lowerRead = false;
    try {
        lowerRead = scan(0, split, bounds, true);
    } catch (...) {
        worker.wait();
        throw;
    }
    worker.wait();
    for (std::int64_t r = split; r < height; ++r)
        progress_.position(int(r));
    if (!lowerRead || !upperRead) {
        cause = "Lesefehler in der Gitterdatei.";
        return false;
    }
    bounds.merge(upperBounds);
    return bounds.finish(minimum_, maximum_, extent_, cause);
}

bool GridFileReader::openData(const std::string& name, std::string& cause)
{
    if (!data_.open(name, "Datendatei", cause))
        return false;
    const std::uint64_t recordFloats = 3u + std::uint64_t(header_.additionalCount);
    const std::uint64_t nodeCount = std::uint64_t(header_.width) * std::uint64_t(header_.height);
    // recordFloats < 2^31 + 3 and nodeCount < 2^62: compare by division.
    const std::uint64_t available = data_.size() / 4;
    if (recordFloats > available || nodeCount > available / recordFloats) {
        cause = "Die Datendatei ist zu kurz: " + number(header_.width) + " x " + number(header_.height)
            + " Knoten mit je " + std::to_string(recordFloats) + " Werten brauchen mehr als die "
            + number(static_cast<long long>(data_.size())) + " Bytes der Datei.";
        return false;
    }
    dataBytesNeeded_ = 4 * recordFloats * nodeCount;
    // The records are read row by row while the resampling needs them; this
    // phase only establishes that the file holds every one.
    progress_.status("Loading Flow Data...");
    progress_.range(std::int64_t(header_.height) * std::int64_t(header_.third) - 1);
    for (int j = 0; j < header_.height; ++j)
        progress_.position(j);
    return true;
}

} // namespace tvl
