#include "ui/LabelStatusSink.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>

namespace tvl {

LabelStatusSink::LabelStatusSink(QLabel* label, QProgressBar* progressBar)
    : label_(label)
    , progressBar_(progressBar)
{
}

void LabelStatusSink::setStatusText(const std::string& text)
{
    label_->setText(QString::fromStdString(text));
    repaintNow();
}

void LabelStatusSink::setProgressRange(int maximum)
{
    progressBar_->setRange(0, maximum);
    progressBar_->setValue(0);
    repaintNow();
}

void LabelStatusSink::setProgressPosition(int position)
{
    progressBar_->setValue(position);
    if (!sinceRepaint_.isValid() || sinceRepaint_.elapsed() >= kRepaintInterval)
        repaintNow();
}

void LabelStatusSink::repaintNow()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    sinceRepaint_.restart();
}

} // namespace tvl
