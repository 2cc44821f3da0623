// Where the canvas draws a world point in one of its views, found through gluProject under the very
// matrices the canvas loads for that view: the framing code's own arithmetic is not trusted here.
#pragma once

#include "canvas/gl_pelm.h"

#include <GL/gl.h>
#include <GL/glu.h>

struct DrawnPosition {
    bool projected = false;
    double x = 0.0, y = 0.0, depth = 0.0; // GL window coordinates, origin bottom left
    bool inside = false;                  // within the view's drawing area and depth range
};

// The canvas must have a context (shown). Loads the view's matrices as painting does.
inline DrawnPosition drawnPosition(GLPelm& canvas, int viewKind, const ControlPoint& p) {
    DrawnPosition at;
    canvas.makeCurrent();
    Viewport* view =
        viewKind == ViewKind::Perspective ? &canvas.perspectiveView : canvas.orthographicView(viewKind);
    bool applied = false;
    if (view == &canvas.perspectiveView) {
        applied = view->applyPerspective();
        const CameraRecord& c = canvas.camera;
        gluLookAt(c.eye.x, c.eye.y, c.eye.z, c.target.x, c.target.y, c.target.z, 0.0, 1.0, 0.0);
        glRotated(c.rotation.x, 1.0, 0.0, 0.0);
        glRotated(c.rotation.y, 0.0, 1.0, 0.0);
        glRotated(c.rotation.z, 0.0, 0.0, 1.0);
    } else if (view) {
        applied = view->applyOrthographic();
    }
    if (applied) {
        GLdouble model[16], projection[16];
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        at.projected =
            gluProject(p.x, p.y, p.z, model, projection, viewport, &at.x, &at.y, &at.depth) == GL_TRUE;
        at.inside = at.projected && at.x >= viewport[0] && at.x <= viewport[0] + viewport[2] &&
                    at.y >= viewport[1] && at.y <= viewport[1] + viewport[3] && at.depth >= 0.0 &&
                    at.depth <= 1.0;
    }
    canvas.doneCurrent();
    return at;
}
