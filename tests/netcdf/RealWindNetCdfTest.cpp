// The real global wind field, written as the packed CF file a weather service
// publishes (latitude descending, 16-bit values, some fill values), imported
// at the pair's scale (x = longitude / 32), against the pair itself.
#include "netcdf/NetCdfImporter.h"

#include "FlowFiles.h"
#include "RealWindCf.h"
#include "TempDir.h"

#include "flow/FlowData.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tvl {
namespace {

TEST(RealWindNetCdfTest, PackedFileWithFillValuesReproducesThePairWithinThePackingStep)
{
    const std::string shared = test::sharedDataDir();
    if (shared.empty())
        GTEST_SKIP() << "shared data sets not found (TVL_SHARED_DATA unset or ../shared/data absent)";
    const std::string stem = shared + "/real/gfs_wind10m_20160430T06";
    test::TempDir dir;
    test::RealWindCf wind;
    wind.packed = true;
    const int w = 361;
    wind.missingNodes = {50 * w + 100, 120 * w + 200, 30 * w + 300, 90 * w + 10};
    std::string error;
    ASSERT_TRUE(wind.write(stem, dir.file("wind.nc"), error)) << error;

    FlowData pair, imported;
    ASSERT_TRUE(pair.loadData(stem + ".gri", stem + ".dat"));
    NetCdfImporter importer;
    NetCdfImportOptions options;
    options.values = {"vorticity"};
    options.scale = 1.0 / 32.0;
    ASSERT_TRUE(importer.importFile(dir.file("wind.nc"), options, imported));

    ASSERT_EQ(imported.getWidth(), pair.getWidth()) << "the same regular grid: 563 x 282";
    ASSERT_EQ(imported.getHeight(), pair.getHeight());
    Vector3 lo, hi, pairLo, pairHi;
    imported.getBounds(lo, hi);
    pair.getBounds(pairLo, pairHi);
    EXPECT_EQ(lo.x, pairLo.x);
    EXPECT_EQ(hi.y, pairHi.y);

    // Each node is off by at most half a packing step; a bilinear blend of
    // such nodes too, up to the rounding of the blend itself.
    const double velocityTolerance = wind.velocityStep / 2 + 1e-5;
    const double valueTolerance = wind.valueStep / 2 + 1e-5;
    int missing = 0;
    for (int r = 0; r < pair.getHeight(); ++r)
        for (int c = 0; c < pair.getWidth(); ++c) {
            const RegularSample& got = imported.regularGrid().samples[std::size_t(r * pair.getWidth() + c)];
            const RegularSample& want = pair.regularGrid().samples[std::size_t(r * pair.getWidth() + c)];
            if (std::isnan(got.vx)) {
                ++missing;
                continue;
            }
            ASSERT_NEAR(got.vx, want.vx, velocityTolerance) << "u at sample " << c << ", " << r;
            ASSERT_NEAR(got.vy, want.vy, velocityTolerance) << "v at sample " << c << ", " << r;
            ASSERT_NEAR(imported.regularGrid().value(c, r, 0), pair.regularGrid().value(c, r, 0), valueTolerance)
                << "vorticity at sample " << c << ", " << r;
        }
    // A missing node leaves NaN in every sample of its four cells (a cell is
    // 1.5625 samples wide), and nowhere else.
    for (std::size_t node : wind.missingNodes) {
        const int c = int((double(node % w) - 180.0) / 32.0 / 0.02 + 281.25);
        const int r = int((double(node / w) - 90.0) / 32.0 / 0.02 + 140.625);
        EXPECT_TRUE(std::isnan(imported.regularGrid().samples[std::size_t(r * pair.getWidth() + c)].vx))
            << "the sample just below and left of missing node " << node << " must be NaN";
    }
    EXPECT_GE(missing, 4 * 4);
    EXPECT_LE(missing, 4 * 16);
    EXPECT_NEAR(imported.getValueMaximum(0), pair.getValueMaximum(0), valueTolerance);
}

} // namespace
} // namespace tvl
