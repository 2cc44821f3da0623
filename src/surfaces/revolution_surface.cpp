// Surface of revolution: settings, the sweep into a plain mesh, and its scene-file record.
#include "surfaces/revolution_surface.h"

#include "geometry/little_endian.h"
#include "geometry/nurbs_curve.h"
#include "geometry/object_positions.h"
#include "surfaces/fold_colour.h"
#include "surfaces/mesh_slice.h"
#include "surfaces/parallel_slices.h"

#include <cmath>
#include <cstring>
#include <istream>
#include <limits>
#include <ostream>
#include <vector>

namespace {
// The sweep's full turn, deliberately not 2 pi to full precision.
constexpr double fullTurn = 6.2831853;
// Central-difference steps: in curve parameter for the profile tangent, in radians for the angular one.
constexpr double profileStep = 0.0001;
constexpr double angleStep = 0.0001;

bool isAxis(int a) {
    return a >= 0 && a <= 2;
}

double coordinateOf(const ControlPoint& p, int axis) {
    return axis == 0 ? p.x : axis == 1 ? p.y : p.z;
}

// The cosine and sine of one angle, worked out once for a whole column of the sweep.
struct Turn {
    double c, s;
};

Turn turnOf(double angle) {
    return Turn{std::cos(angle), std::sin(angle)};
}

void turnPoint(ControlPoint& point, int aor, int refa, Turn turn) {
    if (!isAxis(aor) || !isAxis(refa) || aor == refa)
        return;
    const int third = 3 - aor - refa;
    const double r = point.coordinate(refa);
    point.coordinate(refa) = r * turn.c;
    point.coordinate(third) = r * turn.s;
}

ControlPoint unitCross(const ControlPoint& a, const ControlPoint& b) {
    ControlPoint n = cross(a, b);
    n.normalise();
    return n;
}
} // namespace

RevolutionSurface::RevolutionSurface(NurbsCurve* profile, int aor, int refa, float degrees)
    : profile(profile), aor(aor), refa(refa), degrees(degrees) {}

void RevolutionSurface::setProfile(NurbsCurve* curve) {
    profile = curve;
    dirty = true;
}

void RevolutionSurface::setDegrees(float value) {
    degrees = value;
    dirty = true;
}

void RevolutionSurface::setAor(int axis) {
    aor = axis;
    dirty = true;
}

void RevolutionSurface::setRefa(int axis) {
    refa = axis;
    dirty = true;
}

void RevolutionSurface::setUParamInc(int inc) {
    uParamInc = inc;
    dirty = true;
}

void RevolutionSurface::setVParamInc(int inc) {
    vParamInc = inc;
    dirty = true;
}

void RevolutionSurface::setRevPoint(int mode) {
    revPoint = mode;
    dirty = true;
}

void RevolutionSurface::setAxisDistance(int distance) {
    axisDistance = distance;
    dirty = true;
}

void RevolutionSurface::setAxisRotPoint(int side) {
    axisRotPoint = side;
    dirty = true;
}

void RevolutionSurface::setShading(bool on) {
    shading = on;
    dirty = true;
}

// Its callers set the shading just before, which marks the rebuild.
void RevolutionSurface::setGradient(bool on) {
    gradient = on;
}

void RevolutionSurface::invalidate() {
    dirty = true;
}

RevolutionSurface::Properties RevolutionSurface::properties() const {
    // Truncated toward zero; a value no int can hold (only from a damaged file) reports 0.
    const bool fits = std::isfinite(degrees) && std::fabs(degrees) < 2.0e9f;
    const int wholeDegrees = fits ? static_cast<int>(degrees) : 0;
    return Properties{shading, uParamInc, vParamInc,    wholeDegrees, aor,
                      refa,    revPoint,  axisDistance, axisRotPoint};
}

void RevolutionSurface::rotatePoint(ControlPoint& point, double angle) const {
    turnPoint(point, aor, refa, Turn{std::cos(angle), std::sin(angle)});
}

RevolutionSurface::SweepAxis RevolutionSurface::sweepAxis() const {
    SweepAxis axis;
    if (!profile)
        return axis;
    const std::vector<ControlPoint>& pts = profile->controlPoints;
    const int n = static_cast<int>(pts.size());
    const int k = profile->order;
    // Nothing to sweep: no points, a curve without a defined value, or settings only a damaged
    // file can hold (they would index past the points or never end the loops).
    if (n == 0 || k < 1 || n < k || revPoint < LeftMost || revPoint > Axis || !isAxis(aor) || !isAxis(refa) ||
        uParamInc < 1 || vParamInc < 1)
        return axis;

    // The point that fixes the axis; ties keep the earlier point.
    int m = 0;
    for (int i = 1; i < n; ++i) {
        const double c = coordinateOf(pts[i], refa);
        const double chosen = coordinateOf(pts[m], refa);
        bool replace = false;
        switch (revPoint) {
        case LeftMost:
            replace = c < chosen;
            break;
        case RightMost:
            replace = c > chosen;
            break;
        case ClosestToAxis:
            replace = std::fabs(c) < std::fabs(chosen);
            break;
        default: // Axis
            replace = axisRotPoint == 0 ? c < chosen : c > chosen;
            break;
        }
        if (replace)
            m = i;
    }
    axis.valid = true;
    axis.point = m;
    axis.position = coordinateOf(pts[m], refa);
    if (revPoint == Axis)
        axis.position += axisDistance; // added on either side, never subtracted
    return axis;
}

double RevolutionSurface::sweepAngle() const {
    return static_cast<double>(degrees) / 360.0 * fullTurn;
}

void RevolutionSurface::tessellate() {
    SurfaceMesh& mesh = surfaceMesh;
    mesh.clear();
    const SweepAxis axis = sweepAxis();
    if (!axis.valid)
        return;
    const int n = static_cast<int>(profile->controlPoints.size());
    const int k = profile->order;
    std::vector<ControlPoint> pts = profile->controlPoints;
    const int m = axis.point;
    const double q = axis.position;

    // The axis runs along aor through (q on refa, pts[m] on the third axis): the points are swept
    // about a line through the origin and the mesh carries the single-precision shift back.
    mesh.translated = true;
    if (aor != refa)
        mesh.offset[3 - aor - refa] = static_cast<float>(coordinateOf(pts[m], 3 - aor - refa));
    mesh.offset[refa] = static_cast<float>(q);
    for (ControlPoint& p : pts)
        p.coordinate(refa) -= q;

    // Evaluation keeps scratch in the curve, so every worker sweeps its own copy.
    auto sweptProfile = [this, &pts](NurbsCurve& curve) {
        curve.copyFrom(*profile);
        curve.setControlPoints(pts);
    };
    NurbsCurve tmp;
    sweptProfile(tmp);

    const double dTheta = fullTurn / vParamInc;
    const double sweep = sweepAngle();

    double u0 = 0.0, u1 = 1.0, du = 1.0 / uParamInc, margin = 0.0;
    const int knotCount = static_cast<int>(tmp.knots.size());
    switch (tmp.curveMode) {
    case NurbsCurve::Interpolated:
        break;
    case NurbsCurve::Open:
    case NurbsCurve::Closed: {
        const int last = tmp.curveMode == NurbsCurve::Open ? n : n + k;
        if (last >= knotCount)
            return;
        u0 = tmp.knot(k - 1);
        u1 = tmp.knot(last);
        du = (u1 - u0) / uParamInc;
        margin = du; // the last interval before u1 is left out
        break;
    }
    default:
        return;
    }

    if (!gradient) {
        mesh.hasBaseColour = true;
        for (int a = 0; a < 3; ++a)
            mesh.baseColour[a] = color[a];
    }
    mesh.hasNormals = shading;

    // The angles and profile parameters are running sums; summed once here, every column (on
    // whichever thread) sees the very values a single pass would.
    std::vector<double> thetas, us;
    for (double theta = 0.0; theta < sweep; theta += dTheta)
        thetas.push_back(theta);
    for (double u = u0; u < u1 - margin; u += du)
        us.push_back(u);
    const std::size_t cells = us.size();
    // Every column has the same cells; a wireframe column closes with one more line.
    const std::size_t columnPrimitives = shading ? cells : cells == 0 ? 0 : 2 * cells + 1;
    const std::size_t columnVertices = shading ? 6 * cells : cells == 0 ? 0 : 5 * cells + 2;
    const std::size_t columnColours = gradient ? cells : 0;
    const std::size_t columns = thetas.size();
    mesh.allocate(columns * columnPrimitives, columns * columnVertices, columns * columnColours);

    // The red channel follows the angle and the blue one the profile parameter.
    const float red255 = color[0] * 255.0f;
    const float blue255 = color[2] * 255.0f;
    const double uSpan = u1 - margin - u0;

    auto rotated = [this](ControlPoint p, Turn turn) {
        turnPoint(p, aor, refa, turn);
        return p;
    };
    auto addCorner = [](MeshSlice& out, const ControlPoint& p, const ControlPoint* normal) {
        if (normal)
            out.addVertex(p.x, p.y, p.z, normal->x, normal->y, normal->z);
        else
            out.addVertex(p.x, p.y, p.z);
    };

    auto sweepColumn = [&](NurbsCurve& curve, MeshSlice& out, double theta) {
        const double theta2 = theta + dTheta > sweep ? sweep : theta + dTheta;
        const Turn at1 = turnOf(theta), at2 = turnOf(theta2);
        const Turn before1 = turnOf(theta - angleStep), after1 = turnOf(theta + angleStep);
        const Turn before2 = turnOf(theta2 - angleStep), after2 = turnOf(theta2 + angleStep);
        bool anyCell = false;
        ControlPoint lastD, lastC;
        // E(u + du) and its tangent are carried into the next cell, whose u is that same sum.
        bool carried = false;
        ControlPoint carriedPoint, carriedTangent;
        for (const double u : us) {
            int colour = -1;
            if (gradient) {
                const double r = (std::trunc(red255) + std::trunc(2.0 * 255.0 * theta / sweep)) / 255.0;
                const double b = (std::trunc(blue255) + std::trunc(2.0 * 255.0 * (u - u0) / uSpan)) / 255.0;
                colour = out.addColour(static_cast<float>(foldColour(r)), color[1],
                                       static_cast<float>(foldColour(b)));
            }
            const ControlPoint p0 = carried ? carriedPoint : curve.evaluate(u);
            ControlPoint tu1, tu2, p1;
            if (shading) {
                if (u == u0)
                    tu1 = curve.evaluate(u + profileStep) - p0;
                else
                    tu1 = carried ? carriedTangent
                                  : curve.evaluate(u + profileStep) - curve.evaluate(u - profileStep);
            }
            if (u + du > u1) {
                p1 = curve.evaluate(u1);
                if (shading)
                    tu2 = p1 - curve.evaluate(u1 - profileStep);
                carried = false;
            } else {
                p1 = curve.evaluate(u + du);
                if (shading)
                    tu2 = curve.evaluate(u + du + profileStep) - curve.evaluate(u + du - profileStep);
                carried = true;
                carriedPoint = p1;
                carriedTangent = tu2;
            }

            const ControlPoint a = rotated(p0, at1);
            const ControlPoint b = rotated(p0, at2);
            const ControlPoint d = rotated(p1, at1);
            const ControlPoint c = rotated(p1, at2);
            if (shading) {
                // Angular tangents at each corner's own point, and the profile tangent turned with
                // its corner: every normal is the true surface normal there, at every angle, also
                // on the ring next to a pole where P0 lies on the axis and has no angular tangent.
                const ControlPoint tv0a = rotated(p0, after1) - rotated(p0, before1);
                const ControlPoint tv0b = rotated(p0, after2) - rotated(p0, before2);
                const ControlPoint tv1a = rotated(p1, after1) - rotated(p1, before1);
                const ControlPoint tv1b = rotated(p1, after2) - rotated(p1, before2);
                const ControlPoint na = unitCross(tv0a, rotated(tu1, at1));
                const ControlPoint nb = unitCross(tv0b, rotated(tu1, at2));
                const ControlPoint nc = unitCross(tv1b, rotated(tu2, at2));
                const ControlPoint nd = unitCross(tv1a, rotated(tu2, at1));
                out.begin(SurfaceMesh::Triangles, colour);
                addCorner(out, d, &nd);
                addCorner(out, b, &nb);
                addCorner(out, a, &na);
                addCorner(out, c, &nc);
                addCorner(out, b, &nb);
                addCorner(out, d, &nd);
            } else {
                out.begin(SurfaceMesh::LineStrip, colour);
                addCorner(out, a, nullptr);
                addCorner(out, b, nullptr);
                addCorner(out, d, nullptr);
                out.begin(SurfaceMesh::Lines);
                addCorner(out, b, nullptr);
                addCorner(out, c, nullptr);
            }
            anyCell = true;
            lastD = d;
            lastC = c;
        }
        if (!shading && anyCell) {
            out.begin(SurfaceMesh::Lines);
            addCorner(out, lastD, nullptr);
            addCorner(out, lastC, nullptr);
        }
    };

    ParallelSlices::run(static_cast<int>(columns), static_cast<double>(cells), [&](int first, int end) {
        NurbsCurve curve;
        sweptProfile(curve);
        const auto c = static_cast<std::size_t>(first);
        MeshSlice out(mesh, MeshSlice::Start{c * columnPrimitives, c * columnVertices, c * columnColours});
        for (int column = first; column < end; ++column)
            sweepColumn(curve, out, thetas[column]);
    });
}

bool RevolutionSurface::hitTest(double, double, double, int) {
    return false;
}

void RevolutionSurface::write(std::ostream& out, const ObjectPositions& list) const {
    unsigned char record[RecordSize] = {};
    LittleEndian::storeInt32(record, list.positionOf(profile));
    LittleEndian::storeInt32(record + 4, aor);
    LittleEndian::storeInt32(record + 8, refa);
    LittleEndian::storeFloat32(record + 12, degrees);
    LittleEndian::storeInt32(record + 16, uParamInc);
    LittleEndian::storeInt32(record + 20, vParamInc);
    LittleEndian::storeBool(record + 24, shading);
    LittleEndian::storeInt32(record + 28, revPoint);
    LittleEndian::storeInt32(record + 32, axisDistance);
    LittleEndian::storeInt32(record + 36, axisRotPoint);
    LittleEndian::storeBool(record + 40, showVertices);
    LittleEndian::storeBool(record + 41, showEdge);
    LittleEndian::storeBool(record + 42, showCurve);
    LittleEndian::storeBool(record + 43, spareFlag);
    LittleEndian::storeFloat32(record + 44, color[0]);
    LittleEndian::storeFloat32(record + 48, color[1]);
    LittleEndian::storeFloat32(record + 52, color[2]);
    LittleEndian::storeBool(record + 56, gradient);
    out.write(reinterpret_cast<const char*>(record), RecordSize);
}

void RevolutionSurface::read(std::istream& in) {
    unsigned char record[RecordSize];
    // A record cut short changes nothing; the stream is left failed for the reader to see.
    if (!in.read(reinterpret_cast<char*>(record), RecordSize))
        return;
    profileIndex = LittleEndian::int32At(record);
    aor = LittleEndian::int32At(record + 4);
    refa = LittleEndian::int32At(record + 8);
    degrees = LittleEndian::float32At(record + 12);
    uParamInc = LittleEndian::int32At(record + 16);
    vParamInc = LittleEndian::int32At(record + 20);
    shading = LittleEndian::boolAt(record + 24);
    revPoint = LittleEndian::int32At(record + 28);
    axisDistance = LittleEndian::int32At(record + 32);
    axisRotPoint = LittleEndian::int32At(record + 36);
    showVertices = LittleEndian::boolAt(record + 40);
    showEdge = LittleEndian::boolAt(record + 41);
    showCurve = LittleEndian::boolAt(record + 42);
    spareFlag = LittleEndian::boolAt(record + 43);
    color[0] = LittleEndian::float32At(record + 44);
    color[1] = LittleEndian::float32At(record + 48);
    color[2] = LittleEndian::float32At(record + 52);
    gradient = LittleEndian::boolAt(record + 56);
}

void RevolutionSurface::resolveLinks(const ObjectPositions& list) {
    // Only a curve node can be a profile; any other position leaves the surface without one.
    profile = list.kindAt(profileIndex) == ObjectKind::Curve
                  ? dynamic_cast<NurbsCurve*>(list.objectAt(profileIndex))
                  : nullptr;
}

// ---- Links and undo ----

bool RevolutionSurface::linksTo(const SceneObject* object) const {
    return object && profile == object;
}

void RevolutionSurface::forget(const SceneObject* object) {
    if (linksTo(object))
        setProfile(nullptr);
}

void RevolutionSurface::collectSources(std::vector<SceneObject*>& out) const {
    if (profile)
        out.push_back(profile);
}

void RevolutionSurface::followCurves() {
    invalidate();
}

void RevolutionSurface::setSurfaceDisplay(bool shading, bool gradient) {
    setShading(shading);
    setGradient(gradient);
}

void RevolutionSurface::setSurfaceIncrement(bool u, int value) {
    if (u)
        setUParamInc(value);
    else
        setVParamInc(value);
}

namespace {
struct RevolutionState : ObjectState {
    SceneObject::Appearance look{};
    NurbsCurve* profile = nullptr;
    int aor = 0, refa = 0;
    float degrees = 0.0f;
    int vParamInc = 0, uParamInc = 0;
    bool shading = false;
    int revPoint = 0, axisDistance = 0, axisRotPoint = 0;

    std::size_t bytes() const override { return sizeof *this; }
    bool sameAs(const ObjectState& other) const override {
        const auto* o = dynamic_cast<const RevolutionState*>(&other);
        return o && look.sameAs(o->look) && profile == o->profile && aor == o->aor && refa == o->refa &&
               std::memcmp(&degrees, &o->degrees, sizeof degrees) == 0 && vParamInc == o->vParamInc &&
               uParamInc == o->uParamInc && shading == o->shading && revPoint == o->revPoint &&
               axisDistance == o->axisDistance && axisRotPoint == o->axisRotPoint;
    }
};
} // namespace

std::unique_ptr<ObjectState> RevolutionSurface::saveState() const {
    auto state = std::make_unique<RevolutionState>();
    state->look = appearance();
    state->profile = profile;
    state->aor = aor;
    state->refa = refa;
    state->degrees = degrees;
    state->vParamInc = vParamInc;
    state->uParamInc = uParamInc;
    state->shading = shading;
    state->revPoint = revPoint;
    state->axisDistance = axisDistance;
    state->axisRotPoint = axisRotPoint;
    return state;
}

void RevolutionSurface::restoreState(const ObjectState& saved) {
    const auto* state = dynamic_cast<const RevolutionState*>(&saved);
    if (!state)
        return;
    setAppearance(state->look);
    profile = state->profile;
    aor = state->aor;
    refa = state->refa;
    degrees = state->degrees;
    vParamInc = state->vParamInc;
    uParamInc = state->uParamInc;
    shading = state->shading;
    revPoint = state->revPoint;
    axisDistance = state->axisDistance;
    axisRotPoint = state->axisRotPoint;
    dirty = true;
}
