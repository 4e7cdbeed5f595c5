#pragma once

#include "MainWindow.h"

#include <QObject>

#include <memory>

namespace tvl::test {

// The test classes of the main window: every test function starts with a
// fresh window on the display. Qt Test finds the inherited init() and cleanup().
class MainWindowTest : public QObject {
    Q_OBJECT

protected:
    std::unique_ptr<MainWindow> w_;
    CMainDialog* window_ = nullptr;

private slots:
    void init()
    {
        w_ = std::make_unique<MainWindow>();
        window_ = w_->window.get();
        QVERIFY2(w_->exposed(), "the main window never appeared with two GL canvases");
    }
    void cleanup() { w_.reset(); }
};

} // namespace tvl::test
