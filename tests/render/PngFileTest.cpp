#include "render/PngFile.h"

#include "render/RgbaImage.h"

#include "FlowFiles.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace tvl {
namespace {

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
    ASSERT_TRUE(writePng(dir.file("cut.png"), RgbaImage(40, 40), error)) << error;
    test::writeBytes(dir.file("cut.png"), test::readBytes(dir.file("cut.png")).substr(0, 60));
    EXPECT_FALSE(readPng(dir.file("old.png"), image, error) || readPng(dir.file("none.png"), image, error)
        || readPng(dir.file("cut.png"), image, error))
        << "not a PNG, no file, a PNG cut short";
    EXPECT_TRUE(RgbaImage(0, 3).isEmpty() && RgbaImage(3, 0).isEmpty() && !image.isEmpty());
    EXPECT_EQ(image.width(), 2) << "a failed read keeps the image";
    EXPECT_EQ(test::readBytes(dir.file("old.png")), "keep me") << "a failed write touched the file";
}

} // namespace
} // namespace tvl
