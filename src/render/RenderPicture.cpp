#include "render/RenderPicture.h"

#include "flow/FlowData.h"
#include "render/Legend.h"
#include "render/OffscreenContext.h"
#include "render/RenderSettings.h"
#include "render/RgbaImage.h"
#include "transfer/TransferFunction.h"
#include "transfer/TransferPreset.h"
#include "view/DataCoder.h"
#include "view/DataCoderFactory.h"
#include "view/DrawLayers.h"
#include "view/FlowView.h"
#include "view/GlState.h"
#include "view/LegendValue.h"
#include "view/PictureScene.h"

#include <cstddef>
#include <memory>
#include <utility>

namespace tvl {

namespace {

// The transfer strip's height plays no part in the colour table.
constexpr int kStripHeight = 20;

void applyTransfer(const RenderSettings& settings, TransferFunction& transfer)
{
    transfer.ensureInitialized();
    if (settings.transferPreset)
        transfer.applyPreset(kTransferPresets[static_cast<std::size_t>(*settings.transferPreset)]);
    for (const RenderSettings::TransferPoint& p : settings.transferPoints) {
        const Rgb colour {p.colour[0], p.colour[1], p.colour[2]};
        if (p.position <= 0.0f) {
            transfer.setPointColor(0, colour);
        } else if (p.position >= 1.0f) {
            // The right end sits at the strip's right edge, right of every
            // other point, so it is always the last in sorted order.
            transfer.setPointColor(transfer.pointCount() - 1, colour);
        } else {
            const int entries = transfer.entryCount();
            int column = static_cast<int>(p.position * static_cast<float>(entries));
            column = column < 1 ? 1 : (column > entries - 1 ? entries - 1 : column);
            transfer.addPoint(column, colour.r, colour.g, colour.b);
        }
    }
}

bool checkValue(const FlowData& flow, int k, const char* what, std::string& error)
{
    if (k >= 0 && k < flow.getAdditionalCount())
        return true;
    error = std::string(what) + " names additional value " + std::to_string(k) + ", but the data set has "
        + std::to_string(flow.getAdditionalCount());
    return false;
}

// What both kinds of picture need besides the view: the transfer function
// and the coders of the background and of coloured streamlines.
struct Coders {
    TransferFunction transfer;
    std::shared_ptr<const DataCoder> background;
    std::shared_ptr<const DataCoder> lines;
};

bool prepare(const FlowData& flow, const RenderSettings& settings, Coders& coders, std::string& error)
{
    if (!flow.isLoaded()) {
        error = "no flow data set is loaded";
        return false;
    }
    const LayerSettings& layers = settings.layers;
    if (layers.layers.background && layers.backgroundQuantity == BackgroundQuantity::AdditionalValue
        && !checkValue(flow, layers.backgroundValue, "the background", error))
        return false;
    if (settings.legend && layers.backgroundQuantity == BackgroundQuantity::AdditionalValue
        && !checkValue(flow, layers.backgroundValue, "the legend", error))
        return false;
    if (layers.layers.arrows && layers.arrowCoding.kind == ArrowCoding::Kind::AdditionalValue
        && !checkValue(flow, layers.arrowCoding.value, "the arrow coding", error))
        return false;
    if (layers.lineStyle.coloured && settings.lineQuantity == BackgroundQuantity::AdditionalValue
        && !checkValue(flow, settings.lineValue, "the streamline colour", error))
        return false;
    if (settings.transferEntries < 2) {
        error = "the transfer function needs at least 2 entries";
        return false;
    }
    coders.transfer.setClientRect(ClientRect {0, 0, settings.transferEntries, kStripHeight});
    applyTransfer(settings, coders.transfer);
    coders.background
        = makeDataCoder(layers.backgroundQuantity, layers.backgroundValue, flow, coders.transfer.colorTable());
    coders.lines = makeDataCoder(settings.lineQuantity, settings.lineValue, flow, coders.transfer.colorTable());
    return true;
}

} // namespace

bool renderPicture(const FlowData& flow, const RenderSettings& settings, RgbaImage& picture, std::string& error)
{
    Coders coders;
    if (!prepare(flow, settings, coders, error))
        return false;

    OffscreenContext context;
    std::string reason;
    if (!context.create(settings.width, settings.height, reason)) {
        error = "no offscreen OpenGL context: " + reason;
        return false;
    }
    applyInitialGlState();

    const LayerSettings& layers = settings.layers;
    RgbaImage drawn;
    {
        // The view's display list lives in this context: the view goes first.
        FlowView view(&flow);
        view.setCanvasSize(settings.width, settings.height);
        view.resetRegion();
        view.applyViewport();
        drawLayers(
            view, layers, coders.background.get(), settings.zoom ? &*settings.zoom : nullptr, coders.lines.get());
        for (const auto& seed : settings.seeds)
            drawSeededStreamline(view, seed[0], seed[1], layers, coders.lines.get());
        drawn = context.readPixels();
    }
    // The window shows the canvas opaque; the cleared parts are black.
    const std::size_t bytes
        = std::size_t {4} * static_cast<std::size_t>(drawn.width()) * static_cast<std::size_t>(drawn.height());
    for (std::size_t alpha = 3; alpha < bytes; alpha += 4)
        drawn.data()[alpha] = 255;
    if (settings.legend) {
        float lowest = 0.0f;
        float highest = 0.0f;
        legendValueAt(flow, layers.backgroundQuantity, layers.backgroundValue, 0.0f, lowest);
        legendValueAt(flow, layers.backgroundQuantity, layers.backgroundValue, 1.0f, highest);
        drawn = withLegend(drawn, *coders.transfer.colorTable(), legendText(layers.backgroundQuantity, lowest),
            legendText(layers.backgroundQuantity, highest));
    }
    picture = std::move(drawn);
    return true;
}

bool describePicture(const FlowData& flow, const RenderSettings& settings, PictureScene& scene, std::string& error)
{
    Coders coders;
    if (!prepare(flow, settings, coders, error))
        return false;
    FlowView view(&flow);
    view.setCanvasSize(settings.width, settings.height);
    view.resetRegion();
    describeLayers(view, settings.layers, coders.background.get(), settings.zoom ? &*settings.zoom : nullptr,
        settings.seeds, coders.lines.get(), scene);
    return true;
}

} // namespace tvl
