// Exporting a scene to a file: the one entry point of the command line and the menu.
#pragma once

#include "export/export_format.h"
#include "export/export_result.h"

#include <string>

class SceneList;

struct ExportOptions {
    // Objects without geometry (a surface short of curves, a curve with fewer points than its order)
    // are left out and listed in the notes, instead of failing the export.
    bool skipRefused = false;
};

// Writes the scene in the format (see exportFormatForPath) through a temporary file that replaces
// the target only once complete: on any failure the old file stays as it was and the result says why.
// The scene is not changed.
ExportResult exportScene(const SceneList& scene, const std::string& path, int format,
                         const ExportOptions& options = {});
