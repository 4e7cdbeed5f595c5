#pragma once

#include "transfer/TransferFunction.h"

#include <QWidget>

#include <functional>
#include <memory>

class QMenu;

namespace tvl {

class ColorTable;
class DialogProvider;

// The transfer function strip: shows the colour ramp with a triangular marker
// for every control point and edits the function with the mouse. A left click
// on an empty place adds a point in a colour from the colour dialog, a left
// drag moves the point under the cursor sideways, and the context menu
// recolours or deletes the point under the cursor or loads a preset.
//
// The strip owns the transfer function; its colour table has one entry per
// pixel column of the strip and is shared with the background coders, which
// see every edit at their next redraw. Positions are strip pixels (x to the
// right, y down).
class CTransferDisplay : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMarkerHeight = 10;

    // The strip has a fixed size, which fixes the colour table's entry count.
    CTransferDisplay(const QSize& size, QWidget* parent = nullptr);
    ~CTransferDisplay() override;

    // Dialogs for the colour choice (not owned), and what to do before and
    // after one is shown (the main window hides and shows its canvases).
    void setDialogs(DialogProvider* dialogs, std::function<void()> beforePrompt, std::function<void()> afterPrompt);

    // What the ramp means at a strip column, for the tool tip while the mouse
    // rests over the strip: the window knows the coded quantity and the data
    // set's borders. An empty text shows no tip.
    void setLegend(std::function<QString(int column)> legend) { legend_ = std::move(legend); }
    QString legendAt(int column) const { return legend_ ? legend_(column) : QString(); }

    TransferFunction& transferFunction() { return model_; }
    std::shared_ptr<const ColorTable> colorTable() { return model_.colorTable(); }

    // The point that "Change Color" and "Delete" act on: the last hit test of
    // a mouse or menu action; TransferFunction::kNoPoint when none.
    int selectedPoint() const { return selected_; }
    bool isDragging() const { return dragging_; }

    // The context menu for a click at a strip position: hit-tests there
    // (selecting the point under it) and builds the menu, or returns null
    // outside the strip. The caller owns the menu.
    std::unique_ptr<QMenu> contextMenuAt(const QPoint& position);

    // The menu commands.
    void changeColor();
    void deleteSelected();
    void applyPreset(int presetIndex);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool chooseColour(QColor& colour);

    TransferFunction model_;
    DialogProvider* dialogs_ = nullptr;
    std::function<void()> beforePrompt_;
    std::function<void()> afterPrompt_;
    std::function<QString(int)> legend_;
    int selected_ = TransferFunction::kNoPoint;
    bool dragging_ = false;
};

} // namespace tvl
