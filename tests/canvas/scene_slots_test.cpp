// The canvas's scene-file slots: a load replaces scene and selection only when the whole file is good.

// Before any header that pulls in GL, for glIsBuffer.
#define GL_GLEXT_PROTOTYPES

#include "canvas/gl_pelm.h"
#include "geometry/nurbs_curve.h"
#include "surfaces/predefined_shapes.h"
#include "surfaces/revolution_surface.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

namespace {

// A predefined sphere with its profile active and picked, and a point chosen.
void makeSphereScene(GLPelm& canvas) {
    auto* profile = new NurbsCurve();
    buildPredefinedCurve(*profile, ShapeKind::Sphere);
    canvas.scene.append(profile, ObjectKind::Curve);
    RevolutionSurface* sphere = makePredefinedSurface(profile);
    canvas.scene.append(sphere, ObjectKind::Revolution);
    profile->surfaceLink = sphere;
    profile->linkKind = NurbsCurve::RevolutionLink;
    canvas.activeObject = canvas.pickedCurve = profile;
    canvas.activeKind = ObjectKind::Curve;
    canvas.activePoint = 2;
}

TEST(SceneSlots, SaveThenLoadReplacesSceneAndClearsSelection) {
    if (!QApplication::instance())
        GTEST_SKIP() << "no display (run under xvfb-run)";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.path().toStdString() + "/sphere.nbs";
    GLPelm canvas(nullptr, "canvas");
    makeSphereScene(canvas);
    std::ostringstream out, err;
    ASSERT_TRUE(canvas.saveSceneFile(path.c_str(), out, err)) << err.str();
    EXPECT_EQ(std::filesystem::file_size(path), 326u);

    canvas.scene.append(new NurbsCurve(), ObjectKind::Curve);
    ASSERT_TRUE(canvas.loadSceneFile(path.c_str(), out, err)) << err.str();
    EXPECT_EQ(out.str(), "");
    ASSERT_EQ(canvas.scene.size(), 2);
    EXPECT_TRUE(canvas.activeObject == nullptr && canvas.pickedCurve == nullptr);
    EXPECT_EQ(canvas.activeKind, ObjectKind::None);
    EXPECT_EQ(canvas.activePoint, -1);
    auto* profile = dynamic_cast<NurbsCurve*>(canvas.scene.objectAt(0));
    auto* sphere = dynamic_cast<RevolutionSurface*>(canvas.scene.objectAt(1));
    ASSERT_TRUE(profile && sphere);
    EXPECT_EQ(profile->surfaceLink, sphere);
    EXPECT_EQ(sphere->profile, profile);
}

TEST(SceneSlots, FailuresKeepSceneSelectionAndOldFileAndSaySo) {
    if (!QApplication::instance())
        GTEST_SKIP() << "no display (run under xvfb-run)";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString();
    std::ofstream(folder + "/short.nbs", std::ios::binary) << "1\x04";
    std::ofstream(folder + "/tag.nbs", std::ios::binary) << "9";
    std::filesystem::create_directory(folder + "/taken");
    std::ofstream(folder + "/read-only.nbs") << "kept";
    std::filesystem::permissions(folder + "/read-only.nbs", std::filesystem::perms(0444));
    const std::string badLoad = "Bad input file, please try again.\n";
    const std::string badSave = "Could not open the file to save. Please try again.\n";
    const struct {
        bool save;
        std::string path;
        const char* reason;
    } cases[] = {
        {false, folder + "/missing.nbs", "cannot open"},
        {false, folder + "/short.nbs", "ends inside the record"},
        {false, folder + "/tag.nbs", "unknown tag"},
        {false, folder, "not a regular file"},
        {true, folder + "/none/scene.nbs", "cannot create"},
        {true, folder + "/taken", "cannot replace"},
        {true, folder + "/read-only.nbs", "read-only"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        GLPelm canvas(nullptr, "canvas");
        makeSphereScene(canvas);
        SceneObject* profile = canvas.scene.objectAt(0);
        std::ostringstream out, err;
        EXPECT_FALSE(c.save ? canvas.saveSceneFile(c.path.c_str(), out, err)
                            : canvas.loadSceneFile(c.path.c_str(), out, err));
        EXPECT_EQ(out.str(), c.save ? badSave : badLoad);
        EXPECT_NE(err.str().find(c.reason), std::string::npos) << err.str();
        EXPECT_EQ(canvas.scene.size(), 2);
        EXPECT_TRUE(canvas.scene.objectAt(0) == profile && canvas.activeObject == profile &&
                    canvas.pickedCurve == profile && canvas.activePoint == 2);
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder + "/taken"));
    std::ifstream kept(folder + "/read-only.nbs");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), std::istreambuf_iterator<char>()), "kept");
}

// A file whose profile names a surface that no longer holds it was refused whole; it loads with the
// profile released, and the window's stderr says so.
TEST(SceneSlots, AOneSidedLinkRefusesTheWholeFile) {
    if (!QApplication::instance())
        GTEST_SKIP() << "no display (run under xvfb-run)";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.path().toStdString() + "/sphere.nbs";
    GLPelm canvas(nullptr, "canvas");
    makeSphereScene(canvas);
    std::ostringstream out, err;
    ASSERT_TRUE(canvas.saveSceneFile(path.c_str(), out, err)) << err.str();
    {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(265 + 1); // the surface's profile position
        file.write("\xff\xff\xff\xff", 4);
    }
    ASSERT_TRUE(canvas.loadSceneFile(path.c_str(), out, err)) << err.str();
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("entry 1 (curve)"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("released"), std::string::npos) << err.str();
    ASSERT_EQ(canvas.scene.size(), 2);
    const auto* profile = dynamic_cast<NurbsCurve*>(canvas.scene.objectAt(0));
    ASSERT_TRUE(profile);
    EXPECT_EQ(profile->linkKind, NurbsCurve::ReleasedLink);
    EXPECT_EQ(profile->surfaceLink, nullptr);
}

// The old scene's surfaces give their buffers back, so repeated loads do not grow GL memory.
TEST(SceneSlots, LoadReleasesTheBuffersOfTheReplacedSurfaces) {
    if (!QApplication::instance())
        GTEST_SKIP() << "no display (run under xvfb-run)";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.path().toStdString() + "/sphere.nbs";
    GLPelm canvas(nullptr, "canvas");
    canvas.resize(400, 300);
    canvas.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
    makeSphereScene(canvas);
    canvas.grabFramebuffer(); // draws the sphere, which uploads its buffers
    const auto* sphere = dynamic_cast<RevolutionSurface*>(canvas.scene.objectAt(1));
    ASSERT_TRUE(sphere);
    const unsigned int oldBuffer = sphere->buffers.vertexBuffer;
    canvas.makeCurrent();
    ASSERT_TRUE(glIsBuffer(oldBuffer));
    canvas.doneCurrent();

    std::ostringstream out, err;
    ASSERT_TRUE(canvas.saveSceneFile(path.c_str(), out, err)) << err.str();
    ASSERT_TRUE(canvas.loadSceneFile(path.c_str(), out, err)) << err.str();
    canvas.makeCurrent();
    EXPECT_FALSE(glIsBuffer(oldBuffer));
    canvas.doneCurrent();
}

// The window reaches the slots through the meta-object system; they report on standard output.
TEST(SceneSlots, SlotsAreInvokableAndPrintOnStandardOutput) {
    if (!QApplication::instance())
        GTEST_SKIP() << "no display (run under xvfb-run)";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.path().toStdString() + "/scene.nbs";
    const std::string missing = dir.path().toStdString() + "/missing.nbs";
    GLPelm canvas(nullptr, "canvas");
    makeSphereScene(canvas);
    std::ostringstream captured;
    std::streambuf* previous = std::cout.rdbuf(captured.rdbuf());
    const bool saved = QMetaObject::invokeMethod(&canvas, "saveTheScene", Q_ARG(const char*, path.c_str()));
    const bool loaded =
        QMetaObject::invokeMethod(&canvas, "loadTheScene", Q_ARG(const char*, missing.c_str()));
    std::cout.rdbuf(previous);
    EXPECT_TRUE(saved && loaded);
    EXPECT_EQ(std::filesystem::file_size(path), 326u);
    EXPECT_EQ(captured.str(), "Bad input file, please try again.\n");
    EXPECT_EQ(canvas.scene.size(), 2);
}

} // namespace
