// Command line: parsing, the OBJ export without a display, reports of bad files, the render.
#include "command_line.h"

#include "curve_surface.h"
#include "nurbs_curve.h"
#include "revolution_surface.h"
#include "scene_file.h"
#include "scene_list.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

CommandLine parsed(std::vector<const char*> args) {
    args.insert(args.begin(), "knotwork");
    return CommandLine::parse(static_cast<int>(args.size()), args.data());
}

TEST(CommandLineParse, ModesPathsAndMistakes) {
    struct Case {
        std::vector<const char*> args;
        int mode;
        const char* scene;
        const char* output;
        int width, height;
        const char* error; // part of the reason for Invalid
    } cases[] = {
        {{}, CommandLine::Window, "", "", 1280, 800, ""},
        {{"a.nbs"}, CommandLine::Window, "a.nbs", "", 1280, 800, ""},
        {{"--", "-odd.nbs"}, CommandLine::Window, "-odd.nbs", "", 1280, 800, ""},
        {{"a.nbs", "b.nbs"}, CommandLine::Invalid, "", "", 0, 0, "more than one scene file"},
        {{"--frobnicate"}, CommandLine::Invalid, "", "", 0, 0, "unknown option '--frobnicate'"},
        {{"--export-obj", "a.nbs", "a.obj"}, CommandLine::ExportObj, "a.nbs", "a.obj", 1280, 800, ""},
        {{"--export-obj", "a.nbs"}, CommandLine::Invalid, "", "", 0, 0, "--export-obj needs"},
        {{"--export-obj", "a.nbs", "a.obj", "x"}, CommandLine::Invalid, "", "", 0, 0, "--export-obj needs"},
        {{"--render", "a.nbs", "a.png"}, CommandLine::Render, "a.nbs", "a.png", 1280, 800, ""},
        {{"--render", "a.nbs", "a.png", "--size", "640x480"},
         CommandLine::Render,
         "a.nbs",
         "a.png",
         640,
         480,
         ""},
        {{"--render", "a.nbs", "a.png", "--size=3x2"}, CommandLine::Render, "a.nbs", "a.png", 3, 2, ""},
        {{"--render", "a.nbs", "a.png", "--size", "0x480"},
         CommandLine::Invalid,
         "",
         "",
         0,
         0,
         "--size wants"},
        {{"--render", "a.nbs", "a.png", "--size", "640x"},
         CommandLine::Invalid,
         "",
         "",
         0,
         0,
         "--size wants"},
        {{"--render", "a.nbs", "a.png", "--size", "99999x10"}, CommandLine::Invalid, "", "", 0, 0, "--size"},
        {{"--render", "a.nbs", "a.png", "--size"}, CommandLine::Invalid, "", "", 0, 0, "unexpected argument"},
        {{"--render", "a.nbs"}, CommandLine::Invalid, "", "", 0, 0, "--render needs"},
        {{"a.nbs", "--help"}, CommandLine::Help, "", "", 1280, 800, ""},
        {{"--version"}, CommandLine::Version, "", "", 1280, 800, ""},
    };
    for (const Case& c : cases) {
        std::string name;
        for (const char* a : c.args)
            name += std::string(a) + " ";
        SCOPED_TRACE(name);
        const CommandLine line = parsed(c.args);
        EXPECT_EQ(line.mode, c.mode) << line.error;
        if (c.mode == CommandLine::Invalid) {
            EXPECT_NE(line.error.find(c.error), std::string::npos) << line.error;
            continue;
        }
        EXPECT_EQ(line.scenePath, c.scene);
        EXPECT_EQ(line.outputPath, c.output);
        EXPECT_EQ(line.width, c.width);
        EXPECT_EQ(line.height, c.height);
    }
    // Help, version, the export and mistakes run before the toolkit starts, unless an argument
    // may be one of the toolkit's own options, which only QApplication can take out.
    struct Display {
        std::vector<const char*> args;
        bool headless;
    } displays[] = {
        {{"--export-obj", "a.nbs"}, true},
        {{"--version"}, true},
        {{"--frobnicate"}, true},
        {{"--render", "a.nbs"}, true},
        {{"--render", "a.nbs", "a.png"}, false},
        {{"a.nbs"}, false},
        {{"-platform", "xcb", "a.nbs"}, false},
        {{"--style=fusion", "--frobnicate"}, false},
    };
    for (const Display& d : displays)
        EXPECT_EQ(parsed(d.args).runsWithoutDisplay(), d.headless) << d.args[0] << " " << d.args.size();
}

struct Outcome {
    int status;
    std::string out, err;
};

Outcome runHeadless(std::vector<const char*> args) {
    std::ostringstream out, err;
    const int status = parsed(std::move(args)).runWithoutDisplay(out, err);
    return {status, out.str(), err.str()};
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string exampleScene(const char* name) {
    return std::string(KNOTWORK_SOURCE_DIR) + "/data/examples/" + name;
}

TEST(CommandLineHeadless, HelpVersionAndUsageErrors) {
    const Outcome help = runHeadless({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--export-obj SCENE.nbs OUT.obj"), std::string::npos);
    const Outcome version = runHeadless({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("knotwork ", 0), 0u);
    const Outcome wrong = runHeadless({"--export-obj", "only.nbs"});
    EXPECT_EQ(wrong.status, CommandLine::UsageFailure);
    EXPECT_EQ(wrong.out, "");
    EXPECT_NE(wrong.err.find("Usage:"), std::string::npos);
}

TEST(CommandLineHeadless, UnreadableOrDamagedSceneReportsWhereAndWritesNothing) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString();
    std::string sphere = readText(exampleScene("sphere.nbs"));
    ASSERT_EQ(sphere.size(), 326u);
    sphere[1 + 4] = 0; // order 0
    std::ofstream(folder + "/damaged.nbs", std::ios::binary) << sphere;
    struct Case {
        std::string scene;
        const char* reason;
    } cases[] = {
        {folder + "/missing.nbs", "cannot open"},
        {folder + "/damaged.nbs", "entry 1 (curve) at byte 5: order is 0"},
        {folder, "not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scene);
        const std::string obj = folder + "/out.obj";
        const Outcome result = runHeadless({"--export-obj", c.scene.c_str(), obj.c_str()});
        EXPECT_EQ(result.status, CommandLine::FileFailure);
        EXPECT_EQ(result.out, "Bad input file, please try again.\n");
        EXPECT_NE(result.err.find(c.reason), std::string::npos) << result.err;
        EXPECT_FALSE(std::filesystem::exists(obj));
    }
}

// What the OBJ file of a scene must hold, computed from the scene itself.
struct ExpectedObject {
    std::string name;
    std::vector<double> vertices; // x, y, z each
    bool faces;
};

std::vector<ExpectedObject> expectedObjects(SceneList& scene) {
    std::vector<ExpectedObject> objects;
    int entry = 1;
    for (SceneNode* node = scene.first; node; node = node->next, ++entry) {
        ExpectedObject expected;
        if (auto* curve = dynamic_cast<NurbsCurve*>(node->object)) {
            expected.name = "curve_" + std::to_string(entry);
            for (const ControlPoint& p : curve->samplePoints())
                expected.vertices.insert(expected.vertices.end(), {p.x, p.y, p.z});
            expected.faces = false;
        } else {
            SurfaceMesh* mesh = nullptr;
            if (auto* revolution = dynamic_cast<RevolutionSurface*>(node->object)) {
                expected.name = "revolution_" + std::to_string(entry);
                revolution->setShading(true);
                revolution->tessellate();
                mesh = &revolution->surfaceMesh;
            } else {
                auto* patch = static_cast<CurveSurface*>(node->object);
                expected.name = "patch_" + std::to_string(entry);
                patch->setShading(true);
                patch->tessellate();
                mesh = &patch->surfaceMesh;
            }
            for (const SurfaceMesh::Primitive& p : mesh->primitives)
                if (p.mode == SurfaceMesh::Triangles)
                    for (int i = p.first; i < p.first + p.count; ++i)
                        for (int a = 0; a < 3; ++a)
                            expected.vertices.push_back(mesh->positions[3 * i + a] +
                                                        (mesh->translated ? mesh->offset[a] : 0.0f));
            expected.faces = true;
        }
        objects.push_back(expected);
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
        const std::vector<ExpectedObject> expected = expectedObjects(scene);

        std::ifstream in(obj);
        std::string line;
        int object = -1;
        std::size_t coordinate = 0;
        long long vertexCount = 0, normalCount = 0, faces = 0, badIndexes = 0;
        std::vector<std::size_t> verticesPerObject(expected.size(), 0);
        while (std::getline(in, line)) {
            std::istringstream words(line);
            std::string keyword;
            words >> keyword;
            if (keyword == "o") {
                ASSERT_LT(++object, static_cast<int>(expected.size()));
                std::string name;
                words >> name;
                EXPECT_EQ(name, expected[object].name);
                coordinate = 0;
            } else if (keyword == "v") {
                ASSERT_GE(object, 0);
                ++vertexCount;
                ++verticesPerObject[object];
                for (std::string number; words >> number; ++coordinate) {
                    ASSERT_LT(coordinate, expected[object].vertices.size());
                    EXPECT_EQ(std::strtod(number.c_str(), nullptr), expected[object].vertices[coordinate]);
                }
            } else if (keyword == "vn") {
                ++normalCount;
            } else if (keyword == "f" || keyword == "l") {
                faces += keyword == "f";
                for (std::string corner; words >> corner;) {
                    const long long index = std::atoll(corner.c_str());
                    badIndexes += index < 1 || index > vertexCount;
                    if (keyword == "f")
                        badIndexes += corner != std::to_string(index) + "//" + std::to_string(index);
                }
            }
        }
        EXPECT_EQ(object + 1, static_cast<int>(expected.size()));
        EXPECT_EQ(badIndexes, 0);
        long long surfaceVertices = 0;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(verticesPerObject[i] * 3, expected[i].vertices.size()) << expected[i].name;
            if (expected[i].faces)
                surfaceVertices += static_cast<long long>(verticesPerObject[i]);
        }
        EXPECT_EQ(normalCount, surfaceVertices);
        EXPECT_EQ(faces * 3, surfaceVertices);
        EXPECT_GT(vertexCount, 0);
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
    // The sphere's wireframe (green by default) shows in every view around the centre of each quarter.
    const QRect quarters[4] = {
        {0, 0, 200, 150}, {200, 0, 200, 150}, {0, 150, 200, 150}, {200, 150, 200, 150}};
    for (const QRect& quarter : quarters) {
        int green = 0;
        for (int y = quarter.top() + 30; y < quarter.bottom() - 30; ++y)
            for (int x = quarter.left() + 40; x < quarter.right() - 40; ++x) {
                const QColor c = image.pixelColor(x, y);
                green += c.green() > 120 && c.green() > c.red() + 40 && c.green() > c.blue() + 40;
            }
        EXPECT_GT(green, 20) << "quarter at " << quarter.x() << "," << quarter.y();
    }
}

} // namespace
