#pragma once

#include "flow/Vector3.h"

#include <cstddef>

namespace tvl {

class DisplayList;
class Integrator;
class PointList;
class StreamlineSet;

// How streamlines look: white line strips of width 0.5 through points in
// regular-grid index coordinates, drawn into the current context in the
// streamline projection. A strip of one point draws nothing visible.

// One GL_LINE_STRIP through the points in order (drawn from the array; fewer
// than two points draw nothing), then glFlush.
void drawStrip(const Vector3* points, std::size_t count);
void drawStrip(const PointList& line);
// Both half-lines of the integrator's last trace, forward first; leaves the
// line width at 1.0.
void draw(const Integrator& integrator);
// Every streamline of a placement in placement order, as draw() would draw
// each, without a flush between them; leaves the line width at 1.0 and the
// colour white.
void draw(const StreamlineSet& lines);
// The half-lines of lines from index first on, drawn as draw(StreamlineSet)
// draws them; answers the number of half-lines in lines, where the next
// batch of a placement that goes on begins.
std::size_t drawFrom(const StreamlineSet& lines, std::size_t first);
// The strips recorded in list, drawn as draw(StreamlineSet) draws them.
void draw(const DisplayList& list);

} // namespace tvl
