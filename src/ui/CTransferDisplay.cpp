#include "ui/CTransferDisplay.h"

#include "transfer/TransferPreset.h"
#include "ui/DialogProvider.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QToolTip>

#include <utility>

namespace tvl {

namespace {

// Marker outline: 2 pixels of dark green, so a point stays visible on a ramp
// of its own colour.
const QColor kMarkerOutline(0, 150, 0);

QColor toQColor(const Rgb& colour)
{
    return {colour.r, colour.g, colour.b};
}

} // namespace

CTransferDisplay::CTransferDisplay(const QSize& size, QWidget* parent)
    : QWidget(parent)
    , model_(ClientRect {0, 0, size.width(), size.height()})
{
    setFixedSize(size);
    setAttribute(Qt::WA_OpaquePaintEvent);
    model_.setRepaintCallback([this] { update(); });
}

CTransferDisplay::~CTransferDisplay() = default;

void CTransferDisplay::setDialogs(
    DialogProvider* dialogs, std::function<void()> beforePrompt, std::function<void()> afterPrompt)
{
    dialogs_ = dialogs;
    beforePrompt_ = std::move(beforePrompt);
    afterPrompt_ = std::move(afterPrompt);
}

std::unique_ptr<QMenu> CTransferDisplay::contextMenuAt(const QPoint& position)
{
    if (!rect().contains(position))
        return nullptr;
    selected_ = model_.hitTest(position.x(), position.y());
    auto menu = std::make_unique<QMenu>(this);
    connect(menu->addAction(QStringLiteral("Change Color")), &QAction::triggered, this, &CTransferDisplay::changeColor);
    connect(menu->addAction(QStringLiteral("Delete")), &QAction::triggered, this, &CTransferDisplay::deleteSelected);
    menu->addSeparator();
    QMenu* presets = menu->addMenu(QStringLiteral("PRESET"));
    for (std::size_t i = 0; i < kTransferPresets.size(); ++i) {
        const QString text = QString::fromUtf8(
            kTransferPresets[i].menuText.data(), static_cast<qsizetype>(kTransferPresets[i].menuText.size()));
        connect(presets->addAction(text), &QAction::triggered, this, [this, i] { applyPreset(static_cast<int>(i)); });
    }
    return menu;
}

void CTransferDisplay::changeColor()
{
    if (selected_ == TransferFunction::kNoPoint)
        return;
    QColor colour;
    if (chooseColour(colour))
        model_.setPointColor(selected_,
            Rgb {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
                static_cast<std::uint8_t>(colour.blue())});
    if (afterPrompt_)
        afterPrompt_();
}

void CTransferDisplay::deleteSelected()
{
    if (selected_ != TransferFunction::kNoPoint)
        model_.removePoint(selected_);
}

void CTransferDisplay::applyPreset(int presetIndex)
{
    if (presetIndex >= 0 && presetIndex < static_cast<int>(kTransferPresets.size()))
        model_.applyPreset(kTransferPresets[static_cast<std::size_t>(presetIndex)]);
}

bool CTransferDisplay::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const int column = help->pos().x();
    const QString text = legendAt(column);
    if (text.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    // The tip belongs to its column: moving on asks for the next column's.
    QToolTip::showText(help->globalPos(), text, this, QRect(column, 0, 1, height()));
    return true;
}

void CTransferDisplay::paintEvent(QPaintEvent* /*event*/)
{
    model_.ensureInitialized();
    QPainter painter(this);
    // The ramp leaves the top and bottom rows free; they frame it in black.
    painter.fillRect(rect(), Qt::black);
    const int bottomRow = height() - 2;
    const std::shared_ptr<const ColorTable> table = model_.colorTable();
    for (int i = 0; i < table->entryCount(); ++i) {
        painter.setPen(QPen(toQColor(table->entry(i)), 1));
        painter.drawLine(i, bottomRow, i, 1);
    }
    painter.setPen(QPen(kMarkerOutline, 2));
    for (int slot = 0; slot < model_.pointCount(); ++slot) {
        const ControlPoint& point = model_.point(slot);
        painter.setBrush(toQColor(point.colour()));
        const QPolygon marker({QPoint(point.left, point.bottom), QPoint(point.column(), point.bottom - kMarkerHeight),
            QPoint(point.right, point.bottom)});
        painter.drawPolygon(marker);
    }
}

void CTransferDisplay::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint position = event->position().toPoint();
    if (!(event->buttons() & Qt::LeftButton) || !rect().contains(position))
        return;
    selected_ = model_.hitTest(position.x(), position.y());
    if (selected_ != TransferFunction::kNoPoint) {
        // The model refuses to move an end point, but the press still counts
        // as a drag, so its release adds nothing.
        model_.movePoint(selected_, position.x());
        dragging_ = true;
    }
}

void CTransferDisplay::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint position = event->position().toPoint();
    if (!dragging_ && rect().contains(position)) {
        selected_ = model_.hitTest(position.x(), position.y());
        if (selected_ == TransferFunction::kNoPoint) {
            QColor colour;
            if (chooseColour(colour))
                model_.addPoint(position.x(), static_cast<std::uint8_t>(colour.red()),
                    static_cast<std::uint8_t>(colour.green()), static_cast<std::uint8_t>(colour.blue()));
            if (afterPrompt_)
                afterPrompt_();
        }
    }
    dragging_ = false;
}

void CTransferDisplay::contextMenuEvent(QContextMenuEvent* event)
{
    std::unique_ptr<QMenu> menu = contextMenuAt(event->pos());
    if (menu)
        menu->exec(event->globalPos());
}

bool CTransferDisplay::chooseColour(QColor& colour)
{
    if (beforePrompt_)
        beforePrompt_();
    if (dialogs_ == nullptr)
        return false;
    const std::optional<QColor> chosen = dialogs_->getColor(Qt::black);
    if (!chosen)
        return false;
    colour = *chosen;
    return true;
}

} // namespace tvl
