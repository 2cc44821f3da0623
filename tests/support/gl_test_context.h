// A current OpenGL context on an offscreen surface, for tests that call draw code directly.
#pragma once

#include <QOffscreenSurface>
#include <QOpenGLContext>

#include <memory>

class GlTestContext {
public:
    GlTestContext();
    ~GlTestContext();
    GlTestContext(const GlTestContext&) = delete;
    GlTestContext& operator=(const GlTestContext&) = delete;

    // False without a display or GL: the caller skips its test.
    bool valid() const { return valid_; }

private:
    std::unique_ptr<QOffscreenSurface> surface_;
    std::unique_ptr<QOpenGLContext> context_;
    bool valid_ = false;
};

// Skips the current test unless a GL context could be made current.
#define KNOTWORK_REQUIRE_GL(ctx)                                                                             \
    do {                                                                                                     \
        if (!(ctx).valid())                                                                                  \
            GTEST_SKIP() << "no OpenGL context (run under xvfb-run)";                                        \
    } while (0)
