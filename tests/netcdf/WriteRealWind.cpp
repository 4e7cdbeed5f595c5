// tvl-write-real-wind PAIR_STEM OUT.nc [--packed]: writes the global 10 m wind
// pair (x = longitude / 32, y = latitude / 32, one additional value: relative
// vorticity) as the CF NetCDF-4 file a weather service would publish, for the
// README's picture: latitude descending from 90 to -90, u10 / v10 with the
// standard names eastward_wind / northward_wind, and "vorticity"; packed, all
// three as 16-bit integers with scale_factor / add_offset.
#include "CfFile.h"
#include "FlowFiles.h"

#include "flow/GridHeader.h"

#include <netcdf.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

void writeRealWind(const std::string& stem, const std::string& path, bool packed)
{
    const std::string grid = tvl::test::readBytes(stem + ".gri");
    const std::string data = tvl::test::readBytes(stem + ".dat");
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

    tvl::test::CfFile file;
    file.dimension("lat", h).dimension("lon", w);
    file.variable("lat", NC_DOUBLE, {"lat"}, lat).text("lat", "units", "degrees_north");
    file.variable("lon", NC_DOUBLE, {"lon"}, lon).text("lon", "units", "degrees_east");
    const char* names[] = {"u10", "v10", "vorticity"};
    const char* standard[] = {"eastward_wind", "northward_wind", "atmosphere_upward_relative_vorticity"};
    const char* units[] = {"m s-1", "m s-1", "1e-5 s-1"};
    for (int k = 0; k < 3; ++k) {
        if (packed) {
            // 16-bit packing over the value range, the attributes rounded to
            // floats as they are stored, leaving the fill value -32767 free.
            const auto [lo, hi] = std::minmax_element(fields[k].begin(), fields[k].end());
            const double scale = float((*hi - *lo) / 65000.0), offset = float((*hi + *lo) / 2.0);
            std::vector<double> packedValues;
            for (const double v : fields[k])
                packedValues.push_back(std::round((v - offset) / scale));
            file.variable(names[k], NC_SHORT, {"lat", "lon"}, packedValues);
            file.number(names[k], "scale_factor", NC_FLOAT, {scale}).number(names[k], "add_offset", NC_FLOAT, {offset});
            file.number(names[k], "_FillValue", NC_SHORT, {-32767});
        } else {
            file.variable(names[k], NC_FLOAT, {"lat", "lon"}, fields[k]);
        }
        file.text(names[k], "standard_name", standard[k]).text(names[k], "units", units[k]);
    }
    file.text("", "Conventions", "CF-1.8");
    file.write(path, tvl::test::CfFile::Format::Netcdf4);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4 || (argc == 4 && std::string(argv[3]) != "--packed")) {
        std::fputs("usage: tvl-write-real-wind PAIR_STEM OUT.nc [--packed]\n", stderr);
        return 2;
    }
    try {
        writeRealWind(argv[1], argv[2], argc == 4);
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "tvl-write-real-wind: %s\n", error.what());
        return 1;
    }
    return 0;
}
