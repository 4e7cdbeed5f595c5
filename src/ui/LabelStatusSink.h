#pragma once

#include "flow/StatusSink.h"

#include <QElapsedTimer>

class QLabel;
class QProgressBar;

namespace tvl {

// Shows a load's progress in the status label and the progress bar of the
// main window. The load blocks the event loop, so each report lets pending
// paint events through (never user input, which could start a second load);
// to keep that cheap, position reports do so at most every kRepaintInterval
// milliseconds, while text and range changes always show at once.
class LabelStatusSink : public StatusSink {
public:
    static constexpr int kRepaintInterval = 30;

    LabelStatusSink(QLabel* label, QProgressBar* progressBar);

    void setStatusText(const std::string& text) override;
    void setProgressRange(int maximum) override;
    void setProgressPosition(int position) override;

private:
    void repaintNow();

    QLabel* label_;
    QProgressBar* progressBar_;
    QElapsedTimer sinceRepaint_;
};

} // namespace tvl
