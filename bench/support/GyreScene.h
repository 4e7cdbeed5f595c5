#pragma once

// The scene the drawing benchmarks share: a 1000 x 800 offscreen canvas
// showing a double gyre over 10 x 8 flow units (a 500 x 400 regular grid after
// the loader's resampling) in full, with the Blue-Green-Red transfer function
// and a speed coder.

#include "flow/AnalyticFlow.h"
#include "flow/FlowData.h"
#include "render/OffscreenContext.h"
#include "transfer/TransferFunction.h"
#include "transfer/TransferPreset.h"
#include "view/FlowView.h"
#include "view/SpeedCoder.h"

#include <memory>
#include <string>

namespace tvl::bench {

struct GyreScene {
    static constexpr int kCanvasWidth = 1000;
    static constexpr int kCanvasHeight = 800;

    OffscreenContext context;
    FlowData flow;
    TransferFunction transfer {ClientRect {0, 0, 400, 20}};
    std::unique_ptr<FlowView> view;
    std::unique_ptr<SpeedCoder> coder;
    std::string failure; // empty when the scene is ready

    explicit GyreScene(OffscreenContext::Target target = OffscreenContext::Target::Automatic)
    {
        if (!context.create(kCanvasWidth, kCanvasHeight, failure, target))
            return;
        FlowSpec spec;
        spec.flow = FlowKind::DoubleGyre;
        spec.grid = GridKind::Curvilinear;
        spec.width = 201;
        spec.height = 161;
        spec.x1 = 10.0f;
        spec.y1 = 8.0f;
        if (!flow.loadNodes(makeFlow(spec))) {
            failure = "the double gyre did not load";
            return;
        }
        transfer.applyPreset(kTransferPresets[2]);
        view = std::make_unique<FlowView>(&flow);
        view->setCanvasSize(kCanvasWidth, kCanvasHeight);
        view->resetRegion();
        view->applyViewport();
        if (view->viewportWidth() != kCanvasWidth || view->viewportHeight() != kCanvasHeight) {
            failure = "the viewport is not 1000 x 800";
            return;
        }
        coder = std::make_unique<SpeedCoder>(flow, transfer.colorTable());
    }
};

} // namespace tvl::bench
