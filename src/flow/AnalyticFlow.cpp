#include "flow/AnalyticFlow.h"

#include <cmath>
#include <numbers>
#include <string_view>

namespace tvl {
namespace {

constexpr double kPi = std::numbers::pi;

struct Sample {
    double u = 0, v = 0, pressure = 0, vorticity = 0, stream = 0;
};

// Fields are given on the unit-free local coordinates of the domain: s in
// [0, 1] along x, t in [0, 1] along y, with the physical point (x, y).
Sample evaluate(FlowKind kind, double x, double y, const FlowSpec& spec)
{
    const double cx = 0.5 * (spec.x0 + spec.x1), cy = 0.5 * (spec.y0 + spec.y1);
    const double lx = spec.x1 - spec.x0, ly = spec.y1 - spec.y0;
    Sample s;
    switch (kind) {
    case FlowKind::Uniform:
        s.u = 1.0;
        s.v = 0.0;
        s.stream = y - cy;
        break;
    case FlowKind::Vortex: // solid-body rotation, counter-clockwise
        s.u = -(y - cy);
        s.v = x - cx;
        s.vorticity = 2.0;
        s.stream = -0.5 * ((x - cx) * (x - cx) + (y - cy) * (y - cy));
        break;
    case FlowKind::Saddle:
        s.u = x - cx;
        s.v = -(y - cy);
        s.stream = (x - cx) * (y - cy);
        break;
    case FlowKind::DoubleGyre: {
        // The steady double gyre of [0, 2] x [0, 1] stretched onto the domain
        // with its stream function scaled by the same lengths, so the field
        // stays divergence-free and turns over in the same time on any domain.
        const double a = 0.1;
        const double X = 2.0 * (x - spec.x0) / lx, Y = (y - spec.y0) / ly;
        const double sx = 0.5 * lx, sy = ly; // flow units per unit of X and Y
        s.stream = a * sx * sy * std::sin(kPi * X) * std::sin(kPi * Y);
        s.u = -kPi * a * sx * std::sin(kPi * X) * std::cos(kPi * Y);
        s.v = kPi * a * sy * std::cos(kPi * X) * std::sin(kPi * Y);
        // vorticity dv/dx - du/dy
        s.vorticity = -kPi * kPi * a * (sy / sx + sx / sy) * std::sin(kPi * X) * std::sin(kPi * Y);
        break;
    }
    case FlowKind::ShearLayer: { // tanh profile with a small travelling-wave disturbance
        const double delta = 0.08 * ly;
        const double eta = (y - cy) / delta;
        const double envelope = std::exp(-eta * eta);
        s.u = std::tanh(eta);
        s.v = 0.1 * std::sin(2.0 * kPi * (x - spec.x0) / lx * 2.0) * envelope;
        s.vorticity = -(1.0 - std::tanh(eta) * std::tanh(eta)) / delta;
        s.stream = delta * std::log(std::cosh(eta));
        break;
    }
    }
    s.pressure = -0.5 * (s.u * s.u + s.v * s.v);
    return s;
}

// Node position for fractional indices a, b in [0, 1].
void position(const FlowSpec& spec, double a, double b, double& x, double& y)
{
    double sa = a, sb = b;
    if (spec.grid == GridKind::Uneven) {
        sa = a * a * 0.5 + a * 0.5; // spacing grows from 0.5 to 1.5 times the mean
        sb = b * b * 0.5 + b * 0.5;
    }
    x = spec.x0 + (spec.x1 - spec.x0) * sa;
    y = spec.y0 + (spec.y1 - spec.y0) * sb;
    if (spec.grid == GridKind::Curvilinear) {
        // Bend rows and columns by a twentieth of a cell span at most; the
        // derivative along each index stays positive, so rows and columns stay monotonic.
        const double bendX = 0.02 * (spec.x1 - spec.x0) * std::sin(kPi * b) * std::sin(kPi * a);
        const double bendY = 0.02 * (spec.y1 - spec.y0) * std::sin(kPi * a) * std::sin(kPi * b);
        x += bendX;
        y += bendY;
    }
}

} // namespace

const char* additionalValueName(int k)
{
    static const char* const names[] = {"pressure", "vorticity", "stream function"};
    return k >= 0 && k < 3 ? names[k] : "";
}

bool parseFlowKind(const std::string& text, FlowKind& kind)
{
    static const std::pair<std::string_view, FlowKind> table[]
        = {{"uniform", FlowKind::Uniform}, {"vortex", FlowKind::Vortex}, {"saddle", FlowKind::Saddle},
            {"double-gyre", FlowKind::DoubleGyre}, {"shear", FlowKind::ShearLayer}};
    for (const auto& [name, value] : table)
        if (text == name) {
            kind = value;
            return true;
        }
    return false;
}

bool parseGridKind(const std::string& text, GridKind& kind)
{
    static const std::pair<std::string_view, GridKind> table[]
        = {{"even", GridKind::Even}, {"uneven", GridKind::Uneven}, {"curvilinear", GridKind::Curvilinear}};
    for (const auto& [name, value] : table)
        if (text == name) {
            kind = value;
            return true;
        }
    return false;
}

FlowSpec demoFlowSpec()
{
    FlowSpec spec;
    spec.flow = FlowKind::DoubleGyre;
    spec.grid = GridKind::Curvilinear;
    spec.width = 161;
    spec.height = 81;
    spec.additionalCount = 2;
    spec.x0 = 0.0f;
    spec.y0 = 0.0f;
    spec.x1 = 4.0f;
    spec.y1 = 2.0f;
    return spec;
}

NodeGrid makeFlow(const FlowSpec& spec)
{
    NodeGrid nodes;
    const int n = spec.additionalCount < 0 ? 0 : (spec.additionalCount > 3 ? 3 : spec.additionalCount);
    nodes.allocate(spec.width, spec.height, n);
    for (int j = 0; j < spec.height; ++j) {
        for (int i = 0; i < spec.width; ++i) {
            const double a = spec.width > 1 ? double(i) / (spec.width - 1) : 0.0;
            const double b = spec.height > 1 ? double(j) / (spec.height - 1) : 0.0;
            double x, y;
            position(spec, a, b, x, y);
            const Sample s = evaluate(spec.flow, x, y, spec);
            float* p = &nodes.positions[3 * nodes.index(i, j)];
            p[0] = float(x);
            p[1] = float(y);
            p[2] = 0.0f;
            float* r = &nodes.records[nodes.recordSize() * nodes.index(i, j)];
            r[0] = float(s.u);
            r[1] = float(s.v);
            r[2] = 0.0f;
            const double extra[3] = {s.pressure, s.vorticity, s.stream};
            for (int k = 0; k < n; ++k)
                r[3 + k] = float(extra[k]);
        }
    }
    return nodes;
}

NodeGrid makeDemoFlow()
{
    return makeFlow(demoFlowSpec());
}

} // namespace tvl
