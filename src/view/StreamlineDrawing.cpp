#include "view/StreamlineDrawing.h"

#include "streamlines/Integrator.h"
#include "streamlines/PointList.h"
#include "streamlines/StreamlineSet.h"
#include "view/DisplayList.h"

#include <GL/gl.h>

#include <climits>

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

// Strips go to GL from the point arrays themselves, one call per strip
// instead of one per vertex. GL reads a client array during the call (and a
// display list being compiled copies it), so the array is enabled only while
// the strips are drawn.
class VertexArray {
public:
    VertexArray() { glEnableClientState(GL_VERTEX_ARRAY); }
    ~VertexArray() { glDisableClientState(GL_VERTEX_ARRAY); }
    VertexArray(const VertexArray&) = delete;
    VertexArray& operator=(const VertexArray&) = delete;

    // A strip of one point lights nothing, and GL draws none of fewer than two.
    void strip(const Vector3* points, std::size_t count) const
    {
        if (count < 2 || count > static_cast<std::size_t>(INT_MAX))
            return;
        glVertexPointer(3, GL_FLOAT, sizeof(Vector3), points);
        glDrawArrays(GL_LINE_STRIP, 0, static_cast<GLsizei>(count));
    }
};

} // namespace

void drawStrip(const Vector3* points, std::size_t count)
{
    VertexArray().strip(points, count);
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
    drawFrom(lines, 0);
}

std::size_t drawFrom(const StreamlineSet& lines, std::size_t first)
{
    // Every half-line is white at the same width: one state change for all
    // of them, drawn in placement order without a flush between strips.
    const std::vector<StreamlineSet::HalfLine>& halfLines = lines.halfLines();
    if (first >= halfLines.size())
        return halfLines.size();
    beginStreamline();
    {
        const VertexArray array;
        for (std::size_t k = first; k < halfLines.size(); ++k) {
            const std::span<const Vector3> points = lines.pointsOf(halfLines[k]);
            array.strip(points.data(), points.size());
        }
    }
    endStreamline();
    return halfLines.size();
}

void draw(const DisplayList& list)
{
    beginStreamline();
    list.call();
    endStreamline();
}

} // namespace tvl
