#include "app/CommandLine.h"

#include "GuiTest.h"

using namespace tvl;

namespace {

CommandLine parse(const QStringList& arguments)
{
    return parseCommandLine(QStringList {QStringLiteral("tavrel")} + arguments);
}

} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void noArgumentsOpenTheEmptyWindow();
    void twoFilesOpenThatDataSet();
    void demoOpensTheBuiltInDataSet();
    void helpIsRecognised();
    void unusableArgumentsAreRefused();
    void hiddenPictureOptions();
};

void CommandLineTest::noArgumentsOpenTheEmptyWindow()
{
    const CommandLine line = parse({});
    TVL_CHECK(line.action == CommandLine::Action::Run, "no arguments run the window");
    TVL_CHECK(!line.opensData() && !line.drawAll && line.screenshotPath.isEmpty(), "and open nothing");
}

void CommandLineTest::twoFilesOpenThatDataSet()
{
    const CommandLine line = parse({QStringLiteral("a.gri"), QStringLiteral("b.dat")});
    TVL_CHECK(line.action == CommandLine::Action::Run, "two files run the window");
    TVL_CHECK_EQ(line.gridPath, QStringLiteral("a.gri"), "the first file is the grid file");
    TVL_CHECK_EQ(line.dataPath, QStringLiteral("b.dat"), "the second file is the data file");
    TVL_CHECK(!line.demo, "no demo");
}

void CommandLineTest::demoOpensTheBuiltInDataSet()
{
    const CommandLine line = parse({QStringLiteral("--demo")});
    TVL_CHECK(line.action == CommandLine::Action::Run && line.demo && line.gridPath.isEmpty(), "--demo");
}

void CommandLineTest::helpIsRecognised()
{
    for (const QString& option : {QStringLiteral("--help"), QStringLiteral("-h")})
        TVL_CHECK(parse({option}).action == CommandLine::Action::Help, option + QStringLiteral(" asks for help"));
    const QString help = commandLineHelp();
    TVL_CHECK(help.contains(QStringLiteral("--demo")) && help.contains(QStringLiteral("GRID.gri")),
        "the help names the demo and the files");
    TVL_CHECK(!help.contains(QStringLiteral("--screenshot")), "the picture options stay out of the help");
}

void CommandLineTest::unusableArgumentsAreRefused()
{
    const QList<QStringList> refused = {
        {QStringLiteral("only.gri")},
        {QStringLiteral("a.gri"), QStringLiteral("b.dat"), QStringLiteral("c")},
        {QStringLiteral("--demo"), QStringLiteral("a.gri"), QStringLiteral("b.dat")},
        {QStringLiteral("--no-such-option")},
        {QStringLiteral("--screenshot"), QStringLiteral("x.png")},
        {QStringLiteral("--demo"), QStringLiteral("--preset"), QStringLiteral("Rainbow")},
    };
    for (const QStringList& arguments : refused) {
        const CommandLine line = parse(arguments);
        TVL_CHECK(line.action == CommandLine::Action::Error, arguments.join(' ') + QStringLiteral(" must be refused"));
        TVL_CHECK(!line.error.isEmpty(), arguments.join(' ') + QStringLiteral(" must say why"));
    }
}

void CommandLineTest::hiddenPictureOptions()
{
    const CommandLine line = parse({QStringLiteral("--demo"), QStringLiteral("--draw-all"), QStringLiteral("--preset"),
        QStringLiteral("blue-green-red"), QStringLiteral("--screenshot"), QStringLiteral("out.png")});
    TVL_CHECK(line.action == CommandLine::Action::Run && line.drawAll, "--draw-all is accepted");
    TVL_CHECK_EQ(line.preset, 2, "presets are named as in the menu, in any case");
    TVL_CHECK_EQ(line.screenshotPath, QStringLiteral("out.png"), "the screenshot file");
}

TVL_GUI_TEST_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
