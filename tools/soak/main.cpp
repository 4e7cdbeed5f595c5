// A seeded random walk of user actions through the real window: loads good
// and bad files, draws with random layers, zooms, seeds streamlines by hand,
// changes pages, settings and canvases, edits the transfer function. Nothing
// may crash or trip a sanitizer, and the resident memory at the end must stay
// within 10 % of its value after the first 1,000 actions (checked for walks
// of 5,000 actions and more).
//
//   tvl-soak [actions] [seed]
#include "ScriptedDialogs.h"
#include "WindowScript.h"

#include "app/CMainDialog.h"
#include "flow/AnalyticFlow.h"
#include "ui/CArrowPlotPage.h"
#include "ui/CBackgroundPage.h"
#include "ui/CLayerTabCtrl.h"
#include "ui/COpenGLWnd.h"
#include "ui/CStreamlinePage.h"
#include "ui/CTransferDisplay.h"
#include "ui/GlSetup.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace tvl;

long residentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

class Walk {
public:
    Walk(unsigned seed, const QTemporaryDir& dir)
        : random_(seed)
        , dialogs_(std::make_shared<ScriptedDialogs>())
    {
        good_.push_back(writeFlowPair(dir, "vortex3", 3, FlowKind::Vortex));
        good_.push_back(writeFlowPair(dir, "gyre0", 0, FlowKind::DoubleGyre));
        good_.push_back(writeFlowPair(dir, "shear1", 1, FlowKind::ShearLayer));
        good_.push_back(writeFlowPair(dir, "saddle2", 2, FlowKind::Saddle));
        bad_ = {dir.filePath("missing.gri"), dir.filePath("missing.dat")};
        std::ofstream(bad_.data.toStdString()) << "no data";
        std::ofstream(dir.filePath("short.gri").toStdString()) << "SN4DB 4 4 1 0 0 0.0";
        shortGrid_ = dir.filePath("short.gri");
        saveTo_ = dir.filePath("picture.png");
        window_ = std::make_unique<CMainDialog>(dialogs_);
        window_->show();
        QApplication::processEvents();
    }

    void step()
    {
        dialogs_->prompts.clear();
        switch (pick(20)) {
        case 0:
        case 1:
            open(good_[std::size_t(pick(int(good_.size())))]);
            break;
        case 2:
            open(bad_);
            break;
        case 3:
            open({shortGrid_, good_[0].data});
            break;
        case 4:
            window_->OnFileOpen();
            break; // cancelled at the first dialog
        case 5:
            window_->openNodeGrid(makeFlow(demoFlowSpec()));
            break;
        case 6:
        case 7:
            draw();
            break;
        case 8:
            zoom();
            break;
        case 9:
            click(false);
            break;
        case 10:
            click(true);
            break;
        case 11:
            window_->tabCtrl()->setCurrentIndex(pick(3));
            break;
        case 12:
            sliders();
            break;
        case 13:
            lists();
            break;
        case 14:
            (pick(2) ? window_->canvas1Button() : window_->canvas2Button())->click();
            break;
        case 15:
        case 16:
            transfer();
            break;
        case 17:
            window_->transferDisplay()->applyPreset(pick(5));
            break;
        case 18:
            window_->streamlinePage()->clearButton()->click();
            break;
        case 19:
            dialogs_->saveAnswers.push_back(saveTo_);
            window_->OnFileSaveImage();
            break;
        }
        QApplication::processEvents();
    }

    // Brings the window to one fixed state: the demo data set drawn with all
    // layers at the pages' start settings. Resident memory is compared in this
    // state only, so what a random setting holds for the moment (a 1-pixel
    // dsep fills a huge display list) does not pass for growth.
    void settle()
    {
        window_->arrowPage()->resolutionSlider()->setValue(20);
        window_->streamlinePage()->dsepSlider()->setValue(100);
        window_->streamlinePage()->dtestSlider()->setValue(50);
        window_->streamlinePage()->evenButton()->click();
        window_->canvas1Button()->click();
        window_->openNodeGrid(makeFlow(demoFlowSpec()));
        window_->arrowBox()->setChecked(true);
        window_->streamlineBox()->setChecked(true);
        window_->backgroundBox()->setChecked(true);
        window_->drawButton()->click();
        QApplication::processEvents();
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    QPoint somewhere(QWidget* w)
    {
        return {pick(std::max(1, w->width() + 20)) - 10, pick(std::max(1, w->height() + 20)) - 10};
    }

    void open(const FlowFilePair& pair)
    {
        dialogs_->openAnswers = {pair.grid, pair.data};
        window_->OnFileOpen();
    }

    void draw()
    {
        window_->arrowBox()->setChecked(pick(2));
        window_->streamlineBox()->setChecked(pick(2));
        window_->backgroundBox()->setChecked(pick(3) != 0);
        window_->drawButton()->click();
    }

    void zoom()
    {
        QWidget* canvas = window_->currentCanvas();
        const QPoint from = somewhere(canvas);
        sendMouse(canvas, QEvent::MouseButtonPress, from, Qt::RightButton, Qt::RightButton);
        for (int n = pick(4); n >= 0; --n)
            sendMouse(canvas, QEvent::MouseMove, somewhere(canvas), Qt::NoButton, Qt::RightButton,
                pick(5) ? Qt::NoModifier : Qt::ShiftModifier);
        sendMouse(canvas, QEvent::MouseButtonRelease, somewhere(canvas), Qt::RightButton, Qt::NoButton);
    }

    void click(bool even)
    {
        (even ? window_->streamlinePage()->evenButton() : window_->streamlinePage()->manualButton())->click();
        QWidget* canvas = window_->currentCanvas();
        const QPoint at = somewhere(canvas);
        sendMouse(canvas, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        sendMouse(canvas, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    }

    void sliders()
    {
        QSlider* all[] = {window_->arrowPage()->resolutionSlider(), window_->streamlinePage()->dsepSlider(),
            window_->streamlinePage()->dtestSlider()};
        QSlider* slider = all[pick(3)];
        slider->setValue(slider->minimum() + pick(slider->maximum() - slider->minimum() + 1));
    }

    void lists()
    {
        switch (pick(6)) {
        case 0: {
            QComboBox* coding = window_->arrowPage()->codingList();
            coding->setCurrentIndex(pick(coding->count()));
            break;
        }
        case 1:
            window_->streamlinePage()->integrationList()->setCurrentIndex(pick(3));
            break;
        case 2:
            window_->backgroundPage()->speedButton()->click();
            break;
        case 3:
            window_->backgroundPage()->directionButton()->click();
            break;
        case 4:
            window_->backgroundPage()->additionalButton()->click();
            break;
        case 5: {
            QComboBox* data = window_->backgroundPage()->dataList();
            if (data->count() > 0 && data->isEnabled())
                data->setCurrentIndex(pick(data->count()));
            break;
        }
        }
    }

    void transfer()
    {
        CTransferDisplay* strip = window_->transferDisplay();
        const QPoint at(pick(strip->width()), pick(strip->height()));
        switch (pick(4)) {
        case 0: // click: adds a point on an empty place
            dialogs_->colorAnswers.push_back(QColor(pick(256), pick(256), pick(256)));
            sendMouse(strip, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
            sendMouse(strip, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
            break;
        case 1: { // drag
            sendMouse(strip, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
            QPoint to = at;
            for (int n = pick(6); n >= 0; --n) {
                to.rx() += pick(21) - 10;
                sendMouse(strip, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
            }
            sendMouse(strip, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
            break;
        }
        case 2: {
            const std::unique_ptr<QMenu> menu = strip->contextMenuAt(at);
            strip->deleteSelected();
            break;
        }
        case 3: {
            const std::unique_ptr<QMenu> menu = strip->contextMenuAt(at);
            dialogs_->colorAnswers.push_back(
                pick(4) ? std::optional<QColor>(QColor(pick(256), 0, pick(256))) : std::nullopt);
            strip->changeColor();
            break;
        }
        }
    }

    std::mt19937 random_;
    std::shared_ptr<ScriptedDialogs> dialogs_;
    std::vector<FlowFilePair> good_;
    FlowFilePair bad_;
    QString shortGrid_;
    QString saveTo_;
    std::unique_ptr<CMainDialog> window_;
};

} // namespace

int main(int argc, char** argv)
{
    const long actions = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 10000;
    const unsigned seed = argc > 2 ? unsigned(std::strtoul(argv[2], nullptr, 10)) : 1u;
    if (actions < 10) {
        std::fputs("usage: tvl-soak [actions >= 10] [seed]\n", stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::puts("SKIP: no display; run the soak under xvfb-run");
        return 77;
    }
    tvl::prepareOpenGl();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    // Resident memory is read in the settled state after the first 1,000
    // actions (a tenth of a shorter walk) and again after the last action.
    const long checkpointAt = std::min(1000L, actions / 10);
    long checkpoint = -1, end = -1;
    {
        Walk walk(seed, dir);
        for (long n = 1; n <= actions; ++n) {
            walk.step();
            if (n == checkpointAt) {
                walk.settle();
                checkpoint = residentKb();
            }
            if (n % 1000 == 0) {
                // Libraries loaded so far stay mapped to the end, so the leak
                // check at exit can name whatever they still hold.
                tvl::keepLoadedLibraries();
                std::printf("%ld actions, resident %ld kB\n", n, residentKb());
                std::fflush(stdout);
            }
        }
        walk.settle();
        end = residentKb();
        const double ratio = double(end) / double(checkpoint);
        std::printf("soak: %ld actions, seed %u: settled resident %ld kB after %ld actions, %ld kB after the walk "
                    "(%.3f x)\n",
            actions, seed, checkpoint, checkpointAt, end, ratio);
        std::fflush(stdout);
        // A short walk only warms the caches up; the bound holds for long ones.
        if (actions >= 5000 && ratio > 1.10) {
            std::puts("soak: FAILED, resident memory grew by more than 10 %");
            return 1;
        }
        tvl::keepLoadedLibraries();
    }
    tvl::keepLoadedLibraries();
    std::puts("soak: passed");
    return 0;
}
