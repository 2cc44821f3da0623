// Numbers where a drag is too coarse: the "Point" group edits the picked point, Edit > Transform…
// moves, scales and rotates the active curve; each edit is one undo step.
// The surfaces come before Qt: their mesh has a member named emit, which Qt defines as a macro.
#include "geometry/nurbs_curve.h"

#include "canvas/gl_pelm.h"
#include "ui/point_group.h"
#include "ui/transform_dialog.h"
#include "window_test_support.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

namespace {

// A shown window whose active curve has the given points, made with the model and drawn.
struct CurveWindow {
    std::unique_ptr<GLObjectWindow> window = showWindow();
    GLPelm& canvas = *window->canvas;
    NurbsCurve* curve = nullptr;

    explicit CurveWindow(const std::vector<ControlPoint>& points) {
        curve = canvas.model.newCurve();
        for (const ControlPoint& p : points)
            canvas.model.appendPoint(p);
        canvas.updateGL();
    }
    void pick(int index) {
        canvas.model.setActivePoint(index);
        canvas.updateGL();
    }
    int steps() const { return static_cast<int>(canvas.model.history.done()); }
};

const std::vector<ControlPoint> fourPoints = {
    {-2.0, 1.0, 0.5}, {0.0, 3.0, -1.0}, {2.0, 1.0, 0.0}, {4.0, -1.0, 2.0}};

QAction* transformItem(GLObjectWindow& window) {
    return window.findMenuItem(QStringLiteral("&Edit"), QStringLiteral("Transform\u2026"));
}

// Opens Edit > Transform…, lets fill() type into the modal dialog, then presses the button.
void runTransformDialog(GLObjectWindow& window, const std::function<void(TransformDialog&)>& fill,
                        QDialogButtonBox::StandardButton button) {
    const bool answered = answerModalDialog(
        window, [&window] { transformItem(window)->trigger(); },
        [fill, button](QWidget* modal) {
            auto* dialog = qobject_cast<TransformDialog*>(modal);
            if (!dialog)
                return false;
            fill(*dialog);
            QTest::mouseClick(dialog->buttons->button(button), Qt::LeftButton);
            return true;
        });
    EXPECT_TRUE(answered) << "no Transform dialog";
}

} // namespace

TEST(TypedValues, PointGroupShowsThePickedPointAndIsOffWithoutOne) {
    KNOTWORK_REQUIRE_APP();
    CurveWindow w(fourPoints);
    PointGroup& group = *w.window->pointGroup;
    EXPECT_EQ(group.title(), QStringLiteral("Point"));
    QDoubleSpinBox* const fields[] = {group.xSpin, group.ySpin, group.zSpin, group.weightSpin};
    for (QDoubleSpinBox* field : fields)
        EXPECT_FALSE(field->isEnabled());
    w.curve->setWeight(2, 2.5);
    for (int index : {2, 1}) {
        SCOPED_TRACE(index);
        w.pick(index);
        const ControlPoint& p = w.curve->controlPoints[index];
        EXPECT_DOUBLE_EQ(group.xSpin->value(), p.x);
        EXPECT_DOUBLE_EQ(group.ySpin->value(), p.y);
        EXPECT_DOUBLE_EQ(group.zSpin->value(), p.z);
        EXPECT_DOUBLE_EQ(group.weightSpin->value(), p.w);
        for (QDoubleSpinBox* field : fields)
            EXPECT_TRUE(field->isEnabled());
    }
    // Another object forgets the picked point.
    clickButton(w.window->circleButton);
    for (QDoubleSpinBox* field : fields)
        EXPECT_FALSE(field->isEnabled());
}

TEST(TypedValues, EachTypedValueOfThePointIsOneUndoStep) {
    KNOTWORK_REQUIRE_APP();
    struct Case {
        const char* name;
        QDoubleSpinBox* PointGroup::*field;
        double ControlPoint::*value;
    };
    const Case cases[] = {
        {"x", &PointGroup::xSpin, &ControlPoint::x},
        {"y", &PointGroup::ySpin, &ControlPoint::y},
        {"z", &PointGroup::zSpin, &ControlPoint::z},
        {"weight", &PointGroup::weightSpin, &ControlPoint::w},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CurveWindow w(fourPoints);
        w.pick(1);
        const std::vector<ControlPoint> before = w.curve->controlPoints;
        const int steps = w.steps();
        typeIntoSpin(w.window->pointGroup->*c.field, QStringLiteral("2.75"));
        for (int i = 0; i < 4; ++i) {
            const ControlPoint& p = w.curve->controlPoints[i];
            for (double ControlPoint::*member :
                 {&ControlPoint::x, &ControlPoint::y, &ControlPoint::z, &ControlPoint::w})
                EXPECT_DOUBLE_EQ(p.*member, i == 1 && member == c.value ? 2.75 : before[i].*member)
                    << "point " << i;
        }
        EXPECT_EQ(w.steps(), steps + 1);
        // Held arrows on the same field join the step.
        QTest::keyClick(w.window->pointGroup->*c.field, Qt::Key_Up);
        QTest::keyClick(w.window->pointGroup->*c.field, Qt::Key_Up);
        EXPECT_NEAR(w.curve->controlPoints[1].*c.value, 2.95, 1e-9);
        EXPECT_EQ(w.steps(), steps + 1);

        w.window->undoAction->trigger();
        EXPECT_EQ(w.curve->controlPoints[1].*c.value, before[1].*c.value);
        EXPECT_DOUBLE_EQ((w.window->pointGroup->*c.field)->value(), before[1].*c.value);
    }
}

TEST(TypedValues, AWeightTypedInThePointGroupShowsInTheWeightField) {
    KNOTWORK_REQUIRE_APP();
    CurveWindow w(fourPoints);
    w.pick(3);
    typeIntoSpin(w.window->pointGroup->weightSpin, QStringLiteral("3.47"));
    EXPECT_DOUBLE_EQ(w.curve->controlPoints[3].w, 3.47);
    EXPECT_EQ(w.window->weightSpin->value(), 34);
    // And the other way round.
    typeIntoSpin(w.window->weightSpin, QStringLiteral("12"));
    EXPECT_DOUBLE_EQ(w.window->pointGroup->weightSpin->value(), 1.2);
}

TEST(TypedValues, TransformMovesScalesAndRotatesTheActiveCurveAsOneStep) {
    KNOTWORK_REQUIRE_APP();
    CurveWindow w(fourPoints);
    ASSERT_TRUE(transformItem(*w.window)->isEnabled());
    const std::vector<ControlPoint> before = w.curve->controlPoints;
    ControlPoint centre(0.0, 0.0, 0.0);
    for (const ControlPoint& p : before) {
        centre.x += p.x / 4.0;
        centre.y += p.y / 4.0;
        centre.z += p.z / 4.0;
    }
    const int steps = w.steps();
    runTransformDialog(
        *w.window,
        [](TransformDialog& d) {
            // Tab from field to field: Enter is the dialog's OK.
            typeIntoSpin(d.moveX, QStringLiteral("1"), Qt::Key_Tab);
            typeIntoSpin(d.moveY, QStringLiteral("-2"), Qt::Key_Tab);
            typeIntoSpin(d.moveZ, QStringLiteral("0.5"), Qt::Key_Tab);
            typeIntoSpin(d.scaleFactor, QStringLiteral("2"), Qt::Key_Tab);
            typeIntoSpin(d.rotateZ, QStringLiteral("90"), Qt::Key_Tab);
        },
        QDialogButtonBox::Ok);
    // Twice as far from the centre, a quarter turn about z (x to y), then moved.
    for (std::size_t i = 0; i < before.size(); ++i) {
        SCOPED_TRACE(i);
        const double rx = 2.0 * (before[i].x - centre.x), ry = 2.0 * (before[i].y - centre.y);
        const double rz = 2.0 * (before[i].z - centre.z);
        const ControlPoint& p = w.curve->controlPoints[i];
        EXPECT_NEAR(p.x, centre.x - ry + 1.0, 1e-9);
        EXPECT_NEAR(p.y, centre.y + rx - 2.0, 1e-9);
        EXPECT_NEAR(p.z, centre.z + rz + 0.5, 1e-9);
        EXPECT_EQ(p.w, before[i].w);
    }
    EXPECT_EQ(w.steps(), steps + 1);
    w.canvas.undo();
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(w.curve->controlPoints[i].x, before[i].x);
        EXPECT_EQ(w.curve->controlPoints[i].y, before[i].y);
        EXPECT_EQ(w.curve->controlPoints[i].z, before[i].z);
    }
}

TEST(TypedValues, CancelledTransformChangesNothingAndWithoutACurveThereIsNone) {
    KNOTWORK_REQUIRE_APP();
    CurveWindow w(fourPoints);
    const std::vector<ControlPoint> before = w.curve->controlPoints;
    const int steps = w.steps();
    runTransformDialog(
        *w.window, [](TransformDialog& d) { typeIntoSpin(d.moveX, QStringLiteral("5"), Qt::Key_Tab); },
        QDialogButtonBox::Cancel);
    EXPECT_EQ(w.steps(), steps);
    for (std::size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(w.curve->controlPoints[i].x, before[i].x);

    w.canvas.setActiveObject(nullptr, ObjectKind::None);
    w.canvas.updateGL();
    EXPECT_FALSE(transformItem(*w.window)->isEnabled());
}
