#include "render/PngFile.h"

#include "render/RgbaImage.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace tvl {

namespace {

// A row stride of -(4 × width) tells libpng that the bottom row comes first.
png_int_32 bottomUpStride(int width)
{
    return -static_cast<png_int_32>(4 * width);
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

    std::string temporary = path + ".XXXXXX";
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) {
        error = "cannot create a file beside " + path + ": " + std::strerror(errno);
        return false;
    }
    std::FILE* file = fdopen(descriptor, "wb");
    if (file == nullptr) {
        error = "cannot open " + temporary + ": " + std::strerror(errno);
        close(descriptor);
        std::remove(temporary.c_str());
        return false;
    }

    png_image header;
    std::memset(&header, 0, sizeof header);
    header.version = PNG_IMAGE_VERSION;
    header.width = static_cast<png_uint_32>(image.width());
    header.height = static_cast<png_uint_32>(image.height());
    header.format = PNG_FORMAT_RGBA;

    const bool encoded
        = png_image_write_to_stdio(&header, file, 0, image.data(), bottomUpStride(image.width()), nullptr) != 0;
    if (!encoded)
        error = std::string("PNG encoding failed: ") + header.message;
    png_image_free(&header);

    // fclose flushes the last buffered bytes, so a full disk shows up only here.
    const bool closed = std::fclose(file) == 0;
    if (encoded && !closed)
        error = "cannot finish " + path + ": " + std::strerror(errno);
    if (!encoded || !closed) {
        std::remove(temporary.c_str());
        return false;
    }
    // mkstemp creates the file for its owner only; a picture is meant to be shared
    // like any other file the user writes, so it takes the usual mode.
    const mode_t mask = umask(0);
    umask(mask);
    chmod(temporary.c_str(), 0666 & ~mask);
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
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
