#pragma once

#include <string>

namespace tvl {

// Where a load reports its progress: the status line's text and a progress
// bar with range 0 .. maximum. The maximum arrives already taken to 16 bits
// (0 .. 65535), as a 16-bit progress control would hold it.
class StatusSink {
public:
    virtual ~StatusSink() = default;
    virtual void setStatusText(const std::string& text) = 0;
    virtual void setProgressRange(int maximum) = 0;
    virtual void setProgressPosition(int position) = 0;
};

} // namespace tvl
