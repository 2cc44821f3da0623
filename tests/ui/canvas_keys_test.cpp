// The canvas keys act whenever no field is being typed in: after a press on any panel control, and
// after Enter or Escape in a field.
// The surfaces come before Qt: their mesh has a member named emit, which Qt defines as a macro.
#include "geometry/nurbs_curve.h"

#include "canvas/gl_pelm.h"
#include "ui/point_group.h"
#include "window_test_support.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <functional>

namespace {

// A key as the user types it: to whatever has the focus.
void typeKey(Qt::Key key) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr) << "nothing has the focus";
    QTest::keyClick(focus, key);
}

std::unique_ptr<GLObjectWindow> activeWindow() {
    auto window = showWindow();
    activate(*window);
    return window;
}

} // namespace

TEST(CanvasKeys, ReachTheCanvasAfterAPressOnAnyPanelControl) {
    KNOTWORK_REQUIRE_APP();
    ScriptedDialogs dialogs; // the colour button asks for a colour: cancelled
    struct Case {
        const char* name;
        std::function<void(GLObjectWindow&)> press;
    };
    const Case cases[] = {
        {"push button", [](GLObjectWindow& w) { clickButton(w.reverseButton); }},
        {"check field", [](GLObjectWindow& w) { clickButton(w.verticesCheck); }},
        {"tool button", [](GLObjectWindow& w) { clickButton(w.zoomButton); }},
        {"object button", [](GLObjectWindow& w) { clickButton(w.squareButton); }},
        {"colour button", [](GLObjectWindow& w) { clickButton(w.surfaceColorButton); }},
        {"tab",
         [](GLObjectWindow& w) {
             QTabBar* bar = w.tabs->tabBar();
             QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
         }},
        {"surface type button",
         [](GLObjectWindow& w) {
             w.tabs->setCurrentIndex(1);
             clickButton(w.coonsButton);
         }},
        {"empty part of a page",
         [](GLObjectWindow& w) {
             auto* page = static_cast<QScrollArea*>(w.tabs->widget(0));
             QTest::mouseClick(page->viewport(), Qt::LeftButton, {},
                               QPoint(page->viewport()->width() - 3, page->viewport()->height() - 3));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto window = activeWindow();
        window->setDialogProvider(&dialogs);
        c.press(*window);
        // Two keys, so the tool a control chose itself cannot pass for the key's.
        typeKey(Qt::Key_T);
        EXPECT_EQ(window->canvas->toolMode, ToolMode::Translate);
        typeKey(Qt::Key_E);
        EXPECT_EQ(window->canvas->toolMode, ToolMode::EditPoint);
    }
}

TEST(CanvasKeys, EnterOrEscapeInAFieldHandsTheKeysBack) {
    KNOTWORK_REQUIRE_APP();
    auto window = activeWindow();
    clickButton(window->squareButton);
    auto* curve = dynamic_cast<NurbsCurve*>(window->canvas->activeObject);
    ASSERT_NE(curve, nullptr);
    window->canvas->model.setActivePoint(0);
    window->canvas->updateGL();
    const double x = curve->controlPoints[0].x;

    // Enter takes the value typed.
    const int order = curve->order == 3 ? 2 : 3;
    typeIntoSpin(window->orderSpin, QString::number(order));
    EXPECT_EQ(curve->order, order);
    EXPECT_EQ(QApplication::focusWidget(), window->canvas);
    typeKey(Qt::Key_D);
    EXPECT_EQ(window->canvas->toolMode, ToolMode::DeletePoint);

    // Escape drops it.
    typeIntoSpin(window->pointGroup->xSpin, QStringLiteral("7.5"), Qt::Key_Escape);
    EXPECT_EQ(curve->controlPoints[0].x, x);
    EXPECT_DOUBLE_EQ(window->pointGroup->xSpin->value(), x);
    EXPECT_EQ(QApplication::focusWidget(), window->canvas);
    typeKey(Qt::Key_I);
    EXPECT_EQ(window->canvas->toolMode, ToolMode::InsertPoint);
}

TEST(CanvasKeys, AFieldBeingTypedInKeepsItsLetters) {
    KNOTWORK_REQUIRE_APP();
    auto window = activeWindow();
    typeKey(Qt::Key_T);
    ASSERT_EQ(window->canvas->toolMode, ToolMode::Translate);
    QTest::mouseClick(window->paramIncSpin, Qt::LeftButton, {},
                      QPoint(8, window->paramIncSpin->height() / 2));
    ASSERT_EQ(QApplication::focusWidget(), window->paramIncSpin);
    typeKey(Qt::Key_E);
    EXPECT_EQ(window->canvas->toolMode, ToolMode::Translate);
}
