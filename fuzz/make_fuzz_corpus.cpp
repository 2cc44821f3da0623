// Writes the fuzzers' seed corpora: scenes made through the program's own scene file, and tiny TGA images.
#include "geometry/nurbs_curve.h"
#include "scene/scene_file.h"
#include "scene/scene_list.h"
#include "surfaces/curve_surface.h"
#include "surfaces/predefined_shapes.h"
#include "surfaces/revolution_surface.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

bool writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

NurbsCurve* addCurve(SceneList& scene, int order, int mode, int count) {
    auto* curve = new NurbsCurve();
    curve->setOrder(order);
    curve->setCurveMode(mode);
    for (int i = 0; i < count; ++i)
        curve->appendPoint(ControlPoint(-6.0 + i, (i % 3) - 1.0, 0.5 * (i % 2)));
    scene.append(curve, ObjectKind::Curve);
    return curve;
}

void predefined(SceneList& scene, int shape) {
    auto* curve = new NurbsCurve();
    buildPredefinedCurve(*curve, shape);
    scene.append(curve, ObjectKind::Curve);
    if (!predefinedShape(shape)->swept)
        return;
    RevolutionSurface* surface = makePredefinedSurface(curve);
    scene.append(surface, ObjectKind::Revolution);
    curve->surfaceLink = surface;
    curve->linkKind = NurbsCurve::RevolutionLink;
}

// The patch first and its curves after it: links that point forward in the file.
void patchBeforeCurves(SceneList& scene, int held) {
    auto* patch = new CurveSurface();
    scene.append(patch, ObjectKind::Coons);
    for (int i = 0; i < held; ++i) {
        NurbsCurve* curve = addCurve(scene, 3, NurbsCurve::Interpolated, 4);
        curve->translate(0.0, 0.0, 3.0 * i);
        curve->surfaceLink = patch;
        curve->linkKind = NurbsCurve::CoonsLink;
        patch->addCoonsCurve(curve);
    }
    patch->setUParamInc(4);
    patch->setVParamInc(5);
}

struct SceneSeed {
    const char* name;
    void (*build)(SceneList&);
};

const SceneSeed sceneSeeds[] = {
    {"empty", [](SceneList&) {}},
    {"circle", [](SceneList& s) { predefined(s, ShapeKind::Circle); }},
    {"square", [](SceneList& s) { predefined(s, ShapeKind::Square); }},
    {"arc", [](SceneList& s) { predefined(s, ShapeKind::Arc); }},
    {"sphere", [](SceneList& s) { predefined(s, ShapeKind::Sphere); }},
    {"cylinder", [](SceneList& s) { predefined(s, ShapeKind::Cylinder); }},
    {"cube", [](SceneList& s) { predefined(s, ShapeKind::Cube); }},
    // 48 points: the record after the tag begins with the byte 0x30, a digit itself.
    {"curve_48_points", [](SceneList& s) { addCurve(s, 4, NurbsCurve::Open, 48); }},
    {"closed_order_5_weighted",
     [](SceneList& s) {
         NurbsCurve* curve = addCurve(s, 5, NurbsCurve::Closed, 7);
         curve->setWeight(3, 2.5);
         curve->setWeight(5, 0.0);
     }},
    {"curve_fewer_points_than_order", [](SceneList& s) { addCurve(s, 6, NurbsCurve::Interpolated, 2); }},
    {"curve_without_points", [](SceneList& s) { addCurve(s, 3, NurbsCurve::Open, 0); }},
    {"released_curve",
     [](SceneList& s) { addCurve(s, 3, NurbsCurve::Open, 5)->linkKind = NurbsCurve::ReleasedLink; }},
    {"revolution_without_profile",
     [](SceneList& s) {
         auto* surface = new RevolutionSurface();
         surface->setDegrees(90.0f);
         surface->setAor(0);
         surface->setRefa(2);
         s.append(surface, ObjectKind::Revolution);
     }},
    {"patch_before_four_curves", [](SceneList& s) { patchBeforeCurves(s, 4); }},
    {"patch_holding_two_curves", [](SceneList& s) { patchBeforeCurves(s, 2); }},
};

bool writeSceneSeeds(const std::filesystem::path& folder, const std::filesystem::path& examples) {
    SceneFile file;
    for (const SceneSeed& seed : sceneSeeds) {
        SceneList scene;
        seed.build(scene);
        std::string bytes;
        if (!file.serialise(scene, bytes)) {
            std::fprintf(stderr, "%s: %s\n", seed.name, file.error.c_str());
            return false;
        }
        if (!writeBytes(folder / (std::string(seed.name) + ".nbs"), bytes))
            return false;
    }

    // Entries apart, as a formatted read of the tags allows: two free curves with white space between.
    SceneList single;
    addCurve(single, 3, NurbsCurve::Interpolated, 4);
    std::string curve;
    file.serialise(single, curve);
    if (!writeBytes(folder / "white_space_between_entries.nbs", " " + curve + "\n\t\r\v\f " + curve + "\n"))
        return false;

    // The example scenes, each loaded and saved again so only files the reader accepts become seeds.
    std::vector<std::filesystem::path> names;
    for (const auto& entry : std::filesystem::directory_iterator(examples))
        if (entry.path().extension() == ".nbs")
            names.push_back(entry.path());
    std::sort(names.begin(), names.end());
    for (const std::filesystem::path& path : names) {
        SceneList scene;
        std::string bytes;
        if (!file.load(path.c_str(), scene) || !file.serialise(scene, bytes)) {
            std::fprintf(stderr, "%s\n", file.error.c_str());
            return false;
        }
        if (!writeBytes(folder / ("example_" + path.filename().string()), bytes))
            return false;
    }
    return true;
}

// An 18-byte TGA header followed by width x height pixels in BGR(A) order, with a pattern that tells
// the channels apart.
std::string tga(int type, int width, int height, int bits, int idLength = 0) {
    std::string bytes(18, '\0');
    bytes[0] = static_cast<char>(idLength);
    bytes[2] = static_cast<char>(type);
    bytes[12] = static_cast<char>(width & 0xff);
    bytes[13] = static_cast<char>(width >> 8);
    bytes[14] = static_cast<char>(height & 0xff);
    bytes[15] = static_cast<char>(height >> 8);
    bytes[16] = static_cast<char>(bits);
    bytes[17] = bits == 32 ? 8 : 0; // alpha bits; the reader ignores this byte
    bytes += std::string(static_cast<std::size_t>(idLength), 'i');
    const int step = bits / 8;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < step; ++c)
                bytes.push_back(static_cast<char>((x * 16 + y * 5 + c * 70) & 0xff));
    return bytes;
}

bool writeTgaSeeds(const std::filesystem::path& folder) {
    struct Seed {
        const char* name;
        std::string bytes;
    };
    const Seed seeds[] = {
        {"rgb_1x1", tga(2, 1, 1, 24)},
        {"rgba_1x1", tga(2, 1, 1, 32)},
        {"rgb_3x2", tga(2, 3, 2, 24)},
        {"rgba_16x16", tga(2, 16, 16, 32)},
        // A 16 x 16 grid of 2-pixel cells, as the font texture is laid out, only smaller.
        {"rgba_32x32_cells", tga(2, 32, 32, 32)},
        {"rgb_with_trailing_bytes", tga(2, 2, 2, 24) + "TRUEVISION-XFILE"},
        {"run_length_encoded", tga(10, 2, 2, 24)},
        {"with_image_id", tga(2, 2, 2, 32, 3)},
        {"depth_16", tga(2, 2, 2, 16)},
        {"header_only", tga(2, 4, 4, 24).substr(0, 18)},
    };
    for (const Seed& seed : seeds)
        if (!writeBytes(folder / (std::string(seed.name) + ".tga"), seed.bytes))
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER EXAMPLE_SCENE_FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    const std::filesystem::path scenes = root / "scene_file";
    const std::filesystem::path images = root / "tga";
    for (const std::filesystem::path& folder : {scenes, images}) {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    if (!writeSceneSeeds(scenes, argv[2]) || !writeTgaSeeds(images))
        return 1;
    std::printf("seeds written to %s and %s\n", scenes.c_str(), images.c_str());
    return 0;
}
