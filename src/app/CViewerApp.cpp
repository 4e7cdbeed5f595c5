#include "app/CViewerApp.h"

#include "app/BatchDialogProvider.h"
#include "app/CMainDialog.h"
#include "app/CommandLine.h"
#include "flow/AnalyticFlow.h"
#include "ui/CTransferDisplay.h"

#include <QCheckBox>
#include <QDeadlineTimer>
#include <QImage>
#include <QTimer>
#include <QWindow>

#include <cstdio>

namespace tvl {

namespace {

// The canvases get their GL contexts once the window is on the screen.
void waitUntilExposed(QWidget& window, int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired() && !(window.windowHandle() && window.windowHandle()->isExposed()))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::processEvents();
}

} // namespace

CViewerApp::CViewerApp(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("tavrel"));
    setApplicationVersion(QStringLiteral("1.0"));
}

int CViewerApp::run()
{
    const CommandLine line = parseCommandLine(arguments());
    if (line.action != CommandLine::Action::Run)
        return answerWithoutWindow(line);
    return runWindow(line);
}

int CViewerApp::runWindow(const CommandLine& line)
{
    // A picture taken without a person must not wait for one at a message box.
    std::shared_ptr<DialogProvider> dialogs;
    if (!line.screenshotPath.isEmpty())
        dialogs = std::make_shared<BatchDialogProvider>();
    CMainDialog window(dialogs);
    int exitCode = 0;
    window.show();
    QTimer::singleShot(0, &window, [&] {
        waitUntilExposed(window, 5000);
        if (line.preset >= 0)
            window.transferDisplay()->applyPreset(line.preset);
        bool opened = true;
        if (line.demo)
            opened = window.openNodeGrid(makeFlow(demoFlowSpec()));
        else if (!line.gridPath.isEmpty())
            opened = window.openFiles(line.gridPath, line.dataPath);
        if (opened && line.drawAll) {
            window.arrowBox()->setChecked(true);
            window.streamlineBox()->setChecked(true);
            window.backgroundBox()->setChecked(true);
            window.OnBnClickedDraw();
        }
        if (line.screenshotPath.isEmpty())
            return;
        QCoreApplication::processEvents();
        const QImage shot = window.grab().toImage();
        if (!opened || !shot.save(line.screenshotPath, "PNG")) {
            std::fprintf(stderr, "tavrel: no screenshot written to %s\n", qPrintable(line.screenshotPath));
            exitCode = 1;
        }
        window.done(QDialog::Accepted);
    });
    window.exec();
    return exitCode;
}

} // namespace tvl
