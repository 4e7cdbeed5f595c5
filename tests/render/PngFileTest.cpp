#include "render/PngFile.h"

#include "render/RgbaImage.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <png.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tvl {
namespace {

using Pixel = std::array<std::uint8_t, 4>;

RgbaImage gradient(int width, int height)
{
    RgbaImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y,
                {static_cast<std::uint8_t>(x * 20), static_cast<std::uint8_t>(y * 30), static_cast<std::uint8_t>(x + y),
                    static_cast<std::uint8_t>(255 - x)});
    return image;
}

// Decodes a file top-down, as an image viewer does, independently of readPng.
std::vector<std::uint8_t> decodeTopDown(const std::string& path, int& width, int& height)
{
    png_image header;
    std::memset(&header, 0, sizeof header);
    header.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&header, path.c_str()) == 0)
        return {};
    header.format = PNG_FORMAT_RGBA;
    width = static_cast<int>(header.width);
    height = static_cast<int>(header.height);
    std::vector<std::uint8_t> rows(PNG_IMAGE_SIZE(header));
    if (png_image_finish_read(&header, nullptr, rows.data(), 0, nullptr) == 0)
        return {};
    return rows;
}

TEST(PngFile, WritesTheTopRowFirstAndReadsBackBottomUp)
{
    test::TempDir dir;
    const std::string path = dir.file("picture.png");
    const RgbaImage image = gradient(7, 5);
    std::string error;
    ASSERT_TRUE(writePng(path, image, error)) << error;

    int width = 0;
    int height = 0;
    const std::vector<std::uint8_t> rows = decodeTopDown(path, width, height);
    ASSERT_EQ(width, 7);
    ASSERT_EQ(height, 5);
    const Pixel top = image.pixel(2, 4);
    EXPECT_TRUE(std::equal(top.begin(), top.end(), rows.begin() + 4 * 2))
        << "the file's first row must be the image's top row";

    RgbaImage read;
    ASSERT_TRUE(readPng(path, read, error)) << error;
    ASSERT_EQ(read.width(), 7);
    ASSERT_EQ(read.height(), 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(read.pixel(x, y), image.pixel(x, y)) << "pixel " << x << ", " << y << " changed on the way";

    // Only the picture is left in the folder: no temporary file stays behind.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST(PngFile, LeavesNoFileAndKeepsAnOldOneWhenWritingFails)
{
    test::TempDir dir;
    std::string error;
    const std::string missingFolder = dir.file("no/such/folder/picture.png");
    EXPECT_FALSE(writePng(missingFolder, gradient(3, 3), error));
    EXPECT_FALSE(error.empty()) << "failure without a cause";
    EXPECT_FALSE(std::filesystem::exists(missingFolder));

    const std::string existing = dir.file("old.png");
    {
        std::ofstream(existing) << "keep me";
    }
    error.clear();
    EXPECT_FALSE(writePng(existing, RgbaImage(), error)) << "an empty image was written";
    EXPECT_FALSE(error.empty());
    std::ifstream in(existing);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "keep me") << "a failed write touched the existing file";
}

TEST(PngFile, RefusesToReadWhatIsNoPng)
{
    test::TempDir dir;
    const std::string path = dir.file("fake.png");
    {
        std::ofstream(path) << "not a picture at all";
    }
    RgbaImage image = gradient(2, 2);
    std::string error;
    EXPECT_FALSE(readPng(path, image, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(image.width(), 2) << "a failed read changed the image";
    EXPECT_FALSE(readPng(dir.file("missing.png"), image, error));
}

} // namespace
} // namespace tvl
