#include "RealWindCf.h"

#include "CfFile.h"
#include "FlowFiles.h"

#include "flow/GridHeader.h"

#include <netcdf.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tvl::test {
namespace {

// 16-bit packing over the value range, leaving the fill value -32767 free.
struct Packing {
    double scale = 1.0;
    double offset = 0.0;
};

Packing packingOf(const std::vector<double>& values)
{
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    // Rounded to floats, as the attributes store them.
    return {double(float((*hi - *lo) / 65000.0)), double(float((*hi + *lo) / 2.0))};
}

std::vector<double> pack(const std::vector<double>& values, const Packing& p)
{
    std::vector<double> packed(values.size());
    for (std::size_t n = 0; n < values.size(); ++n)
        packed[n] = std::isnan(values[n]) ? -32767.0 : std::round((values[n] - p.offset) / p.scale);
    return packed;
}

} // namespace

bool RealWindCf::write(const std::string& pairStem, const std::string& path, std::string& error)
{
    const std::string grid = readBytes(pairStem + ".gri");
    const std::string data = readBytes(pairStem + ".dat");
    const GridHeader header = GridHeader::parse(grid.data(), grid.size());
    const std::size_t w = std::size_t(header.width), h = std::size_t(header.height);
    const std::size_t record = 3 + std::size_t(header.additionalCount);
    if (header.additionalCount < 1 || grid.size() < 40 + 12 * w * h || data.size() < 4 * record * w * h) {
        error = "not the wind pair: " + pairStem;
        return false;
    }
    auto value = [](const std::string& bytes, std::size_t offset) {
        float f = 0.0f;
        std::memcpy(&f, bytes.data() + offset, 4);
        return double(f);
    };
    std::vector<double> lon(w), lat(h);
    for (std::size_t i = 0; i < w; ++i)
        lon[i] = value(grid, 40 + 12 * i) * 32.0;
    for (std::size_t r = 0; r < h; ++r)
        lat[r] = value(grid, 40 + 12 * (h - 1 - r) * w + 4) * 32.0; // north first
    std::vector<double> u(w * h), v(w * h), vorticity(w * h);
    for (std::size_t j = 0; j < h; ++j)
        for (std::size_t i = 0; i < w; ++i) {
            const std::size_t node = j * w + i, cell = (h - 1 - j) * w + i;
            u[cell] = value(data, 4 * record * node);
            v[cell] = value(data, 4 * record * node + 4);
            vorticity[cell] = value(data, 4 * record * node + 12);
        }
    for (std::size_t node : missingNodes) {
        const std::size_t cell = (h - 1 - node / w) * w + node % w;
        u[cell] = v[cell] = packed ? NAN : double(NC_FILL_FLOAT);
    }

    CfFile file;
    file.dimension("lat", h).dimension("lon", w);
    file.variable("lat", NC_DOUBLE, {"lat"}, lat).text("lat", "units", "degrees_north");
    file.variable("lon", NC_DOUBLE, {"lon"}, lon).text("lon", "units", "degrees_east");
    const char* names[] = {"u10", "v10", "vorticity"};
    const char* standard[] = {"eastward_wind", "northward_wind", "atmosphere_upward_relative_vorticity"};
    const char* units[] = {"m s-1", "m s-1", "1e-5 s-1"};
    std::vector<double>* fields[] = {&u, &v, &vorticity};
    for (int k = 0; k < 3; ++k) {
        if (packed) {
            std::vector<double> present;
            std::copy_if(fields[k]->begin(), fields[k]->end(), std::back_inserter(present),
                [](double x) { return !std::isnan(x); });
            const Packing p = packingOf(present);
            file.variable(names[k], NC_SHORT, {"lat", "lon"}, pack(*fields[k], p));
            file.number(names[k], "scale_factor", NC_FLOAT, {p.scale})
                .number(names[k], "add_offset", NC_FLOAT, {p.offset});
            file.number(names[k], "_FillValue", NC_SHORT, {-32767});
            (k < 2 ? velocityStep : valueStep) = std::max(k < 2 ? velocityStep : valueStep, p.scale);
        } else {
            file.variable(names[k], NC_FLOAT, {"lat", "lon"}, *fields[k]);
        }
        file.text(names[k], "standard_name", standard[k]).text(names[k], "units", units[k]);
    }
    file.text("", "Conventions", "CF-1.8");
    width = int(w);
    height = int(h);
    return file.write(path, CfFile::Format::Netcdf4, error);
}

} // namespace tvl::test
