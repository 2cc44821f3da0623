// The window's own slots: panel switching, the revolution panel's rules, the dialogs, and the
// copying of the canvas's reports into the controls.
#include "ui/gl_object_window.h"

#include "canvas/gl_pelm.h"
#include "ui/viewport_settings_dialog.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>

namespace {

// Sets the enabled state first, then the check mark. Unchecking the checked field of an exclusive
// group does nothing: another field's check takes the mark away from it.
void setReferenceField(QCheckBox* check, bool enabled, bool checked) {
    check->setEnabled(enabled);
    check->setChecked(checked);
}

} // namespace

void GLObjectWindow::setDialogProvider(DialogProvider* provider) {
    dialogs = provider ? provider : &toolkitDialogs;
}

void GLObjectWindow::showCoonsMenu() {
    extrudePanel->hide();
    revPanel->hide();
    coonsPanel->show();
}

void GLObjectWindow::showRevMenu() {
    extrudePanel->hide();
    coonsPanel->hide();
    revPanel->show();
}

void GLObjectWindow::showExtMenu() {
    extrudePanel->show();
    coonsPanel->hide();
    revPanel->hide();
}

void GLObjectWindow::setAxisParms() {
    axisPanel->setVisible(axisCheck->isChecked());
    // The fields that open push "Select Rev. Curve" down, past the bottom of a low window: the page
    // scrolls, once laid out anew, so the button stays in sight.
    if (!axisPanel->isVisible() || !revPanel->isVisible())
        return;
    for (int i = 0; i < tabs->count(); ++i) {
        auto* scroll = qobject_cast<QScrollArea*>(tabs->widget(i));
        if (!scroll || scroll->widget() != surfacePage)
            continue;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        scroll->ensureWidgetVisible(revSelectButton, 0, 4);
    }
}

void GLObjectWindow::setRevReferenceAxis() {
    if (rotXCheck->isChecked()) {
        setReferenceField(refXCheck, false, false);
        setReferenceField(refYCheck, true, true);
        setReferenceField(refZCheck, true, false);
    } else if (rotYCheck->isChecked()) {
        setReferenceField(refYCheck, false, false);
        setReferenceField(refXCheck, true, true);
        setReferenceField(refZCheck, true, false);
    } else if (rotZCheck->isChecked()) {
        setReferenceField(refZCheck, false, false);
        setReferenceField(refXCheck, true, true);
        setReferenceField(refYCheck, true, false);
    }
}

// Signals stay unblocked: a spin field that changes calls its canvas slot with the reported
// (clamped) value, while check marks set here notify nobody.
void GLObjectWindow::loadRevMenu(bool shading, int u, int v, int degrees, int aor, int refa, int revPoint,
                                 int axisDistance, int axisRotPoint) {
    (shading ? shadedCheck : wireframeCheck)->setChecked(true);
    uIncSpin->setValue(u);
    vIncSpin->setValue(v);
    degreesSpin->setValue(degrees);
    QCheckBox* const axisDefinitions[] = {leftMostCheck, rightMostCheck, closestCheck};
    (revPoint >= 0 && revPoint <= 2 ? axisDefinitions[revPoint] : axisCheck)->setChecked(true);
    setAxisParms();
    (axisRotPoint == 0 ? leftCheck : rightCheck)->setChecked(true);
    distanceSpin->setValue(axisDistance);
    (aor == 0 ? rotXCheck : aor == 1 ? rotYCheck : rotZCheck)->setChecked(true);
    (refa == 0 ? refXCheck : refa == 1 ? refYCheck : refZCheck)->setChecked(true);
    revSelectButton->setChecked(canvas->toolMode == ToolMode::PickRevolution);
    showRevMenu();
}

void GLObjectWindow::setCurveParameters(bool vertices, bool line, bool edge, int order, int paramInc,
                                        int curveMode) {
    // The button's look only: no clicked(), so no panel and no surface.
    revolutionButton->setChecked(true);
    verticesCheck->setChecked(vertices);
    curveCheck->setChecked(line);
    edgeCheck->setChecked(edge);
    orderSpin->setValue(order);
    paramIncSpin->setValue(paramInc);
    (curveMode == 0 ? openCheck : curveMode == 1 ? interpolateCheck : closedCheck)->setChecked(true);
}

void GLObjectWindow::getObjectColor() {
    // Always starts at white, not at the selected object's colour.
    const QColor colour = dialogs->getColor(QColor(255, 255, 255), this, tr("Color Chooser"));
    if (colour.isValid())
        emit surfaceColor(colour.red(), colour.green(), colour.blue());
}

void GLObjectWindow::openViewportSettings() {
    ViewportSettingsDialog dialog(canvas, this);
    dialog.exec();
}

void GLObjectWindow::updateEditMenu() {
    const UndoHistory& history = canvas->model.history;
    undoAction->setEnabled(history.canUndo());
    redoAction->setEnabled(history.canRedo());
    undoAction->setText(history.canUndo() ? tr("&Undo %1").arg(QString::fromStdString(history.undoName()))
                                          : tr("&Undo"));
    redoAction->setText(history.canRedo() ? tr("&Redo %1").arg(QString::fromStdString(history.redoName()))
                                          : tr("&Redo"));
    transformAction->setEnabled(canvas->activeCurve() != nullptr);
}

void GLObjectWindow::updateTitle() {
    // Qt shows "[*]" as the modified marker while the window is modified, and nothing otherwise.
    setWindowTitle(tr("%1[*] \u2014 Knotwork").arg(sceneName()));
    setWindowModified(canvas->model.isModified());
}
