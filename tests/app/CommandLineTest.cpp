#include "app/CommandLine.h"

#include "GuiTest.h"

using namespace tvl;
using namespace tvl::test;

namespace {

CommandLine parse(const QStringList& arguments)
{
    return parseCommandLine(QStringList {QStringLiteral("tavrel")} + arguments);
}

// Runs the tavrel program, with the test's display or as on a machine without
// one (with Qt's X platform asked for, as a desktop session would): its exit
// code, -1 for a crash.
int run(const QStringList& arguments, QString& out, QString& err, bool display = true)
{
    QProcess process;
    // The program's own leak check in the sanitizer build would count what the
    // GL driver keeps until it is unloaded; the window's code is leak-checked
    // in process by the widget tests.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":detect_leaks=0");
    if (!display) {
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        environment.insert("QT_QPA_PLATFORM", "xcb");
    }
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TAVREL_EXECUTABLE), arguments);
    if (!process.waitForFinished(120000))
        return -2;
    out = QString::fromUtf8(process.readAllStandardOutput());
    err = QString::fromUtf8(process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void argumentsChooseWhatTheWindowOpens();
    void theProgramHelpsRefusesAndTakesScreenshots();
};

void CommandLineTest::argumentsChooseWhatTheWindowOpens()
{
    CommandLine line = parse({});
    TVL_CHECK(line.action == CommandLine::Action::Run && !line.opensData() && !line.drawAll, "nothing to open");
    line = parse({"a.gri", "b.dat"});
    TVL_CHECK(line.gridPath == "a.gri" && line.dataPath == "b.dat" && !line.demo, "grid file, then data file");
    line = parse({"--demo", "--draw-all", "--preset", "blue-green-red", "--screenshot", "out.png"});
    TVL_CHECK(line.action == CommandLine::Action::Run && line.demo && line.drawAll && line.preset == 2
            && line.screenshotPath == "out.png",
        "the demo drawn with a preset named in any case, as a screenshot");
    for (const QStringList& refused :
        QList<QStringList> {{"only.gri"}, {"a.gri", "b.dat", "c"}, {"--demo", "a.gri", "b.dat"}, {"--no-such-option"},
            {"--screenshot", "x.png"}, {"--demo", "--preset", "Rainbow"}}) {
        line = parse(refused);
        TVL_CHECK(line.action == CommandLine::Action::Error && !line.error.isEmpty(), refused.join(' '));
    }
}

void CommandLineTest::theProgramHelpsRefusesAndTakesScreenshots()
{
    // What needs no window is answered without a display, before the
    // application object, which would abort finding none, exists.
    const struct {
        QStringList arguments;
        int exitCode;
        QString says;
    } rows[] = {
        {{"--help"}, 0, "--demo"},
        {{"-h"}, 0, "GRID.gri"},
        {{"--bogus"}, 2, "tavrel: Unknown option 'bogus'"},
        {{"only.gri"}, 2, "Expected a grid file and a data file"},
        {{"--demo"}, 1, "no display to open the window on"},
    };
    QString out, err;
    for (const auto& row : rows)
        TVL_CHECK(run(row.arguments, out, err, false) == row.exitCode && (out + err).contains(row.says),
            row.arguments.join(' ') + " must say " + row.says + ": " + out + err);
    QTemporaryDir dir;
    TVL_CHECK(
        run({dir.filePath("missing.gri"), dir.filePath("missing.dat"), "--screenshot", dir.filePath("n.png")}, out, err)
                == 1
            && err.contains("Ein Fehler ist beim Laden der Flowdaten aufgetreten.")
            && !QFile::exists(dir.filePath("n.png")),
        "no screenshot of a data set that did not load: " + err);
    const QString shot = dir.filePath("demo.png");
    TVL_CHECK_EQ(run({"--demo", "--draw-all", "--preset", "Blue-Green-Red", "--screenshot", shot}, out, err), 0, err);
    const QImage image(shot);
    TVL_CHECK(image.width() > 900 && image.height() > 600, "the screenshot shows the whole window");
    // The demo's double gyre is wider than tall: it fills the lower part of the left canvas.
    const QImage canvas = image.copy(0, image.height() / 2, image.width() / 3, image.height() / 3);
    TVL_CHECK(countPixels(canvas, isArrowColour) > 200 && countPixels(canvas, isWhite) > 200, "arrows, streamlines");
    // Without --draw-all the data set is open, and nothing is drawn until Draw.
    const QString opened = dir.filePath("opened.png");
    TVL_CHECK_EQ(run({"--demo", "--screenshot", opened}, out, err), 0, err);
    const QImage undrawn = QImage(opened).copy(0, image.height() / 2, image.width() / 3, image.height() / 3);
    TVL_CHECK(countPixels(undrawn, isArrowColour) + countPixels(undrawn, isWhite) == 0, "an empty canvas");
}

TVL_GUI_TEST_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
