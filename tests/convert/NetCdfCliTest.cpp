// tvl-convert and tvl-render on NetCDF files: the converted pair, the import
// and the rendered picture must all show the same data set.
#include "netcdf/NetCdfImporter.h"

#include "CfFile.h"
#include "ToolRun.h"

#include "flow/FlowData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace tvl {
namespace {

using test::ToolRun;

ToolRun convert(const std::vector<std::string>& args)
{
    return test::runTool(TVL_CONVERT_EXECUTABLE, args);
}
ToolRun render(const std::vector<std::string>& args)
{
    return test::runTool(TVL_RENDER_EXECUTABLE, args);
}

TEST(NetCdfCli, ConvertWritesThePairTheImportLoadsAndRenderDraws)
{
    test::TempDir dir;
    // A vortex over 2 x 1.5 degrees whose velocity and temperature change with time.
    test::CfFile::rotatingCurrent(21, 16, "u", "v", "t").write(dir.file("vortex.nc"), test::CfFile::Format::Netcdf4);
    const ToolRun converted = convert(
        {dir.file("vortex.nc"), "-o", dir.file("vortex"), "--value", "t", "--index", "time=1", "--scale", "2"});
    ASSERT_EQ(converted.exitCode, 0) << converted.err;
    EXPECT_NE(converted.out.find("21 x 16 nodes, 1 additional values"), std::string::npos) << converted.out;
    FlowData pair, imported;
    ASSERT_TRUE(pair.loadData(dir.file("vortex.gri"), dir.file("vortex.dat")));
    NetCdfImportOptions direct;
    direct.values = {"t"};
    direct.indices = {{"time", 1}};
    direct.scale = 2.0;
    ASSERT_TRUE(NetCdfImporter().importFile(dir.file("vortex.nc"), direct, imported));
    ASSERT_EQ(pair.regularGrid().samples.size(), imported.regularGrid().samples.size());
    EXPECT_EQ(std::memcmp(pair.regularGrid().samples.data(), imported.regularGrid().samples.data(),
                  pair.regularGrid().samples.size() * sizeof(RegularSample)),
        0)
        << "the converted pair must load as the import does";
    EXPECT_NEAR(pair.getValueMaximum(0), 280 + 2 + 1.5 + 1, 1e-4) << "temperature at time index 1";

    // tvl-render FILE.nc with the same options draws what the converted pair draws.
    ASSERT_EQ(render({dir.file("vortex.nc"), "-o", dir.file("nc.png"), "--value", "t", "--index", "time=1", "--scale",
                         "2", "--background", "value:0"})
                  .exitCode,
        0);
    ASSERT_EQ(
        render({dir.file("vortex.gri"), dir.file("vortex.dat"), "-o", dir.file("pair.png"), "--background", "value:0"})
            .exitCode,
        0);
    EXPECT_EQ(test::readBytes(dir.file("nc.png")), test::readBytes(dir.file("pair.png")));

    const ToolRun listed = convert({dir.file("vortex.nc"), "--list"});
    EXPECT_TRUE(
        listed.out.find("--u u --v v") != std::string::npos && listed.out.find("time (0 .. 1)") != std::string::npos)
        << listed.out;
    const ToolRun outside = convert({dir.file("vortex.nc"), "-o", dir.file("bad"), "--index", "time=2"});
    EXPECT_NE(outside.err.find("[Tavrel|NetCdfImporter|importFile]: Der Index 2 liegt außerhalb"), std::string::npos)
        << outside.err;
    for (const ToolRun& refused :
        {outside, render({dir.file("vortex.gri"), dir.file("vortex.dat"), "-o", dir.file("x.png"), "--scale", "2"}),
            render({dir.file("none.nc"), "-o", dir.file("x.png")})})
        EXPECT_NE(refused.exitCode, 0) << "NetCDF options with a pair are a mistake, a missing file an error";
    EXPECT_FALSE(std::filesystem::exists(dir.file("bad.gri")) || std::filesystem::exists(dir.file("x.png")));
}

} // namespace
} // namespace tvl
