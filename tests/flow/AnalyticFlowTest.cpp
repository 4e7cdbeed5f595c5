#include "flow/AnalyticFlow.h"

#include "flow/FlowFileWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace tvl {
namespace {

// Node (i, j) of small grids, against the fields' formulas worked by hand:
// position, velocity, and pressure -|v|²/2, vorticity and stream function.
TEST(AnalyticFlowTest, NodesCarryTheFieldsAtTheirPositions)
{
    struct Row {
        FlowSpec spec;
        int i, j;
        float x, y, u, v, pressure, vorticity, stream;
    };
    const Row rows[] = {
        {{FlowKind::Uniform, GridKind::Even, 3, 3, 3, 0, 0, 2, 2}, 2, 1, 2, 1, 1, 0, -0.5f, 0, 0},
        {{FlowKind::Vortex, GridKind::Even, 3, 3, 3, 0, 0, 2, 2}, 2, 1, 2, 1, 0, 1, -0.5f, 2, -0.5f},
        {{FlowKind::Vortex, GridKind::Even, 3, 3, 3, 0, 0, 2, 2}, 1, 2, 1, 2, -1, 0, -0.5f, 2, -0.5f},
        {{FlowKind::Saddle, GridKind::Even, 3, 3, 3, 0, 0, 2, 2}, 2, 1, 2, 1, 1, 0, -0.5f, 0, 0},
        {{FlowKind::Saddle, GridKind::Even, 3, 3, 3, 0, 0, 2, 2}, 1, 2, 1, 2, 0, -1, -0.5f, 0, 0},
        // The double gyre of [0, 2] × [0, 1] shifted by 0.5: X = 0.5 at x = 1.
        {{FlowKind::DoubleGyre, GridKind::Even, 5, 3, 3, 0.5f, 0, 2.5f, 1}, 1, 0, 1, 0, -0.31415927f, 0, -0.049348f, 0,
            0},
        {{FlowKind::DoubleGyre, GridKind::Even, 5, 3, 3, 0.5f, 0, 2.5f, 1}, 0, 1, 0.5f, 0.5f, 0, 0.31415927f,
            -0.049348f, 0, 0},
        // The disturbance runs from the domain's left edge, here 0.25.
        {{FlowKind::ShearLayer, GridKind::Even, 9, 3, 3, 0.25f, 0, 2.25f, 1}, 1, 1, 0.5f, 0.5f, 0, 0.1f, -0.005f,
            -12.5f, 0},
        // Spacing a²/2 + a/2 along both axes; rows and columns bent by 0.02 of the span.
        {{FlowKind::Uniform, GridKind::Uneven, 3, 3, 3, 0, 0, 2, 2}, 1, 1, 0.75f, 0.75f, 1, 0, -0.5f, 0, -0.25f},
        {{FlowKind::Uniform, GridKind::Curvilinear, 3, 3, 3, 0, 0, 2, 2}, 1, 1, 1.04f, 1.04f, 1, 0, -0.5f, 0, 0.04f},
    };
    for (const Row& r : rows) {
        const NodeGrid nodes = makeFlow(r.spec);
        const float* p = &nodes.positions[3 * nodes.index(r.i, r.j)];
        const float* v = &nodes.records[nodes.recordSize() * nodes.index(r.i, r.j)];
        const float expected[] = {r.x, r.y, 0, r.u, r.v, 0, r.pressure, r.vorticity, r.stream};
        const float actual[] = {p[0], p[1], p[2], v[0], v[1], v[2], v[3], v[4], v[5]};
        for (int k = 0; k < 9; ++k)
            EXPECT_NEAR(actual[k], expected[k], 1e-5f) << "row " << &r - rows << ", component " << k;
    }
    // A grid file that cannot be created, or not written (a full disk), fails the pair.
    std::string error;
    for (const std::string grid : {"/no/such/folder/f.gri", "/dev/full"}) {
        EXPECT_FALSE(writeFlowFiles(makeFlow(FlowSpec {}), grid, "/no/such/folder/f.dat", error)) << grid;
        EXPECT_NE(error.find(grid), std::string::npos) << error;
    }
}

} // namespace
} // namespace tvl
