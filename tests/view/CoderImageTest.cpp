// The coders colour whole images in bands on two threads, the speed coder
// four pixels at a time from shared column cells; every byte must be what
// colorAt gives pixel by pixel.
#include "view/AdditionalDataCoder.h"
#include "view/DirectionCoder.h"
#include "view/SpeedCoder.h"

#include "RegularGrids.h"
#include "transfer/ColorTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <vector>

namespace tvl {
namespace {

std::shared_ptr<ColorTable> table(int count)
{
    auto colours = std::make_shared<ColorTable>(count);
    for (int i = 0; i < count; ++i)
        colours->setEntry(i, Rgb {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 7), 77});
    return colours;
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

TEST(CoderImageTest, EveryCoderFillsWhatColorAtGivesPerPixel)
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
        SpeedCoder speed(flow, table(entries));
        DirectionCoder direction(flow, table(entries));
        AdditionalDataCoder additional(flow, table(entries), 0);
        AdditionalDataCoder missing(flow, table(entries), 1);
        for (const DataCoder* coder :
            std::initializer_list<const DataCoder*> {&speed, &direction, &additional, &missing}) {
            expectImageIsColorAtPerPixel(*coder, xs, ys, "whole lattice");
            expectImageIsColorAtPerPixel(*coder, xs, {ys[150]}, "one row");
        }
    }
    FlowData narrow;
    test::setRegularGrid(narrow, 1, 37, 0, std::vector<RegularSample>(37, RegularSample {1.0f, 0.0f, 0.0f, 1.0f}), {},
        {0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 0.0f});
    expectImageIsColorAtPerPixel(SpeedCoder(narrow, table(255)), lattice(-2.0f, 0.01f, 400), ys, "one column");
}

} // namespace
} // namespace tvl
