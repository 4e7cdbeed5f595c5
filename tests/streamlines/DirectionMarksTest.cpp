#include "streamlines/DirectionMarks.h"

#include "StreamlineFlows.h"
#include "streamlines/RungeKutta4Integrator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace tvl {
namespace {

double pixelDistance(const Vector3& a, const Vector3& b, PixelScale scale)
{
    return std::hypot((a.x - b.x) / scale.x, (a.y - b.y) / scale.y);
}

std::vector<DirectionMark> marksOf(const std::vector<Vector3>& points, PixelScale scale, float spacing)
{
    std::vector<DirectionMark> marks;
    placeDirectionMarks(points, StreamlineSet::Sense::WithFlow, scale, spacing, marks);
    return marks;
}

// Both half-lines through the seed are traced (fourth order, steps of 0.05
// grid units); every mark must point along the flow as it looks on screen,
// the backward half-line's included.
TEST(DirectionMarksTest, MarksPointDownstreamInBothHalfLines)
{
    const auto uniform = [](Vector3 v) { return [v](FlowData& f) { test::setUniform(f, 200, 200, v); }; };
    const struct {
        std::function<void(FlowData&)> make;
        Vector3 seed;
        PixelScale scale;
    } rows[] = {{uniform({1.0f, 0.0f, 0.0f}), {100, 100, 0}, {0.25f, 2.0f}},
        {uniform({-0.6f, 0.8f, 0.0f}), {100, 100, 0}, {0.5f, 0.125f}},
        {[](FlowData& f) { test::setRotation(f, 61); }, {30, 50, 0}, {0.1f, 0.1f}}};
    for (const auto& row : rows) {
        FlowData flow;
        row.make(flow);
        RungeKutta4Integrator integrator(&flow);
        integrator.setParameters({0.05f, 1.0e9f, 1500});
        integrator.traceBoth(row.seed);
        ASSERT_GT(integrator.backwardLine().count(), 30);
        std::vector<DirectionMark> marks;
        for (const auto& [line, sense] : {std::pair {&integrator.forwardLine(), StreamlineSet::Sense::WithFlow},
                 std::pair {&integrator.backwardLine(), StreamlineSet::Sense::AgainstFlow}})
            placeDirectionMarks(
                {line->data(), static_cast<std::size_t>(line->count())}, sense, row.scale, 12.0f, marks);
        ASSERT_GT(marks.size(), 4u);
        for (const DirectionMark& mark : marks) {
            Vector3 v;
            ASSERT_TRUE(flow.directionAt(mark.position, v));
            const double sx = v.x / row.scale.x, sy = v.y / row.scale.y;
            EXPECT_NEAR((mark.dx * sx + mark.dy * sy) / std::hypot(sx, sy), 1.0, 1e-3)
                << "the mark at (" << mark.position.x << ", " << mark.position.y << ") points elsewhere";
        }
    }
}

TEST(DirectionMarksTest, MarksAreSpacingApartOnScreenAndHalfOfItFromTheSeed)
{
    const PixelScale scale {0.5f, 2.0f};
    for (const float spacing : {80.0f, 6.0f}) {
        // Two half-lines of 2000 pixels along ±(0.6, 0.8) on screen, 0.7 pixels per step.
        std::vector<Vector3> forward, backward;
        for (int i = 0; i < 2858; ++i) {
            const float s = 0.7f * static_cast<float>(i);
            forward.push_back({0.6f * s * scale.x, 0.8f * s * scale.y, 0.0f});
            backward.push_back({-0.6f * s * scale.x, -0.8f * s * scale.y, 0.0f});
        }
        std::vector<DirectionMark> marks = marksOf(forward, scale, spacing);
        const std::size_t half = marks.size();
        placeDirectionMarks(backward, StreamlineSet::Sense::AgainstFlow, scale, spacing, marks);
        ASSERT_EQ(half, static_cast<std::size_t>(2000.0f / spacing + 0.5f)) << "spacing " << spacing;
        ASSERT_EQ(marks.size(), 2 * half);
        EXPECT_NEAR(pixelDistance(marks[0].position, forward[0], scale), spacing / 2, 1e-3);
        EXPECT_NEAR(pixelDistance(marks[0].position, marks[half].position, scale), spacing, 1e-3) << "across the seed";
        for (std::size_t k = 1; k < marks.size(); ++k) {
            const double apart = pixelDistance(marks[k].position, marks[k - 1].position, scale);
            EXPECT_TRUE(k == half || std::abs(apart - spacing) <= 1.0)
                << "marks " << k - 1 << ", " << k << ": " << apart;
            EXPECT_TRUE(std::abs(marks[k].dx - 0.6f) < 1e-3f && std::abs(marks[k].dy - 0.8f) < 1e-3f)
                << "both half-lines point along +(0.6, 0.8)";
        }
    }
}

TEST(DirectionMarksTest, ShortLinesWindingLinesAndBadSpacingsGetFewOrNoMarks)
{
    const struct {
        float length; // pixels
        float spacing;
        std::size_t marks;
    } rows[] = {{39.9f, 80.0f, 0}, {40.0f, 80.0f, 1}, {119.0f, 80.0f, 1}, {120.5f, 80.0f, 2}, {500.0f, 0.0f, 0},
        {500.0f, 0.5f, 0}, {500.0f, NAN, 0}};
    for (const auto& row : rows)
        EXPECT_EQ(marksOf({{0.0f, 0.0f, 0.0f}, {row.length, 0.0f, 0.0f}}, {1.0f, 1.0f}, row.spacing).size(), row.marks)
            << "a line of " << row.length << " pixels, spacing " << row.spacing;
    // Twenty turns round a circle of 75 pixels (radius 6 at 2 pixels per grid
    // unit): the marks of later turns would land on those of the first.
    std::vector<Vector3> circle;
    for (int i = 0; i <= 2400; ++i)
        circle.push_back({float(6.0 * std::cos(M_PI * i / 60.0)), float(6.0 * std::sin(M_PI * i / 60.0)), 0.0f});
    const std::size_t marks = marksOf(circle, {0.5f, 0.5f}, 20.0f).size();
    EXPECT_TRUE(marks >= 3 && marks <= 4) << marks << " marks on a winding line, 20 pixels apart on its first turn";
}

TEST(DirectionMarksTest, ArrowheadHasItsSizeInPixelsWhateverTheScale)
{
    for (const PixelScale scale : {PixelScale {1.0f, 1.0f}, PixelScale {0.5f, 2.0f}}) {
        const DirectionMark mark {{3.0f, -4.0f, 0.0f}, -0.6f, 0.8f, 0};
        const auto [tip, left, right] = arrowheadOf(mark, scale);
        const Vector3 base {0.5f * (left.x + right.x), 0.5f * (left.y + right.y), 0.0f};
        EXPECT_NEAR(pixelDistance(tip, base, scale), kMarkLengthPixels, 1e-4);
        EXPECT_NEAR(pixelDistance(left, right, scale), kMarkWidthPixels, 1e-4);
        EXPECT_NEAR((tip.x - mark.position.x) / scale.x, -0.6 * kMarkLengthPixels / 2, 1e-4) << "tip ahead, centred";
        EXPECT_NEAR((tip.y - mark.position.y) / scale.y, 0.8 * kMarkLengthPixels / 2, 1e-4);
    }
}

} // namespace
} // namespace tvl
