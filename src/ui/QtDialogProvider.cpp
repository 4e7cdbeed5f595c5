#include "ui/QtDialogProvider.h"

#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

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
    QString chosenFilter;
    QString path = QFileDialog::getSaveFileName(parent, QString(), QString(), filter, &chosenFilter);
    // A name typed without a suffix takes the one of the filter chosen beside
    // it, so "figure" with the SVG filter becomes figure.svg.
    static const QRegularExpression suffixPattern(QStringLiteral("\\*\\.(\\w+)"));
    const QRegularExpressionMatch suffix = suffixPattern.match(chosenFilter);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty() && suffix.hasMatch())
        path += QStringLiteral(".") + suffix.captured(1);
    return path;
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
