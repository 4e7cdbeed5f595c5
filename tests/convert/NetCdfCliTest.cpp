// tvl-convert and tvl-render on NetCDF files: the converted pair, the import
// and the rendered picture must all show the same data set.
#include "netcdf/NetCdfImporter.h"

#include "CfFile.h"
#include "FlowFiles.h"
#include "TempDir.h"

#include "flow/FlowData.h"
#include "render/PngFile.h"
#include "render/RgbaImage.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace tvl {
namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out, err;
};

ToolRun run(const test::TempDir& dir, const char* tool, const std::vector<std::string>& args)
{
    std::string command = std::string("env -u DISPLAY -u WAYLAND_DISPLAY '") + tool + "'";
    for (const std::string& arg : args)
        command += " '" + arg + "'";
    command += " > '" + dir.file("out.txt") + "' 2> '" + dir.file("err.txt") + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::readBytes(dir.file("out.txt")),
        test::readBytes(dir.file("err.txt"))};
}

// A vortex over 2 x 1.5 degrees stored north to south, with a temperature
// over time and a velocity that changes with time.
void writeVortex(const std::string& path)
{
    test::CfFile file;
    std::vector<double> lon, lat, u, v, t;
    for (int i = 0; i < 21; ++i)
        lon.push_back(0.1 * i);
    for (int j = 0; j < 16; ++j)
        lat.push_back(1.5 - 0.1 * j);
    for (int time = 0; time < 2; ++time)
        for (double y : lat)
            for (double x : lon) {
                u.push_back(-(y - 0.75) * (time + 1));
                v.push_back((x - 1.0) * (time + 1));
                t.push_back(280 + x + y + time);
            }
    file.dimension("time", 2).dimension("lat", 16).dimension("lon", 21);
    file.variable("lat", NC_DOUBLE, {"lat"}, lat).variable("lon", NC_DOUBLE, {"lon"}, lon);
    file.variable("u", NC_FLOAT, {"time", "lat", "lon"}, u).variable("v", NC_FLOAT, {"time", "lat", "lon"}, v);
    file.variable("t", NC_FLOAT, {"time", "lat", "lon"}, t);
    file.writeOrThrow(path, test::CfFile::Format::Netcdf4);
}

TEST(NetCdfCli, ConvertWritesThePairTheImportLoads)
{
    test::TempDir dir;
    writeVortex(dir.file("vortex.nc"));
    const std::vector<std::string> options {"--value", "t", "--index", "time=1", "--scale", "2"};
    std::vector<std::string> args {dir.file("vortex.nc"), "-o", dir.file("vortex")};
    args.insert(args.end(), options.begin(), options.end());
    const ToolRun converted = run(dir, TVL_CONVERT_EXECUTABLE, args);
    ASSERT_EQ(converted.exitCode, 0) << converted.err;
    EXPECT_NE(converted.out.find("21 x 16 nodes, 1 additional values"), std::string::npos) << converted.out;

    FlowData pair, imported;
    ASSERT_TRUE(pair.loadData(dir.file("vortex.gri"), dir.file("vortex.dat")));
    NetCdfImporter importer;
    NetCdfImportOptions direct;
    direct.values = {"t"};
    direct.indices = {{"time", 1}};
    direct.scale = 2.0;
    ASSERT_TRUE(importer.importFile(dir.file("vortex.nc"), direct, imported));
    ASSERT_EQ(pair.regularGrid().samples.size(), imported.regularGrid().samples.size());
    EXPECT_EQ(std::memcmp(pair.regularGrid().samples.data(), imported.regularGrid().samples.data(),
                  pair.regularGrid().samples.size() * sizeof(RegularSample)),
        0)
        << "the converted pair must load as the import does";
    EXPECT_EQ(pair.getValueMaximum(0), imported.getValueMaximum(0));
    EXPECT_NEAR(pair.getValueMaximum(0), 280 + 2 + 1.5 + 1, 1e-4) << "temperature at time index 1";

    const ToolRun listed = run(dir, TVL_CONVERT_EXECUTABLE, {dir.file("vortex.nc"), "--list"});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_NE(listed.out.find("--u u --v v"), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find("time (0 .. 1)"), std::string::npos) << listed.out;

    const ToolRun bad
        = run(dir, TVL_CONVERT_EXECUTABLE, {dir.file("vortex.nc"), "-o", dir.file("bad"), "--index", "time=2"});
    EXPECT_NE(bad.exitCode, 0);
    EXPECT_NE(bad.err.find("[Tavrel|NetCdfImporter|importFile]: Der Index 2 liegt außerhalb"), std::string::npos)
        << bad.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("bad.gri"))) << "a failed conversion writes nothing";
}

TEST(NetCdfCli, RenderDrawsTheNetCdfFileAsItsConvertedPair)
{
    test::TempDir dir;
    writeVortex(dir.file("vortex.nc"));
    ASSERT_EQ(run(dir, TVL_CONVERT_EXECUTABLE, {dir.file("vortex.nc"), "-o", dir.file("vortex")}).exitCode, 0);
    const std::vector<std::string> picture {"--width", "300", "--height", "240", "--transfer-preset", "Blue-Green-Red"};
    std::vector<std::string> fromNetCdf {dir.file("vortex.nc"), "-o", dir.file("nc.png")};
    std::vector<std::string> fromPair {dir.file("vortex.gri"), dir.file("vortex.dat"), "-o", dir.file("pair.png")};
    fromNetCdf.insert(fromNetCdf.end(), picture.begin(), picture.end());
    fromPair.insert(fromPair.end(), picture.begin(), picture.end());
    const ToolRun a = run(dir, TVL_RENDER_EXECUTABLE, fromNetCdf);
    ASSERT_EQ(a.exitCode, 0) << a.err;
    ASSERT_EQ(run(dir, TVL_RENDER_EXECUTABLE, fromPair).exitCode, 0);
    RgbaImage nc, pair;
    std::string error;
    ASSERT_TRUE(readPng(dir.file("nc.png"), nc, error)) << error;
    ASSERT_TRUE(readPng(dir.file("pair.png"), pair, error)) << error;
    ASSERT_EQ(nc.width(), pair.width());
    EXPECT_EQ(std::memcmp(nc.data(), pair.data(), std::size_t(nc.width() * nc.height() * 4)), 0)
        << "tvl-render FILE.nc must draw what the converted pair draws";

    const ToolRun misplaced = run(dir, TVL_RENDER_EXECUTABLE,
        {dir.file("vortex.gri"), dir.file("vortex.dat"), "-o", dir.file("x.png"), "--scale", "2"});
    EXPECT_NE(misplaced.exitCode, 0) << "NetCDF options with a pair are a mistake";
    const ToolRun missing = run(dir, TVL_RENDER_EXECUTABLE, {dir.file("none.nc"), "-o", dir.file("x.png")});
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_NE(missing.err.find("Ein Fehler ist beim Laden der Flowdaten aufgetreten."), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.png")));
}

} // namespace
} // namespace tvl
