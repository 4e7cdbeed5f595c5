#include "streamlines/MakeIntegrator.h"

#include "StreamlineFlows.h"
#include "streamlines/EulerIntegrator.h"
#include "streamlines/RungeKutta2Integrator.h"
#include "streamlines/RungeKutta4Integrator.h"

#include <gtest/gtest.h>

namespace tvl {
namespace {

TEST(MakeIntegratorTest, IndexSelectsTheScheme)
{
    FlowData flow;
    test::setUniform(flow, 5, 5, {1.0f, 0.0f, 0.0f});
    EXPECT_NE(dynamic_cast<EulerIntegrator*>(makeIntegrator(0, &flow).get()), nullptr) << "0 must be Euler";
    EXPECT_NE(dynamic_cast<RungeKutta2Integrator*>(makeIntegrator(1, &flow).get()), nullptr) << "1 must be RK2";
    EXPECT_NE(dynamic_cast<RungeKutta4Integrator*>(makeIntegrator(2, &flow).get()), nullptr) << "2 must be RK4";
    for (const int other : {3, -1, 7, 1 << 30})
        EXPECT_NE(dynamic_cast<EulerIntegrator*>(makeIntegrator(other, &flow).get()), nullptr)
            << "index " << other << " must fall back to Euler";
}

TEST(MakeIntegratorTest, NewIntegratorIsUnlinked)
{
    FlowData flow;
    test::setUniform(flow, 5, 5, {1.0f, 0.0f, 0.0f});
    const auto integrator = makeIntegrator(2, &flow);
    EXPECT_EQ(integrator->layer(), nullptr) << "a new integrator must not be linked to a layer";
}

} // namespace
} // namespace tvl
