#pragma once

#include <string>

namespace tvl {

// Receives whole diagnostic messages, one per call, each already tagged
// "[Tavrel|Class|operation]: ".
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void write(const std::string& message) = 0;
};

} // namespace tvl
