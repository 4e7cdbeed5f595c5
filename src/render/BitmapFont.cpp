#include "render/BitmapFont.h"

#include "render/RgbaImage.h"

#include <string_view>
#include <vector>

namespace tvl {

namespace {

struct Glyph {
    std::string_view character; // one UTF-8 character
    const char* rows[BitmapFont::kGlyphHeight];
};

// Top row first; '#' is ink.
constexpr Glyph kGlyphs[] = {
    {"0", {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {"1", {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {"2", {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {"3", {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
    {"4", {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {"5", {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {"6", {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {"7", {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {"8", {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {"9", {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {".", {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
    {"-", {".....", ".....", ".....", "#####", ".....", ".....", "....."}},
    {"+", {".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."}},
    {"e", {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."}},
    {"\u00b0", {".##..", "#..#.", "#..#.", ".##..", ".....", ".....", "....."}},
    {"i", {"..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."}},
    {"n", {".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"}},
    {"f", {"..##.", ".#..#", ".#...", "###..", ".#...", ".#...", ".#..."}},
    {"a", {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"}},
    {" ", {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
};

constexpr Glyph kUnknown = {"", {"#####", "#...#", "#...#", "#...#", "#...#", "#...#", "#####"}};

// The glyphs of text, one per UTF-8 character.
std::vector<const Glyph*> glyphsOf(const std::string& text)
{
    std::vector<const Glyph*> glyphs;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t length = 1;
        while (i + length < text.size() && (static_cast<unsigned char>(text[i + length]) & 0xc0u) == 0x80u)
            ++length;
        const std::string_view character(text.data() + i, length);
        const Glyph* found = &kUnknown;
        for (const Glyph& glyph : kGlyphs)
            if (glyph.character == character)
                found = &glyph;
        glyphs.push_back(found);
        i += length;
    }
    return glyphs;
}

} // namespace

int BitmapFont::width(const std::string& text) const
{
    const std::size_t count = glyphsOf(text).size();
    if (count == 0)
        return 0;
    return static_cast<int>(count) * (kGlyphWidth + kSpacing) * scale_ - kSpacing * scale_;
}

void BitmapFont::draw(
    RgbaImage& image, int x, int top, const std::string& text, const std::array<std::uint8_t, 4>& rgba) const
{
    for (const Glyph* glyph : glyphsOf(text)) {
        for (int row = 0; row < kGlyphHeight; ++row) {
            for (int column = 0; column < kGlyphWidth; ++column) {
                if (glyph->rows[row][column] != '#')
                    continue;
                for (int dy = 0; dy < scale_; ++dy) {
                    for (int dx = 0; dx < scale_; ++dx) {
                        const int px = x + column * scale_ + dx;
                        const int fromTop = top + row * scale_ + dy;
                        const int py = image.height() - 1 - fromTop;
                        if (px >= 0 && px < image.width() && py >= 0 && py < image.height())
                            image.setPixel(px, py, rgba);
                    }
                }
            }
        }
        x += (kGlyphWidth + kSpacing) * scale_;
    }
}

} // namespace tvl
