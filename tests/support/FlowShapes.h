#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace tvl::test {

// A pair of files in one particular shape, written on demand.
struct FlowShape {
    std::string name;
    // For shapes that must fail: a piece of the logged cause.
    std::string causeFragment;
    std::function<void(const std::string& gridPath, const std::string& dataPath)> write;
};

inline void PrintTo(const FlowShape& shape, std::ostream* os)
{
    *os << shape.name;
}

// Every shape of unusable input: each must fail the load with a tagged cause
// and leave the data set loaded before untouched.
const std::vector<FlowShape>& badFlowShapes();

// Valid but odd shapes: each must load and draw without a crash and without
// handing GL a non-finite vertex.
const std::vector<FlowShape>& oddFlowShapes();

} // namespace tvl::test
