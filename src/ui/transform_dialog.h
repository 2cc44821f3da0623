// The modal "Transform" dialog: moves, scales and rotates the active curve by typed values.
#pragma once

#include <QDialog>

class GLPelm;
class QDialogButtonBox;
class QDoubleSpinBox;
class QFormLayout;

// Nothing changes until OK; then the canvas applies all three as one step.
class TransformDialog : public QDialog {
    Q_OBJECT

public:
    QDoubleSpinBox* moveX = nullptr;
    QDoubleSpinBox* moveY = nullptr;
    QDoubleSpinBox* moveZ = nullptr;
    QDoubleSpinBox* scaleFactor = nullptr;
    QDoubleSpinBox* rotateX = nullptr;
    QDoubleSpinBox* rotateY = nullptr;
    QDoubleSpinBox* rotateZ = nullptr;
    QDialogButtonBox* buttons = nullptr;

    explicit TransformDialog(QWidget* parent);

    // Scales and rotates the canvas's active curve about its centre, then moves it, by the fields.
    void applyTo(GLPelm& canvas) const;

private:
    QDoubleSpinBox* addField(QFormLayout* form, const QString& label, const QString& tip, double minimum,
                             double maximum, double value, const QString& suffix);
};
