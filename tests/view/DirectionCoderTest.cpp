#include "view/DirectionCoder.h"

#include "RegularGrids.h"
#include "flow/FlowData.h"
#include "transfer/ColorTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace tvl {
namespace {

// Entry i is (i, 255 - i, 77), so the red byte names the entry that was read.
std::shared_ptr<ColorTable> indexTable(int count)
{
    auto table = std::make_shared<ColorTable>(count);
    for (int i = 0; i < count; ++i)
        table->setEntry(i, Rgb {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 77});
    return table;
}

// A uniform flow with velocity (vx, vy, 0) on an 11 x 11 regular grid.
void setUniform(FlowData& flow, float vx, float vy)
{
    const int n = 11;
    const float speed = static_cast<float>(std::sqrt(double(vx) * vx + double(vy) * vy));
    std::vector<RegularSample> samples(std::size_t(n * n), RegularSample {vx, vy, 0.0f, speed});
    tvl::test::setRegularGrid(flow, n, n, 0, std::move(samples), {}, Vector3 {0, 0, 0}, Vector3 {1, 1, 0});
}

struct Probe {
    bool hasValue;
    float t;
    bool ok;
    std::uint8_t rgba[4];
};

Probe probe(const DirectionCoder& coder, float gx, float gy)
{
    Probe p {false, -7.0f, false, {1, 2, 3, 4}};
    p.hasValue = coder.normalizedValue(Vector3 {gx, gy, 0.0f}, p.t);
    p.ok = coder.colorAt(Vector3 {gx, gy, 0.0f}, p.rgba);
    return p;
}

bool isWhiteFailure(const Probe& p)
{
    return !p.ok && p.rgba[0] == 255 && p.rgba[1] == 255 && p.rgba[2] == 255 && p.rgba[3] == 255;
}

TEST(DirectionCoderTest, ValueRunsOnceAroundTheCircle)
{
    struct Case {
        float vx, vy;
        float t;
        int entry;
        const char* why;
    };
    const Case cases[] = {
        {0.0f, 2.0f, 0.5f, 50, "towards +y"},
        {3.0f, 0.0f, 0.25f, 25, "towards +x"},
        {-3.0f, 0.0f, 0.75f, 75, "towards -x"},
        {0.0f, -2.0f, 1.0f, 100, "towards -y with x = 0: t = 1 takes the last entry"},
        {1.0f, -1.0f, 0.125f, 12, "towards +x -y, x > 0 branch"},
        {-1.0f, -1.0f, 0.875f, 88, "towards -x -y, x <= 0 branch"},
    };
    for (const Case& c : cases) {
        FlowData flow;
        setUniform(flow, c.vx, c.vy);
        DirectionCoder coder(flow, indexTable(101));
        const Probe p = probe(coder, 4.5f, 6.25f);
        ASSERT_TRUE(p.hasValue) << c.why;
        EXPECT_NEAR(p.t, c.t, 1e-6f) << c.why;
        ASSERT_TRUE(p.ok) << c.why;
        EXPECT_EQ(p.rgba[0], c.entry) << c.why;
    }
}

TEST(DirectionCoderTest, DownwardFlowSplitsAtTheSignOfX)
{
    FlowData right;
    setUniform(right, 1e-4f, -1.0f);
    DirectionCoder rightCoder(right, indexTable(101));
    const Probe r = probe(rightCoder, 2.0f, 2.0f);
    ASSERT_TRUE(r.ok);
    EXPECT_NEAR(r.t, 0.0f, 1e-4f) << "a slight +x lean puts -y at the start of the range";
    EXPECT_EQ(r.rgba[0], 0);

    FlowData left;
    setUniform(left, -1e-4f, -1.0f);
    DirectionCoder leftCoder(left, indexTable(101));
    const Probe l = probe(leftCoder, 2.0f, 2.0f);
    ASSERT_TRUE(l.ok);
    EXPECT_NEAR(l.t, 1.0f, 1e-4f) << "a slight -x lean puts -y at the end of the range";
    EXPECT_EQ(l.rgba[0], 100);
}

TEST(DirectionCoderTest, NoDirectionMeansWhite)
{
    FlowData flow;
    setUniform(flow, 0.0f, 0.0f);
    DirectionCoder coder(flow, indexTable(101));
    const Probe still = probe(coder, 3.0f, 3.0f);
    EXPECT_TRUE(still.hasValue) << "the lookup answers, with a NaN direction";
    EXPECT_TRUE(isWhiteFailure(still)) << "the NaN value of a still flow must show white";

    setUniform(flow, 1.0f, 0.0f);
    EXPECT_TRUE(probe(coder, 9.5f, 0.0f).ok) << "the coder must read the data set it was given";
    const Probe outside = probe(coder, 10.0f, 3.0f);
    EXPECT_FALSE(outside.hasValue);
    EXPECT_EQ(outside.t, -7.0f) << "no value: t keeps what the caller put there";
    EXPECT_TRUE(isWhiteFailure(outside)) << "the last sample column is outside";
    EXPECT_TRUE(isWhiteFailure(probe(coder, 3.0f, -1.0f)));
}

} // namespace
} // namespace tvl
