// The knot strip: drawn with QPainter from the curve's knot summary and sampled basis functions.
// The geometry comes before Qt: the surfaces' mesh has a member named emit, which Qt defines as a macro.
#include "geometry/nurbs_curve.h"

#include "canvas/gl_pelm.h"
#include "ui/knot_strip.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {
// The marks of the views: magenta for a control point, cyan for the point at a parameter.
const QColor pointMark(230, 0, 230);
const QColor parameterMark(0, 190, 190);

QColor functionColour(int i) {
    return QColor::fromHsv((i * 67) % 360, 160, 150);
}
} // namespace

KnotStrip::KnotStrip(GLPelm* canvas, QWidget* parent) : QWidget(parent), canvas_(canvas) {
    setObjectName(QStringLiteral("Knot Strip"));
    setMouseTracking(true);
    setFixedHeight(stripHeight);
    setMinimumWidth(200);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    // Any edit, undo or change of the selection ends in one of these; follow() finds what changed.
    connect(canvas, &GLPelm::stateChanged, this, qOverload<>(&QWidget::update));
    connect(canvas, &GLPelm::historyChanged, this, qOverload<>(&QWidget::update));
    connect(canvas, &GLPelm::controlPointHovered, this, &KnotStrip::showControlPoint);
    connect(this, &KnotStrip::controlPointHovered, canvas, &GLPelm::markControlPoint);
    connect(this, &KnotStrip::parameterHovered, canvas, &GLPelm::markParameter);
    connect(this, &KnotStrip::parameterLeft, canvas, &GLPelm::clearParameterMark);
}

void KnotStrip::follow() {
    Key key;
    NurbsCurve* curve = canvas_->activeCurve();
    if (curve) {
        curve->ensureKnots();
        key = {curve,
               curve->knots,
               curve->order,
               curve->curveMode,
               static_cast<int>(curve->controlPoints.size()),
               width(),
               height()};
    }
    if (key == key_)
        return;
    key_ = key;
    summary_ = curve ? summariseKnots(*curve) : KnotSummary();
    samples_ = BasisFunctionSamples();
    if (curve && !summary_.knots.empty()) {
        const KnotStripGeometry g = KnotStripGeometry::of(width(), height(), 0.0, 1.0);
        samples_ = sampleBasisFunctions(*curve, std::max(2, static_cast<int>(g.right - g.left) + 1));
    }
    // Another curve, or the same one changed under a still cursor: what it hovered may lie elsewhere now.
    // The next move finds them again.
    if (hoveredFunction_ != -1) {
        hoveredFunction_ = -1;
        emit controlPointHovered(-1);
    }
    if (cursorParameter_) {
        cursorParameter_.reset();
        emit parameterLeft();
    }
}

const KnotSummary& KnotStrip::summary() {
    follow();
    return summary_;
}

const BasisFunctionSamples& KnotStrip::samples() {
    follow();
    return samples_;
}

KnotStripGeometry KnotStrip::plotGeometry() {
    follow();
    return KnotStripGeometry::of(width(), height(), summary_.rangeStart, summary_.rangeEnd);
}

std::vector<int> KnotStrip::highlightedFunctions() {
    follow();
    std::vector<int> functions;
    for (int i = 0; i < static_cast<int>(samples_.controlPoints.size()); ++i) {
        if (i == hoveredFunction_ || (viewPoint_ >= 0 && samples_.controlPoints[i] == viewPoint_))
            functions.push_back(i);
    }
    return functions;
}

void KnotStrip::showControlPoint(int index) {
    if (index == viewPoint_)
        return;
    viewPoint_ = index;
    update();
}

void KnotStrip::hoverAt(double x, double y) {
    follow();
    const KnotStripGeometry g = plotGeometry();
    std::optional<double> parameter;
    if (!summary_.knots.empty()) {
        const double u = g.parameterAt(x);
        if (u >= summary_.domainStart && u <= summary_.domainEnd)
            parameter = u;
    }
    if (parameter)
        emit parameterHovered(*parameter);
    else if (cursorParameter_)
        emit parameterLeft();
    cursorParameter_ = parameter;

    const int function = functionNear(samples_, g, x, y, hoverReach);
    if (function != hoveredFunction_) {
        hoveredFunction_ = function;
        emit controlPointHovered(function >= 0 ? samples_.controlPoints[function] : -1);
    }
    update();
}

void KnotStrip::clearHover() {
    if (cursorParameter_) {
        cursorParameter_.reset();
        emit parameterLeft();
    }
    if (hoveredFunction_ != -1) {
        hoveredFunction_ = -1;
        emit controlPointHovered(-1);
    }
    update();
}

void KnotStrip::mouseMoveEvent(QMouseEvent* event) {
    hoverAt(event->position().x(), event->position().y());
}

void KnotStrip::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    clearHover();
}

void KnotStrip::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    clearHover();
}

void KnotStrip::paintEvent(QPaintEvent*) {
    follow();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const KnotStripGeometry g = plotGeometry();
    const QColor text = palette().color(QPalette::WindowText);
    if (summary_.knots.empty()) {
        const NurbsCurve* curve = canvas_->activeCurve();
        painter.setPen(text);
        painter.drawText(rect(), Qt::AlignCenter,
                         curve
                             ? tr("The active curve needs at least %1 points for its order").arg(curve->order)
                             : tr("No active curve: its knots and basis functions show here"));
        return;
    }

    // The drawn domain: a band behind the functions and a thick stretch of the parameter line.
    const double d0 = g.xAt(summary_.domainStart), d1 = g.xAt(summary_.domainEnd);
    painter.fillRect(QRectF(QPointF(d0, g.top), QPointF(d1, g.baseline)), QColor(225, 235, 250));
    painter.setPen(QPen(QColor(150, 150, 150), 1.0));
    painter.drawLine(QPointF(g.left, g.baseline), QPointF(g.right, g.baseline));
    painter.setPen(QPen(QColor(40, 90, 200), 4.0, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(d0, g.baseline), QPointF(d1, g.baseline));

    // A tick per distinct knot, its multiplicity under it when the knot repeats.
    QFont small = font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.8));
    painter.setFont(small);
    for (const KnotSummary::Knot& knot : summary_.knots) {
        const double x = g.xAt(knot.value);
        painter.setPen(QPen(text, 1.0));
        painter.drawLine(QPointF(x, g.baseline - 3.0), QPointF(x, g.baseline + 6.0));
        if (knot.multiplicity > 1)
            painter.drawText(QRectF(x - 15.0, g.baseline + 6.0, 30.0, 14.0), Qt::AlignCenter,
                             QStringLiteral("\u00d7%1").arg(knot.multiplicity));
    }
    const double textTop = g.baseline + 20.0;
    painter.setPen(text);
    painter.drawText(QRectF(0.0, textTop, width(), height() - textTop), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::number(summary_.rangeStart, 'g', 4));
    painter.drawText(QRectF(0.0, textTop, width(), height() - textTop), Qt::AlignRight | Qt::AlignVCenter,
                     QString::number(summary_.rangeEnd, 'g', 4));
    const QString caption =
        cursorParameter_ ? tr("u = %1").arg(*cursorParameter_, 0, 'f', 4)
                         : tr("order %1, %2 basis functions").arg(summary_.order).arg(summary_.functionCount);
    painter.drawText(QRectF(0.0, textTop, width(), height() - textTop), Qt::AlignHCenter | Qt::AlignVCenter,
                     caption);

    // The cursor's parameter, behind the functions so as not to hide the one hovered.
    if (cursorParameter_) {
        const double x = g.xAt(*cursorParameter_);
        painter.setPen(QPen(parameterMark, 2.0));
        painter.drawLine(QPointF(x, g.top - 4.0), QPointF(x, g.baseline));
    }

    // Every function where it is not 0, the highlighted ones over the rest.
    const std::vector<int> highlighted = highlightedFunctions();
    auto plot = [&](int i, const QPen& pen) {
        const std::vector<double>& values = samples_.values[static_cast<std::size_t>(i)];
        QPainterPath path;
        bool drawing = false;
        for (std::size_t j = 0; j < values.size(); ++j) {
            const bool nextNonZero = j + 1 < values.size() && values[j + 1] != 0.0;
            if (values[j] == 0.0 && !nextNonZero && !(j > 0 && values[j - 1] != 0.0)) {
                drawing = false;
                continue;
            }
            const QPointF p(g.xAt(samples_.parameters[j]), g.yAt(values[j]));
            if (drawing)
                path.lineTo(p);
            else
                path.moveTo(p);
            drawing = true;
        }
        painter.strokePath(path, pen);
    };
    for (int i = 0; i < static_cast<int>(samples_.values.size()); ++i) {
        if (!std::binary_search(highlighted.begin(), highlighted.end(), i))
            plot(i, QPen(functionColour(i), 1.5));
    }
    for (int i : highlighted)
        plot(i, QPen(pointMark, 3.0));
}
