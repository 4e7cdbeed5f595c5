#include "view/FlowView.h"

#include "flow/FlowData.h"

#include <GL/gl.h>

#include <cassert>
#include <climits>
#include <cmath>
#include <utility>

namespace tvl {

namespace {

// Truncation toward zero that stays defined for every float: values beyond
// the int range saturate and NaN gives 0.
int truncToInt(float v)
{
    if (v >= 2147483648.0f)
        return INT_MAX;
    if (v <= -2147483648.0f)
        return INT_MIN;
    if (std::isnan(v))
        return 0;
    return static_cast<int>(v);
}

// The largest viewport of the aspect fraction aw : ah in a w × h canvas,
// anchored at its bottom left.
void fitViewport(int w, int h, int aw, int ah, int& viewportWidth, int& viewportHeight)
{
    const float gridRatio = static_cast<float>(aw) / static_cast<float>(ah);
    const float canvasRatio = static_cast<float>(w) / static_cast<float>(h);
    if (gridRatio > canvasRatio) {
        viewportWidth = w;
        viewportHeight = truncToInt(static_cast<float>(w) / static_cast<float>(aw) * static_cast<float>(ah));
    } else {
        viewportHeight = h;
        viewportWidth = truncToInt(static_cast<float>(h) / static_cast<float>(ah) * static_cast<float>(aw));
    }
}

// Numerator of the aspect fraction over 1000 of a region width × height. The
// int range bounds the fraction of a very flat region; 1 at the low end keeps
// a very tall one from giving a viewport of no width at all.
int aspectWidthOf(float width, float height)
{
    const double aspect = static_cast<double>(width / height) * 1000.0;
    if (aspect >= 2147483647.0)
        return INT_MAX;
    if (!(aspect >= 1.0))
        return 1;
    return static_cast<int>(aspect);
}

} // namespace

FlowView::FlowView(const FlowData* flowData)
    : streamlineLayer_(flowData)
    , flowData_(flowData)
{
    assert(flowData != nullptr && "FlowView::FlowView(): needs a flow data set");
    aspectWidth_ = flowData_->getWidth();
    aspectHeight_ = flowData_->getHeight();
    flowData_->getBounds(regionMinimum_, regionMaximum_);
}

void FlowView::setCanvasSize(int width, int height)
{
    fitViewport(width, height, aspectWidth_, aspectHeight_, viewportWidth_, viewportHeight_);
    canvasWidth_ = width;
    canvasHeight_ = height;
    streamlineLayer_.setViewportSize(viewportWidth_, viewportHeight_);
}

void FlowView::applyViewport() const
{
    glViewport(0, 0, viewportWidth_, viewportHeight_);
}

void FlowView::setWorldRegion(const Vector3& cornerA, const Vector3& cornerB)
{
    if (!std::isfinite(cornerA.x) || !std::isfinite(cornerA.y) || !std::isfinite(cornerB.x)
        || !std::isfinite(cornerB.y))
        return;
    float ax = cornerA.x;
    float ay = cornerA.y;
    float bx = cornerB.x;
    float by = cornerB.y;
    if (ax > bx)
        std::swap(ax, bx);
    if (ay > by)
        std::swap(ay, by);

    Vector3 minimum = regionMinimum_;
    Vector3 maximum = regionMaximum_;
    if (ax > minimum.x)
        minimum.x = ax;
    if (ay > minimum.y)
        minimum.y = ay;
    if (bx < maximum.x)
        maximum.x = bx;
    if (by < maximum.y)
        maximum.y = by;
    const float width = maximum.x - minimum.x;
    const float height = maximum.y - minimum.y;
    // A click without movement, a purely horizontal or vertical drag or a
    // rectangle beside the region would collapse or invert it.
    if (!(width > 0.0f) || !(height > 0.0f))
        return;

    const int aspectWidth = aspectWidthOf(width, height);
    if (canvasWidth_ > 0 && canvasHeight_ > 0) {
        int newViewportWidth = 0;
        int newViewportHeight = 0;
        fitViewport(canvasWidth_, canvasHeight_, aspectWidth, 1000, newViewportWidth, newViewportHeight);
        if (newViewportWidth < 1 || newViewportHeight < 1)
            return;
    }
    applyRegion(minimum, maximum, aspectWidth);
}

void FlowView::resetRegion()
{
    Vector3 minimum;
    Vector3 maximum;
    flowData_->getBounds(minimum, maximum);
    const float width = maximum.x - minimum.x;
    const float height = maximum.y - minimum.y;
    // A data set without extent has no aspect; it keeps the grid's fraction.
    const int aspectWidth = width > 0.0f && height > 0.0f ? aspectWidthOf(width, height) : aspectWidth_;
    applyRegion(minimum, maximum, aspectWidth);
}

void FlowView::applyRegion(const Vector3& minimum, const Vector3& maximum, int aspectWidth)
{
    regionMinimum_ = minimum;
    regionMaximum_ = maximum;
    aspectWidth_ = aspectWidth;
    aspectHeight_ = 1000;
    setCanvasSize(canvasWidth_, canvasHeight_);
    streamlineLayer_.setRegion(gridRegionMinimum(), gridRegionMaximum());
}

Vector3 FlowView::viewportToWorld(float columns, float rows) const
{
    const float x
        = regionMinimum_.x + (regionMaximum_.x - regionMinimum_.x) * columns / static_cast<float>(viewportWidth_);
    const float y
        = regionMinimum_.y + (regionMaximum_.y - regionMinimum_.y) * rows / static_cast<float>(viewportHeight_);
    return {x, y, 0.0f};
}

void FlowView::zoomToWindowRect(float x0, float y0, float x1, float y1)
{
    setRegionFromWindowRect(x0, y0, x1, y1);
    applyViewport();
}

void FlowView::setRegionFromWindowRect(float x0, float y0, float x1, float y1)
{
    // Canvas rows count from the top, the viewport sits at the canvas's bottom.
    const float canvasHeight = static_cast<float>(canvasHeight_);
    const Vector3 corner0 = viewportToWorld(std::trunc(x0), std::trunc(canvasHeight - y0));
    const Vector3 corner1 = viewportToWorld(std::trunc(x1), std::trunc(canvasHeight - y1));
    setWorldRegion(corner0, corner1);
}

Vector3 FlowView::windowToGrid(int x, int y) const
{
    const Vector3 world = viewportToWorld(static_cast<float>(x), static_cast<float>(canvasHeight_ - y));
    Vector3 grid = flowData_->worldToGrid(world.x, world.y, 0.0f);
    grid.z = 0.0f;
    return grid;
}

Vector3 FlowView::gridRegionMinimum() const
{
    return flowData_->worldToGrid(regionMinimum_.x, regionMinimum_.y, regionMinimum_.z);
}

Vector3 FlowView::gridRegionMaximum() const
{
    return flowData_->worldToGrid(regionMaximum_.x, regionMaximum_.y, regionMaximum_.z);
}

float FlowView::gridUnitsPerPixel() const
{
    const Vector3 g0 = gridRegionMinimum();
    const Vector3 g1 = gridRegionMaximum();
    return ((g1.y - g0.y) / static_cast<float>(viewportHeight_) + (g1.x - g0.x) / static_cast<float>(viewportWidth_))
        * 0.5f;
}

void FlowView::drawZoomRectangle(int x0, int y0, int x1, int y1) const
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(regionMinimum_.x, regionMaximum_.x, regionMinimum_.y, regionMaximum_.y, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (viewportWidth_ < 1 || viewportHeight_ < 1) {
        glFlush();
        return;
    }

    const Vector3 corner0 = viewportToWorld(static_cast<float>(x0), static_cast<float>(canvasHeight_ - y0));
    const Vector3 corner1 = viewportToWorld(static_cast<float>(x1), static_cast<float>(canvasHeight_ - y1));

    glColor3f(1.0f, 0.0f, 0.0f);
    glLineWidth(2.0f);
    glBegin(GL_LINE_STRIP);
    glVertex2f(corner0.x, corner0.y);
    glVertex2f(corner1.x, corner0.y);
    glVertex2f(corner1.x, corner1.y);
    glVertex2f(corner0.x, corner1.y);
    glVertex2f(corner0.x, corner0.y);
    glEnd();
    glLineWidth(1.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    glFlush();
}

} // namespace tvl
