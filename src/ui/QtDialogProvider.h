#pragma once

#include "ui/DialogProvider.h"

namespace tvl {

// The platform's own file, colour and message dialogs.
class QtDialogProvider : public DialogProvider {
public:
    QString getOpenFileName(QWidget* parent, const QString& filter) override;
    QString getSaveFileName(QWidget* parent, const QString& filter) override;
    std::optional<QColor> getColor(const QColor& initial) override;
    void message(
        QWidget* parent, Icon icon, const QString& caption, const QString& text, const QString& detail) override;
    bool question(QWidget* parent, const QString& caption, const QString& text) override;
    int exec(QDialog& dialog) override;
};

} // namespace tvl
