// Export time and file size per format: the example scenes, a sphere at coarse and fine increments
// (exact formats do not depend on them), and 10,000 curves of 100 points. Cases named "large/" take
// tens of seconds and are left out of the smoke run.
#include "export/scene_exporter.h"
#include "geometry/nurbs_curve.h"
#include "scene/scene_file.h"
#include "scene/scene_list.h"
#include "surfaces/predefined_shapes.h"
#include "surfaces/revolution_surface.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const int allFormats[] = {ExportFormat::Step, ExportFormat::Iges, ExportFormat::ObjFreeForm,
                          ExportFormat::ObjMesh, ExportFormat::Stl};

const char* extensionOf(int format) {
    switch (format) {
    case ExportFormat::Step:
        return ".step";
    case ExportFormat::Iges:
        return ".igs";
    case ExportFormat::Stl:
        return ".stl";
    default:
        return ".obj";
    }
}

const char* shortName(int format) {
    switch (format) {
    case ExportFormat::Step:
        return "step";
    case ExportFormat::Iges:
        return "iges";
    case ExportFormat::ObjFreeForm:
        return "obj_nurbs";
    case ExportFormat::ObjMesh:
        return "obj_mesh";
    default:
        return "stl";
    }
}

fs::path outputFolder() {
    static const fs::path folder = [] {
        fs::path f = fs::temp_directory_path() / ("knotwork_export_bench_" + std::to_string(::getpid()));
        fs::create_directories(f);
        return f;
    }();
    return folder;
}

// Exports once per iteration; the file's size and the triangles written are the counters.
void exportOnce(benchmark::State& state, const SceneList* scene, int format) {
    const std::string path = (outputFolder() / (std::string("out") + extensionOf(format))).string();
    ExportResult result;
    for (auto _ : state) {
        result = exportScene(*scene, path, format);
        if (!result.ok) {
            state.SkipWithError(result.error.c_str());
            return;
        }
    }
    state.counters["bytes"] = static_cast<double>(result.bytes);
    state.counters["objects"] = result.written();
    if (result.triangles > 0)
        state.counters["triangles"] = static_cast<double>(result.triangles);
    fs::remove(path);
}

// Scenes live as long as the program: the benchmarks refer to them.
std::vector<std::unique_ptr<SceneList>>& scenes() {
    static std::vector<std::unique_ptr<SceneList>> all;
    return all;
}

const SceneList* keep(std::unique_ptr<SceneList> scene) {
    scenes().push_back(std::move(scene));
    return scenes().back().get();
}

std::unique_ptr<SceneList> sphere(int u, int v) {
    auto scene = std::make_unique<SceneList>();
    auto* profile = new NurbsCurve();
    buildPredefinedCurve(*profile, ShapeKind::Sphere);
    scene->append(profile, ObjectKind::Curve);
    RevolutionSurface* surface = makePredefinedSurface(profile);
    surface->setUParamInc(u);
    surface->setVParamInc(v);
    scene->append(surface, ObjectKind::Revolution);
    return scene;
}

// count cubic curves of 100 points each, wavy, side by side.
std::unique_ptr<SceneList> manyCurves(int count) {
    auto scene = std::make_unique<SceneList>();
    for (int c = 0; c < count; ++c) {
        auto* curve = new NurbsCurve();
        curve->setOrder(4);
        std::vector<ControlPoint> points;
        for (int i = 0; i < 100; ++i)
            points.emplace_back(i * 0.1, std::sin(i * 0.3 + c), c * 0.01);
        curve->setControlPoints(points);
        scene->append(curve, ObjectKind::Curve);
    }
    return scene;
}

void registerAll() {
    const fs::path examples = fs::path(KNOTWORK_SOURCE_DIR) / "data" / "examples";
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(examples))
        if (entry.path().extension() == ".nbs")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        auto scene = std::make_unique<SceneList>();
        SceneFile reader;
        if (!reader.load(file.string().c_str(), *scene))
            continue;
        const SceneList* kept = keep(std::move(scene));
        for (int format : allFormats) {
            if (!exportFormatAvailable(format) || (format == ExportFormat::Stl && file.stem() == "curves"))
                continue;
            benchmark::RegisterBenchmark(
                ("example/" + file.stem().string() + "/" + shortName(format)).c_str(), exportOnce, kept,
                format)
                ->Unit(benchmark::kMillisecond);
        }
    }
    // The sphere: exact formats at every increment; the meshes grow with it, past 200 MB at 1000.
    for (int increments : {10, 100, 1000}) {
        const SceneList* kept = keep(sphere(increments, increments));
        for (int format : allFormats) {
            if (!exportFormatAvailable(format))
                continue;
            const bool exact = exportFormatInfo(format)->exact;
            if (exact && increments == 100)
                continue;
            const std::string large = !exact && increments == 1000 ? "large/" : "";
            const std::string sides = std::to_string(increments) + "x" + std::to_string(increments);
            benchmark::RegisterBenchmark((large + "sphere/" + sides + "/" + shortName(format)).c_str(),
                                         exportOnce, kept, format)
                ->Unit(benchmark::kMillisecond);
        }
    }
    for (int count : {100, 10000}) {
        const SceneList* curves = keep(manyCurves(count));
        const std::string name =
            (count > 100 ? "large/" : "") + std::string("curves/") + std::to_string(count) + "x100/";
        for (int format : allFormats)
            if (exportFormatAvailable(format) && format != ExportFormat::Stl)
                benchmark::RegisterBenchmark((name + shortName(format)).c_str(), exportOnce, curves, format)
                    ->Unit(benchmark::kMillisecond);
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(outputFolder(), ignored);
    return 0;
}
