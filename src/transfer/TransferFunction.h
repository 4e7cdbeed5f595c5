#pragma once

#include "ColorTable.h"
#include "ControlPoint.h"
#include "Rgb.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

namespace tvl {

struct TransferPreset;

// The editor strip's client rectangle in strip pixels (x to the right, y down),
// right and bottom exclusive. The strip's width right - left is the number of
// colour table entries.
struct ClientRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The colour map of the background coders: a piecewise linear RGB ramp through
// 2 to 30 control points, kept as a colour table with one entry per pixel
// column of the editor strip. A normalised value t selects entry
// trunc(t * entry count).
//
// Columns and hit rectangles are strip client pixels. The end points (keys 0
// and 1) sit at column 0 and at the right edge (column = strip width, one past
// the last entry); they can be recoloured but never moved or removed.
//
// Points are named by slot index: slots 0 .. pointCount() - 1 are live and
// sorted by column. An index stays a valid slot for the object's life but
// names whatever point an edit sorted into it, so the editor hit-tests anew
// before each use; an index outside the live slots is ignored by every edit.
//
// The model knows no window system: the strip's client rectangle is handed in
// (before the first use; the default set-up reads it once and fixes the table
// size), and "repaint the strip now" is a callback that every edit of the
// points ends with.
class TransferFunction {
public:
    static constexpr int kMaxPoints = 30;
    static constexpr int kNoPoint = -1;
    // Half the width of a hit rectangle.
    static constexpr int kHitHalfWidth = 10;

    // Every slot keyed with its own number, zero rectangle, black; no points
    // and no table until the first operation.
    TransferFunction();
    explicit TransferFunction(const ClientRect& client);

    TransferFunction(const TransferFunction&) = delete;
    TransferFunction& operator=(const TransferFunction&) = delete;

    // Read by the default set-up and by applyPreset. Changing it after the
    // set-up moves nothing and never resizes the table.
    void setClientRect(const ClientRect& client) { client_ = client; }
    const ClientRect& clientRect() const { return client_; }
    // Called last by every edit of the points, so it may read the model.
    void setRepaintCallback(std::function<void()> repaint) { repaint_ = std::move(repaint); }

    // The operations below all start with ensureInitialized.

    // Black at column 0 to white at the right edge, on first call only.
    void ensureInitialized();
    // The table the coders read. It lives as long as any holder, is never
    // reallocated and is rewritten in place by every edit.
    std::shared_ptr<const ColorTable> colorTable();
    // The first live point in sorted order whose hit rectangle holds the strip
    // pixel (x, y), left/top inclusive, right/bottom exclusive; kNoPoint if none.
    int hitTest(int x, int y);
    // Adds a point at column x (a 31st point is refused); re-sorts, rebuilds, repaints.
    void addPoint(int x, std::uint8_t red, std::uint8_t green, std::uint8_t blue);
    // Ignored for an end point.
    void removePoint(int slot);
    // Re-centres the point on column x; ignored for an end point.
    void movePoint(int slot, int x);
    // Allowed for the end points; the order of the points is kept.
    void setPointColor(int slot, std::uint32_t colorRef);
    void setPointColor(int slot, Rgb colour);
    // Replaces all points by two end points (and, for three colours, one in the
    // middle of the strip). count must be 2 or 3; anything else is ignored.
    void applyPreset(const Rgb* colours, int count);
    void applyPreset(const TransferPreset& preset);
    void rebuildTable();

    // Observers; they do not run the default set-up.
    bool isInitialized() const { return initialized_; }
    int pointCount() const { return pointCount_; }
    // Any slot 0 .. kMaxPoints - 1, live or free.
    const ControlPoint& point(int slot) const;
    int entryCount() const { return table_ ? table_->entryCount() : 0; }

private:
    bool isLiveSlot(int slot) const { return slot >= 0 && slot < pointCount_; }
    void resetSlot(int slot);
    void placePoint(int slot, int column);
    void sortPoints();
    void fillTable();
    void repaint();

    ClientRect client_;
    std::function<void()> repaint_;
    std::shared_ptr<ColorTable> table_;
    std::array<ControlPoint, kMaxPoints> points_ {};
    int pointCount_ = 0;
    bool initialized_ = false;
};

} // namespace tvl
