#pragma once

#include "flow/Vector3.h"
#include "streamlines/IntegrationScheme.h"
#include "streamlines/StreamlineLayer.h"
#include "view/DisplayList.h"
#include "view/ImageBlit.h"
#include "view/LayerSettings.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

namespace tvl {

class DataCoder;
class FlowData;
class Integrator;
class StreamlineSet;

// The view of one loaded flow data set in a canvas: the visible region, the
// canvas size and the aspect-correct viewport inside it, the mappings between
// the coordinate systems, zooming, and the drawing of the layers.
//
// Coordinate systems:
// - world: the data set's own x and y (the region, the zoom rectangle's drawing);
// - regular-grid index: fractional sample column x and row y; the bounding box
//   maps onto 0..W by 0..H (FlowData::worldToGrid); sampling, arrows and
//   streamlines work here;
// - canvas pixel: origin top left, y down (mouse positions);
// - viewport pixel: origin bottom left, y up, viewport width by height (the
//   background image). The viewport is anchored at the canvas's bottom left.
//
// The data set is not owned and must outlive the view. The geometry (sizes,
// region, mappings) needs no OpenGL; the draw operations draw into the
// current context and viewport, each setting its own projection. The view's
// display list is made by the first drawStreamlines, in the context current
// then; destroy the view with a context of that share group current. Until
// the first setCanvasSize the canvas and viewport sizes are 0 and nothing may
// be drawn.
class FlowView {
public:
    // Arrow length factor of arrows that code nothing.
    static constexpr float kUncodedArrowFactor = 0.8f;
    // Colour of the arrows, red, green, blue from 0 to 1.
    static constexpr std::array<float, 3> kArrowColour {1.0f, 0.7f, 0.7f};

    // flowData must not be null and must outlive the view. The aspect fraction
    // starts as the regular grid's (width, height), the region as the bounding box.
    explicit FlowView(const FlowData* flowData);
    FlowView(const FlowView&) = delete;
    FlowView& operator=(const FlowView&) = delete;

    // Canvas client size in canvas pixels. Fits the largest viewport of the
    // region's aspect fraction into it; a region wider than the canvas takes
    // the full width, otherwise (equal ratios included) the full height.
    void setCanvasSize(int width, int height);
    // glViewport(0, 0, viewport width, viewport height).
    void applyViewport() const;
    // Shrinks the region to its intersection with the rectangle spanned by
    // the two world corners (in any order); it never grows. The aspect fraction
    // becomes (trunc(1000 × width ÷ height), 1000), at least (1, 1000), and the
    // viewport follows it. Leaves region, aspect and viewport unchanged when a
    // corner is not finite, the intersection is empty or has zero width or
    // height, or the new viewport in the current canvas would be empty.
    void setWorldRegion(const Vector3& cornerA, const Vector3& cornerB);
    // Back to the whole bounding box, with the aspect fraction of setWorldRegion.
    void resetRegion();
    // Zooms to the rectangle of two canvas pixel corners (truncated to whole
    // pixels), then applyViewport. Corners beside the viewport are clipped to
    // the region; see setWorldRegion for degenerate rectangles.
    void zoomToWindowRect(float x0, float y0, float x1, float y1);
    // The same zoom without touching OpenGL (no applyViewport).
    void setRegionFromWindowRect(float x0, float y0, float x1, float y1);
    // Canvas pixel (x, y) to regular-grid index coordinates, z = 0.
    Vector3 windowToGrid(int x, int y) const;
    // Regular-grid units per viewport pixel, the mean of both axes.
    float gridUnitsPerPixel() const;
    // The region's corners in regular-grid index coordinates.
    Vector3 gridRegionMinimum() const;
    Vector3 gridRegionMaximum() const;
    // Red outline, 2 pixels wide, of the rectangle between two canvas pixel
    // corners, in the region's world projection. Draws nothing while the
    // viewport is empty.
    void drawZoomRectangle(int x0, int y0, int x1, int y1) const;

    // Lattice of filled triangles along the flow, step viewport pixels apart
    // (a step below 1 draws nothing), their length coded as coding says.
    void drawArrowPlot(int step, const ArrowCoding& coding) const;
    // Length factor c of an arrow at a regular-grid point: the normalised speed,
    // the normalised additional value (the first ArrowCoding::kCodedValues
    // values only), else kUncodedArrowFactor. A factor that would not be
    // finite (zero maximum speed, zero value range, a value number the data
    // set lacks) is kUncodedArrowFactor too, as for the entries that code nothing.
    float arrowLengthFactor(const Vector3& point, const ArrowCoding& coding) const;
    // The arrows drawArrowPlot draws, in its order, each as its tip and the two
    // corners of its base in regular-grid index coordinates (z from the flow
    // direction). Needs no OpenGL.
    using ArrowVisitor = std::function<void(const Vector3& tip, const Vector3& left, const Vector3& right)>;
    void forEachArrow(int step, const ArrowCoding& coding, const ArrowVisitor& visit) const;

    // Fills the viewport with one colour per pixel from the coder (opaque white
    // where it has none) and draws it with glDrawPixels.
    void drawBackground(const DataCoder& coder);
    // The image drawBackground draws: viewport width × height pixels, RGBA,
    // rows bottom-up, pixel (i, j) sampled at the regular-grid point reached
    // from the region's lower left corner by i column steps and j row steps.
    // image must hold 4 × viewport width × viewport height bytes.
    void fillBackgroundImage(const DataCoder& coder, std::uint8_t* image) const;

    // Evenly spaced streamlines over the region, traced with scheme: placed,
    // recorded in the view's display list and drawn once by replaying it.
    // The slider positions come from the streamline settings.
    void drawStreamlines(
        float dsepPosition, float dtestPosition, IntegrationScheme scheme, const StreamlineOptions& options = {});
    // The placement of drawStreamlines alone, without OpenGL: afterwards
    // streamlineLayer().placedLines() holds the lines.
    void placeStreamlines(float dsepPosition, float dtestPosition, IntegrationScheme scheme,
        const StreamlineOptions& options = {}, const StreamlineLayer::PlacementObserver& placed = {});
    // Traces and draws one streamline through a clicked canvas pixel. With
    // noSelfOverlap the line keeps TraceParameters::kManualSelfDistancePixels
    // viewport pixels from itself.
    void seedStreamlineAt(float x, float y, const StreamlineOptions& options = {});
    // Traces the streamline that seedStreamlineAt draws for a canvas pixel into
    // lines (emptied first), without OpenGL; false, with lines empty, for a
    // position that is no canvas pixel.
    bool traceStreamlineAt(float x, float y, StreamlineSet& lines, const StreamlineOptions& options = {}) const;
    // Orthographic projection of the region in regular-grid index coordinates.
    void setStreamlineProjection() const;

    const FlowData* flowData() const { return flowData_; }
    StreamlineLayer& streamlineLayer() { return streamlineLayer_; }
    const StreamlineLayer& streamlineLayer() const { return streamlineLayer_; }
    // The lines of the last drawStreamlines (draw(DisplayList) replays them);
    // no buffer before the first.
    const DisplayList& displayList() const { return displayList_; }
    // Region corners in world coordinates.
    Vector3 regionMinimum() const { return regionMinimum_; }
    Vector3 regionMaximum() const { return regionMaximum_; }
    int aspectWidth() const { return aspectWidth_; }
    int aspectHeight() const { return aspectHeight_; }
    int viewportWidth() const { return viewportWidth_; }
    int viewportHeight() const { return viewportHeight_; }
    int canvasWidth() const { return canvasWidth_; }
    int canvasHeight() const { return canvasHeight_; }
    // Size of the image of the last drawBackground.
    int imageWidth() const { return imageWidth_; }
    int imageHeight() const { return imageHeight_; }
    int imagePixelCount() const { return imagePixelCount_; }
    // The image lives only during drawBackground.
    bool holdsImage() const { return imageBuffer_ != nullptr; }

private:
    void applyRegion(const Vector3& minimum, const Vector3& maximum, int aspectWidth);
    // The world point columns pixels right of the viewport's left edge and
    // rows pixels above its bottom edge, in the current region: the one
    // mapping from pixels to the world.
    Vector3 viewportToWorld(float columns, float rows) const;
    // The manual seeding's trace through a canvas pixel; false when the
    // position is no canvas pixel (nothing traced).
    bool traceSeed(float x, float y, const StreamlineOptions& options, Integrator& integrator) const;

    int aspectWidth_ = 0;
    int aspectHeight_ = 0;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
    int imagePixelCount_ = 0;
    int viewportWidth_ = 0;
    int viewportHeight_ = 0;
    int canvasWidth_ = 0;
    int canvasHeight_ = 0;
    std::unique_ptr<std::uint8_t[]> imageBuffer_;
    StreamlineLayer streamlineLayer_;
    DisplayList displayList_;
    ImageBlit imageBlit_;
    const FlowData* flowData_;
    Vector3 regionMinimum_;
    Vector3 regionMaximum_;
};

} // namespace tvl
