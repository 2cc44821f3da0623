// GLPelm: view rectangles, the frame as pixels, what each view draws, scene ownership and tool slots.
#include "gl_pelm.h"

#include "feedback_recorder.h"
#include "gl_test_context.h"
#include "scene_object.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

// A font texture of one flat colour: white with alpha 128, so every glyph is a solid square whose
// colour over the strip is known exactly (blending adds 0.4 * alpha to what is there).
constexpr int fontAlpha = 128;

bool writeFlatFont(const QString& path) {
    const int size = 256;
    QByteArray bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = static_cast<char>(size & 0xff);
    bytes[13] = static_cast<char>(size >> 8);
    bytes[14] = static_cast<char>(size & 0xff);
    bytes[15] = static_cast<char>(size >> 8);
    bytes[16] = 32;
    for (int i = 0; i < size * size; ++i)
        bytes.append("\xff\xff\xff").append(static_cast<char>(fontAlpha));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

struct DrawCall {
    bool active, perspective;
    int viewport[4];
    bool lighting, depthTest;
};

// Records every draw with the GL state it ran under; counts its own destruction.
class RecordingObject : public SceneObject {
public:
    std::vector<DrawCall>* log = nullptr;
    int* destroyed = nullptr;

    RecordingObject(std::vector<DrawCall>* log, int* destroyed) : log(log), destroyed(destroyed) {}
    ~RecordingObject() override {
        if (destroyed)
            ++*destroyed;
    }
    void draw(bool active, bool perspective) override {
        if (!log)
            return;
        DrawCall call{active, perspective, {}, glIsEnabled(GL_LIGHTING) != 0, glIsEnabled(GL_DEPTH_TEST) != 0};
        glGetIntegerv(GL_VIEWPORT, call.viewport);
        log->push_back(call);
    }
    bool hitTest(double, double, double, int) override { return false; }
    void write(std::ostream&, const SceneList&) const override {}
    void read(std::istream&) override {}
    void resolveLinks(const SceneList&) override {}
};

// A canvas shown at a fixed logical size, initialised with the flat font from a temporary
// working directory (the locator looks there first).
class ShownCanvas {
public:
    std::unique_ptr<GLPelm> pelm;

    ShownCanvas(int w, int h) {
        const QString previous = QDir::currentPath();
        if (dir_.isValid() && writeFlatFont(dir_.filePath("data.tga")))
            QDir::setCurrent(dir_.path());
        pelm = std::make_unique<GLPelm>(nullptr, "glpelm");
        pelm->resize(w, h);
        pelm->show();
        exposed_ = QTest::qWaitForWindowExposed(pelm.get());
        if (exposed_)
            pelm->grabFramebuffer(); // runs initializeGL while the font is in reach
        QDir::setCurrent(previous);
    }
    bool ready() const { return exposed_ && pelm->context() && pelm->context()->isValid(); }
    QImage frame() { return pelm->grabFramebuffer(); }

private:
    QTemporaryDir dir_;
    bool exposed_ = false;
};

// An image pixel (y down) for a GL window position (y up), both in device pixels.
QColor pixelAtGl(const QImage& image, int glX, int glY) { return image.pixelColor(glX, image.height() - 1 - glY); }

bool near(const QColor& c, float r, float g, float b, int tolerance = 2) {
    const auto channel = [](float f) { return static_cast<int>(std::lround(f * 255.0f)); };
    return std::abs(c.red() - channel(r)) <= tolerance && std::abs(c.green() - channel(g)) <= tolerance &&
           std::abs(c.blue() - channel(b)) <= tolerance;
}

// GL window position of a world point (x, y in the view's screen plane) in an orthographic view.
void worldToGl(const Viewport& v, double wx, double wy, double& gx, double& gy) {
    double l, r, b, t;
    v.orthographicExtents(l, r, b, t);
    gx = v.x + (wx - l) / (r - l) * v.width;
    gy = v.y + (wy - b) / (t - b) * (v.height - 18);
}

std::string describe(const QColor& c) {
    return QString("(%1, %2, %3)").arg(c.red()).arg(c.green()).arg(c.blue()).toStdString();
}

} // namespace

TEST(GLPelmLayout, ViewRectanglesSplitPointAndHandle) {
    struct Rect {
        float x, y, w, h;
    };
    struct Case {
        int w, h, offsetX;
        float splitX, splitY;
        Rect top, perspective, left, front;
    };
    const Case cases[] = {
        {800, 600, 0, 400, 300, {0, 300, 400, 300}, {400, 300, 400, 300}, {400, 0, 400, 300}, {0, 0, 400, 300}},
        // Odd sizes: the right and upper views get the extra pixel.
        {801, 601, 0, 400, 300, {0, 300, 400, 301}, {400, 300, 401, 301}, {400, 0, 401, 300}, {0, 0, 400, 300}},
        {800, 600, 50, 450, 300, {0, 300, 450, 300}, {450, 300, 350, 300}, {450, 0, 350, 300}, {0, 0, 450, 300}},
    };
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h << " offset " << c.offsetX);
        ShownCanvas canvas(c.w, c.h);
        ASSERT_TRUE(canvas.ready());
        GLPelm& p = *canvas.pelm;
        if (p.devicePixelRatioF() != 1.0)
            GTEST_SKIP() << "sizes here are for a device pixel ratio of 1";
        if (c.offsetX != 0) {
            p.splitOffsetX = c.offsetX;
            p.placeSplitPoint();
        }
        EXPECT_EQ(p.canvasWidth, c.w);
        EXPECT_EQ(p.canvasHeight, c.h);
        EXPECT_EQ(p.halfWidth, c.w / 2);
        EXPECT_EQ(p.halfHeight, c.h / 2);
        EXPECT_EQ(p.splitX, c.splitX);
        EXPECT_EQ(p.splitY, c.splitY);
        const std::pair<const Viewport*, Rect> views[] = {
            {&p.topView, c.top}, {&p.perspectiveView, c.perspective}, {&p.leftView, c.left}, {&p.frontView, c.front}};
        for (const auto& [view, rect] : views) {
            SCOPED_TRACE(view->title);
            EXPECT_EQ(view->x, rect.x);
            EXPECT_EQ(view->y, rect.y);
            EXPECT_EQ(view->width, rect.w);
            EXPECT_EQ(view->height, rect.h);
            EXPECT_NE(view->gridList, 0u);
        }

        // The handle square spans splitX +- 6 by splitY +- 6; its outline takes the edge pixels, the
        // inside is handle-coloured.
        const QImage image = canvas.frame();
        const int sx = static_cast<int>(c.splitX), sy = static_cast<int>(c.splitY);
        for (int dx : {-4, 0, 4})
            for (int dy : {-4, 0, 4}) {
                const QColor colour = pixelAtGl(image, sx + dx, sy + dy);
                EXPECT_TRUE(near(colour, 0.625f, 0.614f, 0.547f)) << dx << ", " << dy << ": " << describe(colour);
            }
        // ...and nothing of it 8 pixels out (upper left of the split point is the top view's background).
        EXPECT_FALSE(near(pixelAtGl(image, sx - 8, sy + 8), 0.625f, 0.614f, 0.547f, 20));
    }
}

TEST(GLPelmFrame, PixelProbesAt800x600) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    ShownCanvas canvas(800, 600);
    ASSERT_TRUE(canvas.ready());
    GLPelm& p = *canvas.pelm;
    if (p.devicePixelRatioF() != 1.0)
        GTEST_SKIP() << "probes here are for a device pixel ratio of 1";
    const QImage image = canvas.frame();
    ASSERT_EQ(image.width(), 800);
    ASSERT_EQ(image.height(), 600);

    // Between grid lines: world (2.5, 2.5) in the front view.
    double gx, gy;
    worldToGl(p.frontView, 2.5, 2.5, gx, gy);
    QColor c = pixelAtGl(image, int(gx), int(gy));
    EXPECT_TRUE(near(c, 0.925f, 0.925f, 0.925f)) << "background " << describe(c);
    EXPECT_EQ(c.red(), 236);

    // A grid line at world y = 5 (its row lies mid-pixel: no rounding ambiguity), away from verticals.
    worldToGl(p.topView, 2.5, 5.0, gx, gy);
    c = pixelAtGl(image, int(gx), int(std::floor(gy)));
    EXPECT_TRUE(near(c, 0.825f, 0.825f, 0.825f)) << "grid line " << describe(c);

    // The horizontal axis at world y = 0 falls on a pixel edge: one of the two rows carries it.
    worldToGl(p.leftView, 2.5, 0.0, gx, gy);
    const int axisRow = int(std::lround(gy));
    EXPECT_TRUE(near(pixelAtGl(image, int(gx), axisRow), 0.525f, 0.525f, 0.525f) ||
                near(pixelAtGl(image, int(gx), axisRow - 1), 0.525f, 0.525f, 0.525f))
        << "axis line " << describe(pixelAtGl(image, int(gx), axisRow)) << " / "
        << describe(pixelAtGl(image, int(gx), axisRow - 1));

    // The perspective view is black below its strip.
    for (const auto& [x, y] : {std::pair{600, 150}, {410, 5}, {795, 275}}) {
        c = pixelAtGl(image, x, y + 300);
        EXPECT_TRUE(near(c, 0, 0, 0)) << "perspective at " << x << ", " << y << ": " << describe(c);
    }

    // The title strip of the top view: rows 582..599 of the canvas; fill right of the title text.
    c = pixelAtGl(image, 300, 300 + 290);
    EXPECT_TRUE(near(c, 0.725f, 0.714f, 0.647f)) << "strip fill " << describe(c);
    if (p.textFont.loaded()) {
        // Inside the second glyph (7 + 14 + 8), clear of the 2-pixel overlaps of neighbours.
        const float add = 0.4f * fontAlpha / 255.0f;
        c = pixelAtGl(image, 29, 300 + 291);
        EXPECT_TRUE(near(c, 0.725f + add, 0.714f + add, 0.647f + add)) << "title text " << describe(c);
    } else {
        ADD_FAILURE() << "the font in the working directory was not loaded";
    }

    // The handle's black outline runs along x = 394 (on a pixel edge: column 393 or 394).
    bool outline = false;
    for (int x = 392; x <= 395; ++x)
        outline = outline || near(pixelAtGl(image, x, 300), 0, 0, 0);
    EXPECT_TRUE(outline);
}

TEST(GLPelmFrame, TitleTextStartsAboveTheStripBottom) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    ShownCanvas canvas(800, 600);
    ASSERT_TRUE(canvas.ready());
    GLPelm& p = *canvas.pelm;
    ASSERT_TRUE(p.textFont.loaded());
    p.makeCurrent();
    glDisable(GL_LIGHTING); // as in the views' decoration pass
    const auto primitives = FeedbackRecorder(1000).record([&] { p.topView.drawTitleStrip(400, 300); });
    p.doneCurrent();
    float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
    int textVertices = 0;
    for (const auto& prim : primitives)
        for (const auto& v : prim.vertices)
            if (prim.type == FeedbackPrimitive::Polygon && std::fabs(v.r - 0.4f) < 0.01f &&
                std::fabs(v.a - 1.0f) < 0.01f) {
                ++textVertices;
                minX = std::min(minX, v.x);
                minY = std::min(minY, v.y);
                maxX = std::max(maxX, v.x);
                maxY = std::max(maxY, v.y);
            }
    ASSERT_GT(textVertices, 0);
    EXPECT_NEAR(minX, 7.0f, 0.01f);
    EXPECT_NEAR(minY, 283.0f, 0.01f);
    EXPECT_NEAR(maxY, 299.0f, 0.01f);
    // "Top: (x,z)-axis": 15 glyphs 16 wide, 14 apart.
    EXPECT_NEAR(maxX, 7.0f + 14.0f * (p.topView.title.size() - 1) + 16.0f, 0.01f);
}

TEST(GLPelmScene, DrawsEachDrawableObjectOncePerViewWithItsFlags) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    ShownCanvas canvas(800, 600);
    ASSERT_TRUE(canvas.ready());
    GLPelm& p = *canvas.pelm;
    if (p.devicePixelRatioF() != 1.0)
        GTEST_SKIP() << "view rectangles here are for a device pixel ratio of 1";

    struct Entry {
        int kind;
        bool drawn, active;
    };
    const Entry entries[] = {
        {ObjectKind::Curve, true, true},      // the active object
        {ObjectKind::Curve, true, false},     //
        {ObjectKind::Revolution, true, false}, //
        {ObjectKind::Coons, true, true},      // the picked curve's slot: shown as active too
        {ObjectKind::Extrusion, true, false}, //
        {ObjectKind::None, false, false},     // other kinds stay in the list undrawn
        {7, false, false},
    };
    std::vector<std::vector<DrawCall>> logs(std::size(entries));
    for (size_t i = 0; i < std::size(entries); ++i)
        p.scene.append(new RecordingObject(&logs[i], nullptr), entries[i].kind);
    p.activeObject = p.scene.objectAt(0);
    p.activeKind = ObjectKind::Curve;
    p.pickedCurve = p.scene.objectAt(3);

    struct View {
        const char* name;
        int x, y;
        bool perspective;
    };
    const View order[] = {{"top", 0, 300, false}, {"perspective", 400, 300, true}, {"left", 400, 0, false},
                          {"front", 0, 0, false}};
    canvas.frame();
    for (size_t i = 0; i < std::size(entries); ++i) {
        SCOPED_TRACE(testing::Message() << "object " << i);
        const auto& log = logs[i];
        if (!entries[i].drawn) {
            EXPECT_TRUE(log.empty());
            continue;
        }
        ASSERT_EQ(log.size(), 4u);
        for (size_t v = 0; v < 4; ++v) {
            SCOPED_TRACE(order[v].name);
            EXPECT_EQ(log[v].active, entries[i].active);
            EXPECT_EQ(log[v].perspective, order[v].perspective);
            EXPECT_TRUE(log[v].lighting);
            EXPECT_TRUE(log[v].depthTest);
            // Drawn below the view's title strip.
            EXPECT_EQ(log[v].viewport[0], order[v].x);
            EXPECT_EQ(log[v].viewport[1], order[v].y);
            EXPECT_EQ(log[v].viewport[2], 400);
            EXPECT_EQ(log[v].viewport[3], 300 - 18);
        }
    }

    // With the split point at the left edge the top and front views have no width and are skipped.
    for (auto& log : logs)
        log.clear();
    p.splitOffsetX = -400;
    p.placeSplitPoint();
    canvas.frame();
    ASSERT_EQ(logs[0].size(), 2u);
    EXPECT_TRUE(logs[0][0].perspective);
    EXPECT_EQ(logs[0][0].viewport[0], 0);
    EXPECT_EQ(logs[0][0].viewport[1], 300);
    EXPECT_FALSE(logs[0][1].perspective);
    EXPECT_EQ(logs[0][1].viewport[1], 0);
    EXPECT_EQ(logs[0][1].viewport[2], 800);
}

TEST(GLPelmScene, OwnsItsObjects) {
    int destroyed = 0;
    {
        GLPelm pelm(nullptr, "glpelm");
        EXPECT_EQ(pelm.objectName(), "glpelm");
        EXPECT_EQ(pelm.focusPolicy(), Qt::StrongFocus);
        for (int kind : {ObjectKind::Curve, ObjectKind::Revolution, ObjectKind::None, ObjectKind::Curve})
            pelm.scene.append(new RecordingObject(nullptr, &destroyed), kind);
        SceneObject* second = pelm.scene.objectAt(1);
        pelm.scene.remove(second);
        EXPECT_EQ(destroyed, 1);
        EXPECT_EQ(pelm.scene.size(), 3);
        EXPECT_FALSE(pelm.scene.contains(second));
    }
    EXPECT_EQ(destroyed, 4);
}

TEST(GLPelmSlots, ToolSlotsSetTheirModes) {
    struct Case {
        void (GLPelm::*slot)();
        int mode;
    };
    const Case cases[] = {
        {&GLPelm::translateClicked, 5}, {&GLPelm::rotateClicked, 7},    {&GLPelm::scaleClicked, 6},
        {&GLPelm::panClicked, 8},       {&GLPelm::zoomClicked, 9},      {&GLPelm::vrotateClicked, 10},
        {&GLPelm::insertCPClicked, 13}, {&GLPelm::editCPClicked, 14},   {&GLPelm::deleteCPClicked, 16},
    };
    GLPelm pelm(nullptr, "glpelm");
    EXPECT_TRUE(pelm.toolMode < 5 || pelm.toolMode > 20) << "a fresh canvas has no tool";
    for (const Case& c : cases) {
        pelm.toolMode = ToolMode::Idle;
        (pelm.*c.slot)();
        EXPECT_EQ(pelm.toolMode, c.mode);
    }
}

TEST(GLPelmInit, DepthStateAfterTheFourViews) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    ShownCanvas canvas(400, 300);
    ASSERT_TRUE(canvas.ready());
    GLPelm& p = *canvas.pelm;
    p.makeCurrent();
    float range[2] = {0, 0}, clearDepth = 0;
    GLint function = 0;
    glGetFloatv(GL_DEPTH_RANGE, range);
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &clearDepth);
    glGetIntegerv(GL_DEPTH_FUNC, &function);
    p.doneCurrent();
    // The perspective view is initialised last: its near and far, clamped, stay in force.
    EXPECT_NEAR(range[0], 0.1f, 1e-6);
    EXPECT_NEAR(range[1], 1.0f, 1e-6);
    EXPECT_NEAR(clearDepth, 1.0f, 1e-6);
    EXPECT_EQ(function, GL_LEQUAL);
    EXPECT_TRUE(p.textFont.loaded());
    for (const Viewport* v : {&p.topView, &p.perspectiveView, &p.leftView, &p.frontView})
        EXPECT_EQ(v->font, &p.textFont) << v->title;
}

// Registered a second time with QT_SCALE_FACTOR=2; in the normal run the ratio is 1 and it skips.
TEST(HighDpi, ViewsFillTheCanvasInDevicePixels) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    ShownCanvas canvas(400, 300);
    ASSERT_TRUE(canvas.ready());
    GLPelm& p = *canvas.pelm;
    const double ratio = p.devicePixelRatioF();
    if (ratio == 1.0)
        GTEST_SKIP() << "needs a device pixel ratio above 1 (QT_SCALE_FACTOR=2)";
    const int w = static_cast<int>(std::lround(400 * ratio)), h = static_cast<int>(std::lround(300 * ratio));
    const QImage image = canvas.frame();
    ASSERT_EQ(image.width(), w);
    ASSERT_EQ(image.height(), h);
    EXPECT_EQ(p.canvasWidth, w);
    EXPECT_EQ(p.canvasHeight, h);
    EXPECT_EQ(p.splitX, w / 2);
    EXPECT_EQ(p.splitY, h / 2);
    EXPECT_EQ(p.perspectiveView.width, w - w / 2);
    EXPECT_EQ(p.perspectiveView.height, h - h / 2);

    // The perspective view's black reaches the corners of the upper right quarter (below its strip).
    for (const auto& [x, y] : {std::pair{w / 2 + 10, h / 2 + 10}, {w - 3, h / 2 + 3}, {w * 3 / 4, h * 3 / 4},
                               {w - 3, h - 22}}) {
        const QColor c = pixelAtGl(image, x, y);
        EXPECT_TRUE(near(c, 0, 0, 0)) << x << ", " << y << ": " << describe(c);
    }
    // The lower left quarter is an orthographic view, the handle sits at the centre.
    EXPECT_TRUE(near(pixelAtGl(image, w / 4 + 3, h / 4 + 3), 0.925f, 0.925f, 0.925f));
    EXPECT_TRUE(near(pixelAtGl(image, w / 2, h / 2), 0.625f, 0.614f, 0.547f));
}
