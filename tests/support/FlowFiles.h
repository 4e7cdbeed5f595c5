#pragma once

#include "flow/LogSink.h"
#include "flow/StatusSink.h"

#include <string>
#include <vector>

namespace tvl::test {

// Raw file writers for loader tests: any header text, any float payload.
// The header text is padded with blanks to 40 bytes (or cut to 40).
void writeGridFile(const std::string& path, const std::string& headerText, const std::vector<float>& xyz);
void writeDataFile(const std::string& path, const std::vector<float>& records);
void writeBytes(const std::string& path, const std::string& bytes);
std::string readBytes(const std::string& path);

// A rectilinear node grid: node (i, j) at (xs[i], ys[j], 0).
std::vector<float> rectilinearPositions(const std::vector<float>& xs, const std::vector<float>& ys);

// Sinks that remember everything a load reported.
struct RecordingStatus : StatusSink {
    std::vector<std::string> texts;
    std::vector<int> ranges;
    std::vector<int> positions;
    void setStatusText(const std::string& text) override { texts.push_back(text); }
    void setProgressRange(int maximum) override { ranges.push_back(maximum); }
    void setProgressPosition(int position) override { positions.push_back(position); }
};

struct RecordingLog : LogSink {
    std::vector<std::string> messages;
    void write(const std::string& message) override { messages.push_back(message); }
};

// The folder of shared real data sets, or empty when it is not there.
std::string sharedDataDir();

} // namespace tvl::test
