// The scene rules checked after every event of a random session.
#include "geometry/nurbs_curve.h"
#include "scene/scene_file.h"
#include "scene/scene_list.h"
#include "scene/scene_model.h"
#include "surfaces/curve_surface.h"
#include "surfaces/revolution_surface.h"

#include "canvas/gl_pelm.h"
#include "scene_invariants.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace {

std::string describe(const SceneList& scene, const SceneObject* object) {
    std::ostringstream text;
    text << "object " << scene.positionOf(object);
    return text.str();
}

// A surface's curve either names the surface back or was let go when its surface changed.
bool answersSurface(const NurbsCurve* curve, const SceneObject* surface) {
    return curve->surfaceLink == surface || curve->linkKind == NurbsCurve::ReleasedLink;
}

std::string curveFault(const SceneList& scene, const NurbsCurve& curve) {
    const std::string name = describe(scene, &curve);
    for (size_t i = 0; i < curve.controlPoints.size(); ++i) {
        const ControlPoint& p = curve.controlPoints[i];
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z) || !std::isfinite(p.w))
            return name + ": control point " + std::to_string(i) + " is not finite";
        if (p.w < 0.0)
            return name + ": control point " + std::to_string(i) + " has a negative weight";
    }
    if (curve.linkKind < NurbsCurve::FreeLink || curve.linkKind > NurbsCurve::ReleasedLink)
        return name + ": link kind " + std::to_string(curve.linkKind) + " out of range";
    const SceneObject* surface = curve.surfaceLink;
    if (!surface)
        return {};
    const int position = scene.positionOf(surface);
    if (position < 0)
        return name + ": its surface is not in the scene";
    const int kind = scene.kindAt(position);
    if (kind != curve.linkKind)
        return name + ": link kind " + std::to_string(curve.linkKind) + " to a surface of kind " +
               std::to_string(kind);
    if (const auto* revolution = dynamic_cast<const RevolutionSurface*>(surface)) {
        if (revolution->profile != &curve)
            return name + ": its surface of revolution has another profile";
    } else if (const auto* patch = dynamic_cast<const CurveSurface*>(surface)) {
        if (std::find(patch->curves.begin(), patch->curves.end(), &curve) == patch->curves.end())
            return name + ": its patch does not hold it";
    }
    return {};
}

std::string surfaceFault(const SceneList& scene, const SceneObject& surface, int kind) {
    const std::string name = describe(scene, &surface);
    if (kind == ObjectKind::Revolution) {
        const auto* revolution = dynamic_cast<const RevolutionSurface*>(&surface);
        if (!revolution)
            return name + ": kind 2 without a surface of revolution";
        const NurbsCurve* profile = revolution->profile;
        if (!profile)
            return {};
        if (!scene.contains(profile))
            return name + ": its profile is not in the scene";
        if (!answersSurface(profile, &surface))
            return name + ": its profile links elsewhere";
        return {};
    }
    const auto* patch = dynamic_cast<const CurveSurface*>(&surface);
    if (!patch)
        return name + ": kind " + std::to_string(kind) + " without a patch";
    if (patch->curves.size() > 4)
        return name + ": holds " + std::to_string(patch->curves.size()) + " curves";
    for (const NurbsCurve* curve : patch->curves) {
        if (!curve)
            return name + ": holds a null curve";
        if (!scene.contains(curve))
            return name + ": holds a curve that is not in the scene";
        if (!answersSurface(curve, &surface))
            return name + ": holds a curve that links elsewhere";
    }
    return {};
}

std::string fileFault(const SceneList& scene) {
    SceneFile file;
    std::string saved;
    if (!file.serialise(scene, saved))
        return "the scene does not save: " + file.error;
    SceneList loaded;
    if (!file.read(saved, loaded))
        return "the saved scene does not load: " + file.error + " (entry " + std::to_string(file.errorEntry) +
               ", offset " + std::to_string(file.errorOffset) + ")";
    if (loaded.size() != scene.size())
        return "the saved scene loads " + std::to_string(loaded.size()) + " objects of " +
               std::to_string(scene.size());
    std::string again;
    if (!file.serialise(loaded, again))
        return "the loaded scene does not save: " + file.error;
    if (again != saved) {
        const auto mismatch = std::mismatch(saved.begin(), saved.end(), again.begin(), again.end());
        return "saving the loaded scene changes byte " + std::to_string(mismatch.first - saved.begin()) +
               " of " + std::to_string(saved.size());
    }
    return {};
}

} // namespace

std::string sceneFault(const GLPelm& canvas) {
    const SceneList& scene = canvas.scene;
    if (canvas.activeObject) {
        const int position = scene.positionOf(canvas.activeObject);
        if (position < 0)
            return "the active object is not in the scene";
        if (scene.kindAt(position) != canvas.activeKind)
            return "the active kind " + std::to_string(canvas.activeKind) + " is not the active object's " +
                   std::to_string(scene.kindAt(position));
    }
    if (canvas.pickedCurve && !scene.contains(canvas.pickedCurve))
        return "the picked curve is not in the scene";
    for (const SceneNode* node = scene.first; node; node = node->next) {
        if (!node->object)
            return "a scene node holds no object";
        std::string fault;
        if (node->kind == ObjectKind::Curve) {
            const auto* curve = dynamic_cast<const NurbsCurve*>(node->object);
            fault = curve ? curveFault(scene, *curve)
                          : describe(scene, node->object) + ": kind 1 without a curve";
        } else {
            fault = surfaceFault(scene, *node->object, node->kind);
        }
        if (!fault.empty())
            return fault;
    }
    return fileFault(scene);
}

std::string recordCacheFault(SceneModel& model) {
    SceneRecordCache& cache = model.records;
    cache.followLayout(model.scene);
    for (const SceneNode* node = model.scene.first; node; node = node->next) {
        const SceneRecordCache::Record cached = cache.current(node->object);
        if (!cached)
            continue;
        std::ostringstream fresh(std::ios::binary);
        fresh.put(SceneFile::tagOf(node->object));
        node->object->write(fresh, model.scene);
        if (*cached != fresh.str())
            return describe(model.scene, node->object) + ": the autosave's cached record is stale";
    }
    return {};
}
