#include "view/ImageBlit.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <initializer_list>

namespace tvl {

namespace {

// A blit copies colours and nothing else; glDrawPixels sends fragments
// through these stages, so with any of them on only it gives the right pixels.
// Nor may a blit write into a multisampled framebuffer.
bool blitGivesDrawPixelsResult()
{
    for (const GLenum stage :
        {GL_BLEND, GL_DEPTH_TEST, GL_ALPHA_TEST, GL_STENCIL_TEST, GL_COLOR_LOGIC_OP, GL_FOG, GL_TEXTURE_2D})
        if (glIsEnabled(stage))
            return false;
    GLint sampleBuffers = 0;
    glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    return sampleBuffers == 0;
}

} // namespace

ImageBlit::~ImageBlit()
{
    if (texture_ != 0)
        glDeleteTextures(1, &texture_);
}

bool ImageBlit::draw(const std::uint8_t* rgba, int width, int height)
{
    if (width < 1 || height < 1 || !blitGivesDrawPixelsResult())
        return false;
    GLint viewport[4] = {};
    GLint boundTexture = 0;
    GLint boundRead = 0;
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &boundRead);
    if (texture_ == 0)
        glGenTextures(1, &texture_);
    if (texture_ == 0)
        return false;
    glBindTexture(GL_TEXTURE_2D, texture_);
    // Rows are read with the caller's unpack state, as glDrawPixels would.
    if (width != width_ || height != height_) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        width_ = width;
        height_ = height;
    } else {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    }
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture_, 0);
    const bool complete = framebuffer != 0 && glCheckFramebufferStatus(GL_READ_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (complete) {
        // Where glDrawPixels at the raster position (0, 0) of an orthographic
        // projection of the viewport puts the image's first pixel.
        const GLint x = viewport[0], y = viewport[1];
        glBlitFramebuffer(0, 0, width, height, x, y, x + width, y + height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(boundRead));
    glDeleteFramebuffers(1, &framebuffer);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));
    return complete;
}

} // namespace tvl
