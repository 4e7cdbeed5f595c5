#pragma once

// Shared by the widget tests: a dialog provider that answers from queues,
// check macros that say why, flows and pictures to test with, and main().

#include "RegularGrids.h"
#include "flow/AnalyticFlow.h"
#include "flow/FlowData.h"
#include "flow/FlowFileWriter.h"
#include "flow/RegularSample.h"
#include "flow/Vector3.h"
#include "transfer/ColorTable.h"
#include "ui/DialogProvider.h"
#include "ui/GlSetup.h"
#include "view/DataCoder.h"

#include <QApplication>
#include <QDebug>
#include <QDialog>
#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QtTest>

#include <link.h>

#include <cmath>
#include <cstdio>
#include <deque>
#include <dlfcn.h>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tvl {

inline QDebug operator<<(QDebug debug, const Rgb& colour)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "(" << int(colour.r) << ", " << int(colour.g) << ", " << int(colour.b) << ")";
    return debug;
}

} // namespace tvl

namespace tvl::test {

template <class T> QString describe(const T& value)
{
    QString text;
    QDebug(&text).nospace().noquote() << value;
    return text;
}

} // namespace tvl::test

// Fails the test function with the reason when the condition is false.
#define TVL_CHECK(condition, why) QVERIFY2((condition), qPrintable(QString(why)))

// Fails the test function with the reason and both values when they differ.
#define TVL_CHECK_EQ(actual, expected, why)                                                                            \
    do {                                                                                                               \
        const auto& tvlActual = (actual);                                                                              \
        const auto& tvlExpected = (expected);                                                                          \
        if (!(tvlActual == tvlExpected)) {                                                                             \
            QTest::qFail(qPrintable(QStringLiteral("%1: got %2, expected %3")                                          \
                                        .arg(QString(why), ::tvl::test::describe(tvlActual),                           \
                                            ::tvl::test::describe(tvlExpected))),                                      \
                __FILE__, __LINE__);                                                                                   \
            return;                                                                                                    \
        }                                                                                                              \
    } while (false)

namespace tvl::test {

// Answers each prompt from the queue of its kind (an empty queue answers
// Cancel, No or an empty file name) and records every prompt. onPrompt runs
// while a prompt is "open", so a test can look at the window then.
class FakeDialogs : public DialogProvider {
public:
    struct Prompt {
        QString kind; // "open", "save", "color", "message", "question", "exec"
        QString caption;
        QString text;
        QString detail;
        QString filter;
        Icon icon = Icon::None;
    };

    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    std::deque<std::optional<QColor>> colorAnswers;
    std::deque<bool> questionAnswers;
    std::vector<Prompt> prompts;
    std::function<void(const Prompt&)> onPrompt;
    std::function<int(QDialog&)> onExec;

    QString getOpenFileName(QWidget*, const QString& filter) override
    {
        record({QStringLiteral("open"), {}, {}, {}, filter, Icon::None});
        return take(openAnswers, QString());
    }
    QString getSaveFileName(QWidget*, const QString& filter) override
    {
        record({QStringLiteral("save"), {}, {}, {}, filter, Icon::None});
        return take(saveAnswers, QString());
    }
    std::optional<QColor> getColor(const QColor& initial) override
    {
        record({QStringLiteral("color"), {}, initial.name(), {}, {}, Icon::None});
        return take(colorAnswers, std::optional<QColor>());
    }
    void message(QWidget*, Icon icon, const QString& caption, const QString& text, const QString& detail) override
    {
        record({QStringLiteral("message"), caption, text, detail, {}, icon});
    }
    bool question(QWidget*, const QString& caption, const QString& text) override
    {
        record({QStringLiteral("question"), caption, text, {}, {}, Icon::Question});
        return take(questionAnswers, false);
    }
    int exec(QDialog& dialog) override
    {
        record({QStringLiteral("exec"), dialog.windowTitle(), {}, {}, {}, Icon::None});
        return onExec ? onExec(dialog) : QDialog::Rejected;
    }

    int count(const QString& kind) const
    {
        int n = 0;
        for (const Prompt& prompt : prompts)
            n += prompt.kind == kind ? 1 : 0;
        return n;
    }

private:
    void record(const Prompt& prompt)
    {
        prompts.push_back(prompt);
        if (onPrompt)
            onPrompt(prompt);
    }
    template <class T> static T take(std::deque<T>& queue, T fallback)
    {
        if (queue.empty())
            return fallback;
        T answer = queue.front();
        queue.pop_front();
        return answer;
    }
};

// width × height samples of one velocity over the bounding box minimum..maximum.
inline void setUniformFlow(FlowData& flow, int width, int height, float vx, float vy, Vector3 minimum, Vector3 maximum)
{
    const float speed = std::sqrt(vx * vx + vy * vy);
    std::vector<RegularSample> samples(
        static_cast<std::size_t>(width) * static_cast<std::size_t>(height), RegularSample {vx, vy, 0.0f, speed});
    tvl::test::setRegularGrid(flow, width, height, 0, std::move(samples), {}, minimum, maximum);
}

struct FlowFilePair {
    QString grid;
    QString data;
};

// Writes a generated flow with additionalCount values as a file pair in dir.
inline FlowFilePair writeFlowPair(
    const QTemporaryDir& dir, const QString& name, int additionalCount, FlowKind kind = FlowKind::Vortex)
{
    FlowSpec spec;
    spec.flow = kind;
    spec.width = 32;
    spec.height = 24;
    spec.additionalCount = additionalCount;
    spec.x1 = 2.0f;
    spec.y1 = 1.5f;
    FlowFilePair pair {dir.filePath(name + QStringLiteral(".gri")), dir.filePath(name + QStringLiteral(".dat"))};
    std::string error;
    if (!writeFlowFiles(makeFlow(spec), pair.grid.toStdString(), pair.data.toStdString(), error))
        qFatal("cannot write the test flow: %s", error.c_str());
    return pair;
}

// A colour table of one colour.
inline std::shared_ptr<ColorTable> makeUniformTable(int entries, Rgb colour)
{
    auto table = std::make_shared<ColorTable>(entries);
    for (int i = 0; i < entries; ++i)
        table->setEntry(i, colour);
    return table;
}

// A coder that colours every point with the middle entry of its table and
// counts how often it was asked, which tells how many background pixels a
// canvas has computed.
class CountingCoder : public DataCoder {
public:
    CountingCoder(const FlowData& flow, std::shared_ptr<const ColorTable> table)
        : DataCoder(flow, std::move(table))
    {
    }
    bool normalizedValue(const Vector3&, float& t) const override
    {
        ++calls;
        t = 0.5f;
        return true;
    }
    mutable long long calls = 0;
};

inline bool isColour(QRgb pixel, int r, int g, int b)
{
    return qRed(pixel) == r && qGreen(pixel) == g && qBlue(pixel) == b;
}
inline bool isWhite(QRgb pixel)
{
    return isColour(pixel, 255, 255, 255);
}
inline bool isRed(QRgb pixel)
{
    return isColour(pixel, 255, 0, 0);
}
// The arrows' colour (1.0, 0.7, 0.7) in bytes, allowing for the rounding of 0.7.
inline bool isArrowColour(QRgb pixel)
{
    return qRed(pixel) == 255 && std::abs(qGreen(pixel) - 179) <= 1 && std::abs(qBlue(pixel) - 179) <= 1;
}

inline int countPixels(const QImage& image, const std::function<bool(QRgb)>& predicate)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += predicate(image.pixel(x, y)) ? 1 : 0;
    return n;
}

// Sends one mouse event with exactly these buttons and modifiers to a widget.
inline void sendMouse(QWidget* widget, QEvent::Type type, QPoint position, Qt::MouseButton button,
    Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QPointF local(position);
    QMouseEvent event(type, local, widget->mapToGlobal(local), button, buttons, modifiers);
    QApplication::sendEvent(widget, &event);
}

// Pins every shared library loaded so far, so that none is unloaded before
// the leak check at exit. The leak checker can name a library's allocations
// (and the suppression file can name the library) only while it is mapped;
// the GL driver and Qt's plugins are otherwise unloaded on the way out.
inline void keepLoadedLibraries()
{
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void*) {
            if (info->dlpi_name && info->dlpi_name[0] != '\0')
                dlopen(info->dlpi_name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}

} // namespace tvl::test

// main() of a widget test: skips (exit 77) without a display, sets up OpenGL
// before the application exists, then runs the test class.
#define TVL_GUI_TEST_MAIN(TestClass)                                                                                   \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {                \
            std::puts("SKIP: no display; run the widget tests under xvfb-run");                                        \
            return 77;                                                                                                 \
        }                                                                                                              \
        tvl::prepareOpenGl();                                                                                          \
        QApplication app(argc, argv);                                                                                  \
        TestClass test;                                                                                                \
        const int failed = QTest::qExec(&test, argc, argv);                                                            \
        tvl::test::keepLoadedLibraries();                                                                              \
        return failed;                                                                                                 \
    }
