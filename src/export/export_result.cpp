// Texts of an export's report.
#include "export/export_result.h"

#include <cstdio>

namespace {

std::string counted(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string sizeText(long long bytes) {
    char text[32];
    if (bytes < 10 * 1024)
        std::snprintf(text, sizeof text, "%lld bytes", bytes);
    else if (bytes < 10ll * 1024 * 1024)
        std::snprintf(text, sizeof text, "%lld kB", bytes / 1024);
    else
        std::snprintf(text, sizeof text, "%lld MB", bytes / (1024 * 1024));
    return text;
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2g", value);
    return text;
}

std::string baseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

int ExportResult::fittedSurfaces() const {
    int n = 0;
    for (const ExportedSurface& s : surfaces)
        n += !s.exact;
    return n;
}

std::string ExportResult::summary() const {
    if (!ok)
        return "Nothing exported: " + error;
    std::vector<std::string> parts;
    if (curves > 0)
        parts.push_back(counted(curves, "curve", "curves"));
    if (revolutions > 0)
        parts.push_back(counted(revolutions, "surface of revolution", "surfaces of revolution"));
    if (patches > 0)
        parts.push_back(counted(patches, "Coons patch", "Coons patches"));
    if (extrusions > 0)
        parts.push_back(counted(extrusions, "extrusion", "extrusions"));
    std::string list;
    for (std::size_t i = 0; i < parts.size(); ++i)
        list += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    const ExportFormatInfo* info = exportFormatInfo(format);
    std::string text = "Exported " + list + " to " + baseName(path) + " (" + (info ? info->name : "?") +
                       ", " + sizeText(bytes) + ")";
    if (info && info->exact && !surfaces.empty()) {
        const int fitted = fittedSurfaces();
        if (fitted == 0)
            text += "; every surface exact";
        else
            text += "; " + counted(fitted, "surface", "surfaces") + " fitted within " +
                    number(sceneSize > 0.0 ? maxDeviation / sceneSize : maxDeviation) +
                    " of the scene's size";
    } else if (info && !info->exact) {
        text += "; " + std::to_string(triangles) + " triangles";
    }
    if (leftOut > 0)
        text += "; " + counted(leftOut, "object", "objects") + " left out";
    return text + ".";
}

std::string ExportResult::report() const {
    std::string text = summary() + "\n";
    for (const ExportedSurface& s : surfaces)
        if (!s.exact)
            text += s.name + ": fitted, at most " + number(s.deviation) + " from the scene's surface\n";
    for (const std::string& note : notes)
        text += note + "\n";
    return text;
}
