// Saving and loading a scene of 10,000 curves of 100 control points each (about 57 MB).
#include "curve_grid.h"
#include "scene/scene_file.h"
#include "scene/scene_list.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr int curveCount = 10000;
constexpr int pointCount = 100;

void buildScene(SceneList& scene) {
    appendCurveGrid(scene, curveCount, pointCount);
}

std::string temporaryPath() {
    return (std::filesystem::temp_directory_path() /
            ("knotwork_bench_" + std::to_string(::getpid()) + ".nbs"))
        .string();
}

void setBytes(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void serialiseScene(benchmark::State& state) {
    SceneList scene;
    buildScene(scene);
    SceneFile file;
    std::string bytes;
    for (auto _ : state) {
        file.serialise(scene, bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
    setBytes(state, bytes.size());
}

void saveScene(benchmark::State& state) {
    SceneList scene;
    buildScene(scene);
    SceneFile file;
    const std::string path = temporaryPath();
    for (auto _ : state)
        if (!file.save(path.c_str(), scene))
            state.SkipWithError(file.error.c_str());
    setBytes(state, std::filesystem::file_size(path));
    std::filesystem::remove(path);
}

void readScene(benchmark::State& state) {
    SceneList scene;
    buildScene(scene);
    SceneFile file;
    std::string bytes;
    file.serialise(scene, bytes);
    for (auto _ : state) {
        SceneList loaded;
        if (!file.read(bytes, loaded))
            state.SkipWithError(file.error.c_str());
    }
    setBytes(state, bytes.size());
}

void loadScene(benchmark::State& state) {
    SceneList scene;
    buildScene(scene);
    SceneFile file;
    const std::string path = temporaryPath();
    file.save(path.c_str(), scene);
    for (auto _ : state) {
        SceneList loaded;
        if (!file.load(path.c_str(), loaded))
            state.SkipWithError(file.error.c_str());
    }
    setBytes(state, std::filesystem::file_size(path));
    std::filesystem::remove(path);
}

void validateScene(benchmark::State& state) {
    SceneList scene;
    buildScene(scene);
    SceneFile file;
    std::string bytes;
    file.serialise(scene, bytes);
    for (auto _ : state)
        benchmark::DoNotOptimize(file.validate(bytes));
    setBytes(state, bytes.size());
}

} // namespace

BENCHMARK(serialiseScene)->Unit(benchmark::kMillisecond);
BENCHMARK(saveScene)->Unit(benchmark::kMillisecond);
BENCHMARK(validateScene)->Unit(benchmark::kMillisecond);
BENCHMARK(readScene)->Unit(benchmark::kMillisecond);
BENCHMARK(loadScene)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
