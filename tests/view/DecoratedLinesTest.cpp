#include "view/DecoratedLines.h"

#include "CoderProbe.h"
#include "RegularGrids.h"
#include "flow/FlowData.h"
#include "streamlines/RungeKutta4Integrator.h"
#include "view/DataCoderFactory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace tvl {
namespace {

constexpr int kEntries = 256;
using test::indexTable;

// A linear shear on a 101 × 41 grid: the flow runs along +x with speed
// 1 + 0.1 × row (1 … 5); additional value 0 is the column (0 … 100).
void setShear(FlowData& flow)
{
    const int w = 101;
    const int h = 41;
    std::vector<RegularSample> samples;
    std::vector<float> values;
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            const float u = 1.0f + 0.1f * static_cast<float>(r);
            samples.push_back({u, 0.0f, 0.0f, u});
            values.push_back(static_cast<float>(c));
        }
    test::setRegularGrid(flow, w, h, 1, std::move(samples), std::move(values), {0, 0, 0}, {2, 1, 0});
}

StreamlineSet linesThrough(const FlowData& flow, const std::vector<Vector3>& seeds)
{
    StreamlineSet lines;
    RungeKutta4Integrator integrator(&flow);
    integrator.setParameters({0.7f, 1.0e9f, 1000});
    for (const Vector3& seed : seeds) {
        integrator.traceBoth(seed);
        lines.addStreamline(integrator.forwardLine(), integrator.backwardLine());
    }
    return lines;
}

int entryOf(double t)
{
    return std::min(static_cast<int>(kEntries * t), kEntries - 1);
}

TEST(DecoratedLinesTest, ColoursAlongLinesInALinearShearFollowTheTransferTable)
{
    FlowData flow;
    setShear(flow);
    const std::shared_ptr<ColorTable> table = indexTable(kEntries);
    const StreamlineSet lines = linesThrough(flow, {{50.0f, 5.0f, 0.0f}, {30.0f, 17.5f, 0.0f}, {70.0f, 38.0f, 0.0f}});
    StreamlineStyle style;
    style.coloured = true;

    struct Row {
        BackgroundQuantity quantity;
        double (*t)(const Vector3&); // the normalised quantity at a point
    };
    for (const Row& row : {Row {BackgroundQuantity::Speed, [](const Vector3& p) { return (1.0 + 0.1 * p.y) / 5.0; }},
             Row {BackgroundQuantity::Direction, [](const Vector3&) { return 0.25; }},
             Row {BackgroundQuantity::AdditionalValue, [](const Vector3& p) { return p.x / 100.0; }}}) {
        const auto coder = makeDataCoder(row.quantity, 0, flow, table);
        const DecoratedLines decorated = decorateStreamlines(lines, style, coder.get(), {0.02f, 0.025f});
        ASSERT_EQ(decorated.colours.size(), lines.points().size());
        for (std::size_t i = 0; i < lines.points().size(); ++i) {
            const Vector3& p = lines.points()[i];
            // Beyond the sampled columns a point takes its neighbour's colour.
            const int want = p.x >= 100.0f || p.x < 0.0f ? decorated.colours[i - 1].r : entryOf(row.t(p));
            EXPECT_LE(std::abs(decorated.colours[i].r - want), 1)
                << "point (" << p.x << ", " << p.y << ") of quantity " << static_cast<int>(row.quantity);
            EXPECT_EQ(decorated.colours[i].g, 255 - decorated.colours[i].r) << "not a table entry";
        }
    }
}

TEST(DecoratedLinesTest, MarksTakeTheLineColourAndPlainLinesStayBare)
{
    FlowData flow;
    setShear(flow);
    const auto coder = makeDataCoder(BackgroundQuantity::AdditionalValue, 0, flow, indexTable(kEntries));
    const StreamlineSet lines = linesThrough(flow, {{50.0f, 20.0f, 0.0f}});
    // 500 pixels each way at this scale: marks 40, 120, … 440 pixels from the seed.
    const DecoratedLines white = decorateStreamlines(lines, {80, false}, coder.get(), {0.2f, 0.2f});
    EXPECT_FALSE(white.isColoured()) << "marks alone colour nothing";
    ASSERT_EQ(white.marks.size(), 6u);
    EXPECT_EQ(white.marks[0].colour, DecoratedLines::kWhite);

    const DecoratedLines coloured = decorateStreamlines(lines, {80, true}, coder.get(), {0.2f, 0.2f});
    ASSERT_EQ(coloured.marks.size(), 6u);
    for (const DecoratedLines::Mark& mark : coloured.marks) {
        // The mark sits two thirds of the way from its base to its tip.
        const float x = (mark.corners[0].x + mark.corners[1].x + mark.corners[2].x) / 3.0f;
        EXPECT_LE(std::abs(mark.colour.r - entryOf(x / 100.0)), 2) << "mark near column " << x;
    }
    EXPECT_TRUE(decorateStreamlines(lines, {0, true}, nullptr, {1, 1}).colours.empty()) << "no coder: white";
    const DecoratedLines plain = decorateStreamlines(lines, StreamlineStyle {}, coder.get(), {1, 1});
    EXPECT_TRUE(plain.colours.empty() && plain.marks.empty() && plain.lines.points() == lines.points());
}

} // namespace
} // namespace tvl
