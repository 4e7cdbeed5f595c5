#pragma once

#include "GuiTest.h"
#include "app/CMainDialog.h"

#include <QCheckBox>
#include <QPushButton>

#include <algorithm>
#include <memory>
#include <vector>

namespace tvl::test {

// The main window as the window's tests drive it: shown, with scripted
// prompts, and a note at every prompt of whether a canvas was visible then.
struct MainWindow {
    MainWindow()
        : window(std::make_unique<CMainDialog>(dialogs))
    {
        dialogs->onPrompt = [this](const FakeDialogs::Prompt&) {
            shown.push_back(window->canvas(0)->isVisible() || window->canvas(1)->isVisible());
        };
        window->show();
    }
    bool exposed() const
    {
        return QTest::qWaitForWindowExposed(window.get()) && window->canvas(0)->isValid()
            && window->canvas(1)->isValid();
    }
    // Opens the pair through File > Open; true when no message came up.
    bool open(const FlowFilePair& files)
    {
        dialogs->openAnswers = {files.grid, files.data};
        const int messages = dialogs->count(QStringLiteral("message"));
        window->OnFileOpen();
        return dialogs->count(QStringLiteral("message")) == messages;
    }
    bool open(const QString& name, int values, FlowKind kind = FlowKind::Vortex)
    {
        return open(writeFlowPair(dir, name, values, kind));
    }
    // Ticks exactly these layers and clicks Draw; true when the canvas has a picture.
    bool draw(bool arrows, bool streamlines, bool background)
    {
        window->arrowBox()->setChecked(arrows);
        window->streamlineBox()->setChecked(streamlines);
        window->backgroundBox()->setChecked(background);
        QTest::mouseClick(window->drawButton(), Qt::LeftButton);
        return window->currentCanvas()->hasPicture();
    }
    // The canvases were hidden at every prompt and are shown now.
    bool hiddenForPrompts() const
    {
        return std::find(shown.begin(), shown.end(), true) == shown.end() && window->canvas(0)->isVisible()
            && window->canvas(1)->isVisible();
    }
    QImage picture() const { return window->currentCanvas()->picture(); }
    const FakeDialogs::Prompt& lastPrompt() const { return dialogs->prompts.back(); }

    QTemporaryDir dir;
    std::shared_ptr<FakeDialogs> dialogs = std::make_shared<FakeDialogs>();
    std::vector<bool> shown;
    std::unique_ptr<CMainDialog> window;
};

} // namespace tvl::test
