#include "render/PngFile.h"
#include "render/RgbaImage.h"

#include "FlowFiles.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace tvl {
namespace {

const char* const kLoadFailure = "Ein Fehler ist beim Laden der Flowdaten aufgetreten.";

struct Result {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs tvl-render with no display, capturing its output streams.
Result runTool(const test::TempDir& dir, const std::vector<std::string>& args)
{
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY '" TVL_RENDER_EXECUTABLE "'";
    for (const std::string& arg : args)
        command += " '" + arg + "'";
    command += " > '" + dir.file("stdout.txt") + "' 2> '" + dir.file("stderr.txt") + "'";
    const int status = std::system(command.c_str());
    Result result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = test::readBytes(dir.file("stdout.txt"));
    result.err = test::readBytes(dir.file("stderr.txt"));
    return result;
}

bool isPink(const std::array<std::uint8_t, 4>& p)
{
    return p[0] == 255 && std::abs(p[1] - 178) <= 1 && std::abs(p[2] - 178) <= 1;
}
bool isWhite(const std::array<std::uint8_t, 4>& p)
{
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
}
bool isBlack(const std::array<std::uint8_t, 4>& p)
{
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

TEST(TvlRenderCli, DrawsTheDemoWithAllThreeLayers)
{
    test::TempDir dir;
    const std::string picture = dir.file("demo.png");
    const Result r = runTool(
        dir, {"--demo", "-o", picture, "--width", "400", "--height", "300", "--transfer-preset", "Blue-Green-Red"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    RgbaImage image;
    std::string error;
    ASSERT_TRUE(readPng(picture, image, error)) << error;
    ASSERT_EQ(image.width(), 400);
    ASSERT_EQ(image.height(), 300);

    // The 2 : 1 demo fills a 400 × 200 viewport at the bottom; above it the
    // canvas stays black. Inside, leave out the 4-pixel band of the last
    // sample column and row, which has no speed and shows white.
    int pink = 0;
    int white = 0;
    int coloured = 0;
    for (int y = 0; y < 196; ++y)
        for (int x = 0; x < 396; ++x) {
            const auto p = image.pixel(x, y);
            pink += isPink(p);
            white += isWhite(p);
            coloured += !isPink(p) && !isWhite(p) && !isBlack(p);
        }
    EXPECT_GT(pink, 400) << "arrow layer missing";
    EXPECT_GT(white, 1000) << "streamline layer missing";
    EXPECT_GT(coloured, 40000) << "background layer missing";
    EXPECT_TRUE(isBlack(image.pixel(200, 250))) << "the strip above the viewport must stay black";
}

TEST(TvlRenderCli, ReportsUnreadableDataInGermanAndWritesNothing)
{
    test::TempDir dir;
    const std::string picture = dir.file("picture.png");
    const std::string grid = dir.file("bad.gri");
    const std::string data = dir.file("bad.dat");
    test::writeBytes(grid, "this is no grid file");
    test::writeBytes(data, "nor is this a data file");

    Result r = runTool(dir, {grid, data, "-o", picture});
    EXPECT_NE(r.exitCode, 0) << "a failed load must fail the run";
    EXPECT_NE(r.err.find(kLoadFailure), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("[Tavrel|FlowData|loadData]: "), std::string::npos) << "the logged cause is missing";
    EXPECT_FALSE(std::filesystem::exists(picture)) << "a picture was written after a failure";

    r = runTool(dir, {dir.file("missing.gri"), dir.file("missing.dat"), "-o", picture});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find(kLoadFailure), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(picture));
}

TEST(TvlRenderCli, RefusesBadOptionsWithoutWritingAFile)
{
    test::TempDir dir;
    const std::string picture = dir.file("picture.png");
    const std::vector<std::vector<std::string>> cases = {
        {"--demo", "-o", picture, "--arrow-step", "0"},
        {"--demo", "-o", picture, "--background", "value:2"},
        {"--demo", "-o", picture, "--arrow-coding", "value:7"},
        {"--demo", "-o", picture, "--layers", "arrows,grid"},
        {"--demo", "-o", picture, "--width", "0"},
        {"--demo", "-o", picture, "--dsep", "5"},
        {"--demo", "-o", picture, "--transfer-preset", "Rainbow"},
        {"--demo", "-o", picture, "--transfer-preset", "Blue-Yellow", "--transfer-points", "0.5:#ffffff"},
        {"--demo", "-o", picture, "--zoom", "1", "2", "3"},
        {"--demo", "-o", picture, dir.file("a.gri"), dir.file("a.dat")},
        {dir.file("only.gri"), "-o", picture},
        {"--demo"},
    };
    for (const auto& args : cases) {
        const Result r = runTool(dir, args);
        std::string line;
        for (const auto& a : args)
            line += a + " ";
        EXPECT_NE(r.exitCode, 0) << "accepted: " << line;
        EXPECT_FALSE(r.err.empty()) << "no message for: " << line;
        EXPECT_FALSE(std::filesystem::exists(picture)) << "wrote a file for: " << line;
    }

    const Result unwritable = runTool(dir, {"--demo", "-o", dir.file("no/such/folder/x.png")});
    EXPECT_NE(unwritable.exitCode, 0) << "a picture that cannot be written must fail the run";
    EXPECT_NE(unwritable.err.find("no/such/folder"), std::string::npos) << unwritable.err;
}

TEST(TvlRenderCli, ExplainsItselfOnHelp)
{
    test::TempDir dir;
    const Result r = runTool(dir, {"--help"});
    EXPECT_EQ(r.exitCode, 0);
    for (const char* option :
        {"--demo", "--output", "--layers", "--background", "--transfer-preset", "--transfer-points", "--arrow-step",
            "--arrow-coding", "--dsep", "--dtest", "--integrator", "--zoom", "--seed", "--width", "--height"})
        EXPECT_NE(r.out.find(option), std::string::npos) << "--help does not mention " << option;
}

} // namespace
} // namespace tvl
