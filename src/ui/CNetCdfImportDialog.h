#pragma once

#include "netcdf/NetCdfImportOptions.h"
#include "netcdf/NetCdfScan.h"

#include <QDialog>

#include <map>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace tvl {

// File > Import NetCDF: the two velocity components, further fields to read
// as additional values, an index for every further dimension and the scale,
// filled with what the scan of the file found. OK stays disabled while the
// two components are the same variable or the scale is no positive number.
class CNetCdfImportDialog : public QDialog {
    Q_OBJECT

public:
    CNetCdfImportDialog(const QString& fileName, const NetCdfScan& scan, QWidget* parent = nullptr);

    // What the dialog shows now. Only indices other than 0 are named, and the
    // scale only when it was changed from the automatic one shown at first.
    NetCdfImportOptions options() const;

    QComboBox* uList() const { return uList_; }
    QComboBox* vList() const { return vList_; }
    // Checkable entries, one per further field on the velocity's grid.
    QListWidget* valueList() const { return valueList_; }
    // Null for a dimension the scan did not list.
    QSpinBox* indexBox(const QString& dimension) const;
    QLineEdit* scaleEdit() const { return scaleEdit_; }
    QPushButton* okButton() const { return okButton_; }

private:
    void updateOk();

    QComboBox* uList_ = nullptr;
    QComboBox* vList_ = nullptr;
    QListWidget* valueList_ = nullptr;
    std::map<QString, QSpinBox*> indexBoxes_;
    QLineEdit* scaleEdit_ = nullptr;
    QString automaticScaleText_;
    QPushButton* okButton_ = nullptr;
};

} // namespace tvl
