// A surface swept by turning a profile curve about an axis parallel to x, y or z.
#pragma once

#include "geometry/control_point.h"
#include "geometry/scene_object.h"
#include "surfaces/background_mesh.h"
#include "surfaces/surface_buffers.h"
#include "surfaces/surface_mesh.h"

#include <vector>

class NurbsCurve;

class RevolutionSurface : public SceneObject {
public:
    // How the axis position is chosen (revPoint).
    static constexpr int LeftMost = 0;
    static constexpr int RightMost = 1;
    static constexpr int ClosestToAxis = 2;
    static constexpr int Axis = 3;

    // Bytes of a scene-file record after its tag.
    static constexpr int RecordSize = 60;

    // The values the revolution panel shows, in the order of the canvas signal.
    struct Properties {
        bool shading;
        int uParamInc;
        int vParamInc;
        int degrees;
        int aor;
        int refa;
        int revPoint;
        int axisDistance;
        int axisRotPoint;
    };

    NurbsCurve* profile = nullptr; // not owned
    int aor = 1;
    int refa = 0;
    float degrees = 360.0f;
    int vParamInc = 45;
    int uParamInc = 10;
    bool dirty = true;
    bool shading = false;
    SurfaceBuffers buffers; // the last rebuild in GL, drawn by index
    int revPoint = RightMost;
    int axisDistance = 4;
    int axisRotPoint = 1;
    int profileIndex = -1;
    // The last rebuild's output, kept so it can be uploaded again and inspected.
    SurfaceMesh surfaceMesh;
    // Where a rebuild too large for the frame is made.
    BackgroundMesh background;

    RevolutionSurface() = default;
    RevolutionSurface(NurbsCurve* profile, int aor, int refa, float degrees);

    void setProfile(NurbsCurve* curve);
    void setDegrees(float value);
    void setAor(int axis);
    void setRefa(int axis);
    void setUParamInc(int inc);
    void setVParamInc(int inc);
    void setRevPoint(int mode);
    void setAxisDistance(int distance);
    void setAxisRotPoint(int side);
    void setShading(bool on);
    void setGradient(bool on);
    void invalidate();

    Properties properties() const;
    // Moves the point's refa coordinate r onto the circle r (cos angle, sin angle) in the plane of
    // refa and the third axis; the aor coordinate stays, the old third coordinate is dropped.
    void rotatePoint(ControlPoint& point, double angle) const;

    // Where the sweep's axis lies: parallel to aor through the point whose refa coordinate is
    // `position` and whose third coordinate is that of profile point `point`. Not valid when the
    // profile or the settings leave nothing to sweep.
    struct SweepAxis {
        bool valid = false;
        int point = -1;
        double position = 0.0;
    };
    SweepAxis sweepAxis() const;
    // The sweep in radians, measured with the sweep's own full turn.
    double sweepAngle() const;

    // Sweeps the profile into surfaceMesh; no GL. Leaves the mesh empty when there is nothing to draw.
    void tessellate();
    // About how many cells tessellate makes.
    double estimatedCells() const;
    // tessellate on copies of this surface and its profile, for the rebuilder's thread.
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
    std::shared_ptr<RevolutionSurface> detachedCopy(std::vector<std::shared_ptr<NurbsCurve>>& curves) const;
};
