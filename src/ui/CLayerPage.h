#pragma once

#include <QWidget>

class QKeyEvent;

namespace tvl {

class COpenGLWnd;

// Common base of the three layer settings pages: a child page of the tab
// control that writes its settings into the current canvas. Enter and Escape
// inside a page change nothing and close nothing.
class CLayerPage : public QWidget {
    Q_OBJECT

public:
    explicit CLayerPage(QWidget* parent = nullptr);

    // The canvas that later changes go to; not owned. Stores it and nothing else.
    void setCanvas(COpenGLWnd* canvas) { canvas_ = canvas; }
    COpenGLWnd* canvas() const { return canvas_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

    COpenGLWnd* canvas_ = nullptr;
};

} // namespace tvl
