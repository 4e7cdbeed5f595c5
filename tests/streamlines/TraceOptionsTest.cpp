#include "streamlines/Integrator.h"

#include "StreamlineFlows.h"
#include "streamlines/IntegrationScheme.h"
#include "streamlines/SelfOverlapTest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace tvl {
namespace {

const IntegrationScheme kSchemes[]
    = {IntegrationScheme::Euler, IntegrationScheme::RungeKutta2, IntegrationScheme::RungeKutta4};

std::vector<Vector3> pointsOf(const PointList& line)
{
    return {line.data(), line.data() + line.count()};
}

TEST(SelfOverlap, TestsOnlyPointsBeyondTheSkipArc)
{
    // Distance 1, so the skip arc is 2. Each row records points (x, y, arc)
    // after the seed (0, 0, arc 0), then asks about a head point.
    struct Row {
        const char* what;
        std::vector<Vector3> recorded; // z carries the arc
        Vector3 head; // z carries the arc
        bool comesBack;
    };
    const Row rows[] = {
        {"the seed just behind the head is not a return", {}, {0.5f, 0.0f, 0.5f}, false},
        {"a loop back to the seed is", {{3.0f, 0.0f, 3.0f}, {2.0f, 2.0f, 5.0f}}, {0.5f, 0.5f, 7.0f}, true},
        {"exactly the distance away is far enough", {{3.0f, 0.0f, 3.0f}}, {0.0f, 1.0f, 6.0f}, false},
        {"near, but within the skip arc", {{1.0f, 0.0f, 1.0f}}, {1.2f, 0.5f, 2.5f}, false},
        {"the backward half meets the forward one", {{3.0f, 0.0f, 3.0f}}, {3.0f, 0.5f, -1.5f}, true},
        {"the backward half near the seed is not", {{1.5f, 0.0f, 1.5f}}, {-0.2f, 0.0f, -0.2f}, false},
        {"a point across a cell border counts", {{2.95f, 0.0f, 3.0f}}, {3.05f, 0.3f, 9.0f}, true},
        {"negative coordinates have cells too", {{-3.0f, -3.0f, 4.0f}}, {-3.2f, -2.5f, 8.0f}, true},
    };
    for (const Row& row : rows) {
        SelfOverlapTest test;
        test.restart({0.0f, 0.0f, 0.0f}, 1.0f);
        ASSERT_EQ(test.skipArc(), 2.0f);
        for (const Vector3& p : row.recorded)
            EXPECT_FALSE(test.comesBack({p.x, p.y, 0.0f}, p.z)) << row.what << ": set-up point came back";
        EXPECT_EQ(test.comesBack({row.head.x, row.head.y, 0.0f}, row.head.z), row.comesBack) << row.what;
        EXPECT_EQ(test.pointCount(), static_cast<int>(row.recorded.size()) + 2) << row.what << ": the head is recorded";
    }

    SelfOverlapTest off;
    EXPECT_FALSE(off.comesBack({0.0f, 0.0f, 0.0f}, 100.0f) || off.comesBack({0.1f, 0.0f, 0.0f}, 0.0f))
        << "a test never restarted tests nothing";
    for (const float distance : {0.0f, -1.0f, std::nanf("")}) {
        off.restart({0.0f, 0.0f, 0.0f}, distance);
        EXPECT_FALSE(off.comesBack({0.0f, 0.0f, 0.0f}, 100.0f)) << "distance " << distance << " must test nothing";
        EXPECT_EQ(off.pointCount(), 0) << "distance " << distance << " must record nothing";
    }
}

// Points of two traces of the same line, alike up to float rounding.
void expectSameLine(const std::vector<Vector3>& a, const std::vector<Vector3>& b, const char* what, int scheme)
{
    ASSERT_EQ(a.size(), b.size()) << what << ", scheme " << scheme;
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_NEAR(a[i].x, b[i].x, 1e-3f) << what << ", scheme " << scheme << ", point " << i;
        EXPECT_NEAR(a[i].y, b[i].y, 1e-3f) << what << ", scheme " << scheme << ", point " << i;
    }
}

TEST(NormalizedStep, UniformFlowOfSpeed20TracesAsSpeed1)
{
    // Relative to its maximum, speed 20 is 1: the lines are those of speed 1
    // traced without the option (up to the rounding of the speed blends).
    FlowData fast;
    FlowData unit;
    test::setUniform(fast, 41, 21, {12.0f, 16.0f, 0.0f});
    test::setUniform(unit, 41, 21, {0.6f, 0.8f, 0.0f});
    const StreamlineOptions normalized {true, false};
    for (const IntegrationScheme scheme : kSchemes) {
        const int index = indexOf(scheme);
        const std::unique_ptr<LayerIntegrator> a = makeIntegrator(scheme, &fast);
        const std::unique_ptr<LayerIntegrator> b = makeIntegrator(scheme, &unit);
        a->setParameters(TraceParameters::manualSeeding().withOptions(normalized, 0.0f));
        b->setParameters(TraceParameters::manualSeeding());
        a->traceBoth({20.3f, 10.6f, 0.0f});
        b->traceBoth({20.3f, 10.6f, 0.0f});
        ASSERT_GT(a->forwardLine().count(), 50) << "scheme " << index;
        expectSameLine(pointsOf(a->forwardLine()), pointsOf(b->forwardLine()), "forward", index);
        expectSameLine(pointsOf(a->backwardLine()), pointsOf(b->backwardLine()), "backward", index);
        const Vector3 first = a->forwardLine().data()[1] - a->forwardLine().data()[0];
        EXPECT_NEAR(std::hypot(first.x, first.y), 0.1f, 1e-5f) << "a step of 0.1 at the fastest point";

        // Without the option speed 20 steps 20 times as far.
        a->setParameters(TraceParameters::manualSeeding());
        a->traceBoth({20.3f, 10.6f, 0.0f});
        const Vector3 raw = a->forwardLine().data()[1] - a->forwardLine().data()[0];
        EXPECT_NEAR(std::hypot(raw.x, raw.y), 2.0f, 1e-5f) << "the default step follows the raw speed";
    }
    // A maximum speed of 0 means every speed is 0: the trace stops before it would divide by it.
    FlowData still;
    test::setUniform(still, 11, 11, {0.0f, 0.0f, 0.0f});
    const std::unique_ptr<LayerIntegrator> tracer = makeIntegrator(IntegrationScheme::RungeKutta4, &still);
    tracer->setParameters(TraceParameters::manualSeeding().withOptions({true, true}, 0.5f));
    tracer->traceBoth({5.0f, 5.0f, 0.0f});
    EXPECT_EQ(tracer->forwardLine().count() + tracer->backwardLine().count(), 2) << "no step in a still flow";
}

} // namespace
} // namespace tvl
