// OBJ free-form writer.
#include "exchange/obj_free_form_writer.h"

#include "exchange/exchange_model.h"
#include "exchange/number_text.h"

#include <ostream>
#include <string>

namespace {

void appendVertex(std::string& line, const ControlPoint& p, bool rational) {
    line += "v ";
    appendNumber(line, p.x);
    line += ' ';
    appendNumber(line, p.y);
    line += ' ';
    appendNumber(line, p.z);
    if (rational) {
        line += ' ';
        appendNumber(line, p.w);
    }
    line += '\n';
}

void appendKnots(std::string& line, const char* direction, const std::vector<double>& knots) {
    line += "parm ";
    line += direction;
    for (double k : knots) {
        line += ' ';
        appendNumber(line, k);
    }
    line += '\n';
}

} // namespace

void writeObjFreeForm(const ExchangeModel& model, std::ostream& out) {
    std::string text =
        "# Knotwork " KNOTWORK_VERSION " exact export: NURBS curves and surfaces\n# units: millimetres\n";
    long long base = 0; // vertices written before the object
    for (const ExchangeObject& object : model.objects) {
        text += "o " + object.name + '\n';
        if (!object.isSurface) {
            const NurbsCurveData& c = object.curve;
            const bool rational = c.rational();
            for (const ControlPoint& p : c.poles)
                appendVertex(text, p, rational);
            text += rational ? "cstype rat bspline\n" : "cstype bspline\n";
            text += "deg " + std::to_string(c.degree) + "\ncurv ";
            appendNumber(text, c.domainStart);
            text += ' ';
            appendNumber(text, c.domainEnd);
            for (std::size_t i = 0; i < c.poles.size(); ++i)
                text += ' ' + std::to_string(base + static_cast<long long>(i) + 1);
            text += '\n';
            appendKnots(text, "u", c.knots);
            base += static_cast<long long>(c.poles.size());
        } else {
            const NurbsSurfaceData& s = object.surface;
            const bool rational = s.rational();
            for (int j = 0; j < s.vCount; ++j)
                for (int i = 0; i < s.uCount; ++i)
                    appendVertex(text, s.pole(i, j), rational);
            text += rational ? "cstype rat bspline\n" : "cstype bspline\n";
            text += "deg " + std::to_string(s.uDegree) + ' ' + std::to_string(s.vDegree) + "\nsurf ";
            appendNumber(text, s.uStart());
            text += ' ';
            appendNumber(text, s.uEnd());
            text += ' ';
            appendNumber(text, s.vStart());
            text += ' ';
            appendNumber(text, s.vEnd());
            const long long count = static_cast<long long>(s.uCount) * s.vCount;
            for (long long i = 0; i < count; ++i)
                text += ' ' + std::to_string(base + i + 1);
            text += '\n';
            appendKnots(text, "u", s.uKnots);
            appendKnots(text, "v", s.vKnots);
            base += count;
        }
        text += "end\n";
        if (text.size() > (1u << 20)) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            text.clear();
        }
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}
