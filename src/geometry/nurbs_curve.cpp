// NURBS curve: knot vectors, evaluation, sample passes, editing, transforms and the scene-file record.
#include "geometry/nurbs_curve.h"

#include "geometry/little_endian.h"
#include "geometry/object_positions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <istream>
#include <limits>
#include <ostream>

void NurbsCurve::copyFrom(const NurbsCurve& other) {
    if (this != &other)
        controlPoints = other.controlPoints;
    foundPoint = -1;
    order = other.order;
    paramInc = other.paramInc;
    curveMode = other.curveMode;
    knotEpsilon = 1e-8;
    spanHint = 0;
    surfaceLink = nullptr;
    linkKind = FreeLink;
    rebuildKnots();
}

void NurbsCurve::setOrder(int k) {
    order = k;
    rebuildKnots();
}

void NurbsCurve::setParamInc(int inc) {
    paramInc = inc;
    rebuildKnots();
}

void NurbsCurve::setCurveMode(int mode) {
    curveMode = mode;
    rebuildKnots();
}

void NurbsCurve::setControlPoints(const std::vector<ControlPoint>& points) {
    controlPoints = points;
    rebuildKnots();
}

void NurbsCurve::parameters(bool& vertices, bool& line, bool& edge, int& order, int& paramInc,
                            int& curveMode) const {
    vertices = showVertices;
    line = showCurve;
    edge = showEdge;
    order = this->order;
    paramInc = this->paramInc;
    curveMode = this->curveMode;
}

// ---- Knots ----

void NurbsCurve::rebuildKnots() {
    ++revision_;
    knots.clear();
    const int n = static_cast<int>(controlPoints.size());
    const int k = order;
    switch (curveMode) {
    case Interpolated: {
        // k zeros, the n - k interior knots spread evenly, then ones: clamped at both ends. With n < k
        // the run of interior knots never starts: k zeros and n ones.
        bool interiorDone = false;
        for (int i = 0; i < n + k; ++i) {
            if (i < k) {
                knots.push_back(0.0);
            } else if (i >= n) {
                knots.push_back(1.0);
            } else if (!interiorDone) {
                const int m = n - k;
                for (int j = 0; j < m; ++j)
                    knots.push_back(static_cast<double>(j + 1) / (m + 1));
                interiorDone = true;
            }
        }
        break;
    }
    case Open:
        for (int i = 0; i < n + k; ++i)
            knots.push_back(i);
        normaliseKnots();
        break;
    case Closed:
        // Uniform over the n + k wrapped points.
        for (int i = 0; i < n + k; ++i)
            knots.push_back(i);
        for (int i = 0; i < k; ++i)
            knots.push_back(n + k + i);
        normaliseKnots();
        break;
    default:
        break;
    }
}

void NurbsCurve::normaliseKnots() {
    ++revision_;
    if (knots.empty())
        return;
    const double last = knots.back();
    if (last == 0.0) // a single knot 0: dividing would only make NaNs
        return;
    for (double& t : knots)
        t /= last;
}

int NurbsCurve::expectedKnotCount() const {
    const int n = static_cast<int>(controlPoints.size());
    switch (curveMode) {
    case Open:
    case Interpolated:
        return n + order;
    case Closed:
        return n + 2 * order;
    default:
        return 0;
    }
}

bool NurbsCurve::hasCurve() const {
    return order >= 1 && static_cast<int>(controlPoints.size()) >= order && curveMode >= Open &&
           curveMode <= Closed;
}

void NurbsCurve::ensureKnots() {
    if (hasCurve() && static_cast<int>(knots.size()) != expectedKnotCount())
        rebuildKnots();
}

double NurbsCurve::domainStart() {
    ensureKnots();
    return hasCurve() && evaluator.reset(knots, order, controlPoints, curveMode == Closed)
               ? evaluator.domainStart()
               : 0.0;
}

double NurbsCurve::domainEnd() {
    ensureKnots();
    return hasCurve() && evaluator.reset(knots, order, controlPoints, curveMode == Closed)
               ? evaluator.domainEnd()
               : 0.0;
}

// ---- Scalar evaluation ----

int NurbsCurve::findSpan(double u) {
    const int count = static_cast<int>(knots.size());
    if (count == 0)
        return -1;
    for (int i = std::max(spanHint, 0); i < count - 1; ++i) {
        if (knots[i] <= u && u < knots[i + 1]) {
            spanHint = i;
            return i;
        }
    }
    if (std::fabs(u - knots[count - 1]) <= knotEpsilon)
        return count - order;
    return -1;
}

double NurbsCurve::evaluateScalar(double u, const double* c) {
    const int k = order;
    const int coefficients = static_cast<int>(knots.size()) - k;
    if (k < 1 || coefficients < k)
        return 0.0;
    if (std::isnan(u))
        return u;
    const double start = knots[k - 1];
    const double end = knots[coefficients];
    u = std::clamp(u, start, end);

    int s = findSpan(u);
    if (s < 0) {
        spanHint = 0;
        s = findSpan(u);
    }
    if (s < 0)
        return std::numeric_limits<double>::quiet_NaN();
    if (s >= coefficients) {
        // The last coefficient is the curve's end only where the end knot has full multiplicity;
        // elsewhere (open and closed forms) the end comes from the recursion in the last non-empty span.
        if (end == knots.back())
            return c[coefficients - 1];
        s = coefficients - 1;
        while (s > k - 1 && !(knots[s] < knots[s + 1]))
            --s;
    }
    s = std::max(s, k - 1);

    std::vector<double> d(k);
    for (int r = 0; r < k; ++r)
        d[r] = c[s - r];
    for (int m = k; m >= 2; --m) {
        for (int r = 0; r <= m - 2; ++r) {
            const int i = s - r;
            const double alpha = (u - knots[i]) / (knots[i + m - 1] - knots[i]);
            d[r] = alpha * d[r] + (1.0 - alpha) * d[r + 1];
        }
    }
    return d[0];
}

ControlPoint NurbsCurve::evaluate(double u) {
    ensureKnots();
    if (!hasCurve() || !evaluator.reset(knots, order, controlPoints, curveMode == Closed)) {
        if (controlPoints.empty())
            return ControlPoint(0.0, 0.0, 0.0);
        const ControlPoint& first = controlPoints.front();
        return ControlPoint(first.x, first.y, first.z);
    }
    ControlPoint p(0.0, 0.0, 0.0);
    evaluator.knotEpsilon = knotEpsilon;
    evaluator.evaluate(u, p.x, p.y, p.z);
    return p; // spanHint of the curve is untouched: the evaluator keeps its own
}

// ---- Sample passes ----

std::vector<ControlPoint> NurbsCurve::samplePoints() {
    std::vector<ControlPoint> out;
    samplePoints(out);
    return out;
}

void NurbsCurve::samplePoints(std::vector<ControlPoint>& out) {
    const std::vector<double>& xyz = sampleCoordinates();
    out.resize(xyz.size() / 3);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = ControlPoint(xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]);
}

NurbsCurve::SampleKey NurbsCurve::sampleKey() const {
    // By its bits: a NaN would never equal itself.
    std::uint64_t epsilonBits = 0;
    std::memcpy(&epsilonBits, &knotEpsilon, sizeof epsilonBits);
    return {revision_, controlPoints.size(), knots.size(),    order, paramInc,
            curveMode, epsilonBits,          evaluator.useAvx};
}

const std::vector<double>& NurbsCurve::sampleCoordinates() {
    ensureKnots();
    const SampleKey key = sampleKey();
    if (key == sampledKey_) {
        spanHint = sampledSpanHint_; // as the pass left it
        return sampleXyz_;
    }
    thread_local std::vector<ControlPoint> points;
    evaluateSamples(points);
    sampleXyz_.resize(points.size() * 3);
    for (std::size_t i = 0; i < points.size(); ++i) {
        sampleXyz_[3 * i] = points[i].x;
        sampleXyz_[3 * i + 1] = points[i].y;
        sampleXyz_[3 * i + 2] = points[i].z;
    }
    sampledKey_ = key;
    sampledSpanHint_ = spanHint;
    return sampleXyz_;
}

void NurbsCurve::sampleParameters(std::vector<double>& out) {
    out.clear();
    ensureKnots();
    if (!hasCurve() || paramInc < 1 || !evaluator.reset(knots, order, controlPoints, curveMode == Closed))
        return;
    const int n = static_cast<int>(controlPoints.size());
    const int k = order;
    out.reserve(static_cast<size_t>(std::min(paramInc, 1 << 20)) + 2);
    const double p = paramInc;
    if (curveMode == Interpolated) {
        // Exact integers over p: the last sample is u = 1 exactly, the last control point.
        for (std::int64_t s = 0; s <= paramInc; ++s)
            out.push_back(static_cast<double>(s) / p);
    } else {
        // Accumulated steps, rounded each time. An open pass stops short of its end; a closed one takes
        // its end when the sum lands on it. A step too small to move u ends the pass.
        const double a = knots[k - 1];
        const double b = knots[curveMode == Closed ? n + k : n];
        const double step = (b - a) / p;
        const bool closed = curveMode == Closed;
        for (double u = a; closed ? u <= b : u < b;) {
            out.push_back(u);
            const double next = step + u;
            if (!(next > u))
                break;
            u = next;
        }
    }
}

void NurbsCurve::evaluateSamples(std::vector<ControlPoint>& out) {
    ++samplePasses;
    out.clear();
    spanHint = 0;
    ensureKnots();
    if (!hasCurve())
        return;
    if (curveMode == Closed) {
        wrappedPoints = controlPoints;
        for (int i = 0; i < order; ++i)
            wrappedPoints.push_back(controlPoints[i]);
    }
    // The parameters first, then one run of the evaluator over them.
    thread_local std::vector<double> us;
    sampleParameters(us);
    if (us.empty())
        return;
    evaluator.knotEpsilon = knotEpsilon;
    out.resize(us.size());
    evaluator.evaluatePoints(us.data(), static_cast<int>(us.size()), out.data());
    spanHint = evaluator.spanHint;
}

bool NurbsCurve::hitTest(double x, double y, double z, int axis) {
    const std::vector<double>& xyz = sampleCoordinates();
    for (std::size_t i = 0; i + 2 < xyz.size(); i += 3) {
        if ((axis == 0 || std::fabs(xyz[i] - x) <= HitTolerance) &&
            (axis == 1 || std::fabs(xyz[i + 1] - y) <= HitTolerance) &&
            (axis == 2 || std::fabs(xyz[i + 2] - z) <= HitTolerance))
            return true;
    }
    return false;
}

// ---- Editing ----

void NurbsCurve::appendPoint(const ControlPoint& p) {
    controlPoints.push_back(p);
    rebuildKnots();
    computeCentre();
}

void NurbsCurve::insertPoint(const ControlPoint& p, int axis) {
    const int n = static_cast<int>(controlPoints.size());
    ControlPoint r = p;
    r.coordinate(axis) = 0.0;
    const ControlPoint origin(0.0, 0.0, 0.0);
    for (int i = 1; i < n; ++i) {
        ControlPoint a = controlPoints[i - 1];
        ControlPoint b = controlPoints[i];
        a.coordinate(axis) = 0.0;
        b.coordinate(axis) = 0.0;
        // Directions from a to the point and from the point to b: parallel when it lies on the line.
        ControlPoint u = r - a;
        ControlPoint v = b - r;
        u.normalise();
        v.normalise();
        const ControlPoint c = cross(u, v);
        if (std::fabs(c.x) > HitTolerance || std::fabs(c.y) > HitTolerance || std::fabs(c.z) > HitTolerance)
            continue;
        // Between the ends: no farther from either end than the ends are from each other (single precision,
        // and measured from the unblanked point).
        const float segment = squaredDistance(a, b);
        const float d1 = squaredDistance(a - p, origin);
        const float d2 = squaredDistance(b - p, origin);
        if (d1 <= segment && d2 <= segment) {
            insertPointAt(p, i);
            return;
        }
    }
}

void NurbsCurve::insertPointAt(const ControlPoint& p, int index) {
    if (index < 0 || index > static_cast<int>(controlPoints.size()))
        return;
    controlPoints.insert(controlPoints.begin() + index, p);
    rebuildKnots();
    computeCentre();
}

int NurbsCurve::findPoint(double x, double y, double z, int axis) {
    foundPoint = -1;
    for (int i = 0; i < static_cast<int>(controlPoints.size()); ++i) {
        const ControlPoint& p = controlPoints[i];
        if ((axis == 0 || std::fabs(p.x - x) <= HitTolerance) &&
            (axis == 1 || std::fabs(p.y - y) <= HitTolerance) &&
            (axis == 2 || std::fabs(p.z - z) <= HitTolerance)) {
            foundPoint = i;
            break;
        }
    }
    return foundPoint;
}

void NurbsCurve::movePoint(int index, double dx, double dy, double dz) {
    ++revision_;
    if (index >= 0 && index < static_cast<int>(controlPoints.size())) {
        ControlPoint& p = controlPoints[index];
        p.x += dx;
        p.y += dy;
        p.z += dz;
    }
    computeCentre();
}

void NurbsCurve::changeWeight(int index, double dw) {
    ++revision_;
    if (index < 0 || index >= static_cast<int>(controlPoints.size()))
        return;
    double& w = controlPoints[index].w;
    w += dw;
    if (w < 0.0)
        w = 0.0;
}

void NurbsCurve::setWeight(int index, double w) {
    ++revision_;
    if (index >= 0 && index < static_cast<int>(controlPoints.size()) && w > 0.0)
        controlPoints[index].w = w;
}

double NurbsCurve::weight(int index) const {
    if (index < 0 || index >= static_cast<int>(controlPoints.size()))
        return 1.0;
    return controlPoints[index].w;
}

void NurbsCurve::deletePoint(int index) {
    if (index >= 0 && index < static_cast<int>(controlPoints.size()))
        controlPoints.erase(controlPoints.begin() + index);
    rebuildKnots();
    computeCentre();
}

void NurbsCurve::reverseOrder() {
    ++revision_;
    std::reverse(controlPoints.begin(), controlPoints.end());
}

void NurbsCurve::computeCentre() {
    ControlPoint sum(0.0, 0.0, 0.0);
    for (const ControlPoint& p : controlPoints)
        sum = sum + p;
    if (!controlPoints.empty()) {
        const double n = static_cast<double>(controlPoints.size());
        sum.x /= n;
        sum.y /= n;
        sum.z /= n;
    }
    centre = sum;
}

// ---- Transforms: positions change, weights stay, normals are dropped ----

void NurbsCurve::translate(double dx, double dy, double dz) {
    ++revision_;
    for (ControlPoint& p : controlPoints)
        p = p.translated(dx, dy, dz);
    centre = centre.translated(dx, dy, dz);
}

void NurbsCurve::scale(double s) {
    ++revision_;
    for (ControlPoint& p : controlPoints) {
        const ControlPoint q = p - centre;
        ControlPoint result = (q + q.scaled(s)) + centre;
        result.w = p.w;
        p = result;
    }
}

void NurbsCurve::rotate(double ax, double ay, double az) {
    ++revision_;
    for (ControlPoint& p : controlPoints) {
        const ControlPoint q = p - centre;
        ControlPoint result = q.rotatedX(ax).rotatedY(ay).rotatedZ(az) + centre;
        result.w = p.w;
        p = result;
    }
}

// ---- Scene-file record ----

namespace {
constexpr int curveRecordSize = 40;
constexpr int pointRecordSize = 56;
} // namespace

void NurbsCurve::write(std::ostream& out, const ObjectPositions& list) const {
    using namespace LittleEndian;
    // The whole record is packed first and written once: one stream call per curve, not per field.
    std::vector<unsigned char> record(curveRecordSize + pointRecordSize * controlPoints.size());
    unsigned char* at = record.data();
    storeInt32(at, static_cast<std::int32_t>(controlPoints.size()));
    storeInt32(at + 4, order);
    storeInt32(at + 8, paramInc);
    storeInt32(at + 12, curveMode);
    storeInt32(at + 16, list.positionOf(surfaceLink));
    storeInt32(at + 20, linkKind);
    storeBool(at + 24, showVertices);
    storeBool(at + 25, showEdge);
    storeBool(at + 26, showCurve);
    storeBool(at + 27, spareFlag);
    for (int i = 0; i < 3; ++i)
        storeFloat32(at + 28 + 4 * i, color[i]);
    at += curveRecordSize;
    for (const ControlPoint& p : controlPoints) {
        for (double v : {p.x, p.y, p.z, p.nx, p.ny, p.nz, p.w}) {
            storeFloat64(at, v);
            at += 8;
        }
    }
    out.write(reinterpret_cast<const char*>(record.data()), static_cast<std::streamsize>(record.size()));
}

void NurbsCurve::read(std::istream& in) {
    using namespace LittleEndian;
    unsigned char record[curveRecordSize];
    if (!in.read(reinterpret_cast<char*>(record), curveRecordSize))
        return;
    const int n = int32At(record);
    order = int32At(record + 4);
    paramInc = int32At(record + 8);
    curveMode = int32At(record + 12);
    linkIndex = int32At(record + 16);
    linkKind = int32At(record + 20);
    showVertices = boolAt(record + 24);
    showEdge = boolAt(record + 25);
    showCurve = boolAt(record + 26);
    spareFlag = boolAt(record + 27);
    for (int i = 0; i < 3; ++i)
        color[i] = float32At(record + 28 + 4 * i);

    // Points are appended as they arrive, so a count larger than the stream allocates nothing for it.
    controlPoints.clear();
    unsigned char bytes[pointRecordSize];
    for (int i = 0; i < n && in.read(reinterpret_cast<char*>(bytes), pointRecordSize); ++i) {
        ControlPoint p(float64At(bytes), float64At(bytes + 8), float64At(bytes + 16), float64At(bytes + 48));
        p.nx = float64At(bytes + 24);
        p.ny = float64At(bytes + 32);
        p.nz = float64At(bytes + 40);
        controlPoints.push_back(p);
    }
    rebuildKnots();
}

void NurbsCurve::resolveLinks(const ObjectPositions& list) {
    surfaceLink = linkKind == FreeLink || linkKind == ReleasedLink ? nullptr : list.objectAt(linkIndex);
}

// ---- Links and undo ----

bool NurbsCurve::linksTo(const SceneObject* object) const {
    return object && surfaceLink == object;
}

void NurbsCurve::forget(const SceneObject* object) {
    if (linksTo(object)) {
        surfaceLink = nullptr;
        linkKind = ReleasedLink;
    }
}

namespace {
static_assert(sizeof(ControlPoint) == 7 * sizeof(double), "control points compare as bytes");

bool sameBytes(const void* a, const void* b, std::size_t n) {
    return n == 0 || std::memcmp(a, b, n) == 0;
}

// The knots follow from the points, order and form, and are rebuilt on restoring; the centre is
// kept because scale and rotate turn about it and not every edit recomputes it.
struct CurveState : ObjectState {
    SceneObject::Appearance look{};
    SceneObject* surfaceLink = nullptr;
    int linkKind = 0, curveMode = 0, order = 0, paramInc = 0;
    double knotEpsilon = 0.0;
    ControlPoint centre;
    std::vector<ControlPoint> controlPoints;

    std::size_t bytes() const override { return sizeof *this + controlPoints.size() * sizeof(ControlPoint); }
    bool sameAs(const ObjectState& other) const override {
        const auto* o = dynamic_cast<const CurveState*>(&other);
        return o && look.sameAs(o->look) && surfaceLink == o->surfaceLink && linkKind == o->linkKind &&
               curveMode == o->curveMode && order == o->order && paramInc == o->paramInc &&
               sameBytes(&knotEpsilon, &o->knotEpsilon, sizeof knotEpsilon) &&
               sameBytes(&centre, &o->centre, sizeof centre) &&
               controlPoints.size() == o->controlPoints.size() &&
               sameBytes(controlPoints.data(), o->controlPoints.data(),
                         controlPoints.size() * sizeof(ControlPoint));
    }
};
} // namespace

std::unique_ptr<ObjectState> NurbsCurve::saveState() const {
    auto state = std::make_unique<CurveState>();
    state->look = appearance();
    state->surfaceLink = surfaceLink;
    state->linkKind = linkKind;
    state->curveMode = curveMode;
    state->order = order;
    state->paramInc = paramInc;
    state->knotEpsilon = knotEpsilon;
    state->centre = centre;
    state->controlPoints = controlPoints;
    return state;
}

void NurbsCurve::restoreState(const ObjectState& saved) {
    const auto* state = dynamic_cast<const CurveState*>(&saved);
    if (!state)
        return;
    setAppearance(state->look);
    surfaceLink = state->surfaceLink;
    linkKind = state->linkKind;
    curveMode = state->curveMode;
    order = state->order;
    paramInc = state->paramInc;
    knotEpsilon = state->knotEpsilon;
    centre = state->centre;
    controlPoints = state->controlPoints;
    spanHint = 0;
    rebuildKnots();
}
