#include "view/DrawLayers.h"

#include "view/FlowView.h"

#include <GL/gl.h>

namespace tvl {

void drawLayers(FlowView& view, const LayerSettings& settings, const DataCoder* coder, const ZoomRectangle* pendingZoom)
{
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    if (pendingZoom)
        view.zoomToWindowRect(pendingZoom->x0, pendingZoom->y0, pendingZoom->x1, pendingZoom->y1);
    // The view may be shared with another canvas, which may have sized it
    // since this context last saw its viewport.
    view.applyViewport();
    const Layers& layers = settings.layers;
    if (layers.background && coder)
        view.drawBackground(*coder);
    if (layers.streamlines && settings.placement == Placement::EvenDistances)
        view.drawStreamlines(
            settings.dsepPosition, settings.dtestPosition, settings.scheme, settings.streamlineOptions);
    if (layers.arrows)
        view.drawArrowPlot(settings.arrowStep, settings.arrowCoding);
}

} // namespace tvl
