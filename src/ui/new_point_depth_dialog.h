// The modal "New Point Depth" dialog: the point whose planes the next new point goes in.
#pragma once

#include <QDialog>

class QDialogButtonBox;
class QDoubleSpinBox;
struct ControlPoint;

// Each orthographic view takes the coordinate along its depth axis: the top view y, the left view x,
// the front view z.
class NewPointDepthDialog : public QDialog {
    Q_OBJECT

public:
    QDoubleSpinBox* xSpin = nullptr;
    QDoubleSpinBox* ySpin = nullptr;
    QDoubleSpinBox* zSpin = nullptr;
    QDialogButtonBox* buttons = nullptr;

    // The fields start at through.
    NewPointDepthDialog(const ControlPoint& through, QWidget* parent);

    // The typed point, weight 1.
    ControlPoint point() const;
};
