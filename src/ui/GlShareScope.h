#pragma once

#include <memory>

class QOffscreenSurface;
class QOpenGLContext;

namespace tvl {

class FlowData;
class FlowView;

// Keeps a context of the application's GL share group current for its own
// lifetime. When one already is (a canvas made itself current), it does
// nothing; otherwise it makes a small context of the group current on an
// offscreen surface and releases it again at the end. Objects that own shared
// GL names (the view's display list) are created and destroyed inside one, so
// they never touch a foreign context or none at all.
class GlShareScope {
public:
    GlShareScope();
    ~GlShareScope();
    GlShareScope(const GlShareScope&) = delete;
    GlShareScope& operator=(const GlShareScope&) = delete;

    // False when no context of the group could be made current.
    bool isCurrent() const { return current_; }

private:
    std::unique_ptr<QOffscreenSurface> surface_;
    std::unique_ptr<QOpenGLContext> context_;
    bool current_ = false;
};

// A view of the flow data set whose construction and destruction both happen
// inside a GlShareScope, whoever drops the last reference. The data set must
// outlive the view.
std::shared_ptr<FlowView> makeSharedView(const FlowData& flow);

} // namespace tvl
