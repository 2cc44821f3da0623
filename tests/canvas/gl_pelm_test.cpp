// GLPelm: view rectangles, the frame as pixels, what each view draws, scene ownership and tool slots.
#include "canvas/gl_pelm.h"

#include "feedback_recorder.h"
#include "geometry/scene_object.h"
#include "gl_test_context.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include "stub_scene_object.h"
#include <GL/gl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

// A font texture of one flat colour, white with alpha 128: every glyph is a solid square that adds
// 0.4 * 128 / 255 to what lies under it (the title's blend is source alpha and one).
constexpr float glyphAdd = 0.4f * 128 / 255;

bool writeFlatFont(const QString& path) {
    QByteArray bytes(18, '\0');
    bytes[2] = 2;   // uncompressed true colour
    bytes[13] = 1;  // width 256
    bytes[15] = 1;  // height 256
    bytes[16] = 32; // bits per pixel
    for (int i = 0; i < 256 * 256; ++i)
        bytes.append("\xff\xff\xff\x80", 4);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

struct DrawCall {
    bool active, perspective, lighting, depthTest;
    int viewport[4];
};

// Records every draw with the GL state it ran under; counts its own destruction.
class RecordingObject : public StubSceneObject {
public:
    std::vector<DrawCall>* log;

    RecordingObject(std::vector<DrawCall>* log, int* destroyed) : StubSceneObject(destroyed), log(log) {}
    void draw(bool active, bool perspective) override {
        DrawCall call{
            active, perspective, glIsEnabled(GL_LIGHTING) != 0, glIsEnabled(GL_DEPTH_TEST) != 0, {}};
        glGetIntegerv(GL_VIEWPORT, call.viewport);
        log->push_back(call);
    }
};

// A canvas shown at a fixed logical size and initialised with the flat font, which it finds in a
// temporary working directory (the locator looks there first).
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
        if (QTest::qWaitForWindowExposed(pelm.get()))
            pelm->grabFramebuffer(); // runs initializeGL while the font is in reach
        QDir::setCurrent(previous);
    }
    bool ready() const { return pelm->context() && pelm->context()->isValid(); }
    QImage frame() { return pelm->grabFramebuffer(); }

private:
    QTemporaryDir dir_;
};

// An image pixel (y down) at a GL window position (y up), both in device pixels.
QColor pixelAtGl(const QImage& image, int glX, int glY) {
    return image.pixelColor(glX, image.height() - 1 - glY);
}

bool near(const QColor& c, float r, float g, float b) {
    const auto off = [](int channel, float f) { return std::abs(channel - int(std::lround(f * 255))) > 2; };
    return !off(c.red(), r) && !off(c.green(), g) && !off(c.blue(), b);
}

std::string describe(const QColor& c) {
    return QString("(%1, %2, %3)").arg(c.red()).arg(c.green()).arg(c.blue()).toStdString();
}

// GL window position of a world point of an orthographic view's screen plane.
std::pair<double, double> worldToGl(const Viewport& v, double wx, double wy) {
    double l, r, b, t;
    v.orthographicExtents(l, r, b, t);
    return {v.x + (wx - l) / (r - l) * v.width, v.y + (wy - b) / (t - b) * (v.height - 18)};
}

} // namespace

TEST(GLPelmLayout, ViewRectanglesSplitPointAndHandle) {
    struct Case {
        int w, h, offsetX;
        float splitX, splitY;
        float rects[4][4]; // top, perspective, left, front: x, y, width, height
    };
    // clang-format off
    const Case cases[] = {
        {800, 600, 0, 400, 300, {{0, 300, 400, 300}, {400, 300, 400, 300}, {400, 0, 400, 300}, {0, 0, 400, 300}}},
        // Odd sizes: the right and upper views get the extra pixel.
        {801, 601, 0, 400, 300, {{0, 300, 400, 301}, {400, 300, 401, 301}, {400, 0, 401, 300}, {0, 0, 400, 300}}},
        {800, 600, 50, 450, 300, {{0, 300, 450, 300}, {450, 300, 350, 300}, {450, 0, 350, 300}, {0, 0, 450, 300}}},
    };
    // clang-format on
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h << " offset " << c.offsetX);
        ShownCanvas canvas(c.w, c.h);
        ASSERT_TRUE(canvas.ready());
        GLPelm& p = *canvas.pelm;
        if (p.devicePixelRatioF() != 1.0)
            GTEST_SKIP() << "sizes here are for a device pixel ratio of 1";
        p.splitOffsetX = c.offsetX;
        p.placeSplitPoint();
        EXPECT_EQ(p.halfWidth, c.w / 2);
        EXPECT_EQ(p.halfHeight, c.h / 2);
        EXPECT_EQ(p.splitX, c.splitX);
        EXPECT_EQ(p.splitY, c.splitY);
        const Viewport* views[] = {&p.topView, &p.perspectiveView, &p.leftView, &p.frontView};
        for (int i = 0; i < 4; ++i) {
            const Viewport& v = *views[i];
            const float* r = c.rects[i];
            EXPECT_TRUE(v.x == r[0] && v.y == r[1] && v.width == r[2] && v.height == r[3])
                << v.title << ": " << v.x << " " << v.y << " " << v.width << " " << v.height;
        }
        // The handle spans splitX +- 6 by splitY +- 6: its outline takes the edge pixels, inside is
        // the handle colour; 8 pixels up and left is the top view again.
        const QImage image = canvas.frame();
        const int sx = int(c.splitX), sy = int(c.splitY);
        for (int dx : {-4, 0, 4})
            for (int dy : {-4, 0, 4})
                EXPECT_TRUE(near(pixelAtGl(image, sx + dx, sy + dy), 0.625f, 0.614f, 0.547f))
                    << dx << ", " << dy << ": " << describe(pixelAtGl(image, sx + dx, sy + dy));
        EXPECT_TRUE(near(pixelAtGl(image, sx - 8, sy + 8), 0.925f, 0.925f, 0.925f));
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
    ASSERT_TRUE(p.textFont.loaded()) << "the font in the working directory was not found";
    const QImage image = canvas.frame();
    ASSERT_EQ(image.size(), QSize(800, 600));

    struct Probe {
        const char* what;
        int x, y;
        float r, g, b;
    };
    const auto [bgX, bgY] = worldToGl(p.frontView, 2.5, 2.5);   // between grid lines
    const auto [gridX, gridY] = worldToGl(p.topView, 2.5, 5.0); // row centre: no rounding doubt
    const Probe probes[] = {
        {"orthographic background", int(bgX), int(bgY), 0.925f, 0.925f, 0.925f},
        {"grid line", int(gridX), int(gridY), 0.825f, 0.825f, 0.825f},
        {"perspective centre", 600, 450, 0, 0, 0},
        {"perspective lower left", 410, 305, 0, 0, 0},
        {"perspective lower right", 795, 305, 0, 0, 0},
        {"top view strip fill", 300, 590, 0.725f, 0.714f, 0.647f},
        // Inside the second glyph (7 + 14 + 8), clear of the 2-pixel overlaps of its neighbours.
        {"title text", 29, 591, 0.725f + glyphAdd, 0.714f + glyphAdd, 0.647f + glyphAdd},
        {"handle", 400, 300, 0.625f, 0.614f, 0.547f},
    };
    for (const Probe& probe : probes) {
        const QColor c = pixelAtGl(image, probe.x, probe.y);
        EXPECT_TRUE(near(c, probe.r, probe.g, probe.b))
            << probe.what << " at " << probe.x << ", " << probe.y << ": " << describe(c);
    }
    EXPECT_EQ(pixelAtGl(image, int(bgX), int(bgY)).red(), 236);

    // Lines that fall on a pixel edge: the axis at world y = 0 (left view) and the handle's outline
    // at x = 394 each colour one of the pixels beside the edge.
    const auto anyOf = [&](std::initializer_list<std::pair<int, int>> pixels, float grey) {
        return std::any_of(pixels.begin(), pixels.end(), [&](auto xy) {
            return near(pixelAtGl(image, xy.first, xy.second), grey, grey, grey);
        });
    };
    const auto [axisX, axisY] = worldToGl(p.leftView, 2.5, 0.0);
    const int row = int(std::lround(axisY));
    EXPECT_TRUE(anyOf({{int(axisX), row}, {int(axisX), row - 1}}, 0.525f)) << "axis line";
    EXPECT_TRUE(anyOf({{393, 300}, {394, 300}}, 0.0f)) << "handle outline";
}

TEST(GLPelmFrame, TitleStripAndTextPlacement) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    ShownCanvas canvas(400, 300);
    ASSERT_TRUE(canvas.ready());
    GLPelm& p = *canvas.pelm;
    ASSERT_TRUE(p.textFont.loaded());
    p.makeCurrent();
    glDisable(GL_LIGHTING); // as in the views' decoration pass
    const auto primitives = FeedbackRecorder(1000).record([&] { p.topView.drawTitleStrip(400, 300); });
    p.doneCurrent();
    // Bounds of the strip fill and of the text quads, told apart by colour.
    float fill[4] = {1e9f, 1e9f, -1e9f, -1e9f}, text[4] = {1e9f, 1e9f, -1e9f, -1e9f};
    for (const auto& prim : primitives) {
        if (prim.type != FeedbackPrimitive::Polygon)
            continue;
        float* box = std::fabs(prim.vertices[0].r - 0.4f) < 0.01f     ? text
                     : std::fabs(prim.vertices[0].r - 0.725f) < 0.01f ? fill
                                                                      : nullptr;
        for (const auto& v : prim.vertices)
            if (box) {
                box[0] = std::min(box[0], v.x), box[1] = std::min(box[1], v.y);
                box[2] = std::max(box[2], v.x), box[3] = std::max(box[3], v.y);
            }
    }
    EXPECT_NEAR(fill[1], 282.0f, 0.01f);
    EXPECT_NEAR(fill[3], 300.0f, 0.01f);
    EXPECT_NEAR(fill[2] - fill[0], 400.0f, 0.01f);
    EXPECT_NEAR(text[0], 7.0f, 0.01f);
    EXPECT_NEAR(text[1], 283.0f, 0.01f);
    // "Top: (x,z)-axis": glyphs 16 wide, 14 apart.
    EXPECT_NEAR(text[2], 7.0f + 14.0f * (p.topView.title.size() - 1) + 16.0f, 0.01f);
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
        {ObjectKind::Curve, true, true}, // the active object
        {ObjectKind::Curve, true, false},
        {ObjectKind::Revolution, true, false},
        {ObjectKind::Coons, true, true}, // the picked curve: shown as active too
        {ObjectKind::Extrusion, true, false},
        {ObjectKind::None, false, false},
        {7, false, false},
    };
    std::vector<std::vector<DrawCall>> logs(std::size(entries));
    for (size_t i = 0; i < std::size(entries); ++i)
        p.scene.append(new RecordingObject(&logs[i], nullptr), entries[i].kind);
    p.activeObject = p.scene.objectAt(0);
    p.activeKind = ObjectKind::Curve;
    p.pickedCurve = p.scene.objectAt(3);

    // Views in drawing order, each drawn below its 18-pixel strip.
    const int views[4][4] = {{0, 300, 400, 282}, {400, 300, 400, 282}, {400, 0, 400, 282}, {0, 0, 400, 282}};
    canvas.frame();
    for (size_t i = 0; i < std::size(entries); ++i) {
        SCOPED_TRACE(testing::Message() << "object " << i);
        ASSERT_EQ(logs[i].size(), entries[i].drawn ? 4u : 0u);
        for (size_t v = 0; v < logs[i].size(); ++v) {
            const DrawCall& call = logs[i][v];
            EXPECT_EQ(call.active, entries[i].active);
            EXPECT_EQ(call.perspective, v == 1);
            EXPECT_TRUE(call.lighting && call.depthTest);
            EXPECT_TRUE(std::equal(call.viewport, call.viewport + 4, views[v])) << "view " << v;
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
    EXPECT_EQ(logs[0][0].viewport[1], 300);
    EXPECT_FALSE(logs[0][1].perspective);
    EXPECT_EQ(logs[0][1].viewport[2], 800);
}

TEST(GLPelmScene, OwnsItsObjects) {
    int destroyed = 0;
    {
        GLPelm pelm(nullptr, "glpelm");
        EXPECT_EQ(pelm.focusPolicy(), Qt::StrongFocus);
        for (int kind : {ObjectKind::Curve, ObjectKind::Revolution, ObjectKind::None, ObjectKind::Curve})
            pelm.scene.append(new RecordingObject(nullptr, &destroyed), kind);
        pelm.scene.remove(pelm.scene.objectAt(1));
        EXPECT_EQ(destroyed, 1);
        EXPECT_EQ(pelm.scene.size(), 3);
    }
    EXPECT_EQ(destroyed, 4);
}

TEST(GLPelmSlots, ToolSlotsSetTheirModes) {
    const std::pair<void (GLPelm::*)(), int> cases[] = {
        {&GLPelm::translateClicked, 5}, {&GLPelm::rotateClicked, 7},  {&GLPelm::scaleClicked, 6},
        {&GLPelm::panClicked, 8},       {&GLPelm::zoomClicked, 9},    {&GLPelm::vrotateClicked, 10},
        {&GLPelm::insertCPClicked, 13}, {&GLPelm::editCPClicked, 14}, {&GLPelm::deleteCPClicked, 16},
    };
    GLPelm pelm(nullptr, "glpelm");
    EXPECT_TRUE(pelm.toolMode < 5 || pelm.toolMode > 20) << "a fresh canvas has no tool";
    for (const auto& [slot, mode] : cases) {
        pelm.toolMode = ToolMode::Idle;
        (pelm.*slot)();
        EXPECT_EQ(pelm.toolMode, mode);
    }
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
    const int w = int(std::lround(400 * ratio)), h = int(std::lround(300 * ratio));
    const QImage image = canvas.frame();
    ASSERT_EQ(image.size(), QSize(w, h));
    EXPECT_EQ(p.canvasWidth, w);
    EXPECT_EQ(p.splitX, w / 2);
    EXPECT_EQ(p.splitY, h / 2);
    // The perspective view's black reaches the corners of the upper right quarter (below its strip).
    for (const auto& [x, y] : {std::pair{w / 2 + 10, h / 2 + 10}, {w - 3, h / 2 + 3}, {w - 3, h - 22}}) {
        const QColor c = pixelAtGl(image, x, y);
        EXPECT_TRUE(near(c, 0, 0, 0)) << x << ", " << y << ": " << describe(c);
    }
    EXPECT_TRUE(near(pixelAtGl(image, w / 4 + 3, h / 4 + 3), 0.925f, 0.925f, 0.925f));
    EXPECT_TRUE(near(pixelAtGl(image, w / 2, h / 2), 0.625f, 0.614f, 0.547f));
}
