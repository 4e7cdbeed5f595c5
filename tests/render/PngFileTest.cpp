#include "render/PngFile.h"

#include "render/RgbaImage.h"

#include "FlowFiles.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tvl {
namespace {

TEST(PngFile, ReadsBackWhatItWrote)
{
    test::TempDir dir;
    RgbaImage image(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            image.setPixel(
                x, y, {std::uint8_t(x * 20), std::uint8_t(y * 30), std::uint8_t(x + y), std::uint8_t(255 - x)});
    std::string error;
    ASSERT_TRUE(writePng(dir.file("p.png"), image, error)) << error;
    RgbaImage read;
    ASSERT_TRUE(readPng(dir.file("p.png"), read, error)) << error;
    ASSERT_EQ(read.width() * 10 + read.height(), 75);
    EXPECT_TRUE(std::equal(image.data(), image.data() + 4 * 35, read.data())) << "pixels changed on the way";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "a temporary file stayed";
}

TEST(PngFile, FailuresWriteNothingAndKeepWhatWasThere)
{
    test::TempDir dir;
    std::ofstream(dir.file("old.png")) << "keep me";
    std::string error;
    for (const auto& [path, image] :
        {std::pair {dir.file("no/such/folder/p.png"), RgbaImage(3, 3)}, {dir.file("old.png"), RgbaImage()},
            {dir.file("old.png"), RgbaImage(0, 3)}, {dir.file("old.png"), RgbaImage(3, 0)}}) {
        error.clear();
        EXPECT_FALSE(writePng(path, image, error)) << image.width() << " × " << image.height();
        EXPECT_FALSE(error.empty()) << "a failure names its cause";
    }
    RgbaImage image(2, 2);
    EXPECT_FALSE(readPng(dir.file("old.png"), image, error) || readPng(dir.file("none.png"), image, error));
    EXPECT_TRUE(RgbaImage(0, 3).isEmpty() && RgbaImage(3, 0).isEmpty() && !image.isEmpty());
    EXPECT_EQ(image.width(), 2) << "a failed read keeps the image";
    EXPECT_EQ(test::readBytes(dir.file("old.png")), "keep me") << "a failed write touched the file";
}

} // namespace
} // namespace tvl
