// A rational B-spline curve of any order over weighted control points, in one of three forms.
#pragma once

#include "control_point.h"
#include "scene_object.h"

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
    double knot(int i) const { return knots[i]; }

    // Evaluation.
    int findSpan(double u);
    double evaluateScalar(double u, const double* c);
    // The curve point at u; outside the domain, the point at the nearest end of it.
    ControlPoint evaluate(double u);
    void rebuildKnots();
    void normaliseKnots();

    // The points the drawn line strip passes through, one per parameter of the form's sample
    // sequence; empty when the curve has fewer points than its order.
    std::vector<ControlPoint> samplePoints();

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

    // SceneObject
    void draw(bool active, bool perspective) override;
    bool hitTest(double x, double y, double z, int axis) override;
    void write(std::ostream& out, const SceneList& list) const override;
    void read(std::istream& in) override;
    void resolveLinks(const SceneList& list) override;
    void translate(double dx, double dy, double dz) override;
    void scale(double s) override;
    void rotate(double ax, double ay, double az) override;
};
