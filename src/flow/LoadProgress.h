#pragma once

#include "flow/StatusSink.h"

#include <cstdint>
#include <string>

namespace tvl {

// The load's reports to its status sink: the phase text and a progress range
// and position. The sink may be null; the load runs the same either way.
class LoadProgress {
public:
    explicit LoadProgress(StatusSink* sink)
        : sink_(sink)
    {
    }

    void status(const std::string& text) const
    {
        if (sink_)
            sink_->setStatusText(text);
    }
    // A 16-bit progress control keeps the maximum modulo 65536, so a range
    // computed as H × third − 1 may wrap (a third integer of 0 gives 65535).
    void range(std::int64_t maximum) const
    {
        if (sink_)
            sink_->setProgressRange(static_cast<int>(static_cast<std::uint16_t>(maximum)));
    }
    void position(int position) const
    {
        if (sink_)
            sink_->setProgressPosition(position);
    }

private:
    StatusSink* sink_;
};

} // namespace tvl
