// tavrel: interactive visualisation of two-dimensional flow data sets.
#include "app/CViewerApp.h"
#include "app/CommandLine.h"
#include "ui/GlSetup.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    // The help text needs no window, and neither does refusing arguments
    // where no window could open: both are answered before anything asks for
    // a display. With one, the application parses again without Qt's own
    // options (-style, -platform, ...), which this first look cannot tell.
    const QStringList arguments = tvl::argumentsOf(argc, argv);
    const tvl::CommandLine line = tvl::parseCommandLine(arguments);
    const bool windowPossible = tvl::canOpenWindow(arguments);
    if (line.action == tvl::CommandLine::Action::Help
        || (line.action == tvl::CommandLine::Action::Error && !windowPossible)) {
        const QCoreApplication noWindow(argc, argv);
        return tvl::answerWithoutWindow(line);
    }
    if (!windowPossible) {
        std::fputs("tavrel: no display to open the window on (DISPLAY is not set); "
                   "tvl-render draws pictures without one.\n",
            stderr);
        return 1;
    }
    tvl::prepareOpenGl();
    tvl::CViewerApp app(argc, argv);
    return app.run();
}
