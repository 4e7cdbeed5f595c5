// The real global wind field written as a plain float CF file (latitude
// descending) and imported at the pair's scale must be the pair, to the bit:
// the same samples and the same picture through the same renderer.
#include "netcdf/NetCdfImporter.h"

#include "FlowFiles.h"
#include "RealWindCf.h"
#include "TempDir.h"

#include "flow/FlowData.h"
#include "render/RenderPicture.h"
#include "render/RenderSettings.h"
#include "render/RgbaImage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace tvl {
namespace {

TEST(RealWindNetCdfGLTest, FloatFileImportDrawsThePairsPictureExactly)
{
    const std::string shared = test::sharedDataDir();
    if (shared.empty())
        GTEST_SKIP() << "shared data sets not found (TVL_SHARED_DATA unset or ../shared/data absent)";
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    const std::string stem = shared + "/real/gfs_wind10m_20160430T06";
    test::TempDir dir;
    test::RealWindCf wind;
    std::string error;
    ASSERT_TRUE(wind.write(stem, dir.file("wind.nc"), error)) << error;

    FlowData pair, imported;
    ASSERT_TRUE(pair.loadData(stem + ".gri", stem + ".dat"));
    NetCdfImporter importer;
    NetCdfImportOptions options;
    options.values = {"vorticity"};
    options.scale = 1.0 / 32.0;
    ASSERT_TRUE(importer.importFile(dir.file("wind.nc"), options, imported));
    ASSERT_EQ(imported.regularGrid().samples.size(), pair.regularGrid().samples.size());
    EXPECT_EQ(std::memcmp(imported.regularGrid().samples.data(), pair.regularGrid().samples.data(),
                  pair.regularGrid().samples.size() * sizeof(RegularSample)),
        0)
        << "every sample must equal the pair's to the bit";

    RenderSettings settings;
    settings.width = 900;
    settings.height = 450;
    settings.transferPreset = 2;
    settings.layers.arrowCoding = ArrowCoding::speed();
    for (const auto quantity : {BackgroundQuantity::Speed, BackgroundQuantity::AdditionalValue}) {
        settings.layers.backgroundQuantity = quantity;
        RgbaImage fromPair, fromNetCdf;
        ASSERT_TRUE(renderPicture(pair, settings, fromPair, error)) << error;
        ASSERT_TRUE(renderPicture(imported, settings, fromNetCdf, error)) << error;
        ASSERT_EQ(fromNetCdf.width(), fromPair.width());
        ASSERT_EQ(fromNetCdf.height(), fromPair.height());
        EXPECT_EQ(
            std::memcmp(fromNetCdf.data(), fromPair.data(), std::size_t(fromPair.width() * fromPair.height() * 4)), 0)
            << "the imported field must draw the pair's picture";
    }
}

} // namespace
} // namespace tvl
