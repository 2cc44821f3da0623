// Conversion of knot vectors to Open CASCADE's distinct knots with multiplicities.
#include "occt/occt_geometry.h"

#include "exchange/nurbs_curve_data.h"
#include "exchange/nurbs_surface_data.h"

#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <Message_PrinterOStream.hxx>
#include <TColStd_Array1OfInteger.hxx>
#include <TColStd_Array1OfReal.hxx>
#include <TColStd_Array2OfReal.hxx>
#include <TColgp_Array1OfPnt.hxx>
#include <TColgp_Array2OfPnt.hxx>

#include <mutex>
#include <vector>

namespace {

struct KnotRuns {
    std::vector<double> values;
    std::vector<int> multiplicities;
};

KnotRuns runsOf(const std::vector<double>& knots) {
    KnotRuns runs;
    for (double k : knots) {
        if (!runs.values.empty() && runs.values.back() == k) {
            ++runs.multiplicities.back();
        } else {
            runs.values.push_back(k);
            runs.multiplicities.push_back(1);
        }
    }
    return runs;
}

TColStd_Array1OfReal knotArray(const KnotRuns& runs) {
    TColStd_Array1OfReal out(1, static_cast<int>(runs.values.size()));
    for (int i = 0; i < out.Length(); ++i)
        out(i + 1) = runs.values[i];
    return out;
}

TColStd_Array1OfInteger multiplicityArray(const KnotRuns& runs) {
    TColStd_Array1OfInteger out(1, static_cast<int>(runs.multiplicities.size()));
    for (int i = 0; i < out.Length(); ++i)
        out(i + 1) = runs.multiplicities[i];
    return out;
}

} // namespace

Handle(Geom_BSplineCurve) toGeomCurve(const NurbsCurveData& curve) {
    const NurbsCurveData clamped = curve.clamped() ? curve : curve.clampedToDomain();
    const int n = static_cast<int>(clamped.poles.size());
    TColgp_Array1OfPnt poles(1, n);
    TColStd_Array1OfReal weights(1, n);
    for (int i = 0; i < n; ++i) {
        const ControlPoint& p = clamped.poles[i];
        poles(i + 1) = gp_Pnt(p.x, p.y, p.z);
        weights(i + 1) = p.w;
    }
    const KnotRuns runs = runsOf(clamped.knots);
    const TColStd_Array1OfReal knots = knotArray(runs);
    const TColStd_Array1OfInteger multiplicities = multiplicityArray(runs);
    if (!clamped.rational())
        return new Geom_BSplineCurve(poles, knots, multiplicities, clamped.degree);
    return new Geom_BSplineCurve(poles, weights, knots, multiplicities, clamped.degree);
}

Handle(Geom_BSplineSurface) toGeomSurface(const NurbsSurfaceData& surface) {
    TColgp_Array2OfPnt poles(1, surface.uCount, 1, surface.vCount);
    TColStd_Array2OfReal weights(1, surface.uCount, 1, surface.vCount);
    for (int i = 0; i < surface.uCount; ++i) {
        for (int j = 0; j < surface.vCount; ++j) {
            const ControlPoint& p = surface.pole(i, j);
            poles(i + 1, j + 1) = gp_Pnt(p.x, p.y, p.z);
            weights(i + 1, j + 1) = p.w;
        }
    }
    const KnotRuns u = runsOf(surface.uKnots), v = runsOf(surface.vKnots);
    const TColStd_Array1OfReal uKnots = knotArray(u), vKnots = knotArray(v);
    const TColStd_Array1OfInteger uMultiplicities = multiplicityArray(u),
                                  vMultiplicities = multiplicityArray(v);
    if (!surface.rational())
        return new Geom_BSplineSurface(poles, uKnots, vKnots, uMultiplicities, vMultiplicities,
                                       surface.uDegree, surface.vDegree);
    return new Geom_BSplineSurface(poles, weights, uKnots, vKnots, uMultiplicities, vMultiplicities,
                                   surface.uDegree, surface.vDegree);
}

void quietOpenCascade() {
    static std::once_flag once;
    std::call_once(
        once, [] { Message::DefaultMessenger()->RemovePrinters(STANDARD_TYPE(Message_PrinterOStream)); });
}
