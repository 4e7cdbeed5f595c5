#include "ui/CBackgroundPage.h"

#include "ui/COpenGLWnd.h"
#include "ui/DialogUnits.h"
#include "view/DataCoder.h"
#include "view/DataCoderFactory.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QSignalBlocker>

#include <utility>

namespace tvl {

CBackgroundPage::CBackgroundPage(QWidget* parent)
    : CLayerPage(parent)
{
    auto* frame = new QGroupBox(this);
    frame->setGeometry(dialogRect(7, 7, 113, 226));
    speedButton_ = new QRadioButton(QStringLiteral("Speed"), this);
    speedButton_->setGeometry(dialogRect(12, 18, 37, 10));
    directionButton_ = new QRadioButton(QStringLiteral("Direction"), this);
    directionButton_->setGeometry(dialogRect(12, 30, 42, 11));
    additionalButton_ = new QRadioButton(QStringLiteral("Additional Data:"), this);
    additionalButton_->setGeometry(dialogRect(12, 42, 72, 12));
    auto* modes = new QButtonGroup(this);
    modes->addButton(speedButton_);
    modes->addButton(directionButton_);
    modes->addButton(additionalButton_);
    dataList_ = new QComboBox(this);
    dataList_->setGeometry(dialogRect(24, 54, 90, 12));

    speedButton_->setChecked(true);
    if (dataList_->count() > 0)
        dataList_->setCurrentIndex(0);
    dataList_->setEnabled(false);

    connect(speedButton_, &QRadioButton::clicked, this, &CBackgroundPage::onSpeedClicked);
    connect(directionButton_, &QRadioButton::clicked, this, &CBackgroundPage::onDirectionClicked);
    connect(additionalButton_, &QRadioButton::clicked, this, &CBackgroundPage::onAdditionalClicked);
    connect(dataList_, &QComboBox::currentIndexChanged, this, &CBackgroundPage::onDataChanged);
}

void CBackgroundPage::setFlowData(const FlowData* flow)
{
    flow_ = flow;
    if (!coder_)
        buildCoder(BackgroundQuantity::Speed);
    else if (canvas_)
        canvas_->setDataCoder(coder_);
}

void CBackgroundPage::setColorTable(std::shared_ptr<const ColorTable> table)
{
    table_ = std::move(table);
}

void CBackgroundPage::resetCoder()
{
    buildCoder(BackgroundQuantity::Speed);
}

void CBackgroundPage::setAdditionalEntries(int count)
{
    const QSignalBlocker blocker(dataList_);
    dataList_->clear();
    for (int i = 0; i < count; ++i)
        dataList_->addItem(QString::asprintf("Special Dataset %d", i));
    dataList_->setCurrentIndex(-1);
}

void CBackgroundPage::onSpeedClicked()
{
    dataList_->setEnabled(false);
    buildCoder(BackgroundQuantity::Speed);
}

void CBackgroundPage::onDirectionClicked()
{
    dataList_->setEnabled(false);
    buildCoder(BackgroundQuantity::Direction);
}

void CBackgroundPage::onAdditionalClicked()
{
    // With no additional values there is nothing to code: the button shows
    // as checked and the coder stays what it was.
    if (dataList_->count() == 0)
        return;
    dataList_->setEnabled(true);
    {
        const QSignalBlocker blocker(dataList_);
        dataList_->setCurrentIndex(0);
    }
    buildCoder(BackgroundQuantity::AdditionalValue, 0);
}

void CBackgroundPage::onDataChanged(int position)
{
    if (position >= 0)
        buildCoder(BackgroundQuantity::AdditionalValue, position);
}

void CBackgroundPage::buildCoder(BackgroundQuantity quantity, int valueIndex)
{
    if (flow_ && table_) {
        coder_ = makeDataCoder(quantity, valueIndex, *flow_, table_);
        coderQuantity_ = quantity;
        coderValueIndex_ = valueIndex;
    }
    if (canvas_)
        canvas_->setDataCoder(coder_);
}

} // namespace tvl
