#include "ui/CStreamlinePage.h"

#include "ui/COpenGLWnd.h"
#include "ui/DialogUnits.h"
#include "ui/SliderToolTip.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace tvl {

CStreamlinePage::CStreamlinePage(QWidget* parent)
    : CLayerPage(parent)
{
    auto* frame = new QGroupBox(this);
    frame->setGeometry(dialogRect(7, 7, 118, 226));
    auto* integration = new QGroupBox(QStringLiteral("Integration"), this);
    integration->setGeometry(dialogRect(12, 18, 108, 78));
    integrationList_ = new QComboBox(this);
    integrationList_->setGeometry(dialogRect(18, 30, 96, 12));
    integrationList_->addItem(QStringLiteral("Euler"));
    integrationList_->addItem(QStringLiteral("Runge Kutta 2"));
    integrationList_->addItem(QStringLiteral("Runge Kutta 4"));
    clearButton_ = new QPushButton(QStringLiteral("Clear"), this);
    clearButton_->setGeometry(dialogRect(17, 49, 95, 14));
    clearButton_->setAutoDefault(false);
    auto* placement = new QGroupBox(QStringLiteral("Placement"), this);
    placement->setGeometry(dialogRect(12, 96, 108, 96));
    manualButton_ = new QRadioButton(QStringLiteral("Manual"), this);
    manualButton_->setGeometry(dialogRect(15, 107, 42, 18));
    evenButton_ = new QRadioButton(QStringLiteral("Even Distances"), this);
    evenButton_->setGeometry(dialogRect(15, 121, 66, 18));
    auto* placementGroup = new QButtonGroup(this);
    placementGroup->addButton(manualButton_);
    placementGroup->addButton(evenButton_);
    auto* dsepLabel = new QLabel(QStringLiteral("dsep"), this);
    dsepLabel->setGeometry(dialogRect(16, 137, 24, 8));
    auto* dtestLabel = new QLabel(QStringLiteral("dtest"), this);
    dtestLabel->setGeometry(dialogRect(16, 149, 24, 8));
    dsepSlider_ = new QSlider(Qt::Horizontal, this);
    dsepSlider_->setGeometry(dialogRect(40, 137, 72, 12));
    dsepSlider_->setTickPosition(QSlider::NoTicks);
    dtestSlider_ = new QSlider(Qt::Horizontal, this);
    dtestSlider_->setGeometry(dialogRect(40, 149, 72, 12));
    dtestSlider_->setTickPosition(QSlider::NoTicks);

    integrationList_->setCurrentIndex(0);
    evenButton_->setChecked(true);
    dsepSlider_->setRange(kMinDsep, kMaxDsep);
    dtestSlider_->setRange(kMinDtest, kMaxDtest);
    dsepSlider_->setValue(kInitialDsep);
    dtestSlider_->setValue(kInitialDtest);
    // dsep moves in tenths of a pixel, dtest in percent of dsep.
    showValueInToolTip(
        dsepSlider_, [](int position) { return QStringLiteral("dsep: %1 px").arg(position / 10.0, 0, 'f', 1); });
    showValueInToolTip(dtestSlider_, [](int position) { return QStringLiteral("dtest: %1 % of dsep").arg(position); });

    connect(manualButton_, &QRadioButton::clicked, this, &CStreamlinePage::onManualClicked);
    connect(evenButton_, &QRadioButton::clicked, this, &CStreamlinePage::onEvenClicked);
    connect(integrationList_, &QComboBox::currentIndexChanged, this, &CStreamlinePage::handSettings);
    connect(dsepSlider_, &QSlider::valueChanged, this, &CStreamlinePage::handSettings);
    connect(dtestSlider_, &QSlider::valueChanged, this, &CStreamlinePage::handSettings);
    connect(clearButton_, &QPushButton::clicked, this, &CStreamlinePage::onClear);
}

StreamlineSettings CStreamlinePage::getStreamlineSettings() const
{
    return {dsepSlider_->value(), dtestSlider_->value(), integrationSchemeFromIndex(integrationList_->currentIndex()),
        evenPlacement_ ? Placement::EvenDistances : Placement::Manual};
}

void CStreamlinePage::onManualClicked()
{
    evenPlacement_ = false;
    if (canvas_)
        canvas_->setEvenPlacement(false);
}

void CStreamlinePage::onEvenClicked()
{
    evenPlacement_ = true;
    if (canvas_)
        canvas_->setEvenPlacement(true);
}

void CStreamlinePage::handSettings()
{
    if (canvas_)
        canvas_->setStreamlineSettings(static_cast<float>(dsepSlider_->value()),
            static_cast<float>(dtestSlider_->value()), integrationSchemeFromIndex(integrationList_->currentIndex()));
}

void CStreamlinePage::onClear()
{
    if (!canvas_)
        return;
    const bool manual = manualButton_->isChecked();
    canvas_->redrawWithoutStreamlines();
    canvas_->setEvenPlacement(!manual);
}

} // namespace tvl
