// The export format table.
#include "export/export_format.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <sstream>

namespace {
const ExportFormatInfo formats[] = {
    {ExportFormat::Step, "STEP AP214", "step stp", true},
    {ExportFormat::Iges, "IGES 5.3", "iges igs", true},
    {ExportFormat::ObjFreeForm, "OBJ free-form NURBS", "obj", true},
    {ExportFormat::ObjMesh, "OBJ mesh", "obj", false},
    {ExportFormat::Stl, "STL binary mesh", "stl", false},
};
} // namespace

const ExportFormatInfo* exportFormatInfo(int format) {
    for (const ExportFormatInfo& info : formats)
        if (info.format == format)
            return &info;
    return nullptr;
}

bool exportFormatAvailable(int format) {
#if KNOTWORK_WITH_OCCT
    return exportFormatInfo(format) != nullptr;
#else
    return exportFormatInfo(format) != nullptr && format != ExportFormat::Step &&
           format != ExportFormat::Iges;
#endif
}

std::vector<ExportFormatInfo> availableExportFormats() {
    std::vector<ExportFormatInfo> out;
    for (const ExportFormatInfo& info : formats)
        if (exportFormatAvailable(info.format))
            out.push_back(info);
    return out;
}

int exportFormatForPath(const std::string& path, bool mesh) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return ExportFormat::Unknown;
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "obj")
        return mesh ? ExportFormat::ObjMesh : ExportFormat::ObjFreeForm;
    for (const ExportFormatInfo& info : formats) {
        std::istringstream words(info.extensions);
        for (auto word = std::istream_iterator<std::string>(words);
             word != std::istream_iterator<std::string>(); ++word)
            if (*word == extension)
                return info.format;
    }
    return ExportFormat::Unknown;
}
