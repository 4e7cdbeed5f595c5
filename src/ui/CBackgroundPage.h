#pragma once

#include "ui/CLayerPage.h"
#include "view/LayerSettings.h"

#include <memory>

class QComboBox;
class QRadioButton;

namespace tvl {

class ColorTable;
class DataCoder;
class FlowData;

// Settings of the background layer: which quantity the background codes
// (speed, direction or one additional value). The page builds the coder and
// hands it to the canvas; the change shows at the next Draw. Coders are shared:
// a canvas that got a coder before the user changed canvases keeps drawing with
// it for as long as it holds it.
class CBackgroundPage : public CLayerPage {
    Q_OBJECT

public:
    explicit CBackgroundPage(QWidget* parent = nullptr);

    // Stores the data set (not owned); builds a SpeedCoder if the page has no
    // coder yet; hands the coder to the canvas.
    void setFlowData(const FlowData* flow);
    // The table for coders built from now on; an existing coder keeps its own.
    void setColorTable(std::shared_ptr<const ColorTable> table);
    // A fresh SpeedCoder for the canvas, whatever mode the buttons show.
    void resetCoder();
    // One "Special Dataset %d" entry per additional value, replacing those of
    // an earlier data set; the list then shows no selection.
    void setAdditionalEntries(int count);

    const std::shared_ptr<const DataCoder>& coder() const { return coder_; }
    // What the current coder codes (which after a load is the speed, whatever
    // the buttons show), and its additional value's number.
    BackgroundQuantity coderQuantity() const { return coderQuantity_; }
    int coderValueIndex() const { return coderValueIndex_; }
    QRadioButton* speedButton() const { return speedButton_; }
    QRadioButton* directionButton() const { return directionButton_; }
    QRadioButton* additionalButton() const { return additionalButton_; }
    QComboBox* dataList() const { return dataList_; }

private:
    void onSpeedClicked();
    void onDirectionClicked();
    void onAdditionalClicked();
    void onDataChanged(int position);
    // Replaces the coder (when a data set and a table are there) and hands it
    // to the canvas.
    void buildCoder(BackgroundQuantity quantity, int valueIndex = 0);

    std::shared_ptr<const DataCoder> coder_;
    BackgroundQuantity coderQuantity_ = BackgroundQuantity::Speed;
    int coderValueIndex_ = 0;
    const FlowData* flow_ = nullptr;
    std::shared_ptr<const ColorTable> table_;
    QRadioButton* speedButton_;
    QRadioButton* directionButton_;
    QRadioButton* additionalButton_;
    QComboBox* dataList_;
};

} // namespace tvl
