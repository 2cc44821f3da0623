// The predefined-object row: each button makes its object on press and springs back.
#include "canvas/gl_pelm.h"
#include "window_test_support.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>

TEST(PredefinedPanel, EachButtonMakesItsObjectOnPressAndSpringsBack) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    struct Case {
        QPushButton* button;
        const char* tip;
        int toolMode;
        int objects; // a shape brings its surface of revolution with its profile
    };
    const Case cases[] = {
        {window->freeformButton, "Freeform NURBS curve", ToolMode::AppendPoint, 1},
        {window->circleButton, "NURBS circle", ToolMode::EditPoint, 1},
        {window->arcButton, "NURBS arc", ToolMode::EditPoint, 1},
        {window->squareButton, "NURBS square", ToolMode::EditPoint, 1},
        {window->sphereButton, "NURBS sphere", ToolMode::EditPoint, 2},
        {window->cylinderButton, "NURBS cylinder", ToolMode::EditPoint, 2},
        {window->cubeButton, "NURBS cube", ToolMode::EditPoint, 2},
    };
    GLPelm& canvas = *window->canvas;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tip);
        const int before = canvas.scene.size();
        canvas.toolMode = ToolMode::Idle;
        pressButton(c.button);
        EXPECT_EQ(canvas.scene.size(), before + c.objects);
        EXPECT_EQ(canvas.toolMode, c.toolMode);
        EXPECT_EQ(canvas.activeKind, ObjectKind::Curve);
        // The new curve's parameters came back to the Curves page.
        EXPECT_TRUE(window->revolutionButton->isChecked());
        releaseButton(c.button);
        EXPECT_EQ(canvas.scene.size(), before + c.objects) << "one object per press";
        EXPECT_FALSE(c.button->isDown());
        EXPECT_FALSE(c.button->isChecked());
        EXPECT_EQ(c.button->toolTip(), QString::fromLatin1(c.tip));
        EXPECT_EQ(c.button->size(), QSize(35, 35));
    }
}

TEST(PredefinedPanel, LabelsAndButtonsFillTheRowExactly) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    const auto labels = window->predefinedGroup->findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 2);
    int right = 0;
    for (QLabel* label : labels) {
        EXPECT_EQ(label->width(), 70);
        right = std::max(right, label->geometry().right());
    }
    EXPECT_EQ(labels[0]->text(), "CURVES:");
    EXPECT_EQ(labels[1]->text(), "SHAPES:");
    // Left to right: label, four curves, label, three shapes, with no gap and nothing left over.
    const QWidget* order[] = {
        labels[0], window->freeformButton, window->circleButton,   window->arcButton, window->squareButton,
        labels[1], window->sphereButton,   window->cylinderButton, window->cubeButton};
    int x = 0;
    for (const QWidget* widget : order) {
        EXPECT_EQ(widget->x(), x);
        x += widget->width();
    }
    EXPECT_EQ(x, window->predefinedGroup->width());
}
