#include "streamlines/RungeKutta4Integrator.h"

#include "StreamlineFlows.h"
#include "streamlines/EulerIntegrator.h"
#include "streamlines/RungeKutta2Integrator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace tvl {
namespace {

double radiusAbout20(const Vector3& p)
{
    return std::hypot(static_cast<double>(p.x) - 20.0, static_cast<double>(p.y) - 20.0);
}

// Largest deviation from radius r over a line.
double radialError(const PointList& line, double r)
{
    double worst = 0.0;
    for (int i = 0; i < line.count(); ++i)
        worst = std::max(worst, std::abs(radiusAbout20(line.data()[i]) - r));
    return worst;
}

TEST(RungeKutta4IntegratorTest, LastIntermediateSampleOutsideEndsTheLine)
{
    // From column 49 with h = 1.2 the half-step samples lie on 49.6 (inside),
    // the full-step sample on 50.2 (outside).
    FlowData flow;
    test::setUniform(flow, 51, 11, {1.0f, 0.0f, 0.0f});
    RungeKutta4Integrator classic(&flow);
    RungeKutta2Integrator midpoint(&flow);
    for (Integrator* tracer : {static_cast<Integrator*>(&classic), static_cast<Integrator*>(&midpoint)}) {
        tracer->setParameters(TraceParameters::manualSeeding());
        tracer->setStep(1.2f);
        tracer->traceBoth({49.0f, 5.0f, 0.0f});
    }
    EXPECT_EQ(classic.forwardLine().count(), 1) << "a failed fourth sample must end the line at P";
    EXPECT_EQ(midpoint.forwardLine().count(), 2) << "the midpoint scheme never samples at 50.2";
}

TEST(RungeKutta4IntegratorTest, SpeedIsSampledAtTheStartPointOnly)
{
    // Direction +x everywhere, speed 1 + column: each step is the speed at
    // its start point times the step; resampling the speed inside the step
    // would make it longer.
    FlowData flow;
    test::setField(flow, 41, 5, [](int c, int) { return Vector3 {1.0f + static_cast<float>(c), 0.0f, 0.0f}; });
    RungeKutta4Integrator classic(&flow);
    classic.setParameters(TraceParameters::manualSeeding());
    classic.setMaxSteps(2);
    classic.traceBoth({10.0f, 2.0f, 0.0f});
    ASSERT_EQ(classic.forwardLine().count(), 3);
    EXPECT_NEAR(classic.forwardLine().data()[1].x, 11.1f, 2e-5f) << "first step must be 11 × 0.1";
    EXPECT_NEAR(classic.forwardLine().data()[2].x, 12.31f, 2e-5f) << "second step must be 12.1 × 0.1";
    EXPECT_NEAR(classic.backwardLine().data()[1].x, 8.9f, 2e-5f) << "backward step must be 11 × 0.1";
}

TEST(RungeKutta4IntegratorTest, SolidBodyRotationStaysOnItsCircle)
{
    // Radius 10 about (20, 20), manual parameters: the speed is the radius, so
    // each step turns by about 0.1 rad and 189 steps go three times round.
    // The velocity field is linear, so bilinear blending reproduces it up to
    // rounding; the scheme's own radial error per step is about r θ⁶ / 144,
    // 7e-8 here, 1.3e-5 over three turns. Rounding of coordinates near 30
    // (ulp 1.9e-6, a few roundings per step) adds up like a random walk,
    // √189 × 4e-6 ≈ 5e-5. Hence 1e-4; Euler is off by 10 here.
    FlowData flow;
    test::setRotation(flow, 41);
    RungeKutta4Integrator classic(&flow);
    classic.setParameters(TraceParameters::manualSeeding());
    classic.setMaxSteps(189);
    classic.traceBoth({30.0f, 20.0f, 0.0f});
    ASSERT_EQ(classic.forwardLine().count(), 190) << "the circle must not leave the domain";
    ASSERT_EQ(classic.backwardLine().count(), 190) << "the circle must not leave the domain";
    EXPECT_LT(radialError(classic.forwardLine(), 10.0), 1e-4) << "fourth-order trace left the circle";
    EXPECT_LT(radialError(classic.backwardLine(), 10.0), 1e-4) << "backward fourth-order trace left the circle";

    // The line closes: after about one turn it passes the seed again, within
    // half a step of 1 grid unit.
    double closest = 1e9;
    for (int i = 50; i < 75; ++i) {
        const Vector3 p = classic.forwardLine().data()[i];
        closest = std::min(closest, std::hypot(p.x - 30.0, p.y - 20.0));
    }
    EXPECT_LT(closest, 0.5) << "one turn did not come back to the seed";

    // The same settings spiral outwards with Euler (factor √1.01 per step).
    EulerIntegrator euler(&flow);
    euler.setParameters(TraceParameters::manualSeeding());
    euler.setMaxSteps(189);
    euler.traceBoth({30.0f, 20.0f, 0.0f});
    EXPECT_GT(radialError(euler.forwardLine(), 10.0), 0.1) << "the circle test cannot tell the schemes apart";
}

} // namespace
} // namespace tvl
