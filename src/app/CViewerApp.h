#pragma once

#include <QApplication>

namespace tvl {

struct CommandLine;

// The application: reads the command line (without Qt's own options), runs
// the main window modally and ends when it closes. Call prepareOpenGl()
// before constructing it. What needs no window is best answered before it
// exists (main.cpp), since it needs a display.
class CViewerApp : public QApplication {
    Q_OBJECT

public:
    CViewerApp(int& argc, char** argv);

    // The program's exit code: 0 after a normal run, 2 for unusable
    // arguments, 1 when a requested data set or screenshot failed.
    int run();

private:
    int runWindow(const CommandLine& line);
};

} // namespace tvl
