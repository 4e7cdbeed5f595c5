#pragma once

namespace tvl {

// Sets what every canvas's OpenGL context needs and must run before the
// QApplication is created: a compatibility-profile context (the layers draw in
// immediate mode with display lists and glDrawPixels), 16 depth bits, no
// stencil, double buffered; and one share group for all contexts, so that the
// view's display list, recorded in one canvas, replays in the other.
void prepareOpenGl();

} // namespace tvl
