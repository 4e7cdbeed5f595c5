#pragma once

#include <QColor>
#include <QString>

#include <optional>

class QDialog;
class QWidget;

namespace tvl {

// Every modal prompt of the application goes through one of these, so that
// tests can answer them without a person. The real one is QtDialogProvider.
class DialogProvider {
public:
    enum class Icon { None, Information, Warning, Critical, Question };

    virtual ~DialogProvider() = default;

    // An existing file chosen with a Qt name filter ("Text (*.txt);;All (*)");
    // empty when the user cancels.
    virtual QString getOpenFileName(QWidget* parent, const QString& filter) = 0;
    // A file name to write; empty when the user cancels. The platform's dialog
    // gives a name typed without a suffix the suffix of the chosen filter.
    virtual QString getSaveFileName(QWidget* parent, const QString& filter) = 0;
    // The colour dialog, started at initial; nothing when the user cancels.
    virtual std::optional<QColor> getColor(const QColor& initial) = 0;
    // A message box with an OK button; detail, when not empty, is shown as the
    // box's detailed text.
    virtual void message(
        QWidget* parent, Icon icon, const QString& caption, const QString& text, const QString& detail = QString())
        = 0;
    // A Yes/No question with the question icon; true for Yes.
    virtual bool question(QWidget* parent, const QString& caption, const QString& text) = 0;
    // Runs a dialog modally and returns its result code.
    virtual int exec(QDialog& dialog) = 0;
};

} // namespace tvl
