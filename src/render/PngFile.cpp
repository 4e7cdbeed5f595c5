#include "render/PngFile.h"

#include "render/AtomicFile.h"
#include "render/RgbaImage.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>

namespace tvl {

namespace {

// A row stride of -(4 × width) tells libpng that the bottom row comes first.
png_int_32 bottomUpStride(int width)
{
    return -static_cast<png_int_32>(4 * width);
}

png_image headerOf(const RgbaImage& image)
{
    png_image header;
    std::memset(&header, 0, sizeof header);
    header.version = PNG_IMAGE_VERSION;
    header.width = static_cast<png_uint_32>(image.width());
    header.height = static_cast<png_uint_32>(image.height());
    header.format = PNG_FORMAT_RGBA;
    return header;
}

} // namespace

bool writePng(const std::string& path, const RgbaImage& image, std::string& error)
{
    if (image.isEmpty()) {
        error = "cannot write an empty image";
        return false;
    }
    if (image.width() > std::numeric_limits<png_int_32>::max() / 4) {
        error = "image too wide for PNG";
        return false;
    }
    return writeFileAtomically(
        path,
        [&image](std::FILE* file, std::string& failure) {
            png_image header = headerOf(image);
            const bool encoded
                = png_image_write_to_stdio(&header, file, 0, image.data(), bottomUpStride(image.width()), nullptr) != 0;
            if (!encoded)
                failure = std::string("PNG encoding failed: ") + header.message;
            png_image_free(&header);
            return encoded;
        },
        error);
}

bool encodePng(const RgbaImage& image, std::vector<std::uint8_t>& png, std::string& error)
{
    if (image.isEmpty() || image.width() > std::numeric_limits<png_int_32>::max() / 4) {
        error = "cannot encode an empty or too wide image as PNG";
        return false;
    }
    png_image header = headerOf(image);
    png_alloc_size_t bytes = 0;
    // The first call only measures.
    if (png_image_write_to_memory(&header, nullptr, &bytes, 0, image.data(), bottomUpStride(image.width()), nullptr)
        == 0) {
        error = std::string("PNG encoding failed: ") + header.message;
        png_image_free(&header);
        return false;
    }
    std::vector<std::uint8_t> encoded(bytes);
    const bool done = png_image_write_to_memory(
                          &header, encoded.data(), &bytes, 0, image.data(), bottomUpStride(image.width()), nullptr)
        != 0;
    if (!done)
        error = std::string("PNG encoding failed: ") + header.message;
    png_image_free(&header);
    if (!done)
        return false;
    encoded.resize(bytes);
    png = std::move(encoded);
    return true;
}

bool readPng(const std::string& path, RgbaImage& image, std::string& error)
{
    png_image header;
    std::memset(&header, 0, sizeof header);
    header.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&header, path.c_str()) == 0) {
        error = "cannot read " + path + ": " + header.message;
        png_image_free(&header);
        return false;
    }
    header.format = PNG_FORMAT_RGBA;
    if (header.width > 65536 || header.height > 65536) {
        error = path + " is too large";
        png_image_free(&header);
        return false;
    }
    RgbaImage read(static_cast<int>(header.width), static_cast<int>(header.height));
    if (png_image_finish_read(&header, nullptr, read.data(), bottomUpStride(read.width()), nullptr) == 0) {
        error = "cannot decode " + path + ": " + header.message;
        png_image_free(&header);
        return false;
    }
    image = std::move(read);
    return true;
}

} // namespace tvl
