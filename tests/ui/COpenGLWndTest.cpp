#include "ui/COpenGLWnd.h"

#include "GuiTest.h"
#include "streamlines/StreamlineLayer.h"
#include "ui/GlShareScope.h"
#include "view/FlowView.h"

#include <GL/gl.h>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

using namespace tvl;
using namespace tvl::test;

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 100;
const Rgb kNavy {0, 0, 128};

bool isNavy(QRgb p)
{
    return isColour(p, 0, 0, 128);
}

// The row of the picture (top-down) that holds the most white pixels.
int whitestRow(const QImage& image)
{
    int best = -1;
    int bestCount = 0;
    for (int y = 0; y < image.height(); ++y) {
        int n = 0;
        for (int x = 0; x < image.width(); ++x)
            n += isWhite(image.pixel(x, y)) ? 1 : 0;
        if (n > bestCount) {
            best = y;
            bestCount = n;
        }
    }
    return best;
}

} // namespace

// A canvas of 200 × 100 pixels over a uniform flow along +x on a 50 × 25
// regular grid spanning 0..2 × 0..1 flow units, so the viewport fills the
// canvas and one canvas pixel is 0.01 flow units.
class COpenGLWndTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsWithThePagesInitialSettings();
    void settingsBeforeTheFirstDrawOnlyStore();
    void layersLieBackgroundStreamlinesArrows();
    void manualPlacementDrawsNoEvenStreamlines();
    void rubberBandShowsOverTheKeptPicture();
    void rubberBandIgnoresShiftAndCtrl();
    void rightReleaseOutsideDoesNotZoom();
    void manualClickSeedsOnTopUntilTheNextDraw();
    void manualClickOutsideDoesNothing();
    void evenClickResetsTheZoom();
    void redrawWithoutStreamlinesKeepsTheLastFlags();
    void keptPictureSurvivesRepaintHideShowAndResize();
    void forgottenViewKeepsThePictureAndIgnoresInput();
    void canvasKeepsItsViewAliveAndReleasesItsList();
    void displayListIsSharedBetweenCanvases();

private:
    void drag(QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const;

    FlowData flow_;
    std::unique_ptr<COpenGLWnd> canvas_;
    std::shared_ptr<FlowView> view_;
    std::shared_ptr<CountingCoder> coder_;
};

void COpenGLWndTest::init()
{
    setUniformFlow(flow_, 50, 25, 1.0f, 0.0f, {0.0f, 0.0f, 0.0f}, {2.0f, 1.0f, 0.0f});
    canvas_ = std::make_unique<COpenGLWnd>();
    canvas_->resize(kWidth, kHeight);
    canvas_->show();
    QVERIFY2(QTest::qWaitForWindowExposed(canvas_.get()), "the canvas never appeared on the display");
    QVERIFY2(canvas_->isValid(), "the canvas got no OpenGL context");
    view_ = makeSharedView(flow_);
    view_->setCanvasSize(kWidth, kHeight);
    view_->resetRegion();
    coder_ = std::make_shared<CountingCoder>(flow_, makeUniformTable(64, kNavy));
    canvas_->setDataCoder(coder_);
}

void COpenGLWndTest::cleanup()
{
    view_.reset();
    coder_.reset();
    canvas_.reset();
}

void COpenGLWndTest::drag(QPoint from, QPoint to, Qt::KeyboardModifiers modifiers) const
{
    sendMouse(canvas_.get(), QEvent::MouseButtonPress, from, Qt::RightButton, Qt::RightButton);
    sendMouse(canvas_.get(), QEvent::MouseMove, to, Qt::NoButton, Qt::RightButton, modifiers);
}

void COpenGLWndTest::startsWithThePagesInitialSettings()
{
    COpenGLWnd fresh;
    TVL_CHECK_EQ(fresh.settings().arrowStep, 20, "arrow resolution differs from the slider's start");
    TVL_CHECK_EQ(fresh.settings().arrowCoding.listPosition(), 0, "arrows must start uncoded");
    TVL_CHECK_EQ(fresh.settings().arrowCoding.value, 0, "arrow data index");
    TVL_CHECK_EQ(fresh.settings().dsepPosition, 100.0f, "dsep differs from the slider's start");
    TVL_CHECK_EQ(fresh.settings().dtestPosition, 50.0f, "dtest differs from the slider's start");
    TVL_CHECK_EQ(indexOf(fresh.settings().scheme), 0, "the integrator must start as Euler");
    TVL_CHECK(fresh.evenPlacement(), "placement must start as Even Distances");
    TVL_CHECK(!fresh.lastView() && !fresh.hasPicture(), "a new canvas has drawn nothing");
    TVL_CHECK(!fresh.zoomPending(), "no zoom may be pending at start");
}

void COpenGLWndTest::settingsBeforeTheFirstDrawOnlyStore()
{
    canvas_->setArrowResolution(35);
    canvas_->setArrowCoding(ArrowCoding::fromListPosition(3));
    TVL_CHECK(!canvas_->hasPicture(), "a setting before the first draw must not draw");
    TVL_CHECK_EQ(canvas_->settings().arrowStep, 35, "resolution not stored");
    TVL_CHECK_EQ(canvas_->settings().arrowCoding.listPosition(), 3, "coding not stored");
    TVL_CHECK_EQ(canvas_->settings().arrowCoding.value, 1, "data index not stored");

    canvas_->setArrowCoding(ArrowCoding::fromListPosition(0));
    canvas_->drawLayers(view_, Layers {false, false, true});
    const QImage first = canvas_->picture();
    canvas_->setArrowResolution(35);
    TVL_CHECK(canvas_->picture() == first, "the first draw did not use the stored resolution");
    canvas_->setArrowResolution(20);
    TVL_CHECK(canvas_->picture() != first, "a resolution change after a draw must redraw the arrows");
}

void COpenGLWndTest::layersLieBackgroundStreamlinesArrows()
{
    canvas_->drawLayers(view_, Layers {true, false, false});
    QImage picture = canvas_->picture();
    TVL_CHECK_EQ(countPixels(picture, isNavy), kWidth * kHeight, "the background must cover the whole viewport");
    TVL_CHECK_EQ(coder_->calls, static_cast<long long>(kWidth * kHeight), "one colour per viewport pixel");

    canvas_->drawLayers(view_, Layers {true, false, true});
    picture = canvas_->picture();
    TVL_CHECK(countPixels(picture, isArrowColour) > 100, "arrows must lie on top of the background");
    TVL_CHECK(countPixels(picture, isNavy) > kWidth * kHeight / 2, "the arrows must leave most background visible");

    canvas_->drawLayers(view_, Layers {true, true, false});
    picture = canvas_->picture();
    TVL_CHECK(countPixels(picture, isWhite) > kWidth, "streamlines must lie on top of the background");

    canvas_->drawLayers(view_, Layers {false, false, true});
    picture = canvas_->picture();
    TVL_CHECK_EQ(countPixels(picture, isNavy), 0, "a draw without background must clear the old one");
    TVL_CHECK(countPixels(picture, [](QRgb p) { return isColour(p, 0, 0, 0); }) > kWidth * kHeight / 2,
        "the canvas is cleared to black");
    TVL_CHECK_EQ(canvas_->settings().layers.arrows, true, "arrow flag not remembered");
    TVL_CHECK_EQ(canvas_->settings().layers.streamlines, false, "streamline flag not remembered");
    TVL_CHECK_EQ(canvas_->settings().layers.background, false, "background flag not remembered");
    TVL_CHECK(canvas_->lastView() == view_, "view not remembered");
}

void COpenGLWndTest::manualPlacementDrawsNoEvenStreamlines()
{
    canvas_->setEvenPlacement(false);
    canvas_->drawLayers(view_, Layers {false, true, false});
    TVL_CHECK_EQ(countPixels(canvas_->picture(), isWhite), 0, "Manual mode must not place streamlines on Draw");
    canvas_->setEvenPlacement(true);
    canvas_->drawLayers(view_, Layers {false, true, false});
    TVL_CHECK(countPixels(canvas_->picture(), isWhite) > kWidth, "Even Distances must place streamlines on Draw");
}

void COpenGLWndTest::rubberBandShowsOverTheKeptPicture()
{
    canvas_->drawLayers(view_, Layers {true, false, true});
    const long long callsBefore = coder_->calls;
    TVL_CHECK_EQ(countPixels(canvas_->grabFramebuffer(), isRed), 0, "no red before the drag");

    drag({20, 20}, {120, 70});
    TVL_CHECK(canvas_->isRubberBandShown(), "a right drag must show the rectangle");
    TVL_CHECK(countPixels(canvas_->grabFramebuffer(), isRed) > 100, "the rectangle's red outline is not shown");
    TVL_CHECK_EQ(countPixels(canvas_->picture(), isRed), 0, "the rectangle must not be drawn into the kept picture");
    sendMouse(canvas_.get(), QEvent::MouseMove, {150, 80}, Qt::NoButton, Qt::RightButton);
    TVL_CHECK_EQ(canvas_->zoomEnd(), QPoint(150, 80), "the rectangle's end must follow the mouse");
    TVL_CHECK_EQ(coder_->calls, callsBefore, "dragging the rectangle must not recompute the layers");

    sendMouse(canvas_.get(), QEvent::MouseButtonRelease, {150, 80}, Qt::RightButton, Qt::NoButton);
    TVL_CHECK(!canvas_->isRubberBandShown(), "the rectangle must go with the release");
    TVL_CHECK(!canvas_->zoomPending(), "the release's redraw must use up the pending zoom");
    TVL_CHECK_EQ(countPixels(canvas_->grabFramebuffer(), isRed), 0, "red left over after the zoom");
    TVL_CHECK(coder_->calls > callsBefore, "the release must redraw the zoomed picture");
    // Canvas pixels (20, 20) and (150, 80) at 0.01 flow units per pixel, y up from the bottom.
    const Vector3 lower = view_->regionMinimum();
    const Vector3 upper = view_->regionMaximum();
    TVL_CHECK(std::abs(lower.x - 0.2f) < 1e-5f && std::abs(upper.x - 1.5f) < 1e-5f,
        QStringLiteral("zoomed x range %1..%2, expected 0.2..1.5").arg(lower.x).arg(upper.x));
    TVL_CHECK(std::abs(lower.y - 0.2f) < 1e-5f && std::abs(upper.y - 0.8f) < 1e-5f,
        QStringLiteral("zoomed y range %1..%2, expected 0.2..0.8").arg(lower.y).arg(upper.y));
}

void COpenGLWndTest::rubberBandIgnoresShiftAndCtrl()
{
    for (const Qt::KeyboardModifier modifier : {Qt::ShiftModifier, Qt::ControlModifier}) {
        view_->resetRegion();
        canvas_->drawLayers(view_, Layers {true, false, true});
        drag({20, 20}, {100, 60});
        const long long callsBefore = coder_->calls;
        sendMouse(canvas_.get(), QEvent::MouseMove, {180, 90}, Qt::NoButton, Qt::RightButton, modifier);
        TVL_CHECK_EQ(canvas_->zoomEnd(), QPoint(100, 60), "a move with Shift or Ctrl must not move the rectangle");
        TVL_CHECK_EQ(coder_->calls, callsBefore, "a move with Shift or Ctrl must not redraw");
        sendMouse(canvas_.get(), QEvent::MouseButtonRelease, {180, 90}, Qt::RightButton, Qt::NoButton, modifier);
        const Vector3 lower = view_->regionMinimum();
        const Vector3 upper = view_->regionMaximum();
        TVL_CHECK(std::abs(upper.x - 1.0f) < 1e-5f && std::abs(lower.y - 0.4f) < 1e-5f,
            QStringLiteral("the zoom must use the last plain move's corner; got x max %1, y min %2")
                .arg(upper.x)
                .arg(lower.y));
    }
}

void COpenGLWndTest::rightReleaseOutsideDoesNotZoom()
{
    canvas_->drawLayers(view_, Layers {false, false, true});
    drag({20, 20}, {100, 60});
    sendMouse(canvas_.get(), QEvent::MouseButtonRelease, {kWidth + 40, 60}, Qt::RightButton, Qt::NoButton);
    TVL_CHECK_EQ(view_->regionMaximum().x, 2.0f, "a release outside the canvas must not zoom");
    TVL_CHECK(!canvas_->isRubberBandShown(), "the rectangle must not stay after the release");
    TVL_CHECK(!canvas_->zoomPending(), "no zoom may wait for a later draw");
    TVL_CHECK_EQ(countPixels(canvas_->grabFramebuffer(), isRed), 0, "red left over after the release");
}

void COpenGLWndTest::manualClickSeedsOnTopUntilTheNextDraw()
{
    canvas_->setEvenPlacement(false);
    canvas_->drawLayers(view_, Layers {false, true, true});
    const int arrowsBefore = countPixels(canvas_->picture(), isArrowColour);
    TVL_CHECK_EQ(countPixels(canvas_->picture(), isWhite), 0, "no streamline before the click");

    sendMouse(canvas_.get(), QEvent::MouseButtonPress, {100, 50}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(canvas_.get(), QEvent::MouseButtonRelease, {100, 50}, Qt::LeftButton, Qt::NoButton);
    QImage picture = canvas_->picture();
    const int whiteAfterOne = countPixels(picture, isWhite);
    TVL_CHECK(whiteAfterOne > kWidth / 2, "a Manual click must draw a streamline");
    // The flow runs along +x, so the streamline is the row of the click.
    const int row = whitestRow(picture);
    TVL_CHECK(row >= 48 && row <= 51, QStringLiteral("streamline in row %1, clicked row 50").arg(row));
    TVL_CHECK(isWhite(picture.pixel(10, row)) && isWhite(picture.pixel(190, row)),
        "the streamline must run through the whole flow in both directions");
    TVL_CHECK(countPixels(picture, isArrowColour) > arrowsBefore * 9 / 10,
        "the streamline must be drawn over the shown arrows, not instead of them");
    TVL_CHECK(countPixels(canvas_->grabFramebuffer(), isWhite) == whiteAfterOne,
        "the window must show the picture with the streamline");

    sendMouse(canvas_.get(), QEvent::MouseButtonPress, {100, 20}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(canvas_.get(), QEvent::MouseButtonRelease, {100, 20}, Qt::LeftButton, Qt::NoButton);
    TVL_CHECK(countPixels(canvas_->picture(), isWhite) > whiteAfterOne + kWidth / 2,
        "a second click must add a streamline and keep the first");

    canvas_->drawLayers(view_, Layers {false, true, true});
    TVL_CHECK_EQ(countPixels(canvas_->picture(), isWhite), 0, "a full redraw must remove the seeded streamlines");
}

void COpenGLWndTest::manualClickOutsideDoesNothing()
{
    canvas_->setEvenPlacement(false);
    canvas_->drawLayers(view_, Layers {false, false, true});
    const QImage before = canvas_->picture();
    sendMouse(canvas_.get(), QEvent::MouseButtonRelease, {-3, 50}, Qt::LeftButton, Qt::NoButton);
    sendMouse(canvas_.get(), QEvent::MouseButtonRelease, {100, kHeight + 5}, Qt::LeftButton, Qt::NoButton);
    TVL_CHECK(canvas_->picture() == before, "a release outside the canvas must not seed");
}

void COpenGLWndTest::evenClickResetsTheZoom()
{
    canvas_->drawLayers(view_, Layers {true, true, true});
    drag({20, 20}, {120, 70});
    sendMouse(canvas_.get(), QEvent::MouseButtonRelease, {120, 70}, Qt::RightButton, Qt::NoButton);
    TVL_CHECK(view_->regionMaximum().x < 1.5f, "the drag should have zoomed in");
    const long long callsBefore = coder_->calls;

    sendMouse(canvas_.get(), QEvent::MouseButtonPress, {60, 40}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(canvas_.get(), QEvent::MouseButtonRelease, {60, 40}, Qt::LeftButton, Qt::NoButton);
    TVL_CHECK_EQ(view_->regionMinimum().x, 0.0f, "an Even Distances click must return to the full extent");
    TVL_CHECK_EQ(view_->regionMaximum().x, 2.0f, "an Even Distances click must return to the full extent");
    TVL_CHECK_EQ(view_->regionMaximum().y, 1.0f, "an Even Distances click must return to the full extent");
    TVL_CHECK_EQ(coder_->calls - callsBefore, static_cast<long long>(kWidth * kHeight),
        "the click must redraw the full picture once");
    TVL_CHECK(countPixels(canvas_->picture(), isWhite) > kWidth, "the even streamlines must be placed again");
}

void COpenGLWndTest::redrawWithoutStreamlinesKeepsTheLastFlags()
{
    canvas_->drawLayers(view_, Layers {true, true, true});
    TVL_CHECK(countPixels(canvas_->picture(), isWhite) > kWidth, "even streamlines expected before Clear");
    canvas_->redrawWithoutStreamlines();
    const QImage cleared = canvas_->picture();
    TVL_CHECK_EQ(countPixels(cleared, isWhite), 0, "the redraw must leave the streamlines out");
    TVL_CHECK(countPixels(cleared, isArrowColour) > 100, "the redraw must keep the arrows");
    TVL_CHECK(countPixels(cleared, isNavy) > kWidth * kHeight / 2, "the redraw must keep the background");
    TVL_CHECK_EQ(canvas_->settings().layers.streamlines, true, "the redraw must not change the remembered flags");
    canvas_->setArrowResolution(20);
    TVL_CHECK(countPixels(canvas_->picture(), isWhite) > kWidth, "the next full draw must place streamlines again");
}

void COpenGLWndTest::keptPictureSurvivesRepaintHideShowAndResize()
{
    canvas_->setEvenPlacement(false);
    canvas_->drawLayers(view_, Layers {true, false, true});
    sendMouse(canvas_.get(), QEvent::MouseButtonRelease, {100, 50}, Qt::LeftButton, Qt::NoButton);
    const QImage shown = canvas_->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    TVL_CHECK(countPixels(shown, isWhite) > kWidth / 2, "the seeded streamline should be shown");
    const long long callsBefore = coder_->calls;

    canvas_->update();
    QTest::qWait(20);
    TVL_CHECK(canvas_->grabFramebuffer().convertToFormat(QImage::Format_RGB32) == shown,
        "a repaint must show the same picture");
    canvas_->hide();
    canvas_->show();
    QVERIFY2(QTest::qWaitForWindowExposed(canvas_.get()), "the canvas did not come back");
    TVL_CHECK(canvas_->grabFramebuffer().convertToFormat(QImage::Format_RGB32) == shown,
        "hidden and shown by the window system, the canvas must show its last picture");

    canvas_->resize(kWidth + 60, kHeight + 40);
    QTRY_VERIFY2(canvas_->grabFramebuffer().size() == QSize(kWidth + 60, kHeight + 40), "the canvas did not grow");
    const QImage grown = canvas_->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    TVL_CHECK(
        grown.copy(0, 40, kWidth, kHeight) == shown, "the resized canvas must keep the picture at its bottom left");
    TVL_CHECK_EQ(
        countPixels(grown.copy(kWidth, 0, 60, kHeight + 40), isWhite), 0, "the new strip of the canvas must be empty");
    TVL_CHECK_EQ(coder_->calls, callsBefore, "none of these repaints may recompute the layers");
}

void COpenGLWndTest::forgottenViewKeepsThePictureAndIgnoresInput()
{
    canvas_->drawLayers(view_, Layers {true, false, true});
    const QImage before = canvas_->picture();
    const long long callsBefore = coder_->calls;
    canvas_->forgetView();
    TVL_CHECK(!canvas_->lastView(), "the view must be dropped");
    TVL_CHECK(canvas_->picture() == before, "the picture must stay");
    canvas_->setArrowResolution(40);
    canvas_->showCanvas();
    drag({20, 20}, {120, 70});
    sendMouse(canvas_.get(), QEvent::MouseButtonRelease, {120, 70}, Qt::RightButton, Qt::NoButton);
    TVL_CHECK_EQ(coder_->calls, callsBefore, "nothing may redraw through a forgotten view");
    TVL_CHECK(!canvas_->isRubberBandShown(), "the mouse must be ignored without a view");
    TVL_CHECK(canvas_->picture() == before, "the picture must stay until the next draw");
    TVL_CHECK_EQ(canvas_->settings().arrowStep, 40, "settings are still stored");
}

void COpenGLWndTest::canvasKeepsItsViewAliveAndReleasesItsList()
{
    canvas_->drawLayers(view_, Layers {false, true, false});
    const GLuint list = view_->displayList().name();
    TVL_CHECK(list != 0, "the view's layer must own a display list");
    const std::weak_ptr<FlowView> watch = view_;
    view_.reset();
    TVL_CHECK(!watch.expired(), "the canvas must keep its last view alive");
    canvas_->setArrowResolution(25);
    TVL_CHECK(countPixels(canvas_->picture(), isWhite) > kWidth, "the canvas must still draw through its view");

    canvas_->forgetView();
    TVL_CHECK(watch.expired(), "dropping the last reference must destroy the view");
    QVERIFY2(canvas_->makeCanvasCurrent(), "no context to ask");
    const GLboolean stillList = QOpenGLContext::currentContext()->functions()->glIsBuffer(list);
    canvas_->releaseCanvas();
    TVL_CHECK(stillList == GL_FALSE, "the destroyed view must have released its display list");
}

void COpenGLWndTest::displayListIsSharedBetweenCanvases()
{
    COpenGLWnd other;
    other.resize(kWidth, kHeight);
    other.show();
    QVERIFY2(QTest::qWaitForWindowExposed(&other), "the second canvas never appeared");
    canvas_->drawLayers(view_, Layers {false, true, false});
    const GLuint list = view_->displayList().name();
    QVERIFY2(other.makeCanvasCurrent(), "the second canvas has no context");
    const GLboolean known = QOpenGLContext::currentContext()->functions()->glIsBuffer(list);
    other.releaseCanvas();
    TVL_CHECK(known == GL_TRUE, "the display list recorded in one canvas must exist in the other");
}

TVL_GUI_TEST_MAIN(COpenGLWndTest)
#include "COpenGLWndTest.moc"
