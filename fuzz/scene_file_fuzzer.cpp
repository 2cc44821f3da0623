// libFuzzer target: arbitrary bytes through the scene-file reader, then the loaded scene through a save/load
// round trip and a rebuild.
#include "geometry/nurbs_curve.h"
#include "geometry/scene_object.h"
#include "scene/scene_file.h"
#include "scene/scene_list.h"
#include "surfaces/curve_surface.h"
#include "surfaces/revolution_surface.h"
#include "surfaces/surface_mesh.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void broken(const char* what, const std::string& detail = std::string()) {
    std::fprintf(stderr, "invariant broken: %s %s\n", what, detail.c_str());
    std::abort();
}

// A mesh's primitives, colours and normals must all stay inside its own arrays, or emit() reads past them.
void checkMesh(const SurfaceMesh& mesh) {
    if (mesh.positions.size() % 3 != 0)
        broken("mesh positions are not whole vertices");
    if (mesh.hasNormals && mesh.normals.size() != mesh.positions.size())
        broken("mesh normals do not match its vertices");
    if (mesh.colours.size() % 3 != 0)
        broken("mesh colours are not whole triples");
    const long long vertices = mesh.vertexCount();
    const long long colours = static_cast<long long>(mesh.colours.size() / 3);
    for (const SurfaceMesh::Primitive& p : mesh.primitives) {
        if (p.first < 0 || p.count < 0 || p.first + static_cast<long long>(p.count) > vertices)
            broken("mesh primitive outside its vertices");
        if (p.colour < -1 || p.colour >= colours)
            broken("mesh primitive names a missing colour");
    }
}

// Rebuilding a surface costs about u x v curve evaluations; past this the input only burns time
// without reaching new code, so such surfaces are loaded and saved but not swept.
constexpr long long sweepBudget = 20000;

// What the first repaint after a load computes, short of GL: curve samples and surface meshes.
void rebuildScene(SceneList& scene) {
    for (SceneNode* node = scene.first; node; node = node->next) {
        if (auto* curve = dynamic_cast<NurbsCurve*>(node->object)) {
            if (static_cast<long long>(curve->paramInc) * curve->order <= sweepBudget)
                curve->samplePoints();
        } else if (auto* revolution = dynamic_cast<RevolutionSurface*>(node->object)) {
            if (static_cast<long long>(revolution->uParamInc) * revolution->vParamInc <= sweepBudget) {
                revolution->tessellate();
                checkMesh(revolution->surfaceMesh);
            }
        } else if (auto* patch = dynamic_cast<CurveSurface*>(node->object)) {
            if (static_cast<long long>(patch->uParamInc) * patch->vParamInc <= sweepBudget) {
                patch->tessellate();
                checkMesh(patch->surfaceMesh);
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    SceneFile file;
    const bool valid = file.validate(bytes);
    SceneList scene;
    const bool loaded = file.read(bytes, scene);
    if (valid != loaded)
        broken("validate and read disagree:", file.error);
    if (!loaded) {
        // A refused file names where it went wrong and leaves the scene untouched.
        if (file.error.empty())
            broken("a refused file gave no reason");
        if (file.errorOffset < 0 || file.errorOffset > static_cast<long long>(size) || file.errorEntry < 1)
            broken("a refused file gave no place:", file.error);
        if (scene.first)
            broken("a refused file changed the scene");
        if (!file.notices.empty())
            broken("a refused file reported a repair");
        return 0;
    }

    // Every link of a loaded scene points into the scene, and a curve's surface holds it: a link only
    // the curve kept was released while loading.
    for (SceneNode* node = scene.first; node; node = node->next) {
        if (auto* curve = dynamic_cast<NurbsCurve*>(node->object)) {
            if (curve->surfaceLink && !scene.contains(curve->surfaceLink))
                broken("a curve links to an object outside the scene");
            if (auto* revolution = dynamic_cast<RevolutionSurface*>(curve->surfaceLink);
                revolution && revolution->profile != curve)
                broken("a profile names a surface that does not hold it");
            if (auto* patch = dynamic_cast<CurveSurface*>(curve->surfaceLink);
                patch && std::find(patch->curves.begin(), patch->curves.end(), curve) == patch->curves.end())
                broken("a curve names a patch that does not hold it");
        } else if (auto* revolution = dynamic_cast<RevolutionSurface*>(node->object)) {
            if (revolution->profile && !scene.contains(revolution->profile))
                broken("a profile outside the scene");
        } else if (auto* patch = dynamic_cast<CurveSurface*>(node->object)) {
            if (patch->curves.size() > 4)
                broken("a patch holds more than four curves");
            for (NurbsCurve* curve : patch->curves)
                if (!scene.contains(curve))
                    broken("a patch curve outside the scene");
        }
    }

    // Saved, loaded and saved again, a scene gives the same bytes both times.
    std::string first;
    if (!file.serialise(scene, first))
        broken("a loaded scene cannot be saved:", file.error);
    SceneList again;
    if (!file.read(first, again))
        broken("a saved scene does not load:", file.error);
    if (again.size() != scene.size())
        broken("a saved scene loads with another number of objects");
    std::string second;
    if (!file.serialise(again, second))
        broken("a reloaded scene cannot be saved:", file.error);
    if (first != second)
        broken("save, load and save give other bytes");

    rebuildScene(scene);
    return 0;
}
