#include "gl_test_context.h"

#include <QGuiApplication>

GlTestContext::GlTestContext() {
    if (!QGuiApplication::instance())
        return;
    surface_ = std::make_unique<QOffscreenSurface>();
    surface_->create();
    context_ = std::make_unique<QOpenGLContext>();
    if (!context_->create())
        return;
    valid_ = context_->makeCurrent(surface_.get());
}

GlTestContext::~GlTestContext() {
    if (valid_)
        context_->doneCurrent();
}
