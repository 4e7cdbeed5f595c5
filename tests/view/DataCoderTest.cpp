#include "view/DataCoder.h"

#include "CoderProbe.h"
#include "RegularGrids.h"
#include "StreamlineFlows.h"
#include "view/AdditionalDataCoder.h"
#include "view/DataCoderFactory.h"
#include "view/DirectionCoder.h"
#include "view/SpeedCoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace tvl {
namespace {

using test::entryAt;
using test::indexTable;
using test::kWhite;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// A coder whose normalised value the test sets.
class FixedCoder : public DataCoder {
public:
    using DataCoder::DataCoder;
    bool normalizedValue(const Vector3&, float& t) const override
    {
        if (hasValue)
            t = value;
        return hasValue;
    }
    float value = 0.0f;
    bool hasValue = true;
};

TEST(DataCoderTest, EntryIsTheTruncatedProductOfCountAndValue)
{
    FlowData flow;
    FixedCoder coder(flow, indexTable(101));
    const std::pair<float, int> rows[]
        = {{0.5f, 50}, {0.0f, 0}, {0.999f, 100}, {-0.005f, 0}, {1.0f, 100}, {1.009f, 100}, {-0.01f, kWhite},
            {1.01f, kWhite}, {1e30f, kWhite}, {-1e30f, kWhite}, {kNaN, kWhite}, {kInf, kWhite}, {-kInf, kWhite}};
    for (const auto& [t, expected] : rows) {
        coder.value = t;
        EXPECT_EQ(entryAt(coder, {}), expected) << "t = " << t << " of 101 entries";
    }
    coder.hasValue = false;
    EXPECT_EQ(entryAt(coder, {}), kWhite) << "no value at the point";
    EXPECT_EQ(entryAt(FixedCoder(flow, indexTable(0)), {}), kWhite) << "an empty table has no entry to give";
    EXPECT_EQ(entryAt(DataCoder(flow, indexTable(101)), {-1e6f, 3, 0}), 0) << "the base value 0 exists everywhere";
}

TEST(DataCoderTest, QuantityCodersNormaliseTheirQuantity)
{
    // 11 × 11 samples: speed (along +x) 1 + column, but 1 in the last column,
    // so the maximum 10 lies inside; value 0 is the column, value 1 is
    // -1 + 0.4 row (0.0 normalises to 0.25), value 2 is 1 + column (0.0 lies
    // below its range).
    FlowData flow;
    std::vector<RegularSample> samples;
    std::vector<float> values(3 * 121);
    for (int r = 0; r < 11; ++r)
        for (int c = 0; c < 11; ++c) {
            const float s = c == 10 ? 1.0f : 1.0f + float(c);
            samples.push_back({s, 0, 0, s});
            values[std::size_t(r * 11 + c)] = float(c);
            values[std::size_t(121 + r * 11 + c)] = -1.0f + 0.4f * float(r);
            values[std::size_t(242 + r * 11 + c)] = 1.0f + float(c);
        }
    test::setRegularGrid(flow, 11, 11, 3, samples, values, {0, 0, 0}, {1, 1, 0});
    const SpeedCoder speed(flow, indexTable(101));
    const AdditionalDataCoder column(flow, indexTable(101), 0), row(flow, indexTable(101), 1),
        shifted(flow, indexTable(101), 2), negative(flow, indexTable(101), -1), beyond(flow, indexTable(101), 3);
    const struct {
        const DataCoder& coder;
        Vector3 point;
        int entry;
        const char* why;
    } rows[] = {
        {speed, {2, 8, 0}, 30, "speed 3 of 10: 30.3"},
        {speed, {6.5f, 1, 0}, 75, "speed 7.5 blended: 75.75"},
        {speed, {9, 5, 0}, 100, "the maximum takes the last entry"},
        {speed, {-0.5f, 3, 0}, 5, "-0.5 truncates to column 0, extrapolating speed 0.5"},
        {speed, {9.5f, 3, 0}, 55, "speed 5.5 blended from 10 and 1"},
        {speed, {10, 3, 0}, kWhite, "the last sample column is outside"},
        {speed, {3, 10, 0}, kWhite, "the last sample row is outside"},
        {speed, {-1, 3, 0}, kWhite, "left of the grid"},
        {speed, {3, -1, 0}, kWhite, "below the grid"},
        {speed, {kNaN, 3, 0}, kWhite, "NaN"},
        {speed, {3, 1e20f, 0}, kWhite, "far away"},
        {column, {5, 7.5f, 0}, 50, "value 5 of 0 .. 10: 50.5"},
        {row, {2, 7, 0}, 70, "value 1.8 of -1 .. 3: 70.7"},
        {row, {10, 20, 0}, 25, "outside the value is 0.0: 25.25"},
        {shifted, {-5, 3, 0}, kWhite, "0.0 lies below 1 .. 11"},
        {negative, {3, 3, 0}, kWhite, "value -1 does not exist"},
        {beyond, {3, 3, 0}, kWhite, "value 3 of 3 does not exist"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(entryAt(r.coder, r.point), r.entry) << r.why;

    test::setRegularGrid(
        flow, 11, 11, 1, std::vector<RegularSample>(121), std::vector<float>(121, 3.0f), {0, 0, 0}, {1, 1, 0});
    EXPECT_EQ(entryAt(shifted, {3, 3, 0}), kWhite) << "a reload with fewer values is not read past";
    EXPECT_EQ(entryAt(column, {3, 3, 0}), kWhite) << "a constant value has no range: 0 / 0";
    EXPECT_EQ(entryAt(column, {30, 3, 0}), kWhite) << "outside, -3 / 0";
    EXPECT_EQ(entryAt(speed, {3, 3, 0}), kWhite) << "a still flow has no maximum speed";
    EXPECT_EQ(entryAt(SpeedCoder(FlowData(), indexTable(101)), {0, 0, 0}), kWhite) << "nothing loaded";
}

TEST(DataCoderTest, DirectionRunsOnceAroundTheCircle)
{
    const struct {
        float vx, vy, t;
        int entry;
    } rows[] = {{0, 2, 0.5f, 50}, {3, 0, 0.25f, 25}, {-3, 0, 0.75f, 75}, {0, -2, 1.0f, 100}, {1, -1, 0.125f, 12},
        {-1, -1, 0.875f, 88}, {1e-4f, -1, 0.0f, 0}, {-1e-4f, -1, 1.0f, 100}};
    for (const auto& r : rows) {
        FlowData flow;
        test::setUniform(flow, 11, 11, {r.vx, r.vy, 0});
        const DirectionCoder coder(flow, indexTable(101));
        float t = -7.0f;
        ASSERT_TRUE(coder.normalizedValue({4.5f, 6.25f, 0}, t));
        EXPECT_NEAR(t, r.t, 1e-4f) << "flow (" << r.vx << ", " << r.vy << ")";
        EXPECT_EQ(entryAt(coder, {4.5f, 6.25f, 0}), r.entry) << "flow (" << r.vx << ", " << r.vy << ")";
    }
    FlowData still;
    test::setUniform(still, 11, 11, {0, 0, 0});
    const DirectionCoder coder(still, indexTable(101));
    EXPECT_EQ(entryAt(coder, {3, 3, 0}), kWhite) << "the NaN direction of a still flow";
    float t = -7.0f;
    EXPECT_FALSE(coder.normalizedValue({10, 3, 0}, t));
    EXPECT_EQ(t, -7.0f) << "outside, t keeps what the caller put there";
}

// Lattice positions as the background accumulates them, from a start beside
// the grid so that both borders are crossed.
std::vector<float> lattice(float start, float step, int count)
{
    std::vector<float> positions;
    for (float p = start; static_cast<int>(positions.size()) < count; p += step)
        positions.push_back(p);
    return positions;
}

void expectImageIsColorAtPerPixel(
    const DataCoder& coder, const std::vector<float>& xs, const std::vector<float>& ys, const char* what)
{
    std::vector<std::uint8_t> image(4 * xs.size() * ys.size(), 3);
    coder.fillImage(xs, ys, image.data());
    std::size_t differing = 0;
    for (std::size_t j = 0; j < ys.size(); ++j)
        for (std::size_t k = 0; k < xs.size(); ++k) {
            std::uint8_t expected[4];
            coder.colorAt({xs[k], ys[j], 0.0f}, expected);
            const std::uint8_t* got = &image[4 * (j * xs.size() + k)];
            differing
                += got[0] != expected[0] || got[1] != expected[1] || got[2] != expected[2] || got[3] != expected[3];
        }
    EXPECT_EQ(differing, 0u) << what << ": pixels differ from colorAt";
}

// The coders colour whole images in bands on two threads, the speed coder
// four pixels at a time from shared column cells; every byte must be what
// colorAt gives pixel by pixel.
TEST(DataCoderTest, EveryCoderFillsAnImageAsColorAtDoesPerPixel)
{
    // Random speeds (some negative, NaN and beyond the maximum's neighbours),
    // velocities and one additional value on a 61 × 37 grid.
    std::mt19937 random(3);
    std::uniform_real_distribution<float> value(-1.0f, 4.0f);
    std::vector<RegularSample> samples(61 * 37);
    std::vector<float> values(samples.size());
    for (std::size_t s = 0; s < samples.size(); ++s) {
        samples[s] = {value(random), value(random), 0.0f, value(random)};
        values[s] = value(random);
    }
    samples[100].speed = std::numeric_limits<float>::quiet_NaN();
    samples[200] = {};
    samples[201] = {};
    samples[261] = {};
    samples[262] = {};
    FlowData flow;
    test::setRegularGrid(flow, 61, 37, 1, samples, values, {0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 0.0f});

    // 401 × 301 pixels: enough for two threads, a width that is no multiple of
    // four; then a single row, and a grid of one column.
    const std::vector<float> xs = lattice(-1.3f, 0.157f, 401);
    const std::vector<float> ys = lattice(-0.7f, 0.1249f, 301);
    for (const int entries : {255, 1, 0}) {
        SpeedCoder speed(flow, indexTable(entries));
        DirectionCoder direction(flow, indexTable(entries));
        AdditionalDataCoder additional(flow, indexTable(entries), 0);
        AdditionalDataCoder missing(flow, indexTable(entries), 1);
        for (const DataCoder* coder :
            std::initializer_list<const DataCoder*> {&speed, &direction, &additional, &missing}) {
            expectImageIsColorAtPerPixel(*coder, xs, ys, "whole lattice");
            expectImageIsColorAtPerPixel(*coder, xs, {ys[150]}, "one row");
        }
    }
    FlowData narrow;
    test::setRegularGrid(narrow, 1, 37, 0, std::vector<RegularSample>(37, RegularSample {1.0f, 0.0f, 0.0f, 1.0f}), {},
        {0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 0.0f});
    expectImageIsColorAtPerPixel(SpeedCoder(narrow, indexTable(255)), lattice(-2.0f, 0.01f, 400), ys, "one column");
}

} // namespace
} // namespace tvl
