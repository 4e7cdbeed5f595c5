// The placement and the tracing loop against a plain formulation of the same
// rules: one half-line at a time, every distance a rounded root, every seed
// tested when it is pushed and again when it is taken, one point list per
// cell. Lock-step tracing, squared bounds, block scans and seeds tested only
// when taken must not change a single bit of what is placed.
#include "streamlines/StreamlineLayer.h"

#include "StreamlineFlows.h"
#include "flow/AnalyticFlow.h"
#include "streamlines/IntegrationScheme.h"
#include "streamlines/PointList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <vector>

namespace tvl {
namespace {

using Line = std::vector<Vector3>;

// One step of a scheme as written out for one line; false when a sample fails.
bool referenceStep(IntegrationScheme scheme, const FlowData& flow, Vector3& p, const Vector3& d, float h)
{
    if (scheme == IntegrationScheme::Euler) {
        p = p + h * d;
        return true;
    }
    if (scheme == IntegrationScheme::RungeKutta2) {
        Vector3 d2;
        if (!flow.directionAt(p + 0.5f * (h * d), d2))
            return false;
        p = p + h * d2;
        return true;
    }
    const Vector3 k1 = h * d;
    Vector3 d2, d3, d4;
    if (!flow.directionAt(p + 0.5f * k1, d2))
        return false;
    const Vector3 k2 = h * d2;
    if (!flow.directionAt(p + 0.5f * k2, d3))
        return false;
    const Vector3 k3 = h * d3;
    if (!flow.directionAt(p + k3, d4))
        return false;
    const Vector3 k4 = h * d4;
    Vector3 a = k1;
    a = a + 2.0f * k2;
    a = a + 2.0f * k3;
    a = a + k4;
    p = p + a * (1.0f / 6.0f);
    return true;
}

template <class Accept>
Line referenceTrace(IntegrationScheme scheme, const FlowData& flow, Vector3 p, const TraceParameters& parameters,
    float step, const Accept& accept)
{
    Line line;
    if (!std::isfinite(p.x) || !std::isfinite(p.y))
        return line;
    p.z = 0.0f;
    line.push_back(p);
    if (!(parameters.maxLength > 0.0f))
        return line;
    float length = 0.0f;
    for (int n = parameters.maxSteps; n > 0; --n) {
        Vector3 d;
        float speed;
        if (!flow.directionAt(p, d) || !flow.speedAt(p, speed) || speed <= 0.0f)
            break;
        const float h = speed * step;
        if (!referenceStep(scheme, flow, p, d, h) || !std::isfinite(p.x) || !std::isfinite(p.y))
            break;
        p.z = 0.0f;
        line.push_back(p);
        length = length + std::fabs(h);
        if (!accept(p) || length >= parameters.maxLength)
            break;
    }
    return line;
}

// The evenly spaced placement as the rules state it.
class ReferencePlacement {
public:
    ReferencePlacement(const StreamlineLayer& layer, const FlowData& flow)
        : layer_(layer)
        , flow_(flow)
        , cells_(static_cast<std::size_t>(layer.columns() * layer.rows()))
    {
    }

    std::vector<Line> place(IntegrationScheme scheme)
    {
        const Vector3& m = layer_.regionMinimum();
        const Vector3& M = layer_.regionMaximum();
        const TraceParameters parameters = TraceParameters::evenlySpaced(layer_.gridUnitsPerPixel());
        const auto accept = [this](const Vector3& p) { return isFartherThan(p, layer_.dtest()); };
        std::vector<Line> placed;
        std::vector<Vector3> stack {{(m.x + M.x) * 0.5f, (m.y + M.y) * 0.5f, 0.0f}};
        while (!stack.empty()) {
            const Vector3 seed = stack.back();
            stack.pop_back();
            if (!isFartherThan(seed, layer_.dsep()))
                continue;
            const Line forward = referenceTrace(scheme, flow_, seed, parameters, parameters.step, accept);
            const Line backward = referenceTrace(scheme, flow_, seed, parameters, -parameters.step, accept);
            placed.push_back(forward);
            placed.push_back(backward);
            for (const Line* half : {&forward, &backward})
                if (half->size() > 1)
                    for (Vector3 p : *half)
                        store(p);
            Line walk(backward.rbegin(), backward.rend());
            walk.insert(walk.end(), forward.begin() + (backward.empty() ? 0 : 1), forward.end());
            Vector3 q = walk.empty() ? Vector3 {} : walk.front();
            float untilNext = -1.0f;
            for (const Vector3& x : walk) {
                const Vector3 v = x - q;
                const float s = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
                if (untilNext < 0.0f && s > 0.0f) {
                    const float length = std::sqrt(v.x * v.x + v.y * v.y);
                    const Vector3 offset = Vector3 {v.y / length, -v.x / length, 0.0f} * layer_.dsep();
                    for (const Vector3& candidate : {x + offset, x - offset})
                        if (isFartherThan(candidate, layer_.dsep()))
                            stack.push_back(candidate);
                    untilNext = 0.5f * layer_.dtest();
                }
                untilNext = untilNext - s;
                q = x;
            }
        }
        return placed;
    }

private:
    bool isFartherThan(const Vector3& p, float distance) const
    {
        int column = 0;
        int row = 0;
        if (!layer_.cellOf(p, column, row))
            return false;
        float nearest = std::numeric_limits<float>::max();
        for (int r = row - 1; r <= row + 1; ++r)
            for (int c = column - 1; c <= column + 1; ++c)
                if (c >= 0 && c < layer_.columns() && r >= 0 && r < layer_.rows())
                    nearest
                        = std::min(nearest, cells_[static_cast<std::size_t>(r * layer_.columns() + c)].minDistance(p));
        return nearest >= distance;
    }
    void store(Vector3 p)
    {
        int column = 0;
        int row = 0;
        if (layer_.cellOf(p, column, row))
            cells_[static_cast<std::size_t>(row * layer_.columns() + column)].append(p);
    }

    const StreamlineLayer& layer_;
    const FlowData& flow_;
    std::vector<PointList> cells_;
};

bool sameBits(const Line& a, std::span<const Vector3> b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(Vector3)) == 0);
}

TEST(PlacementReferenceTest, PlacementIsTheReferencePlacementBitForBit)
{
    FlowSpec gyre;
    gyre.flow = FlowKind::DoubleGyre;
    gyre.width = 121;
    gyre.height = 61;
    gyre.x1 = 3.0f;
    gyre.y1 = 1.5f;
    FlowSpec vortex = gyre;
    vortex.flow = FlowKind::Vortex;
    vortex.grid = GridKind::Curvilinear;
    struct Row {
        FlowSpec spec;
        float dsepPixels;
        float ratio;
    };
    for (const Row& row : {Row {gyre, 10.0f, 0.5f}, Row {gyre, 4.0f, 0.3f}, Row {vortex, 7.0f, 0.9f}}) {
        FlowData flow;
        ASSERT_TRUE(flow.loadNodes(makeFlow(row.spec)));
        StreamlineLayer layer(&flow);
        layer.setViewportSize(600, 300);
        // A region reaching beyond the sampled domain on the left and below.
        layer.setRegion(
            {-3.0f, -2.0f, 0.0f}, {static_cast<float>(flow.getWidth()), static_cast<float>(flow.getHeight()), 0.0f});
        const float g = 0.5f * (layer.regionExtent().x / 600.0f + layer.regionExtent().y / 300.0f);
        for (const IntegrationScheme scheme :
            {IntegrationScheme::Euler, IntegrationScheme::RungeKutta2, IntegrationScheme::RungeKutta4}) {
            layer.setSeparation(row.dsepPixels, g);
            layer.setTestRatio(row.ratio);
            const auto integrator = makeIntegrator(scheme, &flow);
            layer.setIntegrator(integrator.get());
            layer.placeEvenly();
            const std::vector<Line> expected = ReferencePlacement(layer, flow).place(scheme);
            const StreamlineSet& placed = layer.placedLines();
            ASSERT_EQ(placed.halfLines().size(), expected.size())
                << "scheme " << indexOf(scheme) << ", dsep " << row.dsepPixels << ": another number of half-lines";
            ASSERT_GT(expected.size(), 20u) << "too small a placement to tell";
            for (std::size_t k = 0; k < expected.size(); ++k)
                ASSERT_TRUE(sameBits(expected[k], placed.pointsOf(placed.halfLines()[k])))
                    << "scheme " << indexOf(scheme) << ", dsep " << row.dsepPixels << ": half-line " << k << " differs";
        }
    }
}

TEST(PlacementReferenceTest, BothHalfLinesAreTracedAsIfAlone)
{
    // Random seeds in a random smooth field; the two half-lines of a trace
    // end after different numbers of steps and for different reasons (the
    // border, the step budget, a zero speed, a rejecting layer).
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
    std::uniform_real_distribution<float> x(-2.0f, 66.0f), y(-2.0f, 50.0f);
    for (const IntegrationScheme scheme :
        {IntegrationScheme::Euler, IntegrationScheme::RungeKutta2, IntegrationScheme::RungeKutta4}) {
        const auto integrator = makeIntegrator(scheme, &flow);
        for (int trial = 0; trial < 600; ++trial) {
            TraceParameters parameters {trial % 3 == 0 ? 0.37f : 0.05f, trial % 5 == 0 ? 6.0f : 1e6f, 40 + trial % 400};
            integrator->setParameters(parameters);
            const bool layered = trial % 2 == 0;
            integrator->setLayer(layered ? &band : nullptr);
            const Vector3 seed {x(random), y(random), trial % 4 == 0 ? 3.0f : 0.0f};
            integrator->traceBoth(seed);
            const auto accept = [&](const Vector3& p) { return !layered || band.isFarEnough(p); };
            const Line forward = referenceTrace(scheme, flow, seed, parameters, parameters.step, accept);
            const Line backward = referenceTrace(scheme, flow, seed, parameters, -parameters.step, accept);
            const PointList& f = integrator->forwardLine();
            const PointList& g = integrator->backwardLine();
            ASSERT_TRUE(sameBits(forward, {f.data(), static_cast<std::size_t>(f.count())}))
                << "scheme " << indexOf(scheme) << ", trial " << trial << ": forward half-line differs";
            ASSERT_TRUE(sameBits(backward, {g.data(), static_cast<std::size_t>(g.count())}))
                << "scheme " << indexOf(scheme) << ", trial " << trial << ": backward half-line differs";
        }
        integrator->setLayer(nullptr);
    }
}

} // namespace
} // namespace tvl
