#pragma once

#include "flow/NodeGrid.h"

#include <string>

namespace tvl {

// Analytic 2-D flows on generated node grids, for tests, benchmarks and the
// demo data set. Positions are flow coordinates; velocities are exact values
// of the analytic field at the nodes.
enum class FlowKind { Uniform, Vortex, Saddle, DoubleGyre, ShearLayer };
// Even: rectilinear, equal spacing. Uneven: rectilinear, spacing growing
// towards the top right. Curvilinear: node rows and columns bent slightly
// (x still grows along a row and y along a column).
enum class GridKind { Even, Uneven, Curvilinear };

struct FlowSpec {
    FlowKind flow = FlowKind::Vortex;
    GridKind grid = GridKind::Even;
    int width = 64; // nodes per row, at least 2
    int height = 64; // node rows, at least 2
    int additionalCount = 0; // 0 .. 3: pressure, vorticity, stream function
    float x0 = 0.0f, y0 = 0.0f, x1 = 1.0f, y1 = 1.0f; // domain, flow coordinates
};

// Additional value names in order (the generator makes at most three).
const char* additionalValueName(int k);

bool parseFlowKind(const std::string& text, FlowKind& kind);
bool parseGridKind(const std::string& text, GridKind& kind);

NodeGrid makeFlow(const FlowSpec& spec);

// The built-in demo data set: a steady double gyre over 4 x 2 flow units on a
// mildly curvilinear 161 x 81 node grid, with pressure and vorticity as its
// two additional values.
FlowSpec demoFlowSpec();

// The demo data set itself.
NodeGrid makeDemoFlow();

} // namespace tvl
