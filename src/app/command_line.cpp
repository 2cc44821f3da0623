// Parsing the command line, the headless OBJ export and the off-screen render of the four views.
#include "app/command_line.h"

#include "canvas/gl_pelm.h"
#include "export/scene_exporter.h"
#include "geometry/nurbs_curve.h"
#include "scene/scene_file.h"
#include "scene/scene_list.h"
#include "surfaces/curve_surface.h"
#include "surfaces/revolution_surface.h"
#include "surfaces/surface_mesh.h"

#include <QFile>
#include <QImage>
#include <QString>
#include <Qt>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <ostream>
#include <vector>

#ifndef KNOTWORK_VERSION
#define KNOTWORK_VERSION "unknown"
#endif

namespace {

// "WxH" with both sides in 1..MaximumSize.
bool parseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find('x');
    if (x == std::string::npos)
        return false;
    const char* begin = text.data();
    const char* end = begin + text.size();
    const auto w = std::from_chars(begin, begin + x, width);
    const auto h = std::from_chars(begin + x + 1, end, height);
    return w.ec == std::errc() && w.ptr == begin + x && h.ec == std::errc() && h.ptr == end && width >= 1 &&
           height >= 1 && width <= CommandLine::MaximumSize && height <= CommandLine::MaximumSize;
}

// Options QApplication takes out of the command line itself (with one dash or two).
bool isToolkitOption(const std::string& arg) {
    static const char* const names[] = {"platform",
                                        "platformpluginpath",
                                        "platformtheme",
                                        "plugin",
                                        "qwindowgeometry",
                                        "geometry",
                                        "qwindowtitle",
                                        "title",
                                        "qwindowicon",
                                        "icon",
                                        "reverse",
                                        "session",
                                        "style",
                                        "stylesheet",
                                        "widgetcount",
                                        "display",
                                        "name",
                                        "dialogs",
                                        "nograb",
                                        "dograb",
                                        "visual",
                                        "ncols",
                                        "cmap",
                                        "sync",
                                        "qmljsdebugger",
                                        "testability"};
    if (arg.size() < 2 || arg[0] != '-')
        return false;
    const std::size_t start = arg[1] == '-' ? 2 : 1;
    const std::string name =
        arg.substr(start, arg.find('=') == std::string::npos ? std::string::npos : arg.find('=') - start);
    for (const char* known : names)
        if (name == known)
            return true;
    return false;
}

CommandLine invalid(CommandLine line, std::string why) {
    line.mode = CommandLine::Invalid;
    line.error = std::move(why);
    return line;
}

} // namespace

static bool loadScene(const std::string& path, SceneList& scene, std::ostream& out, std::ostream& err);

namespace {
// The formats --export knows in this build, with their extensions.
std::string formatNames() {
    std::string names;
    for (const ExportFormatInfo& info : availableExportFormats()) {
        if (info.format == ExportFormat::ObjMesh)
            continue;
        names += (names.empty() ? "" : ", ") + std::string(info.name) + " (" + info.extensions + ")";
    }
    return names + ", OBJ mesh (obj with --mesh)";
}
} // namespace

CommandLine CommandLine::parse(int argc, const char* const* argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i] ? argv[i] : "");
    CommandLine line = parseArguments(args);
    // A mistake is reported before the toolkit starts, and so without a display, unless an
    // argument may be the toolkit's own option, which QApplication takes out first.
    if (line.mode == Invalid)
        line.headless = std::none_of(args.begin(), args.end(), isToolkitOption);
    return line;
}

CommandLine CommandLine::parseArguments(const std::vector<std::string>& args) {
    CommandLine line;

    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            line.mode = Help;
            line.headless = true;
            return line;
        }
        if (arg == "--version") {
            line.mode = Version;
            line.headless = true;
            return line;
        }
    }
    if (args.empty())
        return line;

    if (args[0] == "--export-obj") {
        line.headless = true;
        if (args.size() != 3)
            return invalid(line, "--export-obj needs a scene file and an OBJ file, and nothing else");
        line.mode = ExportObj;
        line.scenePath = args[1];
        line.outputPath = args[2];
        return line;
    }
    if (args[0] == "--export") {
        line.headless = true;
        std::vector<std::string> names;
        for (std::size_t i = 1; i < args.size(); ++i) {
            if (args[i] == "--mesh")
                line.mesh = true;
            else
                names.push_back(args[i]);
        }
        if (names.size() != 2)
            return invalid(line, "--export needs a scene file and an output file, and at most --mesh");
        line.mode = Export;
        line.scenePath = names[0];
        line.outputPath = names[1];
        const int format = exportFormatForPath(line.outputPath, line.mesh);
        if (format == ExportFormat::Unknown)
            return invalid(line, "cannot tell the format of '" + line.outputPath + "': " + formatNames());
        if (!exportFormatAvailable(format))
            return invalid(line, std::string(exportFormatInfo(format)->name) +
                                     " is not in this build (built without Open CASCADE): " + formatNames());
        if (line.mesh && format != ExportFormat::ObjMesh)
            return invalid(line, "--mesh goes with an .obj file");
        return line;
    }
    if (args[0] == "--render") {
        if (args.size() < 3)
            return invalid(line, "--render needs a scene file and an image file");
        line.mode = Render;
        line.scenePath = args[1];
        line.outputPath = args[2];
        for (std::size_t i = 3; i < args.size(); ++i) {
            if (args[i] == "--keep-views") {
                line.keepViews = true;
                continue;
            }
            std::string size;
            if (args[i] == "--size" && i + 1 < args.size())
                size = args[++i];
            else if (args[i].rfind("--size=", 0) == 0)
                size = args[i].substr(7);
            else
                return invalid(line, "unexpected argument '" + args[i] + "' after --render");
            if (!parseSize(size, line.width, line.height))
                return invalid(line, "--size wants WIDTHxHEIGHT, each 1.." + std::to_string(MaximumSize) +
                                         ", not '" + size + "'");
        }
        return line;
    }

    // The window: at most one scene file. "--" lets a file name start with a dash.
    bool namesOnly = false;
    for (const std::string& arg : args) {
        if (!namesOnly && arg == "--") {
            namesOnly = true;
            continue;
        }
        if (!namesOnly && !arg.empty() && arg[0] == '-')
            return invalid(line, "unknown option '" + arg + "'");
        if (!line.scenePath.empty())
            return invalid(line, "more than one scene file: '" + line.scenePath + "' and '" + arg + "'");
        line.scenePath = arg;
    }
    return line;
}

std::string CommandLine::usage() {
    return "Usage: knotwork [SCENE.nbs]\n"
           "       knotwork --export SCENE.nbs OUT.EXT [--mesh]\n"
           "       knotwork --export-obj SCENE.nbs OUT.obj\n"
           "       knotwork --render SCENE.nbs OUT.png [--size WIDTHxHEIGHT] [--keep-views]\n"
           "       knotwork --help | --version\n"
           "\n"
           "Without options, opens the modeller, with SCENE.nbs loaded when one is named.\n"
           "--export      writes the scene in the format of OUT's extension: " +
           formatNames() +
           ".\n"
           "              Curves and surfaces are exact NURBS except in the mesh formats; --mesh\n"
           "              writes .obj as a mesh instead of free-form. Needs no display.\n"
           "--export-obj  writes every curve as a polyline and every surface as shaded triangles\n"
           "              with normals to an OBJ file; needs no display.\n"
           "--render      draws the four views of the scene into an image (default size " +
           std::to_string(DefaultWidth) + "x" + std::to_string(DefaultHeight) +
           ");\n"
           "              every view is framed on the scene, as Frame All does, unless --keep-views\n"
           "              keeps the views as the window starts. Needs a display with OpenGL.\n"
           "The toolkit's own options (-platform, -display, ...) are accepted too.\n";
}

int CommandLine::runWithoutDisplay(std::ostream& out, std::ostream& err) const {
    switch (mode) {
    case Help:
        out << usage();
        return 0;
    case Version:
        out << "knotwork " KNOTWORK_VERSION "\n";
        return 0;
    case ExportObj:
    case Export: {
        SceneList scene;
        if (!loadScene(scenePath, scene, out, err))
            return FileFailure;
        const int format = mode == ExportObj ? ExportFormat::ObjMesh : exportFormatForPath(outputPath, mesh);
        // The OBJ mesh of old leaves out what has no mesh (a surface still waiting for curves); the
        // exact export refuses the scene and names the object instead.
        ExportOptions options;
        options.skipRefused = mode == ExportObj;
        const ExportResult result = exportScene(scene, outputPath, format, options);
        if (!result.ok) {
            err << "knotwork: " << result.error << std::endl;
            return FileFailure;
        }
        if (mode == Export)
            out << result.report() << std::flush;
        return 0;
    }
    case Invalid:
        err << "knotwork: " << error << "\n\n" << usage();
        return UsageFailure;
    }
    err << "knotwork: this mode needs a display\n";
    return UsageFailure;
}

// The scene is read before any GL exists, so a bad file needs no display to be reported.
static bool loadScene(const std::string& path, SceneList& scene, std::ostream& out, std::ostream& err) {
    SceneFile file;
    if (file.load(path.c_str(), scene)) {
        for (const std::string& notice : file.notices)
            err << "knotwork: " << notice << '\n';
        err.flush();
        return true;
    }
    out << SceneFile::LoadFailedMessage << std::endl;
    err << "knotwork: " << file.error << std::endl;
    return false;
}

int CommandLine::render(std::ostream& out, std::ostream& err) const {
    GLPelm canvas(nullptr, "render");
    // Rendered off screen at exactly the asked size; the window never appears.
    canvas.setAttribute(Qt::WA_DontShowOnScreen);
    canvas.resize(width, height);
    canvas.show();
    if (!canvas.loadSceneFile(scenePath.c_str(), out, err, !keepViews))
        return FileFailure;
    const QImage image = canvas.grabSettledFrame();
    if (image.isNull() || !image.save(QFile::decodeName(outputPath.c_str()))) {
        err << "knotwork: cannot write the image " << outputPath << std::endl;
        return FileFailure;
    }
    return 0;
}
