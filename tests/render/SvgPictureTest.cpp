#include "render/SvgPicture.h"

#include "flow/AnalyticFlow.h"
#include "flow/FlowData.h"
#include "render/RenderPicture.h"
#include "render/RenderSettings.h"
#include "render/RgbaImage.h"
#include "streamlines/PointList.h"
#include "view/PictureScene.h"

#include <gtest/gtest.h>

#include <string>

// The documents are read with Qt's XML reader and rendered with Qt's SVG
// renderer; a build without Qt SVG has nothing to check them with.
#if TVL_WITH_QT_SVG

#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <variant>

namespace tvl {
namespace {

// The demo double gyre with every layer, marks and colour, zoomed, two
// streamlines seeded by hand (one reaching far beyond the zoomed region), in
// a canvas taller than the picture so the strip above must stay empty.
RenderSettings decoratedSettings()
{
    RenderSettings settings;
    settings.width = 360;
    settings.height = 300;
    settings.transferPreset = 2; // Blue-Green-Red
    settings.layers.lineStyle = {40, true};
    settings.lineQuantity = BackgroundQuantity::Direction;
    settings.zoom = ZoomRectangle {40.0f, 140.0f, 300.0f, 280.0f};
    settings.seeds = {{100.0f, 250.0f}, {250.0f, 200.0f}};
    return settings;
}

RenderSettings plainSettings()
{
    RenderSettings settings;
    settings.width = 400;
    settings.height = 200;
    settings.transferPreset = 4;
    return settings;
}

struct Picture {
    PictureScene scene;
    std::string svg;
    std::size_t halfLines = 0; // drawn: two points or more
    std::size_t polygons = 0; // arrows and marks
};

Picture describe(const FlowData& flow, const RenderSettings& settings)
{
    Picture picture;
    std::string error;
    EXPECT_TRUE(describePicture(flow, settings, picture.scene, error)) << error;
    EXPECT_TRUE(makeSvgPicture(picture.scene, picture.svg, error)) << error;
    for (const PictureScene::Layer& layer : picture.scene.layers) {
        if (const auto* lines = std::get_if<DecoratedLines>(&layer)) {
            for (const StreamlineSet::HalfLine& line : lines->lines.halfLines())
                picture.halfLines += line.count >= 2 ? 1 : 0;
            // Marks on the streamlines seeded by hand may lie beyond the zoomed region.
            const PictureFrame& f = picture.scene.frame;
            for (const DecoratedLines::Mark& mark : lines->marks)
                picture.polygons += std::any_of(mark.corners.begin(), mark.corners.end(), [&f](const Vector3& c) {
                    return c.x > f.gridMinimum.x && c.x < f.gridMaximum.x && c.y > f.gridMinimum.y
                        && c.y < f.gridMaximum.y;
                });
        } else if (const auto* arrows = std::get_if<PictureScene::Arrows>(&layer)) {
            picture.polygons += arrows->triangles.size();
        }
    }
    return picture;
}

class SvgPictureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        ASSERT_TRUE(flow.loadNodes(makeDemoFlow()));
    }
    FlowData flow;
};

QImage toQImage(const RgbaImage& image)
{
    QImage out(image.width(), image.height(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const auto p = image.pixel(x, image.height() - 1 - y);
            out.setPixel(x, y, qRgb(p[0], p[1], p[2]));
        }
    return out;
}

// One path per drawn half-line, one polygon per arrow and mark, coordinates
// of two decimals at most; rasterised, the document must show the raster
// picture. Anti-aliasing spreads a one-pixel line over two pixels at half
// strength, and OpenGL measures a wide line's width along the minor axis
// where SVG measures it across the line; the mean of 6 × 6 blocks sees both
// as the same, while a missing, shifted or wrongly coloured line, mark or
// arrow does not average out.
TEST_F(SvgPictureTest, DocumentHoldsTheSceneAndRastersAsThePicture)
{
    static const QRegularExpression geometry(QStringLiteral(" (?:d|points)=\"([^\"]*)\""));
    static const QRegularExpression tooPrecise(QStringLiteral("[0-9]\\.[0-9]{3}"));
    for (const RenderSettings& settings : {plainSettings(), decoratedSettings()}) {
        const Picture picture = describe(flow, settings);
        ASSERT_GT(picture.halfLines, 20u);
        QXmlStreamReader xml(QByteArray::fromStdString(picture.svg));
        std::size_t linePaths = 0, polygons = 0, images = 0;
        QString group;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QStringLiteral("g"))
                group = xml.attributes().value(QStringLiteral("class")).toString();
            linePaths += xml.name() == QStringLiteral("path") && group == QStringLiteral("streamlines");
            polygons += xml.name() == QStringLiteral("polygon");
            images += xml.name() == QStringLiteral("image");
        }
        ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line " << xml.lineNumber();
        EXPECT_TRUE(linePaths == picture.halfLines && polygons == picture.polygons && images == 1u)
            << linePaths << " paths, " << polygons << " polygons, " << images << " images";
        const PictureFrame& frame = picture.scene.frame;
        for (auto m = geometry.globalMatch(QString::fromStdString(picture.svg)); m.hasNext();) {
            const QString numbers = m.next().captured(1);
            ASSERT_FALSE(numbers.contains(tooPrecise)) << "more than two decimals: " << numbers.toStdString();
            const QStringList values
                = numbers.split(QRegularExpression(QStringLiteral("[^-0-9.]+")), Qt::SkipEmptyParts);
            for (int k = 0; k + 1 < values.size(); k += 2)
                ASSERT_TRUE(values[k].toDouble() >= 0.0 && values[k].toDouble() <= frame.viewportWidth
                    && values[k + 1].toDouble() >= frame.canvasHeight - frame.viewportHeight
                    && values[k + 1].toDouble() <= frame.canvasHeight)
                    << "a point outside the viewport: " << numbers.toStdString();
        }

        RgbaImage raster;
        std::string error;
        ASSERT_TRUE(renderPicture(flow, settings, raster, error)) << error;
        QSvgRenderer renderer(QByteArray::fromStdString(picture.svg));
        ASSERT_TRUE(renderer.isValid());
        QImage drawn(settings.width, settings.height, QImage::Format_RGB32);
        drawn.fill(Qt::magenta);
        QPainter painter(&drawn);
        renderer.render(&painter);
        painter.end();
        const QImage expected = toQImage(raster);
        const auto blockMean = [](const QImage& image, int bx, int by, int channel) {
            int sum = 0;
            for (int y = by; y < by + 6; ++y)
                for (int x = bx; x < bx + 6; ++x)
                    sum += (image.pixel(x, y) >> (16 - 8 * channel)) & 0xff;
            return sum / 36;
        };
        int blocks = 0, differing = 0;
        for (int by = 0; by + 6 <= settings.height; by += 6)
            for (int bx = 0; bx + 6 <= settings.width; bx += 6, ++blocks)
                for (int c = 0; c < 3; ++c)
                    if (std::abs(blockMean(expected, bx, by, c) - blockMean(drawn, bx, by, c)) > 40) {
                        ++differing;
                        break;
                    }
        EXPECT_LE(differing, blocks / 200) << differing << " of " << blocks << " blocks of 6 × 6 pixels differ";
    }
}

} // namespace
} // namespace tvl

#else

TEST(SvgPictureTest, NeedsQtSvg)
{
    GTEST_SKIP() << "built without Qt SVG";
}

#endif

namespace tvl {
namespace {

// Each segment of a coloured line takes the colour of the point it starts
// from; the segments of one colour share one path, in the order the colours
// first appear, so the last point's colour draws nothing.
TEST(SvgPictureColours, SegmentsTakeTheColourOfTheirFirstPoint)
{
    PictureScene scene;
    scene.frame.canvasWidth = scene.frame.viewportWidth = 100;
    scene.frame.canvasHeight = scene.frame.viewportHeight = 100;
    scene.frame.gridMinimum = {0.0f, 0.0f, 0.0f};
    scene.frame.gridMaximum = {10.0f, 10.0f, 0.0f};
    PointList forward, backward;
    for (Vector3 p : {Vector3 {1.0f, 1.0f, 0.0f}, Vector3 {5.0f, 1.0f, 0.0f}, Vector3 {5.0f, 5.0f, 0.0f}})
        ASSERT_TRUE(forward.append(p));
    Vector3 seed {1.0f, 1.0f, 0.0f};
    ASSERT_TRUE(backward.append(seed));
    DecoratedLines lines;
    lines.lines.addStreamline(forward, backward);
    lines.colours = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 9, 9}};
    scene.layers.emplace_back(lines);
    std::string svg, error;
    ASSERT_TRUE(makeSvgPicture(scene, svg, error)) << error;
    const std::size_t group = svg.find("class=\"line-colours\"");
    ASSERT_NE(group, std::string::npos);
    const std::size_t red = svg.find("stroke=\"#ff0000\"", group);
    const std::size_t green = svg.find("stroke=\"#00ff00\"", group);
    EXPECT_TRUE(red != std::string::npos && green != std::string::npos && red < green) << svg;
    EXPECT_EQ(svg.find("#0000ff", group), std::string::npos) << "the last point's colour drew a segment";
    EXPECT_EQ(svg.find("#090909", group), std::string::npos) << "a one-point half-line drew a segment";
}

} // namespace
} // namespace tvl
