#include "app/CMainDialog.h"

#include "MainWindowTest.h"
#include "ui/CArrowPlotPage.h"
#include "ui/CBackgroundPage.h"
#include "ui/CStreamlinePage.h"
#include "ui/CTransferDisplay.h"
#include "view/LegendValue.h"

#include <QAction>
#include <QHelpEvent>
#include <QSlider>
#include <QToolTip>

using namespace tvl;
using namespace tvl::test;

// The "Extras" menu's items in the window, and the tool tips beside them.
class ExtrasMenuTest : public MainWindowTest {
    Q_OBJECT

private slots:
    void streamlineOptionsReachBothCanvasesAndShowAtTheNextDraw();
    void styleItemsRestyleTheCurrentCanvasAtOnce();
    void toolTipsNameTheValueUnderTheCursor();
};

void ExtrasMenuTest::streamlineOptionsReachBothCanvasesAndShowAtTheNextDraw()
{
    // What the options do to the lines is the view's and the layer's to show;
    // here they must reach both canvases and the next Draw of either.
    QVERIFY2(w_->open("flow", 1) && w_->draw(false, true, false), "a picture");
    const QImage plain = w_->picture();
    window_->normalizedStepAction()->trigger();
    TVL_CHECK(window_->canvas(0)->settings().streamlineOptions == (StreamlineOptions {true, false})
            && window_->canvas(1)->settings().streamlineOptions == (StreamlineOptions {true, false})
            && w_->picture() == plain,
        "both canvases get the option, shown only at the next Draw");
    window_->OnBnClickedDraw();
    TVL_CHECK(
        window_->view()->streamlineLayer().options() == (StreamlineOptions {true, false}) && w_->picture() != plain,
        "the next Draw places with it");
    window_->noSelfOverlapAction()->trigger();
    window_->OnBnClickedCanvas2();
    window_->OnBnClickedDraw();
    TVL_CHECK(window_->view()->streamlineLayer().options() == (StreamlineOptions {true, true}),
        "canvas 2 draws with both options");
    window_->normalizedStepAction()->trigger();
    window_->noSelfOverlapAction()->trigger();
    TVL_CHECK(window_->canvas(0)->settings().streamlineOptions == StreamlineOptions {}, "both off again");
}

void ExtrasMenuTest::styleItemsRestyleTheCurrentCanvasAtOnce()
{
    QVERIFY2(w_->open("flow", 1) && w_->draw(false, true, false), "a picture");
    const QImage plain = w_->picture();
    window_->lineMarksAction()->trigger();
    TVL_CHECK(window_->canvas(0)->settings().lineStyle.markSpacing == StreamlineStyle::kDefaultMarkSpacing
            && countPixels(w_->picture(), isWhite) > countPixels(plain, isWhite) + 100,
        "the marks show without another Draw");
    window_->lineColourAction()->trigger();
    TVL_CHECK(countPixels(w_->picture(), isWhite) < countPixels(plain, isWhite) / 4, "the coloured lines show at once");
    window_->canvas2Button()->click();
    TVL_CHECK(window_->canvas(1)->settings().lineStyle == (StreamlineStyle {StreamlineStyle::kDefaultMarkSpacing, true})
            && !window_->canvas(1)->hasPicture(),
        "the canvas choice hands the style over and draws nothing");
    window_->canvas1Button()->click();
    window_->lineMarksAction()->trigger();
    window_->lineColourAction()->trigger();
    TVL_CHECK(w_->picture() == plain, "both items off draw the plain picture again");

    // Streamlines seeded by hand are restyled too.
    window_->streamlinePage()->manualButton()->click();
    QTest::mouseClick(window_->drawButton(), Qt::LeftButton);
    sendMouse(window_->canvas(0), QEvent::MouseButtonRelease,
        {window_->canvas(0)->width() / 2, window_->canvas(0)->height() - 40}, Qt::LeftButton, Qt::NoButton);
    const int line = countPixels(w_->picture(), isWhite);
    window_->lineMarksAction()->trigger();
    TVL_CHECK(line > 50 && countPixels(w_->picture(), isWhite) > line + 20, "the seeded streamline got its marks");
    window_->lineMarksAction()->trigger();
    TVL_CHECK_EQ(countPixels(w_->picture(), isWhite), line, "and lost them again, the line kept");
}

void ExtrasMenuTest::toolTipsNameTheValueUnderTheCursor()
{
    CTransferDisplay* strip = window_->transferDisplay();
    TVL_CHECK(window_->legendToolTip(10).isEmpty(), "no tip before a load");
    QVERIFY2(w_->open("flow", 1), "the flow should load");
    const int entries = strip->colorTable()->entryCount();
    const float middle = float(entries / 2) / float(entries) * window_->flowData().getMaxSpeed();
    TVL_CHECK_EQ((QStringList {window_->legendToolTip(0), window_->legendToolTip(entries / 2),
                     window_->legendToolTip(-1), window_->legendToolTip(entries)}),
        (QStringList {
            "Speed: 0", "Speed: " + QString::fromStdString(legendText(BackgroundQuantity::Speed, middle)), "", ""}),
        "the speed at the ends and the middle of the ramp, nothing off it");
    window_->backgroundPage()->directionButton()->click();
    TVL_CHECK_EQ(window_->legendToolTip(0), QStringLiteral("Direction: -90°"), "towards -y at the left end");
    const QPoint at(entries / 2, strip->height() / 2);
    QHelpEvent help(QEvent::ToolTip, at, strip->mapToGlobal(at));
    QApplication::sendEvent(strip, &help);
    TVL_CHECK_EQ(QToolTip::text(), window_->legendToolTip(entries / 2), "the strip shows it when the mouse rests");

    QSlider* dsep = window_->streamlinePage()->dsepSlider();
    QSlider* dtest = window_->streamlinePage()->dtestSlider();
    QSlider* resolution = window_->arrowPage()->resolutionSlider();
    TVL_CHECK_EQ((QStringList {dsep->toolTip(), dtest->toolTip(), resolution->toolTip()}),
        (QStringList {"dsep: 10.0 px", "dtest: 50 % of dsep", "Grid Resolution: 20 px"}),
        "the sliders' values at start");
    dsep->setValue(257);
    dtest->setValue(3);
    resolution->setValue(80);
    TVL_CHECK_EQ((QStringList {dsep->toolTip(), dtest->toolTip(), resolution->toolTip()}),
        (QStringList {"dsep: 25.7 px", "dtest: 3 % of dsep", "Grid Resolution: 80 px"}), "and as they move");
}

TVL_GUI_TEST_MAIN(ExtrasMenuTest)
#include "ExtrasMenuTest.moc"
