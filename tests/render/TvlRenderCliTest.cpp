#include "render/PngFile.h"
#include "render/RgbaImage.h"

#include "FlowFiles.h"
#include "Pixels.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace tvl {
namespace {

const std::string kLoadFailure = "Ein Fehler ist beim Laden der Flowdaten aufgetreten.";

// Runs tvl-render without a display; its exit code, and its output streams in
// out and err.
int run(const test::TempDir& dir, const std::vector<std::string>& args, std::string& out, std::string& err)
{
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY '" TVL_RENDER_EXECUTABLE "'";
    for (const std::string& arg : args)
        command += " '" + arg + "'";
    const int status = std::system((command + " > '" + dir.file("out") + "' 2> '" + dir.file("err") + "'").c_str());
    out = test::readBytes(dir.file("out"));
    err = test::readBytes(dir.file("err"));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(TvlRenderCli, DrawsTheDemoWithAllThreeLayersAndExplainsItself)
{
    test::TempDir dir;
    std::string out, err, error;
    ASSERT_EQ(run(dir,
                  {"--demo", "-o", dir.file("d.png"), "--height", "300", "--transfer-preset", "Blue-Green-Red",
                      "--width", "400"},
                  out, err),
        0)
        << err;
    RgbaImage image;
    ASSERT_TRUE(readPng(dir.file("d.png"), image, error)) << error;
    ASSERT_EQ(image.width() * 1000 + image.height(), 400300);
    // The 2 : 1 demo fills a 400 × 200 viewport at the bottom, less the band
    // of the last sample column and row; above it the canvas stays black.
    EXPECT_GT(test::countPixels(image, test::isArrowColour, 0, 0, 396, 196), 400) << "arrows";
    EXPECT_GT(test::countPixels(image, test::isWhite, 0, 0, 396, 196), 1000) << "streamlines";
    EXPECT_EQ(test::countPixels(image, test::isBlack, 0, 0, 396, 196), 0) << "background";
    EXPECT_EQ(test::countPixels(image, test::isBlack, 0, 200, 400, 300), 400 * 100) << "the strip above";
    ASSERT_EQ(run(dir, {"--help"}, out, err), 0);
    for (const char* option :
        {"--demo", "--output", "--layers", "--background", "--transfer-preset", "--transfer-points", "--arrow-step",
            "--arrow-coding", "--dsep", "--dtest", "--integrator", "--zoom", "--seed", "--width", "--height"})
        EXPECT_NE(out.find(option), std::string::npos) << "--help does not mention " << option;
}

TEST(TvlRenderCli, FailuresSayWhyAndWriteNothing)
{
    test::TempDir dir;
    const std::string picture = dir.file("p.png");
    test::writeBytes(dir.file("bad.gri"), "this is no grid file");
    test::writeBytes(dir.file("bad.dat"), "nor is this a data file");
    std::string out, err;
    for (const std::string stem : {"bad", "missing"}) {
        EXPECT_NE(run(dir, {dir.file(stem + ".gri"), dir.file(stem + ".dat"), "-o", picture}, out, err), 0);
        EXPECT_NE(err.find(kLoadFailure), std::string::npos) << err;
        EXPECT_NE(err.find("[Tavrel|FlowData|loadData"), std::string::npos) << "the logged cause: " << err;
    }
    const std::vector<std::vector<std::string>> refused = {{"--arrow-step", "0"}, {"--background", "value:2"},
        {"--arrow-coding", "value:7"}, {"--layers", "arrows,grid"}, {"--width", "0"}, {"--dsep", "5"},
        {"--transfer-preset", "Rainbow"}, {"--transfer-preset", "Blue-Yellow", "--transfer-points", "0.5:#ffffff"},
        {"--zoom", "1", "2", "3"}, {dir.file("a.gri"), dir.file("a.dat")}};
    for (std::vector<std::string> args : refused) {
        args.insert(args.begin(), {"--demo", "-o", picture});
        EXPECT_NE(run(dir, args, out, err), 0) << "accepted " << args[3];
        EXPECT_FALSE(err.empty()) << "no message for " << args[3];
    }
    EXPECT_NE(run(dir, {dir.file("only.gri"), "-o", picture}, out, err), 0);
    EXPECT_NE(run(dir, {"--demo"}, out, err), 0) << "no output file";
    EXPECT_FALSE(std::filesystem::exists(picture)) << "a failed run wrote a picture";
    EXPECT_NE(run(dir, {"--demo", "-o", dir.file("no/such/folder/x.png")}, out, err), 0);
    EXPECT_NE(err.find("no/such/folder"), std::string::npos) << err;
}

} // namespace
} // namespace tvl
