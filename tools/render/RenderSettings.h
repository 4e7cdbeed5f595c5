#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tvl {

// What the batch renderer draws: the canvas size, the layers and the
// settings that the window's settings pages and transfer strip would hold.
// Every default equals the window's start value.
struct RenderSettings {
    enum class BackgroundMode { Speed, Direction, AdditionalValue };

    // One control point of an explicit transfer function: position 0 .. 1
    // along the strip (0 and 1 recolour the two end points) and its colour.
    struct TransferPoint {
        float position = 0.0f;
        std::array<unsigned char, 3> colour{};
    };

    // Canvas pixels; the picture is the whole canvas, the viewport in its
    // bottom left corner.
    int width = 800;
    int height = 600;

    bool background = true;
    bool streamlines = true;
    bool arrows = true;

    BackgroundMode backgroundMode = BackgroundMode::Speed;
    int backgroundValue = 0; // additional value number for AdditionalValue

    // Colour table entries (the width of the window's transfer strip).
    int transferEntries = 256;
    // Index into the editor's presets; none: black to white, as at start.
    std::optional<int> transferPreset;
    std::vector<TransferPoint> transferPoints;

    int arrowStep = 20;   // viewport pixels between arrows
    int arrowCoding = 0;  // 0 none, 1 speed, k + 2 additional value k
    int arrowValue = 0;   // k when arrowCoding >= 2

    float dsep = 100.0f;  // slider position 10 .. 1000
    float dtest = 50.0f;  // slider position 1 .. 99
    int integrator = 0;   // 0 Euler, 1 Runge-Kutta 2, 2 Runge-Kutta 4

    // A zoom rectangle in canvas pixels (x0, y0, x1, y1; y down), applied
    // before drawing as a right-button drag would be.
    std::optional<std::array<float, 4>> zoom;
    // Streamlines seeded by hand, canvas pixels (y down), drawn on top.
    std::vector<std::array<float, 2>> seeds;
};

// Parsers for the command line's compound values. Each answers false with a
// message in error and leaves its output untouched on bad input.

// "speed", "direction" or "value:K" (K >= 0).
bool parseBackgroundMode(const std::string& text, RenderSettings& settings, std::string& error);
// "none", "speed" or "value:K" (K >= 0).
bool parseArrowCoding(const std::string& text, RenderSettings& settings, std::string& error);
// "euler", "rk2" or "rk4".
bool parseIntegrator(const std::string& text, int& integrator, std::string& error);
// A preset's menu text ("Blue-Green-Red"), any letter case.
bool parseTransferPreset(const std::string& text, int& preset, std::string& error);
// "POS:#RRGGBB[,POS:#RRGGBB...]", POS in 0 .. 1.
bool parseTransferPoints(const std::string& text, std::vector<RenderSettings::TransferPoint>& points,
                         std::string& error);
// A comma-separated subset of "background", "streamlines", "arrows", or "none".
bool parseLayers(const std::string& text, RenderSettings& settings, std::string& error);

} // namespace tvl
