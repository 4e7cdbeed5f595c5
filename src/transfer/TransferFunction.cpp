#include "TransferFunction.h"

#include "TransferPreset.h"

#include <algorithm>
#include <cassert>
#include <cstddef>

namespace tvl {

TransferFunction::TransferFunction()
{
    for (int slot = 0; slot < kMaxPoints; ++slot)
        resetSlot(slot);
}

TransferFunction::TransferFunction(const ClientRect& client)
    : TransferFunction()
{
    client_ = client;
}

const ControlPoint& TransferFunction::point(int slot) const
{
    assert(slot >= 0 && slot < kMaxPoints && "TransferFunction::point(): slot outside 0 .. 29");
    return points_[std::size_t(slot)];
}

void TransferFunction::resetSlot(int slot)
{
    points_[std::size_t(slot)] = ControlPoint {};
    points_[std::size_t(slot)].key = slot;
}

void TransferFunction::placePoint(int slot, int column)
{
    ControlPoint& p = points_[std::size_t(slot)];
    p.left = column - kHitHalfWidth;
    p.top = client_.top;
    p.right = column + kHitHalfWidth;
    p.bottom = client_.bottom;
}

void TransferFunction::ensureInitialized()
{
    if (initialized_)
        return;
    pointCount_ = 2;
    placePoint(0, 0);
    placePoint(1, client_.right);
    points_[0].red = points_[0].green = points_[0].blue = 0;
    points_[1].red = points_[1].green = points_[1].blue = 255;
    table_ = std::make_shared<ColorTable>(client_.right - client_.left);
    fillTable();
    initialized_ = true;
}

std::shared_ptr<const ColorTable> TransferFunction::colorTable()
{
    ensureInitialized();
    return table_;
}

int TransferFunction::hitTest(int x, int y)
{
    ensureInitialized();
    for (int slot = 0; slot < pointCount_; ++slot) {
        if (points_[std::size_t(slot)].contains(x, y))
            return slot;
    }
    return kNoPoint;
}

void TransferFunction::addPoint(int x, std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    ensureInitialized();
    if (pointCount_ < kMaxPoints) {
        placePoint(pointCount_, x);
        ControlPoint& p = points_[std::size_t(pointCount_)];
        p.red = red;
        p.green = green;
        p.blue = blue;
        ++pointCount_;
    }
    sortPoints();
    fillTable();
    repaint();
}

void TransferFunction::removePoint(int slot)
{
    ensureInitialized();
    if (!isLiveSlot(slot) || points_[std::size_t(slot)].isEndPoint())
        return;
    std::copy(points_.begin() + slot + 1, points_.begin() + pointCount_, points_.begin() + slot);
    for (int freed = pointCount_ - 1; freed < kMaxPoints; ++freed)
        resetSlot(freed);
    --pointCount_;
    sortPoints();
    fillTable();
    repaint();
}

void TransferFunction::movePoint(int slot, int x)
{
    ensureInitialized();
    if (!isLiveSlot(slot) || points_[std::size_t(slot)].isEndPoint())
        return;
    placePoint(slot, x);
    sortPoints();
    fillTable();
    repaint();
}

void TransferFunction::setPointColor(int slot, std::uint32_t colorRef)
{
    setPointColor(slot, rgbFromColorRef(colorRef));
}

void TransferFunction::setPointColor(int slot, Rgb colour)
{
    ensureInitialized();
    if (!isLiveSlot(slot))
        return;
    ControlPoint& p = points_[std::size_t(slot)];
    p.red = colour.r;
    p.green = colour.g;
    p.blue = colour.b;
    fillTable();
    repaint();
}

void TransferFunction::applyPreset(const Rgb* colours, int count)
{
    ensureInitialized();
    if (!colours || (count != 2 && count != 3))
        return;
    for (int slot = 0; slot < kMaxPoints; ++slot)
        resetSlot(slot);
    auto setColour = [this](int slot, Rgb colour) {
        ControlPoint& p = points_[std::size_t(slot)];
        p.red = colour.r;
        p.green = colour.g;
        p.blue = colour.b;
    };
    placePoint(0, 0);
    setColour(0, colours[0]);
    placePoint(1, client_.right);
    setColour(1, colours[count - 1]);
    if (count == 3) {
        placePoint(2, (client_.right - client_.left) / 2);
        setColour(2, colours[1]);
    }
    pointCount_ = count;
    sortPoints();
    fillTable();
    repaint();
}

void TransferFunction::applyPreset(const TransferPreset& preset)
{
    applyPreset(preset.colours.data(), preset.colourCount);
}

void TransferFunction::rebuildTable()
{
    ensureInitialized();
    fillTable();
}

void TransferFunction::sortPoints()
{
    // Stable, so points sharing a column keep the order they had: the result
    // depends only on the slots, never on the sorting routine.
    std::stable_sort(points_.begin(), points_.begin() + pointCount_,
        [](const ControlPoint& a, const ControlPoint& b) { return a.left < b.left; });
}

void TransferFunction::fillTable()
{
    // The running colour is a float so that fractional increments accumulate;
    // it is set exactly to a point's colour whenever a segment starts, so each
    // point's own column carries exactly its colour.
    //
    // Two points on one column form a segment of zero length; its increments
    // are taken as zero instead of dividing by zero. With one segment advance
    // per entry, the shared column then shows the colour of the point the
    // advance lands on: the first of the pair in sorted order, or the second
    // when the pair shares column 0 with the ramp's start point. The next entry
    // starts at the other point's colour.
    const int entries = table_->entryCount();
    std::uint8_t* out = table_->data();
    const ControlPoint* p = points_.data();
    int k = 0;
    float r = p[0].red, g = p[0].green, b = p[0].blue;
    for (int i = 0; i < entries; ++i) {
        if (k + 1 < pointCount_ && i >= p[k + 1].column()) {
            ++k;
            r = p[k].red;
            g = p[k].green;
            b = p[k].blue;
        }
        float dr = 0.0f, dg = 0.0f, db = 0.0f;
        if (k + 1 < pointCount_) {
            const int span = p[k + 1].column() - p[k].column();
            if (span > 0) {
                const float fspan = static_cast<float>(span);
                dr = static_cast<float>(int(p[k + 1].red) - int(p[k].red)) / fspan;
                dg = static_cast<float>(int(p[k + 1].green) - int(p[k].green)) / fspan;
                db = static_cast<float>(int(p[k + 1].blue) - int(p[k].blue)) / fspan;
            }
        }
        std::uint8_t* e = out + std::size_t(i) * 3;
        e[0] = static_cast<std::uint8_t>(r);
        e[1] = static_cast<std::uint8_t>(g);
        e[2] = static_cast<std::uint8_t>(b);
        r = std::clamp(r + dr, 0.0f, 255.0f);
        g = std::clamp(g + dg, 0.0f, 255.0f);
        b = std::clamp(b + db, 0.0f, 255.0f);
    }
}

void TransferFunction::repaint()
{
    if (repaint_)
        repaint_();
}

} // namespace tvl
