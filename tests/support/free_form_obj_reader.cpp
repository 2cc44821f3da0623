// OBJ free-form reading and de Boor's triangular scheme over homogeneous points.
#include "free_form_obj_reader.h"

#include <algorithm>
#include <array>
#include <sstream>

namespace {

using Homogeneous = std::array<double, 4>;

Homogeneous lift(const ControlPoint& p) {
    return {p.x * p.w, p.y * p.w, p.z * p.w, p.w};
}

// The span [knots[s], knots[s + 1]) holding u, u within [start, end]; the last non-empty one at the end.
int spanOf(const std::vector<double>& knots, int p, int n, double u, double end) {
    int s = p;
    while (s + 1 < n && knots[s + 1] <= u && knots[s + 1] < end)
        ++s;
    return s;
}

// de Boor's triangle over the p + 1 coefficients d of span s.
Homogeneous deBoor(const std::vector<double>& knots, int p, int s, std::vector<Homogeneous> d, double u) {
    for (int r = 1; r <= p; ++r) {
        for (int j = p; j >= r; --j) {
            const int i = j + s - p;
            const double denominator = knots[i + p + 1 - r] - knots[i];
            const double alpha = denominator == 0.0 ? 0.0 : (u - knots[i]) / denominator;
            for (int l = 0; l < 4; ++l)
                d[j][l] = (1.0 - alpha) * d[j - 1][l] + alpha * d[j][l];
        }
    }
    return d[p];
}

ControlPoint project(const Homogeneous& h) {
    return ControlPoint(h[0] / h[3], h[1] / h[3], h[2] / h[3]);
}

} // namespace

ControlPoint FreeFormObject::curvePoint(double u) const {
    u = std::clamp(u, startU, endU);
    const int s = spanOf(knotsU, degreeU, countU, u, endU);
    std::vector<Homogeneous> d;
    for (int i = s - degreeU; i <= s; ++i)
        d.push_back(lift(poles[i]));
    return project(deBoor(knotsU, degreeU, s, d, u));
}

ControlPoint FreeFormObject::surfacePoint(double u, double v) const {
    // The rows of the v span, each evaluated along u, then the results along v.
    u = std::clamp(u, startU, endU);
    v = std::clamp(v, startV, endV);
    const int su = spanOf(knotsU, degreeU, countU, u, endU);
    const int sv = spanOf(knotsV, degreeV, countV, v, endV);
    std::vector<Homogeneous> column;
    for (int j = sv - degreeV; j <= sv; ++j) {
        std::vector<Homogeneous> row;
        for (int i = su - degreeU; i <= su; ++i)
            row.push_back(lift(poles[static_cast<std::size_t>(j) * countU + i]));
        column.push_back(deBoor(knotsU, degreeU, su, row, u));
    }
    return project(deBoor(knotsV, degreeV, sv, column, v));
}

FreeFormFile readFreeFormObj(const std::string& text) {
    FreeFormFile file;
    std::vector<ControlPoint> vertices;
    FreeFormObject current;
    std::vector<long long> indexes;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& why) {
        file.error = "line " + std::to_string(number) + ": " + why;
        return file;
    };
    while (std::getline(lines, line)) {
        ++number;
        std::istringstream words(line);
        std::string keyword;
        if (!(words >> keyword) || keyword[0] == '#')
            continue;
        if (keyword == "v") {
            ControlPoint p;
            if (!(words >> p.x >> p.y >> p.z))
                return fail("a vertex needs three coordinates");
            if (!(words >> p.w))
                p.w = 1.0;
            vertices.push_back(p);
        } else if (keyword == "o") {
            current = FreeFormObject();
            words >> current.name;
        } else if (keyword == "cstype") {
            std::string first, second;
            words >> first >> second;
            current.rational = first == "rat";
            if ((current.rational ? second : first) != "bspline")
                return fail("only B-splines are read");
        } else if (keyword == "deg") {
            words >> current.degreeU;
            if (!(words >> current.degreeV))
                current.degreeV = 0;
        } else if (keyword == "curv" || keyword == "surf") {
            current.surface = keyword == "surf";
            words >> current.startU >> current.endU;
            if (current.surface)
                words >> current.startV >> current.endV;
            indexes.clear();
            for (long long i; words >> i;)
                indexes.push_back(i);
        } else if (keyword == "parm") {
            std::string direction;
            words >> direction;
            std::vector<double>& knots = direction == "u" ? current.knotsU : current.knotsV;
            knots.clear();
            for (double k; words >> k;)
                knots.push_back(k);
        } else if (keyword == "end") {
            for (long long i : indexes) {
                if (i < 1 || i > static_cast<long long>(vertices.size()))
                    return fail("vertex " + std::to_string(i) + " does not exist");
                ControlPoint p = vertices[static_cast<std::size_t>(i - 1)];
                if (!current.rational && p.w != 1.0)
                    return fail("a weight on a non-rational element");
                current.poles.push_back(p);
            }
            current.countU = static_cast<int>(current.knotsU.size()) - current.degreeU - 1;
            current.countV =
                current.surface ? static_cast<int>(current.knotsV.size()) - current.degreeV - 1 : 1;
            if (static_cast<long long>(current.countU) * current.countV !=
                static_cast<long long>(indexes.size()))
                return fail("the knots do not fit the control points");
            file.objects.push_back(current);
        } else {
            return fail("unexpected " + keyword);
        }
    }
    return file;
}
