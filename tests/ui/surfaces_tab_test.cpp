// The "Surfaces" page: each control against the state it leaves in the canvas, the panel switching,
// the axis sub-panel, the reference-axis rule and the colour button.
// The surfaces come before Qt: their mesh has a member named emit, which Qt defines as a macro.
#include "geometry/nurbs_curve.h"
#include "surfaces/revolution_surface.h"

#include "canvas/gl_pelm.h"
#include "window_test_support.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <functional>

namespace {

// A window on its Surfaces page, with a sphere made from the row: its profile curve is the active
// object and the surface of revolution hangs from it.
struct SphereWindow {
    std::unique_ptr<GLObjectWindow> window = showWindow();
    RevolutionSurface* surface = nullptr;

    SphereWindow() {
        clickButton(window->sphereButton);
        window->tabs->setCurrentIndex(1);
        auto* curve = dynamic_cast<NurbsCurve*>(window->canvas->activeObject);
        if (curve)
            surface = dynamic_cast<RevolutionSurface*>(curve->surfaceLink);
    }
};

} // namespace

TEST(SurfacesTab, TypeButtonsShowTheirPanelAndAskTheCanvasForTheSurface) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    window->tabs->setCurrentIndex(1);
    struct Case {
        QPushButton* button;
        QGroupBox* panel;
        int kind, toolMode;
    };
    // Revolution with nothing active makes an empty surface waiting for its profile.
    const Case cases[] = {
        {window->coonsButton, window->coonsPanel, ObjectKind::Coons, ToolMode::PickCoons},
        {window->coonsButton, window->coonsPanel, ObjectKind::Coons, ToolMode::PickCoons},
        {window->extrudeButton, window->extrudePanel, ObjectKind::Extrusion, ToolMode::PickExtrusion},
        {window->revolutionButton, window->revPanel, ObjectKind::Revolution, ToolMode::PickRevolution},
    };
    int objects = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button->text().toStdString());
        window->canvas->activeObject = nullptr;
        window->canvas->activeKind = ObjectKind::None;
        // Nothing happens on press: type buttons act on release.
        pressButton(c.button);
        EXPECT_EQ(window->canvas->scene.size(), objects);
        releaseButton(c.button);
        ++objects;
        EXPECT_EQ(window->canvas->scene.size(), objects);
        EXPECT_EQ(window->canvas->activeKind, c.kind);
        EXPECT_EQ(window->canvas->toolMode, c.toolMode);
        EXPECT_TRUE(c.button->isChecked());
        for (QGroupBox* panel : {window->revPanel, window->coonsPanel, window->extrudePanel})
            EXPECT_EQ(panel->isVisible(), panel == c.panel) << panel->objectName().toStdString();
    }
}

TEST(SurfacesTab, EachControlOfTheRevolutionPanelReachesTheSurface) {
    KNOTWORK_REQUIRE_APP();
    SphereWindow w;
    ASSERT_NE(w.surface, nullptr);
    GLObjectWindow& window = *w.window;
    window.showRevMenu();
    RevolutionSurface& s = *w.surface;

    struct Case {
        const char* name;
        QAbstractButton* button;
        std::function<bool(const RevolutionSurface&)> holds;
    };
    // Axis first, so the left/right choice inside its sub-panel can be pressed.
    const Case cases[] = {
        {"wireframe", window.shadedCheck, [](auto& r) { return r.shading && !r.gradient; }},
        {"gradient", window.gradientCheck, [](auto& r) { return r.shading && r.gradient; }},
        {"wireframe", window.wireframeCheck, [](auto& r) { return !r.shading && !r.gradient; }},
        {"axis", window.axisCheck, [](auto& r) { return r.revPoint == RevolutionSurface::Axis; }},
        {"left", window.leftCheck, [](auto& r) { return r.axisRotPoint == 0; }},
        {"right", window.rightCheck, [](auto& r) { return r.axisRotPoint == 1; }},
        {"left most", window.leftMostCheck,
         [](auto& r) { return r.revPoint == RevolutionSurface::LeftMost; }},
        {"closest", window.closestCheck,
         [](auto& r) { return r.revPoint == RevolutionSurface::ClosestToAxis; }},
        {"right most", window.rightMostCheck,
         [](auto& r) { return r.revPoint == RevolutionSurface::RightMost; }},
        {"rotation x", window.rotXCheck, [](auto& r) { return r.aor == 0 && r.refa == 1; }},
        {"rotation z", window.rotZCheck, [](auto& r) { return r.aor == 2 && r.refa == 0; }},
        {"reference y", window.refYCheck, [](auto& r) { return r.aor == 2 && r.refa == 1; }},
        {"rotation y", window.rotYCheck, [](auto& r) { return r.aor == 1 && r.refa == 0; }},
        {"reference z", window.refZCheck, [](auto& r) { return r.aor == 1 && r.refa == 2; }},
        {"reference x", window.refXCheck, [](auto& r) { return r.refa == 0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.button->isVisible());
        ASSERT_TRUE(c.button->isEnabled());
        EXPECT_FALSE(c.holds(s)) << "the case must change something";
        // The canvas hears of it on press, before the mark moves.
        pressButton(c.button);
        EXPECT_TRUE(c.holds(s));
        releaseButton(c.button);
        EXPECT_TRUE(c.button->isChecked());
    }

    struct SpinCase {
        QSpinBox* spin;
        const char* typed;
        std::function<bool(const RevolutionSurface&)> holds;
    };
    const SpinCase spins[] = {
        {window.uIncSpin, "20", [](auto& r) { return r.uParamInc == 20; }},
        {window.vIncSpin, "30", [](auto& r) { return r.vParamInc == 30; }},
        {window.degreesSpin, "180", [](auto& r) { return r.degrees == 180.0f; }},
    };
    for (const SpinCase& c : spins) {
        SCOPED_TRACE(c.typed);
        typeIntoSpin(c.spin, QString::fromLatin1(c.typed));
        EXPECT_TRUE(c.holds(s));
    }
    clickButton(window.axisCheck);
    typeIntoSpin(window.distanceSpin, QStringLiteral("7"));
    EXPECT_EQ(s.axisDistance, 7);
    // The degrees field steps by ten and stops at 360.
    QTest::keyClick(window.degreesSpin, Qt::Key_Up);
    EXPECT_EQ(s.degrees, 190.0f);
    for (int i = 0; i < 30; ++i)
        QTest::keyClick(window.degreesSpin, Qt::Key_Up);
    EXPECT_EQ(s.degrees, 360.0f);
}

TEST(SurfacesTab, SelectButtonsFlipTheirPickModeOnEachClick) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    window->tabs->setCurrentIndex(1);
    struct Case {
        QPushButton* select;
        void (GLObjectWindow::*show)();
        int pickMode;
    };
    const Case cases[] = {
        {window->revSelectButton, &GLObjectWindow::showRevMenu, ToolMode::PickRevolution},
        {window->coonsSelectButton, &GLObjectWindow::showCoonsMenu, ToolMode::PickCoons},
        {window->extrudeSelectButton, &GLObjectWindow::showExtMenu, ToolMode::PickExtrusion}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.select->text().toStdString());
        ((*window).*c.show)();
        window->canvas->toolMode = ToolMode::Translate;
        const int expected[] = {c.pickMode, ToolMode::Idle, c.pickMode};
        bool on = c.select->isChecked();
        for (int mode : expected) {
            clickButton(c.select);
            on = !on;
            EXPECT_EQ(window->canvas->toolMode, mode);
            EXPECT_EQ(c.select->isChecked(), on);
        }
    }
}

TEST(SurfacesTab, AxisSubPanelFollowsTheAxisChoiceOnRelease) {
    KNOTWORK_REQUIRE_APP();
    SphereWindow w;
    GLObjectWindow& window = *w.window;
    window.showRevMenu();
    pressButton(window.axisCheck);
    EXPECT_FALSE(window.axisPanel->isVisible()) << "the panel follows the release, not the press";
    releaseButton(window.axisCheck);
    EXPECT_TRUE(window.axisPanel->isVisible());
    for (QCheckBox* other : {window.leftMostCheck, window.rightMostCheck, window.closestCheck}) {
        SCOPED_TRACE(other->text().toStdString());
        clickButton(window.axisCheck);
        EXPECT_TRUE(window.axisPanel->isVisible());
        clickButton(other);
        EXPECT_FALSE(window.axisPanel->isVisible());
    }
    // Its fields are a choice of their own: picking a side leaves "Axis" checked.
    clickButton(window.axisCheck);
    clickButton(window.leftCheck);
    EXPECT_TRUE(window.axisCheck->isChecked());
    EXPECT_TRUE(window.leftCheck->isChecked());
}

TEST(SurfacesTab, ReferenceAxisStaysOffTheAxisOfRotation) {
    KNOTWORK_REQUIRE_APP();
    SphereWindow w;
    GLObjectWindow& window = *w.window;
    window.showRevMenu();
    QCheckBox* const rotation[] = {window.rotXCheck, window.rotYCheck, window.rotZCheck};
    QCheckBox* const reference[] = {window.refXCheck, window.refYCheck, window.refZCheck};
    // From every axis to every other: the reference on the rotation axis is disabled and off, the
    // first remaining one is checked, the last one enabled and off.
    for (int from = 0; from < 3; ++from) {
        for (int to = 0; to < 3; ++to) {
            SCOPED_TRACE(testing::Message() << "axis " << from << " to " << to);
            clickButton(rotation[from]);
            clickButton(rotation[to]);
            const int chosen = to == 0 ? 1 : 0;
            for (int axis = 0; axis < 3; ++axis) {
                EXPECT_EQ(reference[axis]->isEnabled(), axis != to) << "reference " << axis;
                EXPECT_EQ(reference[axis]->isChecked(), axis == chosen) << "reference " << axis;
            }
            // The canvas chose the same reference on its side.
            ASSERT_NE(w.surface, nullptr);
            EXPECT_EQ(w.surface->aor, to);
            EXPECT_EQ(w.surface->refa, chosen);
        }
    }
}

TEST(SurfacesTab, ColourButtonOpensADialogAtWhiteEveryTimeAndColoursTheSurface) {
    KNOTWORK_REQUIRE_APP();
    SphereWindow w;
    ASSERT_NE(w.surface, nullptr);
    ScriptedDialogs dialogs;
    dialogs.colours = {QColor(255, 0, 0), QColor(0, 128, 255)};
    w.window->setDialogProvider(&dialogs);
    for (int i = 0; i < 3; ++i)
        clickButton(w.window->surfaceColorButton);
    ASSERT_EQ(dialogs.calls.size(), 3u);
    for (const ScriptedDialogs::Call& call : dialogs.calls)
        EXPECT_EQ(call.initial, QColor(255, 255, 255));
    // The third dialog was cancelled: the second colour stays.
    EXPECT_FLOAT_EQ(w.surface->color[0], 0.0f);
    EXPECT_FLOAT_EQ(w.surface->color[1], 128.0f / 255.0f);
    EXPECT_FLOAT_EQ(w.surface->color[2], 1.0f);
    EXPECT_FALSE(w.window->surfaceColorButton->isCheckable());
}

// The tallest page there is: the revolution panel with its axis sub-panel open.
TEST(SurfacesTab, FullRevolutionPanelNeverMakesTheWindowTallerThanAsked) {
    KNOTWORK_REQUIRE_APP();
    const int heights[] = {1000, 700};
    for (int height : heights) {
        SCOPED_TRACE(height);
        auto window = showWindow(1600, height);
        window->tabs->setCurrentIndex(1);
        window->showRevMenu();
        window->axisCheck->setChecked(true);
        window->setAxisParms();
        QApplication::processEvents();
        EXPECT_EQ(window->height(), height);
        // Scrolled to the end, the last control is inside the tab.
        auto* scroll = qobject_cast<QScrollArea*>(window->tabs->currentWidget());
        ASSERT_NE(scroll, nullptr);
        scroll->ensureWidgetVisible(window->revSelectButton);
        const QRect shown = window->revSelectButton->rect().translated(
            window->revSelectButton->mapTo(window->tabs, QPoint(0, 0)));
        EXPECT_TRUE(window->tabs->rect().contains(shown));
    }
}
