// The command line beside the window: a scene to open, a headless OBJ export, an off-screen render.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

class SceneList;

class CommandLine {
public:
    // What the program is asked to do (mode).
    static constexpr int Window = 0;    // the modeller, with scenePath loaded when given
    static constexpr int ExportObj = 1; // scenePath to outputPath as OBJ; needs no display
    static constexpr int Render = 2;    // scenePath to outputPath as an image of the four views
    static constexpr int Help = 3;
    static constexpr int Version = 4;
    static constexpr int Invalid = 5; // error says why
    static constexpr int Export = 6;  // scenePath to outputPath in the format of its extension; no display

    // Exit statuses besides 0. FileFailure: a scene that cannot be read or is damaged, or an
    // output that cannot be written.
    static constexpr int FileFailure = 1;
    static constexpr int UsageFailure = 2;

    static constexpr int DefaultWidth = 1280;
    static constexpr int DefaultHeight = 800;
    static constexpr int MaximumSize = 16384;

    int mode = Window;
    std::string scenePath;
    std::string outputPath;
    // --export: the OBJ mesh instead of OBJ free-form.
    bool mesh = false;
    // --render: the views as they start instead of framed on the scene.
    bool keepViews = false;
    int width = DefaultWidth;
    int height = DefaultHeight;
    std::string error;
    // One of the modes that run before any application object was named, even if wrongly.
    bool headless = false;

    // argv[0] is the program; the rest are its arguments.
    static CommandLine parse(int argc, const char* const* argv);

    // Help, version and the export run before the toolkit starts, so they need no display; so does
    // the report of a malformed request for one of them.
    bool runsWithoutDisplay() const { return headless; }
    // Runs a headless mode (or reports the usage error); returns the exit status.
    int runWithoutDisplay(std::ostream& out, std::ostream& err) const;
    // Needs the application object and OpenGL.
    int render(std::ostream& out, std::ostream& err) const;

    static std::string usage();

private:
    static CommandLine parseArguments(const std::vector<std::string>& args);
};
