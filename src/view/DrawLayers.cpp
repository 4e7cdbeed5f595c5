#include "view/DrawLayers.h"

#include "streamlines/StreamlineSet.h"
#include "view/DecoratedLines.h"
#include "view/FlowView.h"
#include "view/LayerPainter.h"
#include "view/PictureFrame.h"
#include "view/PictureScene.h"
#include "view/StreamlineDecorations.h"

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <utility>

namespace tvl {

namespace {

const DataCoder* colouringCoder(const LayerSettings& settings, const DataCoder* lineCoder)
{
    return settings.lineStyle.coloured ? lineCoder : nullptr;
}

class GlPainter : public LayerPainter {
public:
    void begin(FlowView& view) override
    {
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        // The view may be shared with another canvas, which may have sized it
        // since this context last saw its viewport.
        view.applyViewport();
    }

    void background(FlowView& view, const DataCoder& coder) override { view.drawBackground(coder); }

    void evenStreamlines(FlowView& view, const LayerSettings& settings, const DataCoder* lineCoder) override
    {
        if (settings.lineStyle.isPlain()) {
            view.drawStreamlines(
                settings.dsepPosition, settings.dtestPosition, settings.scheme, settings.streamlineOptions);
            return;
        }
        view.placeStreamlines(
            settings.dsepPosition, settings.dtestPosition, settings.scheme, settings.streamlineOptions);
        drawInStyle(view, view.streamlineLayer().placedLines(), settings, lineCoder);
    }

    void arrows(FlowView& view, const LayerSettings& settings) override
    {
        view.drawArrowPlot(settings.arrowStep, settings.arrowCoding);
    }

    void seededStreamline(
        FlowView& view, float x, float y, const LayerSettings& settings, const DataCoder* lineCoder) override
    {
        if (settings.lineStyle.isPlain()) {
            view.seedStreamlineAt(x, y, settings.streamlineOptions);
            return;
        }
        StreamlineSet lines;
        if (view.traceStreamlineAt(x, y, lines, settings.streamlineOptions))
            drawInStyle(view, lines, settings, lineCoder);
    }

private:
    static void drawInStyle(
        const FlowView& view, const StreamlineSet& lines, const LayerSettings& settings, const DataCoder* lineCoder)
    {
        view.setStreamlineProjection();
        drawDecorated(decorateStreamlines(
            lines, settings.lineStyle, colouringCoder(settings, lineCoder), PictureFrame::of(view).pixelScale()));
    }
};

// Describes instead of drawing, from the same view computations.
class SceneRecorder : public LayerPainter {
public:
    explicit SceneRecorder(PictureScene& scene)
        : scene_(scene)
    {
    }

    void begin(FlowView& view) override { scene_.frame = PictureFrame::of(view); }

    void background(FlowView& view, const DataCoder& coder) override
    {
        if (scene_.frame.isEmpty())
            return;
        PictureScene::Background image;
        image.width = scene_.frame.viewportWidth;
        image.height = scene_.frame.viewportHeight;
        image.rgba.resize(
            std::size_t {4} * static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
        view.fillBackgroundImage(coder, image.rgba.data());
        scene_.layers.emplace_back(std::move(image));
    }

    void evenStreamlines(FlowView& view, const LayerSettings& settings, const DataCoder* lineCoder) override
    {
        view.placeStreamlines(
            settings.dsepPosition, settings.dtestPosition, settings.scheme, settings.streamlineOptions);
        record(view.streamlineLayer().placedLines(), settings, lineCoder);
    }

    void arrows(FlowView& view, const LayerSettings& settings) override
    {
        PictureScene::Arrows arrows;
        arrows.colour
            = {toByte(FlowView::kArrowColour[0]), toByte(FlowView::kArrowColour[1]), toByte(FlowView::kArrowColour[2])};
        view.forEachArrow(settings.arrowStep, settings.arrowCoding,
            [&arrows](const Vector3& tip, const Vector3& left, const Vector3& right) {
                arrows.triangles.push_back({tip, left, right});
            });
        scene_.layers.emplace_back(std::move(arrows));
    }

    void seededStreamline(
        FlowView& view, float x, float y, const LayerSettings& settings, const DataCoder* lineCoder) override
    {
        StreamlineSet lines;
        if (view.traceStreamlineAt(x, y, lines, settings.streamlineOptions))
            record(lines, settings, lineCoder);
    }

private:
    // OpenGL's conversion of a colour component to a byte.
    static std::uint8_t toByte(float c) { return static_cast<std::uint8_t>(c * 255.0f + 0.5f); }

    void record(const StreamlineSet& lines, const LayerSettings& settings, const DataCoder* lineCoder)
    {
        scene_.layers.emplace_back(decorateStreamlines(
            lines, settings.lineStyle, colouringCoder(settings, lineCoder), scene_.frame.pixelScale()));
    }

    PictureScene& scene_;
};

} // namespace

void paintLayers(FlowView& view, const LayerSettings& settings, const DataCoder* coder,
    const ZoomRectangle* pendingZoom, const DataCoder* lineCoder, LayerPainter& painter)
{
    if (pendingZoom)
        view.setRegionFromWindowRect(pendingZoom->x0, pendingZoom->y0, pendingZoom->x1, pendingZoom->y1);
    painter.begin(view);
    const Layers& layers = settings.layers;
    if (layers.background && coder)
        painter.background(view, *coder);
    if (layers.streamlines && settings.placement == Placement::EvenDistances)
        painter.evenStreamlines(view, settings, lineCoder ? lineCoder : coder);
    if (layers.arrows)
        painter.arrows(view, settings);
}

void drawLayers(FlowView& view, const LayerSettings& settings, const DataCoder* coder, const ZoomRectangle* pendingZoom,
    const DataCoder* lineCoder)
{
    GlPainter painter;
    paintLayers(view, settings, coder, pendingZoom, lineCoder, painter);
}

void drawSeededStreamline(FlowView& view, float x, float y, const LayerSettings& settings, const DataCoder* lineCoder)
{
    GlPainter painter;
    painter.seededStreamline(view, x, y, settings, lineCoder);
}

void describeLayers(FlowView& view, const LayerSettings& settings, const DataCoder* coder,
    const ZoomRectangle* pendingZoom, std::span<const SeedPixel> seeds, const DataCoder* lineCoder, PictureScene& scene)
{
    scene = PictureScene {};
    SceneRecorder recorder(scene);
    paintLayers(view, settings, coder, pendingZoom, lineCoder, recorder);
    for (const SeedPixel& seed : seeds)
        recorder.seededStreamline(view, seed[0], seed[1], settings, lineCoder ? lineCoder : coder);
}

} // namespace tvl
