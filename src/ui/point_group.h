// The "Point" group of the Curves tab: the picked control point's coordinates and weight, typed.
#pragma once

#include "ui/panel_frame.h"

class GLPelm;
class QDoubleSpinBox;

class PointGroup : public PanelFrame {
    Q_OBJECT

public:
    QDoubleSpinBox* xSpin = nullptr;
    QDoubleSpinBox* ySpin = nullptr;
    QDoubleSpinBox* zSpin = nullptr;
    QDoubleSpinBox* weightSpin = nullptr;

    // Added to the parent's layout; follows the canvas's picked point from then on.
    PointGroup(GLPelm* canvas, QWidget* parent);

    // Shows the active curve's picked point, or empty, disabled fields when there is none. A field
    // being typed into keeps what it shows.
    void refresh();

signals:
    // A weight typed here, after the canvas has taken it.
    void weightEdited(double weight);

private:
    GLPelm* canvas_;
    QDoubleSpinBox* addField(const char* name, const QString& prefix, double minimum, double maximum,
                             int decimals, double step);
};
