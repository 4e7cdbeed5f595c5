#include "ui/MessageLog.h"

#include <QDebug>
#include <QString>

namespace tvl {

void MessageLog::write(const std::string& message)
{
    last_ = message;
    qDebug().noquote() << QString::fromStdString(message);
}

} // namespace tvl
