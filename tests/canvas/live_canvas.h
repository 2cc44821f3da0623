// A shown, initialised canvas for tests that drive it with real Qt mouse and key events.
#pragma once

#include "canvas/gl_pelm.h"
#include "geometry/nurbs_curve.h"

#include <QApplication>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QTest>

#include <initializer_list>
#include <memory>

class LiveCanvas {
public:
    std::unique_ptr<GLPelm> pelm;

    explicit LiveCanvas(int w = 800, int h = 600)
        : LiveCanvas(QApplication::instance() ? std::make_unique<GLPelm>(nullptr, "glpelm") : nullptr, w, h) {
    }

    // A canvas made by the caller (a subclass that draws something else too); null without an application.
    LiveCanvas(std::unique_ptr<GLPelm> canvas, int w, int h)
        : pelm(std::move(canvas)), width_(w), height_(h) {
        if (!pelm)
            return;
        pelm->resize(w, h);
        pelm->show();
        if (QTest::qWaitForWindowExposed(pelm.get()))
            pelm->grabFramebuffer(); // runs initializeGL and resizeGL now
    }

    // Shown at its requested size with a working context.
    bool ready() const {
        return pelm && pelm->context() && pelm->context()->isValid() && pelm->width() == width_ &&
               pelm->height() == height_;
    }
    // The tests' pixel positions are for a device pixel ratio of 1.
    bool unscaled() const { return pelm->devicePixelRatioF() == 1.0; }

    void press(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(pelm.get(), button, Qt::NoModifier, at);
    }
    void release(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseRelease(pelm.get(), button, Qt::NoModifier, at);
    }
    // A move with buttons held, sent directly: QTest::mouseMove carries no buttons.
    void moveHolding(QPoint to, Qt::MouseButtons held) {
        QMouseEvent event(QEvent::MouseMove, QPointF(to), pelm->mapToGlobal(QPointF(to)), Qt::NoButton, held,
                          Qt::NoModifier);
        QApplication::sendEvent(pelm.get(), &event);
    }
    // Press and release, then a pause so the next click is no double click.
    void click(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        press(at, button);
        release(at, button);
        QTest::qWait(5);
    }
    // Two quick clicks as real input delivers them: through the window system, so Qt itself turns
    // the second press into a double-click event.
    void doubleClick(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QWindow* window = pelm->window()->windowHandle();
        QTest::mouseDClick(window, button, Qt::NoModifier, window->mapFromGlobal(pelm->mapToGlobal(at)));
        QTest::qWait(5);
    }
    // Press, one move, release with one button.
    void drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton) {
        press(from, button);
        moveHolding(to, button);
        release(to, button);
        QTest::qWait(5);
    }
    void key(Qt::Key k) { QTest::keyClick(pelm.get(), k); }

private:
    int width_, height_;
};

// A curve through the points, of that order and form, appended to the canvas's scene.
inline NurbsCurve* addSceneCurve(GLPelm& p, std::initializer_list<ControlPoint> points, int order,
                                 int form = NurbsCurve::Interpolated) {
    auto* curve = new NurbsCurve;
    curve->setOrder(order);
    curve->setCurveMode(form);
    for (const ControlPoint& q : points)
        curve->appendPoint(q);
    p.scene.append(curve, ObjectKind::Curve);
    return curve;
}

#define KNOTWORK_REQUIRE_CANVAS(canvas)                                                                      \
    do {                                                                                                     \
        if (!(canvas).ready())                                                                               \
            GTEST_SKIP() << "no shown GL canvas (run under xvfb-run)";                                       \
    } while (0)

// The pixel positions of most canvas tests assume a device pixel ratio of 1.
#define KNOTWORK_REQUIRE_UNSCALED_CANVAS(canvas)                                                             \
    do {                                                                                                     \
        KNOTWORK_REQUIRE_CANVAS(canvas);                                                                     \
        if (!(canvas).unscaled())                                                                            \
            GTEST_SKIP() << "positions here are for a device pixel ratio of 1";                              \
    } while (0)
