#include "app/CAboutDialog.h"

#include "app/AppIcon.h"
#include "ui/DialogUnits.h"

#include <QLabel>
#include <QPushButton>

namespace tvl {

CAboutDialog::CAboutDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Info über Tavrel"));
    QFont dialogFont = font();
    dialogFont.setPointSize(kDialogFontPointSize);
    setFont(dialogFont);
    setFixedSize(dialogRect(0, 0, 235, 55).size());

    auto* icon = new QLabel(this);
    icon->setPixmap(makeAppIcon().pixmap(32, 32));
    icon->setGeometry(QRect(dialogRect(11, 17, 0, 0).topLeft(), QSize(32, 32)));
    auto* version = new QLabel(QStringLiteral("Tavrel Version 1.0"), this);
    version->setObjectName(QStringLiteral("version"));
    version->setGeometry(dialogRect(40, 10, 132, 10));
    auto* purpose = new QLabel(QStringLiteral("Strömungsvisualisierung in 2-D"), this);
    purpose->setObjectName(QStringLiteral("purpose"));
    purpose->setGeometry(dialogRect(40, 25, 132, 10));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(dialogRect(178, 7, 50, 16));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace tvl
