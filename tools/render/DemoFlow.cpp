#include "DemoFlow.h"

#include "makeflow/FlowGenerator.h"

namespace tvl {

NodeGrid makeDemoFlow() { return makeFlow(demoFlowSpec()); }

} // namespace tvl
