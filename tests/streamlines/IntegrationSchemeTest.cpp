#include "streamlines/IntegrationScheme.h"

#include "StreamlineFlows.h"
#include "streamlines/EulerIntegrator.h"
#include "streamlines/RungeKutta2Integrator.h"
#include "streamlines/RungeKutta4Integrator.h"

#include <gtest/gtest.h>

namespace tvl {
namespace {

TEST(IntegrationSchemeTest, IndexSelectsTheScheme)
{
    FlowData flow;
    test::setUniform(flow, 5, 5, {1.0f, 0.0f, 0.0f});
    const auto make = [&flow](int index) { return makeIntegrator(integrationSchemeFromIndex(index), &flow); };
    EXPECT_NE(dynamic_cast<EulerIntegrator*>(make(0).get()), nullptr) << "0 must be Euler";
    EXPECT_NE(dynamic_cast<RungeKutta2Integrator*>(make(1).get()), nullptr) << "1 must be RK2";
    EXPECT_NE(dynamic_cast<RungeKutta4Integrator*>(make(2).get()), nullptr) << "2 must be RK4";
    for (const int other : {3, -1, 7, 1 << 30})
        EXPECT_NE(dynamic_cast<EulerIntegrator*>(make(other).get()), nullptr)
            << "index " << other << " must fall back to Euler";
    for (const int index : {0, 1, 2})
        EXPECT_EQ(indexOf(integrationSchemeFromIndex(index)), index)
            << "the combo position must survive the round trip";
}

TEST(IntegrationSchemeTest, NewIntegratorIsUnlinked)
{
    FlowData flow;
    test::setUniform(flow, 5, 5, {1.0f, 0.0f, 0.0f});
    const auto integrator = makeIntegrator(IntegrationScheme::RungeKutta4, &flow);
    EXPECT_EQ(integrator->layer(), nullptr) << "a new integrator must not be linked to a layer";
}

} // namespace
} // namespace tvl
