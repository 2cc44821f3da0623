// The OpenGL canvas: GL set-up, the four view rectangles and the frame.
#include "canvas/gl_pelm.h"

#include "canvas/asset_locator.h"
#include "geometry/nurbs_curve.h"
#include "geometry/scene_object.h"

#include <QImage>
#include <QOpenGLContext>
#include <QTimer>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <initializer_list>

namespace {
// Half the side of the square that marks the split point, in pixels.
constexpr float handleHalfSize = 6.0f;

bool isDrawnKind(int kind) {
    return kind == ObjectKind::Curve || kind == ObjectKind::Revolution || kind == ObjectKind::Coons ||
           kind == ObjectKind::Extrusion;
}
} // namespace

GLPelm::GLPelm(QWidget* parent, const char* name) : QOpenGLWidget(parent) {
    setObjectName(QString::fromLatin1(name ? name : ""));
    setFocusPolicy(Qt::StrongFocus);
    // Moves without a button held show which curve a click would take and the world point under the
    // cursor.
    setMouseTracking(true);
    model.listener = this;
    // A refused curve flashes long enough to be seen, short enough not to look selected.
    flashTimer = new QTimer(this);
    flashTimer->setSingleShot(true);
    flashTimer->setInterval(600);
    connect(flashTimer, &QTimer::timeout, this, [this] {
        flashedCurve = nullptr;
        update();
    });
    // Called on the rebuilder's thread: the repaint that shows the new mesh is queued to this one.
    rebuilder = std::make_unique<MeshRebuilder>([this] {
        QMetaObject::invokeMethod(
            this, [this] { update(); }, Qt::QueuedConnection);
    });
    rebuildTimer = new QTimer(this);
    rebuildTimer->setInterval(100);
    connect(rebuildTimer, &QTimer::timeout, this, &GLPelm::reportRebuildProgress);
}

GLPelm::~GLPelm() {
    // Its thread may be about to queue a repaint of this canvas.
    rebuilder.reset();
    model.listener = nullptr;
    // Objects may hold GL buffers of this canvas's context: they go while it is current. Objects
    // only the history keeps have released theirs when they left the scene.
    const bool hasContext = context() && context()->isValid();
    if (hasContext)
        makeCurrent();
    model.clear();
    if (hasContext)
        doneCurrent();
}

void GLPelm::setToolMode(int mode) {
    if (mode == toolMode)
        return;
    toolMode = mode;
    emit toolModeChanged(mode);
}

void GLPelm::initializeGL() {
    activeObject = nullptr;
    glShadeModel(GL_SMOOTH);
    glClearColor(0.925f, 0.925f, 0.925f, 0.0f);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_NORMALIZE);

    // Set under the identity, so the light stays put relative to the eye in every view.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glLightfv(GL_LIGHT1, GL_AMBIENT, lightAmbient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, lightDiffuse);
    glLightfv(GL_LIGHT1, GL_POSITION, lightPosition);
    glEnable(GL_LIGHT1);

    splitOffsetX = splitOffsetY = 0;
    textFont.load(AssetLocator::find("data.tga"));

    // A context made anew (the canvas moved to another window) holds none of the old list names;
    // releasing them there could free lists this context has just handed out again.
    for (Viewport* view : {&leftView, &frontView, &topView, &perspectiveView})
        view->gridList = 0;
    leftView.init(0.0f, 0.0f, 1.0f, -10.0f, 10.0f, -10.0f, 10.0f, -1000.0f, 1000.0f, &textFont,
                  "Left: (y,z)-axis");
    frontView.init(0.0f, 0.0f, 1.0f, -10.0f, 10.0f, -10.0f, 10.0f, -1000.0f, 1000.0f, &textFont,
                   "Front: (x,y)-axis");
    topView.init(0.0f, 0.0f, 1.0f, -10.0f, 10.0f, -10.0f, 10.0f, -1000.0f, 1000.0f, &textFont,
                 "Top: (x,z)-axis");
    perspectiveView.init(0.0f, 0.0f, 1.0f, -10.0f, 10.0f, -10.0f, 10.0f, 0.1f, 500.0f, &textFont,
                         "Perspective");

    topView.setRotationAndTranslation(0.0f, 0.0f, 0.0f, 90.0f, 0.0f, 0.0f);
    leftView.setRotationAndTranslation(0.0f, 0.0f, 0.0f, 0.0f, -90.0f, 0.0f);
    perspectiveView.setRotationAndTranslation(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f);
}

void GLPelm::resizeGL(int w, int h) {
    // Qt hands over the size in logical pixels; GL viewports are in device pixels.
    const qreal ratio = devicePixelRatioF();
    const int deviceWidth = static_cast<int>(std::lround(w * ratio));
    const int deviceHeight = static_cast<int>(std::lround(h * ratio));
    canvasWidth = static_cast<float>(deviceWidth);
    canvasHeight = static_cast<float>(deviceHeight);
    halfWidth = deviceWidth / 2;
    halfHeight = deviceHeight / 2;
    placeSplitPoint();
    // A scene loaded before the canvas had its size is framed now.
    if (framePending)
        frameAll();
    updateGL();
}

void GLPelm::placeSplitPoint() {
    splitX = static_cast<float>(halfWidth + splitOffsetX);
    splitY = static_cast<float>(halfHeight + splitOffsetY);
    setViewRectangles();
}

void GLPelm::setViewRectangles() {
    const auto setAll = [this] {
        const float w = canvasWidth, h = canvasHeight;
        topView.setRectangle(0.0f, splitY, splitX, h - splitY);
        perspectiveView.setRectangle(splitX, splitY, w - splitX, h - splitY);
        leftView.setRectangle(splitX, 0.0f, w - splitX, splitY);
        frontView.setRectangle(0.0f, 0.0f, splitX, splitY);
    };
    // The grid lists belong to this canvas's context: outside the GL hooks (a handle drag) it
    // has to be made current first.
    QOpenGLContext* own = context();
    if (own && own->isValid() && QOpenGLContext::currentContext() != own) {
        makeCurrent();
        setAll();
        doneCurrent();
    } else {
        setAll();
    }
}

void GLPelm::paintGL() {
    const MeshRebuilder::Scope rebuilding(rebuilder.get());
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();

    // Computed once for the four views.
    const CurvatureComb comb = activeCurvatureComb();
    const std::optional<ControlPoint> parameterPoint = markedCurvePoint();
    for (SceneNode* node = scene.first; node; node = node->next)
        if (auto* curve = dynamic_cast<NurbsCurve*>(node->object))
            curve->pointsSizedByWeight = weightsShown;
    Viewport* const views[] = {&topView, &perspectiveView, &leftView, &frontView};
    for (Viewport* view : views) {
        const bool perspective = view == &perspectiveView;
        glDisable(GL_LIGHTING);
        const bool applied = perspective ? view->applyPerspective() : view->applyOrthographic();
        if (!applied)
            continue;
        if (perspective) {
            gluLookAt(camera.eye.x, camera.eye.y, camera.eye.z, camera.target.x, camera.target.y,
                      camera.target.z, 0.0, 1.0, 0.0);
            glRotated(camera.rotation.x, 1.0, 0.0, 0.0);
            glRotated(camera.rotation.y, 0.0, 1.0, 0.0);
            glRotated(camera.rotation.z, 0.0, 0.0, 1.0);
        }
        glEnable(GL_LIGHTING);
        glEnable(GL_DEPTH_TEST);
        for (SceneNode* node = scene.first; node; node = node->next) {
            if (!isDrawnKind(node->kind) || !node->object)
                continue;
            const bool active = node->object == activeObject || node->object == pickedCurve;
            node->object->draw(active, perspective);
        }
        drawRevolutionAxis();
        drawCurvatureComb(comb);
        drawHoverHighlight();
        drawStripMarks(parameterPoint);
        drawRefusalFlash();
        drawPickedWeight(*view, perspective);
    }

    // The handle goes over everything in its flat colour: without lighting (which would darken it
    // to about 70 %) and without the depth test (objects near the split point would hide it).
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glViewport(0, 0, static_cast<GLsizei>(canvasWidth), static_cast<GLsizei>(canvasHeight));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, canvasWidth, 0.0, canvasHeight, -1000.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const float x0 = splitX - handleHalfSize, x1 = splitX + handleHalfSize;
    const float y0 = splitY - handleHalfSize, y1 = splitY + handleHalfSize;
    glColor3f(0.625f, 0.614f, 0.547f);
    glBegin(GL_QUADS);
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
    glEnd();
    glColor3f(0.0f, 0.0f, 0.0f);
    glBegin(GL_LINE_LOOP);
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
    glEnd();
    glFlush();
    if (!rebuilder->idle() && !rebuildTimer->isActive())
        rebuildTimer->start();
}

void GLPelm::reportRebuildProgress() {
    if (rebuilder->idle()) {
        rebuildTimer->stop();
        if (rebuildProgressShown) {
            rebuildProgressShown = false;
            emit rebuildProgress(-1);
        }
        return;
    }
    if (rebuilder->runningSeconds() * 1000.0 >= rebuildProgressAfterMs) {
        rebuildProgressShown = true;
        emit rebuildProgress(rebuilder->runningPercent());
    }
}

QImage GLPelm::grabSettledFrame() {
    // A frame takes what landed before its first view; a rebuild asked for by the frame, or landing
    // while it draws, needs another.
    for (;;) {
        const std::uint64_t submitted = rebuilder->submissions();
        const std::uint64_t completed = rebuilder->completions();
        QImage frame = grabFramebuffer();
        if (rebuilder->idle() && rebuilder->submissions() == submitted &&
            rebuilder->completions() == completed)
            return frame;
        rebuilder->waitIdle(std::chrono::hours(1));
    }
}
