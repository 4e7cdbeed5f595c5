#pragma once

#include <QDialog>

namespace tvl {

// The about box: program name and version.
class CAboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDialog(QWidget* parent = nullptr);
};

} // namespace tvl
