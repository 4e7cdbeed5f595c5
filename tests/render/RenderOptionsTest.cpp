#include "RenderOptions.h"

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

// Runs tvl-render without a display: its exit code, its output in out and err.
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
        && parseLayers("arrows,streamlines", s, e) && parseTransferPoints("0:#000000,0.25:#FF8000", points, e))
        << e;
    EXPECT_EQ(s.layers.backgroundQuantity, BackgroundQuantity::Direction);
    EXPECT_EQ(s.layers.arrowCoding.listPosition(), 3) << "additional value k is list position k + 2";
    EXPECT_EQ(scheme, IntegrationScheme::RungeKutta2);
    EXPECT_EQ(preset, 2) << "presets count in menu order";
    EXPECT_EQ(s.layers.layers, (Layers {false, true, true}));
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[1].position, 0.25f);
    EXPECT_EQ(points[1].colour, (std::array<unsigned char, 3> {255, 128, 0}));
    for (const char* bad : {"value:", "value:-1", "value:x", "value:1.5", "pressure", ""}) {
        EXPECT_FALSE(parseBackgroundMode(bad, s, e) || parseArrowCoding(bad, s, e) || parseLayers(bad, s, e)) << bad;
        EXPECT_FALSE(e.empty()) << bad;
    }
    EXPECT_FALSE(parseLayers("arrows,grid", s, e) || parseIntegrator("rk3", scheme, e)
        || parseTransferPreset("Rainbow", preset, e));
    EXPECT_TRUE(s.layers.backgroundQuantity == BackgroundQuantity::Direction
        && s.layers.arrowCoding == ArrowCoding::additionalValue(1) && s.layers.layers == (Layers {false, true, true})
        && scheme == IntegrationScheme::RungeKutta2 && preset == 2)
        << "a failed parse changed its output";
    for (const std::string bad : {"1.5:#000000", "-0.1:#000000", "0.5:#00000", "0.5:000000", "0.5:#00zz00", "0.5",
             "nan:#000000", ":#000000", "0.5:#000000,"}) {
        EXPECT_FALSE(parseTransferPoints(bad, points, e)) << bad;
        EXPECT_EQ(points.size(), 2u);
    }
}

// The golden pictures run every drawing option; here are the failures.
TEST(RenderOptions, TvlRenderFailuresSayWhyAndWriteNothing)
{
    test::TempDir dir;
    const std::string picture = dir.file("p.png");
    test::writeBytes(dir.file("bad.gri"), "this is no grid file");
    test::writeBytes(dir.file("bad.dat"), "nor is this a data file");
    std::string out, err;
    for (const std::string stem : {"bad", "missing"}) {
        EXPECT_NE(run(dir, {dir.file(stem + ".gri"), dir.file(stem + ".dat"), "-o", picture}, out, err), 0);
        EXPECT_NE(err.find("Ein Fehler ist beim Laden der Flowdaten aufgetreten."), std::string::npos) << err;
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
    EXPECT_TRUE(run(dir, {"--help"}, out, err) == 0 && out.find("--transfer-points") != std::string::npos);
}

} // namespace
} // namespace tvl
