#pragma once

#include <cstdint>

namespace tvl {

// Copies an RGBA image (rows bottom-up, tightly packed) pixel for pixel into
// the bound draw framebuffer at the viewport's lower left corner, through a
// texture kept between calls and a framebuffer blit. On Mesa's llvmpipe this costs clearly less
// than glDrawPixels of the same pixels, with the same pixels as the result.
//
// The texture is made on first use in the context current then and released
// with the object (which needs a context of the same share group current if
// one was made), as a DisplayList's buffers are. Framebuffer objects are not
// shared between contexts, so the one that reads the texture is made for
// each call. False, with nothing drawn and the bindings as they were, where
// the image cannot be blitted or a blit would not give glDrawPixels' pixels
// (blending, depth, alpha, stencil, logic op, fog or texturing on, or a
// multisampled framebuffer); the caller then draws it another way.
class ImageBlit {
public:
    ImageBlit() = default;
    ~ImageBlit();
    ImageBlit(const ImageBlit&) = delete;
    ImageBlit& operator=(const ImageBlit&) = delete;

    bool draw(const std::uint8_t* rgba, int width, int height);

private:
    unsigned texture_ = 0;
    int width_ = 0;
    int height_ = 0;
};

} // namespace tvl
