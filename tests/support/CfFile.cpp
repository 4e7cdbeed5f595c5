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

bool CfFile::write(const std::string& path, Format format, std::string& error) const
{
    int file = -1;
    int status = nc_create(path.c_str(), NC_CLOBBER | (format == Format::Netcdf4 ? NC_NETCDF4 : 0), &file);
    auto failed = [&](const std::string& what) {
        if (status == NC_NOERR)
            return false;
        error = what + ": " + nc_strerror(status);
        if (file >= 0)
            nc_close(file);
        return true;
    };
    if (failed("nc_create " + path))
        return false;
    for (const Dimension& d : dimensions_) {
        int id = 0;
        status = nc_def_dim(file, d.name.c_str(), d.unlimited ? NC_UNLIMITED : d.size, &id);
        if (failed("dimension " + d.name))
            return false;
    }
    std::vector<int> ids;
    for (const Variable& v : variables_) {
        std::vector<int> dims;
        for (const std::string& name : v.dimensions) {
            int id = 0;
            status = nc_inq_dimid(file, name.c_str(), &id);
            if (failed("dimension " + name + " of " + v.name))
                return false;
            dims.push_back(id);
        }
        int id = 0;
        status = nc_def_var(file, v.name.c_str(), v.type, int(dims.size()), dims.data(), &id);
        if (failed("variable " + v.name))
            return false;
        ids.push_back(id);
    }
    for (const Attribute& a : attributes_) {
        int var = NC_GLOBAL;
        if (!a.variable.empty()) {
            status = nc_inq_varid(file, a.variable.c_str(), &var);
            if (failed("attribute owner " + a.variable))
                return false;
        }
        status = a.type == 0 ? nc_put_att_text(file, var, a.name.c_str(), a.text.size(), a.text.data())
                             : nc_put_att_double(file, var, a.name.c_str(), a.type, a.values.size(), a.values.data());
        if (failed("attribute " + a.name))
            return false;
    }
    status = nc_enddef(file);
    if (failed("enddef"))
        return false;
    for (std::size_t k = 0; k < variables_.size(); ++k) {
        const Variable& v = variables_[k];
        if (v.values.empty())
            continue;
        std::vector<std::size_t> start(v.dimensions.size(), 0);
        std::vector<std::size_t> count;
        for (const std::string& name : v.dimensions)
            for (const Dimension& d : dimensions_)
                if (d.name == name)
                    count.push_back(d.size);
        std::size_t total = 1;
        for (std::size_t c : count)
            total *= c;
        if (total != v.values.size()) {
            nc_close(file);
            error = v.name + " needs " + std::to_string(total) + " values, got " + std::to_string(v.values.size());
            return false;
        }
        status = nc_put_vara_double(file, ids[k], start.data(), count.data(), v.values.data());
        if (failed("values of " + v.name))
            return false;
    }
    status = nc_close(file);
    file = -1;
    return !failed("close " + path);
}

void CfFile::writeOrThrow(const std::string& path, Format format) const
{
    std::string error;
    if (!write(path, format, error))
        throw std::runtime_error("cannot write the NetCDF test file: " + error);
}

} // namespace tvl::test
