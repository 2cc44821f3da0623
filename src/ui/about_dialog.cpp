// The "About Knotwork" window.
#include "ui/about_dialog.h"

#include "ui/panel_blocks.h"

#include <QLabel>
#include <QtGlobal>

#ifndef KNOTWORK_VERSION
#define KNOTWORK_VERSION "unknown"
#endif

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("About Knotwork"));
    setWindowTitle(tr("About Knotwork"));

    QString libraries = tr("<li>Qt %1 (built with %2): window, controls and events</li>"
                           "<li>OpenGL and GLU: the four views</li>")
                            .arg(QString::fromLatin1(qVersion()), QStringLiteral(QT_VERSION_STR));
#if KNOTWORK_WITH_OCCT
    libraries += tr("<li>Open CASCADE Technology: STEP and IGES export</li>");
#endif
    text = new QLabel(this);
    text->setTextFormat(Qt::RichText);
    text->setText(tr("<h2>Knotwork %1</h2>"
                     "<p>A modeller for NURBS curves and the surfaces built from them.</p>"
                     "<p>Licence: MIT. Copyright \u00a9 2026 The Knotwork developers.</p>"
                     "<p>Built with:</p><ul>%2</ul>")
                      .arg(QStringLiteral(KNOTWORK_VERSION), libraries));
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layOutWithCloseButton(this, text);
}
