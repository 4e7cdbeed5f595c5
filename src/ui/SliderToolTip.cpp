#include "ui/SliderToolTip.h"

#include <QCursor>
#include <QSlider>
#include <QToolTip>

#include <utility>

namespace tvl {

void showValueInToolTip(QSlider* slider, std::function<QString(int position)> text)
{
    slider->setToolTip(text(slider->value()));
    QObject::connect(slider, &QSlider::valueChanged, slider, [slider, text = std::move(text)](int position) {
        slider->setToolTip(text(position));
        if (slider->isSliderDown())
            QToolTip::showText(QCursor::pos(), slider->toolTip(), slider);
    });
}

} // namespace tvl
