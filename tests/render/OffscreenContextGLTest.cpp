#include "render/OffscreenContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace tvl {
namespace {

using Pixel = std::array<std::uint8_t, 4>;

class OffscreenContextGLTest : public ::testing::TestWithParam<OffscreenContext::Target> {
protected:
    void SetUp() override
    {
        // The batch renderer and the tests run on machines without any display.
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
    }
};

TEST_P(OffscreenContextGLTest, ClearsAndReadsBackTheWholeBufferWithoutADisplay)
{
    OffscreenContext context;
    std::string reason;
    ASSERT_TRUE(context.create(64, 32, reason, GetParam())) << reason;
    EXPECT_TRUE(context.isValid());
    EXPECT_EQ(context.usesPbuffer(), GetParam() == OffscreenContext::Target::Pbuffer);

    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 64) << "the viewport starts as the whole buffer";
    EXPECT_EQ(viewport[3], 32);

    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const RgbaImage image = context.readPixels();
    ASSERT_EQ(image.width(), 64);
    ASSERT_EQ(image.height(), 32);
    for (const auto& [x, y] : {std::array {0, 0}, std::array {63, 0}, std::array {0, 31}, std::array {63, 31}}) {
        const Pixel p = image.pixel(x, y);
        EXPECT_EQ(p, (Pixel {51, 102, 153, 255})) << "clear colour missing at " << x << ", " << y;
    }
}

TEST_P(OffscreenContextGLTest, ReadsRowsBottomUpAndRunsTheLegacyPipeline)
{
    OffscreenContext context;
    std::string reason;
    ASSERT_TRUE(context.create(40, 20, reason, GetParam())) << reason;
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, 40.0, 0.0, 20.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    // An immediate-mode quad over the lower half, recorded in a display list.
    const GLuint list = glGenLists(1);
    ASSERT_NE(list, 0u) << "display lists are missing";
    glNewList(list, GL_COMPILE);
    glColor3f(1.0f, 0.0f, 0.0f);
    glBegin(GL_POLYGON);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(40.0f, 0.0f);
    glVertex2f(40.0f, 10.0f);
    glVertex2f(0.0f, 10.0f);
    glEnd();
    glEndList();
    glCallList(list);
    glDeleteLists(list, 1);

    // Two pixels through glDrawPixels at the top right corner.
    const std::uint8_t pixels[8] = {0, 255, 0, 255, 0, 0, 255, 255};
    glRasterPos2i(38, 19);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glDrawPixels(2, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const RgbaImage image = context.readPixels();
    EXPECT_EQ(image.pixel(5, 0), (Pixel {255, 0, 0, 255})) << "row 0 must be the bottom row";
    EXPECT_EQ(image.pixel(5, 9), (Pixel {255, 0, 0, 255}));
    EXPECT_EQ(image.pixel(5, 10), (Pixel {0, 0, 0, 0})) << "the quad covers the lower half only";
    EXPECT_EQ(image.pixel(38, 19), (Pixel {0, 255, 0, 255})) << "glDrawPixels missing";
    EXPECT_EQ(image.pixel(39, 19), (Pixel {0, 0, 255, 255}));
}

INSTANTIATE_TEST_SUITE_P(Targets, OffscreenContextGLTest,
    ::testing::Values(OffscreenContext::Target::Pbuffer, OffscreenContext::Target::FramebufferObject),
    [](const ::testing::TestParamInfo<OffscreenContext::Target>& target) {
        return target.param == OffscreenContext::Target::Pbuffer ? "Pbuffer" : "FramebufferObject";
    });

TEST(OffscreenContext, ReportsImpossibleSizesInsteadOfCrashing)
{
    OffscreenContext context;
    std::string reason;
    EXPECT_FALSE(context.create(0, 10, reason)) << "a buffer without width was accepted";
    EXPECT_FALSE(reason.empty()) << "failure without a reason";
    EXPECT_FALSE(context.isValid());
    EXPECT_FALSE(context.makeCurrent()) << "an empty object claims a context";
    EXPECT_TRUE(context.readPixels().isEmpty());

    for (const auto target : {OffscreenContext::Target::Pbuffer, OffscreenContext::Target::FramebufferObject}) {
        reason.clear();
        EXPECT_FALSE(context.create(1 << 20, 1 << 20, reason, target)) << "a 2^20 square buffer cannot exist";
        EXPECT_FALSE(reason.empty());
        EXPECT_FALSE(context.isValid()) << "a failed create left a context behind";
    }

    // The failures leave the object usable.
    ASSERT_TRUE(context.create(8, 8, reason)) << reason;
    EXPECT_EQ(context.readPixels().width(), 8);
}

TEST(OffscreenContext, KeepsSeveralContextsApart)
{
    std::string reason;
    OffscreenContext first;
    ASSERT_TRUE(first.create(16, 16, reason)) << reason;
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    {
        OffscreenContext second;
        ASSERT_TRUE(second.create(8, 4, reason)) << reason;
        glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        EXPECT_EQ(first.readPixels().pixel(3, 3), (Pixel {255, 0, 0, 255})) << "first context lost its picture";
        EXPECT_EQ(second.readPixels().pixel(3, 3), (Pixel {0, 0, 255, 255})) << "second context drew elsewhere";
    }
    // The second context's end must not take the shared display down with it.
    ASSERT_TRUE(first.makeCurrent());
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(first.readPixels().pixel(0, 0), (Pixel {0, 255, 0, 255}));

    // A second create replaces the buffer with one of the new size.
    ASSERT_TRUE(first.create(5, 3, reason)) << reason;
    const RgbaImage image = first.readPixels();
    EXPECT_EQ(image.width(), 5);
    EXPECT_EQ(image.height(), 3);
}

} // namespace
} // namespace tvl
