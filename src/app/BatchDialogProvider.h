#pragma once

#include "ui/DialogProvider.h"

namespace tvl {

// Prompts for a run without a person (the picture options of the command
// line): messages go to the standard error stream, every question and dialog
// is answered with Cancel or No.
class BatchDialogProvider : public DialogProvider {
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
