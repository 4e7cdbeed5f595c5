#pragma once

#include "flow/NodeGrid.h"

namespace tvl {

// The built-in demo data set (see demoFlowSpec in makeflow/FlowGenerator.h),
// the same one the window opens with --demo.
NodeGrid makeDemoFlow();

} // namespace tvl
