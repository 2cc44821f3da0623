// The "Curves" page: each control against the state it leaves in the active curve or the canvas tool.
// The surfaces come before Qt: their mesh has a member named emit, which Qt defines as a macro.
#include "geometry/nurbs_curve.h"

#include "canvas/gl_pelm.h"
#include "window_test_support.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <functional>

namespace {

// A shown window whose canvas holds a square made from the row, the active curve.
struct SquareWindow {
    std::unique_ptr<GLObjectWindow> window = showWindow();
    NurbsCurve* curve = nullptr;

    SquareWindow() {
        clickButton(window->squareButton);
        curve = dynamic_cast<NurbsCurve*>(window->canvas->activeObject);
    }
};

} // namespace

TEST(CurvesTab, EachCheckFieldChangesTheActiveCurveOnPress) {
    KNOTWORK_REQUIRE_APP();
    SquareWindow w;
    ASSERT_NE(w.curve, nullptr);
    GLObjectWindow& window = *w.window;
    const NurbsCurve& c = *w.curve;

    struct Case {
        QCheckBox* check;
        std::function<bool(const NurbsCurve&)> state;
    };
    // Display flags toggle on the curve and the mark follows; the form is set, whatever it was.
    const Case cases[] = {
        {window.verticesCheck, [](auto& k) { return k.showVertices; }},
        {window.edgeCheck, [](auto& k) { return k.showEdge; }},
        {window.curveCheck, [](auto& k) { return k.showCurve; }},
        {window.openCheck, [](auto& k) { return k.curveMode == NurbsCurve::Open; }},
        {window.interpolateCheck, [](auto& k) { return k.curveMode == NurbsCurve::Interpolated; }},
        {window.closedCheck, [](auto& k) { return k.curveMode == NurbsCurve::Closed; }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.check->text().toStdString());
        for (int round = 0; round < 2; ++round) {
            const bool before = k.state(c);
            pressButton(k.check);
            const bool isForm = k.check->group() != nullptr;
            EXPECT_EQ(k.state(c), isForm ? true : !before) << "round " << round;
            releaseButton(k.check);
            EXPECT_EQ(k.check->isChecked(), k.state(c)) << "round " << round;
        }
    }
}

TEST(CurvesTab, CheckedFormStaysCheckedAndIsSentAgain) {
    KNOTWORK_REQUIRE_APP();
    SquareWindow w;
    ASSERT_NE(w.curve, nullptr);
    clickButton(w.window->closedCheck);
    // The curve moved on without the page being told; clicking "Closed curve" again sets it back.
    w.curve->setCurveMode(NurbsCurve::Open);
    clickButton(w.window->closedCheck);
    EXPECT_TRUE(w.window->closedCheck->isChecked());
    EXPECT_EQ(w.curve->curveMode, NurbsCurve::Closed);
}

TEST(CurvesTab, PressThenDragOffStillTellsTheCanvasButKeepsTheMark) {
    KNOTWORK_REQUIRE_APP();
    SquareWindow w;
    ASSERT_NE(w.curve, nullptr);
    QCheckBox* check = w.window->verticesCheck;
    const bool shown = w.curve->showVertices;
    const bool marked = check->isChecked();
    pressButton(check);
    QTest::mouseRelease(check, Qt::LeftButton, {}, QPoint(-30, -30));
    EXPECT_EQ(w.curve->showVertices, !shown);
    EXPECT_EQ(check->isChecked(), marked);
}

TEST(CurvesTab, SpinFieldsReachTheActiveCurve) {
    KNOTWORK_REQUIRE_APP();
    SquareWindow w;
    ASSERT_NE(w.curve, nullptr);
    GLObjectWindow& window = *w.window;
    const NurbsCurve& c = *w.curve;
    struct Case {
        QSpinBox* spin;
        const char* typed;
        std::function<int(const NurbsCurve&)> value;
        int expected;
    };
    const Case cases[] = {
        {window.lineThicknessSpin, "6", [](auto& k) { return k.lineWidth; }, 6},
        {window.orderSpin, "3", [](auto& k) { return k.order; }, 3},
        {window.paramIncSpin, "25", [](auto& k) { return k.paramInc; }, 25},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.typed);
        ASSERT_NE(k.value(c), k.expected) << "the case must change something";
        typeIntoSpin(k.spin, QString::fromLatin1(k.typed));
        EXPECT_EQ(k.value(c), k.expected);
    }
    // Arrow keys step by one and stop at the field's end.
    for (int i = 0; i < 20; ++i)
        QTest::keyClick(window.lineThicknessSpin, Qt::Key_Up);
    EXPECT_EQ(c.lineWidth, 10);
}

TEST(CurvesTab, EditingButtonsChooseTheirToolOnPressOneAtATime) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    struct Case {
        QPushButton* button;
        int toolMode;
    };
    const Case cases[] = {{window->smoothButton, ToolMode::EditPoint},
                          {window->deleteButton, ToolMode::DeletePoint},
                          {window->insertButton, ToolMode::AppendPoint},
                          {window->deleteButton, ToolMode::DeletePoint}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button->text().toStdString());
        pressButton(c.button);
        EXPECT_EQ(window->canvas->toolMode, c.toolMode);
        releaseButton(c.button);
        for (QPushButton* other : {window->insertButton, window->smoothButton, window->deleteButton})
            EXPECT_EQ(other->isChecked(), other == c.button) << other->text().toStdString();
    }
}

TEST(CurvesTab, ReverseButtonReversesThePointsOnRelease) {
    KNOTWORK_REQUIRE_APP();
    SquareWindow w;
    ASSERT_NE(w.curve, nullptr);
    const auto path = [](const NurbsCurve& c) {
        std::vector<std::pair<double, double>> xz;
        for (const ControlPoint& p : c.controlPoints)
            xz.emplace_back(p.x, p.z);
        return xz;
    };
    const auto before = path(*w.curve);
    pressButton(w.window->reverseButton);
    EXPECT_EQ(path(*w.curve), before) << "nothing on press";
    releaseButton(w.window->reverseButton);
    EXPECT_EQ(path(*w.curve), decltype(before)(before.rbegin(), before.rend()));
    EXPECT_NE(path(*w.curve), before);
}

TEST(CurvesTab, WeightFieldSetsThePickedPointAndEchoesTheCanvasReport) {
    KNOTWORK_REQUIRE_APP();
    SquareWindow w;
    ASSERT_NE(w.curve, nullptr);
    GLPelm& canvas = *w.window->canvas;
    canvas.activePoint = 2;
    typeIntoSpin(w.window->weightSpin, QStringLiteral("25"));
    EXPECT_DOUBLE_EQ(w.curve->weight(2), 2.5);

    // The report of the value the field shows changes nothing, even if the point moved on.
    w.curve->setWeight(2, 0.7);
    emit canvas.emitWeight(25);
    EXPECT_DOUBLE_EQ(w.curve->weight(2), 0.7);
    // Another value changes the field, which sends it back to the canvas.
    emit canvas.emitWeight(40);
    EXPECT_EQ(w.window->weightSpin->value(), 40);
    EXPECT_DOUBLE_EQ(w.curve->weight(2), 4.0);
    // A weight of 0 reaches the canvas, which refuses it.
    emit canvas.emitWeight(0);
    EXPECT_EQ(w.window->weightSpin->value(), 0);
    EXPECT_DOUBLE_EQ(w.curve->weight(2), 4.0);
}
