#include "RenderOptions.h"

#include "Pixels.h"
#include "ToolRun.h"
#include "render/Legend.h"
#include "render/PngFile.h"
#include "render/RgbaImage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tvl {
namespace {

test::ToolRun render(std::vector<std::string> args)
{
    return test::runTool(TVL_RENDER_EXECUTABLE, args);
}

RgbaImage readPicture(const std::string& path)
{
    RgbaImage image;
    std::string error;
    EXPECT_TRUE(readPng(path, image, error)) << error;
    return image;
}

// The golden pictures parse the usual values; here are letter case, the
// numbers values turn into, and every malformed value, which changes nothing.
TEST(RenderOptions, ValuesParseInAnyCaseAndMalformedOnesChangeNothing)
{
    RenderSettings s;
    IntegrationScheme scheme = IntegrationScheme::Euler;
    int preset = -1;
    std::vector<RenderSettings::TransferPoint> points;
    std::string e;
    ASSERT_TRUE(parseBackgroundMode("Direction", s, e) && parseArrowCoding("value:1", s, e)
        && parseIntegrator("rk2", scheme, e) && parseTransferPreset("blue-green-red", preset, e)
        && parseLayers("arrows,streamlines", s, e) && parseTransferPoints("0:#000000,0.25:#FF8000", points, e)
        && parseLineColour("value:2", s, e))
        << e;
    EXPECT_EQ(s.layers.backgroundQuantity, BackgroundQuantity::Direction);
    EXPECT_EQ(s.layers.arrowCoding.listPosition(), 3) << "additional value k is list position k + 2";
    EXPECT_EQ(scheme, IntegrationScheme::RungeKutta2);
    EXPECT_EQ(preset, 2) << "presets count in menu order";
    EXPECT_EQ(s.layers.layers, (Layers {false, true, true}));
    EXPECT_TRUE(
        s.layers.lineStyle.coloured && s.lineQuantity == BackgroundQuantity::AdditionalValue && s.lineValue == 2);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[1].position, 0.25f);
    EXPECT_EQ(points[1].colour, (std::array<unsigned char, 3> {255, 128, 0}));
    for (const char* bad : {"value:", "value:-1", "value:x", "value:1.5", "pressure", ""}) {
        EXPECT_FALSE(parseBackgroundMode(bad, s, e) || parseArrowCoding(bad, s, e) || parseLayers(bad, s, e)
            || parseLineColour(bad, s, e))
            << bad;
        EXPECT_FALSE(e.empty()) << bad;
    }
    EXPECT_FALSE(parseLayers("arrows,grid", s, e) || parseIntegrator("rk3", scheme, e)
        || parseTransferPreset("Rainbow", preset, e));
    EXPECT_TRUE(s.layers.backgroundQuantity == BackgroundQuantity::Direction
        && s.layers.arrowCoding == ArrowCoding::additionalValue(1) && s.layers.layers == (Layers {false, true, true})
        && scheme == IntegrationScheme::RungeKutta2 && preset == 2 && s.lineValue == 2)
        << "a failed parse changed its output";
    for (const std::string bad : {"1.5:#000000", "-0.1:#000000", "0.5:#00000", "0.5:000000", "0.5:#00zz00", "0.5",
             "nan:#000000", ":#000000", "0.5:#000000,"}) {
        EXPECT_FALSE(parseTransferPoints(bad, points, e)) << bad;
        EXPECT_EQ(points.size(), 2u);
    }
}

// Unusable arguments end with exit code 2 and the usage line; arguments that
// parse but cannot be drawn, and files that do not load, with exit code 1.
// Either way the message says why and no file is written.
TEST(TvlRender, RefusalsSayWhyAndWriteNothing)
{
    test::TempDir dir;
    std::filesystem::create_directory(dir.file("pictures"));
    test::writeBytes(dir.file("bad.gri"), "this is no grid file");
    const std::string png = dir.file("a.png"), svg = dir.file("a.svg");
    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::string says;
    } rows[] = {
        {{"--demo"}, 2, "name one with -o PICTURE.png"},
        {{"--demo", "-o", dir.file("pictures") + "/"}, 2, "names a folder"},
        {{"--demo", "-o", dir.file("pictures")}, 2, "/pictures/picture.png"},
        {{"--demo", "--bogus", "-o", png}, 2, "--bogus"},
        {{"--demo", "-o", png, "--layers", "grid"}, 2, "none of background, streamlines, arrows"},
        {{"-o", png}, 2, "give either --demo or a grid file and a data file"},
        {{"--demo", "-o", png, dir.file("a.gri"), dir.file("a.dat")}, 2, "give either --demo or a grid file"},
        {{dir.file("only.gri"), "-o", png}, 2, "needs both its grid file and its data file"},
        {{"--demo", "-o", png, "--dsep", "2"}, 2, "--dsep: Value 2 not in range 10"},
        {{"--demo", "-o", png, "--arrow-step", "0"}, 2, "--arrow-step: Value 0 not in range 1 to 1000"},
        {{"--demo", "-o", png, "--zoom", "1", "2", "3"}, 2, "--zoom: At least 4 required but received 3"},
        {{"--demo", "-o", png, "--transfer-preset", "Rainbow"}, 2, "transfer preset 'Rainbow' is none of"},
        {{"--demo", "-o", png, "--transfer-preset", "Blue-Yellow", "--transfer-points", "0.5:#ffffff"}, 2,
            "--transfer-preset excludes --transfer-points"},
        {{"--demo", "-o", svg, "--line-arrows=3"}, 2, "--line-arrows: Value 3 not in range 5 to 100000"},
        {{"--demo", "-o", svg, "--line-colour", "rainbow"}, 2, "streamline colour 'rainbow' is none of"},
        {{"--demo", "-o", png, "--background", "value:2"}, 1, "background names additional value 2, but the data"},
        {{"--demo", "-o", png, "--arrow-coding", "value:7"}, 1, "arrow coding names additional value 7"},
        {{"--demo", "-o", svg, "--legend", "--background", "value:5"}, 1, "background names additional value 5"},
        {{"--demo", "-o", png, "--line-colour", "value:2"}, 1, "streamline colour names additional value 2"},
        {{dir.file("bad.gri"), dir.file("bad.dat"), "-o", png}, 1,
            "Ein Fehler ist beim Laden der Flowdaten aufgetreten.\n[Tavrel|FlowData|loadData]: "},
        {{"--demo", "-o", dir.file("no/such/folder/x.svg")}, 1, "no/such/folder/x.svg: No such file or directory"},
    };
    for (const auto& row : rows) {
        const test::ToolRun run = render(row.args);
        EXPECT_EQ(run.exitCode, row.exitCode) << run.err;
        EXPECT_NE(run.err.find(row.says), std::string::npos) << "must say " << row.says << ": " << run.err;
        EXPECT_EQ(run.err.find("usage: tvl-render (--demo | GRID.gri DATA.dat) -o PICTURE.png") != std::string::npos,
            row.exitCode == 2)
            << "the usage line with exit code 2 only: " << run.err;
        EXPECT_FALSE(std::filesystem::exists(png) || std::filesystem::exists(svg)) << "a file was written: " << run.err;
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("pictures"))) << "nothing may land in the folder";
    const test::ToolRun help = render({"--help"});
    EXPECT_TRUE(help.exitCode == 0 && help.out.find("--transfer-points") != std::string::npos) << help.out;
    // A data file longer than its grid needs still draws, with a notice.
    test::writeGridFile(dir.file("s.gri"), "SN4DB 2 2 1 0 0 0.0", test::rectilinearPositions({0, 1}, {0, 1}));
    test::writeDataFile(dir.file("s.dat"), std::vector<float>(15, 0.5f));
    const test::ToolRun longer = render({dir.file("s.gri"), dir.file("s.dat"), "-o", png});
    EXPECT_TRUE(longer.exitCode == 0 && longer.err.find("Hinweis: Die Datendatei ist länger") != std::string::npos
        && longer.err.find("brauchen 48 Bytes, die Datei hat 60 Bytes") != std::string::npos)
        << longer.err;
}

// Each option beyond the first program's must show in the picture; an option
// read but not passed on would leave it as it was.
TEST(TvlRender, OptionsShowInThePicture)
{
    test::TempDir dir;
    // Draws the demo (its streamlines unless the options name layers); the file written.
    const auto draw = [&](const std::string& name, std::vector<std::string> extra) {
        std::vector<std::string> args {"--demo", "--width", "400", "--height", "200"};
        if (extra.empty() || extra[0] != "--layers")
            args.insert(args.end(), {"--layers", "streamlines"});
        args.insert(args.end(), extra.begin(), extra.end());
        args.insert(args.end(), {"-o", dir.file(name)});
        const test::ToolRun run = render(args);
        EXPECT_EQ(run.exitCode, 0) << name << ": " << run.err;
        return dir.file(name);
    };
    const auto white = [](const std::string& png) { return test::countPixels(readPicture(png), test::isWhite); };
    const std::string plain = draw("plain.png", {});
    const int marks = white(draw("marks.png", {"--line-arrows"}));
    EXPECT_GT(marks, white(plain) + 500) << "--line-arrows drew no marks";
    EXPECT_GT(white(draw("dense.png", {"--line-arrows=20"})), marks + 500) << "--line-arrows=20 is no denser than 80";
    EXPECT_LT(white(draw("colour.png", {"--line-colour", "value:1"})), white(plain) / 10) << "the lines stayed white";
    // The demo's maximum speed is not 1, so relative steps differ.
    EXPECT_NE(test::readBytes(draw("normalized.png", {"--normalized-step"})), test::readBytes(plain))
        << "--normalized-step changed nothing";
    EXPECT_NE(test::readBytes(draw("seed.png", {"--seed", "150", "120"})),
        test::readBytes(draw("once.png", {"--seed", "150", "120", "--no-self-overlap"})))
        << "--no-self-overlap changed nothing";
    const std::string svg = test::readBytes(draw("figure.SVG", {"--line-arrows", "--line-colour", "speed"}));
    EXPECT_TRUE(svg.starts_with("<?xml") && svg.find("class=\"direction-marks\"") != std::string::npos
        && svg.find("class=\"line-colours\"") != std::string::npos)
        << "an SVG document by the suffix, with marks and colours";

    const std::vector<std::string> background {"--layers", "background", "--transfer-preset", "Blue-Green-Red"};
    const RgbaImage picture = readPicture(draw("picture.png", background));
    std::vector<std::string> withLegend = background;
    withLegend.push_back("--legend");
    const RgbaImage legend = readPicture(draw("legend.png", withLegend));
    // What the band shows is the legend's own test; here it must come under the picture.
    ASSERT_EQ(legend.height(), 200 + Legend::kHeight) << "the band goes under the canvas";
    EXPECT_EQ(legend.pixel(150, 100 + Legend::kHeight), picture.pixel(150, 100)) << "the picture itself is unchanged";
}

} // namespace
} // namespace tvl
