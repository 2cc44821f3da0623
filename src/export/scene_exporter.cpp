// The export entry point: choose what to write, write it crash-safe, report.
#include "export/scene_exporter.h"

#include "exchange/exchange_model.h"
#include "exchange/export_mesh.h"
#include "exchange/obj_free_form_writer.h"
#include "exchange/obj_mesh_writer.h"
#include "exchange/scene_size.h"
#include "exchange/stl_writer.h"
#include "exchange/surface_conversion.h"
#include "scene/safe_file_writer.h"
#include "scene/scene_list.h"

#if KNOTWORK_WITH_OCCT
#include "occt/occt_writers.h"
#endif

#include <algorithm>
#include <sstream>

namespace {

ExportResult failed(ExportResult result, std::string why) {
    result.ok = false;
    result.error = std::move(why);
    return result;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "; ") + line;
    return text;
}

// ".step .stp .iges ..." for the formats of this build.
std::string knownExtensions() {
    std::vector<std::string> words;
    for (const ExportFormatInfo& info : availableExportFormats()) {
        std::istringstream extensions(info.extensions);
        for (std::string word; extensions >> word;)
            if (std::find(words.begin(), words.end(), word) == words.end())
                words.push_back(word);
    }
    std::string text;
    for (const std::string& word : words)
        text += (text.empty() ? "." : " .") + word;
    return text;
}

void countKind(ExportResult& result, int kind) {
    switch (kind) {
    case ObjectKind::Curve:
        ++result.curves;
        break;
    case ObjectKind::Revolution:
        ++result.revolutions;
        break;
    case ObjectKind::Coons:
        ++result.patches;
        break;
    case ObjectKind::Extrusion:
        ++result.extrusions;
        break;
    default:
        break;
    }
}

bool drawnKind(int kind) {
    return kind == ObjectKind::Curve || kind == ObjectKind::Revolution || kind == ObjectKind::Coons ||
           kind == ObjectKind::Extrusion;
}

} // namespace

ExportResult exportScene(const SceneList& scene, const std::string& path, int format,
                         const ExportOptions& options) {
    ExportResult result;
    result.format = format;
    result.path = path;
    const ExportFormatInfo* info = exportFormatInfo(format);
    if (!info)
        return failed(result, "cannot tell the format of " + path + ": its extension is none of " +
                                  knownExtensions());
    if (!exportFormatAvailable(format))
        return failed(result, std::string(info->name) + " files cannot be written: this Knotwork was built "
                                                        "without Open CASCADE");

    // What is written and what has nothing to write.
    std::vector<std::string> refused;
    ExchangeModel model;
    if (info->exact) {
        model = buildExchangeModel(scene);
        refused = model.refused;
        result.sceneSize = model.sceneSize;
        if (format == ExportFormat::Step || format == ExportFormat::Iges) {
            // Open CASCADE takes degrees up to 25; the scene's curves may have order 99.
            auto tooHigh = [&refused](const ExchangeObject& object) {
                const int degree = object.isSurface ? std::max(object.surface.uDegree, object.surface.vDegree)
                                                    : object.curve.degree;
                if (degree <= MaxExchangeDegree)
                    return false;
                refused.push_back(object.name + " has degree " + std::to_string(degree) + ", above the " +
                                  std::to_string(MaxExchangeDegree) + " that STEP and IGES take");
                return true;
            };
            model.objects.erase(std::remove_if(model.objects.begin(), model.objects.end(), tooHigh),
                                model.objects.end());
        }
        for (const ExchangeObject& object : model.objects) {
            countKind(result, object.kind);
            if (!object.isSurface)
                continue;
            result.surfaces.push_back(
                ExportedSurface{object.name, object.kind, object.exact, object.deviation});
            result.maxDeviation = std::max(result.maxDeviation, object.deviation);
        }
    } else {
        result.sceneSize = sceneSize(scene);
        int position = 0;
        for (const SceneNode* node = scene.first; node; node = node->next, ++position) {
            if (!drawnKind(node->kind))
                continue;
            const std::string why = meshRefusal(*node);
            if (!why.empty()) {
                refused.push_back(exchangeName(node->kind, position) + " " + why);
            } else if (format == ExportFormat::Stl && node->kind == ObjectKind::Curve) {
                ++result.leftOut;
            } else {
                countKind(result, node->kind);
            }
        }
        if (format == ExportFormat::Stl && result.leftOut > 0)
            result.notes.push_back("STL holds triangles only: " + std::to_string(result.leftOut) + " curve" +
                                   (result.leftOut == 1 ? " was" : "s were") + " left out");
    }
    if (!refused.empty() && !options.skipRefused)
        return failed(result, "nothing written, as " + joined(refused));
    for (const std::string& why : refused)
        result.notes.push_back("left out: " + why);
    result.leftOut += static_cast<int>(refused.size());
    if (result.written() == 0)
        return failed(result,
                      format == ExportFormat::Stl
                          ? std::string("nothing to write: STL holds surfaces only, and the scene has none")
                          : std::string("nothing to write: the scene holds no curve or surface"));
    if (format == ExportFormat::Step || format == ExportFormat::Iges)
        result.notes.push_back("lengths are declared as millimetres");

    SafeFileWriter file(path);
    if (!file.open())
        return failed(result, file.error());
    std::ostream& out = file.stream();
    switch (format) {
    case ExportFormat::ObjFreeForm:
        writeObjFreeForm(model, out);
        break;
    case ExportFormat::ObjMesh:
        result.triangles = writeObjMesh(scene, out).triangles;
        break;
    case ExportFormat::Stl:
        result.triangles = writeStl(scene, out);
        break;
#if KNOTWORK_WITH_OCCT
    case ExportFormat::Step:
    case ExportFormat::Iges: {
        std::string why;
        const bool written =
            format == ExportFormat::Step ? writeStep(model, out, why) : writeIges(model, out, why);
        if (!written)
            return failed(result, why); // the file writer removes its temporary file
        break;
    }
#endif
    default:
        return failed(result, "no writer for this format");
    }
    if (!file.commit())
        return failed(result, file.error());
    result.bytes = file.bytesWritten();
    result.ok = true;
    return result;
}
