#include "ui/CArrowPlotPage.h"

#include "ui/COpenGLWnd.h"
#include "ui/DialogUnits.h"
#include "ui/SliderToolTip.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

namespace tvl {

CArrowPlotPage::CArrowPlotPage(QWidget* parent)
    : CLayerPage(parent)
{
    auto* frame = new QGroupBox(this);
    frame->setGeometry(dialogRect(7, 6, 114, 222));
    auto* resolutionLabel = new QLabel(QStringLiteral("Grid Resolution"), this);
    resolutionLabel->setGeometry(dialogRect(12, 18, 54, 12));
    resolutionSlider_ = new QSlider(Qt::Horizontal, this);
    resolutionSlider_->setGeometry(dialogRect(12, 30, 102, 12));
    resolutionSlider_->setTickPosition(QSlider::NoTicks);
    auto* codingLabel = new QLabel(QStringLiteral("Arrow Coding"), this);
    codingLabel->setGeometry(dialogRect(12, 48, 54, 12));
    codingList_ = new QComboBox(this);
    codingList_->setGeometry(dialogRect(12, 60, 96, 12));
    codingList_->addItem(QStringLiteral("No data encoding"));
    codingList_->addItem(QStringLiteral("Speed"));

    resolutionSlider_->setRange(kMinResolution, kMaxResolution);
    resolutionSlider_->setValue(kInitialResolution);
    showValueInToolTip(
        resolutionSlider_, [](int position) { return QStringLiteral("Grid Resolution: %1 px").arg(position); });
    codingList_->setCurrentIndex(0);

    connect(resolutionSlider_, &QSlider::valueChanged, this, &CArrowPlotPage::onResolutionChanged);
    connect(codingList_, &QComboBox::currentIndexChanged, this, &CArrowPlotPage::onCodingChanged);
}

void CArrowPlotPage::setAdditionalEntries(int count)
{
    const QSignalBlocker blocker(codingList_);
    const int selected = codingList_->currentIndex();
    while (codingList_->count() > kFixedCodings)
        codingList_->removeItem(codingList_->count() - 1);
    for (int i = 0; i < count; ++i)
        codingList_->addItem(QString::asprintf("Special Dataset %d", i));
    codingList_->setCurrentIndex(selected < codingList_->count() ? selected : -1);
}

void CArrowPlotPage::onResolutionChanged(int position)
{
    if (canvas_)
        canvas_->setArrowResolution(position);
}

void CArrowPlotPage::onCodingChanged(int position)
{
    if (canvas_ && position >= 0)
        canvas_->setArrowCoding(ArrowCoding::fromListPosition(position));
}

} // namespace tvl
