#include "render/OffscreenContext.h"

#include "render/ExtensionList.h"

#include <EGL/egl.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>

namespace tvl {
namespace {

using Pixel = std::array<std::uint8_t, 4>;
using Target = OffscreenContext::Target;

// Both buffers run the legacy pipeline without a display: a clear, a red quad
// over the lower half from a display list, two pixels of glDrawPixels in the
// top right corner; rows read back bottom-up.
class OffscreenContextGLTest : public ::testing::TestWithParam<Target> { };

TEST_P(OffscreenContextGLTest, RunsTheLegacyPipelineAndReadsRowsBottomUp)
{
    unsetenv("DISPLAY");
    OffscreenContext context;
    std::string reason;
    ASSERT_TRUE(context.create(40, 20, reason, GetParam())) << reason;
    EXPECT_EQ(context.usesPbuffer(), GetParam() == Target::Pbuffer);
    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glOrtho(0.0, 40.0, 0.0, 20.0, -1.0, 1.0); // the viewport starts as the whole buffer
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glColor3f(1.0f, 0.0f, 0.0f);
    glRectf(0.0f, 0.0f, 40.0f, 10.0f);
    glEndList();
    glCallList(list);
    const std::uint8_t pixels[8] = {0, 255, 0, 255, 0, 0, 255, 255};
    glRasterPos2i(38, 19);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glDrawPixels(2, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    const RgbaImage image = context.readPixels();
    ASSERT_EQ(image.width() * 100 + image.height(), 4020);
    for (const auto& [x, y, pixel] : {std::tuple {0, 0, Pixel {255, 0, 0, 255}}, {39, 9, {255, 0, 0, 255}},
             {0, 19, {51, 102, 153, 255}}, {38, 19, {0, 255, 0, 255}}, {39, 19, {0, 0, 255, 255}}})
        EXPECT_EQ(image.pixel(x, y), pixel) << x << ", " << y;
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

INSTANTIATE_TEST_SUITE_P(Targets, OffscreenContextGLTest, ::testing::Values(Target::Pbuffer, Target::FramebufferObject),
    [](const ::testing::TestParamInfo<Target>& target) { return target.param == Target::Pbuffer ? "Pbuffer" : "Fbo"; });

TEST(OffscreenContext, RefusesImpossibleSizesAndKeepsContextsApart)
{
    OffscreenContext context;
    std::string reason;
    for (const auto& [width, height, target] : {std::tuple {0, 10, Target::Automatic}, {10, 0, Target::Automatic},
             {1 << 20, 1 << 20, Target::Pbuffer}, {1 << 20, 1 << 20, Target::FramebufferObject}}) {
        reason.clear();
        EXPECT_FALSE(context.create(width, height, reason, target) || context.isValid() || context.makeCurrent());
        EXPECT_TRUE(!reason.empty() && context.readPixels().isEmpty()) << "a failure names its cause, leaves nothing";
    }
    ASSERT_TRUE(context.create(1, 1, reason)) << reason;
    {
        OffscreenContext second;
        ASSERT_TRUE(second.create(8, 4, reason)) << reason;
    }
    // Left current, a destroyed context would take every later GL call.
    EXPECT_EQ(eglGetCurrentContext(), EGL_NO_CONTEXT) << "the ended context is still current";
    EXPECT_TRUE(context.makeCurrent()) << "the second context's end took the display down";
}

TEST(OffscreenContext, ExtensionListsNameWholeEntriesOnly)
{
    const char* const name = "EGL_KHR_no_config_context";
    const std::pair<const char*, bool> rows[] = {{"EGL_KHR_no_config_context", true},
        {"EGL_KHR_no_config_context_x EGL_KHR_no_config_context", true}, {"EGL_A EGL_KHR_no_config_context", true},
        {"xEGL_KHR_no_config_context EGL_KHR_no_config_context_x", false}, {"", false}, {nullptr, false}};
    for (const auto& [list, named] : rows)
        EXPECT_EQ(hasExtension(list, name), named) << (list ? list : "no list");
}

} // namespace
} // namespace tvl
