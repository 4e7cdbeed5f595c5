#include "flow/NodeBounds.h"
#include "flow/FloatLanes.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace tvl {

void NodeBounds::add(const float* xyz, std::size_t nodes)
{
    // Four nodes (twelve floats) per step in three 4-lane vectors; lane k of
    // the twelve holds component k % 3. A non-finite x or y fails the load as
    // a whole, so the running tests need no NaN care there; z takes part in
    // nothing, so a non-finite z is only left out of its bounds.
    using F4 = FloatLanes;
    using U4 = std::uint32_t __attribute__((vector_size(16)));
    F4 lo4[3] = {
        F4 {lo_[0], lo_[1], lo_[2], lo_[0]}, F4 {lo_[1], lo_[2], lo_[0], lo_[1]}, F4 {lo_[2], lo_[0], lo_[1], lo_[2]}};
    F4 hi4[3] = {
        F4 {hi_[0], hi_[1], hi_[2], hi_[0]}, F4 {hi_[1], hi_[2], hi_[0], hi_[1]}, F4 {hi_[2], hi_[0], hi_[1], hi_[2]}};
    const U4 zLanes[3] = {U4 {0, 0, ~0u, 0}, U4 {0, ~0u, 0, 0}, U4 {~0u, 0, 0, ~0u}};
    U4 bad4 = {0, 0, 0, 0};
    const U4 exponent = {0x7f800000u, 0x7f800000u, 0x7f800000u, 0x7f800000u};
    std::size_t n = 0;
    for (; n + 4 <= nodes; n += 4, xyz += 12)
        for (int v = 0; v < 3; ++v) {
            F4 x;
            std::memcpy(&x, xyz + 4 * v, sizeof x);
            U4 bits;
            std::memcpy(&bits, &x, sizeof bits);
            const U4 nonFinite = (U4)((bits & exponent) == exponent);
            bad4 |= nonFinite & ~zLanes[v];
            const U4 skip = nonFinite & zLanes[v];
            const F4 forLow = skip ? lo4[v] : x;
            const F4 forHigh = skip ? hi4[v] : x;
            lo4[v] = forLow < lo4[v] ? forLow : lo4[v];
            hi4[v] = forHigh > hi4[v] ? forHigh : hi4[v];
        }
    float lo12[12], hi12[12];
    std::uint32_t bad = bad4[0] | bad4[1] | bad4[2] | bad4[3];
    for (int k = 0; k < 12; ++k) {
        lo12[k] = lo4[k / 4][k % 4];
        hi12[k] = hi4[k / 4][k % 4];
    }
    for (; n < nodes; ++n, xyz += 3)
        for (int k = 0; k < 3; ++k) {
            const float v = xyz[k];
            if (!std::isfinite(v)) {
                bad |= static_cast<std::uint32_t>(k != 2);
                continue;
            }
            lo12[k] = v < lo12[k] ? v : lo12[k];
            hi12[k] = v > hi12[k] ? v : hi12[k];
        }
    for (int k = 0; k < 12; ++k) {
        lo_[k % 3] = lo12[k] < lo_[k % 3] ? lo12[k] : lo_[k % 3];
        hi_[k % 3] = hi12[k] > hi_[k % 3] ? hi12[k] : hi_[k % 3];
    }
    finite_ = finite_ && bad == 0;
}

void NodeBounds::merge(const NodeBounds& later)
{
    for (int k = 0; k < 3; ++k) {
        lo_[k] = later.lo_[k] < lo_[k] ? later.lo_[k] : lo_[k];
        hi_[k] = later.hi_[k] > hi_[k] ? later.hi_[k] : hi_[k];
    }
    finite_ = finite_ && later.finite_;
}

bool NodeBounds::finish(Vector3& minimum, Vector3& maximum, Vector3& extent, std::string& cause) const
{
    if (!finite_) {
        cause = "Die Gitterdatei enthält Knotenkoordinaten, die keine endlichen Zahlen sind (NaN oder unendlich).";
        return false;
    }
    // Without a single finite z the z bounds are 0.
    const bool anyZ = lo_[2] <= hi_[2];
    minimum = {lo_[0], lo_[1], anyZ ? lo_[2] : 0.0f};
    maximum = {hi_[0], hi_[1], anyZ ? hi_[2] : 0.0f};
    extent = maximum - minimum;
    if (!(extent.x > 0.0f) || !(extent.y > 0.0f)) {
        cause = "Das Gitter hat keine Ausdehnung in x oder y: alle Knoten liegen auf einer Linie oder einem Punkt.";
        return false;
    }
    if (!std::isfinite(extent.x) || !std::isfinite(extent.y)) {
        cause = "Die Ausdehnung des Gitters ist zu groß für 32-Bit-Gleitkommazahlen.";
        return false;
    }
    return true;
}

} // namespace tvl
