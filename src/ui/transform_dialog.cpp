// The "Transform" dialog: three groups of typed values and OK or Cancel.
#include "ui/transform_dialog.h"

#include "canvas/gl_pelm.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr double distanceLimit = 100000.0;

QFormLayout* addSection(QVBoxLayout* column, const QString& title) {
    auto* group = new QGroupBox(title);
    auto* form = new QFormLayout(group);
    column->addWidget(group);
    return form;
}
} // namespace

TransformDialog::TransformDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Transform"));
    setWindowTitle(tr("Transform"));
    auto* column = new QVBoxLayout(this);

    QFormLayout* move = addSection(column, tr("Move by"));
    moveX = addField(move, tr("x:"), tr("Distance along x"), -distanceLimit, distanceLimit, 0.0, QString());
    moveY = addField(move, tr("y:"), tr("Distance along y"), -distanceLimit, distanceLimit, 0.0, QString());
    moveZ = addField(move, tr("z:"), tr("Distance along z"), -distanceLimit, distanceLimit, 0.0, QString());

    QFormLayout* scale = addSection(column, tr("Scale about the curve's centre"));
    scaleFactor = addField(scale, tr("Factor:"), tr("1 keeps the size, 2 doubles it, 0.5 halves it"), 0.001,
                           1000.0, 1.0, QString());

    QFormLayout* rotate = addSection(column, tr("Rotate about the curve's centre"));
    const QString degrees = tr(" \u00b0");
    rotateX = addField(rotate, tr("About x:"), tr("Angle about the x axis, in degrees"), -360.0, 360.0, 0.0,
                       degrees);
    rotateY = addField(rotate, tr("About y:"), tr("Angle about the y axis, in degrees"), -360.0, 360.0, 0.0,
                       degrees);
    rotateZ = addField(rotate, tr("About z:"), tr("Angle about the z axis, in degrees"), -360.0, 360.0, 0.0,
                       degrees);

    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setToolTip(tr("Apply the values to the active curve as one step"));
    buttons->button(QDialogButtonBox::Cancel)->setToolTip(tr("Close without changing anything"));
    column->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QDoubleSpinBox* TransformDialog::addField(QFormLayout* form, const QString& label, const QString& tip,
                                          double minimum, double maximum, double value,
                                          const QString& suffix) {
    auto* spin = new QDoubleSpinBox;
    spin->setDecimals(3);
    spin->setRange(minimum, maximum);
    spin->setValue(value);
    spin->setSuffix(suffix);
    spin->setToolTip(tip);
    form->addRow(label, spin);
    return spin;
}

void TransformDialog::applyTo(GLPelm& canvas) const {
    canvas.transformActiveCurve(moveX->value(), moveY->value(), moveZ->value(), scaleFactor->value(),
                                rotateX->value(), rotateY->value(), rotateZ->value());
}
