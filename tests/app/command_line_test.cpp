// Command line: parsing, the OBJ export without a display, reports of bad files, the render.
#include "app/command_line.h"
#include "exchange/obj_mesh_writer.h"

#include "geometry/nurbs_curve.h"
#include "scene/scene_file.h"
#include "scene/scene_list.h"
#include "surfaces/curve_surface.h"
#include "surfaces/predefined_shapes.h"
#include "surfaces/revolution_surface.h"

#include "fifo_watchdog.h"
#include "obj_reader.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

CommandLine parsed(std::vector<const char*> args) {
    args.insert(args.begin(), "knotwork");
    return CommandLine::parse(static_cast<int>(args.size()), args.data());
}

std::string exampleScene(const char* name) {
    return std::string(KNOTWORK_SOURCE_DIR) + "/data/examples/" + name;
}

TEST(CommandLineParse, ModesPathsSizesAndMistakes) {
    constexpr int W = CommandLine::Window, E = CommandLine::ExportObj, R = CommandLine::Render,
                  I = CommandLine::Invalid;
    // Mistakes run before the toolkit starts unless an argument may be the toolkit's own option.
    const struct {
        std::vector<const char*> args;
        int mode;
        const char* scene; // or, for a mistake, part of the reason
        const char* output;
        int width, height;
        bool headless;
    } cases[] = {
        {{}, W, "", "", 1280, 800, false},
        {{"a.nbs"}, W, "a.nbs", "", 1280, 800, false},
        {{"-platform", "xcb", "a.nbs"}, I, "unknown option '-platform'", "", 0, 0, false},
        {{"--", "-odd.nbs"}, W, "-odd.nbs", "", 1280, 800, false},
        {{"a.nbs", "b.nbs"}, I, "more than one scene file", "", 0, 0, true},
        {{"--frobnicate"}, I, "unknown option '--frobnicate'", "", 0, 0, true},
        {{"--style=fusion", "--frobnicate"}, I, "unknown option", "", 0, 0, false},
        {{"--export-obj", "a.nbs", "a.obj"}, E, "a.nbs", "a.obj", 1280, 800, true},
        {{"--export-obj", "a.nbs"}, I, "--export-obj needs", "", 0, 0, true},
        {{"--export-obj", "a.nbs", "a.obj", "x"}, I, "--export-obj needs", "", 0, 0, true},
        {{"--render", "a.nbs", "a.png"}, R, "a.nbs", "a.png", 1280, 800, false},
        {{"--render", "a.nbs", "a.png", "--size", "640x480"}, R, "a.nbs", "a.png", 640, 480, false},
        {{"--render", "a.nbs", "a.png", "--size=3x2"}, R, "a.nbs", "a.png", 3, 2, false},
        {{"--render", "a.nbs", "a.png", "--keep-views", "--size=3x2"}, R, "a.nbs", "a.png", 3, 2, false},
        {{"--render", "a.nbs", "a.png", "--size", "3x2", "--keep-views"}, R, "a.nbs", "a.png", 3, 2, false},
        {{"--render", "a.nbs", "a.png", "--keep"}, I, "unexpected argument '--keep'", "", 0, 0, true},
        {{"--render", "a.nbs", "a.png", "--size", "0x480"}, I, "--size wants", "", 0, 0, true},
        {{"--render", "a.nbs", "a.png", "--size", "640x"}, I, "--size wants", "", 0, 0, true},
        {{"--render", "a.nbs", "a.png", "--size", "99999x10"}, I, "--size wants", "", 0, 0, true},
        {{"--render", "a.nbs", "a.png", "--size"}, I, "unexpected argument", "", 0, 0, true},
        {{"--render", "a.nbs"}, I, "--render needs", "", 0, 0, true},
        {{"a.nbs", "--help"}, CommandLine::Help, "", "", 1280, 800, true},
        {{"--version"}, CommandLine::Version, "", "", 1280, 800, true},
    };
    for (const auto& c : cases) {
        std::string name;
        for (const char* a : c.args)
            name += std::string(a) + " ";
        SCOPED_TRACE(name);
        const CommandLine line = parsed(c.args);
        EXPECT_EQ(line.mode, c.mode) << line.error;
        EXPECT_EQ(line.runsWithoutDisplay(), c.headless);
        if (c.mode == I) {
            EXPECT_NE(line.error.find(c.scene), std::string::npos) << line.error;
            continue;
        }
        EXPECT_EQ(line.scenePath, c.scene);
        EXPECT_EQ(line.outputPath, c.output);
        EXPECT_EQ(line.width, c.width);
        EXPECT_EQ(line.height, c.height);
        EXPECT_EQ(line.keepViews, name.find("--keep-views") != std::string::npos);
    }
}

TEST(CommandLineHeadless, HelpVersionUsageAndBadScenesReportWhere) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString(), obj = folder + "/out.obj";
    std::ifstream in(exampleScene("sphere.nbs"), std::ios::binary);
    std::string sphere((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(sphere.size(), 326u);
    sphere[1 + 4] = 0; // order 0
    std::ofstream(folder + "/damaged.nbs", std::ios::binary) << sphere;
    const std::string missing = folder + "/missing.nbs", damaged = folder + "/damaged.nbs";
    // The export opened a named pipe and waited for a writer for ever.
    const std::string pipe = folder + "/pipe.nbs";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0) << std::strerror(errno);
    const std::string bad = "Bad input file, please try again.\n";
    const struct {
        std::vector<const char*> args;
        int status;
        std::string out;
        const char* err;
    } cases[] = {
        {{"--help"}, 0, CommandLine::usage(), ""},
        {{"--version"}, 0, "knotwork ", ""},
        {{"--export-obj", "only.nbs"}, CommandLine::UsageFailure, "", "Usage:"},
        {{"--export-obj", missing.c_str(), obj.c_str()}, CommandLine::FileFailure, bad, "cannot open"},
        {{"--export-obj", damaged.c_str(), obj.c_str()},
         CommandLine::FileFailure,
         bad,
         "entry 1 (curve) at byte 5: order is 0"},
        {{"--export-obj", folder.c_str(), obj.c_str()}, CommandLine::FileFailure, bad, "not a regular file"},
        {{"--export-obj", pipe.c_str(), obj.c_str()}, CommandLine::FileFailure, bad, "not a regular file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.size() > 1 ? c.args[1] : c.args[0]);
        std::ostringstream out, err;
        FifoWatchdog watchdog(pipe, 3000);
        EXPECT_EQ(parsed(c.args).runWithoutDisplay(out, err), c.status);
        EXPECT_FALSE(watchdog.fired()) << "the export waited for a writer";
        // The version is whatever the build says: only its start is known here.
        EXPECT_EQ(c.args[0] == std::string("--version") ? out.str().substr(0, c.out.size()) : out.str(),
                  c.out);
        EXPECT_NE(err.str().find(c.err), std::string::npos) << err.str();
    }
    EXPECT_FALSE(std::filesystem::exists(obj));
}

// --export: the format by the extension, the report on stdout, and every refusal with its reason and
// without touching an older file.
TEST(CommandLineHeadless, ExportWritesTheFormatOfTheExtensionAndRefusesWhatItCannot) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString();
    const std::string coons = exampleScene("coons.nbs");
    const std::string waiting = folder + "/waiting.nbs";
    {
        SceneList scene;
        scene.append(new CurveSurface(), ObjectKind::Coons); // still waiting for its curves
        SceneFile file;
        ASSERT_TRUE(file.save(waiting.c_str(), scene)) << file.error;
    }
    const std::string kept = folder + "/kept.stl";
    std::ofstream(kept) << "old";
    const struct {
        std::vector<std::string> args;
        int status;
        const char* said;  // in the report on stdout for a success, in the reason on stderr otherwise
        const char* start; // how the written file begins
    } cases[] = {
        {{coons, folder + "/a.obj"}, 0, "patch", "# "},
        {{coons, folder + "/b.obj", "--mesh"}, 0, "patch", "# "},
        {{coons, folder + "/c.stl"}, 0, "left out", ""},
        {{coons, folder + "/d.STEP"}, 0, "exact", "ISO-10303-21;"},
        {{coons, folder + "/e.igs"}, 0, "exact", ""},
        {{coons, folder + "/f.dxf"}, CommandLine::UsageFailure, "cannot tell the format", nullptr},
        {{coons, folder + "/g.step", "--mesh"},
         CommandLine::UsageFailure,
         "--mesh goes with an .obj",
         nullptr},
        {{waiting, kept}, CommandLine::FileFailure, "patch", nullptr},
        {{coons, folder + "/missing-folder/h.stl"}, CommandLine::FileFailure, "missing-folder", nullptr},
        {{folder + "/missing.nbs", folder + "/i.stl"}, CommandLine::FileFailure, "cannot open", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[1]);
        std::vector<const char*> args{"--export"};
        for (const std::string& arg : c.args)
            args.push_back(arg.c_str());
        std::ostringstream out, err;
        ASSERT_EQ(parsed(args).runWithoutDisplay(out, err), c.status) << err.str();
        const std::string& told = c.status == 0 ? out.str() : err.str();
        EXPECT_NE(told.find(c.said), std::string::npos) << told;
        std::ifstream written(c.args[1], std::ios::binary);
        if (!c.start) {
            EXPECT_TRUE(c.args[1] == kept || !written) << "a file was written";
            continue;
        }
        std::string head(32, '\0');
        written.read(head.data(), static_cast<std::streamsize>(head.size()));
        EXPECT_EQ(head.substr(0, std::string(c.start).size()), c.start);
        EXPECT_GT(std::filesystem::file_size(c.args[1]), 80u);
    }
    std::ifstream old(kept);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(old), std::istreambuf_iterator<char>()), "old");
}

// A curve naming a surface that does not hold it made the whole file "bad"; it is exported as a released
// curve, and stderr says which entry was repaired.
TEST(CommandLineHeadless, ExportRefusesAFileWithAOneSidedLink) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string scene = dir.path().toStdString() + "/profile-let-go.nbs";
    const std::string obj = dir.path().toStdString() + "/out.obj";
    std::ifstream in(exampleScene("sphere.nbs"), std::ios::binary);
    std::string sphere((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(sphere.size(), 326u);
    const std::int32_t none = -1;
    std::memcpy(&sphere[265 + 1], &none, sizeof none); // the surface no longer holds its profile
    std::ofstream(scene, std::ios::binary) << sphere;

    std::ostringstream out, err;
    EXPECT_EQ(parsed({"--export-obj", scene.c_str(), obj.c_str()}).runWithoutDisplay(out, err), 0)
        << err.str();
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(),
              "knotwork: " + scene +
                  ": entry 1 (curve) at byte 17: link position 1 names a surface of revolution that "
                  "does not hold this curve; loaded as a released curve\n");
    std::ifstream written(obj);
    const ObjFile read = readObj(written);
    EXPECT_EQ(read.error, "");
    // The surface without its profile has nothing to write: it is left out.
    EXPECT_EQ(read.objects, (std::vector<std::string>{"curve_1"}));
}

// What each OBJ object must hold, corner by corner: a curve's samples (no normals), a surface's shaded
// triangles with the normal of each vertex.
struct ExpectedObject {
    bool surface = false;
    std::vector<std::array<double, 3>> vertices;
    std::vector<std::array<double, 3>> normals;
};

std::vector<ExpectedObject> expectedObjects(SceneList& scene) {
    std::vector<ExpectedObject> objects;
    for (SceneNode* node = scene.first; node; node = node->next) {
        ExpectedObject& expected = objects.emplace_back();
        if (auto* curve = dynamic_cast<NurbsCurve*>(node->object)) {
            for (const ControlPoint& p : curve->samplePoints())
                expected.vertices.push_back({p.x, p.y, p.z});
            continue;
        }
        expected.surface = true;
        auto* revolution = dynamic_cast<RevolutionSurface*>(node->object);
        auto* patch = dynamic_cast<CurveSurface*>(node->object);
        revolution ? (revolution->setShading(true), revolution->tessellate())
                   : (patch->setShading(true), patch->tessellate());
        const SurfaceMesh& mesh = revolution ? revolution->surfaceMesh : patch->surfaceMesh;
        for (const SurfaceMesh::Primitive& p : mesh.primitives)
            for (int i = p.first; p.mode == SurfaceMesh::Triangles && i < p.first + p.count; ++i) {
                std::array<double, 3>& v = expected.vertices.emplace_back();
                std::array<double, 3>& n = expected.normals.emplace_back();
                for (int a = 0; a < 3; ++a) {
                    v[a] = mesh.positions[3 * i + a] + (mesh.translated ? mesh.offset[a] : 0.0f);
                    n[a] = mesh.normals[3 * i + a];
                }
            }
    }
    return objects;
}

// Every index of every element names an existing v (and, for a face corner, an existing vn), and what it
// names is what the scene holds at that corner. Returns the first fault, or "" when there is none.
std::string objFault(const ObjFile& obj, const std::vector<ExpectedObject>& expected) {
    if (!obj.error.empty())
        return "unreadable " + obj.error;
    if (obj.objects.size() != expected.size())
        return std::to_string(obj.objects.size()) + " objects, not " + std::to_string(expected.size());
    std::vector<std::size_t> cornersSeen(expected.size(), 0);
    std::size_t faceCorners = 0;
    for (const ObjElement& element : obj.elements) {
        if (element.object < 0)
            return "an element before the first object";
        const ExpectedObject& object = expected[element.object];
        const std::string where = obj.objects[element.object] + ": ";
        if ((element.keyword == 'f') != object.surface)
            return where + "element '" + element.keyword + "' of the wrong kind";
        for (const ObjCorner& corner : element.corners) {
            const std::size_t k = cornersSeen[element.object]++;
            const std::string at = where + "corner " + std::to_string(k) + ": ";
            if (k >= object.vertices.size())
                return at + "more corners than the scene holds";
            if (corner.vertex < 1 || corner.vertex > static_cast<long long>(obj.vertices.size()))
                return at + "v " + std::to_string(corner.vertex) + " names no vertex";
            if (obj.vertices[corner.vertex - 1] != object.vertices[k])
                return at + "v " + std::to_string(corner.vertex) + " is not the scene's vertex";
            if (!object.surface) {
                if (corner.normal != 0)
                    return at + "a curve corner names a normal";
                continue;
            }
            ++faceCorners;
            if (corner.normal < 1 || corner.normal > static_cast<long long>(obj.normals.size()))
                return at + "vn " + std::to_string(corner.normal) + " names no normal (there are " +
                       std::to_string(obj.normals.size()) + ")";
            if (obj.normals[corner.normal - 1] != object.normals[k])
                return at + "vn " + std::to_string(corner.normal) + " is not the normal of v " +
                       std::to_string(corner.vertex);
        }
    }
    for (std::size_t i = 0; i < expected.size(); ++i)
        if (cornersSeen[i] != expected[i].vertices.size())
            return obj.objects[i] + ": " + std::to_string(cornersSeen[i]) + " corners, not " +
                   std::to_string(expected[i].vertices.size());
    // Each object writes a normal once however many corners share it.
    if (obj.normals.size() > faceCorners)
        return std::to_string(obj.normals.size()) + " normals for " + std::to_string(faceCorners) +
               " face corners";
    return "";
}

TEST(CommandLineHeadless, ExportOfEveryExampleWithoutDisplayReadsBackExactly) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* example : {"sphere.nbs", "cylinder.nbs", "coons.nbs", "extrusion.nbs", "curves.nbs"}) {
        SCOPED_TRACE(example);
        const std::string obj = dir.path().toStdString() + "/" + example + ".obj";
        // A process of its own with no display to be found: the export must not need one.
        const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                                    std::string(KNOTWORK_EXECUTABLE) + "' --export-obj '" +
                                    exampleScene(example) + "' '" + obj + "' > /dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0);

        SceneList scene;
        SceneFile file;
        ASSERT_TRUE(file.load(exampleScene(example).c_str(), scene)) << file.error;
        std::ifstream in(obj);
        const ObjFile read = readObj(in);
        EXPECT_EQ(objFault(read, expectedObjects(scene)), ""); // every number reads back as the same double
        EXPECT_GT(read.vertices.size(), 0u);
    }
}

void appendCurve(SceneList& scene, const std::vector<ControlPoint>& points) {
    auto* curve = new NurbsCurve();
    curve->setOrder(static_cast<int>(points.size()) < 3 ? static_cast<int>(points.size()) : 3);
    curve->setControlPoints(points);
    scene.append(curve, ObjectKind::Curve);
}

void appendPredefined(SceneList& scene, int shape) {
    auto* profile = new NurbsCurve();
    buildPredefinedCurve(*profile, shape);
    RevolutionSurface* surface = makePredefinedSurface(profile);
    profile->surfaceLink = surface;
    profile->linkKind = NurbsCurve::RevolutionLink;
    scene.append(profile, ObjectKind::Curve);
    scene.append(surface, ObjectKind::Revolution);
}

// Faces were written "i//i", but OBJ numbers v and vn each on its own and curves write v lines without
// normals: after a curve, every face named another vertex's normal or one past the end of the list.
TEST(CommandLineHeadless, ObjExportNamesTheWrongNormals) {
    SceneList scene;
    appendCurve(scene, {{0, 0, 0}, {1, 2, 0}, {3, 1, 1}});
    appendPredefined(scene, ShapeKind::Sphere);
    appendCurve(scene, {{5, 5, 5}});
    auto* patch = new CurveSurface();
    scene.append(patch, ObjectKind::Coons);
    const ControlPoint corners[5] = {{0, 0, 0}, {4, 0, 1}, {4, 4, 0}, {0, 4, 1}, {0, 0, 0}};
    for (int side = 0; side < 4; ++side) {
        auto* curve = new NurbsCurve();
        curve->setOrder(2);
        curve->setControlPoints({corners[side], corners[side + 1]});
        curve->surfaceLink = patch;
        curve->linkKind = NurbsCurve::CoonsLink;
        patch->addCoonsCurve(curve);
        scene.append(curve, ObjectKind::Curve);
    }
    appendPredefined(scene, ShapeKind::Cylinder);
    appendCurve(scene, {{-1, 0, 0}, {-2, 1, 0}});

    std::stringstream text;
    writeObjMesh(scene, text);
    const ObjFile read = readObj(text);
    EXPECT_EQ(objFault(read, expectedObjects(scene)), "");
    EXPECT_EQ(read.objects.size(), 12u);
    EXPECT_GT(read.normals.size(), 0u);
}

// Pixels of the sphere's green wireframe in the middle of each of the four views of a 400x300 render.
std::array<int, 4> greenPerView(const QImage& image) {
    std::array<int, 4> counts{};
    const QPoint corners[] = {QPoint(0, 0), QPoint(200, 0), QPoint(0, 150), QPoint(200, 150)};
    for (std::size_t v = 0; v < counts.size(); ++v)
        for (int y = corners[v].y() + 30; y < corners[v].y() + 120; ++y)
            for (int x = corners[v].x() + 40; x < corners[v].x() + 160; ++x) {
                const QColor c = image.pixelColor(x, y);
                counts[v] += c.green() > 120 && c.green() > c.red() + 40 && c.green() > c.blue() + 40;
            }
    return counts;
}

TEST(CommandLineRender, FourViewsOfTheSphereAtTheAskedSize) {
    if (!QApplication::instance())
        GTEST_SKIP() << "no display (run under xvfb-run)";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string png = dir.path().toStdString() + "/sphere.png";
    const CommandLine line =
        parsed({"--render", exampleScene("sphere.nbs").c_str(), png.c_str(), "--size", "400x300"});
    std::ostringstream out, err;
    ASSERT_EQ(line.render(out, err), 0) << err.str();
    const QImage image(QString::fromStdString(png));
    ASSERT_EQ(image.size(), QSize(400, 300));
    // The sphere's green wireframe shows around the middle of every view.
    const std::array<int, 4> green = greenPerView(image);
    for (std::size_t v = 0; v < green.size(); ++v)
        EXPECT_GT(green[v], 20) << "view " << v;
}

TEST(CommandLineRender, ASceneFarFromTheOriginIsFramedUnlessTheViewsAreKept) {
    if (!QApplication::instance())
        GTEST_SKIP() << "no display (run under xvfb-run)";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // The sphere moved far along every axis: its surface follows its profile.
    SceneList scene;
    SceneFile file;
    ASSERT_TRUE(file.load(exampleScene("sphere.nbs").c_str(), scene)) << file.error;
    for (int i = 0; i < scene.size(); ++i)
        if (scene.kindAt(i) == ObjectKind::Curve)
            scene.objectAt(i)->translate(240.0, -180.0, 210.0);
    const std::string far = dir.path().toStdString() + "/far.nbs";
    ASSERT_TRUE(file.save(far.c_str(), scene)) << file.error;

    const struct {
        bool keepViews;
        bool seen;
    } cases[] = {{false, true}, {true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keepViews ? "--keep-views" : "framed");
        const std::string png = dir.path().toStdString() + "/far.png";
        std::vector<const char*> args = {"--render", far.c_str(), png.c_str(), "--size", "400x300"};
        if (c.keepViews)
            args.push_back("--keep-views");
        std::ostringstream out, err;
        ASSERT_EQ(parsed(args).render(out, err), 0) << err.str();
        const QImage image(QString::fromStdString(png));
        ASSERT_EQ(image.size(), QSize(400, 300));
        const std::array<int, 4> green = greenPerView(image);
        for (std::size_t v = 0; v < green.size(); ++v) {
            if (c.seen)
                EXPECT_GT(green[v], 20) << "view " << v;
            else
                EXPECT_EQ(green[v], 0) << "view " << v;
        }
    }
}

} // namespace
