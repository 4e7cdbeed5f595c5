#include "ScriptedDialogs.h"

#include <QDialog>

namespace tvl {

namespace {

template <class T> T take(std::deque<T>& queue, T fallback)
{
    if (queue.empty())
        return fallback;
    T answer = queue.front();
    queue.pop_front();
    return answer;
}

} // namespace

QString ScriptedDialogs::getOpenFileName(QWidget*, const QString& filter)
{
    record({QStringLiteral("open"), {}, {}, {}, filter});
    return take(openAnswers, QString());
}

QString ScriptedDialogs::getSaveFileName(QWidget*, const QString& filter)
{
    record({QStringLiteral("save"), {}, {}, {}, filter});
    return take(saveAnswers, QString());
}

std::optional<QColor> ScriptedDialogs::getColor(const QColor& initial)
{
    record({QStringLiteral("color"), {}, initial.name(), {}, {}});
    return take(colorAnswers, std::optional<QColor>());
}

void ScriptedDialogs::message(QWidget*, Icon icon, const QString& caption, const QString& text, const QString& detail)
{
    record({QStringLiteral("message"), caption, text, detail, {}, icon});
}

bool ScriptedDialogs::question(QWidget*, const QString& caption, const QString& text)
{
    record({QStringLiteral("question"), caption, text, {}, {}, Icon::Question});
    return take(questionAnswers, false);
}

int ScriptedDialogs::exec(QDialog& dialog)
{
    record({QStringLiteral("exec"), dialog.windowTitle(), {}, {}, {}});
    return onExec ? onExec(dialog) : int(QDialog::Rejected);
}

int ScriptedDialogs::count(const QString& kind) const
{
    int n = 0;
    for (const Prompt& prompt : prompts)
        n += prompt.kind == kind ? 1 : 0;
    return n;
}

void ScriptedDialogs::record(const Prompt& prompt)
{
    prompts.push_back(prompt);
    if (onPrompt)
        onPrompt(prompt);
}

} // namespace tvl
