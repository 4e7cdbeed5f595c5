// Inputs the NetCDF import fuzzer found harmful, and its seeds, replayed as
// the fuzz target sees them (a file image in memory) and as files.
#include "netcdf/NetCdfImporter.h"

#include "FlowFiles.h"
#include "TempDir.h"

#include "flow/FlowData.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace tvl
