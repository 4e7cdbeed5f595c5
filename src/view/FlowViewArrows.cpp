#include "view/FlowView.h"

#include "flow/FlowData.h"

#include <GL/gl.h>

#include <climits>
#include <cmath>
#include <vector>

namespace tvl {

float FlowView::arrowLengthFactor(const Vector3& point, const ArrowCoding& coding) const
{
    float c = kUncodedArrowFactor;
    if (coding.kind == ArrowCoding::Kind::Speed) {
        // Outside the sampled domain the speed stays 0; no arrow is drawn there.
        float speed = 0.0f;
        flowData_->speedAt(point, speed);
        c = flowData_->normalizeSpeed(speed);
    } else if (coding.kind == ArrowCoding::Kind::AdditionalValue && coding.value >= 0
        && coding.value < ArrowCoding::kCodedValues) {
        c = flowData_->normalizeAdditionalValue(coding.value, flowData_->additionalValueAt(point, coding.value));
    }
    return std::isfinite(c) ? c : kUncodedArrowFactor;
}

void FlowView::forEachArrow(int step, const ArrowCoding& coding, const ArrowVisitor& visit) const
{
    const Vector3 g0 = gridRegionMinimum();
    const Vector3 g1 = gridRegionMaximum();
    const float stepPixels = static_cast<float>(step);
    const float dx = (g1.x - g0.x) / static_cast<float>(viewportWidth_) * stepPixels;
    const float dy = (g1.y - g0.y) / static_cast<float>(viewportHeight_) * stepPixels;
    // A step below 1 would never leave the first row.
    if (viewportHeight_ < 1 || step < 1)
        return;

    // The first arrow sits on the region's lower left corner; the lattice
    // point is the arrow's midpoint.
    Vector3 p {g0.x, g0.y, 0.0f};
    for (int j = 0; j < viewportHeight_; j += step) {
        p.x = g0.x;
        for (int i = 0; i < viewportWidth_; i += step, p.x += dx) {
            const float c = arrowLengthFactor(p, coding);
            Vector3 d;
            if (!flowData_->directionAt(p, d))
                continue;
            const float halfLength = (dx + dy) * c * 0.25f;
            const Vector3 v = halfLength * d;
            const Vector3 tip = p + v;
            const Vector3 base = p - v;
            const float halfBase = 0.75f * c * 0.5f;
            const Vector3 w {halfBase * v.y, halfBase * -v.x, halfBase * v.z};
            const Vector3 left = base - w;
            const Vector3 right = base + w;
            // A zero velocity has no direction (NaN) and a huge factor may
            // overflow; neither may reach a picture.
            if (!tip.isFinite() || !left.isFinite() || !right.isFinite())
                continue;
            visit(tip, left, right);
        }
        p.y += dy;
    }
}

void FlowView::drawArrowPlot(int step, const ArrowCoding& coding) const
{
    // Arrows and streamlines share the region's projection in regular-grid
    // coordinates.
    setStreamlineProjection();
    glColor3f(1.0f, 1.0f, 1.0f);
    // All arrows share one colour, so they go to GL as one array of
    // triangles.
    std::vector<Vector3> corners;
    if (step >= 1)
        corners.reserve(3 * static_cast<std::size_t>((viewportWidth_ + step - 1) / step)
            * static_cast<std::size_t>((viewportHeight_ + step - 1) / step));
    forEachArrow(step, coding, [&corners](const Vector3& tip, const Vector3& left, const Vector3& right) {
        corners.insert(corners.end(), {tip, left, right});
    });
    if (!corners.empty() && corners.size() <= static_cast<std::size_t>(INT_MAX)) {
        glColor3f(kArrowColour[0], kArrowColour[1], kArrowColour[2]);
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, sizeof(Vector3), corners.data());
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(corners.size()));
        glDisableClientState(GL_VERTEX_ARRAY);
    }
    glFlush();
}

} // namespace tvl
