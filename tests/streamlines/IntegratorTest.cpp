#include "streamlines/Integrator.h"

#include "StreamlineFlows.h"
#include "streamlines/EulerIntegrator.h"
#include "streamlines/IntegrationScheme.h"
#include "streamlines/RungeKutta2Integrator.h"
#include "streamlines/RungeKutta4Integrator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>

namespace tvl {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// A layer stand-in that rejects every point right of a column, and counts.
struct ColumnLimit : SeparationTest {
    float limit = 0.0f;
    mutable int calls = 0;
    bool isFarEnough(const Vector3& point) const override
    {
        ++calls;
        return point.x <= limit;
    }
};

// Largest distance of a line's points from radius r about (20, 20).
double radialError(const PointList& line, double r)
{
    double worst = 0.0;
    for (int i = 0; i < line.count(); ++i)
        worst = std::max(worst, std::abs(std::hypot(line.data()[i].x - 20.0, line.data()[i].y - 20.0) - r));
    return worst;
}

TEST(IntegrationSchemeTest, IndexSelectsTheSchemeAndAnyOtherIndexEuler)
{
    FlowData flow;
    for (const auto& [index, scheme] : {std::pair {0, 0}, {1, 1}, {2, 2}, {3, 0}, {-1, 0}, {7, 0}, {1 << 30, 0}}) {
        const auto made = makeIntegrator(integrationSchemeFromIndex(index), &flow);
        const int kind = dynamic_cast<RungeKutta4Integrator*>(made.get()) ? 2
            : dynamic_cast<RungeKutta2Integrator*>(made.get())            ? 1
            : dynamic_cast<EulerIntegrator*>(made.get())                  ? 0
                                                                          : -1;
        EXPECT_EQ(kind, scheme) << "index " << index;
        EXPECT_EQ(made->layer(), nullptr) << "a new integrator is unlinked";
        if (index >= 0 && index <= 2) {
            EXPECT_EQ(indexOf(integrationSchemeFromIndex(index)), index) << "the combo position survives";
        }
    }
}

// The tracing loop and its stop conditions, for every scheme.
class TracingLoopTest : public ::testing::TestWithParam<IntegrationScheme> {
protected:
    // A manual-seeding trace of seed in flow, after adjust() changed the parameters.
    std::unique_ptr<LayerIntegrator> trace(
        const FlowData& flow, Vector3 seed, const std::function<void(Integrator&)>& adjust = {})
    {
        auto tracer = makeIntegrator(GetParam(), &flow);
        tracer->setParameters(TraceParameters::manualSeeding());
        if (adjust)
            adjust(*tracer);
        tracer->traceBoth(seed);
        return tracer;
    }
};

TEST_P(TracingLoopTest, LinesHoldTheSeedAloneWhereNothingMayMove)
{
    FlowData still, moving;
    test::setUniform(still, 11, 11, {0, 0, 0});
    test::setUniform(moving, 11, 11, {1, 0, 0});
    const struct {
        const FlowData* flow;
        Vector3 seed;
        std::function<void(Integrator&)> adjust;
        const char* why;
    } rows[] = {
        {&still, {4.5f, 4.5f, 0}, {}, "zero speed"},
        {&moving, {10, 5, 0}, {}, "a seed on the last column is outside"},
        {&moving, {-1, 5, 0}, {}, "a seed left of the grid"},
        {&moving, {3, 42, 0}, {}, "a seed above the grid"},
        {&moving, {5, 5, 0}, [](Integrator& t) { t.setMaxLength(0.0f); }, "maximum length 0"},
        {&moving, {5, 5, 0}, [](Integrator& t) { t.setMaxLength(-1.0f); }, "negative maximum length"},
        {&moving, {5, 5, 0}, [](Integrator& t) { t.setMaxLength(kNaN); }, "maximum length NaN"},
        {&moving, {5, 5, 0}, [](Integrator& t) { t.setMaxSteps(0); }, "maximum steps 0"},
    };
    for (const auto& row : rows) {
        const auto tracer = trace(*row.flow, row.seed, row.adjust);
        for (const PointList* line : {&tracer->forwardLine(), &tracer->backwardLine()}) {
            ASSERT_EQ(line->count(), 1) << row.why;
            EXPECT_EQ(line->data()[0], row.seed) << row.why;
        }
    }
    for (const Vector3 seed : {Vector3 {kNaN, 5, 0}, Vector3 {5, std::numeric_limits<float>::infinity(), 0}}) {
        const auto tracer = trace(moving, seed);
        EXPECT_TRUE(tracer->forwardLine().isEmpty() && tracer->backwardLine().isEmpty()) << "a seed not finite";
    }
}

TEST_P(TracingLoopTest, StepBudgetAndLengthBoundTheLine)
{
    // A rotation never leaves the domain: only the budget ends the lines.
    FlowData rotation;
    test::setRotation(rotation, 41);
    auto tracer = trace(rotation, {25, 20, 0}, [](Integrator& t) { t.setStep(0.001f), t.setMaxSteps(1000); });
    EXPECT_EQ(tracer->forwardLine().count(), 1001) << "1000 steps give the seed and 1000 points";
    EXPECT_EQ(tracer->backwardLine().count(), 1001);
    // A manual trace takes at most 10000 steps: here 10000 × 1e-4 columns.
    FlowData uniform;
    test::setUniform(uniform, 41, 11, {0.001f, 0, 0});
    tracer = trace(uniform, {20, 5, 0});
    EXPECT_EQ(tracer->forwardLine().count(), 10001);
    // |h| = 2 × 0.1: the length 0.9 is reached after 5 steps, either way.
    test::setUniform(uniform, 41, 11, {2, 0, 0});
    tracer = trace(uniform, {20, 5, 0}, [](Integrator& t) { t.setMaxLength(0.9f), t.setMaxSteps(100); });
    EXPECT_EQ(tracer->forwardLine().count(), 6);
    EXPECT_EQ(tracer->backwardLine().count(), 6) << "the backward length counts |h| as well";
}

TEST_P(TracingLoopTest, RejectedPointEndsTheLineAndStays)
{
    FlowData flow;
    test::setUniform(flow, 51, 11, {1, 0, 0});
    ColumnLimit layer;
    layer.limit = 12.1f;
    const auto tracer = trace(flow, {10, 5, 0}, [&layer](Integrator& t) {
        t.setStep(0.25f);
        static_cast<LayerIntegrator&>(t).setLayer(&layer);
    });
    const PointList& forward = tracer->forwardLine();
    ASSERT_EQ(forward.count(), 10) << "steps of 0.25 from 10 stop at the first point past 12.1";
    EXPECT_NEAR(forward.data()[9].x, 12.25f, 1e-5f) << "the rejected point stays in the line";
    EXPECT_LE(tracer->backwardLine().data()[tracer->backwardLine().count() - 1].x, 0.0f) << "never rejected";
    EXPECT_EQ(layer.calls, forward.count() - 1 + tracer->backwardLine().count() - 1)
        << "every stored point but the seed is tested once";
}

TEST_P(TracingLoopTest, StoredPointsLieInThePlaneAndAreFinite)
{
    FlowData flow;
    test::setUniform(flow, 21, 21, {1, 1, 1});
    auto tracer = trace(flow, {10, 10, 5});
    for (const PointList* line : {&tracer->forwardLine(), &tracer->backwardLine()}) {
        ASSERT_GT(line->count(), 10);
        for (int i = 0; i < line->count(); ++i)
            ASSERT_EQ(line->data()[i].z, 0.0f) << "point " << i << " left the plane";
    }
    // Columns 0 and 1 flow towards each other: half way the velocity blends to
    // zero while the speed stays 1, and a step from there lands nowhere.
    test::setField(flow, 3, 3, [](int c, int) { return Vector3 {c == 0 ? 1.0f : -1.0f, 0, 0}; });
    for (const float x : {0.5f, 0.25f}) {
        tracer = trace(flow, {x, 1, 0}, [](Integrator& t) { t.setStep(0.25f); });
        EXPECT_LE(tracer->forwardLine().count(), 2) << "the trace went on past the stagnation line";
        for (const PointList* line : {&tracer->forwardLine(), &tracer->backwardLine()})
            for (int i = 0; i < line->count(); ++i)
                EXPECT_TRUE(line->data()[i].isFinite()) << "a point without a direction was stored";
    }
}

INSTANTIATE_TEST_SUITE_P(AllSchemes, TracingLoopTest,
    ::testing::Values(IntegrationScheme::Euler, IntegrationScheme::RungeKutta2, IntegrationScheme::RungeKutta4),
    [](const ::testing::TestParamInfo<IntegrationScheme>& scheme) {
        return std::string(scheme.param == IntegrationScheme::Euler ? "Euler"
                : scheme.param == IntegrationScheme::RungeKutta2    ? "RungeKutta2"
                                                                    : "RungeKutta4");
    });

TEST(IntegratorTest, EulerAdvancesSpeedTimesStepUntilTheDomainEnds)
{
    FlowData flow;
    test::setUniform(flow, 51, 11, {2, 0, 0});
    EulerIntegrator euler(&flow);
    euler.setParameters(TraceParameters::manualSeeding());
    euler.traceBoth({10, 5, 0});
    for (const auto& [line, step] : {std::pair {&euler.forwardLine(), 0.2f}, {&euler.backwardLine(), -0.2f}}) {
        const Vector3* p = line->data();
        const int n = line->count();
        ASSERT_GT(n, 50);
        for (int i = 1; i < n; ++i)
            ASSERT_NEAR(p[i].x - p[i - 1].x, step, 1e-4f) << "step " << i;
        // The line ends with its first point outside: past column 49, or past
        // -1 (between -1 and 0 a coordinate still truncates to column 0).
        EXPECT_GE(std::abs(p[n - 1].x - 24.5f), 25.5f) << "the line stopped inside the domain";
        EXPECT_LT(std::abs(p[n - 2].x - 24.5f), 25.5f) << "the line went on outside the domain";
    }
}

TEST(IntegratorTest, EachSchemeStepsByItsRule)
{
    // Rotation about (20, 20); from (25, 20) the speed is 5 and h = 0.5. Euler
    // follows the tangent (0, 1); the midpoint scheme the direction at
    // (25, 20 ± 0.25), which is (∓0.25, 5) normalised.
    FlowData rotation;
    test::setRotation(rotation, 41);
    const double length = std::hypot(0.25, 5.0);
    const struct {
        IntegrationScheme scheme;
        double x, y;
    } rows[] = {{IntegrationScheme::Euler, 25.0, 20.5},
        {IntegrationScheme::RungeKutta2, 25.0 - 0.125 / length, 20.0 + 2.5 / length}};
    for (const auto& row : rows) {
        const auto tracer = makeIntegrator(row.scheme, &rotation);
        tracer->setParameters(TraceParameters::manualSeeding());
        tracer->setMaxSteps(1);
        tracer->traceBoth({25, 20, 0});
        const Vector3 f = tracer->forwardLine().data()[1], b = tracer->backwardLine().data()[1];
        EXPECT_NEAR(f.x, row.x, 1e-5) << indexOf(row.scheme);
        EXPECT_NEAR(f.y, row.y, 1e-5) << indexOf(row.scheme);
        EXPECT_NEAR(b.x, row.x, 1e-5) << indexOf(row.scheme) << " backwards";
        EXPECT_NEAR(b.y, 40.0 - row.y, 1e-5) << indexOf(row.scheme) << " backwards";
    }

    // Direction +x, speed 1 + column: each fourth-order step is the speed at
    // its start point times the step.
    FlowData faster;
    test::setField(faster, 41, 5, [](int c, int) { return Vector3 {1.0f + float(c), 0, 0}; });
    RungeKutta4Integrator classic(&faster);
    classic.setParameters(TraceParameters::manualSeeding());
    classic.setMaxSteps(2);
    classic.traceBoth({10, 2, 0});
    EXPECT_NEAR(classic.forwardLine().data()[1].x, 11.1f, 2e-5f);
    EXPECT_NEAR(classic.forwardLine().data()[2].x, 12.31f, 2e-5f);
    EXPECT_NEAR(classic.backwardLine().data()[1].x, 8.9f, 2e-5f);
}

TEST(IntegratorTest, IntermediateSampleOutsideEndsTheLineWhereEulerGoesOn)
{
    // From column 49: a step of 2 has its midpoint on column 50 (outside); a
    // step of 1.2 has its half steps on 49.6 (inside) and its full step on 50.2.
    FlowData flow;
    test::setUniform(flow, 51, 11, {1, 0, 0});
    const struct {
        IntegrationScheme scheme;
        float step;
        int points;
    } rows[] = {{IntegrationScheme::Euler, 2.0f, 2}, {IntegrationScheme::RungeKutta2, 2.0f, 1},
        {IntegrationScheme::RungeKutta2, 1.2f, 2}, {IntegrationScheme::RungeKutta4, 1.2f, 1}};
    for (const auto& row : rows) {
        const auto tracer = makeIntegrator(row.scheme, &flow);
        tracer->setParameters(TraceParameters::manualSeeding());
        tracer->setStep(row.step);
        tracer->traceBoth({49, 5, 0});
        EXPECT_EQ(tracer->forwardLine().count(), row.points) << indexOf(row.scheme) << " with step " << row.step;
        EXPECT_EQ(tracer->forwardLine().data()[0], (Vector3 {49, 5, 0})) << "the point is not advanced";
    }
}

TEST(IntegratorTest, FourthOrderStaysOnTheCircleWhereEulerSpirals)
{
    // Radius 10 about (20, 20): each step turns by about 0.1 rad and 189 steps
    // go three times round. The scheme's radial error is about r θ⁶ / 144 per
    // step (1.3e-5 in all); rounding near 30 adds some 5e-5. Euler gains a
    // factor √1.01 per step.
    FlowData flow;
    test::setRotation(flow, 41);
    RungeKutta4Integrator classic(&flow);
    EulerIntegrator euler(&flow);
    for (Integrator* tracer : {static_cast<Integrator*>(&classic), static_cast<Integrator*>(&euler)}) {
        tracer->setParameters(TraceParameters::manualSeeding());
        tracer->setMaxSteps(189);
        tracer->traceBoth({30, 20, 0});
    }
    ASSERT_EQ(classic.forwardLine().count(), 190);
    EXPECT_LT(radialError(classic.forwardLine(), 10.0), 1e-4);
    EXPECT_LT(radialError(classic.backwardLine(), 10.0), 1e-4);
    double closest = 1e9;
    for (int i = 50; i < 75; ++i)
        closest = std::min(
            closest, std::hypot(classic.forwardLine().data()[i].x - 30.0, classic.forwardLine().data()[i].y - 20.0));
    EXPECT_LT(closest, 0.5) << "one turn comes back to the seed within half a step";
    EXPECT_GT(radialError(euler.forwardLine(), 10.0), 0.1) << "the circle cannot tell the schemes apart";
}

TEST(IntegratorTest, BaseClassTracesNothingAndTracesReplaceTheLines)
{
    FlowData flow;
    test::setUniform(flow, 21, 11, {1, 0, 0});
    Integrator base(&flow);
    base.traceBoth({5, 5, 0});
    EXPECT_TRUE(base.forwardLine().isEmpty() && base.backwardLine().isEmpty());
    EXPECT_TRUE(base.acceptPoint({-100, 0, 0}));
    EulerIntegrator euler(&flow);
    euler.setParameters(TraceParameters::manualSeeding());
    euler.traceBoth({10, 5, 0});
    const int longer = euler.forwardLine().count();
    euler.traceBoth({19.5f, 5, 0});
    EXPECT_LT(euler.forwardLine().count(), longer) << "the second trace kept points of the first";
    EXPECT_EQ(euler.forwardLine().data()[0], (Vector3 {19.5f, 5, 0}));
}

} // namespace
} // namespace tvl
