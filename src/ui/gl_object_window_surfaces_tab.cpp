// The "Surfaces" page: display mode, colour, sampling, the surface type and its three panels.
#include "ui/gl_object_window.h"

#include "canvas/gl_pelm.h"
#include "ui/icon_push_button.h"
#include "ui/panel_blocks.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLayout>
#include <QPushButton>
#include <QSpinBox>

namespace {

QButtonGroup* makeExclusive(QObject* owner) {
    auto* group = new QButtonGroup(owner);
    group->setExclusive(true);
    return group;
}

} // namespace

// As on the curve page, controls are connected only once their state is set.
void GLObjectWindow::buildSurfacePage() {
    addCaption(surfacePage, tr("DISPLAY:"), 170);
    surfaceDisplayGroup = addGroupFrame(surfacePage, "Curve Paramaters", true, 170);
    surfaceDisplayButtons = makeExclusive(this);
    wireframeCheck = addCheckField(surfaceDisplayGroup, surfaceDisplayButtons, tr("Wireframe Mesh"), true);
    shadedCheck = addCheckField(surfaceDisplayGroup, surfaceDisplayButtons, tr("Shaded Mesh"), false);
    gradientCheck = addCheckField(surfaceDisplayGroup, surfaceDisplayButtons, tr("Gradient Mesh"), false);
    // An ordinary button: the group's one-of-three choice does not touch it.
    surfaceColorButton = new QPushButton(tr("Surface Color"), surfaceDisplayGroup);
    surfaceColorButton->setMaximumSize(2 * toolButtonWidth, toolButtonHeight);
    surfaceDisplayGroup->layout()->addWidget(surfaceColorButton);
    connect(wireframeCheck, &QCheckBox::pressed, canvas, &GLPelm::surfaceMeshClicked);
    connect(shadedCheck, &QCheckBox::pressed, canvas, &GLPelm::surfaceShadedClicked);
    connect(gradientCheck, &QCheckBox::pressed, canvas, &GLPelm::surfaceGradientClicked);
    connect(surfaceColorButton, &QPushButton::clicked, this, &GLObjectWindow::getObjectColor);
    connect(this, &GLObjectWindow::surfaceColor, canvas, &GLPelm::setObjectColor);

    addCaption(surfacePage, tr("SETTINGS:"), 170);
    surfaceParameterGroup = addGroupFrame(surfacePage, "Surface Paramaters", true, 170);
    uIncSpin = addSpinField(surfaceParameterGroup, "u-Paramater Increment SpinBox", tr("u-Parameter inc: "),
                            1, 1000, 1, 10, 160);
    vIncSpin = addSpinField(surfaceParameterGroup, "v-Paramater Increment SpinBox", tr("v-Parameter inc: "),
                            1, 1000, 1, 45, 160);
    connect(uIncSpin, &QSpinBox::valueChanged, canvas, &GLPelm::uparamIncChanged);
    connect(vIncSpin, &QSpinBox::valueChanged, canvas, &GLPelm::vparamIncChanged);

    // Each type button first shows its panel, then asks the canvas for the new surface.
    addCaption(surfacePage, tr("TYPE:"), 170);
    typeGroup = addGroupFrame(surfacePage, "surface Buttons", false, 170);
    typeButtons = makeExclusive(this);
    const auto addTypeButton = [this](const char* text, const char* icon) {
        auto* button = new IconPushButton(tr(text), iconPath(icon), typeGroup);
        button->setMaximumSize(toolButtonWidth, toolButtonHeight);
        button->setCheckable(true);
        typeButtons->addButton(button);
        typeGroup->layout()->addWidget(button);
        return button;
    };
    revolutionButton = addTypeButton("Revolution", "icons/rev.jpg");
    coonsButton = addTypeButton("Coons Patch", "icons/coons.jpg");
    extrudeButton = addTypeButton("Extrude", "icons/extrude.jpg");
    connect(revolutionButton, &QPushButton::clicked, this, &GLObjectWindow::showRevMenu);
    connect(revolutionButton, &QPushButton::clicked, canvas, &GLPelm::createRev);
    connect(coonsButton, &QPushButton::clicked, this, &GLObjectWindow::showCoonsMenu);
    connect(coonsButton, &QPushButton::clicked, canvas, &GLPelm::createCoons);
    connect(extrudeButton, &QPushButton::clicked, this, &GLObjectWindow::showExtMenu);
    connect(extrudeButton, &QPushButton::clicked, canvas, &GLPelm::createExtrude);
}

void GLObjectWindow::buildRevPanel() {
    revPanel = addGroupFrame(surfacePage, "Revolution Paramaters", true, 170);

    addCaption(revPanel, tr("Degrees:"), 150);
    degreesSpin = addSpinField(revPanel, "Number of degrees", QString(), 1, 360, 10, 360, 50);
    connect(degreesSpin, &QSpinBox::valueChanged, canvas, &GLPelm::rev_degreesChanged);

    // The canvas hears the choice on press; the axis sub-panel follows on release.
    addCaption(revPanel, tr("Rotation axis-definition:"), 0);
    axisDefinitionGroup = addGroupFrame(revPanel, "rot type holder", true, 150);
    axisDefinitionButtons = makeExclusive(this);
    leftMostCheck = addCheckField(axisDefinitionGroup, axisDefinitionButtons, tr("Left Most Point"), false);
    rightMostCheck = addCheckField(axisDefinitionGroup, axisDefinitionButtons, tr("Right Most Point"), true);
    closestCheck =
        addCheckField(axisDefinitionGroup, axisDefinitionButtons, tr("Closest Point to Axis"), false);
    axisCheck = addCheckField(axisDefinitionGroup, axisDefinitionButtons, tr("Axis"), false);
    connect(leftMostCheck, &QCheckBox::pressed, canvas, &GLPelm::rot_farLeftClicked);
    connect(rightMostCheck, &QCheckBox::pressed, canvas, &GLPelm::rot_farRightClicked);
    connect(closestCheck, &QCheckBox::pressed, canvas, &GLPelm::rot_closeAxisClicked);
    connect(axisCheck, &QCheckBox::pressed, canvas, &GLPelm::rot_axisClicked);
    for (QCheckBox* check : {leftMostCheck, rightMostCheck, closestCheck, axisCheck})
        connect(check, &QCheckBox::clicked, this, &GLObjectWindow::setAxisParms);

    // A group of its own inside the axis-definition frame: its fields are not part of the
    // four-way choice above.
    axisPanel = addGroupFrame(axisDefinitionGroup, "rot type holder", true, 140);
    sideGroup = addGroupFrame(axisPanel, "axis", false, 130);
    sideButtons = makeExclusive(this);
    leftCheck = addCheckField(sideGroup, sideButtons, tr("left"), false);
    rightCheck = addCheckField(sideGroup, sideButtons, tr("right"), true);
    connect(leftCheck, &QCheckBox::pressed, canvas, &GLPelm::rot_AxisLeftClicked);
    connect(rightCheck, &QCheckBox::pressed, canvas, &GLPelm::rot_AxisRightClicked);
    distanceSpin = addSpinField(axisPanel, "Distance to the axis", tr("Distance: "), 0, 1000, 1, 4, 120);
    connect(distanceSpin, &QSpinBox::valueChanged, canvas, &GLPelm::rot_axisDistChanged);
    axisPanel->hide();

    addCaption(revPanel, tr("Axis of rotation:"), 0);
    rotationAxisGroup = addGroupFrame(revPanel, "revolution", false, 150);
    rotationAxisButtons = makeExclusive(this);
    rotXCheck = addCheckField(rotationAxisGroup, rotationAxisButtons, tr("x"), false);
    rotYCheck = addCheckField(rotationAxisGroup, rotationAxisButtons, tr("y"), true);
    rotZCheck = addCheckField(rotationAxisGroup, rotationAxisButtons, tr("z"), false);
    connect(rotXCheck, &QCheckBox::pressed, canvas, &GLPelm::revXAxisClicked);
    connect(rotYCheck, &QCheckBox::pressed, canvas, &GLPelm::revYAxisClicked);
    connect(rotZCheck, &QCheckBox::pressed, canvas, &GLPelm::revZAxisClicked);
    for (QCheckBox* check : {rotXCheck, rotYCheck, rotZCheck})
        connect(check, &QCheckBox::clicked, this, &GLObjectWindow::setRevReferenceAxis);

    // The reference axis starts at x; y is the axis of rotation and cannot be chosen.
    addCaption(revPanel, tr("Reference Axis:"), 0);
    referenceAxisGroup = addGroupFrame(revPanel, "revolution", false, 150);
    referenceAxisButtons = makeExclusive(this);
    refXCheck = addCheckField(referenceAxisGroup, referenceAxisButtons, tr("x"), true);
    refYCheck = addCheckField(referenceAxisGroup, referenceAxisButtons, tr("y"), false);
    refYCheck->setEnabled(false);
    refZCheck = addCheckField(referenceAxisGroup, referenceAxisButtons, tr("z"), false);
    connect(refXCheck, &QCheckBox::pressed, canvas, &GLPelm::refRevXAxisClicked);
    connect(refYCheck, &QCheckBox::pressed, canvas, &GLPelm::refRevYAxisClicked);
    connect(refZCheck, &QCheckBox::pressed, canvas, &GLPelm::refRevZAxisClicked);

    revSelectButton = new QPushButton(tr("Select Rev. Curve"), revPanel);
    revSelectButton->setCheckable(true);
    revPanel->layout()->addWidget(revSelectButton);
    connect(revSelectButton, &QPushButton::clicked, canvas, &GLPelm::selRevolutionCurve);

    revPanel->hide();
}

void GLObjectWindow::buildCoonsPanel() {
    coonsPanel = addGroupFrame(surfacePage, "Coons Paramaters", true, 170);
    addCaption(coonsPanel, tr("Curve selecting:"), 150);
    coonsSelectButton = new QPushButton(tr("Select Coons Curves"), coonsPanel);
    coonsSelectButton->setCheckable(true);
    coonsPanel->layout()->addWidget(coonsSelectButton);
    connect(coonsSelectButton, &QPushButton::clicked, canvas, &GLPelm::selCoonsCurves);
    coonsPanel->hide();
}

void GLObjectWindow::buildExtrudePanel() {
    extrudePanel = addGroupFrame(surfacePage, "Extrude Paramaters", true, 170);
    addCaption(extrudePanel, tr("Extrusion selecting:"), 150);
    extrudeSelectButton = new QPushButton(tr("Select extrusion Curves"), extrudePanel);
    extrudeSelectButton->setCheckable(true);
    extrudePanel->layout()->addWidget(extrudeSelectButton);
    connect(extrudeSelectButton, &QPushButton::clicked, canvas, &GLPelm::selExtrudeCurves);
    extrudePanel->hide();
}
