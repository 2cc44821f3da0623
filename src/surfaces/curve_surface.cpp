// Coons patch and extrusion: gathering and aligning the curves, sampling the patch, its record.
#include "surfaces/curve_surface.h"

#include "geometry/little_endian.h"
#include "geometry/nurbs_curve.h"
#include "geometry/object_positions.h"
#include "surfaces/fold_colour.h"
#include "surfaces/mesh_slice.h"
#include "surfaces/parallel_slices.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <istream>
#include <ostream>

namespace {

// The curves' values a patch point is blended from.
struct BoundaryValues {
    ControlPoint c0t, c2t, c1s, c3s;
};

// C1(0), C2(0), C3(0) and C2(1): the same for every point of the patch.
struct CornerValues {
    ControlPoint c10, c20, c30, c21;
};

CornerValues cornersOf(NurbsCurve* c1, NurbsCurve* c2, NurbsCurve* c3) {
    return CornerValues{c1->evaluate(0.0), c2->evaluate(0.0), c3->evaluate(0.0), c2->evaluate(1.0)};
}

// S(s, t) = (1-s) C0(t) + s C2(t) + (1-t) C1(s) + t C3(s)
//           - [(1-s)(1-t) C1(0) + s (1-t) C2(0) + (1-s) t C3(0) + s t C2(1)]
double blend(double s, double t, double c0t, double c2t, double c1s, double c3s, double c10, double c20,
             double c30, double c21) {
    return (1 - s) * c0t + s * c2t + (1 - t) * c1s + t * c3s -
           ((1 - s) * (1 - t) * c10 + s * (1 - t) * c20 + (1 - s) * t * c30 + s * t * c21);
}

ControlPoint blendPoint(double s, double t, const BoundaryValues& b, const CornerValues& c) {
    return ControlPoint(blend(s, t, b.c0t.x, b.c2t.x, b.c1s.x, b.c3s.x, c.c10.x, c.c20.x, c.c30.x, c.c21.x),
                        blend(s, t, b.c0t.y, b.c2t.y, b.c1s.y, b.c3s.y, c.c10.y, c.c20.y, c.c30.y, c.c21.y),
                        blend(s, t, b.c0t.z, b.c2t.z, b.c1s.z, b.c3s.z, c.c10.z, c.c20.z, c.c30.z, c.c21.z));
}

ControlPoint dividedBy(const ControlPoint& v, double d) {
    return ControlPoint(v.x / d, v.y / d, v.z / d);
}

// One-sided at the borders, central inside; minus and plus are the patch a step either side.
ControlPoint difference(int i, int last, double h, const ControlPoint& sample, const ControlPoint& minus,
                        const ControlPoint& plus) {
    if (i == 0)
        return dividedBy(plus - sample, h);
    if (i == last)
        return dividedBy(sample - minus, h);
    return dividedBy(plus - minus, 2 * h);
}

bool samePosition(const ControlPoint& a, const ControlPoint& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// Moves p onto q; its normal and weight stay.
void placeAt(ControlPoint& p, const ControlPoint& q) {
    p.x = q.x;
    p.y = q.y;
    p.z = q.z;
}

double lengthOf(const ControlPoint& v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

// The fit's angles are those of acos(cosine) with the side taken from the other component, but
// computed with atan2: acos of a cosine rounded near +-1 is off by up to sqrt(2 eps) (1.5e-8 rad),
// which leaves C3 visibly off the loop's corners, and a cosine rounded past 1 has no acos at all.
// atan2 also needs no full-turn constant, whose rounding (6.2831853) would leave the turns by
// "full turn minus an angle" 7e-8 rad short.

// Angle about y from +z towards +x; 0 for a vector along y.
double heading(const ControlPoint& v) {
    if (v.x == 0.0 && v.z == 0.0)
        return 0.0;
    return std::atan2(v.x, v.z);
}

// Angle about x from +y towards +z, for a vector already turned into the y-z plane.
double elevation(const ControlPoint& v) {
    return std::atan2(v.z, v.y);
}

bool hasDefinedValue(const NurbsCurve* curve) {
    return curve && curve->order >= 1 && static_cast<int>(curve->controlPoints.size()) >= curve->order;
}

// Reverses a curve for the duration of a rebuild and puts it back however the rebuild ends.
class ReversedDuring {
public:
    explicit ReversedDuring(NurbsCurve* curve) : curve_(curve) { curve_->reverseOrder(); }
    ~ReversedDuring() { curve_->reverseOrder(); }
    ReversedDuring(const ReversedDuring&) = delete;
    ReversedDuring& operator=(const ReversedDuring&) = delete;

private:
    NurbsCurve* curve_;
};

} // namespace

int CurveSurface::addCoonsCurve(NurbsCurve* curve) {
    if (curves.size() < 4) {
        if (!curve || curve->curveMode != NurbsCurve::Interpolated)
            return 2;
        curves.push_back(curve);
    }
    if (curves.size() == 4) {
        alignCurves();
        dirty = true;
        return 1;
    }
    return 0;
}

int CurveSurface::addExtrudeCurve(NurbsCurve* curve) {
    if (curves.size() >= 2)
        return static_cast<int>(curves.size());
    if (!curve || curve->curveMode != NurbsCurve::Interpolated)
        return 2;
    curves.push_back(curve);
    return curves.size() == 2 ? 1 : 0;
}

NurbsCurve* CurveSurface::curve(int i) const {
    return i >= 0 && i < static_cast<int>(curves.size()) ? curves[i] : nullptr;
}

void CurveSurface::setUParamInc(int inc) {
    uParamInc = inc;
    dirty = true;
}

void CurveSurface::setVParamInc(int inc) {
    vParamInc = inc;
    dirty = true;
}

void CurveSurface::setShading(bool on) {
    shading = on;
    dirty = true;
}

// Its callers set the shading first, which marks the rebuild.
void CurveSurface::setGradient(bool on) {
    gradient = on;
}

void CurveSurface::rebuild() {
    if (curves.size() > 3)
        alignCurves();
    dirty = true;
}

void CurveSurface::releaseCurves() {
    for (NurbsCurve* c : curves) {
        if (!c)
            continue;
        c->surfaceLink = nullptr;
        c->linkKind = NurbsCurve::ReleasedLink;
    }
}

void CurveSurface::alignCurves() {
    if (curves.size() < 4)
        return;
    for (int i = 0; i < 4; ++i)
        if (!curves[i] || curves[i]->controlPoints.empty())
            return; // no end points to join
    const ControlPoint start = curves[0]->controlPoints.front();

    // C1 starts where C0 ends, then C2 where C1 ends; only positions move. The joint is then set
    // exactly, since p - (p - q) need not round to q: an aligned loop must align to itself bit for
    // bit, or every load of a saved patch would move its curves a little further.
    std::vector<ControlPoint> moved[3];
    for (int i = 1; i <= 2; ++i) {
        std::vector<ControlPoint>& points = moved[i - 1];
        points = curves[i]->controlPoints;
        const ControlPoint joint = i == 1 ? curves[0]->controlPoints.back() : moved[0].back();
        const ControlPoint off = points.front() - joint;
        for (ControlPoint& p : points) {
            p.x -= off.x;
            p.y -= off.y;
            p.z -= off.z;
        }
        placeAt(points.front(), joint);
    }

    // C3 is turned so its chord D points along the gap T from the end of C2 to the start of C0,
    // then scaled and moved onto the gap. Headings and elevations take D and T into the y-z
    // plane, where one turn about x brings D's direction onto T's.
    std::vector<ControlPoint>& p3 = moved[2];
    p3 = curves[3]->controlPoints;
    const ControlPoint f = p3.front();
    const ControlPoint e = moved[1].back();
    const ControlPoint d = p3.back() - f;
    const ControlPoint t = start - e;
    const double lengthT = lengthOf(t);
    const double lengthD = lengthOf(d);
    // A closed C3 or a gap of length zero has no direction to fit: C3 stays as it is. Nor does a C3
    // that already spans the gap, whose fit is the identity and would only add rounding.
    const bool fit =
        lengthT != 0.0 && lengthD != 0.0 && !(samePosition(f, e) && samePosition(p3.back(), start));
    if (fit) {
        const double aT = heading(t);
        const double aD = heading(d);
        const double eT = elevation(t.rotatedY(-aT));
        const double eD = elevation(d.rotatedY(-aD));
        const double k = lengthT / lengthD;
        for (ControlPoint& p : p3)
            p = p.translated(-f.x, -f.y, -f.z)
                    .rotatedY(-aD)
                    .rotatedX(eT - eD)
                    .rotatedY(aT)
                    .scaled(k)
                    .translated(e.x, e.y, e.z);
        // The ends go exactly onto the gap, so the next alignment finds the loop closed.
        placeAt(p3.front(), e);
        placeAt(p3.back(), start);
    }

    // Finite curves far apart, or a tiny chord scaled onto a long gap, can overflow; such a loop is
    // left as it was rather than given points that no scene file can hold.
    for (const std::vector<ControlPoint>& points : moved)
        for (const ControlPoint& p : points)
            if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
                return;
    curves[1]->setControlPoints(moved[0]);
    curves[2]->setControlPoints(moved[1]);
    if (fit)
        curves[3]->setControlPoints(moved[2]);
}

ControlPoint CurveSurface::surfacePoint(double s, double t) const {
    if (curves.size() < 4)
        return ControlPoint(0.0, 0.0, 0.0);
    const BoundaryValues b{curves[0]->evaluate(t), curves[2]->evaluate(t), curves[1]->evaluate(s),
                           curves[3]->evaluate(s)};
    return blendPoint(s, t, b, cornersOf(curves[1], curves[2], curves[3]));
}

ControlPoint CurveSurface::meshNormal(int i, int j) {
    const int u = uParamInc, v = vParamInc;
    const double s = static_cast<double>(i) / u, t = static_cast<double>(j) / v;
    const double hs = u / 1000.0, ht = v / 1000.0;
    ControlPoint& sample = mesh[i][j];
    const ControlPoint ds = difference(i, u, hs, sample, i > 0 ? surfacePoint(s - hs, t) : sample,
                                       i < u ? surfacePoint(s + hs, t) : sample);
    const ControlPoint dt = difference(j, v, ht, sample, j > 0 ? surfacePoint(s, t - ht) : sample,
                                       j < v ? surfacePoint(s, t + ht) : sample);
    ControlPoint n = cross(ds, dt);
    n.normalise();
    sample.nx = n.x;
    sample.ny = n.y;
    sample.nz = n.z;
    return n;
}

void CurveSurface::clearMesh() {
    for (std::vector<ControlPoint>& row : mesh)
        row.clear();
    mesh.clear();
}

void CurveSurface::tessellate() {
    surfaceMesh.clear();
    if (curves.size() != 4)
        return;
    for (NurbsCurve* c : curves)
        if (!hasDefinedValue(c))
            return; // a curve with no value to sample
    const int u = uParamInc, v = vParamInc;
    if (u < 1 || v < 1)
        return;

    const ReversedDuring reversedC0(curves[0]);
    const ReversedDuring reversedC3(curves[3]);
    clearMesh();
    SurfaceMesh& out = surfaceMesh;
    out.singlePrecision = true;
    out.hasNormals = shading;
    if (!gradient) {
        out.hasBaseColour = true;
        for (int a = 0; a < 3; ++a)
            out.baseColour[a] = color[a];
    }

    // Every patch value below is the blend surfacePoint computes, from the same curve values in
    // the same order, so the grid and its normals match it exactly. Each curve is evaluated once
    // per grid line (and once a step either side when shaded) instead of eight times per point.
    const double hs = u / 1000.0, ht = v / 1000.0;
    const CornerValues corners = cornersOf(curves[1], curves[2], curves[3]);
    struct AlongLine {
        ControlPoint first, second; // C0 and C2 along t, C1 and C3 along s
    };
    auto sampleLine = [](NurbsCurve* a, NurbsCurve* b, double x) {
        return AlongLine{a->evaluate(x), b->evaluate(x)};
    };
    std::vector<AlongLine> atT(v + 1), atS(u + 1), tMinus, tPlus, sMinus, sPlus;
    for (int j = 0; j <= v; ++j)
        atT[j] = sampleLine(curves[0], curves[2], static_cast<double>(j) / v);
    for (int i = 0; i <= u; ++i)
        atS[i] = sampleLine(curves[1], curves[3], static_cast<double>(i) / u);
    if (shading) {
        tMinus.resize(v + 1);
        tPlus.resize(v + 1);
        sMinus.resize(u + 1);
        sPlus.resize(u + 1);
        for (int j = 0; j <= v; ++j) {
            const double t = static_cast<double>(j) / v;
            tMinus[j] = sampleLine(curves[0], curves[2], t - ht);
            tPlus[j] = sampleLine(curves[0], curves[2], t + ht);
        }
        for (int i = 0; i <= u; ++i) {
            const double s = static_cast<double>(i) / u;
            sMinus[i] = sampleLine(curves[1], curves[3], s - hs);
            sPlus[i] = sampleLine(curves[1], curves[3], s + hs);
        }
    }
    auto patch = [&corners](double s, double t, const AlongLine& alongT, const AlongLine& alongS) {
        return blendPoint(s, t, BoundaryValues{alongT.first, alongT.second, alongS.first, alongS.second},
                          corners);
    };

    // Rows of the grid, then of the cells, are independent: each runs on whichever worker holds it. A
    // sample's normal needs only patch values around it, so each row of samples gets its normals too.
    mesh.assign(u + 1, std::vector<ControlPoint>(v + 1));
    auto sampleRows = [&](int first, int end) {
        for (int i = first; i < end; ++i) {
            const double s = static_cast<double>(i) / u;
            for (int j = 0; j <= v; ++j) {
                const double t = static_cast<double>(j) / v;
                ControlPoint& sample = mesh[i][j];
                sample = patch(s, t, atT[j], atS[i]);
                if (!shading)
                    continue;
                const ControlPoint ds =
                    difference(i, u, hs, sample, i > 0 ? patch(s - hs, t, atT[j], sMinus[i]) : sample,
                               i < u ? patch(s + hs, t, atT[j], sPlus[i]) : sample);
                const ControlPoint dt =
                    difference(j, v, ht, sample, j > 0 ? patch(s, t - ht, tMinus[j], atS[i]) : sample,
                               j < v ? patch(s, t + ht, tPlus[j], atS[i]) : sample);
                ControlPoint n = cross(ds, dt);
                n.normalise();
                sample.nx = n.x;
                sample.ny = n.y;
                sample.nz = n.z;
            }
        }
    };
    ParallelSlices::run(u + 1, shading ? 5.0 * (v + 1) : v + 1.0, sampleRows);

    // Shaded cells are one triangle pair; wireframe ones two closed strips of four points.
    const std::size_t rowCells = static_cast<std::size_t>(v);
    const std::size_t cellPrimitives = shading ? 1 : 2;
    const std::size_t cellVertices = shading ? 6 : 8;
    const std::size_t cellColours = shading && gradient ? 1 : 0;
    const std::size_t cells = static_cast<std::size_t>(u) * rowCells;
    out.allocate(cells * cellPrimitives, cells * cellVertices, cells * cellColours);

    auto addSample = [&](MeshSlice& slice, int i, int j) {
        const ControlPoint& p = mesh[i][j];
        if (shading)
            slice.addVertex(p.x, p.y, p.z, p.nx, p.ny, p.nz);
        else
            slice.addVertex(p.x, p.y, p.z);
    };
    // Red follows t and blue follows s.
    const float red255 = color[0] * 255.0f;
    const float blue255 = color[2] * 255.0f;
    auto cellRows = [&](int first, int end) {
        // Row index r holds the cells between grid rows r and r + 1.
        const std::size_t before = static_cast<std::size_t>(first) * rowCells;
        MeshSlice slice(
            out, MeshSlice::Start{before * cellPrimitives, before * cellVertices, before * cellColours});
        for (int i = first + 1; i <= end; ++i) {
            for (int j = 1; j <= v; ++j) {
                if (shading) {
                    int colour = -1;
                    if (gradient) {
                        const double r = (red255 + 2.0 * 255.0 * (j - 1) / v) / 255.0;
                        const double b = (blue255 + 2.0 * 255.0 * (i - 1) / u) / 255.0;
                        colour = slice.addColour(static_cast<float>(foldColour(r)), color[1],
                                                 static_cast<float>(foldColour(b)));
                    }
                    slice.begin(SurfaceMesh::Triangles, colour);
                    addSample(slice, i - 1, j);
                    addSample(slice, i - 1, j - 1);
                    addSample(slice, i, j - 1);
                    addSample(slice, i - 1, j);
                    addSample(slice, i, j);
                    addSample(slice, i, j - 1);
                } else {
                    // Two closed triangles, each as a strip back to its first point rather than a
                    // line loop: Mesa 22 drops or corrupts consecutive line loops in one display list.
                    slice.begin(SurfaceMesh::LineStrip);
                    addSample(slice, i - 1, j);
                    addSample(slice, i - 1, j - 1);
                    addSample(slice, i, j - 1);
                    addSample(slice, i - 1, j);
                    slice.begin(SurfaceMesh::LineStrip);
                    addSample(slice, i - 1, j);
                    addSample(slice, i, j);
                    addSample(slice, i, j - 1);
                    addSample(slice, i - 1, j);
                }
            }
        }
    };
    ParallelSlices::run(u, static_cast<double>(v), cellRows);
}

bool CurveSurface::hitTest(double, double, double, int) {
    return false;
}

void CurveSurface::write(std::ostream& out, const ObjectPositions& list) const {
    unsigned char record[RecordSize] = {};
    for (int i = 0; i < 4; ++i)
        LittleEndian::storeInt32(record + 4 * i,
                                 i < static_cast<int>(curves.size()) ? list.positionOf(curves[i]) : -1);
    LittleEndian::storeInt32(record + 16, uParamInc);
    LittleEndian::storeInt32(record + 20, vParamInc);
    LittleEndian::storeBool(record + 24, shading);
    LittleEndian::storeBool(record + 25, showVertices);
    LittleEndian::storeBool(record + 26, showEdge);
    LittleEndian::storeBool(record + 27, showCurve);
    LittleEndian::storeBool(record + 28, spareFlag);
    LittleEndian::storeFloat32(record + 32, color[0]);
    LittleEndian::storeFloat32(record + 36, color[1]);
    LittleEndian::storeFloat32(record + 40, color[2]);
    LittleEndian::storeBool(record + 44, gradient);
    out.write(reinterpret_cast<const char*>(record), RecordSize);
}

void CurveSurface::read(std::istream& in) {
    unsigned char record[RecordSize];
    // A record cut short changes nothing; the stream is left failed for the reader to see.
    if (!in.read(reinterpret_cast<char*>(record), RecordSize))
        return;
    bool ended = false;
    for (int i = 0; i < 4; ++i) {
        const int position = LittleEndian::int32At(record + 4 * i);
        ended = ended || position == -1;
        curveIndexes[i] = ended ? -1 : position;
    }
    uParamInc = LittleEndian::int32At(record + 16);
    vParamInc = LittleEndian::int32At(record + 20);
    shading = LittleEndian::boolAt(record + 24);
    showVertices = LittleEndian::boolAt(record + 25);
    showEdge = LittleEndian::boolAt(record + 26);
    showCurve = LittleEndian::boolAt(record + 27);
    spareFlag = LittleEndian::boolAt(record + 28);
    color[0] = LittleEndian::float32At(record + 32);
    color[1] = LittleEndian::float32At(record + 36);
    color[2] = LittleEndian::float32At(record + 40);
    gradient = LittleEndian::boolAt(record + 44);
}

void CurveSurface::resolveLinks(const ObjectPositions& list) {
    for (int i = 0; i < 4 && curveIndexes[i] != -1 && curves.size() < 4; ++i) {
        // A position that names no curve is skipped rather than followed.
        if (list.kindAt(curveIndexes[i]) != ObjectKind::Curve)
            continue;
        if (auto* c = dynamic_cast<NurbsCurve*>(list.objectAt(curveIndexes[i])))
            curves.push_back(c);
    }
}

// ---- Links and undo ----

bool CurveSurface::linksTo(const SceneObject* object) const {
    return object && std::find(curves.begin(), curves.end(), object) != curves.end();
}

void CurveSurface::forget(const SceneObject* object) {
    if (std::erase_if(curves, [object](const NurbsCurve* c) { return c == object; }) > 0)
        dirty = true;
}

void CurveSurface::collectSources(std::vector<SceneObject*>& out) const {
    out.insert(out.end(), curves.begin(), curves.end());
}

void CurveSurface::followCurves() {
    rebuild();
}

void CurveSurface::setSurfaceDisplay(bool shading, bool gradient) {
    setShading(shading);
    setGradient(gradient);
}

void CurveSurface::setSurfaceIncrement(bool u, int value) {
    if (u)
        setUParamInc(value);
    else
        setVParamInc(value);
}

namespace {
struct PatchState : ObjectState {
    SceneObject::Appearance look{};
    std::vector<NurbsCurve*> curves;
    bool shading = false;
    int uParamInc = 0, vParamInc = 0;

    std::size_t bytes() const override { return sizeof *this + curves.size() * sizeof(NurbsCurve*); }
    bool sameAs(const ObjectState& other) const override {
        const auto* o = dynamic_cast<const PatchState*>(&other);
        return o && look.sameAs(o->look) && curves == o->curves && shading == o->shading &&
               uParamInc == o->uParamInc && vParamInc == o->vParamInc;
    }
};
} // namespace

std::unique_ptr<ObjectState> CurveSurface::saveState() const {
    auto state = std::make_unique<PatchState>();
    state->look = appearance();
    state->curves = curves;
    state->shading = shading;
    state->uParamInc = uParamInc;
    state->vParamInc = vParamInc;
    return state;
}

void CurveSurface::restoreState(const ObjectState& saved) {
    const auto* state = dynamic_cast<const PatchState*>(&saved);
    if (!state)
        return;
    setAppearance(state->look);
    curves = state->curves;
    shading = state->shading;
    uParamInc = state->uParamInc;
    vParamInc = state->vParamInc;
    dirty = true;
}
