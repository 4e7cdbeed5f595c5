#include "streamlines/Integrator.h"

#include "StreamlineFlows.h"
#include "streamlines/IntegrationScheme.h"
#include "streamlines/SelfOverlapTest.h"
#include "streamlines/StreamlineLayer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

namespace tvl {
namespace {

const IntegrationScheme kSchemes[]
    = {IntegrationScheme::Euler, IntegrationScheme::RungeKutta2, IntegrationScheme::RungeKutta4};

std::vector<Vector3> pointsOf(const PointList& line)
{
    return {line.data(), line.data() + line.count()};
}

// Solid-body rotation about (centre, centre) with angular speed omega: the
// speed at radius r is omega × r.
void setScaledRotation(FlowData& flow, int size, float omega)
{
    const float centre = 0.5f * static_cast<float>(size - 1);
    test::setField(flow, size, size, [centre, omega](int c, int r) {
        return Vector3 {-omega * (static_cast<float>(r) - centre), omega * (static_cast<float>(c) - centre), 0.0f};
    });
}

// The evenly spaced placement as the view runs it: viewport w × h pixels over
// the region, dsep 10 pixels, dtest half of it.
void placeEvenly(StreamlineLayer& layer, LayerIntegrator& integrator, const StreamlineOptions& options, int w, int h,
    Vector3 minimum, Vector3 maximum)
{
    layer.setViewportSize(w, h);
    layer.setRegion(minimum, maximum);
    const float g
        = ((maximum.y - minimum.y) / static_cast<float>(h) + (maximum.x - minimum.x) / static_cast<float>(w)) * 0.5f;
    layer.setSeparation(10.0f, g);
    layer.setTestRatio(0.5f);
    layer.setOptions(options);
    layer.setIntegrator(&integrator);
    layer.placeEvenly();
}

// Pairs of segments of the placed lines that cross properly (touching ends
// and collinear overlaps do not count), the same half-line included.
int countCrossings(const StreamlineSet& set)
{
    std::vector<std::pair<Vector3, Vector3>> segments;
    for (const StreamlineSet::HalfLine& half : set.halfLines()) {
        const auto points = set.pointsOf(half);
        for (std::size_t i = 1; i < points.size(); ++i)
            segments.emplace_back(points[i - 1], points[i]);
    }
    const auto side = [](const Vector3& p, const Vector3& q, const Vector3& r) {
        const double v = (double(q.x) - p.x) * (double(r.y) - p.y) - (double(q.y) - p.y) * (double(r.x) - p.x);
        return (v > 0.0) - (v < 0.0);
    };
    int crossings = 0;
    for (std::size_t i = 0; i < segments.size(); ++i)
        for (std::size_t j = i + 1; j < segments.size(); ++j) {
            const auto& [a, b] = segments[i];
            const auto& [c, d] = segments[j];
            crossings += side(a, b, c) * side(a, b, d) < 0 && side(c, d, a) * side(c, d, b) < 0;
        }
    return crossings;
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

TEST(StreamlineOptions, EvenlySpacedLinesOfAFastRotationNeverCross)
{
    // The region's centre lies off the still centre of the rotation, where
    // the placement starts. Speeds up to 5 × 28 make the default steps up to
    // 280 pixels long: lines jump over each other. Relative to the maximum
    // speed the steps are
    // at most 2 pixels, too short to pass a line kept dtest away, and without
    // self overlap no circle is drawn over itself.
    FlowData flow;
    setScaledRotation(flow, 41, 5.0f);
    for (const IntegrationScheme scheme : kSchemes) {
        StreamlineLayer layer(&flow);
        const std::unique_ptr<LayerIntegrator> integrator = makeIntegrator(scheme, &flow);
        placeEvenly(layer, *integrator, {true, true}, 200, 180, {0.0f, 0.0f, 0.0f}, {40.0f, 36.0f, 0.0f});
        ASSERT_GT(layer.placedLines().streamlineCount(), 10u) << "scheme " << indexOf(scheme);
        EXPECT_EQ(countCrossings(layer.placedLines()), 0) << "with both options, scheme " << indexOf(scheme);

        StreamlineLayer plain(&flow);
        placeEvenly(plain, *integrator, {}, 200, 180, {0.0f, 0.0f, 0.0f}, {40.0f, 36.0f, 0.0f});
        EXPECT_GT(countCrossings(plain.placedLines()), 0)
            << "the crossing count must see the long steps, scheme " << indexOf(scheme);
    }
}

} // namespace
} // namespace tvl
