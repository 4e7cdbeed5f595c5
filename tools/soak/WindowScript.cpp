#include "WindowScript.h"

#include "flow/FlowFileWriter.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QWidget>

#include <link.h>

#include <dlfcn.h>
#include <string>

namespace tvl {

FlowFilePair writeFlowPair(const QTemporaryDir& dir, const QString& name, int additionalCount, FlowKind kind)
{
    FlowSpec spec;
    spec.flow = kind;
    spec.width = 32;
    spec.height = 24;
    spec.additionalCount = additionalCount;
    spec.x1 = 2.0f;
    spec.y1 = 1.5f;
    FlowFilePair pair {dir.filePath(name + QStringLiteral(".gri")), dir.filePath(name + QStringLiteral(".dat"))};
    std::string error;
    if (!writeFlowFiles(makeFlow(spec), pair.grid.toStdString(), pair.data.toStdString(), error))
        qFatal("cannot write the flow %s: %s", qPrintable(name), error.c_str());
    return pair;
}

void sendMouse(QWidget* widget, QEvent::Type type, QPoint position, Qt::MouseButton button, Qt::MouseButtons buttons,
    Qt::KeyboardModifiers modifiers)
{
    const QPointF local(position);
    QMouseEvent event(type, local, widget->mapToGlobal(local), button, buttons, modifiers);
    QApplication::sendEvent(widget, &event);
}

void keepLoadedLibraries()
{
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void*) {
            if (info->dlpi_name && info->dlpi_name[0] != '\0')
                dlopen(info->dlpi_name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}

} // namespace tvl
