#include "streamlines/DirectionMarks.h"

#include "StreamlineFlows.h"
#include "streamlines/RungeKutta4Integrator.h"
#include "streamlines/StreamlineSet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tvl {
namespace {

// Both half-lines of the streamline through seed, traced with the fourth-order
// scheme in steps of 0.05 grid units.
StreamlineSet traceThrough(const FlowData& flow, Vector3 seed, int steps)
{
    RungeKutta4Integrator integrator(&flow);
    integrator.setParameters({0.05f, 1.0e9f, steps});
    integrator.traceBoth(seed);
    StreamlineSet lines;
    lines.addStreamline(integrator.forwardLine(), integrator.backwardLine());
    return lines;
}

std::vector<DirectionMark> marksOf(const StreamlineSet& lines, PixelScale scale, float spacing)
{
    std::vector<DirectionMark> marks;
    for (const StreamlineSet::HalfLine& line : lines.halfLines())
        placeDirectionMarks(lines.pointsOf(line), line.sense, scale, spacing, marks);
    return marks;
}

// A straight polyline of count points from the origin along (ux, uy) pixels,
// one step every pixelsPerStep, in grid units at scale.
std::vector<Vector3> straightLine(float ux, float uy, float pixelsPerStep, int count, PixelScale scale)
{
    std::vector<Vector3> points;
    for (int i = 0; i < count; ++i) {
        const float s = pixelsPerStep * static_cast<float>(i);
        points.push_back({s * ux * scale.x, s * uy * scale.y, 0.0f});
    }
    return points;
}

double pixelDistance(const Vector3& a, const Vector3& b, PixelScale scale)
{
    return std::hypot((a.x - b.x) / scale.x, (a.y - b.y) / scale.y);
}

TEST(DirectionMarksTest, MarksPointDownstreamInBothHalfLinesOfAUniformFlow)
{
    struct Row {
        Vector3 velocity;
        PixelScale scale;
    };
    // The direction on screen is the flow's with each axis divided by its scale.
    for (const Row& row : {Row {{1.0f, 0.0f, 0.0f}, {1.0f, 1.0f}}, Row {{1.0f, 0.0f, 0.0f}, {0.25f, 2.0f}},
             Row {{-0.6f, 0.8f, 0.0f}, {0.5f, 0.125f}}}) {
        FlowData flow;
        test::setUniform(flow, 200, 200, row.velocity);
        const StreamlineSet lines = traceThrough(flow, {100.0f, 100.0f, 0.0f}, 1500);
        const std::vector<DirectionMark> marks = marksOf(lines, row.scale, 10.0f);
        const double sx = row.velocity.x / row.scale.x;
        const double sy = row.velocity.y / row.scale.y;
        const double length = std::hypot(sx, sy);
        int against = 0;
        for (const StreamlineSet::HalfLine& line : lines.halfLines())
            against += line.sense == StreamlineSet::Sense::AgainstFlow && line.count > 100 ? 1 : 0;
        ASSERT_EQ(against, 1) << "the backward half-line must be traced";
        ASSERT_GT(marks.size(), 10u);
        for (const DirectionMark& mark : marks)
            EXPECT_NEAR(mark.dx * sx / length + mark.dy * sy / length, 1.0, 1e-5)
                << "a mark at (" << mark.position.x << ", " << mark.position.y << ") points upstream or aside";
    }
}

TEST(DirectionMarksTest, MarksFollowTheSenseOfASolidBodyRotation)
{
    FlowData flow;
    test::setRotation(flow, 61); // counter-clockwise about (30, 30)
    const StreamlineSet lines = traceThrough(flow, {30.0f, 50.0f, 0.0f}, 40);
    const std::vector<DirectionMark> marks = marksOf(lines, {0.1f, 0.1f}, 15.0f);
    ASSERT_GT(marks.size(), 6u);
    for (const DirectionMark& mark : marks) {
        const double rx = mark.position.x - 30.0;
        const double ry = mark.position.y - 30.0;
        const double r = std::hypot(rx, ry);
        EXPECT_NEAR(r, 20.0, 0.05) << "marks sit on the circle";
        EXPECT_GT((mark.dx * -ry + mark.dy * rx) / r, 0.999)
            << "a mark turns clockwise at angle " << std::atan2(ry, rx);
    }
}

TEST(DirectionMarksTest, MarksAreSpacingApartOnScreenAndHalfOfItFromTheSeed)
{
    const PixelScale scale {0.5f, 2.0f};
    for (const float spacing : {80.0f, 25.0f, 6.0f}) {
        // 0.7 pixels per step, so marks fall inside steps, over 2000 pixels.
        const std::vector<Vector3> forward = straightLine(0.6f, 0.8f, 0.7f, 2858, scale);
        const std::vector<Vector3> backward = straightLine(-0.6f, -0.8f, 0.7f, 2858, scale);
        std::vector<DirectionMark> marks;
        placeDirectionMarks(forward, StreamlineSet::Sense::WithFlow, scale, spacing, marks);
        const std::size_t forwardMarks = marks.size();
        placeDirectionMarks(backward, StreamlineSet::Sense::AgainstFlow, scale, spacing, marks);
        ASSERT_EQ(forwardMarks, static_cast<std::size_t>(2000.0f / spacing + 0.5f)) << "spacing " << spacing;
        ASSERT_EQ(marks.size(), 2 * forwardMarks);
        EXPECT_NEAR(pixelDistance(marks[0].position, forward[0], scale), spacing / 2, 1e-3);
        EXPECT_NEAR(pixelDistance(marks[0].position, marks[forwardMarks].position, scale), spacing, 1e-3)
            << "across the seed";
        for (std::size_t k = 1; k < marks.size(); ++k) {
            if (k == forwardMarks)
                continue;
            EXPECT_NEAR(pixelDistance(marks[k].position, marks[k - 1].position, scale), spacing, 1.0)
                << "mark " << k << " at spacing " << spacing;
            EXPECT_NEAR(marks[k].dx, 0.6f, 1e-3f) << "both half-lines point along +(0.6, 0.8)";
            EXPECT_NEAR(marks[k].dy, 0.8f, 1e-3f);
        }
    }
}

TEST(DirectionMarksTest, ShortLinesWindingLinesAndBadSpacingsGetFewOrNoMarks)
{
    struct Row {
        float length; // pixels
        float spacing;
        std::size_t marks;
    };
    for (const Row& row : {Row {39.9f, 80.0f, 0}, Row {40.0f, 80.0f, 1}, Row {119.0f, 80.0f, 1}, Row {120.5f, 80.0f, 2},
             Row {500.0f, 0.0f, 0}, Row {500.0f, 0.5f, 0}, Row {500.0f, NAN, 0}}) {
        const std::vector<Vector3> points {{0.0f, 0.0f, 0.0f}, {row.length, 0.0f, 0.0f}};
        std::vector<DirectionMark> marks;
        placeDirectionMarks(points, StreamlineSet::Sense::WithFlow, {1.0f, 1.0f}, row.spacing, marks);
        EXPECT_EQ(marks.size(), row.marks) << "a line of " << row.length << " pixels, spacing " << row.spacing;
    }
    // Twenty turns round a circle of 6 pixels (38 pixels each): every mark
    // after the first turn would land on an earlier one.
    std::vector<Vector3> spiral;
    for (int i = 0; i <= 2400; ++i) {
        const double a = 2.0 * M_PI * i / 120.0;
        spiral.push_back({static_cast<float>(6.0 * std::cos(a)), static_cast<float>(6.0 * std::sin(a)), 0.0f});
    }
    std::vector<DirectionMark> marks;
    placeDirectionMarks(spiral, StreamlineSet::Sense::WithFlow, {1.0f, 1.0f}, 20.0f, marks);
    EXPECT_LE(marks.size(), 3u) << "marks piled up on a winding line";
    EXPECT_GE(marks.size(), 1u);
}

TEST(DirectionMarksTest, ArrowheadHasItsSizeInPixelsWhateverTheScale)
{
    for (const PixelScale scale : {PixelScale {1.0f, 1.0f}, PixelScale {0.5f, 2.0f}}) {
        for (const DirectionMark mark : {DirectionMark {{10.0f, 10.0f, 0.0f}, 1.0f, 0.0f, 0},
                 DirectionMark {{3.0f, -4.0f, 0.0f}, -0.6f, 0.8f, 0}}) {
            const auto [tip, left, right] = arrowheadOf(mark, scale);
            const Vector3 base {0.5f * (left.x + right.x), 0.5f * (left.y + right.y), 0.0f};
            EXPECT_NEAR(pixelDistance(tip, base, scale), kMarkLengthPixels, 1e-4);
            EXPECT_NEAR(pixelDistance(left, right, scale), kMarkWidthPixels, 1e-4);
            EXPECT_NEAR(pixelDistance(tip, mark.position, scale), kMarkLengthPixels / 2, 1e-4) << "centred on the mark";
            EXPECT_NEAR((tip.x - mark.position.x) / scale.x, mark.dx * kMarkLengthPixels / 2, 1e-4) << "tip ahead";
            EXPECT_NEAR((tip.y - mark.position.y) / scale.y, mark.dy * kMarkLengthPixels / 2, 1e-4);
        }
    }
}

} // namespace
} // namespace tvl
