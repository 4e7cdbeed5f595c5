#pragma once

namespace tvl {

// The state every drawing context starts from, as a canvas sets it up when it
// is created: smooth shading, black clear colour, depth 1, nicest perspective
// hint. The window's canvases, the offscreen pictures and the tests share it.
void applyInitialGlState();

} // namespace tvl
