#pragma once

#include "render/RenderSettings.h"

#include <string>
#include <vector>

namespace tvl {

// Parsers for the command line's compound values. Each answers false with a
// message in error and leaves its output untouched on bad input.

// "speed", "direction" or "value:K" (K >= 0).
bool parseBackgroundMode(const std::string& text, RenderSettings& settings, std::string& error);
// "speed", "direction" or "value:K" (K >= 0): the quantity coloured
// streamlines code; turns the colouring on.
bool parseLineColour(const std::string& text, RenderSettings& settings, std::string& error);
// "none", "speed" or "value:K" (K >= 0).
bool parseArrowCoding(const std::string& text, RenderSettings& settings, std::string& error);
// "euler", "rk2" or "rk4".
bool parseIntegrator(const std::string& text, IntegrationScheme& scheme, std::string& error);
// A preset's menu text ("Blue-Green-Red"), any letter case.
bool parseTransferPreset(const std::string& text, int& preset, std::string& error);
// "POS:#RRGGBB[,POS:#RRGGBB...]", POS in 0 .. 1.
bool parseTransferPoints(
    const std::string& text, std::vector<RenderSettings::TransferPoint>& points, std::string& error);
// A comma-separated subset of "background", "streamlines", "arrows", or "none".
bool parseLayers(const std::string& text, RenderSettings& settings, std::string& error);

} // namespace tvl
