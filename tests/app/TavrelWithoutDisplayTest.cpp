#include "GuiTest.h"

#include <QProcess>

using namespace tvl::test;

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs tavrel as on a machine without a display: no DISPLAY, no
// WAYLAND_DISPLAY, and Qt's X platform asked for, as a desktop session would.
Run runWithoutDisplay(const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // As in TavrelProgramTest: the sanitizer build's leak check would count
    // what Qt keeps until exit; the code is leak-checked in process elsewhere.
    const QString asan = environment.value(QStringLiteral("ASAN_OPTIONS"));
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
        asan + (asan.isEmpty() ? QString() : QStringLiteral(":")) + QStringLiteral("detect_leaks=0"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TAVREL_EXECUTABLE), arguments);
    Run run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

class TavrelWithoutDisplayTest : public QObject {
    Q_OBJECT

private slots:
    void answersWhatNeedsNoWindow();
};

void TavrelWithoutDisplayTest::answersWhatNeedsNoWindow()
{
    // A crash (the application object finding no display aborts) shows as
    // exit code -1 here.
    const struct {
        QStringList arguments;
        int exitCode;
        QString says;
        bool onStandardOutput;
    } rows[] = {
        {{QStringLiteral("--help")}, 0, QStringLiteral("--demo"), true},
        {{QStringLiteral("-h")}, 0, QStringLiteral("GRID.gri"), true},
        {{QStringLiteral("--bogus")}, 2, QStringLiteral("Unknown option 'bogus'"), false},
        {{QStringLiteral("only.gri")}, 2, QStringLiteral("Expected a grid file and a data file"), false},
        {{QStringLiteral("--demo")}, 1, QStringLiteral("no display to open the window on"), false},
    };
    for (const auto& row : rows) {
        const Run run = runWithoutDisplay(row.arguments);
        const QString what = row.arguments.join(QLatin1Char(' '));
        TVL_CHECK_EQ(run.exitCode, row.exitCode, what + QStringLiteral(": ") + run.err);
        TVL_CHECK((row.onStandardOutput ? run.out : run.err).contains(row.says),
            what + QStringLiteral(" must say ") + row.says + QStringLiteral(": ") + run.out + run.err);
    }
}

TVL_GUI_TEST_MAIN(TavrelWithoutDisplayTest)
#include "TavrelWithoutDisplayTest.moc"
