// Operations on the canvas's views behind the viewport settings.
#include "ui/canvas_view_settings.h"

#include "canvas/gl_pelm.h"

#include <algorithm>

int orthographicGridStep(const GLPelm& canvas) {
    return canvas.topView.gridStepA;
}

void setOrthographicGridStep(GLPelm& canvas, int step) {
    step = std::max(step, 1);
    for (Viewport* view : {&canvas.topView, &canvas.leftView, &canvas.frontView}) {
        view->gridStepA = step;
        view->gridStepB = step;
    }
    // Setting the rectangles again compiles fresh grid lists, in the canvas's context; before
    // the canvas has a context the lists follow at its first resize.
    canvas.setViewRectangles();
    canvas.updateGL();
}

void resetViewPanAndZoom(GLPelm& canvas) {
    for (Viewport* view : {&canvas.topView, &canvas.leftView, &canvas.frontView, &canvas.perspectiveView}) {
        view->panX = 0.0f;
        view->panY = 0.0f;
        view->zoom = 1.0f;
    }
    canvas.updateGL();
}

void resetPerspectiveCamera(GLPelm& canvas) {
    canvas.camera = CameraRecord{};
    canvas.updateGL();
}
