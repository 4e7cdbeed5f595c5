#pragma once

#include "flow/Vector3.h"
#include "streamlines/CellPoints.h"
#include "streamlines/OccupancyGrid.h"
#include "streamlines/SeparationTest.h"
#include "streamlines/StreamlineOptions.h"
#include "streamlines/StreamlineSet.h"

#include <functional>
#include <vector>

namespace tvl {

class FlowData;
class LayerIntegrator;

// Per-view streamline state: the viewport size and visible region as the view
// last set them, the occupancy grid and distances of the evenly spaced
// placement, and the streamlines of the last placement. All points are
// regular-grid index coordinates; z is never used. The layer draws nothing:
// the view draws (and records) what the placement leaves in placedLines().
class StreamlineLayer : public SeparationTest {
public:
    explicit StreamlineLayer(const FlowData* flowData);
    ~StreamlineLayer() override;
    StreamlineLayer(const StreamlineLayer&) = delete;
    StreamlineLayer& operator=(const StreamlineLayer&) = delete;

    // Viewport size in pixels.
    void setViewportSize(int width, int height);
    // Visible region corners in regular-grid index coordinates; the extent is
    // maximum - minimum.
    void setRegion(const Vector3& minimum, const Vector3& maximum);
    // Grid size from the viewport and dsepPixels (viewport pixels); dsep in
    // grid units = dsepPixels × g, g being grid units per pixel. A separation
    // that gives no sensible grid (not positive, not finite, or more than
    // kMaxCellsPerAxis cells along an axis) leaves an empty grid, and the
    // next placement draws nothing.
    void setSeparation(float dsepPixels, float g);
    // dtest = ratio × dsep.
    void setTestRatio(float ratio);
    // Options for the integrators linked from now on; with noSelfOverlap a
    // line keeps dtest from itself as from the other lines.
    void setOptions(const StreamlineOptions& options) { options_ = options; }
    const StreamlineOptions& options() const { return options_; }
    // Links the integrator both ways for the next placement and gives it the
    // placement's trace parameters with the options (set the separation and
    // test ratio first); null unlinks. The placement unlinks at its end; an
    // integrator linked without a placement must be unlinked before it is
    // destroyed.
    void setIntegrator(LayerIntegrator* integrator);
    // Empties the occupancy grid and sizes it columns × rows.
    void resetGrid();
    // Cell of a point: false (outputs untouched) outside the region, on its
    // maximum edge and for a point that is not finite.
    bool cellOf(const Vector3& point, int& column, int& row) const;
    // Stores the point in its cell; a point without a cell is dropped.
    void addToGrid(const Vector3& point);
    // False outside the region or closer than dtest to a stored point in the
    // 3 × 3 cells around the point's cell.
    bool isFarEnough(const Vector3& point) const override;
    // Like isFarEnough with distance in place of dtest.
    bool isValidSeed(const Vector3& point, float distance) const;
    // Fills the region with evenly spaced streamlines from the centre outward;
    // placedLines() then holds them in placement order. Needs a linked
    // integrator; without one nothing is placed. placed, if set, is told
    // after each streamline with the lines placed so far, so that they can
    // be drawn while the placement goes on.
    using PlacementObserver = std::function<void(const StreamlineSet&)>;
    void placeEvenly(const PlacementObserver& placed = {});
    const StreamlineSet& placedLines() const { return placed_; }

    static constexpr int kMaxCellsPerAxis = 1 << 15;

    int columns() const { return columns_; }
    int rows() const { return rows_; }
    int cellCount() const { return static_cast<int>(grid_.cellCount()); }
    float dsep() const { return dsep_; }
    float dtest() const { return dtest_; }
    float testRatio() const { return testRatio_; }
    float gridUnitsPerPixel() const { return gridUnitsPerPixel_; }
    int viewportWidth() const { return viewportWidth_; }
    int viewportHeight() const { return viewportHeight_; }
    const Vector3& regionMinimum() const { return regionMinimum_; }
    const Vector3& regionMaximum() const { return regionMaximum_; }
    const Vector3& regionExtent() const { return regionExtent_; }
    const LayerIntegrator* integrator() const { return integrator_; }
    // Cell (column, row), or null when it holds no point (it never held one
    // since the last resetGrid) or lies outside the grid.
    const CellPoints* cell(int column, int row) const;

private:
    // The separation test with a distance and its squared bound.
    bool isFartherThan(const Vector3& point, float distance, float bound) const;
    void walkForSeeds(std::vector<Vector3>& candidates) const;
    void updateBounds();
    // Whether the cells match the grid size; a size set since the last
    // resetGrid has no cells yet, and nothing is stored or found there.
    bool hasGrid() const;

    LayerIntegrator* integrator_ = nullptr;
    const FlowData* flowData_ = nullptr;
    OccupancyGrid grid_;
    StreamlineSet placed_;
    StreamlineOptions options_;
    int columns_ = 0;
    int rows_ = 0;
    int viewportWidth_ = 0;
    int viewportHeight_ = 0;
    Vector3 regionMinimum_;
    Vector3 regionMaximum_;
    Vector3 regionExtent_;
    float dsep_ = 0.0f;
    float dtest_ = 0.0f;
    float testRatio_ = 0.0f;
    float gridUnitsPerPixel_ = 0.0f;
    // squaredDistanceBound of dsep and dtest.
    float dsepBound_ = 0.0f;
    float dtestBound_ = 0.0f;
};

} // namespace tvl
