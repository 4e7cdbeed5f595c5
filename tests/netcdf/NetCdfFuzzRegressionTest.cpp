// Inputs the NetCDF import fuzzer found harmful, and its seeds, replayed as
// the fuzz target sees them (a file image in memory) and as files.
#include "netcdf/NetCdfImporter.h"

#include "CfFile.h"
#include "FlowFiles.h"
#include "TempDir.h"

#include "flow/FlowData.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <filesystem>
#include <string>

namespace tvl {
namespace {

const std::filesystem::path kFuzz = std::filesystem::path(TVL_SOURCE_DIR) / "fuzz";

TEST(NetCdfFuzzRegressionTest, HeadersTheLibraryMishandlesFailBeforeItSeesThem)
{
    // The NetCDF library itself would allocate what such a header declares
    // (2 GB for an 868-byte file) before noticing the file is too short, or
    // divide by zero in its size check (a record dimension in second place).
    test::RecordingLog log;
    NetCdfImporter importer;
    importer.setLogSink(&log);
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kFuzz / "regressions-netcdf")) {
        const std::string bytes = test::readBytes(entry.path().string());
        FlowData flow;
        log.messages.clear();
        EXPECT_FALSE(importer.importMemory(bytes.data(), bytes.size(), {}, flow)) << entry.path();
        EXPECT_FALSE(importer.importFile(entry.path().string(), {}, flow)) << entry.path();
        ASSERT_EQ(log.messages.size(), 2u);
        for (const std::string& message : log.messages)
            EXPECT_NE(message.find("Der Kopf der NetCDF-Datei ist beschädigt"), std::string::npos) << message;
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
}

TEST(NetCdfFuzzRegressionTest, EverySeedPassesTheHeaderCheckAndImports)
{
    // One seed per NetCDF-3 variant (CDF-1, CDF-2, CDF-5) and per kind of grid.
    NetCdfImporter importer;
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kFuzz / "corpus" / "FuzzNetCdfImport")) {
        const std::string bytes = test::readBytes(entry.path().string());
        FlowData fromMemory, fromFile;
        EXPECT_TRUE(importer.importMemory(bytes.data(), bytes.size(), {}, fromMemory)) << entry.path();
        EXPECT_TRUE(importer.importFile(entry.path().string(), {}, fromFile)) << entry.path();
        EXPECT_EQ(fromMemory.getWidth(), fromFile.getWidth()) << entry.path();
        ++seeds;
    }
    EXPECT_GE(seeds, 5);
}

TEST(NetCdfFuzzRegressionTest, HeadersLongerThanTheCheckWindowAreWalkedWhole)
{
    // A file's header is checked through a 64 KiB window; a long history
    // attribute moves the rest of the header beyond it.
    test::TempDir dir;
    test::CfFile file;
    file.text("", "history", std::string(100000, 'h'));
    file.dimension("y", 2).dimension("x", 2);
    file.variable("u", NC_FLOAT, {"y", "x"}, {3, 1, 1, 1}).variable("v", NC_FLOAT, {"y", "x"}, {4, 1, 1, 1});
    file.writeOrThrow(dir.file("long.nc"));
    NetCdfImporter importer;
    FlowData flow;
    EXPECT_TRUE(importer.importFile(dir.file("long.nc"), {}, flow));
    EXPECT_EQ(flow.getMaxSpeed(), 5.0f) << "u = 3, v = 4 at the first node";
}

} // namespace
} // namespace tvl
