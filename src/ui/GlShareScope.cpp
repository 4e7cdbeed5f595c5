#include "ui/GlShareScope.h"

#include "view/FlowView.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>

namespace tvl {

GlShareScope::GlShareScope()
{
    QOpenGLContext* shared = QOpenGLContext::globalShareContext();
    QOpenGLContext* current = QOpenGLContext::currentContext();
    if (current && (shared == nullptr || QOpenGLContext::areSharing(current, shared))) {
        current_ = true;
        return;
    }
    surface_ = std::make_unique<QOffscreenSurface>();
    surface_->create();
    context_ = std::make_unique<QOpenGLContext>();
    context_->setShareContext(shared);
    if (context_->create() && context_->makeCurrent(surface_.get()))
        current_ = true;
}

GlShareScope::~GlShareScope()
{
    if (context_ && current_)
        context_->doneCurrent();
    context_.reset();
    if (surface_)
        surface_->destroy();
}

std::shared_ptr<FlowView> makeSharedView(const FlowData& flow)
{
    GlShareScope scope;
    return std::shared_ptr<FlowView>(new FlowView(&flow), [](FlowView* view) {
        GlShareScope deleting;
        delete view;
    });
}

} // namespace tvl
