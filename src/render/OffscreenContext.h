#pragma once

#include "render/RgbaImage.h"

#include <string>

namespace tvl {

// An OpenGL context that draws into an offscreen colour buffer of a fixed size,
// with no display and no window system: EGL on Mesa's surfaceless platform,
// desktop OpenGL in the compatibility profile, so immediate mode, display lists
// and glDrawPixels work as in a window. The buffer is an EGL pbuffer when the
// platform offers one, otherwise a framebuffer object bound in a surfaceless
// context; either way it has 8 bits per channel including alpha and no depth or
// stencil buffer, and the GL viewport starts as the whole buffer.
//
// Only one thread may use an object. The context stays current on that thread
// until another context is made current or the object goes.
class OffscreenContext {
public:
    enum class Target {
        Automatic, // a pbuffer when one of the size is available, else a framebuffer object
        Pbuffer, // fail when the platform offers no pbuffer
        FramebufferObject // always a framebuffer object
    };

    OffscreenContext() = default;
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    // Creates the context with a colour buffer of width × height pixels (both at
    // least 1) and makes it current. False, with a readable cause in reason,
    // when anything is missing (no EGL, no surfaceless platform, no desktop GL,
    // no compatibility profile, no buffer of that size); the object then holds
    // nothing and may be asked to create again. A second successful create
    // replaces the first context.
    bool create(int width, int height, std::string& reason, Target target = Target::Automatic);

    bool isValid() const { return context_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    bool usesPbuffer() const { return surface_ != nullptr; }

    // Makes this context current on the calling thread; false when there is none.
    bool makeCurrent();

    // The colour buffer after all drawing has finished (glFinish): RGBA bytes,
    // rows bottom-up (row 0 is the bottom row, as in viewport pixels). Makes
    // the context current first. Empty when there is no context.
    RgbaImage readPixels();

private:
    void destroy();

    void* display_ = nullptr; // EGLDisplay
    void* context_ = nullptr; // EGLContext
    void* surface_ = nullptr; // EGLSurface of the pbuffer, null with a framebuffer object
    unsigned framebuffer_ = 0;
    unsigned renderbuffer_ = 0;
    int width_ = 0;
    int height_ = 0;
};

} // namespace tvl
