#pragma once

#include "ui/DialogProvider.h"

#include <QColor>
#include <QString>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace tvl {

// The prompts of a window driven by a script (the soak walk, the window's
// tests) rather than a person: each prompt takes its answer from the queue of
// its kind, and an empty queue answers Cancel, No or an empty file name. Every
// prompt is recorded; onPrompt runs while a prompt is "open", so a script can
// look at the window then.
class ScriptedDialogs : public DialogProvider {
public:
    struct Prompt {
        QString kind; // "open", "save", "color", "message", "question", "exec"
        QString caption;
        QString text;
        QString detail;
        QString filter;
        Icon icon = Icon::None;
    };

    QString getOpenFileName(QWidget* parent, const QString& filter) override;
    QString getSaveFileName(QWidget* parent, const QString& filter) override;
    std::optional<QColor> getColor(const QColor& initial) override;
    void message(
        QWidget* parent, Icon icon, const QString& caption, const QString& text, const QString& detail) override;
    bool question(QWidget* parent, const QString& caption, const QString& text) override;
    int exec(QDialog& dialog) override;

    // Prompts of one kind so far.
    int count(const QString& kind) const;

    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    std::deque<std::optional<QColor>> colorAnswers;
    std::deque<bool> questionAnswers;
    std::vector<Prompt> prompts;
    std::function<void(const Prompt&)> onPrompt;
    std::function<int(QDialog&)> onExec; // Rejected when not set

private:
    void record(const Prompt& prompt);
};

} // namespace tvl
