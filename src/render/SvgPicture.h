#pragma once

#include <string>

namespace tvl {

struct PictureScene;

// A described picture as an SVG document for publication, drawn as the
// raster picture draws it, in the raster picture's pixel coordinates (the
// whole canvas, origin top left, y down; one user unit is one pixel):
// - the canvas black, the background layer as one embedded PNG image over the
//   viewport;
// - every drawn streamline half-line as one <path> in a group of class
//   "streamlines": white, or for coloured lines in the outline colour at the
//   outline width, followed by a group of class "line-colours" that paints
//   the coloured lines' segments on top, one <path> per colour, each segment
//   in the colour of its first point (a colour per element, not per vertex);
// - every direction mark and every arrow as one <polygon>.
// Geometry is clipped to the viewport (arrows in depth to −1 … 1 as well),
// as OpenGL clips it, and coordinates carry at most two decimals; a segment
// that rounds to no length is left out, and a half-line left with nothing is
// not written.
//
// False, with the cause in error, only when the background cannot be encoded.
bool makeSvgPicture(const PictureScene& scene, std::string& svg, std::string& error);

// Writes the document atomically (a temporary file renamed into place): on
// failure (false, error says why) no file is left and an existing one keeps
// its contents.
bool writeSvgPicture(const std::string& path, const PictureScene& scene, std::string& error);

} // namespace tvl
