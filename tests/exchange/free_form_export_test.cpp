// Exact export read back: the OBJ free-form file of every example and table scene, evaluated by the
// tests' own reader, holds every drawn curve sample and every mesh vertex of the scene.
#include "export/scene_exporter.h"
#include "export_read_back.h"
#include "export_test_scenes.h"
#include "free_form_obj_reader.h"
#include "geometry/nurbs_curve.h"
#include "scene/scene_file.h"
#include "surfaces/curve_surface.h"
#include "surfaces/revolution_surface.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

ReadBack readBack(const FreeFormFile& file) {
    ReadBack read;
    for (const FreeFormObject& object : file.objects) {
        if (object.surface)
            read.surfaces.push_back(
                ReadSurface{[&object](double u, double v) { return object.surfacePoint(u, v); },
                            object.startU, object.endU, object.startV, object.endV});
        else
            read.curves.push_back(
                ReadCurve{[&object](double u) { return object.curvePoint(u); }, object.startU, object.endU});
    }
    return read;
}

void expectSceneReadsBack(ExportCase& c, const std::string& folder) {
    SCOPED_TRACE(c.name);
    const std::string path = folder + "/" + c.name + ".obj";
    const ExportResult result = exportScene(c.scene, path, ExportFormat::ObjFreeForm);
    ASSERT_TRUE(result.ok) << result.error;
    const FreeFormFile file = readFreeFormObj(readText(path));
    ASSERT_TRUE(file.error.empty()) << file.error;
    ASSERT_EQ(static_cast<int>(file.objects.size()), result.written());
    EXPECT_EQ(result.fittedSurfaces(), c.fittedSurfaces);
    for (const ExportedSurface& s : result.surfaces) {
        const double allowed = (s.exact ? 1e-10 : 1e-6) * result.sceneSize;
        EXPECT_LE(s.deviation, allowed) << s.name;
    }
    const ReadBackFindings findings = compareWithScene(c.scene, result, readBack(file));
    for (const std::string& failure : findings.failures)
        ADD_FAILURE() << failure;
    std::printf("[ %s ] curves %.2g, exact surfaces %.2g, fitted surfaces %.2g of the scene's size\n",
                c.name.c_str(), findings.worstCurve, findings.worstExactSurface, findings.worstFittedSurface);
}

} // namespace

TEST(FreeFormExport, ExampleScenesReadBackExactly) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (ExportCase& c : exampleScenes())
        expectSceneReadsBack(c, dir.path().toStdString());
}

TEST(FreeFormExport, TableScenesReadBackExactlyOrWithinTheFit) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (ExportCase& c : tableScenes())
        expectSceneReadsBack(c, dir.path().toStdString());
}

TEST(FreeFormExport, ExactExportDoesNotDependOnTheIncrements) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::vector<ExportCase> cases = exampleScenes();
    for (ExportCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string coarse = dir.path().toStdString() + "/coarse.obj";
        const std::string fine = dir.path().toStdString() + "/fine.obj";
        ASSERT_TRUE(exportScene(c.scene, coarse, ExportFormat::ObjFreeForm).ok);
        for (SceneNode* node = c.scene.first; node; node = node->next) {
            if (auto* revolution = dynamic_cast<RevolutionSurface*>(node->object)) {
                revolution->setUParamInc(997);
                revolution->setVParamInc(1000);
            } else if (auto* patch = dynamic_cast<CurveSurface*>(node->object)) {
                patch->setUParamInc(3);
                patch->setVParamInc(900);
            }
        }
        ASSERT_TRUE(exportScene(c.scene, fine, ExportFormat::ObjFreeForm).ok);
        EXPECT_EQ(readText(coarse), readText(fine));
    }
}

TEST(FreeFormExport, ExportLeavesTheSceneAsItWas) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (ExportCase& c : tableScenes()) {
        SCOPED_TRACE(c.name);
        SceneFile file;
        std::string before, after;
        ASSERT_TRUE(file.serialise(c.scene, before));
        for (int format : {ExportFormat::ObjFreeForm, ExportFormat::ObjMesh})
            ASSERT_TRUE(exportScene(c.scene, dir.path().toStdString() + "/out", format).ok);
        ASSERT_TRUE(file.serialise(c.scene, after));
        EXPECT_EQ(before, after);
    }
}
