#include "RenderOptions.h"

#include "transfer/TransferFunction.h"
#include "transfer/TransferPreset.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace tvl {

namespace {

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A whole decimal number in 0 .. 1000000.
bool parseCount(const std::string& text, int& value)
{
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0])))
        return false;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v > 1000000)
        return false;
    value = static_cast<int>(v);
    return true;
}

// "value:K" gives K; false for anything else.
bool parseValueNumber(const std::string& text, int& k)
{
    const std::string prefix = "value:";
    return text.compare(0, prefix.size(), prefix) == 0 && parseCount(text.substr(prefix.size()), k);
}

// "speed", "direction" or "value:K"; false (outputs untouched) for anything else.
bool parseQuantity(const std::string& text, BackgroundQuantity& quantity, int& value)
{
    const std::string name = lower(text);
    int k = 0;
    if (name == "speed") {
        quantity = BackgroundQuantity::Speed;
    } else if (name == "direction") {
        quantity = BackgroundQuantity::Direction;
    } else if (parseValueNumber(name, k)) {
        quantity = BackgroundQuantity::AdditionalValue;
        value = k;
    } else {
        return false;
    }
    return true;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::vector<std::string> splitList(const std::string& text)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos)
            return parts;
        start = comma + 1;
    }
}

} // namespace

bool parseBackgroundMode(const std::string& text, RenderSettings& settings, std::string& error)
{
    LayerSettings& layers = settings.layers;
    if (!parseQuantity(text, layers.backgroundQuantity, layers.backgroundValue)) {
        error = "background mode '" + text + "' is none of speed, direction, value:K";
        return false;
    }
    return true;
}

bool parseLineColour(const std::string& text, RenderSettings& settings, std::string& error)
{
    if (!parseQuantity(text, settings.lineQuantity, settings.lineValue)) {
        error = "streamline colour '" + text + "' is none of speed, direction, value:K";
        return false;
    }
    settings.layers.lineStyle.coloured = true;
    return true;
}

bool parseArrowCoding(const std::string& text, RenderSettings& settings, std::string& error)
{
    const std::string coding = lower(text);
    int k = 0;
    if (coding == "none") {
        settings.layers.arrowCoding = ArrowCoding::none();
    } else if (coding == "speed") {
        settings.layers.arrowCoding = ArrowCoding::speed();
    } else if (parseValueNumber(coding, k)) {
        settings.layers.arrowCoding = ArrowCoding::additionalValue(k);
    } else {
        error = "arrow coding '" + text + "' is none of none, speed, value:K";
        return false;
    }
    return true;
}

bool parseIntegrator(const std::string& text, IntegrationScheme& scheme, std::string& error)
{
    const std::string name = lower(text);
    if (name == "euler")
        scheme = IntegrationScheme::Euler;
    else if (name == "rk2")
        scheme = IntegrationScheme::RungeKutta2;
    else if (name == "rk4")
        scheme = IntegrationScheme::RungeKutta4;
    else {
        error = "integrator '" + text + "' is none of euler, rk2, rk4";
        return false;
    }
    return true;
}

bool parseTransferPreset(const std::string& text, int& preset, std::string& error)
{
    if (const std::optional<int> found = findTransferPreset(text)) {
        preset = *found;
        return true;
    }
    error = "transfer preset '" + text + "' is none of";
    for (const TransferPreset& p : kTransferPresets)
        error.append(" ").append(p.menuText);
    return false;
}

bool parseTransferPoints(
    const std::string& text, std::vector<RenderSettings::TransferPoint>& points, std::string& error)
{
    std::vector<RenderSettings::TransferPoint> parsed;
    int interior = 0;
    for (const std::string& item : splitList(text)) {
        const std::size_t colon = item.find(':');
        const std::string colour = colon == std::string::npos ? std::string() : item.substr(colon + 1);
        RenderSettings::TransferPoint point;
        char* end = nullptr;
        const std::string position = item.substr(0, colon);
        point.position = std::strtof(position.c_str(), &end);
        const bool positionOk = !position.empty() && *end == '\0' && std::isfinite(point.position)
            && point.position >= 0.0f && point.position <= 1.0f;
        bool colourOk = colour.size() == 7 && colour[0] == '#';
        for (std::size_t c = 0; colourOk && c < 3; ++c) {
            const int high = hexDigit(colour[1 + 2 * c]);
            const int low = hexDigit(colour[2 + 2 * c]);
            colourOk = high >= 0 && low >= 0;
            point.colour[c] = static_cast<unsigned char>(high * 16 + low);
        }
        if (!positionOk || !colourOk) {
            error = "transfer point '" + item + "' is not POSITION:#RRGGBB with POSITION in 0 .. 1";
            return false;
        }
        if (point.position > 0.0f && point.position < 1.0f)
            ++interior;
        parsed.push_back(point);
    }
    if (interior > TransferFunction::kMaxPoints - 2) {
        error = "a transfer function holds at most " + std::to_string(TransferFunction::kMaxPoints - 2)
            + " points between its two ends";
        return false;
    }
    points = std::move(parsed);
    return true;
}

bool parseLayers(const std::string& text, RenderSettings& settings, std::string& error)
{
    bool background = false;
    bool streamlines = false;
    bool arrows = false;
    if (lower(text) != "none") {
        for (const std::string& item : splitList(lower(text))) {
            if (item == "background")
                background = true;
            else if (item == "streamlines")
                streamlines = true;
            else if (item == "arrows")
                arrows = true;
            else {
                error = "layer '" + item + "' is none of background, streamlines, arrows";
                return false;
            }
        }
    }
    settings.layers.layers = {background, streamlines, arrows};
    return true;
}

} // namespace tvl
