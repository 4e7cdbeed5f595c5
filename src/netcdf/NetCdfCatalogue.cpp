#include "netcdf/NetCdfCatalogue.h"

#include "netcdf/NetCdfFile.h"

#include <netcdf.h>

#include <sstream>

namespace tvl {
namespace {

// Replaces the first whole word "from" of a standard name (words are
// separated by '_') with "to"; false when the name has no such word.
bool replaceWord(const std::string& name, const std::string& from, const std::string& to, std::string& result)
{
    for (std::size_t at = name.find(from); at != std::string::npos; at = name.find(from, at + 1)) {
        const bool starts = at == 0 || name[at - 1] == '_';
        const std::size_t end = at + from.size();
        const bool ends = end == name.size() || name[end] == '_';
        if (starts && ends) {
            result = name.substr(0, at) + to + name.substr(end);
            return true;
        }
    }
    return false;
}

bool sameGrid(const NetCdfVariable& a, const NetCdfVariable& b)
{
    const std::size_t n = a.rank();
    const std::size_t m = b.rank();
    return n >= 2 && m >= 2 && a.dimensions[n - 2] == b.dimensions[m - 2] && a.dimensions[n - 1] == b.dimensions[m - 1];
}

} // namespace

bool NetCdfCatalogue::read(int file, std::string& cause)
{
    int count = 0;
    int status = nc_inq_varids(file, &count, nullptr);
    if (status != NC_NOERR || count < 0) {
        cause = "Die Variablen der NetCDF-Datei können nicht gelesen werden" + NetCdfFile::errorText(status);
        return false;
    }
    std::vector<int> ids(static_cast<std::size_t>(count));
    if (count > 0 && (status = nc_inq_varids(file, &count, ids.data())) != NC_NOERR) {
        cause = "Die Variablen der NetCDF-Datei können nicht gelesen werden" + NetCdfFile::errorText(status);
        return false;
    }
    variables_.clear();
    for (int id : ids) {
        NetCdfVariable variable;
        if (NetCdfVariable::describe(file, id, variable))
            variables_.push_back(std::move(variable));
    }
    return true;
}

const NetCdfVariable* NetCdfCatalogue::find(const std::string& name) const
{
    for (const NetCdfVariable& variable : variables_)
        if (variable.name == name)
            return &variable;
    return nullptr;
}

bool NetCdfCatalogue::isField(const NetCdfVariable& variable)
{
    return variable.isNumeric() && variable.rank() >= 2;
}

std::vector<NetCdfCatalogue::VelocityPair> NetCdfCatalogue::velocityPairs() const
{
    std::vector<VelocityPair> pairs;
    auto add = [&](const NetCdfVariable* u, const NetCdfVariable* v, const std::string& reason) {
        for (const VelocityPair& pair : pairs)
            if (pair.u == u && pair.v == v)
                return;
        pairs.push_back({u, v, reason});
    };
    const std::pair<const char*, const char*> words[] = {{"eastward", "northward"}, {"x", "y"}};
    for (const auto& [east, north] : words)
        for (const NetCdfVariable& u : variables_) {
            std::string partner;
            if (!isField(u) || !replaceWord(u.standardName, east, north, partner))
                continue;
            for (const NetCdfVariable& v : variables_)
                if (&v != &u && isField(v) && v.standardName == partner)
                    add(&u, &v, "standard_name " + u.standardName + " / " + v.standardName);
        }
    const std::pair<const char*, const char*> names[]
        = {{"u", "v"}, {"u10", "v10"}, {"uo", "vo"}, {"U", "V"}, {"uwnd", "vwnd"}, {"water_u", "water_v"}};
    for (const auto& [uName, vName] : names) {
        const NetCdfVariable* u = find(uName);
        const NetCdfVariable* v = find(vName);
        if (u && v && isField(*u) && isField(*v))
            add(u, v, std::string("Namen ") + uName + " / " + vName);
    }
    return pairs;
}

std::vector<const NetCdfVariable*> NetCdfCatalogue::onGridOf(const NetCdfVariable& field) const
{
    std::vector<std::string> coordinates;
    std::istringstream listed(field.coordinates);
    for (std::string name; listed >> name;)
        coordinates.push_back(name);
    std::vector<const NetCdfVariable*> result;
    for (const NetCdfVariable& variable : variables_) {
        if (&variable == &field || !isField(variable) || !sameGrid(variable, field))
            continue;
        bool coordinate = false;
        for (const std::string& name : coordinates)
            coordinate = coordinate || name == variable.name;
        for (const std::string& dimension : field.dimensions)
            coordinate = coordinate || dimension == variable.name;
        if (!coordinate)
            result.push_back(&variable);
    }
    return result;
}

} // namespace tvl
