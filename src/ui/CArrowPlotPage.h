#pragma once

#include "ui/CLayerPage.h"

class QComboBox;
class QSlider;

namespace tvl {

// Settings of the arrow plot: the grid resolution (distance between arrows in
// viewport pixels) and what the arrow length codes. Every change goes to the
// canvas at once, and the canvas redraws if it has drawn before.
class CArrowPlotPage : public CLayerPage {
    Q_OBJECT

public:
    static constexpr int kMinResolution = 5;
    static constexpr int kMaxResolution = 80;
    static constexpr int kInitialResolution = 20;
    // "No data encoding" and "Speed" precede the additional values.
    static constexpr int kFixedCodings = 2;

    explicit CArrowPlotPage(QWidget* parent = nullptr);

    // One "Special Dataset %d" entry per additional value after the fixed
    // entries, replacing those of an earlier data set. The selection stays
    // when its entry still exists, else the list shows none; the canvas is
    // not told, as the user has chosen nothing.
    void setAdditionalEntries(int count);

    QSlider* resolutionSlider() const { return resolutionSlider_; }
    QComboBox* codingList() const { return codingList_; }

private:
    void onResolutionChanged(int position);
    void onCodingChanged(int position);

    QComboBox* codingList_;
    QSlider* resolutionSlider_;
};

} // namespace tvl
