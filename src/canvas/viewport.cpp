// One view of the canvas: its projection, view transform, grid list and decorations.
#include "canvas/viewport.h"

#include "canvas/text_font.h"

#include <QOpenGLContext>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>

namespace {
// The grid spans -200..200 in both directions; its verticals stop short at 182.
constexpr int gridExtent = 200;
constexpr int gridVerticalTop = 182;
} // namespace

void Viewport::init(float panX_, float panY_, float zoom_, float left_, float right_, float bottom_,
                    float top_, float nearPlane_, float farPlane_, TextFont* font_,
                    const std::string& title_) {
    panX = panX_;
    panY = panY_;
    zoom = zoom_;
    left = left_;
    right = right_;
    bottom = bottom_;
    top = top_;
    nearPlane = nearPlane_;
    farPlane = farPlane_;
    font = font_;
    title = title_;
    translationX = translationY = translationZ = 0.0f;
    rotationX = rotationY = rotationZ = 0.0f;
    gridStepA = gridStepB = 5;
    // GL clamps both to 0..1: the orthographic views give 0..1, the perspective one 0.1..1.
    glDepthFunc(GL_LEQUAL);
    glClearDepth(farPlane);
    glDepthRange(nearPlane, farPlane);
    buildGridList();
}

void Viewport::setRotationAndTranslation(float tx, float ty, float tz, float rx, float ry, float rz) {
    translationX = tx;
    translationY = ty;
    translationZ = tz;
    rotationX = rx;
    rotationY = ry;
    rotationZ = rz;
}

void Viewport::setRectangle(float x_, float y_, float width_, float height_) {
    x = x_;
    y = y_;
    width = width_;
    height = height_;
    // The view fits the shorter side to the extents (see orthographicExtents); the title strip
    // takes 18 pixels off the height when the height is the shorter side.
    if (height < width) {
        pixelsPerUnitX = height / (right - left);
        pixelsPerUnitY = (height - titleStripHeight) / (top - bottom);
    } else {
        pixelsPerUnitX = width / (right - left);
        pixelsPerUnitY = width / (top - bottom);
    }
    buildGridList();
}

void Viewport::pixelScale(float& px, float& py) const {
    px = pixelsPerUnitX;
    py = pixelsPerUnitY;
}

void Viewport::panBy(float dx, float dy) {
    panX += dx;
    panY += dy;
}

void Viewport::zoomBy(float d) {
    zoom += d;
    if (!(zoom > 0.0f))
        zoom = 0.0001f;
}

void Viewport::orthographicExtents(double& l, double& r, double& b, double& t) const {
    const double w = width, h = height;
    if (w > h) {
        // The ratio uses the full height, not the height below the strip: the picture is squeezed
        // by 18 pixels vertically, and picking relies on exactly this volume.
        l = left * w / h;
        r = right * w / h;
        b = bottom;
        t = top;
    } else {
        l = left;
        r = right;
        b = bottom * (h - titleStripHeight) / w;
        t = top * (h - titleStripHeight) / w;
    }
}

void Viewport::beginPixelDrawing() const {
    glViewport(static_cast<GLint>(x), static_cast<GLint>(y), static_cast<GLsizei>(width),
               static_cast<GLsizei>(height));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1000.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
}

Viewport::Area Viewport::sceneArea() const {
    return {static_cast<int>(x), static_cast<int>(y), std::max(static_cast<int>(width), 0),
            std::max(static_cast<int>(height) - titleStripHeight, 0)};
}

void Viewport::setSceneArea() const {
    // A view lower than its strip has no drawing area; a negative height would be rejected by GL
    // and leave the whole rectangle as the viewport, so the scene would paint over the strip.
    const auto sceneHeight = static_cast<GLsizei>(height) - static_cast<GLsizei>(titleStripHeight);
    glViewport(static_cast<GLint>(x), static_cast<GLint>(y), static_cast<GLsizei>(width),
               std::max<GLsizei>(sceneHeight, 0));
}

bool Viewport::applyOrthographic() {
    if (!(width > 0.0f && height > 0.0f))
        return false;
    beginPixelDrawing();
    drawAxesIndicator();
    drawTitleStrip(width, height);

    setSceneArea();
    double l, r, b, t;
    orthographicExtents(l, r, b, t);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (l != r && b != t)
        glOrtho(l, r, b, t, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    applyViewTransform();
    if (gridList != 0)
        glCallList(gridList);
    return true;
}

bool Viewport::applyPerspective() {
    if (!(width > 0.0f && height > 0.0f))
        return false;
    beginPixelDrawing();
    glColor3f(0.0f, 0.0f, 0.0f);
    glBegin(GL_QUADS);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(width, 0.0f);
    glVertex2f(width, height);
    glVertex2f(0.0f, height);
    glEnd();
    drawTitleStrip(width, height);

    // The aspect is that of the whole rectangle while the scene is drawn below the strip, as in
    // the orthographic views.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(width) / height, nearPlane, farPlane);
    setSceneArea();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    applyViewTransform();
    return true;
}

void Viewport::applyViewTransform() const {
    glTranslatef(panX, panY, 0.0f);
    glScalef(zoom, zoom, zoom);
    glTranslatef(translationX, translationY, translationZ);
    glRotatef(rotationX, 1.0f, 0.0f, 0.0f);
    glRotatef(rotationY, 0.0f, 1.0f, 0.0f);
    glRotatef(rotationZ, 0.0f, 0.0f, 1.0f);
}

std::vector<Viewport::Segment> Viewport::gridSegments(int stepA, int stepB) {
    std::vector<Segment> segments;
    if (stepA >= 1)
        for (int a = -gridExtent; a < gridExtent; a += stepA)
            segments.push_back({float(-gridExtent), float(a), float(gridExtent), float(a)});
    if (stepB >= 1)
        for (int b = -gridExtent; b < gridExtent; b += stepB)
            segments.push_back({float(b), float(-gridExtent), float(b), float(gridVerticalTop)});
    return segments;
}

std::vector<Viewport::Segment> Viewport::axisSegments(int w, int h) {
    return {{float(-w), 0.0f, float(w - 1), 0.0f}, {0.0f, float(-h), 0.0f, float(h) - titleStripHeight}};
}

void Viewport::buildGridList() {
    // Display lists live in the canvas's context; without one (a view set up before the canvas
    // was first shown) the list follows at the next rectangle.
    if (!QOpenGLContext::currentContext())
        return;
    // The new name is taken before the old one is freed, so the two never coincide and a stale
    // name can be told from the current one.
    const GLuint previous = gridList;
    gridList = glGenLists(1);
    glNewList(gridList, GL_COMPILE);
    glPushMatrix();
    // Undo the view's rotation (applied as x, y, z) so the grid lies in the screen plane for
    // the single-axis rotations of the three views.
    glRotatef(-rotationY, 0.0f, 1.0f, 0.0f);
    glRotatef(-rotationZ, 0.0f, 0.0f, 1.0f);
    glRotatef(-rotationX, 1.0f, 0.0f, 0.0f);
    glBegin(GL_LINES);
    glColor3f(0.825f, 0.825f, 0.825f);
    for (const Segment& s : gridSegments(gridStepA, gridStepB)) {
        glVertex3f(s.x0, s.y0, 0.0f);
        glVertex3f(s.x1, s.y1, 0.0f);
    }
    glColor3f(0.525f, 0.525f, 0.525f);
    for (const Segment& s : axisSegments(static_cast<int>(width), static_cast<int>(height))) {
        glVertex3f(s.x0, s.y0, 0.0f);
        glVertex3f(s.x1, s.y1, 0.0f);
    }
    glEnd();
    glPopMatrix();
    glEndList();
    if (previous != 0)
        glDeleteLists(previous, 1);
}

void Viewport::drawAxesIndicator() const {
    // Just in front of the far end of the pixel volume; the third axis runs along the line of
    // sight and shows as a dot at the corner.
    const float z = nearPlane + 20.0f;
    glEnable(GL_DEPTH_TEST);
    glLineWidth(3.0f);
    glColor3f(0.6f, 0.6f, 0.6f);
    glBegin(GL_LINES);
    glVertex3f(10.0f, 10.0f, z);
    glVertex3f(40.0f, 10.0f, z);
    glEnd();
    glBegin(GL_TRIANGLES);
    glVertex3f(40.0f, 5.0f, z);
    glVertex3f(40.0f, 15.0f, z);
    glVertex3f(50.0f, 10.0f, z);
    glEnd();
    glBegin(GL_LINES);
    glVertex3f(10.0f, 10.0f, z);
    glVertex3f(10.0f, 40.0f, z);
    glEnd();
    glBegin(GL_TRIANGLES);
    glVertex3f(5.0f, 40.0f, z);
    glVertex3f(15.0f, 40.0f, z);
    glVertex3f(10.0f, 50.0f, z);
    glEnd();
    glBegin(GL_LINES);
    glVertex3f(10.0f, 10.0f, z);
    glVertex3f(10.0f, 10.0f, nearPlane);
    glEnd();
    glLineWidth(1.0f);
    glDisable(GL_DEPTH_TEST);
}

void Viewport::drawTitleStrip(float w, float h) const {
    const float stripBottom = h - titleStripHeight;
    glColor3f(0.725f, 0.714f, 0.647f);
    glBegin(GL_QUADS);
    glVertex2f(0.0f, stripBottom);
    glVertex2f(w, stripBottom);
    glVertex2f(w, h);
    glVertex2f(0.0f, h);
    glEnd();

    glColor3f(0.525f, 0.514f, 0.447f);
    glBegin(GL_LINE_LOOP);
    glVertex2f(w - 20.0f, h - 15.5f);
    glVertex2f(w - 10.0f, h - 15.5f);
    glVertex2f(w - 10.0f, h - 2.5f);
    glVertex2f(w - 20.0f, h - 2.5f);
    glEnd();

    glColor3f(0.225f, 0.214f, 0.147f);
    glBegin(GL_LINES);
    glVertex2f(0.0f, stripBottom);
    glVertex2f(w, stripBottom);
    glVertex2f(0.0f, h - 1.0f);
    glVertex2f(w, h - 1.0f);
    glVertex2f(w - 1.0f, h - 1.0f);
    glVertex2f(w - 1.0f, 0.0f);
    glEnd();

    if (!font)
        return;
    glPushMatrix();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glColor4f(0.4f, 0.4f, 0.4f, 1.0f);
    glTranslatef(7.0f, h - 17.0f, 0.0f);
    font->print(0, "%s", title.c_str());
    glPopMatrix();
}
