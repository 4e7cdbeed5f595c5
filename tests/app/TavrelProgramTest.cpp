#include "GuiTest.h"

#include <QProcess>
#include <QSet>

using namespace tvl::test;

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run runTavrel(const QStringList& arguments)
{
    QProcess process;
    // In the sanitizer build the program's own leak check would count what
    // the GL driver keeps until it is unloaded at exit; the window's code is
    // leak-checked in process by the other widget tests.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString asan = environment.value(QStringLiteral("ASAN_OPTIONS"));
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
        asan + (asan.isEmpty() ? QString() : QStringLiteral(":")) + QStringLiteral("detect_leaks=0"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TAVREL_EXECUTABLE), arguments);
    Run run;
    if (!process.waitForFinished(120000)) {
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

class TavrelProgramTest : public QObject {
    Q_OBJECT

private slots:
    void helpPrintsTheUsage();
    void unusableArgumentsExitWith2();
    void demoScreenshotShowsAllThreeLayers();
    void failedLoadScreenshotReportsTheError();
};

void TavrelProgramTest::helpPrintsTheUsage()
{
    const Run run = runTavrel({QStringLiteral("--help")});
    TVL_CHECK_EQ(run.exitCode, 0, "--help must succeed");
    TVL_CHECK(run.out.contains(QStringLiteral("--demo")), "the usage must name --demo: " + run.out);
}

void TavrelProgramTest::unusableArgumentsExitWith2()
{
    const Run run = runTavrel({QStringLiteral("only-a-grid.gri")});
    TVL_CHECK_EQ(run.exitCode, 2, "a lone file name is a usage error");
    TVL_CHECK(run.err.contains(QStringLiteral("tavrel:")), "the error goes to stderr: " + run.err);
}

void TavrelProgramTest::demoScreenshotShowsAllThreeLayers()
{
    QTemporaryDir dir;
    const QString shot = dir.filePath(QStringLiteral("demo.png"));
    const Run run = runTavrel({QStringLiteral("--demo"), QStringLiteral("--draw-all"), QStringLiteral("--preset"),
        QStringLiteral("Blue-Green-Red"), QStringLiteral("--screenshot"), shot});
    TVL_CHECK_EQ(run.exitCode, 0, "the screenshot run must succeed: " + run.err);
    const QImage image(shot);
    QVERIFY2(!image.isNull(), "the screenshot must be a readable PNG");
    TVL_CHECK(image.width() > 900 && image.height() > 600, "the screenshot shows the whole window");
    // The left canvas holds the picture; the demo's double gyre is wider than
    // tall, so the viewport fills the canvas's lower part.
    const QImage canvas = image.copy(0, image.height() / 2, image.width() / 3, image.height() / 3);
    TVL_CHECK(countPixels(canvas, isArrowColour) > 200, "arrows missing from the screenshot");
    TVL_CHECK(countPixels(canvas, isWhite) > 200, "streamlines missing from the screenshot");
    QSet<QRgb> colours;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            colours.insert(canvas.pixel(x, y));
    TVL_CHECK(colours.size() > 100,
        QStringLiteral("a colour-coded background has many colours, found %1").arg(colours.size()));
}

void TavrelProgramTest::failedLoadScreenshotReportsTheError()
{
    QTemporaryDir dir;
    const QString shot = dir.filePath(QStringLiteral("none.png"));
    const Run run = runTavrel({dir.filePath(QStringLiteral("missing.gri")), dir.filePath(QStringLiteral("missing.dat")),
        QStringLiteral("--screenshot"), shot});
    TVL_CHECK_EQ(run.exitCode, 1, "a picture of a data set that did not load is a failure");
    TVL_CHECK(run.err.contains(QStringLiteral("Ein Fehler ist beim Laden der Flowdaten aufgetreten.")),
        "the load error must be reported: " + run.err);
    TVL_CHECK(!QFile::exists(shot), "no screenshot without data");
}

TVL_GUI_TEST_MAIN(TavrelProgramTest)
#include "TavrelProgramTest.moc"
