#include "ui/COpenGLWnd.h"

#include "CoderProbe.h"
#include "GuiTest.h"
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

// The middle entry of an index table of 64, which the counting coder gives every pixel.
const auto isBackground = [](Rgb8 p) { return isColour(p, 32, 223, 77); };

// The row of a picture (top-down) with the most white pixels.
int whitestRow(const QImage& image)
{
    int best = 0;
    for (int y = 1; y < image.height(); ++y)
        if (countPixels(image, isWhite, 0, y, image.width(), y + 1)
            > countPixels(image, isWhite, 0, best, image.width(), best + 1))
            best = y;
    return best;
}

} // namespace

// A 200 × 100 canvas over a uniform flow along +x on 50 × 25 samples spanning
// 0..2 × 0..1 flow units: the viewport fills the canvas, a pixel is 0.01 flow
// units. The background is one colour and counts its pixels.
class COpenGLWndTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void layersLieBackgroundStreamlinesArrows();
    void rubberBandZoomsToTheLastPlainMove();
    void manualClicksSeedOnTopUntilTheNextDraw();
    void viewsAndTheirListsLiveAsLongAsACanvasHoldsThem();

private:
    void drag(QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        sendMouse(canvas_.get(), QEvent::MouseButtonPress, from, Qt::RightButton, Qt::RightButton);
        sendMouse(canvas_.get(), QEvent::MouseMove, to, Qt::NoButton, Qt::RightButton, modifiers);
    }
    void click(QPoint at) const
    {
        sendMouse(canvas_.get(), QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        sendMouse(canvas_.get(), QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    }
    bool regionIs(float x0, float y0, float x1, float y1) const
    {
        const Vector3 lo = view_->regionMinimum(), hi = view_->regionMaximum();
        return std::abs(lo.x - x0) + std::abs(lo.y - y0) + std::abs(hi.x - x1) + std::abs(hi.y - y1) < 1e-5f;
    }

    FlowData flow_;
    std::unique_ptr<COpenGLWnd> canvas_;
    std::shared_ptr<FlowView> view_;
    std::shared_ptr<CountingCoder> coder_;
};

void COpenGLWndTest::init()
{
    setUniform(flow_, 50, 25, {1, 0, 0}, {0, 0, 0}, {2, 1, 0});
    canvas_ = std::make_unique<COpenGLWnd>();
    canvas_->resize(kWidth, kHeight);
    canvas_->show();
    QVERIFY2(QTest::qWaitForWindowExposed(canvas_.get()), "the canvas never appeared on the display");
    QVERIFY2(canvas_->isValid(), "the canvas got no OpenGL context");
    view_ = makeSharedView(flow_);
    view_->setCanvasSize(kWidth, kHeight);
    view_->resetRegion();
    coder_ = std::make_shared<CountingCoder>(flow_, indexTable(64));
    canvas_->setDataCoder(coder_);
}

void COpenGLWndTest::cleanup()
{
    view_.reset();
    coder_.reset();
    canvas_.reset();
}

void COpenGLWndTest::layersLieBackgroundStreamlinesArrows()
{
    canvas_->drawLayers(view_, Layers {true, false, false});
    TVL_CHECK_EQ(countPixels(canvas_->picture(), isBackground), kWidth * kHeight, "the background covers the viewport");
    TVL_CHECK_EQ(coder_->calls, 1LL * kWidth * kHeight, "one colour per viewport pixel");
    canvas_->drawLayers(view_, Layers {true, true, true});
    const QImage all = canvas_->picture();
    TVL_CHECK(countPixels(all, isArrowColour) > 100 && countPixels(all, isWhite) > kWidth, "arrows and lines on top");
    TVL_CHECK(countPixels(all, isBackground) > kWidth * kHeight / 2, "over a background still mostly visible");
    canvas_->setEvenPlacement(false);
    canvas_->drawLayers(view_, Layers {false, true, true});
    TVL_CHECK_EQ(countPixels(canvas_->picture(), isBackground) + countPixels(canvas_->picture(), isWhite), 0,
        "a draw clears the old picture, and Manual mode places no streamlines");
    TVL_CHECK(canvas_->settings().layers == (Layers {false, true, true}) && canvas_->lastView() == view_,
        "the canvas remembers the flags and the view");
}

void COpenGLWndTest::rubberBandZoomsToTheLastPlainMove()
{
    canvas_->drawLayers(view_, Layers {true, false, true});
    const long long calls = coder_->calls;
    drag({20, 20}, {100, 60});
    TVL_CHECK(canvas_->isRubberBandShown(), "a right drag shows the rectangle");
    TVL_CHECK(countPixels(canvas_->grabFramebuffer(), isRed) > 100, "its red outline is shown");
    TVL_CHECK_EQ(countPixels(canvas_->picture(), isRed), 0, "but not drawn into the kept picture");
    sendMouse(canvas_.get(), QEvent::MouseMove, {150, 80}, Qt::NoButton, Qt::RightButton, Qt::ShiftModifier);
    sendMouse(canvas_.get(), QEvent::MouseMove, {160, 90}, Qt::NoButton, Qt::RightButton, Qt::ControlModifier);
    TVL_CHECK_EQ(canvas_->zoomEnd(), QPoint(100, 60), "a move with Shift or Ctrl does not move the rectangle");
    TVL_CHECK_EQ(coder_->calls, calls, "and nothing recomputes the layers while dragging");
    sendMouse(canvas_.get(), QEvent::MouseButtonRelease, {160, 90}, Qt::RightButton, Qt::NoButton);
    TVL_CHECK(!canvas_->isRubberBandShown() && !canvas_->zoomPending(), "the release zooms and redraws");
    TVL_CHECK(regionIs(0.2f, 0.4f, 1.0f, 0.8f), "to the rectangle of the last plain move");
    TVL_CHECK(coder_->calls > calls && countPixels(canvas_->grabFramebuffer(), isRed) == 0, "redrawn, without red");
    drag({20, 20}, {100, 60});
    sendMouse(canvas_.get(), QEvent::MouseButtonRelease, {kWidth + 40, 60}, Qt::RightButton, Qt::NoButton);
    TVL_CHECK(regionIs(0.2f, 0.4f, 1.0f, 0.8f) && !canvas_->isRubberBandShown(), "a release outside does not zoom");
    drag({50, 50}, {50, 50});
    sendMouse(canvas_.get(), QEvent::MouseButtonRelease, {50, 50}, Qt::RightButton, Qt::NoButton);
    TVL_CHECK(regionIs(0.2f, 0.4f, 1.0f, 0.8f), "a right click without movement keeps the region");
    const long long zoomed = coder_->calls;
    click({60, 40});
    TVL_CHECK(regionIs(0, 0, 2, 1) && coder_->calls - zoomed == 1LL * kWidth * kHeight,
        "an Even Distances click returns to the full extent and redraws once");
}

void COpenGLWndTest::manualClicksSeedOnTopUntilTheNextDraw()
{
    canvas_->setEvenPlacement(false);
    canvas_->drawLayers(view_, Layers {false, true, true});
    const int arrows = countPixels(canvas_->picture(), isArrowColour);
    click({0, 50});
    const QImage one = canvas_->picture();
    // The flow runs along +x: the streamline is the clicked row, across the flow.
    const int row = whitestRow(one);
    TVL_CHECK(row >= 48 && row <= 51, QStringLiteral("streamline in row %1, clicked row 50").arg(row));
    TVL_CHECK(isWhite(one.pixel(1, row)) && isWhite(one.pixel(190, row)), "from the left edge through the flow");
    TVL_CHECK(countPixels(one, isArrowColour) > arrows * 9 / 10, "drawn over the arrows, not instead of them");
    TVL_CHECK_EQ(countPixels(canvas_->grabFramebuffer(), isWhite), countPixels(one, isWhite), "and shown");
    click({100, 20});
    const QImage two = canvas_->picture();
    TVL_CHECK(countPixels(two, isWhite) > countPixels(one, isWhite) + kWidth / 2, "a second adds");
    for (const QPoint outside : {QPoint {-3, 50}, QPoint {100, kHeight + 5}, QPoint {kWidth, 50}})
        sendMouse(canvas_.get(), QEvent::MouseButtonRelease, outside, Qt::LeftButton, Qt::NoButton);
    TVL_CHECK(canvas_->picture() == two, "releases outside the canvas seed nothing");
    // The window system's repaints show the kept picture, computing nothing.
    const long long calls = coder_->calls;
    canvas_->hide();
    canvas_->show();
    QVERIFY2(QTest::qWaitForWindowExposed(canvas_.get()), "the canvas did not come back");
    TVL_CHECK(canvas_->grabFramebuffer().convertToFormat(QImage::Format_RGB32) == two && coder_->calls == calls,
        "hidden and shown, the canvas shows its last picture");
    canvas_->drawLayers(view_, Layers {false, true, true});
    TVL_CHECK_EQ(countPixels(canvas_->picture(), isWhite), 0, "a full redraw removes the seeded streamlines");
}

void COpenGLWndTest::viewsAndTheirListsLiveAsLongAsACanvasHoldsThem()
{
    COpenGLWnd other;
    other.resize(kWidth, kHeight);
    other.show();
    QVERIFY2(QTest::qWaitForWindowExposed(&other), "the second canvas never appeared");
    canvas_->drawLayers(view_, Layers {true, true, true});
    const GLuint list = view_->displayList().name();
    QVERIFY2(list != 0 && other.makeCanvasCurrent(), "a list and a second context");
    TVL_CHECK(QOpenGLContext::currentContext()->functions()->glIsBuffer(list),
        "a list recorded in one canvas exists in the other");
    other.releaseCanvas();
    const std::weak_ptr<FlowView> watch = view_;
    view_.reset();
    canvas_->setArrowResolution(25);
    TVL_CHECK(!watch.expired() && countPixels(canvas_->picture(), isWhite) > kWidth, "the canvas keeps its view");
    const QImage before = canvas_->picture();
    const long long calls = coder_->calls;
    canvas_->forgetView();
    TVL_CHECK(watch.expired() && canvas_->picture() == before, "forgetting it destroys the view, not the picture");
    QVERIFY2(canvas_->makeCanvasCurrent(), "no context to ask");
    TVL_CHECK(!QOpenGLContext::currentContext()->functions()->glIsBuffer(list),
        "the destroyed view released its display list");
    canvas_->releaseCanvas();
    canvas_->setArrowResolution(40);
    canvas_->showCanvas();
    drag({20, 20}, {120, 70});
    sendMouse(canvas_.get(), QEvent::MouseButtonRelease, {120, 70}, Qt::RightButton, Qt::NoButton);
    TVL_CHECK(coder_->calls == calls && canvas_->picture() == before, "without a view nothing redraws");
    TVL_CHECK(!canvas_->isRubberBandShown() && canvas_->settings().arrowStep == 40, "but settings are stored");
}

TVL_GUI_TEST_MAIN(COpenGLWndTest)
#include "COpenGLWndTest.moc"
