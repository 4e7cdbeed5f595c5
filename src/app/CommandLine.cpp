#include "app/CommandLine.h"

#include "transfer/TransferPreset.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <cstdio>

namespace tvl {

namespace {

struct Options {
    QCommandLineOption help {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Shows this text.")};
    QCommandLineOption demo {QStringLiteral("demo"), QStringLiteral("Opens the built-in demo data set.")};
    QCommandLineOption drawAll {QStringLiteral("draw-all")};
    QCommandLineOption preset {QStringLiteral("preset"), QString(), QStringLiteral("name")};
    QCommandLineOption screenshot {QStringLiteral("screenshot"), QString(), QStringLiteral("file")};

    Options()
    {
        for (QCommandLineOption* hidden : {&drawAll, &preset, &screenshot})
            hidden->setFlags(QCommandLineOption::HiddenFromHelp);
    }
};

void describe(QCommandLineParser& parser, Options& options)
{
    parser.setApplicationDescription(QStringLiteral("Tavrel - interactive visualisation of 2-D flow data sets."));
    parser.addOption(options.help);
    parser.addOption(options.demo);
    parser.addOption(options.drawAll);
    parser.addOption(options.preset);
    parser.addOption(options.screenshot);
    parser.addPositionalArgument(
        QStringLiteral("GRID.gri"), QStringLiteral("Grid file of the data set to open."), QStringLiteral("[GRID.gri"));
    parser.addPositionalArgument(
        QStringLiteral("DATA.dat"), QStringLiteral("Data file of the data set to open."), QStringLiteral("DATA.dat]"));
}

int presetIndex(const QString& name)
{
    return findTransferPreset(name.toStdString()).value_or(-1);
}

CommandLine refuse(const QString& why)
{
    CommandLine line;
    line.action = CommandLine::Action::Error;
    line.error = why;
    return line;
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    Options options;
    QCommandLineParser parser;
    describe(parser, options);
    if (!parser.parse(arguments))
        return refuse(parser.errorText());
    CommandLine line;
    if (parser.isSet(options.help)) {
        line.action = CommandLine::Action::Help;
        return line;
    }
    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty() && files.size() != 2)
        return refuse(QStringLiteral("Expected a grid file and a data file, got %1 file name(s).").arg(files.size()));
    line.demo = parser.isSet(options.demo);
    if (line.demo && !files.isEmpty())
        return refuse(QStringLiteral("--demo opens the demo data set; it takes no file names."));
    if (files.size() == 2) {
        line.gridPath = files[0];
        line.dataPath = files[1];
    }
    line.drawAll = parser.isSet(options.drawAll);
    if (parser.isSet(options.preset)) {
        line.preset = presetIndex(parser.value(options.preset));
        if (line.preset < 0)
            return refuse(QStringLiteral("Unknown preset: %1").arg(parser.value(options.preset)));
    }
    line.screenshotPath = parser.value(options.screenshot);
    if (parser.isSet(options.screenshot) && (line.screenshotPath.isEmpty() || !line.opensData()))
        return refuse(QStringLiteral("--screenshot needs a file name and a data set to show."));
    return line;
}

QString commandLineHelp()
{
    Options options;
    QCommandLineParser parser;
    describe(parser, options);
    return parser.helpText();
}

QStringList argumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

bool canOpenWindow(const QStringList& arguments)
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return true;
    // The X and Wayland platforms need the display named above; the others
    // (offscreen, vnc, eglfs, ...) bring their own.
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith(QStringLiteral("xcb"))
        && !platform.startsWith(QStringLiteral("wayland")))
        return true;
    for (const QString& argument : arguments)
        if (argument == QStringLiteral("-platform") || argument == QStringLiteral("--platform"))
            return true;
    return false;
}

int answerWithoutWindow(const CommandLine& line)
{
    if (line.action == CommandLine::Action::Help) {
        std::fputs(qPrintable(commandLineHelp()), stdout);
        return 0;
    }
    std::fprintf(stderr, "tavrel: %s\n\n%s", qPrintable(line.error), qPrintable(commandLineHelp()));
    return 2;
}

} // namespace tvl
