// Command line: parsing, the OBJ export without a display, reports of bad files, the render.
#include "app/command_line.h"

#include "geometry/nurbs_curve.h"
#include "geometry/scene_list.h"
#include "surfaces/curve_surface.h"
#include "surfaces/revolution_surface.h"
#include "surfaces/scene_file.h"

#include "fifo_watchdog.h"
#include "obj_reader.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>

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
    EXPECT_EQ(read.objects, (std::vector<std::string>{"curve_1", "revolution_2"}));
}

// The coordinates each OBJ object must hold: a curve's samples, a surface's shaded triangles.
std::vector<std::vector<double>> expectedVertices(SceneList& scene) {
    std::vector<std::vector<double>> objects;
    for (SceneNode* node = scene.first; node; node = node->next) {
        std::vector<double>& v = objects.emplace_back();
        if (auto* curve = dynamic_cast<NurbsCurve*>(node->object)) {
            for (const ControlPoint& p : curve->samplePoints())
                v.insert(v.end(), {p.x, p.y, p.z});
            continue;
        }
        auto* revolution = dynamic_cast<RevolutionSurface*>(node->object);
        auto* patch = dynamic_cast<CurveSurface*>(node->object);
        revolution ? (revolution->setShading(true), revolution->tessellate())
                   : (patch->setShading(true), patch->tessellate());
        const SurfaceMesh& mesh = revolution ? revolution->surfaceMesh : patch->surfaceMesh;
        for (const SurfaceMesh::Primitive& p : mesh.primitives)
            for (int i = p.first; p.mode == SurfaceMesh::Triangles && i < p.first + p.count; ++i)
                for (int a = 0; a < 3; ++a)
                    v.push_back(mesh.positions[3 * i + a] + (mesh.translated ? mesh.offset[a] : 0.0f));
    }
    return objects;
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
        const std::vector<std::vector<double>> expected = expectedVertices(scene);
        std::vector<std::vector<double>> found;
        long long vertices = 0, normals = 0, corners = 0, badCorners = 0;
        std::ifstream in(obj);
        for (std::string line, keyword; std::getline(in, line);) {
            std::istringstream words(line);
            words >> keyword;
            if (keyword == "o")
                found.emplace_back();
            for (std::string word; words >> word;) {
                if (keyword == "v")
                    found.back().push_back(std::strtod(word.c_str(), nullptr));
                const long long index = std::atoll(word.c_str());
                if (keyword == "f")
                    ++corners, badCorners += word != std::to_string(index) + "//" + std::to_string(index);
                if (keyword == "f" || keyword == "l")
                    badCorners += index < 1 || index > vertices;
            }
            vertices += keyword == "v";
            normals += keyword == "vn";
        }
        EXPECT_EQ(found, expected); // every number reads back as the same double
        EXPECT_EQ(badCorners, 0);
        EXPECT_EQ(normals, corners); // one normal per triangle corner
        EXPECT_GT(vertices, 0);
    }
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
    for (const QPoint corner : {QPoint(0, 0), QPoint(200, 0), QPoint(0, 150), QPoint(200, 150)}) {
        int green = 0;
        for (int y = corner.y() + 30; y < corner.y() + 120; ++y)
            for (int x = corner.x() + 40; x < corner.x() + 160; ++x) {
                const QColor c = image.pixelColor(x, y);
                green += c.green() > 120 && c.green() > c.red() + 40 && c.green() > c.blue() + 40;
            }
        EXPECT_GT(green, 20) << "view at " << corner.x() << "," << corner.y();
    }
}

} // namespace
