// Building the window: nothing reaches the canvas or the window's slots, and every control starts
// in the state the canvas's defaults match.
// The surfaces come before Qt: their mesh has a member named emit, which Qt defines as a macro.
#include "geometry/nurbs_curve.h"
#include "surfaces/revolution_surface.h"

#include "canvas/gl_pelm.h"
#include "window_test_support.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSpinBox>

TEST(WindowConstruction, SendsNothingToTheCanvasAndRunsNoWindowSlot) {
    KNOTWORK_REQUIRE_APP();
    auto window = makeWindow();
    const GLPelm& canvas = *window->canvas;
    // No tool was sent; no object was made.
    EXPECT_EQ(canvas.toolMode, ToolMode::None);
    EXPECT_EQ(canvas.scene.size(), 0);
    EXPECT_EQ(canvas.activeObject, nullptr);
    // No panel-switching or axis slot ran.
    for (QGroupBox* panel : {window->revPanel, window->coonsPanel, window->extrudePanel, window->axisPanel})
        EXPECT_FALSE(panel->isVisibleTo(window->surfacePage)) << panel->objectName().toStdString();
    EXPECT_FALSE(window->refYCheck->isEnabled());
    EXPECT_TRUE(window->refXCheck->isEnabled());
    EXPECT_TRUE(window->refZCheck->isEnabled());
}

// The panels open showing what a new curve and a new surface of revolution hold, so the first
// report of the canvas only changes what differs.
TEST(WindowConstruction, ControlsShowTheDefaultsOfNewObjects) {
    KNOTWORK_REQUIRE_APP();
    auto window = makeWindow();
    const NurbsCurve curve;
    EXPECT_EQ(window->verticesCheck->isChecked(), curve.showVertices);
    EXPECT_EQ(window->curveCheck->isChecked(), curve.showCurve);
    EXPECT_EQ(window->edgeCheck->isChecked(), curve.showEdge);
    EXPECT_EQ(window->lineThicknessSpin->value(), curve.lineWidth);
    EXPECT_EQ(window->orderSpin->value(), curve.order);
    EXPECT_EQ(window->paramIncSpin->value(), curve.paramInc);
    QCheckBox* const forms[] = {window->openCheck, window->interpolateCheck, window->closedCheck};
    for (int mode = 0; mode < 3; ++mode)
        EXPECT_EQ(forms[mode]->isChecked(), mode == curve.curveMode) << "form " << mode;

    const RevolutionSurface surface;
    EXPECT_EQ(window->shadedCheck->isChecked(), surface.shading);
    EXPECT_EQ(window->wireframeCheck->isChecked(), !surface.shading);
    EXPECT_FALSE(window->gradientCheck->isChecked());
    EXPECT_EQ(window->uIncSpin->value(), surface.uParamInc);
    EXPECT_EQ(window->vIncSpin->value(), surface.vParamInc);
    EXPECT_EQ(window->degreesSpin->value(), static_cast<int>(surface.degrees));
    EXPECT_EQ(window->distanceSpin->value(), surface.axisDistance);
    QCheckBox* const definitions[] = {window->leftMostCheck, window->rightMostCheck, window->closestCheck,
                                      window->axisCheck};
    for (int mode = 0; mode < 4; ++mode)
        EXPECT_EQ(definitions[mode]->isChecked(), mode == surface.revPoint) << "axis definition " << mode;
    EXPECT_EQ(window->rightCheck->isChecked(), surface.axisRotPoint == 1);
    QCheckBox* const rotation[] = {window->rotXCheck, window->rotYCheck, window->rotZCheck};
    QCheckBox* const reference[] = {window->refXCheck, window->refYCheck, window->refZCheck};
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_EQ(rotation[axis]->isChecked(), axis == surface.aor) << "axis " << axis;
        EXPECT_EQ(reference[axis]->isChecked(), axis == surface.refa) << "axis " << axis;
    }

    // No tool yet: the editing, select and type buttons start off, as the tool buttons do.
    for (const QAbstractButton* button :
         {window->insertButton, window->revSelectButton, window->coonsSelectButton,
          window->extrudeSelectButton, window->revolutionButton, window->coonsButton, window->extrudeButton,
          window->smoothButton, window->deleteButton})
        EXPECT_FALSE(button->isChecked()) << button->text().toStdString();
}
