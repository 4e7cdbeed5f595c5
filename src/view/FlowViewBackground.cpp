#include "view/FlowView.h"

#include "flow/FlowData.h"
#include "view/DataCoder.h"
#include "view/SpeedCoder.h"

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <typeinfo>
#include <vector>

namespace tvl {

namespace {

// Sample positions along one axis, accumulated exactly as the pixel walk
// accumulates them, with the cell and fraction that FlowData's lookups derive
// from each (inside only when 0 <= cell < samples - 1).
struct AxisSamples {
    std::vector<float> position;
    std::vector<int> cell; // -1 outside
    std::vector<float> fraction;
    std::vector<float> rest; // 1 - fraction

    AxisSamples(float start, float step, int count, int samples)
    {
        const std::size_t n = static_cast<std::size_t>(count);
        position.resize(n);
        cell.resize(n);
        fraction.resize(n);
        rest.resize(n);
        float p = start;
        for (std::size_t k = 0; k < n; ++k, p += step) {
            position[k] = p;
            cell[k] = -1;
            if (p >= -2147483648.0f && p < 2147483648.0f) {
                const int c = static_cast<int>(p);
                if (c >= 0 && c < samples - 1) {
                    cell[k] = c;
                    fraction[k] = p - static_cast<float>(c);
                    rest[k] = 1.0f - fraction[k];
                }
            }
        }
    }
};

// The speed coder's image without a virtual call per pixel. The speed is
// blended and normalised with the same single-precision operations, in the
// same order, as FlowData::speedAt and normalizeSpeed, so every pixel gets the
// same t as SpeedCoder::normalizedValue. The colour of a pixel depends on t
// only through the table index trunc(entry count × t), so the coder itself
// colours the first pixel of each index and the rest copy that colour: the
// image is byte for byte the one that colorAt per pixel gives.
void fillSpeedImage(const FlowData& flow, const DataCoder& coder, const Vector3& g0, float dx, float dy, int width,
                    int height, std::uint8_t* image)
{
    const int gridWidth = flow.getWidth();
    const AxisSamples columns(g0.x, dx, width, gridWidth);
    const AxisSamples rows(g0.y, dy, height, flow.getHeight());
    const RegularSample* samples = flow.samples().data();
    const std::size_t rowStride = static_cast<std::size_t>(gridWidth);
    const float maxSpeed = flow.getMaxSpeed();
    const int entries = coder.entryCount();
    const float entryCount = static_cast<float>(entries);

    // Colours by key: 0 no value, 1 an index outside 0 .. entries (or none at
    // all), 2 + i for index i. Filled on first use.
    const std::size_t keys = static_cast<std::size_t>(entries) + 3;
    std::vector<std::uint8_t> colours(4 * keys);
    std::vector<char> known(keys, 0);
    auto colourFor = [&](std::size_t key, float x, float y) -> const std::uint8_t* {
        std::uint8_t* colour = &colours[4 * key];
        if (!known[key]) {
            coder.colorAt(Vector3{x, y, 0.0f}, colour);
            known[key] = 1;
        }
        return colour;
    };

    std::uint8_t* pixel = image;
    for (int j = 0; j < height; ++j) {
        const std::size_t jj = static_cast<std::size_t>(j);
        const float y = rows.position[jj];
        const int row = rows.cell[jj];
        if (row < 0) {
            for (int i = 0; i < width; ++i, pixel += 4)
                std::memcpy(pixel, colourFor(0, columns.position[static_cast<std::size_t>(i)], y), 4);
            continue;
        }
        const float b = rows.fraction[jj];
        const float ib = 1.0f - b;
        const RegularSample* lower = samples + static_cast<std::size_t>(row) * rowStride;
        const RegularSample* upper = lower + rowStride;
        for (int i = 0; i < width; ++i, pixel += 4) {
            const std::size_t ii = static_cast<std::size_t>(i);
            const int column = columns.cell[ii];
            std::size_t key = 0;
            if (column >= 0) {
                const float a = columns.fraction[ii];
                const float ia = columns.rest[ii];
                const std::size_t c = static_cast<std::size_t>(column);
                const float speed =
                    (ia * lower[c].speed + a * lower[c + 1].speed) * ib + (ia * upper[c].speed + a * upper[c + 1].speed) * b;
                const float product = entryCount * (speed / maxSpeed);
                key = 1;
                if (product > -2147483648.0f && product < 2147483648.0f) {
                    const int index = static_cast<int>(product);
                    if (index >= 0 && index <= entries)
                        key = 2 + static_cast<std::size_t>(index);
                }
            }
            std::memcpy(pixel, colourFor(key, columns.position[ii], y), 4);
        }
    }
}

} // namespace

void FlowView::fillBackgroundImage(const DataCoder& coder, std::uint8_t* image) const
{
    const Vector3 g0 = flowData_->worldToGrid(regionMinimum_.x, regionMinimum_.y, regionMinimum_.z);
    const Vector3 g1 = flowData_->worldToGrid(regionMaximum_.x, regionMaximum_.y, regionMaximum_.z);
    const float dx = (g1.x - g0.x) / static_cast<float>(viewportWidth_);
    const float dy = (g1.y - g0.y) / static_cast<float>(viewportHeight_);
    if (viewportWidth_ < 1 || viewportHeight_ < 1)
        return;

    // The speed coder is the common case and the one redrawn while zooming;
    // a class derived from it may sample differently and takes the general walk.
    if (typeid(coder) == typeid(SpeedCoder) && &coder.flowData() == flowData_) {
        fillSpeedImage(*flowData_, coder, g0, dx, dy, viewportWidth_, viewportHeight_, image);
        return;
    }

    // The sample point is accumulated, not recomputed per pixel, so pixel
    // (i, j) is sampled at its lower left corner up to the rounding of the sums.
    const std::size_t rowBytes = std::size_t{4} * static_cast<std::size_t>(viewportWidth_);
    Vector3 p{g0.x, g0.y, 0.0f};
    for (int j = 0; j < viewportHeight_; ++j) {
        std::uint8_t* pixel = image + rowBytes * static_cast<std::size_t>(j);
        p.x = g0.x;
        for (int i = 0; i < viewportWidth_; ++i, pixel += 4) {
            coder.colorAt(p, pixel);
            p.x += dx;
        }
        p.y += dy;
    }
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
    } release{imageBuffer_};
    imageBuffer_ = std::make_unique_for_overwrite<std::uint8_t[]>(std::size_t{4} * static_cast<std::size_t>(imagePixelCount_));
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
    glDrawPixels(imageWidth_, imageHeight_, GL_RGBA, GL_UNSIGNED_BYTE, imageBuffer_.get());
    glFlush();
}

} // namespace tvl
