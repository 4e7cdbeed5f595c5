#include "streamlines/RungeKutta2Integrator.h"

#include "StreamlineFlows.h"
#include "streamlines/EulerIntegrator.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tvl {
namespace {

TEST(RungeKutta2IntegratorTest, MidpointOutsideEndsTheLineWhereEulerGoesOn)
{
    FlowData flow;
    test::setUniform(flow, 51, 11, {1.0f, 0.0f, 0.0f});
    // From column 49 a step of 2 has its midpoint on column 50, outside.
    RungeKutta2Integrator midpoint(&flow);
    EulerIntegrator euler(&flow);
    for (Integrator* tracer : {static_cast<Integrator*>(&midpoint), static_cast<Integrator*>(&euler)}) {
        tracer->setParameters(TraceParameters::manualSeeding());
        tracer->setStep(2.0f);
        tracer->traceBoth({49.0f, 5.0f, 0.0f});
    }
    EXPECT_EQ(midpoint.forwardLine().count(), 1) << "a failed midpoint sample must end the line at P";
    EXPECT_EQ(midpoint.forwardLine().data()[0], (Vector3 {49.0f, 5.0f, 0.0f})) << "P must not be advanced";
    ASSERT_EQ(euler.forwardLine().count(), 2) << "Euler samples only at P and takes the step";
    EXPECT_EQ(euler.forwardLine().data()[1].x, 51.0f);
}

TEST(RungeKutta2IntegratorTest, StepUsesTheDirectionAtTheMidpoint)
{
    // Rotation about (20, 20); from (25, 20): speed 5, h = 0.5, D = (0, 1),
    // midpoint (25, 20.25), whose direction is (-0.25, 5) / |(-0.25, 5)|.
    FlowData flow;
    test::setRotation(flow, 41);
    RungeKutta2Integrator midpoint(&flow);
    midpoint.setParameters(TraceParameters::manualSeeding());
    midpoint.setMaxSteps(1);
    midpoint.traceBoth({25.0f, 20.0f, 0.0f});
    ASSERT_EQ(midpoint.forwardLine().count(), 2);
    const double length = std::sqrt(0.25 * 0.25 + 5.0 * 5.0);
    const Vector3 p = midpoint.forwardLine().data()[1];
    EXPECT_NEAR(p.x, 25.0 - 0.5 * 0.25 / length, 1e-5) << "x of the midpoint step";
    EXPECT_NEAR(p.y, 20.0 + 0.5 * 5.0 / length, 1e-5) << "y of the midpoint step";
    // Backwards the midpoint is (25, 19.75), whose direction is (0.25, 5).
    const Vector3 q = midpoint.backwardLine().data()[1];
    EXPECT_NEAR(q.x, 25.0 - 0.5 * 0.25 / length, 1e-5) << "x of the backward midpoint step";
    EXPECT_NEAR(q.y, 20.0 - 0.5 * 5.0 / length, 1e-5) << "y of the backward midpoint step";
}

} // namespace
} // namespace tvl
