// The active curve's knot vector on a parameter line, with the basis function of every control point
// plotted over it; hovering links a function with its control point and a parameter with its point.
#pragma once

#include "geometry/basis_function_samples.h"
#include "geometry/knot_summary.h"
#include "ui/knot_strip_geometry.h"

#include <QWidget>

#include <optional>
#include <vector>

class GLPelm;
class NurbsCurve;

class KnotStrip : public QWidget {
    Q_OBJECT

public:
    static constexpr int stripHeight = 124;
    // A function within this many pixels of the cursor is the hovered one.
    static constexpr double hoverReach = 6.0;

    // Shows the canvas's active curve, marks in the canvas what the cursor hovers and highlights the
    // functions of the control point hovered in the canvas's views.
    KnotStrip(GLPelm* canvas, QWidget* parent);

    // What is drawn: the active curve's knots and functions, taken again when the curve changed.
    const KnotSummary& summary();
    const BasisFunctionSamples& samples();
    KnotStripGeometry plotGeometry();
    // The basis function under the cursor; -1 for none.
    int hoveredFunction() const { return hoveredFunction_; }
    // The hovered function and those of the control point hovered in the views, in increasing order.
    std::vector<int> highlightedFunctions();
    // The parameter under the cursor, inside the curve's drawn domain.
    std::optional<double> cursorParameter() const { return cursorParameter_; }

public slots:
    // The functions of this control point of the active curve are highlighted; -1 for none.
    void showControlPoint(int index);

signals:
    // The control point of the hovered function; -1 when no function is hovered.
    void controlPointHovered(int index);
    void parameterHovered(double u);
    void parameterLeft();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Takes the active curve's knots and functions again when anything they depend on changed.
    void follow();
    void hoverAt(double x, double y);
    void clearHover();

    GLPelm* canvas_;
    // What the samples were taken from.
    struct Key {
        const NurbsCurve* curve = nullptr;
        std::vector<double> knots;
        int order = 0, curveMode = 0, points = 0, width = 0, height = 0;
        bool operator==(const Key&) const = default;
    };
    Key key_;
    KnotSummary summary_;
    BasisFunctionSamples samples_;
    int hoveredFunction_ = -1;
    int viewPoint_ = -1;
    std::optional<double> cursorParameter_;
};
