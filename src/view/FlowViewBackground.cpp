#include "view/FlowView.h"

#include "flow/FlowData.h"
#include "view/DataCoder.h"

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tvl {

void FlowView::fillBackgroundImage(const DataCoder& coder, std::uint8_t* image) const
{
    const Vector3 g0 = gridRegionMinimum();
    const Vector3 g1 = gridRegionMaximum();
    const float dx = (g1.x - g0.x) / static_cast<float>(viewportWidth_);
    const float dy = (g1.y - g0.y) / static_cast<float>(viewportHeight_);
    if (viewportWidth_ < 1 || viewportHeight_ < 1)
        return;

    // The sample point is accumulated, not recomputed per pixel, so pixel
    // (i, j) is sampled at its lower left corner up to the rounding of the
    // sums; every row repeats the same sums along x.
    const auto lattice = [](float start, float step, int count) {
        std::vector<float> positions(static_cast<std::size_t>(count));
        float position = start;
        for (float& p : positions) {
            p = position;
            position += step;
        }
        return positions;
    };
    const std::vector<float> xs = lattice(g0.x, dx, viewportWidth_);
    const std::vector<float> ys = lattice(g0.y, dy, viewportHeight_);
    coder.fillImage(xs, ys, image);
}

void FlowView::drawBackground(const DataCoder& coder)
{
    imageWidth_ = viewportWidth_;
    imageHeight_ = viewportHeight_;
    const std::int64_t pixelCount = static_cast<std::int64_t>(imageWidth_) * imageHeight_;
    imagePixelCount_ = pixelCount > 0 && pixelCount <= INT32_MAX ? static_cast<int>(pixelCount) : 0;

    if (imagePixelCount_ == 0) {
        glFlush();
        return;
    }

    // The image lives for this call only, and goes whichever way the call ends.
    struct Release {
        std::unique_ptr<std::uint8_t[]>& buffer;
        ~Release() { buffer.reset(); }
    } release {imageBuffer_};
    imageBuffer_
        = std::make_unique_for_overwrite<std::uint8_t[]>(std::size_t {4} * static_cast<std::size_t>(imagePixelCount_));
    fillBackgroundImage(coder, imageBuffer_.get());

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, viewportWidth_, 0.0, viewportHeight_, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // The image's first row goes to the bottom of the viewport.
    glRasterPos3i(0, 0, 0);
    const float zoom = (static_cast<float>(viewportWidth_) / static_cast<float>(imageWidth_)
                           + static_cast<float>(viewportHeight_) / static_cast<float>(imageHeight_))
        * 0.5f;
    glPixelZoom(zoom, zoom);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // Unzoomed at the raster position (0, 0), the viewport's lower left
    // corner, glDrawPixels writes exactly the pixels the blit copies there.
    if (zoom != 1.0f || !imageBlit_.draw(imageBuffer_.get(), imageWidth_, imageHeight_))
        glDrawPixels(imageWidth_, imageHeight_, GL_RGBA, GL_UNSIGNED_BYTE, imageBuffer_.get());
    glFlush();
}

} // namespace tvl
