// The canvas's scene-file slots: a load replaces scene and selection only when the whole file is good.
// Before any Qt header: Qt's emit macro would clash with SurfaceMesh::emit.
#include "nurbs_curve.h"
#include "predefined_shapes.h"
#include "revolution_surface.h"

#include "gl_pelm.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

namespace {

#define REQUIRE_APPLICATION()                                                                                \
    do {                                                                                                     \
        if (!QApplication::instance())                                                                       \
            GTEST_SKIP() << "no display (run under xvfb-run)";                                               \
    } while (0)

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A predefined sphere with its profile active and picked, and a point chosen.
void makeSphereScene(GLPelm& canvas) {
    auto* profile = new NurbsCurve();
    buildPredefinedCurve(*profile, ShapeKind::Sphere);
    canvas.scene.append(profile, ObjectKind::Curve);
    RevolutionSurface* sphere = makePredefinedSurface(profile);
    canvas.scene.append(sphere, ObjectKind::Revolution);
    profile->surfaceLink = sphere;
    profile->linkKind = NurbsCurve::RevolutionLink;
    canvas.activeObject = profile;
    canvas.activeKind = ObjectKind::Curve;
    canvas.pickedCurve = profile;
    canvas.activePoint = 2;
}

struct Messages {
    std::ostringstream out, err;
};

TEST(SceneSlots, SaveThenLoadReplacesSceneAndClearsSelection) {
    REQUIRE_APPLICATION();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.path().toStdString() + "/sphere.nbs";
    GLPelm canvas(nullptr, "canvas");
    makeSphereScene(canvas);
    Messages m;
    ASSERT_TRUE(canvas.saveSceneFile(path.c_str(), m.out, m.err)) << m.err.str();
    EXPECT_EQ(std::filesystem::file_size(path), 326u);

    canvas.scene.append(new NurbsCurve(), ObjectKind::Curve);
    ASSERT_TRUE(canvas.loadSceneFile(path.c_str(), m.out, m.err)) << m.err.str();
    EXPECT_EQ(m.out.str(), "");
    ASSERT_EQ(canvas.scene.size(), 2);
    EXPECT_EQ(canvas.activeObject, nullptr);
    EXPECT_EQ(canvas.pickedCurve, nullptr);
    EXPECT_EQ(canvas.activeKind, ObjectKind::None);
    EXPECT_EQ(canvas.activePoint, -1);
    auto* profile = dynamic_cast<NurbsCurve*>(canvas.scene.objectAt(0));
    auto* sphere = dynamic_cast<RevolutionSurface*>(canvas.scene.objectAt(1));
    ASSERT_TRUE(profile && sphere);
    EXPECT_EQ(profile->surfaceLink, sphere);
    EXPECT_EQ(sphere->profile, profile);
}

TEST(SceneSlots, FailedLoadKeepsSceneAndSelectionAndSaysSo) {
    REQUIRE_APPLICATION();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString();
    std::ofstream(folder + "/short.nbs", std::ios::binary) << "1\x04";
    std::ofstream(folder + "/tag.nbs", std::ios::binary) << "9";
    struct Case {
        std::string path;
        const char* reason;
    } cases[] = {
        {folder + "/missing.nbs", "cannot open"},
        {folder + "/short.nbs", "ends inside the record"},
        {folder + "/tag.nbs", "unknown tag"},
        {folder, "not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        GLPelm canvas(nullptr, "canvas");
        makeSphereScene(canvas);
        SceneObject* profile = canvas.scene.objectAt(0);
        Messages m;
        EXPECT_FALSE(canvas.loadSceneFile(c.path.c_str(), m.out, m.err));
        EXPECT_EQ(m.out.str(), "Bad input file, please try again.\n");
        EXPECT_NE(m.err.str().find(c.reason), std::string::npos) << m.err.str();
        EXPECT_EQ(canvas.scene.size(), 2);
        EXPECT_EQ(canvas.scene.objectAt(0), profile);
        EXPECT_EQ(canvas.activeObject, profile);
        EXPECT_EQ(canvas.pickedCurve, profile);
        EXPECT_EQ(canvas.activePoint, 2);
    }
}

TEST(SceneSlots, FailedSaveKeepsTheOldFileAndSaysSo) {
    REQUIRE_APPLICATION();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString();
    GLPelm canvas(nullptr, "canvas");
    makeSphereScene(canvas);
    std::filesystem::create_directory(folder + "/taken");
    for (const std::string& target : {folder + "/none/scene.nbs", folder + "/taken"}) {
        SCOPED_TRACE(target);
        Messages m;
        EXPECT_FALSE(canvas.saveSceneFile(target.c_str(), m.out, m.err));
        EXPECT_EQ(m.out.str(), "Could not open the file to save. Please try again.\n");
        EXPECT_NE(m.err.str().find(target), std::string::npos) << m.err.str();
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder + "/taken"));
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);
}

// The window reaches the slots through the meta-object system; they report on standard output.
TEST(SceneSlots, SlotsAreInvokableAndPrintOnStandardOutput) {
    REQUIRE_APPLICATION();
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
    EXPECT_EQ(readFile(path).size(), 326u);
    EXPECT_EQ(captured.str(), "Bad input file, please try again.\n");
    EXPECT_EQ(canvas.scene.size(), 2);
}

} // namespace
