#include "render/PngFile.h"
#include "render/RgbaImage.h"

#include "FlowFiles.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace tvl {
namespace {

// Runs tvl-render with no display; the exit code, with its standard error in err.
int runTool(const test::TempDir& dir, const std::vector<std::string>& args, std::string& err)
{
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY '" TVL_RENDER_EXECUTABLE "'";
    for (const std::string& arg : args)
        command += " '" + arg + "'";
    command += " > /dev/null 2> '" + dir.file("stderr.txt") + "'";
    const int status = std::system(command.c_str());
    err = test::readBytes(dir.file("stderr.txt"));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int whitePixels(const std::string& path)
{
    RgbaImage image;
    std::string error;
    EXPECT_TRUE(readPng(path, image, error)) << error;
    int white = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const auto p = image.pixel(x, y);
            white += p[0] == 255 && p[1] == 255 && p[2] == 255;
        }
    return white;
}

TEST(TvlRenderExtrasCli, DrawsMarksAndColoursAndWritesSvgByTheSuffix)
{
    test::TempDir dir;
    const std::vector<std::string> base = {"--demo", "--layers", "streamlines", "--width", "400", "--height", "200"};
    std::string err;
    const auto render = [&](std::vector<std::string> extra, const std::string& file) {
        std::vector<std::string> args = base;
        args.insert(args.end(), extra.begin(), extra.end());
        args.insert(args.end(), {"-o", dir.file(file)});
        return runTool(dir, args, err);
    };
    ASSERT_EQ(render({}, "plain.png"), 0) << err;
    ASSERT_EQ(render({"--line-arrows"}, "marks.png"), 0) << err;
    ASSERT_EQ(render({"--line-arrows=20"}, "dense.png"), 0) << err;
    ASSERT_EQ(render({"--line-colour", "value:1"}, "colour.png"), 0) << err;
    const int plain = whitePixels(dir.file("plain.png"));
    const int marks = whitePixels(dir.file("marks.png"));
    EXPECT_GT(marks, plain + 500) << "--line-arrows drew no marks";
    EXPECT_GT(whitePixels(dir.file("dense.png")), marks + 500) << "--line-arrows=20 is no denser than 80";
    EXPECT_LT(whitePixels(dir.file("colour.png")), plain / 10) << "--line-colour left the lines white";

    ASSERT_EQ(render({"--line-arrows", "--line-colour", "speed"}, "figure.SVG"), 0) << err;
    const std::string svg = test::readBytes(dir.file("figure.SVG"));
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u) << "not an SVG document";
    EXPECT_NE(svg.find("class=\"direction-marks\""), std::string::npos);
    EXPECT_NE(svg.find("class=\"line-colours\""), std::string::npos);
}

TEST(TvlRenderExtrasCli, RefusesBadExtrasWithoutWritingAFile)
{
    test::TempDir dir;
    for (const std::string& output : {dir.file("p.png"), dir.file("p.svg")}) {
        for (const std::vector<std::string>& extra : {std::vector<std::string> {"--line-arrows=3"}, {"--line-arrows=x"},
                 {"--line-colour", "rainbow"}, {"--line-colour", "value:2"}}) {
            std::vector<std::string> args = {"--demo", "-o", output};
            args.insert(args.end(), extra.begin(), extra.end());
            std::string err;
            EXPECT_NE(runTool(dir, args, err), 0) << "accepted " << extra.back();
            EXPECT_FALSE(err.empty()) << "no message for " << extra.back();
            EXPECT_FALSE(std::filesystem::exists(output)) << "wrote " << output << " for " << extra.back();
        }
    }
    std::string err;
    EXPECT_NE(runTool(dir, {"--demo", "-o", dir.file("no/such/folder/p.svg")}, err), 0);
    EXPECT_NE(err.find("no/such/folder"), std::string::npos) << err;
}

} // namespace
} // namespace tvl
