// The window following the canvas: the status bar's readouts, the tool buttons that show the tool,
// and the Surfaces tab that shows the selected surface.
// The surfaces come before Qt: SurfaceMesh has a member named emit, which Qt defines as a macro.
#include "geometry/nurbs_curve.h"
#include "surfaces/curve_surface.h"
#include "surfaces/revolution_surface.h"

#include "ui/gl_object_window.h"

#include "canvas/gl_pelm.h"
#include "ui/status_readouts.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStatusBar>

namespace {

// The surface the Surfaces tab's settings belong to, and its ObjectKind; null and None when the
// selection has none.
const SceneObject* selectedSurface(const SceneSelection& selection, int& kind) {
    kind = selection.activeKind;
    if (kind == ObjectKind::Revolution || kind == ObjectKind::Coons || kind == ObjectKind::Extrusion)
        return selection.activeObject;
    const auto* curve =
        kind == ObjectKind::Curve ? dynamic_cast<const NurbsCurve*>(selection.activeObject) : nullptr;
    if (curve && curve->surfaceLink) {
        switch (curve->linkKind) {
        case NurbsCurve::RevolutionLink:
            kind = ObjectKind::Revolution;
            return curve->surfaceLink;
        case NurbsCurve::CoonsLink:
            kind = ObjectKind::Coons;
            return curve->surfaceLink;
        case NurbsCurve::ExtrusionLink:
            kind = ObjectKind::Extrusion;
            return curve->surfaceLink;
        default:
            break;
        }
    }
    kind = ObjectKind::None;
    return nullptr;
}

// Checks button quietly: the settings are the surface's own, so nothing goes back to the canvas.
void checkQuietly(QAbstractButton* button) {
    const QSignalBlocker blocker(button);
    button->setChecked(true);
}

void setQuietly(QSpinBox* spin, int value) {
    const QSignalBlocker blocker(spin);
    spin->setValue(value);
}

} // namespace

void GLObjectWindow::followCanvas() {
    canvas->setNewPointsAtCurveDepth(depthAction->isChecked());
    readouts = new StatusReadouts(canvas, statusBar);
    connect(canvas, &GLPelm::toolModeChanged, this, &GLObjectWindow::showToolMode);
    showToolMode(canvas->toolMode);
    connect(canvas, &GLPelm::stateChanged, this, &GLObjectWindow::followSelectedSurface);
    // An undo or redo may change the surface's settings while it stays selected.
    connect(canvas, &GLPelm::historyChanged, this, [this] {
        if (replaying_)
            showSelectedSurface();
        else
            followSelectedSurface();
    });
    // The canvas's short messages (a pick that took nothing) pass like "Saved NAME".
    connect(canvas, &GLPelm::statusMessage, this,
            [this](const QString& text) { statusBar->showMessage(text, 4000); });
    // A long rebuild says how far it is until its mesh is shown.
    connect(canvas, &GLPelm::rebuildProgress, this, [this](int percent) {
        if (percent >= 0)
            statusBar->showMessage(tr("Rebuilding the surface: %1 %").arg(percent));
        else
            statusBar->showMessage(tr("Surface rebuilt"), 2000);
    });
    // A report of a revolution's settings knows no gradient; the surface itself does.
    connect(canvas, &GLPelm::emitSurfaceProperties, this, &GLObjectWindow::showSelectedSurface);
}

void GLObjectWindow::replayStep(bool redo) {
    replaying_ = true;
    if (redo)
        canvas->redo();
    else
        canvas->undo();
    replaying_ = false;
}

void GLObjectWindow::showToolMode(int mode) {
    const struct {
        QPushButton* button;
        int mode;
    } buttons[] = {{translateButton, ToolMode::Translate},
                   {scaleButton, ToolMode::Scale},
                   {rotateButton, ToolMode::Rotate},
                   {zoomButton, ToolMode::Zoom},
                   {panButton, ToolMode::Pan},
                   {insertButton, ToolMode::AppendPoint},
                   {smoothButton, ToolMode::EditPoint},
                   {deleteButton, ToolMode::DeletePoint},
                   {revSelectButton, ToolMode::PickRevolution},
                   {coonsSelectButton, ToolMode::PickCoons},
                   {extrudeSelectButton, ToolMode::PickExtrusion}};
    // An exclusive group keeps its checked button on: it lets go only while not exclusive.
    QButtonGroup* const groups[] = {transformButtons, viewportButtons, editingButtons};
    for (QButtonGroup* group : groups)
        group->setExclusive(false);
    for (const auto& b : buttons)
        b.button->setChecked(b.mode == mode);
    for (QButtonGroup* group : groups)
        group->setExclusive(true);
}

void GLObjectWindow::followSelectedSurface() {
    int kind = ObjectKind::None;
    const SceneObject* surface = selectedSurface(canvas->model.selection, kind);
    if (surface == shownSurface_)
        return;
    shownSurface_ = surface;
    if (surface)
        writeSurfaceSettings(surface, kind);
}

void GLObjectWindow::showSelectedSurface() {
    int kind = ObjectKind::None;
    shownSurface_ = selectedSurface(canvas->model.selection, kind);
    if (shownSurface_)
        writeSurfaceSettings(shownSurface_, kind);
}

void GLObjectWindow::writeSurfaceSettings(const SceneObject* surface, int kind) {
    const auto* revolution =
        kind == ObjectKind::Revolution ? dynamic_cast<const RevolutionSurface*>(surface) : nullptr;
    const auto* patch = kind != ObjectKind::Revolution ? dynamic_cast<const CurveSurface*>(surface) : nullptr;
    if (!revolution && !patch)
        return;
    const bool shading = revolution ? revolution->shading : patch->shading;
    checkQuietly(!shading ? wireframeCheck : surface->gradient ? gradientCheck : shadedCheck);
    setQuietly(uIncSpin, revolution ? revolution->uParamInc : patch->uParamInc);
    setQuietly(vIncSpin, revolution ? revolution->vParamInc : patch->vParamInc);

    if (patch) {
        const bool coons = kind == ObjectKind::Coons;
        checkQuietly(coons ? coonsButton : extrudeButton);
        if (coons)
            showCoonsMenu();
        else
            showExtMenu();
        return;
    }

    const RevolutionSurface::Properties s = revolution->properties();
    setQuietly(degreesSpin, s.degrees);
    QCheckBox* const definitions[] = {leftMostCheck, rightMostCheck, closestCheck};
    checkQuietly(s.revPoint >= 0 && s.revPoint <= 2 ? definitions[s.revPoint] : axisCheck);
    setAxisParms();
    checkQuietly(s.axisRotPoint == 0 ? leftCheck : rightCheck);
    setQuietly(distanceSpin, s.axisDistance);
    QCheckBox* const rotation[] = {rotXCheck, rotYCheck, rotZCheck};
    QCheckBox* const reference[] = {refXCheck, refYCheck, refZCheck};
    const int aor = s.aor >= 0 && s.aor <= 2 ? s.aor : 2;
    checkQuietly(rotation[aor]);
    // The axis of rotation cannot be the reference axis too.
    for (int axis = 0; axis < 3; ++axis)
        reference[axis]->setEnabled(axis != aor);
    checkQuietly(reference[s.refa >= 0 && s.refa <= 2 ? s.refa : 2]);
    checkQuietly(revolutionButton);
    showRevMenu();
}
