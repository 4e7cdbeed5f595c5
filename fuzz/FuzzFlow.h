// What the load and import fuzz targets share: the data set every input loads
// over, the check that a failed load kept it, and lookups everywhere.
#pragma once

#include "flow/FlowData.h"
#include "flow/NodeGrid.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace tvl::fuzz {

// A valid 2 x 2 data set, loaded once; every fuzz input loads over it, with
// the regular grid capped at cap bytes so each input finishes well within a
// second.
inline FlowData& startingFlow(std::uint64_t cap)
{
    static FlowData flow = [] {
        FlowData f;
        NodeGrid nodes;
        nodes.allocate(2, 2, 1);
        const float xyz[12] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0};
        for (int n = 0; n < 12; ++n)
            nodes.positions[std::size_t(n)] = xyz[n];
        for (int n = 0; n < 16; ++n)
            nodes.records[std::size_t(n)] = n % 4 == 0 ? 1.0f : 0.5f;
        if (!f.loadNodes(std::move(nodes)))
            std::abort();
        return f;
    }();
    flow.setRegularGridCap(cap);
    return flow;
}

// Runs load(flow), which must leave the data set as it was when it fails.
template <class Load> void loadOver(FlowData& flow, const Load& load)
{
    const int width = flow.getWidth();
    const float maxSpeed = flow.getMaxSpeed();
    if (!load(flow) && (flow.getWidth() != width || !(flow.getMaxSpeed() == maxSpeed || maxSpeed != maxSpeed)))
        std::abort(); // a failed load changed the data set
}

// Every lookup must stay inside the arrays, wherever it is asked.
inline void lookEverywhere(const FlowData& flow)
{
    const float probes[] = {-1.5f, -0.5f, 0.0f, 0.5f, 1.0f, 49.99f, 1e9f, -1e9f, __builtin_nanf("")};
    for (float gx : probes)
        for (float gy : probes) {
            Vector3 d;
            float s = 0;
            flow.directionAt({gx, gy, 0}, d);
            flow.speedAt({gx, gy, 0}, s);
            for (int k = -1; k <= flow.getAdditionalCount(); ++k)
                flow.additionalValueAt({gx, gy, 0}, k);
        }
}

} // namespace tvl::fuzz
