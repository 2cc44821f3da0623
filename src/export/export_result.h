// What an export wrote: counts per kind, exact or fitted per surface, or why it wrote nothing.
#pragma once

#include "export/export_format.h"

#include <string>
#include <vector>

struct ExportedSurface {
    std::string name; // as written: "revolution_2"
    int kind = 0;     // ObjectKind
    bool exact = true;
    double deviation = 0.0; // largest distance from the scene's surface on the check grid
};

struct ExportResult {
    bool ok = false;
    std::string error; // why nothing was written; the old file, if any, is whole
    int format = ExportFormat::Unknown;
    std::string path;

    // Objects written, per kind.
    int curves = 0;
    int revolutions = 0;
    int patches = 0;
    int extrusions = 0;
    // Objects not written: curves in STL, objects without geometry when they may be skipped.
    int leftOut = 0;
    std::vector<std::string> notes; // one line per remark: what was left out and why, units

    std::vector<ExportedSurface> surfaces; // exact formats: every surface written
    double sceneSize = 0.0;
    double maxDeviation = 0.0; // largest deviation of the surfaces written
    long long triangles = 0;   // mesh formats
    long long bytes = 0;       // size of the file written

    int written() const { return curves + revolutions + patches + extrusions; }
    int fittedSurfaces() const;
    // One line for a status bar.
    std::string summary() const;
    // The summary, then a line per fitted surface with its deviation, then the notes.
    std::string report() const;
};
