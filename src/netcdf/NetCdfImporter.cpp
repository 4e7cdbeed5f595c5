#include "netcdf/NetCdfImporter.h"

#include "netcdf/NetCdfCatalogue.h"
#include "netcdf/NetCdfFile.h"
#include "netcdf/NetCdfGrid.h"
#include "netcdf/NetCdfVariable.h"

#include "flow/FlowData.h"
#include "flow/HugePages.h"
#include "flow/LogSink.h"
#include "flow/NodeGrid.h"
#include "flow/RegularSample.h"
#include "flow/StatusSink.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <new>

namespace tvl {
namespace {

const std::string kImportTag = "[Tavrel|NetCdfImporter|importFile]: ";
const std::string kScanTag = "[Tavrel|NetCdfImporter|scanFile]: ";

// Values read per library call and field: whole file rows, a block of all
// fields small enough to stay in the cache while it is interleaved.
constexpr std::size_t kBlockValues = std::size_t {1} << 18;

std::string quoted(const std::string& name)
{
    return "\"" + name + "\"";
}

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

} // namespace

// The variables and indices an import reads.
struct NetCdfImporter::Selection {
    const NetCdfVariable* u = nullptr;
    const NetCdfVariable* v = nullptr;
    std::string reason;
    std::vector<const NetCdfVariable*> values;
    // Every dimension beyond the grid's two that the variables above have,
    // with its size and the index read.
    struct Index {
        std::string name;
        std::size_t size = 0;
        std::size_t index = 0;
    };
    std::vector<Index> indices;

    std::size_t indexOf(const std::string& dimension) const
    {
        for (const Index& entry : indices)
            if (entry.name == dimension)
                return entry.index;
        return 0;
    }
};

void NetCdfImporter::log(const std::string& message)
{
    if (log_)
        log_->write(message);
}

bool NetCdfImporter::fail(const std::string& tag, const std::string& cause)
{
    log(tag + cause);
    return false;
}

void NetCdfImporter::status(const std::string& text)
{
    if (status_) {
        status_->setStatusText(text);
        status_->setProgressRange(100);
    }
}

void NetCdfImporter::progress(int percent)
{
    if (status_)
        status_->setProgressPosition(percent);
}

void NetCdfImporter::finish()
{
    if (status_) {
        status_->setStatusText("Progress");
        status_->setProgressPosition(0);
    }
}

bool NetCdfImporter::guarded(const std::string& tag, const std::function<bool()>& work)
{
    const std::string exceptionTag = std::string(tag).insert(tag.size() - 3, "|Exception aufgetreten");
    try {
        return work();
    } catch (const std::bad_alloc&) {
        log(exceptionTag + "Nicht genug Speicher für den Datensatz.");
    } catch (const std::exception& e) {
        log(exceptionTag + e.what());
    }
    return false;
}

bool NetCdfImporter::scanFile(const std::string& path, NetCdfScan& result, std::uint64_t cap)
{
    return guarded(kScanTag, [&] {
        NetCdfFile file;
        std::string cause;
        return file.open(path, cause) ? scan(file, result, cap) : fail(kScanTag, cause);
    });
}

bool NetCdfImporter::scanMemory(const void* bytes, std::size_t size, NetCdfScan& result, std::uint64_t cap)
{
    return guarded(kScanTag, [&] {
        NetCdfFile file;
        std::string cause;
        return file.openMemory(bytes, size, cause) ? scan(file, result, cap) : fail(kScanTag, cause);
    });
}

bool NetCdfImporter::readNodes(const std::string& path, const NetCdfImportOptions& options, NodeGrid& nodes)
{
    const bool ok = guarded(kImportTag, [&] {
        NetCdfFile file;
        std::string cause;
        return file.open(path, cause) ? buildNodes(file, options, nodes) : fail(kImportTag, cause);
    });
    finish();
    return ok;
}

bool NetCdfImporter::importFile(const std::string& path, const NetCdfImportOptions& options, FlowData& flow)
{
    const bool ok = guarded(kImportTag, [&] {
        NetCdfFile file;
        std::string cause;
        NodeGrid nodes;
        if (!file.open(path, cause))
            return fail(kImportTag, cause);
        return buildNodes(file, options, nodes) && flow.loadNodes(std::move(nodes));
    });
    finish();
    return ok;
}

bool NetCdfImporter::importMemory(
    const void* bytes, std::size_t size, const NetCdfImportOptions& options, FlowData& flow)
{
    const bool ok = guarded(kImportTag, [&] {
        NetCdfFile file;
        std::string cause;
        NodeGrid nodes;
        if (!file.openMemory(bytes, size, cause))
            return fail(kImportTag, cause);
        return buildNodes(file, options, nodes) && flow.loadNodes(std::move(nodes));
    });
    finish();
    return ok;
}

bool NetCdfImporter::scan(const NetCdfFile& file, NetCdfScan& result, std::uint64_t cap)
{
    NetCdfCatalogue catalogue;
    std::string cause;
    if (!catalogue.read(file.id(), cause))
        return fail(kScanTag, cause);
    NetCdfScan found;
    for (const NetCdfVariable& variable : catalogue.variables())
        if (NetCdfCatalogue::isField(variable))
            found.variables.push_back({variable.name, variable.dimensions, variable.description()});
    if (found.variables.empty())
        return fail(
            kScanTag, "Die Datei enthält keine Zahlenvariable mit mindestens zwei Dimensionen, also kein Feld.");
    const std::vector<NetCdfCatalogue::VelocityPair> pairs = catalogue.velocityPairs();
    for (const NetCdfCatalogue::VelocityPair& pair : pairs)
        found.velocityPairs.emplace_back(pair.u->name, pair.v->name);
    if (!pairs.empty()) {
        const NetCdfVariable& u = *pairs.front().u;
        std::vector<const NetCdfVariable*> fields {&u};
        for (const NetCdfVariable* other : catalogue.onGridOf(u))
            if (other != pairs.front().v) {
                found.gridValues.push_back(other->name);
                fields.push_back(other);
            }
        for (const NetCdfVariable* field : fields)
            for (std::size_t d = 0; d + 2 < field->rank(); ++d) {
                const bool known = std::any_of(found.dimensions.begin(), found.dimensions.end(),
                    [&](const NetCdfScan::Dimension& x) { return x.name == field->dimensions[d]; });
                if (!known)
                    found.dimensions.push_back({field->dimensions[d], field->shape[d]});
            }
        NetCdfGrid grid;
        if (grid.locate(catalogue, u, static_cast<std::size_t>(cap / 24), cause))
            found.automaticScale = grid.automaticScale();
    }
    result = std::move(found);
    return true;
}

bool NetCdfImporter::select(const NetCdfCatalogue& catalogue, const NetCdfImportOptions& options, Selection& selection,
    std::string& cause) const
{
    Selection s;
    if (options.u.empty() != options.v.empty()) {
        cause = "Bitte beide Geschwindigkeitskomponenten angeben (x und y), nicht nur eine.";
        return false;
    }
    if (!options.u.empty()) {
        s.u = catalogue.find(options.u);
        s.v = catalogue.find(options.v);
        s.reason = "angegeben";
        for (const auto& [name, found] : {std::pair {options.u, s.u}, std::pair {options.v, s.v}})
            if (!found) {
                cause = "Die Variable " + quoted(name) + " gibt es nicht in der Datei.";
                return false;
            }
    } else {
        const std::vector<NetCdfCatalogue::VelocityPair> pairs = catalogue.velocityPairs();
        if (pairs.empty()) {
            cause = "Keine Geschwindigkeit gefunden: kein Variablenpaar mit standard_name eastward_*/northward_* oder "
                    "x_*/y_* und keines der Namen u/v, u10/v10, uo/vo, U/V, uwnd/vwnd, water_u/water_v; bitte die "
                    "beiden Komponenten angeben.";
            return false;
        }
        s.u = pairs.front().u;
        s.v = pairs.front().v;
        s.reason = pairs.front().reason;
    }
    for (const std::string& name : options.values) {
        const NetCdfVariable* value = catalogue.find(name);
        if (!value) {
            cause = "Die Variable " + quoted(name) + " gibt es nicht in der Datei.";
            return false;
        }
        s.values.push_back(value);
    }

    std::vector<const NetCdfVariable*> fields {s.u, s.v};
    fields.insert(fields.end(), s.values.begin(), s.values.end());
    for (const NetCdfVariable* field : fields) {
        if (!field->isNumeric()) {
            cause = "Die Variable " + quoted(field->name) + " enthält keine Zahlen.";
            return false;
        }
        if (field->rank() < 2) {
            cause = "Die Variable " + field->signature() + " hat weniger als zwei Dimensionen und ist kein Feld.";
            return false;
        }
    }
    if (s.u->dimensions != s.v->dimensions) {
        cause = "Die Geschwindigkeitskomponenten passen nicht zusammen: " + s.u->signature() + " und "
            + s.v->signature() + " haben verschiedene Dimensionen.";
        return false;
    }
    const std::size_t rank = s.u->rank();
    for (const NetCdfVariable* value : s.values) {
        const std::size_t n = value->rank();
        if (value->dimensions[n - 2] != s.u->dimensions[rank - 2]
            || value->dimensions[n - 1] != s.u->dimensions[rank - 1]) {
            cause = "Die Variable " + value->signature() + " liegt nicht auf dem Gitter von " + s.u->signature()
                + ": ihre letzten beiden Dimensionen sind andere.";
            return false;
        }
    }

    for (const NetCdfVariable* field : fields)
        for (std::size_t d = 0; d + 2 < field->rank(); ++d) {
            const std::string& name = field->dimensions[d];
            const bool known = std::any_of(
                s.indices.begin(), s.indices.end(), [&](const Selection::Index& x) { return x.name == name; });
            if (!known)
                s.indices.push_back({name, field->shape[d], 0});
        }
    for (const auto& requested : options.indices) {
        const std::string& name = requested.first;
        const long long index = requested.second;
        auto entry = std::find_if(
            s.indices.begin(), s.indices.end(), [&](const Selection::Index& x) { return x.name == name; });
        if (entry == s.indices.end()) {
            const bool grid = name == s.u->dimensions[rank - 2] || name == s.u->dimensions[rank - 1];
            cause = "Die Dimension " + quoted(name) + " kommt in den gewählten Variablen nicht vor"
                + (grid ? " außer als Gitterdimension, die keinen Index hat." : ".");
            return false;
        }
        if (index < 0 || static_cast<unsigned long long>(index) >= entry->size) {
            cause = "Der Index " + std::to_string(index) + " liegt außerhalb der Dimension " + quoted(name) + " (0 bis "
                + std::to_string(static_cast<long long>(entry->size) - 1) + ").";
            return false;
        }
        entry->index = static_cast<std::size_t>(index);
    }
    for (const Selection::Index& entry : s.indices)
        if (entry.size == 0) {
            cause = "Die Dimension " + quoted(entry.name) + " ist leer; es gibt keinen Index, der gelesen werden kann.";
            return false;
        }
    selection = std::move(s);
    return true;
}

std::string NetCdfImporter::dimensionNote(
    const NetCdfCatalogue& catalogue, const std::string& name, std::size_t index, std::size_t size) const
{
    std::string note
        = "Dimension " + quoted(name) + ": Index " + std::to_string(index) + " von 0 bis " + std::to_string(size - 1);
    const NetCdfVariable* coordinate = catalogue.find(name);
    std::vector<double> value;
    std::string ignored;
    if (coordinate && coordinate->isNumeric() && coordinate->rank() == 1 && coordinate->dimensions[0] == name
        && coordinate->read({index}, {1}, value, ignored))
        note += " (" + name + " = " + number(value.front()) + (coordinate->units.empty() ? "" : " " + coordinate->units)
            + ")";
    return note + ".";
}

bool NetCdfImporter::buildNodes(const NetCdfFile& file, const NetCdfImportOptions& options, NodeGrid& nodes)
{
    std::string cause;
    NetCdfCatalogue catalogue;
    Selection selection;
    if (!catalogue.read(file.id(), cause) || !select(catalogue, options, selection, cause))
        return fail(kImportTag, cause);
    const std::size_t additionalCount = selection.values.size();
    if (additionalCount > 1000)
        return fail(kImportTag, "Zu viele zusätzliche Werte: höchstens 1000.");

    // The node arrays hold 6 + N floats per node; they, too, stay under the cap.
    status("Loading Grid Data...");
    progress(0);
    const std::size_t maxNodes = static_cast<std::size_t>(options.regularGridCap / (4 * (6 + additionalCount)));
    NetCdfGrid grid;
    if (!grid.locate(catalogue, *selection.u, maxNodes, cause))
        return fail(kImportTag, cause);
    const bool automatic = !options.scale.has_value();
    const double scale = automatic ? grid.automaticScale() : *options.scale;
    if (!(std::isfinite(scale) && scale > 0.0))
        return fail(kImportTag, "Ungültiger Maßstab " + number(scale) + ": er muss eine positive Zahl sein.");

    // The regular grid the load will build, sized as FlowData sizes it.
    float xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    grid.flowBounds(scale, xMin, xMax, yMin, yMax);
    const double inverse = 1.0 / static_cast<double>(FlowData::kCellSize);
    const double nx = std::trunc(static_cast<double>(xMax - xMin) * inverse) + 1.0;
    const double ny = std::trunc(static_cast<double>(yMax - yMin) * inverse) + 1.0;
    const double bytesPerSample = double(sizeof(RegularSample)) + 4.0 * double(additionalCount);
    if (!(nx <= double(INT_MAX) && ny <= double(INT_MAX)) || nx * ny * bytesPerSample > double(options.regularGridCap))
        return fail(kImportTag,
            "Das reguläre Gitter wäre beim Maßstab " + number(scale) + " mit " + number(std::min(nx, 1e18)) + " x "
                + number(std::min(ny, 1e18)) + " Punkten zu groß (höchstens "
                + std::to_string(options.regularGridCap >> 20) + " MiB); ein kleinerer Maßstab hilft.");

    NodeGrid fresh;
    fresh.allocate(grid.width(), grid.height(), static_cast<int>(additionalCount));
    // Filled once, front to back, right after the allocation: on 4 KiB pages
    // the page faults of that fill cost as much as the reading.
    adviseHugePages(fresh.positions.get(), 3 * sizeof(float) * fresh.nodeCount());
    adviseHugePages(fresh.records.get(), sizeof(float) * fresh.recordSize() * fresh.nodeCount());
    grid.writePositions(scale, fresh.positions.get());

    status("Loading Flow Data...");
    std::vector<const NetCdfVariable*> fields {selection.u, selection.v};
    fields.insert(fields.end(), selection.values.begin(), selection.values.end());
    // Row blocks outermost: every field of a block is read before the
    // block's records are written in one pass.
    const std::size_t record = fresh.recordSize();
    float* records = fresh.records.get();
    const std::size_t rows = grid.fileRows();
    const std::size_t columns = grid.fileColumns();
    const std::size_t block = std::max<std::size_t>(1, kBlockValues / columns);
    std::vector<std::vector<float>> blocks(fields.size());
    std::vector<double> scratch;
    std::vector<std::vector<std::size_t>> starts, counts;
    for (const NetCdfVariable* field : fields) {
        const std::size_t rank = field->rank();
        starts.emplace_back(rank, 0);
        counts.emplace_back(rank, 1);
        for (std::size_t d = 0; d + 2 < rank; ++d)
            starts.back()[d] = selection.indexOf(field->dimensions[d]);
        counts.back()[rank - 1] = columns;
    }
    for (std::size_t r0 = 0; r0 < rows; r0 += block) {
        const std::size_t blockRows = std::min(block, rows - r0);
        for (std::size_t f = 0; f < fields.size(); ++f) {
            const std::size_t rank = fields[f]->rank();
            starts[f][rank - 2] = r0;
            counts[f][rank - 2] = blockRows;
            if (!fields[f]->readFloats(starts[f], counts[f], blocks[f], scratch, cause))
                return fail(kImportTag, cause);
        }
        for (std::size_t r = 0; r < blockRows; ++r) {
            const std::ptrdiff_t rowBase = grid.base() + static_cast<std::ptrdiff_t>(r0 + r) * grid.rowStride();
            for (std::size_t c = 0; c < columns; ++c) {
                const std::ptrdiff_t node = rowBase + static_cast<std::ptrdiff_t>(c) * grid.columnStride();
                float* out = &records[static_cast<std::size_t>(node) * record];
                const std::size_t at = r * columns + c;
                out[0] = blocks[0][at];
                out[1] = blocks[1][at];
                out[2] = 0.0f;
                for (std::size_t k = 2; k < fields.size(); ++k)
                    out[k + 1] = blocks[k][at];
            }
        }
        progress(static_cast<int>((r0 + blockRows) * 100 / rows));
    }

    std::string variables = "Geschwindigkeit: x aus " + quoted(selection.u->name) + ", y aus "
        + quoted(selection.v->name) + " (" + selection.reason + ")";
    for (std::size_t k = 0; k < selection.values.size(); ++k)
        variables += (k ? ", " : "; zusätzliche Werte: ") + quoted(selection.values[k]->name) + " (" + std::to_string(k)
            + ")";
    log(kImportTag + variables + ".");
    for (const Selection::Index& entry : selection.indices)
        log(kImportTag + dimensionNote(catalogue, entry.name, entry.index, entry.size));
    log(kImportTag + grid.description());
    log(kImportTag + "Maßstab: Flusseinheiten = Koordinaten × " + number(scale)
        + (automatic ? " (automatisch gewählt)" : " (angegeben)") + "; reguläres Gitter " + number(nx) + " x "
        + number(ny) + " Punkte.");
    nodes = std::move(fresh);
    return true;
}

} // namespace tvl
