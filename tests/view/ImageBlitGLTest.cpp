// glBindFramebuffer comes from the extension header.
#define GL_GLEXT_PROTOTYPES
#include "view/ImageBlit.h"

#include "FlowViewTestSupport.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace tvl {
namespace {

constexpr int kCanvasWidth = 64;
constexpr int kCanvasHeight = 48;

std::vector<std::uint8_t> randomImage(int width, int height, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::uint8_t> rgba(std::size_t {4} * static_cast<std::size_t>(width * height));
    for (std::uint8_t& byte : rgba)
        byte = static_cast<std::uint8_t>(random());
    return rgba;
}

// The background's own way of putting an image into the viewport.
void drawPixels(const std::vector<std::uint8_t>& rgba, int width, int height)
{
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, viewport[2], 0.0, viewport[3], -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRasterPos3i(0, 0, 0);
    glDrawPixels(width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
}

std::vector<std::uint8_t> bytesOf(const RgbaImage& image)
{
    return {image.data(), image.data() + std::size_t {4} * static_cast<std::size_t>(image.width() * image.height())};
}

class ImageBlitGLTest : public ::testing::TestWithParam<OffscreenContext::Target> {
protected:
    void SetUp() override
    {
        std::string reason;
        ASSERT_TRUE(canvas.open(kCanvasWidth, kCanvasHeight, reason, GetParam())) << reason;
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    }

    test::OffscreenCanvas canvas;
};

// Whatever the framebuffer's pixel layout (a window system buffer converts,
// an RGBA framebuffer object takes a plain copy), the blit must leave the
// bytes glDrawPixels leaves, at the viewport's corner, for any image size,
// an odd row length among them, and keep the caller's bindings.
TEST_P(ImageBlitGLTest, GivesTheViewportThePixelsOfGlDrawPixels)
{
    ImageBlit blit;
    const struct {
        int x, y, width, height;
    } viewports[] = {{0, 0, kCanvasWidth, kCanvasHeight}, {9, 5, 31, 20}, {9, 5, 31, 20}, {20, 30, 44, 18}};
    unsigned seed = 1;
    for (const auto& v : viewports) {
        const std::vector<std::uint8_t> image = randomImage(v.width, v.height, seed++);
        glViewport(v.x, v.y, v.width, v.height);
        canvas.clear();
        drawPixels(image, v.width, v.height);
        const std::vector<std::uint8_t> expected = bytesOf(canvas.read());

        canvas.clear();
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        ASSERT_TRUE(blit.draw(image.data(), v.width, v.height));
        GLint boundTexture = 0;
        GLint boundRead = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &boundRead);
        GLint drawnInto = -1;
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawnInto);
        EXPECT_EQ(boundTexture, static_cast<GLint>(texture)) << "the caller's texture stays bound";
        EXPECT_EQ(boundRead, drawnInto) << "the caller's read framebuffer stays bound";
        glBindTexture(GL_TEXTURE_2D, 0);
        glDeleteTextures(1, &texture);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_TRUE(bytesOf(canvas.read()) == expected)
            << "viewport " << v.x << ", " << v.y << ", " << v.width << " x " << v.height;
    }
}

// With a stage on that a blit skips, glDrawPixels would give other pixels,
// and a blit cannot write a multisampled framebuffer: the blit declines and
// draws nothing, and the caller draws.
TEST_P(ImageBlitGLTest, DeclinesWhereFragmentsWouldBeChanged)
{
    ImageBlit blit;
    const std::vector<std::uint8_t> image = randomImage(kCanvasWidth, kCanvasHeight, 7);
    canvas.clear();
    const std::vector<std::uint8_t> cleared = bytesOf(canvas.read());
    for (const GLenum stage :
        {GL_BLEND, GL_DEPTH_TEST, GL_ALPHA_TEST, GL_STENCIL_TEST, GL_COLOR_LOGIC_OP, GL_FOG, GL_TEXTURE_2D}) {
        glEnable(stage);
        EXPECT_FALSE(blit.draw(image.data(), kCanvasWidth, kCanvasHeight)) << "stage " << stage;
        glDisable(stage);
        EXPECT_TRUE(bytesOf(canvas.read()) == cleared) << "stage " << stage;
    }
    EXPECT_FALSE(blit.draw(image.data(), 0, kCanvasHeight));
    EXPECT_TRUE(blit.draw(image.data(), kCanvasWidth, kCanvasHeight)) << "all stages off again";

    // A framebuffer with four samples per pixel, as a canvas may ask for.
    GLint canvasFramebuffer = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &canvasFramebuffer);
    GLuint framebuffer = 0;
    GLuint renderbuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glGenRenderbuffers(1, &renderbuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, 4, GL_RGBA8, kCanvasWidth, kCanvasHeight);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffer);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    EXPECT_FALSE(blit.draw(image.data(), kCanvasWidth, kCanvasHeight)) << "multisampled";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(canvasFramebuffer));
    glDeleteRenderbuffers(1, &renderbuffer);
    glDeleteFramebuffers(1, &framebuffer);
}

INSTANTIATE_TEST_SUITE_P(Targets, ImageBlitGLTest,
    ::testing::Values(OffscreenContext::Target::Pbuffer, OffscreenContext::Target::FramebufferObject),
    [](const ::testing::TestParamInfo<OffscreenContext::Target>& target) {
        return target.param == OffscreenContext::Target::Pbuffer ? "Pbuffer" : "Fbo";
    });

} // namespace
} // namespace tvl
