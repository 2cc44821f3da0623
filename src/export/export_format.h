// The file formats a scene can be exported to, and the choice of one by a file's extension.
#pragma once

#include <string>
#include <vector>

// Format codes (ExportFormat).
namespace ExportFormat {
constexpr int Unknown = 0;
constexpr int ObjFreeForm = 1; // .obj: exact NURBS curves and surfaces
constexpr int ObjMesh = 2;     // .obj with the mesh choice: polylines and shaded triangles
constexpr int Stl = 3;         // .stl: binary triangles of the surfaces
constexpr int Step = 4;        // .step, .stp: AP214, exact
constexpr int Iges = 5;        // .iges, .igs: 5.3, exact
} // namespace ExportFormat

struct ExportFormatInfo {
    int format;
    const char* name;       // "STEP AP214"
    const char* extensions; // "step stp", the first is the one to suggest
    bool exact;             // NURBS as they are; false: triangles and polylines
};

// Every format in the order a file dialog lists them, those of this build only (STEP and IGES need
// Open CASCADE).
std::vector<ExportFormatInfo> availableExportFormats();
// The entry of a format code, whether available or not; null for an unknown code.
const ExportFormatInfo* exportFormatInfo(int format);
bool exportFormatAvailable(int format);
// The format for a file name by its extension, case-insensitively; ".obj" is free-form unless mesh
// is asked for. Unknown for an unknown or missing extension (whether available or not: see
// exportFormatAvailable).
int exportFormatForPath(const std::string& path, bool mesh = false);
