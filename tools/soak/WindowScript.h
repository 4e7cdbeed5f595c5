#pragma once

#include "flow/AnalyticFlow.h"

#include <QEvent>
#include <QPoint>
#include <QString>

class QTemporaryDir;
class QWidget;

namespace tvl {

// What a script needs besides its dialogs to drive the window: files to open,
// mouse input, and a clean leak check at the end.

struct FlowFilePair {
    QString grid;
    QString data;
};

// Writes an analytic flow on 32 × 24 nodes over 0..2 × 0..1.5 flow units, with
// additionalCount values, as name.gri and name.dat in dir.
FlowFilePair writeFlowPair(
    const QTemporaryDir& dir, const QString& name, int additionalCount, FlowKind kind = FlowKind::Vortex);

// Sends one mouse event with exactly these buttons and modifiers to a widget,
// at a position in its own pixels.
void sendMouse(QWidget* widget, QEvent::Type type, QPoint position, Qt::MouseButton button, Qt::MouseButtons buttons,
    Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Pins every shared library loaded so far, so that none is unloaded before the
// leak check at exit: the leak checker can name a library's allocations (and
// its suppression file the library) only while it is mapped, and the GL driver
// and Qt's plugins are otherwise unloaded on the way out.
void keepLoadedLibraries();

} // namespace tvl
