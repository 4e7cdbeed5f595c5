#pragma once

namespace tvl {

struct DecoratedLines;

// Draws decorated streamlines into the current context, in the streamline
// projection (regular-grid index coordinates): white lines exactly as the
// plain streamline drawing does; coloured lines first every half-line in the
// outline colour at the outline width, then every half-line with its colours
// blended smoothly between the points; then the marks as filled triangles,
// coloured ones with their outline. Leaves the line width at 1.0.
void drawDecorated(const DecoratedLines& decorated);

} // namespace tvl
