#include "render/Legend.h"

#include "render/BitmapFont.h"
#include "render/RgbaImage.h"
#include "transfer/ColorTable.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace tvl {
namespace {

using Pixel = std::array<std::uint8_t, 4>;

const Pixel kWhite = {255, 255, 255, 255};
const Pixel kBlack = {0, 0, 0, 255};

// Columns of image row y (counted from the top) that hold white.
int whiteColumns(const RgbaImage& image, int fromTop, int x0, int x1)
{
    int n = 0;
    for (int x = x0; x < x1; ++x)
        for (int row = fromTop; row < fromTop + BitmapFont::kGlyphHeight * Legend::kFontScale; ++row)
            if (image.pixel(x, image.height() - 1 - row) == kWhite) {
                ++n;
                break;
            }
    return n;
}

TEST(Legend, PutsTheRampAndBothValuesUnderThePicture)
{
    // A 116-pixel picture leaves a ramp of 100 columns; four entries give 25
    // columns each: red, green, blue, grey.
    RgbaImage picture(116, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 116; ++x)
            picture.setPixel(x, y, {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 9, 255});
    ColorTable table(4);
    table.setEntry(0, {255, 0, 0});
    table.setEntry(1, {0, 255, 0});
    table.setEntry(2, {0, 0, 255});
    table.setEntry(3, {128, 128, 128});

    const RgbaImage framed = withLegend(picture, table, "-1", "3.5");
    ASSERT_EQ(framed.width(), 116);
    ASSERT_EQ(framed.height(), 10 + Legend::kHeight);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 116; x += 5)
            ASSERT_EQ(framed.pixel(x, y + Legend::kHeight), picture.pixel(x, y)) << "the picture moved at " << x;

    const int rampRow = Legend::kHeight - 1 - (Legend::kRampTop + Legend::kRampHeight / 2);
    const struct {
        int x;
        Pixel colour;
    } ramp[] = {{0, kBlack}, {8, {255, 0, 0, 255}}, {32, {255, 0, 0, 255}}, {33, {0, 255, 0, 255}},
        {58, {0, 0, 255, 255}}, {107, {128, 128, 128, 255}}, {108, kBlack}, {115, kBlack}};
    for (const auto& column : ramp)
        EXPECT_EQ(framed.pixel(column.x, rampRow), column.colour) << "ramp column " << column.x;
    // Exactly the ramp's rows, black above and below it.
    const int rampEnd = Legend::kRampTop + Legend::kRampHeight;
    for (const auto& [row, colour] : {std::pair {Legend::kRampTop - 1, kBlack}, {Legend::kRampTop, {255, 0, 0, 255}},
             {rampEnd - 1, {255, 0, 0, 255}}, {rampEnd, kBlack}})
        EXPECT_EQ(framed.pixel(8, Legend::kHeight - 1 - row), colour) << "band row " << row;

    // "-1" starts at the margin, "3.5" ends at the margin on the right.
    const BitmapFont font(Legend::kFontScale);
    const int textTop = 10 + Legend::kTextTop;
    EXPECT_GT(whiteColumns(framed, textTop, 8, 8 + font.width("-1")), 12) << "the lowest value is missing";
    EXPECT_EQ(whiteColumns(framed, textTop, 0, 8), 0) << "nothing left of the margin";
    EXPECT_GT(whiteColumns(framed, textTop, 108 - font.width("3.5"), 108), 20) << "the highest value is missing";
    EXPECT_EQ(whiteColumns(framed, textTop, 108, 116), 0) << "nothing right of the margin";
}

TEST(BitmapFont, MeasuresAndClipsItsGlyphs)
{
    EXPECT_EQ(BitmapFont(1).width(""), 0);
    EXPECT_EQ(BitmapFont(1).width("7"), 5);
    EXPECT_EQ(BitmapFont(2).width("-90\u00b0"), 2 * (4 * 6 - 1)) << "the degree sign is one glyph";
    EXPECT_EQ(BitmapFont(0).scale(), 1) << "scales below 1 draw at 1";

    // Unknown characters are hollow boxes; drawing past every edge is clipped.
    RgbaImage box(5, 7);
    const BitmapFont font(1);
    font.draw(box, 0, 0, "?", kWhite);
    EXPECT_TRUE(box.pixel(2, 6) == kWhite && box.pixel(2, 0) == kWhite) << "the box fills the rows from the top";
    EXPECT_EQ(box.pixel(2, 3), (Pixel {0, 0, 0, 0})) << "a box is hollow";
    font.draw(box, -3, -4, "888", kWhite);
    RgbaImage strip(3, 7);
    font.draw(strip, 2, 0, "8", kWhite);
    for (int y = 0; y < 7; ++y)
        EXPECT_NE(strip.pixel(0, y), kWhite) << "a column right of the edge spilled into row " << y + 1;
}

} // namespace
} // namespace tvl
