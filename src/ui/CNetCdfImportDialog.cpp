#include "ui/CNetCdfImportDialog.h"

#include "ui/DialogUnits.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>
#include <cmath>

namespace tvl {

namespace {

QString itemText(const NetCdfScan::Variable& variable)
{
    QStringList dimensions;
    for (const std::string& d : variable.dimensions)
        dimensions << QString::fromStdString(d);
    QString text = QString::fromStdString(variable.name) + QStringLiteral("(") + dimensions.join(QStringLiteral(", "))
        + QStringLiteral(")");
    if (!variable.description.empty())
        text += QStringLiteral("  ") + QString::fromStdString(variable.description);
    return text;
}

bool positiveNumber(const QString& text, double& value)
{
    bool ok = false;
    value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) && value > 0.0;
}

} // namespace

CNetCdfImportDialog::CNetCdfImportDialog(const QString& fileName, const NetCdfScan& scan, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Import NetCDF"));
    QFont dialogFont = font();
    dialogFont.setPointSize(kDialogFontPointSize);
    setFont(dialogFont);

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("File:"), new QLabel(fileName, this));
    uList_ = new QComboBox(this);
    vList_ = new QComboBox(this);
    for (const NetCdfScan::Variable& variable : scan.variables) {
        uList_->addItem(itemText(variable), QString::fromStdString(variable.name));
        vList_->addItem(itemText(variable), QString::fromStdString(variable.name));
    }
    if (!scan.velocityPairs.empty()) {
        uList_->setCurrentIndex(uList_->findData(QString::fromStdString(scan.velocityPairs.front().first)));
        vList_->setCurrentIndex(vList_->findData(QString::fromStdString(scan.velocityPairs.front().second)));
    } else if (vList_->count() > 1) {
        vList_->setCurrentIndex(1);
    }
    form->addRow(QStringLiteral("Velocity x (east):"), uList_);
    form->addRow(QStringLiteral("Velocity y (north):"), vList_);

    valueList_ = new QListWidget(this);
    for (const std::string& name : scan.gridValues) {
        auto* item = new QListWidgetItem(QString::fromStdString(name), valueList_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    valueList_->setMaximumHeight(dialogUnitsToPixelsY(48));
    form->addRow(QStringLiteral("Additional values:"), valueList_);

    for (const NetCdfScan::Dimension& dimension : scan.dimensions) {
        auto* box = new QSpinBox(this);
        box->setRange(0, static_cast<int>(std::min<std::size_t>(dimension.size > 0 ? dimension.size - 1 : 0, 1 << 30)));
        const QString name = QString::fromStdString(dimension.name);
        indexBoxes_[name] = box;
        form->addRow(QStringLiteral("%1 (0 .. %2):").arg(name).arg(box->maximum()), box);
    }

    if (scan.automaticScale > 0.0)
        automaticScaleText_ = QString::number(scan.automaticScale, 'g', 6);
    scaleEdit_ = new QLineEdit(automaticScaleText_, this);
    scaleEdit_->setPlaceholderText(QStringLiteral("automatic"));
    scaleEdit_->setToolTip(QStringLiteral("Flow units per coordinate unit; the automatic value gives the regular grid "
                                          "about the node grid's resolution"));
    form->addRow(QStringLiteral("Scale:"), scaleEdit_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton_ = buttons->button(QDialogButtonBox::Ok);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(uList_, &QComboBox::currentIndexChanged, this, &CNetCdfImportDialog::updateOk);
    connect(vList_, &QComboBox::currentIndexChanged, this, &CNetCdfImportDialog::updateOk);
    connect(scaleEdit_, &QLineEdit::textChanged, this, &CNetCdfImportDialog::updateOk);
    updateOk();
}

QSpinBox* CNetCdfImportDialog::indexBox(const QString& dimension) const
{
    const auto found = indexBoxes_.find(dimension);
    return found == indexBoxes_.end() ? nullptr : found->second;
}

void CNetCdfImportDialog::updateOk()
{
    double scale = 0.0;
    const bool scaleOk = scaleEdit_->text().trimmed().isEmpty() || positiveNumber(scaleEdit_->text(), scale);
    okButton_->setEnabled(uList_->currentIndex() >= 0 && vList_->currentIndex() >= 0
        && uList_->currentIndex() != vList_->currentIndex() && scaleOk);
}

NetCdfImportOptions CNetCdfImportDialog::options() const
{
    NetCdfImportOptions options;
    options.u = uList_->currentData().toString().toStdString();
    options.v = vList_->currentData().toString().toStdString();
    for (int k = 0; k < valueList_->count(); ++k)
        if (valueList_->item(k)->checkState() == Qt::Checked)
            options.values.push_back(valueList_->item(k)->text().toStdString());
    for (const auto& [name, box] : indexBoxes_)
        if (box->value() != 0)
            options.indices.emplace_back(name.toStdString(), box->value());
    double scale = 0.0;
    if (scaleEdit_->text() != automaticScaleText_ && positiveNumber(scaleEdit_->text(), scale))
        options.scale = scale;
    return options;
}

} // namespace tvl
