#include "CfFile.h"

#include <netcdf.h>

#include <stdexcept>

namespace tvl::test {

CfFile& CfFile::dimension(const std::string& name, std::size_t size, bool unlimited)
{
    dimensions_.push_back({name, size, unlimited});
    return *this;
}

CfFile& CfFile::variable(
    const std::string& name, int type, const std::vector<std::string>& dimensions, std::vector<double> values)
{
    variables_.push_back({name, type, dimensions, std::move(values)});
    return *this;
}

CfFile& CfFile::text(const std::string& variable, const std::string& name, const std::string& value)
{
    attributes_.push_back({variable, name, 0, value, {}});
    return *this;
}

CfFile& CfFile::number(const std::string& variable, const std::string& name, int type, std::vector<double> values)
{
    attributes_.push_back({variable, name, type, {}, std::move(values)});
    return *this;
}

CfFile CfFile::rotatingCurrent(
    std::size_t columns, std::size_t rows, const std::string& u, const std::string& v, const std::string& value)
{
    std::vector<double> lon, lat, us, vs, values;
    for (std::size_t i = 0; i < columns; ++i)
        lon.push_back(0.1 * double(i));
    for (std::size_t j = 0; j < rows; ++j)
        lat.push_back(0.1 * double(rows - 1 - j));
    const double x0 = lon.back() / 2, y0 = lat.front() / 2;
    for (int time = 0; time < 2; ++time)
        for (double y : lat)
            for (double x : lon) {
                us.push_back(-(y - y0) * (time + 1));
                vs.push_back((x - x0) * (time + 1));
                values.push_back(280 + x + y + time);
            }
    const std::vector<std::string> field {"time", "lat", "lon"};
    CfFile file;
    file.dimension("time", 2).dimension("lat", rows).dimension("lon", columns);
    file.variable("lat", NC_DOUBLE, {"lat"}, lat).variable("lon", NC_DOUBLE, {"lon"}, lon);
    return file.variable(u, NC_FLOAT, field, us)
        .variable(value, NC_FLOAT, field, values)
        .variable(v, NC_FLOAT, field, vs);
}

void CfFile::write(const std::string& path, Format format) const
{
    const int mode = format == Format::Netcdf4 ? NC_NETCDF4
        : format == Format::Offset64           ? NC_64BIT_OFFSET
        : format == Format::Cdf5               ? NC_64BIT_DATA
                                               : 0;
    int file = -1;
    const auto check = [&file](int status, const std::string& what) {
        if (status == NC_NOERR)
            return;
        if (file >= 0)
            nc_close(file);
        throw std::runtime_error("cannot write the NetCDF test file: " + what + ": " + nc_strerror(status));
    };
    check(nc_create(path.c_str(), NC_CLOBBER | mode, &file), path);
    for (const Dimension& d : dimensions_) {
        int id = 0;
        check(nc_def_dim(file, d.name.c_str(), d.unlimited ? NC_UNLIMITED : d.size, &id), "dimension " + d.name);
    }
    std::vector<int> ids;
    for (const Variable& v : variables_) {
        std::vector<int> dims(v.dimensions.size());
        for (std::size_t k = 0; k < dims.size(); ++k)
            check(nc_inq_dimid(file, v.dimensions[k].c_str(), &dims[k]), "dimension of " + v.name);
        ids.push_back(0);
        check(nc_def_var(file, v.name.c_str(), v.type, int(dims.size()), dims.data(), &ids.back()), v.name);
    }
    for (const Attribute& a : attributes_) {
        int var = NC_GLOBAL;
        if (!a.variable.empty())
            check(nc_inq_varid(file, a.variable.c_str(), &var), "attribute owner " + a.variable);
        check(a.type == 0 ? nc_put_att_text(file, var, a.name.c_str(), a.text.size(), a.text.data())
                          : nc_put_att_double(file, var, a.name.c_str(), a.type, a.values.size(), a.values.data()),
            "attribute " + a.name);
    }
    check(nc_enddef(file), "enddef");
    for (std::size_t k = 0; k < variables_.size(); ++k) {
        const Variable& v = variables_[k];
        if (v.values.empty())
            continue;
        std::vector<std::size_t> start(v.dimensions.size(), 0), count;
        std::size_t total = 1;
        for (const std::string& name : v.dimensions)
            for (const Dimension& d : dimensions_)
                if (d.name == name)
                    total *= count.emplace_back(d.size);
        check(total == v.values.size() ? nc_put_vara_double(file, ids[k], start.data(), count.data(), v.values.data())
                                       : NC_EEDGE,
            "values of " + v.name + " (" + std::to_string(v.values.size()) + " for " + std::to_string(total) + ")");
    }
    check(nc_close(file), "close " + path);
}

} // namespace tvl::test
