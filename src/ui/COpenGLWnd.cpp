#include "ui/COpenGLWnd.h"

#include "view/DataCoder.h"
#include "view/FlowView.h"
#include "view/GlState.h"
#include "view/PictureScene.h"

#include <QImage>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLFramebufferObject>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace tvl {

COpenGLWnd::COpenGLWnd(QWidget* parent)
    : QOpenGLWidget(parent)
{
    setWindowTitle(QStringLiteral("OpenGL"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

COpenGLWnd::~COpenGLWnd()
{
    // The base class destroys the context after this object is gone; its
    // farewell must not reach this object any more.
    if (QOpenGLContext* own = context())
        disconnect(own, nullptr, this, nullptr);
    // The picture belongs to this canvas's context, and the view's display
    // list to the share group; both go with a context current.
    if (isValid())
        makeCurrent();
    picture_.reset();
    lastView_.reset();
    dataCoder_.reset();
    shown_ = {};
    if (isValid())
        doneCurrent();
}

void COpenGLWnd::hideCanvas()
{
    hide();
}

void COpenGLWnd::showCanvas()
{
    show();
    if (lastView_)
        repeatLastDraw();
}

void COpenGLWnd::drawLayers(std::shared_ptr<FlowView> view, const Layers& layers)
{
    settings_.layers = layers;
    if (view && beginPicture()) {
        const ZoomRectangle zoom {static_cast<float>(zoomStartX_), static_cast<float>(zoomStartY_),
            static_cast<float>(zoomEndX_), static_cast<float>(zoomEndY_)};
        tvl::drawLayers(*view, settings_, dataCoder_.get(), zoomPending_ ? &zoom : nullptr);
        drawnViewport_ = QSize(view->viewportWidth(), view->viewportHeight());
        endPicture();
        recordShown(view, settings_);
    }
    lastView_ = std::move(view);
    zoomPending_ = false;
}

void COpenGLWnd::redrawWithoutStreamlines()
{
    if (!beginPicture())
        return;
    if (lastView_) {
        LayerSettings withoutStreamlines = settings_;
        withoutStreamlines.layers.streamlines = false;
        tvl::drawLayers(*lastView_, withoutStreamlines, dataCoder_.get());
        drawnViewport_ = QSize(lastView_->viewportWidth(), lastView_->viewportHeight());
        recordShown(lastView_, withoutStreamlines);
    } else {
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    endPicture();
}

void COpenGLWnd::setArrowResolution(int resolution)
{
    settings_.arrowStep = resolution;
    if (lastView_)
        repeatLastDraw();
}

void COpenGLWnd::setArrowCoding(const ArrowCoding& coding)
{
    settings_.arrowCoding = coding;
    if (lastView_)
        repeatLastDraw();
}

void COpenGLWnd::setDataCoder(std::shared_ptr<const DataCoder> coder)
{
    dataCoder_ = std::move(coder);
}

void COpenGLWnd::setStreamlineSettings(float dsep, float dtest, IntegrationScheme scheme)
{
    settings_.dsepPosition = dsep;
    settings_.dtestPosition = dtest;
    settings_.scheme = scheme;
}

void COpenGLWnd::setEvenPlacement(bool even)
{
    settings_.placement = even ? Placement::EvenDistances : Placement::Manual;
}

void COpenGLWnd::setStreamlineOptions(const StreamlineOptions& options)
{
    settings_.streamlineOptions = options;
}

void COpenGLWnd::setStreamlineStyle(const StreamlineStyle& style)
{
    settings_.lineStyle = style;
}

void COpenGLWnd::restyleStreamlines(const StreamlineStyle& style)
{
    settings_.lineStyle = style;
    if (!lastView_)
        return;
    const std::vector<SeedPixel> seeds = shown_.seeds;
    repeatLastDraw();
    if (seeds.empty() || !beginPicture())
        return;
    lastView_->applyViewport();
    for (const SeedPixel& seed : seeds)
        drawSeededStreamline(*lastView_, seed[0], seed[1], settings_, dataCoder_.get());
    endPicture();
    shown_.seeds = seeds;
}

void COpenGLWnd::forgetView()
{
    rubberBand_ = false;
    zoomPending_ = false;
    lastView_.reset();
    // The data set the picture shows has been replaced.
    shown_ = {};
    update();
}

bool COpenGLWnd::describePicture(PictureScene& scene) const
{
    if (!shown_.view)
        return false;
    // A view of its own in the state the picture was drawn in: the shared view
    // may have been zoomed or re-targeted since, and must not change here.
    FlowView view(shown_.view->flowData());
    view.setCanvasSize(shown_.canvasWidth, shown_.canvasHeight);
    view.setWorldRegion(shown_.regionMinimum, shown_.regionMaximum);
    describeLayers(view, shown_.settings, shown_.coder.get(), nullptr, shown_.seeds, nullptr, scene);
    return true;
}

void COpenGLWnd::recordShown(const std::shared_ptr<FlowView>& view, const LayerSettings& settings)
{
    shown_ = {view, settings, dataCoder_, view->regionMinimum(), view->regionMaximum(), view->canvasWidth(),
        view->canvasHeight(), {}};
}

void COpenGLWnd::releaseReferences()
{
    forgetView();
    dataCoder_.reset();
}

QSize COpenGLWnd::clientSize() const
{
    const qreal ratio = devicePixelRatioF();
    return {static_cast<int>(std::lround(width() * ratio)), static_cast<int>(std::lround(height() * ratio))};
}

bool COpenGLWnd::makeCanvasCurrent()
{
    if (!isValid())
        return false;
    makeCurrent();
    return true;
}

void COpenGLWnd::releaseCanvas()
{
    if (isValid())
        doneCurrent();
}

QImage COpenGLWnd::picture()
{
    if (!picture_ || !makeCanvasCurrent())
        return {};
    QImage image = picture_->toImage(true).convertToFormat(QImage::Format_RGB32);
    releaseCanvas();
    return image;
}

QImage COpenGLWnd::viewportPicture()
{
    const QImage whole = picture();
    if (whole.isNull())
        return whole;
    const QSize size = drawnViewport_.boundedTo(whole.size());
    return whole.copy(0, whole.height() - size.height(), size.width(), size.height());
}

void COpenGLWnd::initializeGL()
{
    // A canvas moved to another window gets a new context; its picture
    // belongs to the old one and is given up with it.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &COpenGLWnd::releasePicture, Qt::UniqueConnection);
    applyInitialGlState();
}

void COpenGLWnd::resizeGL(int w, int h)
{
    glViewport(0, 0, w, h == 0 ? 1 : h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1.0, 1.0, -1.0, 1.0, 1.0, -1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (picture_)
        fitPictureToCanvas();
}

void COpenGLWnd::paintGL()
{
    QOpenGLExtraFunctions* gl = context()->extraFunctions();
    const GLuint window = defaultFramebufferObject();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    if (!picture_)
        return;
    const QSize size = picture_->size();
    gl->glBindFramebuffer(GL_READ_FRAMEBUFFER, picture_->handle());
    gl->glBindFramebuffer(GL_DRAW_FRAMEBUFFER, window);
    gl->glBlitFramebuffer(
        0, 0, size.width(), size.height(), 0, 0, size.width(), size.height(), GL_COLOR_BUFFER_BIT, GL_NEAREST);
    gl->glBindFramebuffer(GL_FRAMEBUFFER, window);
    if (rubberBand_ && lastView_) {
        lastView_->applyViewport();
        lastView_->drawZoomRectangle(zoomStartX_, zoomStartY_, zoomEndX_, zoomEndY_);
    }
}

void COpenGLWnd::mousePressEvent(QMouseEvent* event)
{
    if (!lastView_ || event->button() != Qt::RightButton)
        return;
    const QPoint p = toCanvasPixel(event->position());
    zoomStartX_ = zoomEndX_ = p.x();
    zoomStartY_ = zoomEndY_ = p.y();
}

void COpenGLWnd::mouseMoveEvent(QMouseEvent* event)
{
    // Only a plain right drag moves the rectangle: another button, Shift or
    // Ctrl held leaves it as it stood. Moves outside the canvas would not
    // reach a window that does not hold the mouse, so they are not followed.
    if (!lastView_ || event->buttons() != Qt::RightButton)
        return;
    if (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier))
        return;
    if (!isInside(event->position()))
        return;
    const QPoint p = toCanvasPixel(event->position());
    zoomEndX_ = p.x();
    zoomEndY_ = p.y();
    rubberBand_ = true;
    update();
}

void COpenGLWnd::mouseReleaseEvent(QMouseEvent* event)
{
    if (!lastView_)
        return;
    const bool inside = isInside(event->position());
    if (event->button() == Qt::RightButton) {
        const bool wasShown = rubberBand_;
        rubberBand_ = false;
        // A release outside the canvas zooms nothing; the next right press
        // starts a new rectangle.
        if (inside) {
            zoomPending_ = true;
            repeatLastDraw();
        } else if (wasShown) {
            update();
        }
        return;
    }
    if (event->button() != Qt::LeftButton || !inside)
        return;
    if (evenPlacement()) {
        if (makeCanvasCurrent()) {
            lastView_->resetRegion();
            lastView_->applyViewport();
            releaseCanvas();
        }
        repeatLastDraw();
        return;
    }
    const QPoint p = toCanvasPixel(event->position());
    if (beginPicture()) {
        const SeedPixel seed {static_cast<float>(p.x()), static_cast<float>(p.y())};
        lastView_->applyViewport();
        drawSeededStreamline(*lastView_, seed[0], seed[1], settings_, dataCoder_.get());
        endPicture();
        shown_.seeds.push_back(seed);
    }
}

bool COpenGLWnd::beginPicture()
{
    if (!makeCanvasCurrent())
        return false;
    fitPictureToCanvas();
    if (!picture_ || !picture_->bind()) {
        releaseCanvas();
        return false;
    }
    return true;
}

void COpenGLWnd::endPicture()
{
    glFlush();
    context()->functions()->glBindFramebuffer(GL_FRAMEBUFFER, defaultFramebufferObject());
    releaseCanvas();
    update();
}

void COpenGLWnd::fitPictureToCanvas()
{
    const QSize size = clientSize().expandedTo(QSize(1, 1));
    if (picture_ && picture_->size() == size)
        return;
    QOpenGLFramebufferObjectFormat format;
    format.setAttachment(QOpenGLFramebufferObject::NoAttachment);
    auto fresh = std::make_unique<QOpenGLFramebufferObject>(size, format);
    if (!fresh->isValid())
        return;
    QOpenGLExtraFunctions* gl = context()->extraFunctions();
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    gl->glBindFramebuffer(GL_FRAMEBUFFER, fresh->handle());
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    if (picture_) {
        // The picture is anchored at the bottom left like the viewport, so a
        // resized canvas keeps showing it where it was.
        const int w = std::min(size.width(), picture_->width());
        const int h = std::min(size.height(), picture_->height());
        gl->glBindFramebuffer(GL_READ_FRAMEBUFFER, picture_->handle());
        gl->glBindFramebuffer(GL_DRAW_FRAMEBUFFER, fresh->handle());
        gl->glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    }
    gl->glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    picture_ = std::move(fresh);
}

void COpenGLWnd::repeatLastDraw()
{
    drawLayers(lastView_, settings_.layers);
}

void COpenGLWnd::releasePicture()
{
    if (!picture_)
        return;
    makeCurrent();
    picture_.reset();
    doneCurrent();
}

QPoint COpenGLWnd::toCanvasPixel(const QPointF& position) const
{
    const qreal ratio = devicePixelRatioF();
    return {static_cast<int>(std::floor(position.x() * ratio)), static_cast<int>(std::floor(position.y() * ratio))};
}

bool COpenGLWnd::isInside(const QPointF& position) const
{
    return position.x() >= 0.0 && position.y() >= 0.0 && position.x() < width() && position.y() < height();
}

} // namespace tvl
