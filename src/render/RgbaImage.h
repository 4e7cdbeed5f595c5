#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace tvl {

// A picture of width × height pixels, four bytes red, green, blue, alpha per
// pixel. Rows run bottom-up, as OpenGL reads them back: row 0 is the bottom row,
// so pixel (x, y) is in viewport pixel coordinates (origin bottom left, y up).
class RgbaImage {
public:
    RgbaImage() = default;
    // Every pixel starts as transparent black (all four bytes 0).
    RgbaImage(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    bool isEmpty() const { return width_ <= 0 || height_ <= 0; }

    // Bytes of all rows, bottom row first, no padding between rows.
    std::uint8_t* data() { return bytes_.data(); }
    const std::uint8_t* data() const { return bytes_.data(); }

    // (x, y) must lie inside; y counts from the bottom row.
    std::array<std::uint8_t, 4> pixel(int x, int y) const;
    void setPixel(int x, int y, const std::array<std::uint8_t, 4>& rgba);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> bytes_;
};

} // namespace tvl
