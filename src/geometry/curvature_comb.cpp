// Teeth of a curvature comb from the curve's exact curvature at its drawn samples.
#include "geometry/curvature_comb.h"

#include "geometry/curvature_sample.h"

CurvatureComb CurvatureComb::of(NurbsCurve& curve, double scale) {
    CurvatureComb comb;
    const std::vector<CurvatureSample> samples = sampleCurvature(curve);
    comb.bases.reserve(samples.size());
    comb.tips.reserve(samples.size());
    for (const CurvatureSample& s : samples) {
        const ControlPoint base(s.point.x, s.point.y, s.point.z);
        comb.bases.push_back(base);
        comb.tips.push_back(s.valid ? ControlPoint(base.x - scale * s.curvatureVector.x,
                                                   base.y - scale * s.curvatureVector.y,
                                                   base.z - scale * s.curvatureVector.z)
                                    : base);
    }
    return comb;
}
