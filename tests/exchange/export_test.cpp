// The export entry point: formats by extension, refusals, crash-safe files, and the mesh formats
// checked against the scene's own tessellation.
#include "exchange/export_mesh.h"
#include "export/scene_exporter.h"
#include "export_test_scenes.h"
#include "geometry/little_endian.h"
#include "geometry/nurbs_curve.h"
#include "surfaces/curve_surface.h"
#include "surfaces/revolution_surface.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

NurbsCurve* addCurve(SceneList& scene, int order, std::vector<ControlPoint> points) {
    auto* curve = new NurbsCurve();
    curve->setOrder(order);
    curve->setControlPoints(points);
    scene.append(curve, ObjectKind::Curve);
    return curve;
}

// A line swept into a cylinder about y, and a free curve.
void buildSmallScene(SceneList& scene) {
    NurbsCurve* profile = addCurve(scene, 2, {{3, 0, 0}, {3, 4, 0}});
    auto* surface = new RevolutionSurface(profile, 1, 0, 360.0f);
    surface->revPoint = RevolutionSurface::Axis;
    surface->axisRotPoint = 0;
    surface->axisDistance = -3;
    scene.append(surface, ObjectKind::Revolution);
    profile->surfaceLink = surface;
    profile->linkKind = NurbsCurve::RevolutionLink;
    addCurve(scene, 3, {{0, 0, 5}, {1, 2, 5}, {2, 0, 5}});
}

int countFiles(const std::string& folder) {
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        files += entry.is_regular_file();
    return files;
}

} // namespace

TEST(ExportFormats, TheExtensionChoosesTheFormat) {
    const struct {
        const char* path;
        bool mesh;
        int format;
    } cases[] = {{"a.step", false, ExportFormat::Step},       {"a.STP", false, ExportFormat::Step},
                 {"dir.x/a.iges", false, ExportFormat::Iges}, {"a.IgS", false, ExportFormat::Iges},
                 {"a.obj", false, ExportFormat::ObjFreeForm}, {"a.obj", true, ExportFormat::ObjMesh},
                 {"a.Stl", true, ExportFormat::Stl},          {"a.nbs", false, ExportFormat::Unknown},
                 {"a", false, ExportFormat::Unknown},         {"dir.obj/a", false, ExportFormat::Unknown},
                 {"a.obj.bak", false, ExportFormat::Unknown}};
    for (const auto& c : cases)
        EXPECT_EQ(exportFormatForPath(c.path, c.mesh), c.format) << c.path;
    EXPECT_EQ(exportFormatAvailable(ExportFormat::Step), KNOTWORK_WITH_OCCT == 1);
    EXPECT_EQ(exportFormatAvailable(ExportFormat::Iges), KNOTWORK_WITH_OCCT == 1);
    EXPECT_EQ(availableExportFormats().size(), KNOTWORK_WITH_OCCT ? 5u : 3u);
}

TEST(ExportFailures, NothingIsWrittenAndTheOldFileStays) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString();
    SceneList scene;
    buildSmallScene(scene);
    const std::string old = "the old file";
    std::ofstream(folder + "/kept.obj") << old;
    std::filesystem::create_directories(folder + "/taken.obj");

    const struct {
        std::string path;
        int format;
        const char* expected;
    } cases[] = {
        {folder + "/kept.xyz", ExportFormat::Unknown,
         KNOTWORK_WITH_OCCT ? "none of .step .stp .iges .igs .obj .stl" : "none of .obj .stl"},
        {folder + "/missing/out.obj", ExportFormat::ObjFreeForm, "cannot create"},
        {folder + "/taken.obj", ExportFormat::ObjFreeForm, "cannot replace"},
        {folder + "/taken.obj", ExportFormat::ObjMesh, "cannot replace"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const ExportResult result = exportScene(scene, c.path, c.format);
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.error.find(c.expected), std::string::npos) << result.error;
        EXPECT_NE(result.summary().find(result.error), std::string::npos);
    }
    if (!KNOTWORK_WITH_OCCT) {
        const ExportResult result = exportScene(scene, folder + "/kept.step", ExportFormat::Step);
        EXPECT_NE(result.error.find("without Open CASCADE"), std::string::npos) << result.error;
    }

    // An object without geometry fails the export unless it may be left out.
    auto* waiting = new CurveSurface();
    scene.append(waiting, ObjectKind::Coons);
    waiting->addCoonsCurve(static_cast<NurbsCurve*>(scene.first->object));
    for (int format : {ExportFormat::ObjFreeForm, ExportFormat::ObjMesh, ExportFormat::Stl}) {
        SCOPED_TRACE(format);
        const ExportResult refused = exportScene(scene, folder + "/kept.obj", format);
        EXPECT_FALSE(refused.ok);
        EXPECT_NE(refused.error.find("patch_4 holds 1 of its 4 curves"), std::string::npos) << refused.error;
        EXPECT_EQ(readFile(folder + "/kept.obj"), old);

        ExportOptions skip;
        skip.skipRefused = true;
        const std::string path = folder + "/skipped" + std::to_string(format);
        const ExportResult skipped = exportScene(scene, path, format, skip);
        ASSERT_TRUE(skipped.ok) << skipped.error;
        EXPECT_EQ(skipped.revolutions, 1);
        EXPECT_EQ(skipped.patches, 0);
        EXPECT_EQ(skipped.leftOut, format == ExportFormat::Stl ? 3 : 1);
        EXPECT_EQ(skipped.bytes, static_cast<long long>(std::filesystem::file_size(path)));
        EXPECT_NE(skipped.report().find("left out: patch_4"), std::string::npos) << skipped.report();
    }
    EXPECT_EQ(readFile(folder + "/kept.obj"), old);
    EXPECT_TRUE(std::filesystem::is_directory(folder + "/taken.obj"));
    EXPECT_EQ(countFiles(folder), 4) << "a temporary file was left behind";
}

TEST(ExportFailures, SurfacesWithoutGeometryAreRefusedWithTheirReason) {
    const struct {
        const char* name;
        void (*build)(SceneList&);
        const char* expected;
    } cases[] = {
        {"revolution without profile",
         [](SceneList& s) { s.append(new RevolutionSurface(), ObjectKind::Revolution); },
         "revolution_1 has no profile curve"},
        {"profile with fewer points than its order",
         [](SceneList& s) {
             NurbsCurve* c = addCurve(s, 4, {{1, 0, 0}, {2, 1, 0}});
             s.append(new RevolutionSurface(c, 1, 0, 360.0f), ObjectKind::Revolution);
         },
         "curve_1 has 2 control points, fewer than its order 4"},
        {"reference axis equal to the axis",
         [](SceneList& s) {
             NurbsCurve* c = addCurve(s, 2, {{1, 0, 0}, {2, 1, 0}});
             s.append(new RevolutionSurface(c, 1, 1, 360.0f), ObjectKind::Revolution);
         },
         "revolution_2 turns about its own reference axis"},
        {"no sweep",
         [](SceneList& s) {
             NurbsCurve* c = addCurve(s, 2, {{1, 0, 0}, {2, 1, 0}});
             s.append(new RevolutionSurface(c, 1, 0, 0.0f), ObjectKind::Revolution);
         },
         "revolution_2 sweeps 0 degrees"},
        {"zero weight",
         [](SceneList& s) {
             addCurve(s, 2, {{1, 0, 0}, {2, 1, 0, 0.0}});
         },
         "curve_1 has control point 2 of weight 0"},
        {"patch side with too few points",
         [](SceneList& s) {
             auto* patch = new CurveSurface();
             s.append(patch, ObjectKind::Coons);
             for (int i = 0; i < 4; ++i)
                 patch->curves.push_back(
                     addCurve(s, 3, {{0, 0, double(i)}, {1, 0, double(i)}, {1, 1, double(i)}}));
             patch->curves[2]->setOrder(5);
         },
         "patch_1 has a curve C2 that has 3 control points, fewer than its order 5"},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SceneList scene;
        c.build(scene);
        const ExportResult result =
            exportScene(scene, dir.path().toStdString() + "/out.obj", ExportFormat::ObjFreeForm);
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.error.find(c.expected), std::string::npos) << result.error;
    }
    EXPECT_EQ(countFiles(dir.path().toStdString()), 0);
}

TEST(MeshExport, StlHoldsTheTrianglesOfTheSceneTessellation) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (ExportCase& c : exampleScenes()) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.path().toStdString() + "/" + c.name + ".stl";
        const ExportResult result = exportScene(c.scene, path, ExportFormat::Stl);
        if (c.name == "curves.nbs") {
            EXPECT_FALSE(result.ok);
            EXPECT_NE(result.error.find("STL holds surfaces only"), std::string::npos) << result.error;
            continue;
        }
        ASSERT_TRUE(result.ok) << result.error;
        const std::string bytes = readFile(path);
        ASSERT_GE(bytes.size(), 84u);
        EXPECT_EQ(bytes.compare(0, 39, "Knotwork binary STL; units: millimetres"), 0);
        const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
        const std::uint32_t count = static_cast<std::uint32_t>(LittleEndian::int32At(data + 80));
        ASSERT_EQ(bytes.size(), 84u + 50u * count);
        EXPECT_EQ(count, result.triangles);
        EXPECT_EQ(result.leftOut, c.scene.size() - 1) << "every curve is left out";

        // The facets are the triangles of every surface's shaded tessellation, corner by corner.
        std::size_t facet = 0;
        for (SceneNode* node = c.scene.first; node; node = node->next) {
            if (node->kind == ObjectKind::Curve)
                continue;
            SurfaceMesh mesh;
            if (auto* revolution = dynamic_cast<RevolutionSurface*>(node->object)) {
                revolution->setShading(true);
                revolution->tessellate();
                mesh = revolution->surfaceMesh;
            } else if (auto* patch = dynamic_cast<CurveSurface*>(node->object)) {
                patch->setShading(true);
                patch->tessellate();
                mesh = patch->surfaceMesh;
            }
            ASSERT_EQ(mesh.countOf(SurfaceMesh::Triangles), static_cast<int>(mesh.primitives.size()));
            for (int v = 0; v < mesh.vertexCount(); ++v) {
                const std::size_t at = 84 + 50 * (facet + v / 3) + 12 + 12 * (v % 3);
                for (int a = 0; a < 3; ++a) {
                    const double expected = mesh.positions[3 * static_cast<std::size_t>(v) + a] +
                                            (mesh.translated ? mesh.offset[a] : 0.0);
                    ASSERT_EQ(LittleEndian::float32At(data + at + 4 * a), static_cast<float>(expected))
                        << "vertex " << v;
                }
            }
            facet += mesh.vertexCount() / 3;
        }
        EXPECT_EQ(facet, count);
    }
}

// Regression: positions and normals are numbered separately, so a face after a polyline (which has
// positions but no normals) must not name normals by its position numbers.
TEST(MeshExport, ObjMeshNumbersPositionsAndNormalsSeparately) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SceneList scene;
    buildSmallScene(scene);
    const std::string path = dir.path().toStdString() + "/mesh.obj";
    const ExportResult result = exportScene(scene, path, ExportFormat::ObjMesh);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.curves, 2);
    EXPECT_EQ(result.revolutions, 1);

    std::vector<ControlPoint> positions, normals;
    std::vector<std::pair<long long, long long>> corners;
    std::map<std::string, int> polylinePoints;
    std::string object;
    std::istringstream lines(readFile(path));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        if (keyword == "o") {
            words >> object;
        } else if (keyword == "v" || keyword == "vn") {
            ControlPoint p;
            words >> p.x >> p.y >> p.z;
            (keyword == "v" ? positions : normals).push_back(p);
        } else if (keyword == "l") {
            for (long long i; words >> i;) {
                ASSERT_GE(i, 1);
                ASSERT_LE(i, static_cast<long long>(positions.size()));
                ++polylinePoints[object];
            }
        } else if (keyword == "f") {
            for (std::string corner; words >> corner;) {
                const std::size_t slashes = corner.find("//");
                ASSERT_NE(slashes, std::string::npos) << line;
                corners.emplace_back(std::stoll(corner.substr(0, slashes)),
                                     std::stoll(corner.substr(slashes + 2)));
            }
        }
    }
    EXPECT_EQ(polylinePoints["curve_1"], 101);
    EXPECT_EQ(polylinePoints["curve_3"], 101);
    auto* revolution = static_cast<RevolutionSurface*>(scene.first->next->object);
    revolution->setShading(true);
    revolution->tessellate();
    const SurfaceMesh& mesh = revolution->surfaceMesh;
    ASSERT_EQ(static_cast<int>(corners.size()), mesh.vertexCount());
    for (int v = 0; v < mesh.vertexCount(); ++v) {
        const auto [p, n] = corners[v];
        ASSERT_GE(p, 102);
        ASSERT_LE(p, static_cast<long long>(positions.size()) - 101);
        ASSERT_GE(n, 1);
        ASSERT_LE(n, static_cast<long long>(normals.size()));
        const std::size_t at = 3 * static_cast<std::size_t>(v);
        EXPECT_EQ(positions[p - 1].x, mesh.positions[at] + mesh.offset[0]);
        EXPECT_EQ(positions[p - 1].y, mesh.positions[at + 1] + mesh.offset[1]);
        EXPECT_EQ(positions[p - 1].z, mesh.positions[at + 2] + mesh.offset[2]);
        EXPECT_EQ(normals[n - 1].x, mesh.normals[at]);
        EXPECT_EQ(normals[n - 1].y, mesh.normals[at + 1]);
        EXPECT_EQ(normals[n - 1].z, mesh.normals[at + 2]);
    }
    // Shared corners are written once.
    EXPECT_LT(positions.size() - 202, corners.size() / 3);
}

TEST(ExportReport, SaysWhatWasWrittenAndHowExactly) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::vector<ExportCase> tables = tableScenes();
    ExportCase& patches = tables[2];
    ASSERT_EQ(patches.name, "patches");
    const ExportResult result =
        exportScene(patches.scene, dir.path().toStdString() + "/p.obj", ExportFormat::ObjFreeForm);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.patches, 5);
    EXPECT_EQ(result.curves, 20);
    const std::string summary = result.summary();
    EXPECT_NE(summary.find("Exported 20 curves and 5 Coons patches to p.obj (OBJ free-form NURBS"),
              std::string::npos)
        << summary;
    EXPECT_NE(summary.find("1 surface fitted within"), std::string::npos) << summary;
    EXPECT_NE(result.report().find("patch_"), std::string::npos) << result.report();
}
