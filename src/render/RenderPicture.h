#pragma once

#include <string>

namespace tvl {

class FlowData;
class RgbaImage;
struct PictureScene;
struct RenderSettings;

// Draws a loaded flow data set as the window's canvas would show it after a
// Draw, into a new offscreen OpenGL context of the settings' canvas size: the
// view is fitted to the canvas and reset to the whole data set; then the
// layer pipeline (clear, the zoom rectangle, background, evenly spaced
// streamlines, arrows), and the hand-seeded streamlines on top. Coloured
// streamlines code settings.lineQuantity. The picture
// is the whole canvas, opaque (the strip beside the viewport black), rows
// bottom-up; with settings.legend the legend band follows under it.
//
// False, with the cause in error and picture untouched, when no offscreen
// context can be made or a setting names an additional value the data set
// does not have.
bool renderPicture(const FlowData& flow, const RenderSettings& settings, RgbaImage& picture, std::string& error);

// The same picture described for a vector file instead of drawn; needs no
// OpenGL. False, with the cause in error and scene untouched, when a setting
// names an additional value the data set does not have.
bool describePicture(const FlowData& flow, const RenderSettings& settings, PictureScene& scene, std::string& error);

} // namespace tvl
