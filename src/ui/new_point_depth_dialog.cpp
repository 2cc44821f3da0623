#include "ui/new_point_depth_dialog.h"

#include "geometry/control_point.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// As far as a view can be panned and zoomed out to show.
constexpr double depthLimit = 100000.0;

QDoubleSpinBox* addField(QFormLayout* form, const QString& label, const QString& tip, double value) {
    auto* spin = new QDoubleSpinBox;
    spin->setDecimals(3);
    spin->setRange(-depthLimit, depthLimit);
    spin->setValue(value);
    spin->setToolTip(tip);
    form->addRow(label, spin);
    return spin;
}
} // namespace

NewPointDepthDialog::NewPointDepthDialog(const ControlPoint& through, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("New Point Depth"));
    setWindowTitle(tr("New Point Depth"));
    auto* column = new QVBoxLayout(this);
    auto* text = new QLabel(tr("The next point appended or inserted goes at this depth: at this y in the "
                               "top view, at this x in the left view, at this z in the front view. The "
                               "points after it follow the active curve's depth."),
                            this);
    text->setWordWrap(true);
    column->addWidget(text);
    auto* form = new QFormLayout;
    column->addLayout(form);
    xSpin = addField(form, tr("x (left view):"), tr("Depth of new points in the left view"), through.x);
    ySpin = addField(form, tr("y (top view):"), tr("Depth of new points in the top view"), through.y);
    zSpin = addField(form, tr("z (front view):"), tr("Depth of new points in the front view"), through.z);
    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    column->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

ControlPoint NewPointDepthDialog::point() const {
    return ControlPoint(xSpin->value(), ySpin->value(), zSpin->value());
}
