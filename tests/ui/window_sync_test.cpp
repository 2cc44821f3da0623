// The canvas's reports copied into the panels: check marks notify nobody, spin fields that change
// send their (clamped) value back to the canvas.
// The surfaces come before Qt: their mesh has a member named emit, which Qt defines as a macro.
#include "geometry/nurbs_curve.h"
#include "surfaces/revolution_surface.h"

#include "canvas/gl_pelm.h"
#include "canvas/view_projection.h"
#include "window_test_support.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

TEST(WindowSync, CurveParametersSetTheMarksFieldsAndTheRevolutionButton) {
    KNOTWORK_REQUIRE_APP();
    auto window = makeWindow();
    window->setCurveParameters(true, false, true, 4, 50, 2);
    EXPECT_TRUE(window->verticesCheck->isChecked());
    EXPECT_FALSE(window->curveCheck->isChecked());
    EXPECT_TRUE(window->edgeCheck->isChecked());
    EXPECT_EQ(window->orderSpin->value(), 4);
    EXPECT_EQ(window->paramIncSpin->value(), 50);
    EXPECT_FALSE(window->openCheck->isChecked());
    EXPECT_FALSE(window->interpolateCheck->isChecked());
    EXPECT_TRUE(window->closedCheck->isChecked());
    // The type button only looks on: no panel, no surface.
    EXPECT_TRUE(window->revolutionButton->isChecked());
    EXPECT_FALSE(window->revPanel->isVisibleTo(window->surfacePage));
    EXPECT_EQ(window->canvas->scene.size(), 0);

    // Any form code past 1 means closed.
    const struct {
        int mode;
        QCheckBox* checked;
    } forms[] = {{0, window->openCheck},   {1, window->interpolateCheck}, {2, window->closedCheck},
                 {7, window->closedCheck}, {-1, window->closedCheck},     {1, window->interpolateCheck}};
    for (const auto& form : forms) {
        window->setCurveParameters(true, true, false, 3, 100, form.mode);
        for (QCheckBox* check : {window->openCheck, window->interpolateCheck, window->closedCheck})
            EXPECT_EQ(check->isChecked(), check == form.checked) << "mode " << form.mode;
    }
}

TEST(WindowSync, OnlyChangedSpinFieldsReachTheCanvas) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    clickButton(window->circleButton);
    auto* curve = dynamic_cast<NurbsCurve*>(window->canvas->activeObject);
    ASSERT_NE(curve, nullptr);

    // The fields show 4 and 50 already: a report of the same values sends nothing back, so the
    // curve keeps what was set behind the page's back.
    window->setCurveParameters(true, true, false, 4, 50, 2);
    curve->setOrder(6);
    curve->setParamInc(70);
    window->setCurveParameters(true, false, true, 4, 50, 2);
    EXPECT_EQ(curve->order, 6);
    EXPECT_EQ(curve->paramInc, 70);
    // Other values change the fields, which call the canvas with them.
    window->setCurveParameters(true, false, true, 5, 60, 2);
    EXPECT_EQ(curve->order, 5);
    EXPECT_EQ(curve->paramInc, 60);
    // Values beyond the fields' ranges reach the canvas clamped.
    window->setCurveParameters(true, false, true, 150, 0, 2);
    EXPECT_EQ(window->orderSpin->value(), 99);
    EXPECT_EQ(curve->order, 99);
    EXPECT_EQ(curve->paramInc, 1);
}

// Files may hold order 1; the field echoes every reported value back to the canvas, so a field that
// could not show 1 sent its clamped 2 and changed the curve merely because it was selected.
TEST(WindowSync, SelectingAnOrderOneCurveLeavesItsOrder) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    GLPelm& canvas = *window->canvas;
    canvas.grabFramebuffer(); // sets the view rectangles now
    // The middle of the front view, in widget pixels, and the world point under it.
    const double ratio = canvas.devicePixelRatioF();
    const QPoint at(static_cast<int>(canvas.splitX / ratio / 2),
                    static_cast<int>((2 * canvas.canvasHeight - canvas.splitY) / ratio / 2));
    ControlPoint under;
    ASSERT_TRUE(
        unprojectOrthographic(canvas.frontView, at.x() * ratio, canvas.canvasHeight - at.y() * ratio, under));
    auto* curve = new NurbsCurve;
    curve->setOrder(1);
    for (int i = 0; i < 3; ++i)
        curve->appendPoint(under);
    canvas.scene.append(curve, ObjectKind::Curve);

    clickButton(window->translateButton);
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, at);
    ASSERT_EQ(canvas.activeObject, curve) << "the click must select the curve";
    EXPECT_EQ(curve->order, 1);
    EXPECT_EQ(window->orderSpin->value(), 1);
}

TEST(WindowSync, CheckMarksSetFromAReportNotifyNobody) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    clickButton(window->circleButton);
    auto* curve = dynamic_cast<NurbsCurve*>(window->canvas->activeObject);
    ASSERT_NE(curve, nullptr);
    const bool vertices = curve->showVertices, line = curve->showCurve, edge = curve->showEdge;
    const int mode = curve->curveMode;
    window->setCurveParameters(!vertices, !line, !edge, curve->order, curve->paramInc, (mode + 1) % 3);
    EXPECT_EQ(curve->showVertices, vertices);
    EXPECT_EQ(curve->showCurve, line);
    EXPECT_EQ(curve->showEdge, edge);
    EXPECT_EQ(curve->curveMode, mode);
    EXPECT_FALSE(window->revPanel->isVisible());
}

TEST(WindowSync, RevolutionReportChoosesTheAxisDefinitionAndShowsTheRevolutionPanel) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    window->showCoonsMenu();
    const struct {
        int revPoint;
        QCheckBox* checked;
    } cases[] = {{3, window->axisCheck}, {0, window->leftMostCheck}, {1, window->rightMostCheck},
                 {3, window->axisCheck}, {2, window->closestCheck},  {9, window->axisCheck},
                 {-1, window->axisCheck}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.revPoint);
        window->revSelectButton->setChecked(true);
        window->loadRevMenu(false, 10, 45, 360, 1, 0, c.revPoint, 4, 1);
        for (QCheckBox* check :
             {window->leftMostCheck, window->rightMostCheck, window->closestCheck, window->axisCheck})
            EXPECT_EQ(check->isChecked(), check == c.checked) << check->text().toStdString();
        EXPECT_EQ(window->axisPanel->isVisibleTo(window->surfacePage), c.checked == window->axisCheck);
        EXPECT_TRUE(window->revPanel->isVisibleTo(window->surfacePage));
        EXPECT_FALSE(window->coonsPanel->isVisibleTo(window->surfacePage));
        EXPECT_FALSE(window->extrudePanel->isVisibleTo(window->surfacePage));
        EXPECT_FALSE(window->revSelectButton->isChecked());
    }
}

TEST(WindowSync, RevolutionReportChoosesSideAxesAndDisplay) {
    KNOTWORK_REQUIRE_APP();
    auto window = makeWindow();
    struct Case {
        bool shading;
        int aor, refa, axisRotPoint;
        QCheckBox *display, *rotation, *reference, *side;
    };
    const Case cases[] = {
        {true, 0, 1, 0, window->shadedCheck, window->rotXCheck, window->refYCheck, window->leftCheck},
        {false, 1, 2, 1, window->wireframeCheck, window->rotYCheck, window->refZCheck, window->rightCheck},
        {true, 2, 0, 0, window->shadedCheck, window->rotZCheck, window->refXCheck, window->leftCheck},
        {false, 5, 7, 3, window->wireframeCheck, window->rotZCheck, window->refZCheck, window->rightCheck},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.aor << " " << c.refa << " " << c.axisRotPoint);
        window->gradientCheck->setChecked(true);
        window->loadRevMenu(c.shading, 10, 45, 360, c.aor, c.refa, 3, 4, c.axisRotPoint);
        EXPECT_TRUE(c.display->isChecked());
        EXPECT_FALSE(window->gradientCheck->isChecked());
        EXPECT_TRUE(c.rotation->isChecked());
        EXPECT_TRUE(c.reference->isChecked());
        EXPECT_TRUE(c.side->isChecked());
    }
    // The report leaves the enabled states alone: reference y stays disabled as built.
    EXPECT_FALSE(window->refYCheck->isEnabled());
}

TEST(WindowSync, RevolutionReportSendsChangedFieldsBackButNotItsMarks) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    clickButton(window->sphereButton);
    auto* curve = dynamic_cast<NurbsCurve*>(window->canvas->activeObject);
    ASSERT_NE(curve, nullptr);
    auto* surface = dynamic_cast<RevolutionSurface*>(curve->surfaceLink);
    ASSERT_NE(surface, nullptr);
    const int aor = surface->aor, revPoint = surface->revPoint;

    window->loadRevMenu(true, 20, 30, 180, (aor + 1) % 3, 2, (revPoint + 1) % 4, 2000, 0);
    EXPECT_EQ(surface->uParamInc, 20);
    EXPECT_EQ(surface->vParamInc, 30);
    EXPECT_EQ(surface->degrees, 180.0f);
    EXPECT_EQ(surface->axisDistance, 1000) << "clamped by the field";
    // Marks moved without telling the canvas.
    EXPECT_EQ(surface->aor, aor);
    EXPECT_EQ(surface->revPoint, revPoint);
    EXPECT_FALSE(surface->shading);
}
