// tvl-render: draws a flow data set's layers into a PNG or SVG picture without
// any window or display, through the same view and layer code as the window.
#include "NetCdfCommandLine.h"
#include "RenderOptions.h"

#include "flow/AnalyticFlow.h"
#include "flow/FlowData.h"
#include "flow/LogSink.h"
#include "netcdf/NetCdfImporter.h"
#include "render/PngFile.h"
#include "render/RenderPicture.h"
#include "render/RenderSettings.h"
#include "render/RgbaImage.h"
#include "render/SvgPicture.h"
#include "view/PictureScene.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

// The text the window shows in its message box when a load fails.
constexpr const char* kLoadFailure = "Ein Fehler ist beim Laden der Flowdaten aufgetreten.";

struct CollectingLog : tvl::LogSink {
    std::vector<std::string> messages;
    void write(const std::string& message) override { messages.push_back(message); }
};

constexpr const char* kUsage = "usage: tvl-render (--demo | GRID.gri DATA.dat) -o PICTURE.png [options]";

// What went wrong while drawing or writing: exit code 1.
int fail(const std::string& message)
{
    std::fprintf(stderr, "tvl-render: %s\n", message.c_str());
    return 1;
}

// Arguments the tool cannot use: the cause, the usage line, exit code 2.
int refuse(const std::string& message)
{
    std::fprintf(stderr, "tvl-render: %s\n%s\nRun tvl-render --help for every option.\n", message.c_str(), kUsage);
    return 2;
}

// Why output cannot name the picture file, or empty when it can.
std::string outputProblem(const std::string& output)
{
    if (output.empty())
        return "no picture file given: name one with -o PICTURE.png";
    std::error_code ignored;
    if (output.back() == '/' || std::filesystem::is_directory(output, ignored))
        return "-o " + output + " names a folder: give the picture's file name, e.g. -o "
            + (output.back() == '/' ? output : output + "/") + "picture.png";
    return {};
}

// A file name ending in ".svg", any letter case, asks for a vector picture.
bool isSvgPath(const std::string& path)
{
    const std::string suffix = ".svg";
    return path.size() > suffix.size() && std::equal(suffix.rbegin(), suffix.rend(), path.rbegin(), [](char a, char b) {
        return a == std::tolower(static_cast<unsigned char>(b));
    });
}

} // namespace

int main(int argc, char** argv)
{
    tvl::RenderSettings settings;
    std::string gridFile;
    std::string dataFile;
    std::string output;
    bool demo = false;
    std::string layers = "background,streamlines,arrows";
    std::string background = "speed";
    std::string transferPreset;
    std::string transferPoints;
    std::string arrowCoding = "none";
    std::string integrator = "euler";
    std::vector<float> zoom;
    std::vector<float> seeds;
    bool normalizedStep = false;
    bool noSelfOverlap = false;
    std::string lineColour;
    tvl::NetCdfCommandLine netcdf;

    CLI::App app {"Draws the layers of a flow data set (a *.gri grid file and a *.dat data file) into a PNG\n"
                  "or SVG picture, as the window's canvas shows them after Draw: background, evenly spaced\n"
                  "streamlines, arrows, then any hand-seeded streamlines on top. Needs no display.",
        "tvl-render"};
    app.add_option("grid", gridFile, "grid file (*.gri), or a NetCDF file (*.nc) alone");
    app.add_option("data", dataFile, "data file (*.dat)");
    app.add_option("-o,--output", output,
        "picture file to write (required): SVG when its name ends in .svg, else PNG; nothing is written on "
        "failure");
    app.add_flag("--demo", demo, "draw the built-in demo data set (a double gyre with two additional values)");
    app.add_option("--width", settings.width, "canvas width in pixels")
        ->check(CLI::Range(1, 16384))
        ->capture_default_str();
    app.add_option("--height", settings.height, "canvas height in pixels")
        ->check(CLI::Range(1, 16384))
        ->capture_default_str();
    app.add_option(
           "--layers", layers, "layers to draw: a comma-separated subset of background, streamlines, arrows; or none")
        ->capture_default_str();
    app.add_option("--background", background, "background quantity: speed, direction or value:K (additional value K)")
        ->capture_default_str();
    app.add_option("--transfer-width", settings.transferEntries, "colour table entries (the transfer strip's width)")
        ->check(CLI::Range(2, 4096))
        ->capture_default_str();
    auto* preset = app.add_option("--transfer-preset", transferPreset,
        "transfer function preset: Black-White, Blue-Yellow, Blue-Green-Red, "
        "Black-Blue-Cyan, Black-Orange-Yellow (default black to white)");
    app.add_option("--transfer-points", transferPoints,
           "explicit control points POS:#RRGGBB,... with POS in 0..1; 0 and 1 recolour the end points")
        ->excludes(preset);
    app.add_option(
           "--arrow-step", settings.layers.arrowStep, "pixels between arrows (the grid resolution slider is 5..80)")
        ->check(CLI::Range(1, 1000))
        ->capture_default_str();
    app.add_option("--arrow-coding", arrowCoding, "arrow length coding: none, speed or value:K")->capture_default_str();
    app.add_option("--dsep", settings.layers.dsepPosition, "dsep slider position, 10..1000")
        ->check(CLI::Range(10.0f, 1000.0f))
        ->capture_default_str();
    app.add_option("--dtest", settings.layers.dtestPosition, "dtest slider position, 1..99")
        ->check(CLI::Range(1.0f, 99.0f))
        ->capture_default_str();
    app.add_option("--integrator", integrator, "integrator of the evenly spaced streamlines: euler, rk2, rk4")
        ->capture_default_str();
    app.add_option("--zoom", zoom, "zoom rectangle X0 Y0 X1 Y1 in canvas pixels (y down), as a right-button drag")
        ->expected(4)
        ->check(CLI::Range(-1.0e6f, 1.0e6f));
    app.add_option("--seed", seeds, "seed one streamline by hand at canvas pixel X Y (y down); repeatable")
        ->expected(2)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->check(CLI::Range(-1.0e6f, 1.0e6f));
    app.add_flag("--normalized-step", normalizedStep,
        "streamline steps relative to the data set's maximum speed, for data in physical units "
        "(the window's Extras > Schrittweite normieren)");
    app.add_flag("--no-self-overlap", noSelfOverlap,
        "end a streamline where it comes back near itself, so spirals and closed orbits are drawn once "
        "(the window's Extras > Linien nicht selbst überdecken)");
    app.add_flag("--legend", settings.legend,
        "add the colour ramp with the background quantity's lowest and highest value under the picture");
    app.add_flag("--line-arrows{" + std::to_string(tvl::StreamlineStyle::kDefaultMarkSpacing) + "}",
           settings.layers.lineStyle.markSpacing,
           "direction marks on the streamlines, one every N pixels of arc length (--line-arrows=N; "
           "default 80)")
        ->check(CLI::Range(5, 100000));
    app.add_option("--line-colour", lineColour,
        "colour the streamlines by speed, direction or value:K through the transfer function, "
        "with a dark outline");
    netcdf.addTo(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // --help comes as an exception that is no failure.
        if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success))
            return app.exit(e);
        return refuse(e.what());
    }
    settings.layers.streamlineOptions = {normalizedStep, noSelfOverlap};

    std::string error;
    if (!tvl::parseLayers(layers, settings, error) || !tvl::parseBackgroundMode(background, settings, error)
        || !tvl::parseArrowCoding(arrowCoding, settings, error)
        || !tvl::parseIntegrator(integrator, settings.layers.scheme, error))
        return refuse(error);
    if (!lineColour.empty() && !tvl::parseLineColour(lineColour, settings, error))
        return refuse(error);
    if (!transferPreset.empty()) {
        int index = 0;
        if (!tvl::parseTransferPreset(transferPreset, index, error))
            return refuse(error);
        settings.transferPreset = index;
    }
    if (!transferPoints.empty() && !tvl::parseTransferPoints(transferPoints, settings.transferPoints, error))
        return refuse(error);
    if (zoom.size() == 4)
        settings.zoom = tvl::ZoomRectangle {zoom[0], zoom[1], zoom[2], zoom[3]};
    for (std::size_t k = 0; k + 1 < seeds.size(); k += 2)
        settings.seeds.push_back({seeds[k], seeds[k + 1]});
    if (demo == (!gridFile.empty() || !dataFile.empty()))
        return refuse("give either --demo or a grid file and a data file");
    // One file alone that is not a grid file is read as NetCDF.
    const bool isNetCdf = !demo && dataFile.empty() && !gridFile.ends_with(".gri");
    if (!demo && !isNetCdf && (gridFile.empty() || dataFile.empty()))
        return refuse("a data set needs both its grid file and its data file");
    if (const std::string problem = outputProblem(output); !problem.empty())
        return refuse(problem);
    tvl::NetCdfImportOptions netcdfOptions;
    if (netcdf.given() && !isNetCdf)
        return refuse("--u, --v, --value, --index and --scale apply to a NetCDF file only");
    if (!netcdf.toOptions(netcdfOptions, error))
        return refuse("--index " + error);

    tvl::FlowData flow;
    CollectingLog log;
    flow.setLogSink(&log);
    tvl::NetCdfImporter importer;
    importer.setLogSink(&log);
    bool loaded = false;
    if (demo)
        loaded = flow.loadNodes(tvl::makeDemoFlow());
    else if (isNetCdf)
        loaded = importer.importFile(gridFile, netcdfOptions, flow);
    else
        loaded = flow.loadData(gridFile, dataFile);
    if (!loaded) {
        std::fprintf(stderr, "%s\n", kLoadFailure);
        for (const std::string& message : log.messages)
            std::fprintf(stderr, "%s\n", message.c_str());
        return 1;
    }
    // A load that succeeds may still have something to say (a data file
    // longer than its grid needs).
    if (!flow.loadNotice().empty())
        std::fprintf(stderr, "Hinweis: %s\n", flow.loadNotice().c_str());

    if (isSvgPath(output)) {
        tvl::PictureScene scene;
        if (!tvl::describePicture(flow, settings, scene, error) || !tvl::writeSvgPicture(output, scene, error))
            return fail(error);
        return 0;
    }
    tvl::RgbaImage picture;
    if (!tvl::renderPicture(flow, settings, picture, error))
        return fail(error);
    if (!tvl::writePng(output, picture, error))
        return fail(error);
    return 0;
}
