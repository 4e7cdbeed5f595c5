// The real global wind field as the CF files a weather service publishes
// (latitude north first; float, or 16-bit packed with fill values), written
// by tvl-write-real-wind and imported at the pair's scale (x = longitude /
// 32), against the pair itself.
#include "netcdf/NetCdfImporter.h"

#include "ToolRun.h"

#include "flow/FlowData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tvl {
namespace {

TEST(RealWindImportTest, CfFilesReproduceThePair)
{
    const std::string shared = test::sharedDataDir();
    if (shared.empty())
        GTEST_SKIP() << "shared data sets not found (TVL_SHARED_DATA unset or ../shared/data absent)";
    const std::string stem = shared + "/real/gfs_wind10m_20160430T06";
    FlowData pair;
    ASSERT_TRUE(pair.loadData(stem + ".gri", stem + ".dat"));
    const int w = pair.getWidth();
    // Three nodes (of 361 per row) whose four cells hold NaN samples then.
    const std::string fillNodes = "--fill-nodes=" + std::to_string(50 * 361 + 100) + ","
        + std::to_string(120 * 361 + 200) + "," + std::to_string(30 * 361 + 300);
    for (const bool packed : {false, true}) {
        const test::TempDir dir;
        const test::ToolRun written = test::runTool(TVL_WRITE_REAL_WIND,
            packed ? std::vector<std::string> {stem, dir.file("wind.nc"), "--packed", fillNodes}
                   : std::vector<std::string> {stem, dir.file("wind.nc")});
        ASSERT_EQ(written.exitCode, 0) << written.err;
        FlowData imported;
        NetCdfImportOptions options;
        options.values = {"vorticity"};
        options.scale = 1.0 / 32.0;
        ASSERT_TRUE(NetCdfImporter().importFile(dir.file("wind.nc"), options, imported));
        ASSERT_TRUE(imported.getWidth() == w && imported.getHeight() == pair.getHeight()) << "563 x 282 samples";
        // Float values come through to the bit; packed ones within half a
        // step of 16-bit packing over about 60 units, and the blend's rounding.
        const float tolerance = packed ? 1e-3f : 0.0f;
        int nan = 0;
        for (int r = 0; r < pair.getHeight(); ++r)
            for (int c = 0; c < w; ++c) {
                const RegularSample& got = imported.regularGrid().samples[std::size_t(r * w + c)];
                const RegularSample& want = pair.regularGrid().samples[std::size_t(r * w + c)];
                if (packed && std::isnan(got.vx)) {
                    ++nan;
                    continue;
                }
                ASSERT_NEAR(got.vx, want.vx, tolerance) << "u at " << c << ", " << r << (packed ? " packed" : "");
                ASSERT_NEAR(got.vy, want.vy, tolerance) << "v at " << c << ", " << r << (packed ? " packed" : "");
                ASSERT_NEAR(imported.regularGrid().value(c, r, 0), pair.regularGrid().value(c, r, 0), tolerance)
                    << "vorticity at " << c << ", " << r << (packed ? " packed" : "");
            }
        // A cell is 1.5625 samples wide: each missing node blanks 4 to 16 samples.
        EXPECT_TRUE(!packed || (nan >= 3 * 4 && nan <= 3 * 16)) << nan << " NaN samples";
    }
}

} // namespace
} // namespace tvl
