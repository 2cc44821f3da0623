// A rational B-spline curve of any order over weighted control points, in one of three forms.
#pragma once

#include "geometry/control_point.h"
#include "geometry/curve_evaluator.h"
#include "geometry/scene_object.h"

#include <cstdint>
#include <vector>

// The window half-size for hitting a curve and finding or inserting a control point.
constexpr double HitTolerance = 0.3;

class NurbsCurve : public SceneObject {
public:
    // Curve forms (curveMode).
    static constexpr int Open = 0;
    static constexpr int Interpolated = 1;
    static constexpr int Closed = 2;

    // Link kinds (linkKind).
    static constexpr int FreeLink = 1;
    static constexpr int RevolutionLink = 2;
    static constexpr int CoonsLink = 3;
    static constexpr int ExtrusionLink = 4;
    static constexpr int ReleasedLink = 5;

    SceneObject* surfaceLink = nullptr; // not owned
    int linkKind = FreeLink;
    int curveMode = Interpolated;
    std::vector<ControlPoint> controlPoints;
    std::vector<ControlPoint> wrappedPoints; // Closed only: the points, then the first `order` again
    std::vector<double> knots;
    int order = 3;
    double knotEpsilon = 1e-8;
    int paramInc = 100;
    int spanHint = 0;
    int foundPoint = -1;
    // A view setting, never stored: the points drawn larger the larger their weight.
    bool pointsSizedByWeight = false;
    ControlPoint centre{0.0, 0.0, 0.0};
    int linkIndex = -1;

    NurbsCurve() = default;
    void copyFrom(const NurbsCurve& other);

    // Setters store the value and rebuild the knots; no range check.
    void setOrder(int k);
    void setParamInc(int inc);
    void setCurveMode(int mode);
    void setControlPoints(const std::vector<ControlPoint>& points);
    void parameters(bool& vertices, bool& line, bool& edge, int& order, int& paramInc, int& curveMode) const;
    // 0 for an index outside the knots.
    double knot(int i) const { return i >= 0 && i < static_cast<int>(knots.size()) ? knots[i] : 0.0; }

    // Evaluation.
    // The span [t(i), t(i+1)) holding u, searched from spanHint; knot count - order within knotEpsilon of
    // the last knot; -1 otherwise.
    int findSpan(double u);
    // De Boor over one coefficient array c of (knot count - order) entries, with the rules of evaluate()
    // for u outside the domain and at its end; 0 when there is no curve (order below 1 or fewer
    // coefficients than the order).
    double evaluateScalar(double u, const double* c);
    // The curve point at u (weight 1, no normal). Outside the domain, the point at the nearest end of it
    // (for u < 0 and u > 1 too); NaN gives NaN. A curve with fewer points than its order gives its first
    // point, or the origin when it has none. spanHint is left as it was.
    ControlPoint evaluate(double u);
    void rebuildKnots();
    void normaliseKnots();
    // The parameter range a pass samples: [t(k-1), t(n)], or [t(k-1), t(n+k)] when closed; 0 and 0 when
    // there is no curve to evaluate.
    double domainStart();
    double domainEnd();
    // True when the curve can be evaluated: order >= 1, at least `order` points and a known form.
    bool hasCurve() const;

    // The points the drawn line strip passes through, one per parameter of the form's sample
    // sequence; empty when the curve has fewer points than its order or paramInc is below 1.
    std::vector<ControlPoint> samplePoints();
    // The same into a caller's buffer, so that repeated passes need no allocation.
    void samplePoints(std::vector<ControlPoint>& out);
    // Those points as x, y, z triples, evaluated once per change of the curve: the four views, hit
    // tests, bounds and export share them. Valid until the curve next changes.
    const std::vector<double>& sampleCoordinates();
    // Evaluates the samples whether or not they changed (what sampleCoordinates caches).
    void evaluateSamples(std::vector<ControlPoint>& out);
    // How many times the samples were evaluated, for tests and benchmarks.
    std::uint64_t samplePasses = 0;
    // Every method that changes the points, weights, knots, order, form or increment counts as a
    // change; a caller that writes controlPoints or knots directly calls this before the next pass.
    void pointsChanged() { ++revision_; }
    // The parameters of that sequence, in order; empty when samplePoints gives no points.
    void sampleParameters(std::vector<double>& out);
    // Knots are a function of the points, order and form; a caller that edited controlPoints directly
    // gets them rebuilt before a pass instead of a read past the points. Every pass calls it.
    void ensureKnots();

    // Editing.
    void appendPoint(const ControlPoint& p);
    void insertPoint(const ControlPoint& p, int axis);
    void insertPointAt(const ControlPoint& p, int index);
    int findPoint(double x, double y, double z, int axis);
    void movePoint(int index, double dx, double dy, double dz);
    void changeWeight(int index, double dw);
    void setWeight(int index, double w);
    double weight(int index) const;
    void deletePoint(int index);
    void reverseOrder();
    void computeCentre();

    // SceneObject. write() emits the curve record only (40 bytes, then 56 per point, little-endian);
    // the scene-file writer puts the tag byte "1" before it. read() takes the record after the tag;
    // a short stream leaves the stream failed and keeps whatever points were complete.
    void draw(bool active, bool perspective) override;
    // The size in pixels of a point of that weight when sized by weight: its area grows with the
    // weight, 7 pixels across at weight 1, from 3 to 28.
    static float pointSizeForWeight(double weight);
    bool hitTest(double x, double y, double z, int axis) override;
    // How far (x, y, z) lies from the drawn line in the plane across axis (the view's depth axis, whose
    // coordinate is ignored): the nearer of the samples' box distance, as hitTest measures it, and the
    // straight distance to the segments between them. Infinity when nothing is drawn.
    double hitDistance(double x, double y, double z, int axis);
    void write(std::ostream& out, const ObjectPositions& list) const override;
    void read(std::istream& in) override;
    void resolveLinks(const ObjectPositions& list) override;
    void translate(double dx, double dy, double dz) override;
    void scale(double s) override;
    void rotate(double ax, double ay, double az) override;
    bool linksTo(const SceneObject* object) const override;
    void forget(const SceneObject* object) override;
    std::unique_ptr<ObjectState> saveState() const override;
    void restoreState(const ObjectState& state) override;

    // Scratch of the evaluation passes; holds nothing between them.
    CurveEvaluator evaluator;

private:
    int expectedKnotCount() const;

    // What the cached samples were evaluated from: the revision and the fields a caller may assign.
    struct SampleKey {
        std::uint64_t revision = 0;
        std::size_t points = 0, knots = 0;
        int order = 0, paramInc = 0, curveMode = 0;
        std::uint64_t knotEpsilonBits = 0;
        bool useAvx = false;
        bool operator==(const SampleKey&) const = default;
    };
    SampleKey sampleKey() const;
    std::uint64_t revision_ = 1;
    SampleKey sampledKey_;
    std::vector<double> sampleXyz_;
    int sampledSpanHint_ = 0;
};
