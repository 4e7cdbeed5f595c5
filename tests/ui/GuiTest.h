#pragma once

// Shared by the widget tests: the scripted dialogs and input of the soak tool,
// check macros that say why, flows, a counting coder, pixel predicates, main().

#include "Pixels.h"
#include "ScriptedDialogs.h"
#include "StreamlineFlows.h"
#include "WindowScript.h"
#include "ui/COpenGLWnd.h"
#include "ui/GlSetup.h"
#include "ui/GlShareScope.h"
#include "view/DataCoder.h"
#include "view/FlowView.h"

#include <QtTest>
#include <QtWidgets>

#include <cstdio>
#include <memory>

namespace tvl::test {

using FakeDialogs = ScriptedDialogs;
using tvl::FlowFilePair;
using tvl::keepLoadedLibraries;
using tvl::sendMouse;
using tvl::writeFlowPair;

template <class T> QString describe(const T& value)
{
    QString text;
    QDebug(&text).nospace().noquote() << value;
    return text;
}

// Colours every point with the middle entry of its table and counts the
// calls, which tells how many background pixels a canvas has computed.
class CountingCoder : public DataCoder {
public:
    using DataCoder::DataCoder;
    bool normalizedValue(const Vector3&, float& t) const override
    {
        ++calls;
        t = 0.5f;
        return true;
    }
    mutable long long calls = 0;
};

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
