#pragma once

#include "streamlines/IntegrationScheme.h"
#include "ui/CLayerPage.h"
#include "view/LayerSettings.h"

class QComboBox;
class QPushButton;
class QRadioButton;
class QSlider;

namespace tvl {

// The four streamline settings as the page shows them: the slider positions
// (dsep 10 to 1000, dtest 1 to 99), the integration scheme and the placement.
struct StreamlineSettings {
    int dsep = 0;
    int dtest = 0;
    IntegrationScheme scheme = IntegrationScheme::Euler;
    Placement placement = Placement::EvenDistances;
};

// Settings of the streamline layer. Changes are only stored in the canvas and
// show at the next Draw; Clear redraws at once without streamlines.
class CStreamlinePage : public CLayerPage {
    Q_OBJECT

public:
    static constexpr int kMinDsep = 10;
    static constexpr int kMaxDsep = 1000;
    static constexpr int kInitialDsep = 100;
    static constexpr int kMinDtest = 1;
    static constexpr int kMaxDtest = 99;
    static constexpr int kInitialDtest = 50;

    explicit CStreamlinePage(QWidget* parent = nullptr);

    StreamlineSettings getStreamlineSettings() const;

    QComboBox* integrationList() const { return integrationList_; }
    QRadioButton* manualButton() const { return manualButton_; }
    QRadioButton* evenButton() const { return evenButton_; }
    QSlider* dsepSlider() const { return dsepSlider_; }
    QSlider* dtestSlider() const { return dtestSlider_; }
    QPushButton* clearButton() const { return clearButton_; }

private:
    void onManualClicked();
    void onEvenClicked();
    void handSettings();
    void onClear();

    bool evenPlacement_ = true;
    QComboBox* integrationList_;
    QRadioButton* manualButton_;
    QRadioButton* evenButton_;
    QSlider* dsepSlider_;
    QSlider* dtestSlider_;
    QPushButton* clearButton_;
};

} // namespace tvl
