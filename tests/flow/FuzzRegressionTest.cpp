// Inputs the load fuzzer once found slow or broken, replayed as the fuzz
// target sees them: two bytes giving the grid file's length, the grid file,
// then the data file.
#include "flow/FlowData.h"

#include "FlowFiles.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace tvl {
namespace {

TEST(FuzzRegressionTest, EveryKeptInputLoadsOrFailsCleanly)
{
    const std::filesystem::path dir = std::filesystem::path(TVL_SOURCE_DIR) / "fuzz" / "regressions";
    ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
    test::TempDir temp;
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string input = test::readBytes(entry.path().string());
        ASSERT_GE(input.size(), 2u) << entry.path();
        std::size_t gridLength = std::size_t(std::uint8_t(input[0])) | (std::size_t(std::uint8_t(input[1])) << 8);
        const std::string body = input.substr(2);
        gridLength = std::min(gridLength, body.size());
        test::writeBytes(temp.file("g.gri"), body.substr(0, gridLength));
        test::writeBytes(temp.file("g.dat"), body.substr(gridLength));
        FlowData flow;
        flow.setRegularGridCap(std::uint64_t {4} << 20);
        const bool loaded = flow.loadData(temp.file("g.gri"), temp.file("g.dat"));
        if (loaded) {
            EXPECT_GT(flow.getWidth(), 1) << entry.path();
            Vector3 direction;
            float speed = 0;
            flow.directionAt({0.5f, 0.5f, 0}, direction);
            flow.speedAt({0.5f, 0.5f, 0}, speed);
        } else {
            EXPECT_EQ(flow.getWidth(), 0) << entry.path() << ": a failed load leaves the empty data set";
        }
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
}

} // namespace
} // namespace tvl
