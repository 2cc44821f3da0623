// The Viewport menu's depth of new points: through the origin as always, or at the active curve's
// depth, or at a typed depth for the next point; kept in the settings.
#include "ui/gl_object_window.h"

#include "canvas/gl_pelm.h"
#include "ui/knotwork_settings.h"
#include "ui/new_point_depth_dialog.h"

#include <QAction>
#include <QMenu>
#include <QSignalBlocker>

namespace {
const QString depthKey = QStringLiteral("viewport/newPointsAtCurveDepth");
} // namespace

void GLObjectWindow::addDepthItems(QMenu* viewportMenu) {
    viewportMenu->addSeparator();
    depthAction = viewportMenu->addAction(tr("New points at the active curve's depth"));
    depthAction->setCheckable(true);
    depthAction->setChecked(knotworkSettings().value(depthKey, false).toBool());
    depthAction->setStatusTip(tr("Points appended or inserted in the top, left or front view go in the "
                                 "plane through the active curve's last point instead of the origin"));
    // The canvas is made after the menus; it takes the setting in followCanvas.
    connect(depthAction, &QAction::toggled, this, [this](bool on) {
        knotworkSettings().setValue(depthKey, on);
        canvas->setNewPointsAtCurveDepth(on);
    });
    viewportMenu->addAction(tr("New Point Depth\u2026"), this, &GLObjectWindow::typeNewPointDepth);
}

void GLObjectWindow::typeNewPointDepth() {
    ControlPoint through;
    canvas->newPointDepth(through);
    NewPointDepthDialog dialog(through, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    {
        // Typing a depth turns the option on, for this and later sessions.
        const QSignalBlocker blocker(depthAction);
        depthAction->setChecked(true);
    }
    knotworkSettings().setValue(depthKey, true);
    canvas->setTypedPointDepth(dialog.point());
}
