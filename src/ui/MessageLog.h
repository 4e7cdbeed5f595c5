#pragma once

#include "flow/LogSink.h"

#include <string>

namespace tvl {

// The application's diagnostic log: every message goes to the standard error
// stream, and the last one is kept so that an error box can show the cause.
class MessageLog : public LogSink {
public:
    void write(const std::string& message) override;

    const std::string& lastMessage() const { return last_; }
    void clear() { last_.clear(); }

private:
    std::string last_;
};

} // namespace tvl
