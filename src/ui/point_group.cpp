// The "Point" group: four typed fields for the picked control point.
#include "ui/point_group.h"

#include "canvas/gl_pelm.h"
#include "geometry/nurbs_curve.h"
#include "ui/panel_blocks.h"

#include <QDoubleSpinBox>
#include <QLayout>
#include <QPalette>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace {
// Far beyond any view, yet small enough for the field to show whole.
constexpr double coordinateLimit = 100000.0;
} // namespace

PointGroup::PointGroup(GLPelm* canvas, QWidget* parent) : PanelFrame(170, parent), canvas_(canvas) {
    setObjectName(QStringLiteral("Point"));
    setTitle(tr("Point"));
    auto* column = new QVBoxLayout(this);
    column->setSpacing(5);
    column->setContentsMargins(5, 5, 5, 5);
    setPanelColours(this, PanelColour::frame, PanelColour::panelText);
    parent->layout()->addWidget(this);

    xSpin = addField("Point x SpinBox", tr("x: "), -coordinateLimit, coordinateLimit, 3, 0.1);
    ySpin = addField("Point y SpinBox", tr("y: "), -coordinateLimit, coordinateLimit, 3, 0.1);
    zSpin = addField("Point z SpinBox", tr("z: "), -coordinateLimit, coordinateLimit, 3, 0.1);
    // A weight must stay above 0: the curve ignores any other.
    weightSpin = addField("Point weight SpinBox", tr("Weight: "), 0.01, coordinateLimit, 2, 0.1);
    QDoubleSpinBox* const coordinates[] = {xSpin, ySpin, zSpin};
    for (int axis = 0; axis < 3; ++axis)
        connect(coordinates[axis], &QDoubleSpinBox::valueChanged, canvas,
                [canvas, axis](double value) { canvas->pointCoordinateChanged(axis, value); });
    connect(weightSpin, &QDoubleSpinBox::valueChanged, this, [this](double weight) {
        canvas_->pointWeightChanged(weight);
        emit weightEdited(weight);
    });
    connect(canvas, &GLPelm::stateChanged, this, &PointGroup::refresh);
    connect(canvas, &GLPelm::historyChanged, this, &PointGroup::refresh);
    refresh();
}

QDoubleSpinBox* PointGroup::addField(const char* name, const QString& prefix, double minimum, double maximum,
                                     int decimals, double step) {
    auto* spin = new QDoubleSpinBox(this);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setPrefix(prefix);
    spin->setDecimals(decimals);
    spin->setRange(minimum, maximum);
    spin->setSingleStep(step);
    // A value goes to the canvas when it is complete (Enter, or the focus leaving), not at every
    // digit: each typed value is one edit.
    spin->setKeyboardTracking(false);
    spin->setMaximumHeight(std::max(30, spin->sizeHint().height()));
    // Dark arrows on the light buttons, as in the other fields of the column.
    QPalette palette = spin->palette();
    palette.setColor(QPalette::WindowText, PanelColour::windowText);
    spin->setPalette(palette);
    layout()->addWidget(spin);
    return spin;
}

void PointGroup::refresh() {
    NurbsCurve* curve = canvas_->activeCurve();
    const int index = canvas_->activePoint;
    const bool picked = curve && index >= 0 && index < static_cast<int>(curve->controlPoints.size());
    QDoubleSpinBox* const fields[] = {xSpin, ySpin, zSpin, weightSpin};
    for (int i = 0; i < 4; ++i) {
        QDoubleSpinBox* field = fields[i];
        field->setEnabled(picked);
        if (field->hasFocus() && picked)
            continue;
        // What the point holds is shown, not sent back to it.
        const QSignalBlocker quiet(field);
        if (!picked) {
            field->setValue(i == 3 ? 1.0 : 0.0);
            continue;
        }
        const ControlPoint& p = curve->controlPoints[index];
        field->setValue(i == 0 ? p.x : i == 1 ? p.y : i == 2 ? p.z : p.w);
    }
}
