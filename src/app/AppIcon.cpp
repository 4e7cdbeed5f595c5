#include "app/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tvl {

namespace {

QPixmap drawIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(20, 40, 110));
    painter.drawRoundedRect(QRectF(1, 1, 30, 30), 5, 5);
    QPainterPath line;
    line.moveTo(4, 22);
    line.cubicTo(11, 6, 19, 28, 28, 10);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 2.2));
    painter.drawPath(line);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 179, 179));
    painter.drawPolygon(QPolygonF({QPointF(16, 27), QPointF(7, 24), QPointF(8, 30)}));
    return pixmap;
}

} // namespace

QIcon makeAppIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(drawIcon(size));
    return icon;
}

} // namespace tvl
