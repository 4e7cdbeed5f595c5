#include "render/Legend.h"
#include "render/PngFile.h"
#include "render/RgbaImage.h"

#include "FlowFiles.h"
#include "TempDir.h"
#include "flow/AnalyticFlow.h"
#include "flow/FlowFileWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace tvl {
namespace {

const char* const kUsage = "usage: tvl-render (--demo | GRID.gri DATA.dat) -o PICTURE.png [options]";

struct Result {
    int exitCode = -1;
    std::string err;
};

Result runTool(const test::TempDir& dir, const std::vector<std::string>& args)
{
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY '" TVL_RENDER_EXECUTABLE "'";
    for (const std::string& arg : args)
        command += " '" + arg + "'";
    command += " > /dev/null 2> '" + dir.file("stderr.txt") + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::readBytes(dir.file("stderr.txt"))};
}

RgbaImage readPicture(const std::string& path)
{
    RgbaImage image;
    std::string error;
    EXPECT_TRUE(readPng(path, image, error)) << error;
    return image;
}

TEST(TvlRenderUsage, UnusableArgumentsExit2WithTheUsageLine)
{
    test::TempDir dir;
    std::filesystem::create_directory(dir.file("pictures"));
    const struct {
        std::vector<std::string> args;
        const char* says; // what to do
    } rows[] = {
        {{"--demo"}, "name one with -o PICTURE.png"},
        {{"--demo", "-o", dir.file("pictures") + "/"}, "names a folder"},
        {{"--demo", "-o", dir.file("pictures")}, "/pictures/picture.png"},
        {{"--demo", "--bogus", "-o", dir.file("a.png")}, "--bogus"},
        {{"--demo", "-o", dir.file("a.png"), "--layers", "grid"}, "none of background, streamlines, arrows"},
        {{"-o", dir.file("a.png")}, "give either --demo or a grid file and a data file"},
        {{"--demo", "-o", dir.file("a.png"), "--dsep", "2"}, "--dsep"},
    };
    for (const auto& row : rows) {
        const Result r = runTool(dir, row.args);
        EXPECT_EQ(r.exitCode, 2) << row.args.back() << ": " << r.err;
        EXPECT_NE(r.err.find(kUsage), std::string::npos) << "no usage line: " << r.err;
        EXPECT_NE(r.err.find(row.says), std::string::npos) << "the message must say " << row.says << ": " << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir.file("a.png"))) << "nothing may be written";
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("pictures"))) << "nothing may land in the folder";
}

TEST(TvlRenderUsage, LegendAddsTheRampUnderThePicture)
{
    test::TempDir dir;
    const std::string plain = dir.file("plain.png");
    const std::string legend = dir.file("legend.png");
    const std::vector<std::string> common = {
        "--demo", "--layers", "background", "--width", "300", "--height", "200", "--transfer-preset", "Blue-Green-Red"};
    std::vector<std::string> args = common;
    args.insert(args.end(), {"-o", plain});
    ASSERT_EQ(runTool(dir, args).exitCode, 0);
    args = common;
    args.insert(args.end(), {"-o", legend, "--legend"});
    const Result r = runTool(dir, args);
    ASSERT_EQ(r.exitCode, 0) << r.err;

    const RgbaImage a = readPicture(plain);
    const RgbaImage b = readPicture(legend);
    ASSERT_EQ(b.width(), 300);
    ASSERT_EQ(b.height(), 200 + Legend::kHeight) << "the band goes under the canvas";
    EXPECT_EQ(b.pixel(150, 100 + Legend::kHeight), a.pixel(150, 100)) << "the picture itself is unchanged";
    const int rampRow = Legend::kHeight - 1 - (Legend::kRampTop + Legend::kRampHeight / 2);
    EXPECT_EQ(b.pixel(Legend::kMargin, rampRow), (std::array<std::uint8_t, 4> {0, 0, 255, 255})) << "blue low end";
    // The table's last entry stops just short of the last point's colour.
    EXPECT_GE(b.pixel(300 - Legend::kMargin - 1, rampRow)[0], 250) << "red high end";
    EXPECT_EQ(b.pixel(300 - Legend::kMargin - 1, rampRow)[2], 0) << "red high end";

    args.push_back("--background");
    args.push_back("value:5");
    EXPECT_EQ(runTool(dir, args).exitCode, 1) << "a legend of a value the data set lacks";
}

TEST(TvlRenderUsage, StreamlineOptionsChangeTheLines)
{
    // The demo's maximum speed is not 1, so relative steps differ; a flag
    // read but not passed on would leave the picture as it was.
    test::TempDir dir;
    const std::vector<std::string> common = {"--demo", "--layers", "streamlines", "--width", "300", "--height", "200"};
    std::vector<std::string> pictures;
    for (const std::vector<std::string>& flags : std::vector<std::vector<std::string>> {
             {}, {"--normalized-step"}, {"--no-self-overlap", "--seed", "150", "120"}, {"--seed", "150", "120"}}) {
        std::vector<std::string> args = common;
        args.insert(args.end(), flags.begin(), flags.end());
        pictures.push_back(dir.file("p" + std::to_string(pictures.size()) + ".png"));
        args.insert(args.end(), {"-o", pictures.back()});
        ASSERT_EQ(runTool(dir, args).exitCode, 0);
    }
    EXPECT_NE(test::readBytes(pictures[0]), test::readBytes(pictures[1])) << "--normalized-step changed nothing";
    EXPECT_NE(test::readBytes(pictures[2]), test::readBytes(pictures[3])) << "--no-self-overlap changed nothing";
}

TEST(TvlRenderUsage, DataFileOfAnotherGridLoadsWithANotice)
{
    test::TempDir dir;
    FlowSpec small;
    small.width = 8;
    small.height = 6;
    FlowSpec large = small;
    large.width = 40;
    std::string error;
    ASSERT_TRUE(writeFlowFiles(makeFlow(small), dir.file("s.gri"), dir.file("s.dat"), error)) << error;
    ASSERT_TRUE(writeFlowFiles(makeFlow(large), dir.file("l.gri"), dir.file("l.dat"), error)) << error;
    const Result r = runTool(dir, {dir.file("s.gri"), dir.file("l.dat"), "-o", dir.file("x.png")});
    EXPECT_EQ(r.exitCode, 0) << "a long data file still loads: " << r.err;
    EXPECT_NE(r.err.find("Hinweis: Die Datendatei ist länger"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("brauchen 576 Bytes, die Datei hat 2880 Bytes"), std::string::npos) << r.err;
}

} // namespace
} // namespace tvl
