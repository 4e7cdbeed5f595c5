#include "streamlines/Integrator.h"

#include "StreamlineFlows.h"
#include "streamlines/EulerIntegrator.h"
#include "streamlines/IntegrationScheme.h"
#include "streamlines/RungeKutta2Integrator.h"
#include "streamlines/RungeKutta4Integrator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <typeinfo>

namespace tvl {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
using Adjust = std::function<void(Integrator&)>;

// A manual-seeding trace of seed, after adjust() changed the parameters.
std::unique_ptr<LayerIntegrator> trace(IntegrationScheme scheme, const FlowData& flow, Vector3 seed, Adjust adjust = {})
{
    auto tracer = makeIntegrator(scheme, &flow);
    tracer->setParameters(TraceParameters::manualSeeding());
    if (adjust)
        adjust(*tracer);
    tracer->traceBoth(seed);
    return tracer;
}

// A layer stand-in that rejects every point right of column 12.1, and counts.
struct ColumnLimit : SeparationTest {
    mutable int calls = 0;
    bool isFarEnough(const Vector3& point) const override
    {
        ++calls;
        return point.x <= 12.1f;
    }
};

TEST(IntegrationSchemeTest, IndexSelectsTheSchemeAndAnyOtherIndexEuler)
{
    FlowData flow;
    const std::type_info* types[]
        = {&typeid(EulerIntegrator), &typeid(RungeKutta2Integrator), &typeid(RungeKutta4Integrator)};
    for (const auto& [index, scheme] : {std::pair {0, 0}, {1, 1}, {2, 2}, {3, 0}, {-1, 0}, {7, 0}, {1 << 30, 0}}) {
        const auto made = makeIntegrator(integrationSchemeFromIndex(index), &flow);
        EXPECT_EQ(typeid(*made), *types[scheme]) << "index " << index;
        EXPECT_EQ(made->layer(), nullptr) << "a new integrator is unlinked";
        EXPECT_EQ(indexOf(integrationSchemeFromIndex(index)), scheme) << "the combo position survives";
    }
}

// The tracing loop and its stop conditions, for every scheme.
class TracingLoopTest : public ::testing::TestWithParam<IntegrationScheme> { };

TEST_P(TracingLoopTest, LinesStopWhereTheFlowTheDomainOrTheBudgetsEnd)
{
    FlowData still, moving, fast, slow, rotation;
    test::setUniform(still, 11, 11, {0, 0, 0});
    test::setUniform(moving, 11, 11, {1, 0, 0});
    test::setUniform(fast, 41, 11, {2, 0, 0});
    test::setUniform(slow, 41, 11, {0.001f, 0, 0});
    test::setRotation(rotation, 41); // never leaves the domain
    const struct {
        const FlowData& flow;
        Vector3 seed;
        Adjust adjust;
        int points;
        const char* why;
    } rows[] = {
        {still, {4.5f, 4.5f, 0}, {}, 1, "zero speed"},
        {moving, {10, 5, 0}, {}, 1, "a seed on the last column is outside"},
        {moving, {3, 42, 0}, {}, 1, "a seed above the grid"},
        {moving, {5, 5, 0}, [](Integrator& t) { t.setMaxLength(0.0f); }, 1, "maximum length 0"},
        {moving, {5, 5, 0}, [](Integrator& t) { t.setMaxLength(-1.0f); }, 1, "negative maximum length"},
        {moving, {5, 5, 0}, [](Integrator& t) { t.setMaxLength(kNaN); }, 1, "maximum length NaN"},
        {moving, {5, 5, 0}, [](Integrator& t) { t.setMaxSteps(0); }, 1, "maximum steps 0"},
        {rotation, {25, 20, 0},
            [](Integrator& t) {
                t.setStep(0.001f);
                t.setMaxSteps(1000);
            },
            1001, "1000 steps"},
        {slow, {20, 5, 0}, {}, 10001, "a manual trace takes at most 10000 steps"},
        // |h| = 2 × 0.1: the length 0.9 is reached after 5 steps either way.
        {fast, {20, 5, 0},
            [](Integrator& t) {
                t.setMaxLength(0.9f);
                t.setMaxSteps(100);
            },
            6, "maximum length"},
    };
    for (const auto& row : rows) {
        const auto tracer = trace(GetParam(), row.flow, row.seed + Vector3 {0, 0, 5}, row.adjust);
        for (const PointList* line : {&tracer->forwardLine(), &tracer->backwardLine()}) {
            ASSERT_EQ(line->count(), row.points) << row.why;
            EXPECT_EQ(line->data()[0], row.seed) << row.why << ": a seed is stored with z = 0";
            EXPECT_EQ(line->data()[row.points - 1].z, 0.0f) << row.why;
        }
    }
    for (const Vector3 seed : {Vector3 {kNaN, 5, 0}, Vector3 {5, std::numeric_limits<float>::infinity(), 0}}) {
        const auto tracer = trace(GetParam(), moving, seed);
        EXPECT_TRUE(tracer->forwardLine().isEmpty() && tracer->backwardLine().isEmpty()) << "a seed not finite";
    }
}

TEST_P(TracingLoopTest, RejectedPointEndsTheLineAndStays)
{
    FlowData flow;
    test::setUniform(flow, 51, 11, {1, 0, 0});
    ColumnLimit layer;
    const auto tracer = trace(GetParam(), flow, {10, 5, 0}, [&layer](Integrator& t) {
        t.setStep(0.25f);
        static_cast<LayerIntegrator&>(t).setLayer(&layer);
    });
    const PointList& forward = tracer->forwardLine();
    ASSERT_EQ(forward.count(), 10) << "steps of 0.25 from 10 stop at the first point past 12.1";
    EXPECT_NEAR(forward.data()[9].x, 12.25f, 1e-5f) << "the rejected point stays in the line";
    EXPECT_LE(tracer->backwardLine().data()[tracer->backwardLine().count() - 1].x, 0.0f) << "never rejected";
    EXPECT_EQ(layer.calls, forward.count() + tracer->backwardLine().count() - 2) << "each new point tested once";
}

TEST_P(TracingLoopTest, PointsWithoutADirectionAreNeverStored)
{
    // Columns 0 and 1 flow towards each other: half way the velocity blends to
    // zero while the speed stays 1, and a step from there lands nowhere.
    FlowData flow;
    test::setField(flow, 3, 3, [](int c, int) { return Vector3 {c == 0 ? 1.0f : -1.0f, 0, 0}; });
    for (const float x : {0.5f, 0.25f}) {
        const auto tracer = trace(GetParam(), flow, {x, 1, 0}, [](Integrator& t) { t.setStep(0.25f); });
        EXPECT_LE(tracer->forwardLine().count(), 2) << "the trace went on past the stagnation line";
        for (const PointList* line : {&tracer->forwardLine(), &tracer->backwardLine()})
            for (int i = 0; i < line->count(); ++i)
                EXPECT_TRUE(line->data()[i].isFinite()) << "a point without a direction was stored";
    }
}

INSTANTIATE_TEST_SUITE_P(AllSchemes, TracingLoopTest,
    ::testing::Values(IntegrationScheme::Euler, IntegrationScheme::RungeKutta2, IntegrationScheme::RungeKutta4),
    [](const ::testing::TestParamInfo<IntegrationScheme>& scheme) { return std::to_string(indexOf(scheme.param)); });

TEST(IntegratorTest, EachSchemeStepsByItsRule)
{
    // Euler in a uniform flow of speed 2 with step 0.1: 0.2 columns a step each
    // way, on to the first point outside (past column 49, or past -1).
    FlowData flow;
    test::setUniform(flow, 51, 11, {2, 0, 0});
    auto tracer = trace(IntegrationScheme::Euler, flow, {10, 5, 0});
    for (const auto& [line, step] : {std::pair {&tracer->forwardLine(), 0.2f}, {&tracer->backwardLine(), -0.2f}}) {
        const Vector3* p = line->data();
        const int n = line->count();
        for (int i = 1; i < n; ++i)
            ASSERT_NEAR(p[i].x - p[i - 1].x, step, 1e-4f) << "step " << i;
        EXPECT_TRUE(std::abs(p[n - 1].x - 24.5f) >= 25.5f && std::abs(p[n - 2].x - 24.5f) < 25.5f) << p[n - 1].x;
    }
    // Rotation about (20, 20); from (25, 20) the speed is 5 and h = 0.5. Euler
    // follows the tangent (0, 1), the midpoint scheme the direction at
    // (25, 20 ± 0.25), that is (∓0.25, 5) normalised.
    test::setRotation(flow, 41);
    const double length = std::hypot(0.25, 5.0);
    for (const auto& [scheme, x, y] : {std::tuple {IntegrationScheme::Euler, 25.0, 20.5},
             {IntegrationScheme::RungeKutta2, 25.0 - 0.125 / length, 20.0 + 2.5 / length}}) {
        tracer = trace(scheme, flow, {25, 20, 0}, [](Integrator& t) { t.setMaxSteps(1); });
        const Vector3 f = tracer->forwardLine().data()[1], b = tracer->backwardLine().data()[1];
        EXPECT_TRUE(std::abs(f.x - x) < 1e-5 && std::abs(f.y - y) < 1e-5) << "scheme " << indexOf(scheme);
        EXPECT_TRUE(std::abs(b.x - x) < 1e-5 && std::abs(b.y - (40.0 - y)) < 1e-5) << "backwards " << indexOf(scheme);
    }
    // Direction +x, speed 1 + column: a fourth-order step is the speed at its
    // start point times the step.
    test::setField(flow, 41, 5, [](int c, int) { return Vector3 {1.0f + float(c), 0, 0}; });
    tracer = trace(IntegrationScheme::RungeKutta4, flow, {10, 2, 0}, [](Integrator& t) { t.setMaxSteps(2); });
    EXPECT_NEAR(tracer->forwardLine().data()[1].x, 11.1f, 2e-5f);
    EXPECT_NEAR(tracer->forwardLine().data()[2].x, 12.31f, 2e-5f);
    EXPECT_NEAR(tracer->backwardLine().data()[1].x, 8.9f, 2e-5f);
}

TEST(IntegratorTest, IntermediateSampleOutsideEndsTheLineWhereEulerGoesOn)
{
    // From column 49: a step of 2 has its midpoint on column 50 (outside); a
    // step of 1.2 its half steps on 49.6 (inside), its full step on 50.2.
    FlowData flow;
    test::setUniform(flow, 51, 11, {1, 0, 0});
    for (const auto& [scheme, step, points] :
        {std::tuple {IntegrationScheme::Euler, 2.0f, 2}, {IntegrationScheme::RungeKutta2, 2.0f, 1},
            {IntegrationScheme::RungeKutta2, 1.2f, 2}, {IntegrationScheme::RungeKutta4, 1.2f, 1}}) {
        const auto tracer = trace(scheme, flow, {49, 5, 0}, [step](Integrator& t) { t.setStep(step); });
        EXPECT_EQ(tracer->forwardLine().count(), points) << "scheme " << indexOf(scheme) << ", step " << step;
    }
}

TEST(IntegratorTest, BothHalfLinesAreTracedInTurnsAsIfAlone)
{
    // Random seeds in a random smooth field; the two half-lines of a trace
    // end after different numbers of steps and for different reasons (the
    // border, the step budget, a zero speed, a rejecting layer), and must be
    // to the bit what traceLine gives for each alone.
    std::mt19937 random(5);
    std::uniform_real_distribution<float> phase(0.0f, 6.2831853f);
    const float a = phase(random), b = phase(random);
    FlowData flow;
    test::setField(flow, 64, 48, [&](int c, int r) {
        const float x = static_cast<float>(c) * 0.15f, y = static_cast<float>(r) * 0.2f;
        return c == 30 && r == 20
            ? Vector3 {}
            : Vector3 {std::sin(x + a) + 0.3f * std::cos(y), std::cos(y + b) - 0.2f * std::sin(x), 0.0f};
    });
    struct Band : SeparationTest {
        bool isFarEnough(const Vector3& p) const override { return std::fmod(p.x + p.y, 9.0f) > 0.4f; }
    } band;
    const auto same = [](const PointList& p, const PointList& q) {
        return p.count() == q.count() && std::memcmp(p.data(), q.data(), sizeof(Vector3) * std::size_t(p.count())) == 0;
    };
    std::uniform_real_distribution<float> x(-2.0f, 66.0f), y(-2.0f, 50.0f);
    for (const IntegrationScheme scheme :
        {IntegrationScheme::Euler, IntegrationScheme::RungeKutta2, IntegrationScheme::RungeKutta4}) {
        const auto integrator = makeIntegrator(scheme, &flow);
        PointList forward, backward;
        for (int trial = 0; trial < 600; ++trial) {
            const TraceParameters parameters {
                trial % 3 == 0 ? 0.37f : 0.05f, trial % 5 == 0 ? 6.0f : 1e6f, 40 + trial % 400};
            integrator->setParameters(parameters);
            integrator->setLayer(trial % 2 == 0 ? &band : nullptr);
            const Vector3 seed {x(random), y(random), trial % 4 == 0 ? 3.0f : 0.0f};
            integrator->traceLine(seed, forward, parameters.step);
            integrator->traceLine(seed, backward, -parameters.step);
            integrator->traceBoth(seed);
            ASSERT_TRUE(same(integrator->forwardLine(), forward) && same(integrator->backwardLine(), backward))
                << "scheme " << indexOf(scheme) << ", trial " << trial << ": a half-line differs";
        }
        integrator->setLayer(nullptr);
    }
}

} // namespace
} // namespace tvl
