#include "app/CMainDialog.h"

#include "GuiTest.h"
#include "ui/CArrowPlotPage.h"
#include "ui/CBackgroundPage.h"
#include "ui/COpenGLWnd.h"
#include "ui/CStreamlinePage.h"
#include "ui/CTransferDisplay.h"
#include "view/FlowView.h"
#include "view/LegendValue.h"

#include <QAction>
#include <QCheckBox>
#include <QHelpEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QToolTip>

using namespace tvl;
using namespace tvl::test;

namespace {

// A uniform flow of speed 20 along +x on the demo's domain, with one
// additional value: the demo's node grid with its velocities replaced.
NodeGrid uniformSpeed20()
{
    FlowSpec spec = demoFlowSpec();
    spec.flow = FlowKind::Uniform;
    spec.additionalCount = 1;
    NodeGrid nodes = makeFlow(spec);
    for (std::size_t n = 0; n < nodes.nodeCount(); ++n) {
        float* record = &nodes.records[n * nodes.recordSize()];
        record[0] = 20.0f;
        record[1] = 0.0f;
    }
    return nodes;
}

} // namespace

class ExtrasMenuTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void extrasMenuHoldsTheStreamlineOptions();
    void optionsReachBothCanvasesAndShowAtTheNextDraw();
    void stripToolTipNamesTheValueUnderTheCursor();
    void slidersShowTheirValueInAToolTip();

private:
    QAction* extrasItem(const QString& text) const;
    // Length of the first step of the first evenly spaced line, grid units.
    double firstStep() const;

    std::shared_ptr<FakeDialogs> dialogs_;
    std::unique_ptr<CMainDialog> window_;
};

void ExtrasMenuTest::init()
{
    dialogs_ = std::make_shared<FakeDialogs>();
    window_ = std::make_unique<CMainDialog>(dialogs_);
    window_->show();
    QVERIFY2(QTest::qWaitForWindowExposed(window_.get()), "the main window never appeared");
}

void ExtrasMenuTest::cleanup()
{
    window_.reset();
    dialogs_.reset();
}

QAction* ExtrasMenuTest::extrasItem(const QString& text) const
{
    for (QAction* menu : window_->menuBar()->actions())
        if (menu->text() == QStringLiteral("Extras"))
            for (QAction* item : menu->menu()->actions())
                if (item->text() == text)
                    return item;
    return nullptr;
}

double ExtrasMenuTest::firstStep() const
{
    const StreamlineSet& lines = window_->view()->streamlineLayer().placedLines();
    if (lines.halfLines().empty() || lines.halfLines()[0].count < 2)
        return -1.0;
    const auto points = lines.pointsOf(lines.halfLines()[0]);
    return std::hypot(points[1].x - points[0].x, points[1].y - points[0].y);
}

void ExtrasMenuTest::extrasMenuHoldsTheStreamlineOptions()
{
    QStringList menus;
    for (QAction* menu : window_->menuBar()->actions())
        menus << menu->text();
    TVL_CHECK_EQ(menus, (QStringList {QStringLiteral("&File"), QStringLiteral("Extras"), QStringLiteral("&Help")}),
        "the menus in order");
    const QAction* items[] = {extrasItem(QStringLiteral("Schrittweite normieren")),
        extrasItem(QStringLiteral("Linien nicht selbst überdecken"))};
    TVL_CHECK(items[0] == window_->normalizedStepAction() && items[1] == window_->noSelfOverlapAction(),
        "the two items, in order");
    for (const QAction* item : items)
        TVL_CHECK(item->isCheckable() && !item->isChecked(), item->text() + " must be a check item, off at start");
}

void ExtrasMenuTest::optionsReachBothCanvasesAndShowAtTheNextDraw()
{
    QVERIFY2(window_->openNodeGrid(uniformSpeed20()), "the flow should load");
    window_->streamlineBox()->setChecked(true);
    window_->OnBnClickedDraw();
    const double g = window_->view()->gridUnitsPerPixel();
    TVL_CHECK(std::abs(firstStep() - 40.0 * g) < 1e-3, "2 pixels per unit of speed 20 without the option");

    window_->normalizedStepAction()->trigger();
    for (int c = 0; c < 2; ++c)
        TVL_CHECK(window_->canvas(c)->settings().streamlineOptions == (StreamlineOptions {true, false}),
            QStringLiteral("canvas %1 must get the option").arg(c + 1));
    TVL_CHECK(std::abs(firstStep() - 40.0 * g) < 1e-3, "the option shows only at the next Draw");
    window_->OnBnClickedDraw();
    TVL_CHECK(std::abs(firstStep() - 2.0 * g) < 1e-4, "2 pixels at the fastest point with the option");

    window_->noSelfOverlapAction()->trigger();
    window_->OnBnClickedCanvas2();
    window_->OnBnClickedDraw();
    TVL_CHECK(window_->view()->streamlineLayer().options() == (StreamlineOptions {true, true}),
        "canvas 2 draws with both options");
    window_->normalizedStepAction()->trigger();
    window_->noSelfOverlapAction()->trigger();
    for (int c = 0; c < 2; ++c)
        TVL_CHECK(window_->canvas(c)->settings().streamlineOptions == StreamlineOptions {},
            QStringLiteral("canvas %1 must see the options off again").arg(c + 1));
}

void ExtrasMenuTest::stripToolTipNamesTheValueUnderTheCursor()
{
    CTransferDisplay* strip = window_->transferDisplay();
    TVL_CHECK(window_->legendToolTip(10).isEmpty(), "no tip before a load");

    QVERIFY2(window_->openNodeGrid(uniformSpeed20()), "the flow should load");
    const int entries = strip->colorTable()->entryCount();
    const float maxSpeed = window_->flowData().getMaxSpeed();
    for (const int column : {0, entries / 4, entries / 2, entries - 1}) {
        const float t = static_cast<float>(column) / static_cast<float>(entries);
        const QString expected
            = QStringLiteral("Speed: ") + QString::fromStdString(legendText(BackgroundQuantity::Speed, t * maxSpeed));
        TVL_CHECK_EQ(window_->legendToolTip(column), expected, QStringLiteral("speed at column %1").arg(column));
    }
    TVL_CHECK_EQ(window_->legendToolTip(0), QStringLiteral("Speed: 0"), "the ramp starts at speed 0");
    TVL_CHECK(window_->legendToolTip(entries).isEmpty() && window_->legendToolTip(-1).isEmpty(), "off the ramp");

    window_->backgroundPage()->directionButton()->click();
    TVL_CHECK_EQ(window_->legendToolTip(0), QStringLiteral("Direction: -90°"), "towards -y at the left end");
    if (entries % 4 == 0)
        TVL_CHECK_EQ(window_->legendToolTip(entries / 4), QStringLiteral("Direction: 0°"), "towards +x");
    window_->backgroundPage()->additionalButton()->click();
    TVL_CHECK(window_->legendToolTip(0).startsWith(QStringLiteral("Special Dataset 0: ")), "the additional value");

    // The strip shows the tip when the mouse rests on it.
    const QPoint at(entries / 2, strip->height() / 2);
    QHelpEvent help(QEvent::ToolTip, at, strip->mapToGlobal(at));
    QApplication::sendEvent(strip, &help);
    TVL_CHECK_EQ(QToolTip::text(), window_->legendToolTip(entries / 2), "the tool tip shown");
}

void ExtrasMenuTest::slidersShowTheirValueInAToolTip()
{
    QSlider* dsep = window_->streamlinePage()->dsepSlider();
    QSlider* dtest = window_->streamlinePage()->dtestSlider();
    QSlider* resolution = window_->arrowPage()->resolutionSlider();
    TVL_CHECK_EQ(dsep->toolTip(), QStringLiteral("dsep: 10.0 px"), "dsep at start");
    TVL_CHECK_EQ(dtest->toolTip(), QStringLiteral("dtest: 50 % of dsep"), "dtest at start");
    TVL_CHECK_EQ(resolution->toolTip(), QStringLiteral("Grid Resolution: 20 px"), "resolution at start");
    dsep->setValue(257);
    dtest->setValue(3);
    resolution->setValue(80);
    TVL_CHECK_EQ(dsep->toolTip(), QStringLiteral("dsep: 25.7 px"), "dsep in pixels");
    TVL_CHECK_EQ(dtest->toolTip(), QStringLiteral("dtest: 3 % of dsep"), "dtest in percent");
    TVL_CHECK_EQ(resolution->toolTip(), QStringLiteral("Grid Resolution: 80 px"), "resolution in pixels");
}

TVL_GUI_TEST_MAIN(ExtrasMenuTest)
#include "ExtrasMenuTest.moc"
