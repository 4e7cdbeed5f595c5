#include "streamlines/EulerIntegrator.h"

#include "StreamlineFlows.h"

#include <gtest/gtest.h>

namespace tvl {
namespace {

TEST(EulerIntegratorTest, UniformFlowAdvancesSpeedTimesStep)
{
    FlowData flow;
    test::setUniform(flow, 51, 11, {2.0f, 0.0f, 0.0f});
    EulerIntegrator euler(&flow);
    euler.setParameters(TraceParameters::manualSeeding());
    euler.traceBoth({10.0f, 5.0f, 0.0f});

    const PointList& forward = euler.forwardLine();
    ASSERT_GT(forward.count(), 100) << "the forward line ended early";
    for (int i = 1; i < forward.count(); ++i) {
        ASSERT_NEAR(forward.data()[i].x - forward.data()[i - 1].x, 0.2f, 1e-4f) << "forward step " << i;
        ASSERT_EQ(forward.data()[i].y, 5.0f) << "the line left its row at step " << i;
    }
    // The last point is the first one past the last sampled column.
    EXPECT_GE(forward.data()[forward.count() - 1].x, 50.0f) << "the forward line stopped inside the domain";
    EXPECT_LT(forward.data()[forward.count() - 2].x, 50.0f) << "the forward line went on outside the domain";

    const PointList& backward = euler.backwardLine();
    ASSERT_GT(backward.count(), 50) << "the backward line ended early";
    for (int i = 1; i < backward.count(); ++i)
        ASSERT_NEAR(backward.data()[i].x - backward.data()[i - 1].x, -0.2f, 1e-4f) << "backward step " << i;
    // Between -1 and 0 a coordinate still truncates to the first column.
    EXPECT_LE(backward.data()[backward.count() - 1].x, -1.0f) << "the backward line stopped inside the domain";
    EXPECT_GT(backward.data()[backward.count() - 2].x, -1.0f) << "the backward line went on outside the domain";
}

TEST(EulerIntegratorTest, StepUsesTheDirectionAtTheStartPointOnly)
{
    // Solid-body rotation about (20, 20): from (25, 20) the flow points
    // straight up, and an Euler step follows that tangent off the circle.
    FlowData flow;
    test::setRotation(flow, 41);
    EulerIntegrator euler(&flow);
    euler.setParameters(TraceParameters::manualSeeding());
    euler.setMaxSteps(1);
    euler.traceBoth({25.0f, 20.0f, 0.0f});
    ASSERT_EQ(euler.forwardLine().count(), 2);
    // speed 5 × step 0.1 = 0.5 along (0, 1).
    EXPECT_EQ(euler.forwardLine().data()[1], (Vector3 {25.0f, 20.5f, 0.0f})) << "Euler step off the tangent";
    EXPECT_EQ(euler.backwardLine().data()[1], (Vector3 {25.0f, 19.5f, 0.0f})) << "backward Euler step off the tangent";
}

} // namespace
} // namespace tvl
