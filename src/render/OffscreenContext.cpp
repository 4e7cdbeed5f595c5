#include "render/OffscreenContext.h"

#include "render/ExtensionList.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tvl {

namespace {

// EGL keeps one display per platform and native display for the whole
// process, shared by every context made on it; eglTerminate would end it for
// all of them at once. It is therefore initialised by every create (a no-op
// once it is) and never terminated: it lives as long as the process, as the
// driver it loaded does.
bool openDisplay(EGLDisplay& display, std::string& reason)
{
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (clientExtensions == nullptr || std::strstr(clientExtensions, "EGL_MESA_platform_surfaceless") == nullptr) {
        reason = "EGL offers no surfaceless platform (EGL_MESA_platform_surfaceless)";
        return false;
    }
    display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY) {
        reason = "eglGetPlatformDisplay found no surfaceless display";
        return false;
    }
    EGLint major = 0;
    EGLint minor = 0;
    if (eglInitialize(display, &major, &minor) == EGL_FALSE) {
        char code[32];
        std::snprintf(code, sizeof code, "0x%04x", static_cast<unsigned>(eglGetError()));
        reason = std::string("eglInitialize failed with EGL error ") + code;
        return false;
    }
    return true;
}

std::string eglFailure(const char* what)
{
    char code[32];
    std::snprintf(code, sizeof code, "0x%04x", static_cast<unsigned>(eglGetError()));
    return std::string(what) + " failed with EGL error " + code;
}

} // namespace

bool hasExtension(const char* list, const char* name)
{
    if (list == nullptr)
        return false;
    const std::size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at != nullptr; at = std::strstr(at + 1, name)) {
        const bool startsWord = at == list || at[-1] == ' ';
        const bool endsWord = at[length] == ' ' || at[length] == '\0';
        if (startsWord && endsWord)
            return true;
    }
    return false;
}

namespace {

// The legacy parts of OpenGL that the layers use must be there; a core-profile
// context would answer glGenLists with an error.
bool legacyDrawingWorks()
{
    while (glGetError() != GL_NO_ERROR) { }
    const GLuint list = glGenLists(1);
    const bool works = list != 0 && glGetError() == GL_NO_ERROR;
    if (list != 0)
        glDeleteLists(list, 1);
    return works;
}

struct FramebufferFunctions {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;

    bool load()
    {
        genFramebuffers = reinterpret_cast<PFNGLGENFRAMEBUFFERSPROC>(eglGetProcAddress("glGenFramebuffers"));
        bindFramebuffer = reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(eglGetProcAddress("glBindFramebuffer"));
        genRenderbuffers = reinterpret_cast<PFNGLGENRENDERBUFFERSPROC>(eglGetProcAddress("glGenRenderbuffers"));
        bindRenderbuffer = reinterpret_cast<PFNGLBINDRENDERBUFFERPROC>(eglGetProcAddress("glBindRenderbuffer"));
        renderbufferStorage
            = reinterpret_cast<PFNGLRENDERBUFFERSTORAGEPROC>(eglGetProcAddress("glRenderbufferStorage"));
        framebufferRenderbuffer
            = reinterpret_cast<PFNGLFRAMEBUFFERRENDERBUFFERPROC>(eglGetProcAddress("glFramebufferRenderbuffer"));
        checkFramebufferStatus
            = reinterpret_cast<PFNGLCHECKFRAMEBUFFERSTATUSPROC>(eglGetProcAddress("glCheckFramebufferStatus"));
        return genFramebuffers && bindFramebuffer && genRenderbuffers && bindRenderbuffer && renderbufferStorage
            && framebufferRenderbuffer && checkFramebufferStatus;
    }
};

} // namespace

OffscreenContext::~OffscreenContext()
{
    destroy();
}

void OffscreenContext::destroy()
{
    if (display_ == nullptr)
        return;
    EGLDisplay display = display_;
    if (context_ != nullptr) {
        // The context's framebuffer object and renderbuffer go with it.
        if (eglGetCurrentContext() == context_)
            eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display, context_);
    }
    if (surface_ != nullptr)
        eglDestroySurface(display, surface_);
    display_ = nullptr;
    context_ = nullptr;
    surface_ = nullptr;
    framebuffer_ = 0;
    renderbuffer_ = 0;
    width_ = 0;
    height_ = 0;
}

bool OffscreenContext::create(int width, int height, std::string& reason, Target target)
{
    destroy();
    if (width < 1 || height < 1) {
        reason = "the offscreen buffer needs a width and height of at least 1 pixel";
        return false;
    }

    EGLDisplay display = EGL_NO_DISPLAY;
    if (!openDisplay(display, reason))
        return false;
    display_ = display;

    if (eglBindAPI(EGL_OPENGL_API) == EGL_FALSE) {
        reason = "EGL offers no desktop OpenGL: " + eglFailure("eglBindAPI(EGL_OPENGL_API)");
        destroy();
        return false;
    }

    const EGLint pbufferAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
        EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint found = 0;
    bool pbuffer = false;
    if (target != Target::FramebufferObject) {
        pbuffer = eglChooseConfig(display, pbufferAttributes, &config, 1, &found) == EGL_TRUE && found > 0;
        if (!pbuffer && target == Target::Pbuffer) {
            reason = "the surfaceless platform offers no pbuffer configuration for OpenGL";
            destroy();
            return false;
        }
        // Some drivers create a pbuffer of any size and fail, or crash, only at
        // the first draw, so the configuration's limits are checked here. A
        // framebuffer object may still reach a larger size.
        EGLint maximumWidth = 0;
        EGLint maximumHeight = 0;
        EGLint maximumPixels = 0;
        if (pbuffer) {
            eglGetConfigAttrib(display, config, EGL_MAX_PBUFFER_WIDTH, &maximumWidth);
            eglGetConfigAttrib(display, config, EGL_MAX_PBUFFER_HEIGHT, &maximumHeight);
            eglGetConfigAttrib(display, config, EGL_MAX_PBUFFER_PIXELS, &maximumPixels);
            const bool fits = width <= maximumWidth && height <= maximumHeight
                && (maximumPixels <= 0 || static_cast<long long>(width) * height <= maximumPixels);
            if (!fits && target == Target::Pbuffer) {
                reason = "a pbuffer of " + std::to_string(width) + " x " + std::to_string(height)
                    + " pixels is larger than EGL allows (" + std::to_string(maximumWidth) + " x "
                    + std::to_string(maximumHeight) + ")";
                destroy();
                return false;
            }
            pbuffer = fits;
        }
    }
    if (!pbuffer) {
        // Any configuration that renders OpenGL will do, whatever surfaces it
        // supports, since the context draws only into its framebuffer object.
        const EGLint anyAttributes[] = {EGL_SURFACE_TYPE, 0, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
        if (eglChooseConfig(display, anyAttributes, &config, 1, &found) == EGL_FALSE || found < 1) {
            if (!hasExtension(eglQueryString(display, EGL_EXTENSIONS), "EGL_KHR_no_config_context")) {
                reason = "EGL offers no configuration for OpenGL";
                destroy();
                return false;
            }
            config = EGL_NO_CONFIG_KHR;
        }
    }

    const EGLint compatibility[]
        = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, compatibility);
    if (context == EGL_NO_CONTEXT) {
        // Older drivers reject the profile attribute but give a legacy context
        // when asked for no version at all.
        const EGLint plain[] = {EGL_NONE};
        context = eglCreateContext(display, config, EGL_NO_CONTEXT, plain);
    }
    if (context == EGL_NO_CONTEXT) {
        reason = eglFailure("eglCreateContext");
        destroy();
        return false;
    }
    context_ = context;

    if (pbuffer) {
        const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
        EGLSurface surface = eglCreatePbufferSurface(display, config, size);
        if (surface == EGL_NO_SURFACE) {
            reason = eglFailure("eglCreatePbufferSurface");
            destroy();
            return false;
        }
        surface_ = surface;
    }
    if (eglMakeCurrent(display, surface_, surface_, context) == EGL_FALSE) {
        reason = eglFailure(pbuffer ? "eglMakeCurrent" : "eglMakeCurrent without a surface");
        destroy();
        return false;
    }
    if (!legacyDrawingWorks()) {
        const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        reason = std::string("the OpenGL context has no compatibility profile (") + (version ? version : "no version")
            + ")";
        destroy();
        return false;
    }

    // The viewport limit is the one every target must fit.
    GLint viewportLimit[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewportLimit);
    GLint bufferLimit = 0;
    glGetIntegerv(pbuffer ? GL_MAX_TEXTURE_SIZE : GL_MAX_RENDERBUFFER_SIZE, &bufferLimit);
    if (width > viewportLimit[0] || height > viewportLimit[1] || width > bufferLimit || height > bufferLimit) {
        reason = "an offscreen buffer of " + std::to_string(width) + " x " + std::to_string(height)
            + " pixels exceeds OpenGL's limit of " + std::to_string(std::min(viewportLimit[0], bufferLimit)) + " x "
            + std::to_string(std::min(viewportLimit[1], bufferLimit));
        destroy();
        return false;
    }

    if (!pbuffer) {
        FramebufferFunctions gl;
        if (!gl.load()) {
            reason = "OpenGL offers no framebuffer objects";
            destroy();
            return false;
        }
        GLuint framebuffer = 0;
        GLuint renderbuffer = 0;
        gl.genFramebuffers(1, &framebuffer);
        gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        gl.genRenderbuffers(1, &renderbuffer);
        gl.bindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
        gl.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffer);
        framebuffer_ = framebuffer;
        renderbuffer_ = renderbuffer;
        if (gl.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE || glGetError() != GL_NO_ERROR) {
            reason = "cannot make a " + std::to_string(width) + " x " + std::to_string(height) + " framebuffer object";
            destroy();
            return false;
        }
        glDrawBuffer(GL_COLOR_ATTACHMENT0);
        glReadBuffer(GL_COLOR_ATTACHMENT0);
    }
    glViewport(0, 0, width, height);
    width_ = width;
    height_ = height;
    return true;
}

bool OffscreenContext::makeCurrent()
{
    if (context_ == nullptr)
        return false;
    return eglMakeCurrent(display_, surface_, surface_, context_) == EGL_TRUE;
}

RgbaImage OffscreenContext::readPixels()
{
    if (!makeCurrent())
        return {};
    RgbaImage image(width_, height_);
    glFinish();
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, image.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    return image;
}

} // namespace tvl
