// tvl-write-real-wind PAIR_STEM OUT.nc [--packed [--fill-nodes=K,...]]: writes the global 10 m wind
// pair (x = longitude / 32, y = latitude / 32, one additional value: relative
// vorticity) as the CF NetCDF-4 file a weather service would publish, for the
// README's picture (scripts/netcdf-picture): latitude descending from 90 to
// -90, u10 / v10 with the standard names eastward_wind / northward_wind, and
// "vorticity"; packed, all three as 16-bit integers with scale_factor /
// add_offset, and the fill value at the listed nodes (indices row * width +
// column of the pair, rows from the south) as a service marks missing data.
#include "flow/GridHeader.h"

#include <netcdf.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void check(int status, const std::string& what)
{
    if (status != NC_NOERR)
        throw std::runtime_error(what + ": " + nc_strerror(status));
}

void text(int file, int variable, const char* name, const std::string& value)
{
    check(nc_put_att_text(file, variable, name, value.size(), value.data()), name);
}

void writeRealWind(
    const std::string& stem, const std::string& path, bool packed, const std::vector<std::size_t>& fillNodes)
{
    const std::string grid = readFile(stem + ".gri");
    const std::string data = readFile(stem + ".dat");
    const tvl::GridHeader header = tvl::GridHeader::parse(grid.data(), grid.size());
    const std::size_t w = std::size_t(header.width), h = std::size_t(header.height);
    const std::size_t record = 3 + std::size_t(header.additionalCount);
    if (header.additionalCount < 1 || grid.size() < 40 + 12 * w * h || data.size() < 4 * record * w * h)
        throw std::runtime_error("not the wind pair: " + stem);
    const auto value = [](const std::string& bytes, std::size_t offset) {
        float f = 0.0f;
        std::memcpy(&f, bytes.data() + offset, 4);
        return double(f);
    };
    std::vector<double> lon(w), lat(h), fields[3];
    for (std::size_t i = 0; i < w; ++i)
        lon[i] = value(grid, 40 + 12 * i) * 32.0;
    for (std::size_t r = 0; r < h; ++r)
        lat[r] = value(grid, 40 + 12 * (h - 1 - r) * w + 4) * 32.0; // north first
    for (std::size_t k = 0; k < 3; ++k)
        for (std::size_t r = 0; r < h; ++r)
            for (std::size_t i = 0; i < w; ++i)
                fields[k].push_back(value(data, 4 * record * ((h - 1 - r) * w + i) + 4 * (k < 2 ? k : 3)));

    int file = -1;
    check(nc_create(path.c_str(), NC_CLOBBER | NC_NETCDF4, &file), path);
    int dims[2], latId, lonId, ids[3];
    check(nc_def_dim(file, "lat", h, &dims[0]), "lat");
    check(nc_def_dim(file, "lon", w, &dims[1]), "lon");
    check(nc_def_var(file, "lat", NC_DOUBLE, 1, &dims[0], &latId), "lat");
    check(nc_def_var(file, "lon", NC_DOUBLE, 1, &dims[1], &lonId), "lon");
    text(file, latId, "units", "degrees_north");
    text(file, lonId, "units", "degrees_east");
    const char* names[] = {"u10", "v10", "vorticity"};
    const char* standard[] = {"eastward_wind", "northward_wind", "atmosphere_upward_relative_vorticity"};
    const char* units[] = {"m s-1", "m s-1", "1e-5 s-1"};
    for (int k = 0; k < 3; ++k) {
        check(nc_def_var(file, names[k], packed ? NC_SHORT : NC_FLOAT, 2, dims, &ids[k]), names[k]);
        text(file, ids[k], "standard_name", standard[k]);
        text(file, ids[k], "units", units[k]);
        if (!packed)
            continue;
        // 16-bit packing over the value range, the attributes rounded to floats
        // as they are stored, leaving the fill value -32767 free.
        const auto [lo, hi] = std::minmax_element(fields[k].begin(), fields[k].end());
        const float scale = float((*hi - *lo) / 65000.0), offset = float((*hi + *lo) / 2.0);
        const short fill = -32767;
        check(nc_put_att_float(file, ids[k], "scale_factor", NC_FLOAT, 1, &scale), "scale_factor");
        check(nc_put_att_float(file, ids[k], "add_offset", NC_FLOAT, 1, &offset), "add_offset");
        check(nc_put_att_short(file, ids[k], "_FillValue", NC_SHORT, 1, &fill), "_FillValue");
        for (double& v : fields[k])
            v = std::round((v - double(offset)) / double(scale));
        for (const std::size_t node : fillNodes) {
            if (node >= w * h)
                throw std::runtime_error("no such node: " + std::to_string(node));
            fields[k][(h - 1 - node / w) * w + node % w] = fill;
        }
    }
    text(file, NC_GLOBAL, "Conventions", "CF-1.8");
    check(nc_enddef(file), "enddef");
    check(nc_put_var_double(file, latId, lat.data()), "lat");
    check(nc_put_var_double(file, lonId, lon.data()), "lon");
    for (int k = 0; k < 3; ++k)
        check(nc_put_var_double(file, ids[k], fields[k].data()), names[k]);
    check(nc_close(file), path);
}

} // namespace

int main(int argc, char** argv)
{
    bool packed = false;
    std::vector<std::size_t> fillNodes;
    bool usable = argc >= 3;
    for (int k = 3; k < argc && usable; ++k) {
        std::string option = argv[k];
        const std::string fillOption = "--fill-nodes=";
        if (option == "--packed") {
            packed = true;
        } else if (option.rfind(fillOption, 0) == 0) {
            char* end = option.data() + fillOption.size();
            do {
                char* start = end + (*end == ',' ? 1 : 0);
                fillNodes.push_back(std::strtoull(start, &end, 10));
                usable = end != start;
            } while (usable && *end == ',');
            usable = usable && *end == 0;
        } else {
            usable = false;
        }
    }
    if (!usable || (!fillNodes.empty() && !packed)) {
        std::fputs("usage: tvl-write-real-wind PAIR_STEM OUT.nc [--packed [--fill-nodes=K,...]]\n", stderr);
        return 2;
    }
    try {
        writeRealWind(argv[1], argv[2], packed, fillNodes);
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "tvl-write-real-wind: %s\n", error.what());
        return 1;
    }
    return 0;
}
