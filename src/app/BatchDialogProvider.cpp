#include "app/BatchDialogProvider.h"

#include <QDialog>

#include <cstdio>

namespace tvl {

QString BatchDialogProvider::getOpenFileName(QWidget*, const QString&)
{
    return {};
}

QString BatchDialogProvider::getSaveFileName(QWidget*, const QString&)
{
    return {};
}

std::optional<QColor> BatchDialogProvider::getColor(const QColor&)
{
    return std::nullopt;
}

void BatchDialogProvider::message(QWidget*, Icon, const QString& caption, const QString& text, const QString& detail)
{
    std::fprintf(stderr, "tavrel: %s: %s\n", qPrintable(caption), qPrintable(text));
    if (!detail.isEmpty())
        std::fprintf(stderr, "  %s\n", qPrintable(detail));
}

bool BatchDialogProvider::question(QWidget*, const QString&, const QString&)
{
    return false;
}

int BatchDialogProvider::exec(QDialog&)
{
    return QDialog::Rejected;
}

} // namespace tvl
