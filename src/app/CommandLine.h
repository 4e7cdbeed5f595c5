#pragma once

#include <QString>
#include <QStringList>

namespace tvl {

// What the program was asked to do at start:
//   tavrel                      the empty window
//   tavrel GRID.gri DATA.dat    the window with that data set open
//   tavrel --demo               the window with the built-in demo data set
//   tavrel --help               the usage text
// Hidden options for pictures without a person: --draw-all ticks all three
// layers and draws once the data set is open, --preset NAME loads a transfer
// function preset first, --screenshot FILE writes the window to a PNG file
// and ends the program.
struct CommandLine {
    enum class Action { Run, Help, Error };

    Action action = Action::Run;
    QString gridPath;
    QString dataPath;
    bool demo = false;
    bool drawAll = false;
    // Index into the preset list; -1 for none.
    int preset = -1;
    QString screenshotPath;
    // Why the arguments were refused (Action::Error).
    QString error;

    bool opensData() const { return demo || !gridPath.isEmpty(); }
};

// arguments: the program name followed by its arguments.
CommandLine parseCommandLine(const QStringList& arguments);
QString commandLineHelp();
// The arguments of main() as parseCommandLine takes them; needs no
// application object.
QStringList argumentsOf(int argc, char** argv);
// Whether a window could be opened: a display is named in the environment
// (DISPLAY, WAYLAND_DISPLAY), or a Qt platform that needs none is chosen
// (QT_QPA_PLATFORM other than xcb and wayland, or any -platform argument).
// Without, the application object would abort.
bool canOpenWindow(const QStringList& arguments);
// Answers what needs no window (Help, Error) and gives the exit code: the
// usage text on standard output and 0, or the cause and the usage text on
// standard error and 2. Needs an application object of any kind (a
// QCoreApplication needs no display).
int answerWithoutWindow(const CommandLine& line);

} // namespace tvl
