#pragma once

#include <QOpenGLWidget>

#include <memory>

class QMouseEvent;
class QOpenGLFramebufferObject;

namespace tvl {

class DataCoder;
class FlowView;

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
    static constexpr int kInitialArrowResolution = 20;
    static constexpr float kInitialDsep = 100.0f;
    static constexpr float kInitialDtest = 50.0f;

    explicit COpenGLWnd(QWidget* parent = nullptr);
    ~COpenGLWnd() override;

    void hideCanvas();
    // Shows the canvas and, when it has a last view, repeats the last draw.
    void showCanvas();
    // Full redraw into the picture; a flag of 1 draws that layer. Remembers the
    // view and the flags and applies a pending zoom first.
    void drawLayers(std::shared_ptr<FlowView> view, int arrows, int streamlines, int background);
    // Redraws the remembered background and arrows only.
    void redrawWithoutStreamlines();
    // Each stores; the two arrow settings also repeat the last draw, if any.
    void setArrowResolution(int resolution);
    void setArrowCoding(int coding, int dataIndex);
    void setDataCoder(std::shared_ptr<const DataCoder> coder);
    void setStreamlineSettings(float dsep, float dtest, int integrator);
    void setEvenPlacement(bool even);
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

    int arrowResolution() const { return arrowResolution_; }
    int arrowCoding() const { return arrowCoding_; }
    int arrowDataIndex() const { return arrowDataIndex_; }
    float dsep() const { return dsep_; }
    float dtest() const { return dtest_; }
    int integrator() const { return integrator_; }
    bool evenPlacement() const { return evenPlacement_; }
    const std::shared_ptr<const DataCoder>& dataCoder() const { return dataCoder_; }
    const std::shared_ptr<FlowView>& lastView() const { return lastView_; }
    int lastArrowFlag() const { return lastArrows_; }
    int lastStreamlineFlag() const { return lastStreamlines_; }
    int lastBackgroundFlag() const { return lastBackground_; }
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

    std::unique_ptr<QOpenGLFramebufferObject> picture_;
    int arrowResolution_ = kInitialArrowResolution;
    std::shared_ptr<FlowView> lastView_;
    int lastArrows_ = 0;
    int lastStreamlines_ = 0;
    int lastBackground_ = 0;
    int arrowCoding_ = 0;
    int arrowDataIndex_ = 0;
    float dsep_ = kInitialDsep;
    float dtest_ = kInitialDtest;
    int integrator_ = 0;
    bool evenPlacement_ = true;
    int zoomStartX_ = 0;
    int zoomStartY_ = 0;
    int zoomEndX_ = 0;
    int zoomEndY_ = 0;
    bool zoomPending_ = false;
    std::shared_ptr<const DataCoder> dataCoder_;
    bool rubberBand_ = false;
};

} // namespace tvl
