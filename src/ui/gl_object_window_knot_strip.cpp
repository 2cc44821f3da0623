// Viewport > Knot Strip: the active curve's knots and basis functions under the four views; whether
// it shows is kept in the settings.
#include "ui/gl_object_window.h"

#include "canvas/gl_pelm.h"
#include "ui/knot_strip.h"
#include "ui/knotwork_settings.h"

#include <QAction>
#include <QMenu>
#include <QScreen>
#include <QVBoxLayout>

namespace {
const QString knotStripKey = QStringLiteral("view/knotStrip");
} // namespace

void GLObjectWindow::addKnotStripItem(QMenu* viewportMenu) {
    viewportMenu->addSeparator();
    knotStripAction = viewportMenu->addAction(tr("Knot Strip"));
    knotStripAction->setCheckable(true);
    knotStripAction->setChecked(knotworkSettings().value(knotStripKey, false).toBool());
    knotStripAction->setStatusTip(tr("The active curve's knots and the basis function of each control "
                                     "point, under the views"));
    // The strip is made after the menus, with the canvas.
    connect(knotStripAction, &QAction::toggled, this, [this](bool on) {
        knotworkSettings().setValue(knotStripKey, on);
        showKnotStrip(on);
    });
}

QVBoxLayout* GLObjectWindow::buildCanvasColumn() {
    knotStrip = new KnotStrip(canvas, this);
    knotStrip->setVisible(false);
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    column->addWidget(canvas, 1);
    column->addWidget(knotStrip);
    return column;
}

void GLObjectWindow::showKnotStrip(bool on) {
    knotStrip->setVisible(on);
    // The views keep the room they have at the window's smallest size: the strip adds its own.
    const int extra = on ? knotStrip->height() + 2 : 0;
    QSize smallest(smallestSize_.width(), smallestSize_.height() + extra);
    if (screen())
        smallest = smallest.boundedTo(screen()->availableGeometry().size());
    setMinimumSize(smallest);
}
