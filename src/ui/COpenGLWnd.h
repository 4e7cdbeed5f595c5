#pragma once

#include "flow/Vector3.h"
#include "view/DrawLayers.h"
#include "view/LayerSettings.h"

#include <QOpenGLWidget>

#include <memory>
#include <vector>

class QMouseEvent;
class QOpenGLFramebufferObject;

namespace tvl {

class DataCoder;
class FlowView;
struct PictureScene;

// A drawing canvas: draws the layers of a view in the order background,
// evenly spaced streamlines, arrows, and serves the mouse (right-drag zoom,
// left-click seeding or zoom reset).
//
// It keeps its own copy of the layer settings that the settings pages hand it
// and the arguments of its last full draw, and it keeps the picture itself: every
// drawing goes into an offscreen picture of the canvas's size, which is what
// the window shows. Hand-seeded streamlines are drawn on top of that picture,
// the zoom rectangle only over the shown copy of it, so a repaint by the window
// system (uncovered, resized, shown again) shows the last picture with the
// streamlines seeded so far, and dragging the rectangle costs no redraw.
//
// Positions are canvas pixels: origin top left, y down, in device pixels.
// The canvas shares ownership of the view and the coder it draws through, so
// neither can go away while it may still draw with them.
class COpenGLWnd : public QOpenGLWidget {
    Q_OBJECT

public:
    explicit COpenGLWnd(QWidget* parent = nullptr);
    ~COpenGLWnd() override;

    void hideCanvas();
    // Shows the canvas and, when it has a last view, repeats the last draw.
    void showCanvas();
    // Full redraw into the picture of the ticked layers. Remembers the view
    // and the layers and applies a pending zoom first.
    void drawLayers(std::shared_ptr<FlowView> view, const Layers& layers);
    // Redraws the remembered background and arrows only.
    void redrawWithoutStreamlines();
    // Each stores; the two arrow settings also repeat the last draw, if any.
    void setArrowResolution(int resolution);
    void setArrowCoding(const ArrowCoding& coding);
    void setDataCoder(std::shared_ptr<const DataCoder> coder);
    // Slider positions (dsep 10 .. 1000, dtest 1 .. 99) and the scheme.
    void setStreamlineSettings(float dsep, float dtest, IntegrationScheme scheme);
    void setEvenPlacement(bool even);
    // The "Extras" streamline options; no redraw: the next Draw or click uses them.
    void setStreamlineOptions(const StreamlineOptions& options);
    // The extras of the streamlines (direction marks, colour by the
    // background's quantity); stores, no redraw.
    void setStreamlineStyle(const StreamlineStyle& style);
    // Stores the style and, when the canvas has a last view, draws its picture
    // again at once in the new style, the streamlines seeded by hand since the
    // last full draw included.
    void restyleStreamlines(const StreamlineStyle& style);
    // Drops the last view (its data set has been replaced). The picture stays
    // shown; settings changes and the mouse do nothing until the next draw.
    void forgetView();
    // Drops the view and the coder; the owner of the data set calls it before
    // the data set goes.
    void releaseReferences();

    // The client area in device pixels, the size of the picture.
    QSize clientSize() const;
    // Makes the canvas's context current (releasing any other first); false
    // while the canvas has no context yet (it gets one when first shown).
    bool makeCanvasCurrent();
    void releaseCanvas();
    // The kept picture (last full draw with the streamlines seeded on top),
    // opaque, top row first; a null image before the first draw.
    QImage picture();
    bool hasPicture() const { return picture_ != nullptr; }
    // The part of the picture that shows the data set: the viewport of its last
    // full draw, anchored at the bottom left; a null image before the first draw.
    QImage viewportPicture();
    // The picture shown, described for a vector file as it was drawn (view
    // region, settings, coder and the streamlines seeded by hand); needs no
    // OpenGL. False before the first draw and after forgetView.
    bool describePicture(PictureScene& scene) const;

    // The canvas's own copy of the settings; its layers are those of the last
    // full draw.
    const LayerSettings& settings() const { return settings_; }
    bool evenPlacement() const { return settings_.placement == Placement::EvenDistances; }
    const std::shared_ptr<const DataCoder>& dataCoder() const { return dataCoder_; }
    const std::shared_ptr<FlowView>& lastView() const { return lastView_; }
    bool zoomPending() const { return zoomPending_; }
    bool isRubberBandShown() const { return rubberBand_; }
    // Right-drag rectangle, canvas pixels: start corner and end corner.
    QPoint zoomStart() const { return {zoomStartX_, zoomStartY_}; }
    QPoint zoomEnd() const { return {zoomEndX_, zoomEndY_}; }

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Makes the context current and binds the picture, sized to the canvas;
    // false without a context.
    bool beginPicture();
    // Back to the window's framebuffer; the window shows the new picture.
    void endPicture();
    void fitPictureToCanvas();
    void repeatLastDraw();
    void releasePicture();
    QPoint toCanvasPixel(const QPointF& position) const;
    bool isInside(const QPointF& position) const;
    // Remembers what the picture now shows, for describePicture.
    void recordShown(const std::shared_ptr<FlowView>& view, const LayerSettings& settings);

    // What the picture shows: the view in the state it was drawn in, the
    // settings and coder it was drawn with, and the seeds clicked since.
    struct Shown {
        std::shared_ptr<FlowView> view;
        LayerSettings settings;
        std::shared_ptr<const DataCoder> coder;
        Vector3 regionMinimum;
        Vector3 regionMaximum;
        int canvasWidth = 0;
        int canvasHeight = 0;
        std::vector<SeedPixel> seeds;
    };

    std::unique_ptr<QOpenGLFramebufferObject> picture_;
    LayerSettings settings_;
    std::shared_ptr<FlowView> lastView_;
    // Viewport size of the last full draw, device pixels.
    QSize drawnViewport_;
    int zoomStartX_ = 0;
    int zoomStartY_ = 0;
    int zoomEndX_ = 0;
    int zoomEndY_ = 0;
    bool zoomPending_ = false;
    std::shared_ptr<const DataCoder> dataCoder_;
    bool rubberBand_ = false;
    Shown shown_;
};

} // namespace tvl
