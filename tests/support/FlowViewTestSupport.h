#pragma once

// The one offscreen canvas of the GL tests, with the drawing state of a fresh
// canvas, and the flows and pixel predicates they check pictures with.

#include "Pixels.h"
#include "StreamlineFlows.h"
#include "render/OffscreenContext.h"
#include "render/RgbaImage.h"
#include "view/GlState.h"

#include <GL/gl.h>

#include <cstdlib>
#include <string>

namespace tvl::test {

// A canvas-sized offscreen context, cleared to black as a canvas starts.
// The display variables are removed first: nothing here may need a window system.
class OffscreenCanvas {
public:
    bool open(int width, int height, std::string& reason,
        OffscreenContext::Target target = OffscreenContext::Target::Automatic)
    {
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        if (!context_.create(width, height, reason, target))
            return false;
        applyInitialGlState();
        glClear(GL_COLOR_BUFFER_BIT);
        return true;
    }
    void clear() { glClear(GL_COLOR_BUFFER_BIT); }
    RgbaImage read() { return context_.readPixels(); }

private:
    OffscreenContext context_;
};

} // namespace tvl::test
