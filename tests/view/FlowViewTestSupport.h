#pragma once

// Shared by the FlowView GL tests: regular-grid flows built directly and an
// offscreen canvas with the drawing state of a fresh canvas.

#include "RegularGrids.h"
#include "flow/FlowData.h"
#include "flow/RegularSample.h"
#include "flow/Vector3.h"
#include "render/OffscreenContext.h"
#include "render/RgbaImage.h"
#include "view/GlState.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace tvl::test {

// width × height samples of one velocity, bounding box minimum..maximum.
inline void setUniformFlow(FlowData& flow, int width, int height, float vx, float vy, Vector3 minimum, Vector3 maximum)
{
    const float speed = std::sqrt(vx * vx + vy * vy);
    std::vector<RegularSample> samples(
        static_cast<std::size_t>(width) * static_cast<std::size_t>(height), RegularSample {vx, vy, 0.0f, speed});
    tvl::test::setRegularGrid(flow, width, height, 0, std::move(samples), {}, minimum, maximum);
}

// A canvas-sized offscreen context, cleared to black as a canvas starts.
// The display variables are removed first: nothing here may need a window system.
class OffscreenCanvas {
public:
    bool open(int width, int height, std::string& reason)
    {
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        if (!context_.create(width, height, reason))
            return false;
        applyInitialGlState();
        glClear(GL_COLOR_BUFFER_BIT);
        return true;
    }
    void clear() { glClear(GL_COLOR_BUFFER_BIT); }
    RgbaImage read() { return context_.readPixels(); }
    OffscreenContext& context() { return context_; }

private:
    OffscreenContext context_;
};

inline bool isBlack(const std::array<std::uint8_t, 4>& p)
{
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}
inline bool isWhite(const std::array<std::uint8_t, 4>& p)
{
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
}
inline bool isRed(const std::array<std::uint8_t, 4>& p)
{
    return p[0] == 255 && p[1] == 0 && p[2] == 0;
}
// The arrows' colour (1.0, 0.7, 0.7).
inline bool isPink(const std::array<std::uint8_t, 4>& p)
{
    return p[0] == 255 && std::abs(p[1] - 178) <= 1 && std::abs(p[2] - 178) <= 1;
}

} // namespace tvl::test
