#include "ui/CLayerPage.h"

#include <QKeyEvent>

namespace tvl {

CLayerPage::CLayerPage(QWidget* parent)
    : QWidget(parent)
{
}

void CLayerPage::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

} // namespace tvl
