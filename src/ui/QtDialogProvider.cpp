#include "ui/QtDialogProvider.h"

#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace tvl {

namespace {

QMessageBox::Icon toMessageBoxIcon(DialogProvider::Icon icon)
{
    switch (icon) {
    case DialogProvider::Icon::Information:
        return QMessageBox::Information;
    case DialogProvider::Icon::Warning:
        return QMessageBox::Warning;
    case DialogProvider::Icon::Critical:
        return QMessageBox::Critical;
    case DialogProvider::Icon::Question:
        return QMessageBox::Question;
    case DialogProvider::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QString QtDialogProvider::getOpenFileName(QWidget* parent, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

QString QtDialogProvider::getSaveFileName(QWidget* parent, const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, QString(), QString(), filter);
}

std::optional<QColor> QtDialogProvider::getColor(const QColor& initial)
{
    const QColor chosen = QColorDialog::getColor(initial, nullptr);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

void QtDialogProvider::message(
    QWidget* parent, Icon icon, const QString& caption, const QString& text, const QString& detail)
{
    QMessageBox box(toMessageBoxIcon(icon), caption, text, QMessageBox::Ok, parent);
    if (!detail.isEmpty())
        box.setDetailedText(detail);
    box.exec();
}

bool QtDialogProvider::question(QWidget* parent, const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, parent);
    return box.exec() == QMessageBox::Yes;
}

int QtDialogProvider::exec(QDialog& dialog)
{
    return dialog.exec();
}

} // namespace tvl
