// The predefined-object row: two section labels and seven buttons that create objects in the canvas.
#include "ui/gl_object_window.h"

#include "canvas/gl_pelm.h"
#include "ui/icon_push_button.h"
#include "ui/panel_blocks.h"

#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QPalette>
#include <QPushButton>

namespace {

// 70 pixels wide; no background of its own, so it shows the row's grey.
void addSectionLabel(QFrame* row, const QString& text) {
    auto* label = new QLabel(row);
    label->setFixedWidth(70);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, PanelColour::sectionText);
    label->setPalette(palette);
    label->setFrameStyle(QFrame::Panel | QFrame::Raised);
    label->setText(text);
    label->setAlignment(Qt::AlignLeft | Qt::AlignHCenter | Qt::AlignVCenter);
    row->layout()->addWidget(label);
}

} // namespace

QPushButton* GLObjectWindow::addObjectButton(const char* text, const char* icon, const char* tip) {
    // Not a toggle: the button springs back after each press.
    auto* button = new IconPushButton(tr(text), iconPath(icon), predefinedGroup);
    button->setFixedSize(objectButtonWidth, objectButtonHeight);
    button->setToolTip(tr(tip));
    button->setStatusTip(QStringLiteral("NURBS"));
    predefinedGroup->layout()->addWidget(button);
    return button;
}

void GLObjectWindow::buildPredefinedPanel() {
    addSectionLabel(predefinedGroup, tr("CURVES:"));
    freeformButton = addObjectButton("NURBS Freeform", "icons/nfform.jpg", "Freeform NURBS curve");
    connect(freeformButton, &QPushButton::pressed, canvas, &GLPelm::NURBS_freeFormClicked);
    circleButton = addObjectButton("NURBS Circle", "icons/ncircle.jpg", "NURBS circle");
    connect(circleButton, &QPushButton::pressed, canvas, &GLPelm::NURBS_circleClicked);
    arcButton = addObjectButton("NURBS Arc", "icons/narc.jpg", "NURBS arc");
    connect(arcButton, &QPushButton::pressed, canvas, &GLPelm::NURBS_arcClicked);
    squareButton = addObjectButton("NURBS Square", "icons/nsquare.jpg", "NURBS square");
    connect(squareButton, &QPushButton::pressed, canvas, &GLPelm::NURBS_squareClicked);

    addSectionLabel(predefinedGroup, tr("SHAPES:"));
    sphereButton = addObjectButton("NURBS Sphere", "icons/nsphere.jpg", "NURBS sphere");
    connect(sphereButton, &QPushButton::pressed, canvas, &GLPelm::NURBS_sphereClicked);
    cylinderButton = addObjectButton("NURBS Cylinder", "icons/ncylinder.jpg", "NURBS cylinder");
    connect(cylinderButton, &QPushButton::pressed, canvas, &GLPelm::NURBS_cylinderClicked);
    cubeButton = addObjectButton("NURBS Cube", "icons/ncube.jpg", "NURBS cube");
    connect(cubeButton, &QPushButton::pressed, canvas, &GLPelm::NURBS_cubeClicked);
}
