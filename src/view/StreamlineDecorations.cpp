#include "view/StreamlineDecorations.h"

#include "view/DecoratedLines.h"
#include "view/StreamlineDrawing.h"

#include <GL/gl.h>

#include <cstddef>
#include <span>

namespace tvl {

namespace {

void colour(const Rgb& c)
{
    glColor3ub(c.r, c.g, c.b);
}

// Every half-line in one colour.
void drawOutlines(const StreamlineSet& lines)
{
    colour(DecoratedLines::kOutline);
    for (const StreamlineSet::HalfLine& line : lines.halfLines()) {
        const std::span<const Vector3> points = lines.pointsOf(line);
        glBegin(GL_LINE_STRIP);
        for (const Vector3& p : points)
            glVertex3f(p.x, p.y, p.z);
        glEnd();
    }
}

void drawColouredLines(const DecoratedLines& decorated)
{
    const StreamlineSet& lines = decorated.lines;
    for (const StreamlineSet::HalfLine& line : lines.halfLines()) {
        glBegin(GL_LINE_STRIP);
        for (std::size_t i = line.first; i < line.first + line.count; ++i) {
            colour(decorated.colours[i]);
            const Vector3& p = lines.points()[i];
            glVertex3f(p.x, p.y, p.z);
        }
        glEnd();
    }
}

void drawMarks(const DecoratedLines& decorated)
{
    for (const DecoratedLines::Mark& mark : decorated.marks) {
        colour(mark.colour);
        glBegin(GL_TRIANGLES);
        for (const Vector3& p : mark.corners)
            glVertex3f(p.x, p.y, p.z);
        glEnd();
    }
    if (!decorated.isColoured())
        return;
    glLineWidth(DecoratedLines::kMarkOutlineWidth);
    colour(DecoratedLines::kOutline);
    for (const DecoratedLines::Mark& mark : decorated.marks) {
        glBegin(GL_LINE_LOOP);
        for (const Vector3& p : mark.corners)
            glVertex3f(p.x, p.y, p.z);
        glEnd();
    }
}

} // namespace

void drawDecorated(const DecoratedLines& decorated)
{
    if (decorated.isColoured()) {
        glLineWidth(DecoratedLines::kOutlineWidth);
        drawOutlines(decorated.lines);
        glLineWidth(DecoratedLines::kColouredWidth);
        drawColouredLines(decorated);
    } else {
        draw(decorated.lines);
    }
    drawMarks(decorated);
    glLineWidth(1.0f);
    glFlush();
}

} // namespace tvl
