// The Help menu and the Transform dialog of the Edit menu.
#include "ui/gl_object_window.h"

#include "canvas/gl_pelm.h"
#include "ui/about_dialog.h"
#include "ui/keys_and_mouse_dialog.h"
#include "ui/transform_dialog.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

QMenu* GLObjectWindow::buildHelpMenu() {
    auto* helpMenu = new QMenu(tr("&Help"), this);
    helpMenu->addAction(tr("Keys and Mouse"), QKeySequence(QKeySequence::HelpContents), this,
                        &GLObjectWindow::showKeysAndMouse);
    helpMenu->addAction(tr("About Knotwork"), this, &GLObjectWindow::showAbout);
    return helpMenu;
}

namespace {
// A window kept beside the main one, brought to the front when asked for again.
void showInFront(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}
} // namespace

void GLObjectWindow::showKeysAndMouse() {
    if (!keysDialog)
        keysDialog =
            new KeysAndMouseDialog(findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly), this);
    showInFront(keysDialog);
}

void GLObjectWindow::showAbout() {
    if (!aboutDialog)
        aboutDialog = new AboutDialog(this);
    showInFront(aboutDialog);
}

void GLObjectWindow::openTransformDialog() {
    if (!canvas->activeCurve()) {
        statusBar->showMessage(tr("Transform acts on a curve: select one first"), 4000);
        return;
    }
    TransformDialog dialog(this);
    if (dialog.exec() == QDialog::Accepted)
        dialog.applyTo(*canvas);
}
