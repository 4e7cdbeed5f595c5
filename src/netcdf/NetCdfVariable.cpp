#include "netcdf/NetCdfVariable.h"
#include "flow/FloatLanes.h"

#include "netcdf/NetCdfFile.h"

#include <netcdf.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace tvl {
namespace {

// Attribute texts longer than this are not metadata anyone wrote by hand.
constexpr std::size_t kMaxAttributeText = 1 << 16;

bool textAttribute(int file, int var, const char* name, std::string& text)
{
    nc_type type = NC_NAT;
    std::size_t length = 0;
    if (nc_inq_att(file, var, name, &type, &length) != NC_NOERR || length > kMaxAttributeText)
        return false;
    if (type == NC_CHAR) {
        std::string value(length, '\0');
        if (length > 0 && nc_get_att_text(file, var, name, value.data()) != NC_NOERR)
            return false;
        while (!value.empty() && (value.back() == '\0' || value.back() == ' '))
            value.pop_back();
        text = value;
        return true;
    }
    if (type == NC_STRING && length == 1) {
        char* value = nullptr;
        if (nc_get_att_string(file, var, name, &value) != NC_NOERR)
            return false;
        text = value ? value : "";
        nc_free_string(1, &value);
        return true;
    }
    return false;
}

bool isNumericType(int type)
{
    switch (type) {
    case NC_BYTE:
    case NC_UBYTE:
    case NC_SHORT:
    case NC_USHORT:
    case NC_INT:
    case NC_UINT:
    case NC_INT64:
    case NC_UINT64:
    case NC_FLOAT:
    case NC_DOUBLE:
        return true;
    default:
        return false;
    }
}

bool numberAttribute(int file, int var, const char* name, std::vector<double>& numbers)
{
    nc_type type = NC_NAT;
    std::size_t length = 0;
    if (nc_inq_att(file, var, name, &type, &length) != NC_NOERR || !isNumericType(type) || length == 0
        || length > kMaxAttributeText)
        return false;
    std::vector<double> values(length);
    if (nc_get_att_double(file, var, name, values.data()) != NC_NOERR)
        return false;
    numbers = std::move(values);
    return true;
}

// The fill value the library writes where nothing was written; one-byte
// types have none that could not also be data.
bool defaultFill(int type, double& fill)
{
    switch (type) {
    case NC_SHORT:
        fill = NC_FILL_SHORT;
        return true;
    case NC_USHORT:
        fill = NC_FILL_USHORT;
        return true;
    case NC_INT:
        fill = NC_FILL_INT;
        return true;
    case NC_UINT:
        fill = NC_FILL_UINT;
        return true;
    case NC_INT64:
        fill = static_cast<double>(NC_FILL_INT64);
        return true;
    case NC_UINT64:
        fill = static_cast<double>(NC_FILL_UINT64);
        return true;
    case NC_FLOAT:
        fill = static_cast<double>(NC_FILL_FLOAT);
        return true;
    case NC_DOUBLE:
        fill = NC_FILL_DOUBLE;
        return true;
    default:
        return false;
    }
}

// 2^bits of a signed integer type that may carry the _Unsigned convention.
double unsignedSpan(int type)
{
    switch (type) {
    case NC_BYTE:
        return 256.0;
    case NC_SHORT:
        return 65536.0;
    case NC_INT:
        return 4294967296.0;
    case NC_INT64:
        return 18446744073709551616.0;
    default:
        return 0.0;
    }
}

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

bool NetCdfVariable::describe(int file, int id, NetCdfVariable& variable)
{
    char name[NC_MAX_NAME + 1] = {};
    nc_type type = NC_NAT;
    int rank = 0;
    if (nc_inq_var(file, id, name, &type, &rank, nullptr, nullptr) != NC_NOERR || rank < 0 || rank > NC_MAX_VAR_DIMS)
        return false;
    std::vector<int> dimensionIds(static_cast<std::size_t>(rank));
    if (rank > 0 && nc_inq_vardimid(file, id, dimensionIds.data()) != NC_NOERR)
        return false;
    NetCdfVariable v;
    v.file = file;
    v.id = id;
    v.name = name;
    v.type = type;
    for (int dimension : dimensionIds) {
        char dimensionName[NC_MAX_NAME + 1] = {};
        std::size_t length = 0;
        if (nc_inq_dim(file, dimension, dimensionName, &length) != NC_NOERR)
            return false;
        v.dimensions.emplace_back(dimensionName);
        v.shape.push_back(length);
    }
    textAttribute(file, id, "standard_name", v.standardName);
    textAttribute(file, id, "long_name", v.longName);
    textAttribute(file, id, "units", v.units);
    textAttribute(file, id, "axis", v.axis);
    textAttribute(file, id, "coordinates", v.coordinates);

    std::vector<double> numbers;
    if (numberAttribute(file, id, "scale_factor", numbers))
        v.scale = numbers.front();
    if (numberAttribute(file, id, "add_offset", numbers))
        v.offset = numbers.front();
    std::string unsignedText;
    v.isUnsigned = textAttribute(file, id, "_Unsigned", unsignedText) && lower(unsignedText) == "true"
        && unsignedSpan(type) > 0.0;
    double fill = 0.0;
    if (numberAttribute(file, id, "_FillValue", numbers))
        v.missing.push_back(numbers.front());
    else if (defaultFill(type, fill))
        v.missing.push_back(fill);
    if (numberAttribute(file, id, "missing_value", numbers))
        v.missing.insert(v.missing.end(), numbers.begin(), numbers.end());
    variable = std::move(v);
    return true;
}

bool NetCdfVariable::isNumeric() const
{
    return isNumericType(type);
}

std::string NetCdfVariable::signature() const
{
    std::string text = name + "(";
    for (std::size_t d = 0; d < dimensions.size(); ++d)
        text += (d ? ", " : "") + dimensions[d];
    return text + ")";
}

std::string NetCdfVariable::description() const
{
    std::string text = !standardName.empty() ? standardName : longName;
    if (!units.empty())
        text += (text.empty() ? "[" : " [") + units + "]";
    return text;
}

bool NetCdfVariable::read(const std::vector<std::size_t>& start, const std::vector<std::size_t>& count,
    std::vector<double>& values, std::string& cause) const
{
    std::size_t total = 1;
    for (std::size_t c : count)
        total *= c;
    values.resize(total);
    const int status = nc_get_vara_double(file, id, start.data(), count.data(), values.data());
    if (status != NC_NOERR) {
        cause = "Lesefehler in der Variablen \"" + name + "\"" + NetCdfFile::errorText(status);
        return false;
    }
    toPhysical(values.data(), total);
    return true;
}

bool NetCdfVariable::readFloats(const std::vector<std::size_t>& start, const std::vector<std::size_t>& count,
    std::vector<float>& values, std::vector<double>& scratch, std::string& cause) const
{
    if (type != NC_FLOAT || scale != 1.0 || offset != 0.0) {
        if (!read(start, count, scratch, cause))
            return false;
        values.resize(scratch.size());
        for (std::size_t k = 0; k < scratch.size(); ++k)
            values[k] = static_cast<float>(scratch[k]);
        return true;
    }
    std::size_t total = 1;
    for (std::size_t c : count)
        total *= c;
    values.resize(total);
    const int status = nc_get_vara_float(file, id, start.data(), count.data(), values.data());
    if (status != NC_NOERR) {
        cause = "Lesefehler in der Variablen \"" + name + "\"" + NetCdfFile::errorText(status);
        return false;
    }
    // Every float is exactly a double, so the comparison with the missing
    // values is the same as on the double path; a single missing value that
    // is itself a float can be compared as a float, which vectorises.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    if (missing.size() == 1 && static_cast<double>(static_cast<float>(missing.front())) == missing.front()) {
        // Four lanes at a time, as the compiler would not vectorise the
        // comparison on its own.
        using F4 = FloatLanes;
        using I4 = std::int32_t __attribute__((vector_size(16)));
        const float fill = static_cast<float>(missing.front());
        const F4 fills = {fill, fill, fill, fill};
        const F4 nans = {nan, nan, nan, nan};
        std::size_t k = 0;
        for (; k + 4 <= total; k += 4) {
            F4 v = loadLanes(&values[k]);
            const I4 absent = v == fills;
            v = absent ? nans : v;
            std::memcpy(&values[k], &v, sizeof v);
        }
        for (; k < total; ++k)
            values[k] = values[k] == fill ? nan : values[k];
        return true;
    }
    for (float& value : values) {
        bool absent = false;
        for (double m : missing)
            absent = absent || static_cast<double>(value) == m;
        value = absent ? nan : value;
    }
    return true;
}

void NetCdfVariable::toPhysical(double* values, std::size_t count) const
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    if (missing.size() == 1 && scale == 1.0 && offset == 0.0 && !isUnsigned) {
        // The common case of plain floats with one fill value.
        const double fill = missing.front();
        for (std::size_t k = 0; k < count; ++k)
            values[k] = values[k] == fill ? nan : values[k];
        return;
    }
    const double span = isUnsigned ? unsignedSpan(type) : 0.0;
    for (std::size_t k = 0; k < count; ++k) {
        double raw = values[k];
        bool absent = false;
        for (double m : missing)
            absent = absent || raw == m;
        if (raw < 0.0)
            raw += span;
        values[k] = absent ? nan : raw * scale + offset;
    }
}

} // namespace tvl
