// A bilinearly blended Coons patch over four curves of the scene; also serves as an extrusion.
#pragma once

#include "geometry/control_point.h"
#include "geometry/scene_object.h"
#include "surfaces/background_mesh.h"
#include "surfaces/surface_buffers.h"
#include "surfaces/surface_mesh.h"

#include <vector>

class NurbsCurve;

class CurveSurface : public SceneObject {
public:
    // Bytes of a scene-file record after its tag.
    static constexpr int RecordSize = 48;

    std::vector<NurbsCurve*> curves; // not owned, at most 4, in pick order
    SurfaceBuffers buffers;          // the last rebuild in GL, drawn by index
    bool dirty = true;
    bool shading = false;
    int uParamInc = 10;
    int vParamInc = 10;
    std::vector<std::vector<ControlPoint>> mesh; // grid samples; a set normal is cached
    int curveIndexes[4] = {-1, -1, -1, -1};
    // The last rebuild's output, kept so it can be uploaded again and inspected.
    SurfaceMesh surfaceMesh;
    // Where a rebuild too large for the frame is made.
    BackgroundMesh background;

    CurveSurface() = default;

    // 2: refused (not Interpolated); 1: the loop is complete; 0: waiting for more curves.
    int addCoonsCurve(NurbsCurve* curve);
    // 2: refused; 1: profile and path held; with two or more already held, their number.
    int addExtrudeCurve(NurbsCurve* curve);
    NurbsCurve* curve(int i) const;
    void setUParamInc(int inc);
    void setVParamInc(int inc);
    void setShading(bool on);
    void setGradient(bool on);
    void rebuild();
    void releaseCurves();
    // Moves C1, C2 and C3 (never C0) so the four curves form a closed loop.
    void alignCurves();
    ControlPoint surfacePoint(double s, double t) const;
    ControlPoint meshNormal(int i, int j);
    void clearMesh();

    // Samples the patch into mesh and surfaceMesh; no GL. Leaves surfaceMesh empty when there is
    // nothing to draw.
    void tessellate();
    // About how many cells tessellate makes.
    double estimatedCells() const;
    // tessellate on copies of this patch and its curves, for the rebuilder's thread.
    MeshRebuilder::Job rebuildJob() const;
    // The mesh with both increments at most `most`: points of the same surface, fewer of them, made
    // at once (to frame a surface whose full mesh is still being built).
    SurfaceMesh coarseMesh(int most) const;
    // Deletes the uploaded buffers, if any; needs their GL context to be current.
    void releaseBuffers();

    // SceneObject
    void draw(bool active, bool perspective) override;
    bool hitTest(double x, double y, double z, int axis) override;
    void write(std::ostream& out, const ObjectPositions& list) const override;
    void read(std::istream& in) override;
    void resolveLinks(const ObjectPositions& list) override;
    bool linksTo(const SceneObject* object) const override;
    void forget(const SceneObject* object) override;
    void collectSources(std::vector<SceneObject*>& out) const override;
    void followCurves() override;
    void setSurfaceDisplay(bool shading, bool gradient) override;
    void setSurfaceIncrement(bool u, int value) override;
    void releaseGraphics() override;
    std::unique_ptr<ObjectState> saveState() const override;
    void restoreState(const ObjectState& state) override;

private:
    // A copy of this surface over copies of its curves (kept alive in `curves`), for a tessellation
    // that must not read or change the scene.
    std::shared_ptr<CurveSurface> detachedCopy(std::vector<std::shared_ptr<NurbsCurve>>& curves) const;
};
