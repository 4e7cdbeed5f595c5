#include "view/StreamlineDrawing.h"

#include "streamlines/Integrator.h"
#include "streamlines/PointList.h"
#include "streamlines/StreamlineSet.h"

#include <GL/gl.h>

#include <span>

namespace tvl {

namespace {

void beginStreamline()
{
    glLineWidth(0.5f);
    glColor3f(1.0f, 1.0f, 1.0f);
}

void endStreamline()
{
    glLineWidth(1.0f);
}

} // namespace

void drawStrip(const Vector3* points, std::size_t count)
{
    glBegin(GL_LINE_STRIP);
    for (std::size_t i = 0; i < count; ++i)
        glVertex3f(points[i].x, points[i].y, points[i].z);
    glEnd();
    glFlush();
}

void drawStrip(const PointList& line)
{
    drawStrip(line.data(), static_cast<std::size_t>(line.count()));
}

void draw(const Integrator& integrator)
{
    beginStreamline();
    drawStrip(integrator.forwardLine());
    drawStrip(integrator.backwardLine());
    endStreamline();
}

void draw(const StreamlineSet& lines)
{
    const auto& halfLines = lines.halfLines();
    for (std::size_t k = 0; k < halfLines.size(); k += 2) {
        beginStreamline();
        for (std::size_t h = k; h < k + 2 && h < halfLines.size(); ++h) {
            const std::span<const Vector3> points = lines.pointsOf(halfLines[h]);
            drawStrip(points.data(), points.size());
        }
        endStreamline();
    }
}

} // namespace tvl
