#include "ui/LabelStatusSink.h"

#include "GuiTest.h"

#include <QLabel>
#include <QProgressBar>

using namespace tvl;
using namespace tvl::test;

class LabelStatusSinkTest : public QObject {
    Q_OBJECT

private slots:
    void showsTextRangeAndPosition();
    void letsWaitingEventsThroughDuringALoad();
};

void LabelStatusSinkTest::showsTextRangeAndPosition()
{
    QLabel label(QStringLiteral("Progress"));
    QProgressBar bar;
    LabelStatusSink sink(&label, &bar);
    sink.setStatusText("Loading Grid Data...");
    TVL_CHECK_EQ(label.text(), QStringLiteral("Loading Grid Data..."), "the label shows the status text");
    sink.setProgressRange(65535);
    TVL_CHECK(bar.minimum() == 0 && bar.maximum() == 65535, "the bar takes the range 0..maximum");
    TVL_CHECK_EQ(bar.value(), 0, "a new range starts at 0");
    sink.setProgressPosition(40000);
    TVL_CHECK_EQ(bar.value(), 40000, "the bar shows the position");
}

void LabelStatusSinkTest::letsWaitingEventsThroughDuringALoad()
{
    QLabel label;
    QProgressBar bar;
    LabelStatusSink sink(&label, &bar);
    int delivered = 0;
    QMetaObject::invokeMethod(
        &label, [&] { ++delivered; }, Qt::QueuedConnection);
    sink.setStatusText("Preprocessing Flow Data...");
    TVL_CHECK_EQ(delivered, 1, "a status text must let waiting events (the repaint) through while the load blocks");
    QMetaObject::invokeMethod(
        &label, [&] { ++delivered; }, Qt::QueuedConnection);
    sink.setProgressRange(100);
    TVL_CHECK_EQ(delivered, 2, "a new range must show at once");
}

TVL_GUI_TEST_MAIN(LabelStatusSinkTest)
#include "LabelStatusSinkTest.moc"
