#include "streamlines/Integrator.h"

#include "StreamlineFlows.h"
#include "streamlines/EulerIntegrator.h"
#include "streamlines/IntegrationScheme.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

namespace tvl {
namespace {

constexpr float kFloatMax = std::numeric_limits<float>::max();

// A layer stand-in that rejects every point right of a column and counts.
struct ColumnLimit : SeparationTest {
    float limit = 0.0f;
    mutable int calls = 0;
    bool isFarEnough(const Vector3& point) const override
    {
        ++calls;
        return point.x <= limit;
    }
};

bool allFinite(const PointList& line)
{
    for (int i = 0; i < line.count(); ++i) {
        const Vector3& p = line.data()[i];
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
            return false;
    }
    return true;
}

// Every scheme shares the tracing loop; the stop conditions are checked for
// each of them.
class TracingLoopTest : public ::testing::TestWithParam<int> {
protected:
    std::unique_ptr<LayerIntegrator> integrator(const FlowData& flow)
    {
        return makeIntegrator(integrationSchemeFromIndex(GetParam()), &flow);
    }
};

TEST_P(TracingLoopTest, ZeroSpeedSeedGivesTheSeedAlone)
{
    FlowData flow;
    test::setUniform(flow, 11, 11, {0.0f, 0.0f, 0.0f});
    auto tracer = integrator(flow);
    tracer->setParameters(TraceParameters::manualSeeding());
    tracer->traceBoth({4.5f, 4.5f, 0.0f});
    // Zero velocity gives a NaN direction but the speed test stops first.
    ASSERT_EQ(tracer->forwardLine().count(), 1) << "a zero-speed seed must not move forwards";
    ASSERT_EQ(tracer->backwardLine().count(), 1) << "a zero-speed seed must not move backwards";
    EXPECT_EQ(tracer->forwardLine().data()[0], (Vector3 {4.5f, 4.5f, 0.0f})) << "the line must hold the seed";
    EXPECT_EQ(tracer->backwardLine().data()[0], (Vector3 {4.5f, 4.5f, 0.0f})) << "the line must hold the seed";
}

TEST_P(TracingLoopTest, SeedOutsideTheDomainGivesTheSeedAlone)
{
    FlowData flow;
    test::setUniform(flow, 11, 11, {1.0f, 0.0f, 0.0f});
    auto tracer = integrator(flow);
    tracer->setParameters(TraceParameters::manualSeeding());
    for (const Vector3 seed : {Vector3 {10.0f, 5.0f, 0.0f}, Vector3 {-1.0f, 5.0f, 0.0f}, Vector3 {3.0f, 42.0f, 0.0f}}) {
        tracer->traceBoth(seed);
        ASSERT_EQ(tracer->forwardLine().count(), 1) << "outside seed at x " << seed.x << " y " << seed.y;
        ASSERT_EQ(tracer->backwardLine().count(), 1) << "outside seed at x " << seed.x << " y " << seed.y;
        EXPECT_EQ(tracer->forwardLine().data()[0], seed) << "the outside seed itself must be kept";
    }
}

TEST_P(TracingLoopTest, NoLengthOrNoStepsGivesTheSeedAlone)
{
    FlowData flow;
    test::setUniform(flow, 11, 11, {1.0f, 0.0f, 0.0f});
    auto tracer = integrator(flow);
    tracer->setParameters(TraceParameters::manualSeeding());
    for (const float maxLength : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) {
        tracer->setMaxLength(maxLength);
        tracer->traceBoth({5.0f, 5.0f, 0.0f});
        EXPECT_EQ(tracer->forwardLine().count(), 1) << "max length " << maxLength << " must allow no step";
        EXPECT_EQ(tracer->backwardLine().count(), 1) << "max length " << maxLength << " must allow no step";
    }
    tracer->setMaxLength(kFloatMax);
    tracer->setMaxSteps(0);
    tracer->traceBoth({5.0f, 5.0f, 0.0f});
    EXPECT_EQ(tracer->forwardLine().count(), 1) << "max steps 0 must allow no step";
    EXPECT_EQ(tracer->backwardLine().count(), 1) << "max steps 0 must allow no step";
}

TEST_P(TracingLoopTest, StepBudgetBoundsTheLine)
{
    // A rotation never leaves the domain, so only the budget ends the lines.
    FlowData flow;
    test::setRotation(flow, 41);
    auto tracer = integrator(flow);
    // Small steps keep even the Euler spiral well inside the domain.
    tracer->setStep(0.001f);
    tracer->setMaxLength(kFloatMax);
    tracer->setMaxSteps(1000);
    tracer->traceBoth({25.0f, 20.0f, 0.0f});
    EXPECT_EQ(tracer->forwardLine().count(), 1001) << "1000 steps must give the seed and 1000 points";
    EXPECT_EQ(tracer->backwardLine().count(), 1001) << "1000 steps must give the seed and 1000 points";
}

TEST_P(TracingLoopTest, RejectedPointEndsTheLineAndStays)
{
    FlowData flow;
    test::setUniform(flow, 51, 11, {1.0f, 0.0f, 0.0f});
    auto tracer = integrator(flow);
    tracer->setParameters(TraceParameters::manualSeeding());
    tracer->setStep(0.25f);
    ColumnLimit layer;
    layer.limit = 12.1f;
    tracer->setLayer(&layer);
    tracer->traceBoth({10.0f, 5.0f, 0.0f});
    const PointList& forward = tracer->forwardLine();
    ASSERT_EQ(forward.count(), 10) << "steps of 0.25 from 10 must stop at the first point past 12.1";
    EXPECT_NEAR(forward.data()[forward.count() - 1].x, 12.25f, 1e-5f) << "the rejected point must stay in the line";
    EXPECT_GT(forward.data()[forward.count() - 1].x, layer.limit) << "the line must end with the rejected point";
    // The backward line is never rejected: it runs to the left border.
    EXPECT_LE(tracer->backwardLine().data()[tracer->backwardLine().count() - 1].x, 0.0f)
        << "the backward line stopped early";
    EXPECT_EQ(layer.calls, forward.count() - 1 + tracer->backwardLine().count() - 1)
        << "every stored point but the seed must be tested once";

    tracer->setLayer(nullptr);
    tracer->traceBoth({10.0f, 5.0f, 0.0f});
    EXPECT_GT(tracer->forwardLine().count(), 10) << "an unlinked integrator must accept every point";
}

TEST_P(TracingLoopTest, StoredPointsLieInThePlane)
{
    // A velocity with a z part would lift the points off the plane.
    FlowData flow;
    test::setUniform(flow, 21, 21, {1.0f, 1.0f, 1.0f});
    auto tracer = integrator(flow);
    tracer->setParameters(TraceParameters::manualSeeding());
    const Vector3 seed {10.0f, 10.0f, 5.0f};
    tracer->traceBoth(seed);
    EXPECT_EQ(seed.z, 5.0f) << "the seed must only be read";
    for (const PointList* line : {&tracer->forwardLine(), &tracer->backwardLine()}) {
        ASSERT_GT(line->count(), 10) << "the trace ended too early to check anything";
        EXPECT_EQ(line->data()[0], (Vector3 {10.0f, 10.0f, 0.0f})) << "the seed must be stored with z 0";
        for (int i = 0; i < line->count(); ++i)
            ASSERT_EQ(line->data()[i].z, 0.0f) << "point " << i << " left the plane";
    }
}

TEST_P(TracingLoopTest, BackwardStopsAfterAsManyStepsAsForward)
{
    // |h| = 2 × 0.1: the length 0.9 is reached after 5 steps, well before 100.
    FlowData flow;
    test::setUniform(flow, 41, 11, {2.0f, 0.0f, 0.0f});
    auto tracer = integrator(flow);
    tracer->setStep(0.1f);
    tracer->setMaxLength(0.9f);
    tracer->setMaxSteps(100);
    tracer->traceBoth({20.0f, 5.0f, 0.0f});
    EXPECT_EQ(tracer->forwardLine().count(), 6) << "forward line must stop after 5 steps";
    EXPECT_EQ(tracer->backwardLine().count(), 6) << "the backward length must count |h| as well";
}

TEST_P(TracingLoopTest, ZeroBlendedVelocityIsNeverStored)
{
    // Columns 0 and 1 flow towards each other at speed 1: half way between
    // them the velocity blends to zero while the speed stays 1.
    FlowData flow;
    test::setField(flow, 3, 3, [](int c, int) { return Vector3 {c == 0 ? 1.0f : -1.0f, 0.0f, 0.0f}; });
    auto tracer = integrator(flow);
    tracer->setParameters(TraceParameters::manualSeeding());
    tracer->setStep(0.25f);
    tracer->traceBoth({0.5f, 1.0f, 0.0f});
    EXPECT_EQ(tracer->forwardLine().count(), 1) << "a step from a point without direction must not be stored";
    EXPECT_EQ(tracer->backwardLine().count(), 1) << "a step from a point without direction must not be stored";
    EXPECT_TRUE(allFinite(tracer->forwardLine())) << "a non-finite point was stored";

    // Arriving at the stagnation line: the point there is stored, the step
    // after it is not.
    tracer->traceBoth({0.25f, 1.0f, 0.0f});
    EXPECT_TRUE(allFinite(tracer->forwardLine())) << "a non-finite point was stored";
    EXPECT_TRUE(allFinite(tracer->backwardLine())) << "a non-finite point was stored";
    EXPECT_GE(tracer->forwardLine().count(), 1);
    EXPECT_LE(tracer->forwardLine().count(), 2) << "the trace went on past the stagnation line";
}

TEST_P(TracingLoopTest, SeedThatIsNotFiniteGivesEmptyLines)
{
    FlowData flow;
    test::setUniform(flow, 11, 11, {1.0f, 0.0f, 0.0f});
    auto tracer = integrator(flow);
    tracer->setParameters(TraceParameters::manualSeeding());
    tracer->traceBoth({5.0f, 5.0f, 0.0f});
    ASSERT_GT(tracer->forwardLine().count(), 1);
    tracer->traceBoth({std::numeric_limits<float>::quiet_NaN(), 5.0f, 0.0f});
    EXPECT_TRUE(tracer->forwardLine().isEmpty()) << "a NaN seed must not be stored";
    EXPECT_TRUE(tracer->backwardLine().isEmpty()) << "a NaN seed must not be stored";
    tracer->traceBoth({5.0f, std::numeric_limits<float>::infinity(), 0.0f});
    EXPECT_TRUE(tracer->forwardLine().isEmpty()) << "an infinite seed must not be stored";
}

INSTANTIATE_TEST_SUITE_P(
    AllSchemes, TracingLoopTest, ::testing::Values(0, 1, 2), [](const ::testing::TestParamInfo<int>& scheme) {
        return scheme.param == 0 ? std::string("Euler")
            : scheme.param == 1  ? std::string("RungeKutta2")
                                 : std::string("RungeKutta4");
    });

TEST(IntegratorTest, TraceParametersOfTheTwoUses)
{
    const TraceParameters manual = TraceParameters::manualSeeding();
    EXPECT_EQ(manual.step, 0.1f) << "manual seeding steps 0.1";
    EXPECT_EQ(manual.maxLength, 3.4028235e38f) << "manual seeding has no length bound";
    EXPECT_EQ(manual.maxSteps, 10000) << "manual seeding takes at most 10000 steps";
    const TraceParameters even = TraceParameters::evenlySpaced(0.375f);
    EXPECT_EQ(even.step, 0.75f) << "the placement steps 2 pixels";
    EXPECT_EQ(even.maxLength, 3750.0f) << "the placement traces at most 10000 pixels";
    EXPECT_EQ(even.maxSteps, 1000) << "the placement takes at most 1000 steps";
}

TEST(IntegratorTest, BaseClassTracesNothing)
{
    FlowData flow;
    test::setUniform(flow, 11, 11, {1.0f, 0.0f, 0.0f});
    Integrator base(&flow);
    EXPECT_EQ(base.step(), 1.0f) << "default step";
    EXPECT_EQ(base.maxLength(), 10.0f) << "default maximum length";
    EXPECT_EQ(base.maxSteps(), 100) << "default maximum steps";
    base.traceBoth({5.0f, 5.0f, 0.0f});
    EXPECT_TRUE(base.forwardLine().isEmpty()) << "the base class must leave the lines alone";
    EXPECT_TRUE(base.backwardLine().isEmpty()) << "the base class must leave the lines alone";
    EXPECT_TRUE(base.acceptPoint({-100.0f, 0.0f, 0.0f})) << "the base class accepts every point";
}

TEST(IntegratorTest, NextTraceReplacesTheLines)
{
    FlowData flow;
    test::setUniform(flow, 21, 11, {1.0f, 0.0f, 0.0f});
    EulerIntegrator euler(&flow);
    euler.setParameters(TraceParameters::manualSeeding());
    euler.traceBoth({10.0f, 5.0f, 0.0f});
    const int longForward = euler.forwardLine().count();
    euler.traceBoth({19.5f, 5.0f, 0.0f});
    EXPECT_LT(euler.forwardLine().count(), longForward) << "the second trace kept points of the first";
    EXPECT_EQ(euler.forwardLine().data()[0], (Vector3 {19.5f, 5.0f, 0.0f})) << "the line must begin with the new seed";
}

} // namespace
} // namespace tvl
