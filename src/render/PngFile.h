#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tvl {

class RgbaImage;

// Writes an 8-bit RGBA PNG file; the file holds the image's top row first, so
// the picture stands upright in any viewer. The file is first written under a
// temporary name beside the target and renamed into place only when complete:
// on failure (false, error says why) no file is left behind and an existing
// file of that name is kept as it was. An empty image is refused.
bool writePng(const std::string& path, const RgbaImage& image, std::string& error);

// The bytes of the PNG file writePng would write, in memory. False with the
// cause in error for an empty image; png is then untouched.
bool encodePng(const RgbaImage& image, std::vector<std::uint8_t>& png, std::string& error);

// Reads any PNG file into 8-bit RGBA, rows bottom-up as RgbaImage holds them.
// False with the cause in error when the file is missing or not a PNG; image
// is then untouched.
bool readPng(const std::string& path, RgbaImage& image, std::string& error);

} // namespace tvl
