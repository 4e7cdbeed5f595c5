#pragma once

#include <QString>

#include <functional>

class QSlider;

namespace tvl {

// Keeps the slider's tool tip saying its value, as text(position) writes it,
// and shows the tip at once while the thumb is dragged, so the value can be
// read as it changes.
void showValueInToolTip(QSlider* slider, std::function<QString(int position)> text);

} // namespace tvl
