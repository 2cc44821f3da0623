// Curvature, curvature vector and principal normal of the rational curve from its exact derivatives.
#include "geometry/curvature_sample.h"

#include "geometry/nurbs_curve.h"

#include <cmath>

namespace {

double dot(const ControlPoint& a, const ControlPoint& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// In double precision: length() of a ControlPoint rounds through float, as hit tests want.
double norm(const ControlPoint& a) {
    return std::sqrt(dot(a, a));
}

} // namespace

CurvatureSample measureCurvature(const CurveDerivatives& derivatives) {
    CurvatureSample sample;
    if (!derivatives.valid)
        return sample;
    sample.parameter = derivatives.parameter;
    sample.point = derivatives.point;
    sample.valid = true;
    const ControlPoint& velocity = derivatives.first;
    const double speedSquared = dot(velocity, velocity);
    if (!(speedSquared > 0.0) || !std::isfinite(speedSquared))
        return sample;                                                 // no tangent: no curvature to speak of
    const ControlPoint binormal = cross(velocity, derivatives.second); // C' x C''
    const double speed = std::sqrt(speedSquared);
    const double curvature = norm(binormal) / (speedSquared * speed);
    if (!(curvature > 0.0) || !std::isfinite(curvature))
        return sample;
    const ControlPoint curvatureVector = cross(binormal, velocity) * (1.0 / (speedSquared * speedSquared));
    sample.curvature = curvature;
    sample.curvatureVector = curvatureVector;
    sample.normal = curvatureVector * (1.0 / curvature);
    return sample;
}

CurvatureSample sampleCurvatureAt(NurbsCurve& curve, double u) {
    return measureCurvature(evaluateDerivatives(curve, u));
}

std::vector<CurvatureSample> sampleCurvature(NurbsCurve& curve) {
    std::vector<double> parameters;
    curve.sampleParameters(parameters);
    const std::vector<ControlPoint> points = curve.samplePoints();
    std::vector<CurvatureSample> samples;
    if (points.size() != parameters.size())
        return samples;
    samples.reserve(parameters.size());
    for (size_t i = 0; i < parameters.size(); ++i) {
        CurvatureSample sample = sampleCurvatureAt(curve, parameters[i]);
        sample.parameter = parameters[i];
        sample.point = points[i];
        samples.push_back(sample);
    }
    return samples;
}
