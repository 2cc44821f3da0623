// Viewport > "New points at the active curve's depth" and "New Point Depth…": where points appended or
// inserted in the top, left and front views go along the view's depth axis, with real clicks.
// Before any Qt header: Qt's emit macro would clash with SurfaceMesh::emit.
#include "geometry/nurbs_curve.h"

#include "canvas/gl_pelm.h"
#include "ui/new_point_depth_dialog.h"
#include "ui/status_readouts.h"
#include "window_test_support.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include <functional>

namespace {

const QString depthItemText = QStringLiteral("New points at the active curve's depth");

QAction* depthItem(GLObjectWindow& window) {
    return window.findMenuItem(QStringLiteral("&Viewport"), depthItemText);
}

// A curve of two points well off every view's plane through the origin, active, in the given tool.
NurbsCurve* addOffsetCurve(GLPelm& canvas, int tool) {
    auto* curve = new NurbsCurve;
    curve->appendPoint(ControlPoint(-3.0, 2.0, 1.0));
    curve->appendPoint(ControlPoint(4.0, 5.0, -6.0));
    canvas.scene.append(curve, ObjectKind::Curve);
    canvas.setActiveObject(curve, ObjectKind::Curve);
    canvas.setToolMode(tool);
    return curve;
}

// Where a click at the fractions (fx, fy) of a view lands in the view's plane through the origin.
struct Click {
    int view;
    double fx, fy;
};

QPoint spotOf(GLPelm& canvas, const Click& click) {
    return viewSpot(canvas, click.view, click.fx, click.fy);
}

// The point a click added: the one of the curve that was not there before.
ControlPoint addedPoint(const NurbsCurve& curve, const std::vector<ControlPoint>& before) {
    for (const ControlPoint& p : curve.controlPoints) {
        bool old = false;
        for (const ControlPoint& q : before)
            old = old || (p.x == q.x && p.y == q.y && p.z == q.z);
        if (!old)
            return p;
    }
    ADD_FAILURE() << "no point was added";
    return ControlPoint();
}

// Opens Viewport > New Point Depth…, types the three values and presses OK.
void typeDepth(GLObjectWindow& window, const QString& x, const QString& y, const QString& z) {
    QAction* item = window.findMenuItem(QStringLiteral("&Viewport"), QStringLiteral("New Point Depth\u2026"));
    ASSERT_NE(item, nullptr);
    const bool answered = answerModalDialog(
        window, [item] { item->trigger(); },
        [x, y, z](QWidget* modal) {
            auto* dialog = qobject_cast<NewPointDepthDialog*>(modal);
            if (!dialog)
                return false;
            typeIntoSpin(dialog->xSpin, x, Qt::Key_Tab);
            typeIntoSpin(dialog->ySpin, y, Qt::Key_Tab);
            typeIntoSpin(dialog->zSpin, z, Qt::Key_Tab);
            QTest::mouseClick(dialog->buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
            return true;
        });
    EXPECT_TRUE(answered) << "no New Point Depth dialog";
}

} // namespace

// Off, the described behaviour: the new point lies in the view's plane through the origin. On, it lies
// in the plane through the active curve's last point; the other two coordinates are the click's.
TEST(NewPointDepth, AppendedAndInsertedPointsTakeTheActiveCurvesDepthOnlyWhenOn) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow(1200, 800);
    GLPelm& canvas = *window->canvas;
    QAction* item = depthItem(*window);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isCheckable());
    EXPECT_FALSE(item->isChecked()) << "off by default";
    EXPECT_FALSE(window->readouts->depthLabel->isVisible());

    struct Case {
        int tool;
        Click click;
        int depthAxis; // along the view's eye
    };
    // Inserted points are clicked between the curve's two points as each view shows them.
    const Case cases[] = {
        {ToolMode::AppendPoint, {ViewKind::Top, 0.3, 0.4}, 1},
        {ToolMode::AppendPoint, {ViewKind::Left, 0.6, 0.3}, 0},
        {ToolMode::AppendPoint, {ViewKind::Front, 0.7, 0.6}, 2},
    };
    for (bool on : {false, true}) {
        if (item->isChecked() != on)
            item->trigger();
        ASSERT_EQ(canvas.newPointsAtCurveDepth, on);
        EXPECT_EQ(window->readouts->depthLabel->isVisible(), on);
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "on " << on << ", view " << c.click.view);
            NurbsCurve* curve = addOffsetCurve(canvas, c.tool);
            const std::vector<ControlPoint> before = curve->controlPoints;
            ControlPoint last = before.back();
            const QPoint spot = spotOf(canvas, c.click);
            ControlPoint clicked;
            ASSERT_TRUE(worldAt(canvas, c.click.view, spot, clicked));
            QTest::mouseClick(&canvas, Qt::LeftButton, {}, spot);
            ASSERT_EQ(curve->controlPoints.size(), before.size() + 1);
            ControlPoint added = addedPoint(*curve, before);
            for (int axis = 0; axis < 3; ++axis) {
                const double expected =
                    axis == c.depthAxis ? (on ? last.coordinate(axis) : 0.0) : clicked.coordinate(axis);
                EXPECT_DOUBLE_EQ(added.coordinate(axis), expected) << "axis " << axis;
            }
            if (on) {
                const QString text = window->readouts->depthLabel->text();
                EXPECT_TRUE(text.contains(QStringLiteral("active curve's depth"))) << text.toStdString();
            }
        }
    }
    // Inserting: the point goes between the two, at the depth of the last.
    NurbsCurve* curve = addOffsetCurve(canvas, ToolMode::InsertPoint);
    const std::vector<ControlPoint> before = curve->controlPoints;
    double midX = 0.0, midY = 0.0;
    {
        // The front view shows x and y: click halfway between the two points as drawn.
        ControlPoint a, b;
        const Click ends[] = {{ViewKind::Front, 0.0, 0.0}, {ViewKind::Front, 1.0, 1.0}};
        ASSERT_TRUE(worldAt(canvas, ViewKind::Front, spotOf(canvas, ends[0]), a));
        ASSERT_TRUE(worldAt(canvas, ViewKind::Front, spotOf(canvas, ends[1]), b));
        midX = ((before[0].x + before[1].x) / 2.0 - a.x) / (b.x - a.x);
        midY = ((before[0].y + before[1].y) / 2.0 - a.y) / (b.y - a.y);
    }
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, spotOf(canvas, {ViewKind::Front, midX, midY}));
    ASSERT_EQ(curve->controlPoints.size(), 3u);
    EXPECT_DOUBLE_EQ(curve->controlPoints[1].z, before.back().z);
    EXPECT_DOUBLE_EQ(curve->controlPoints[2].z, before.back().z);
}

// A typed depth places the next point; the points after it follow the curve again. The option and the
// typed depth come back after the window is made again (the setting), and one undo removes the point.
TEST(NewPointDepth, ATypedDepthPlacesTheNextPointAndTheOptionIsKept) {
    KNOTWORK_REQUIRE_APP();
    {
        auto window = showWindow(1200, 800);
        GLPelm& canvas = *window->canvas;
        NurbsCurve* curve = addOffsetCurve(canvas, ToolMode::AppendPoint);
        typeDepth(*window, QStringLiteral("7.5"), QStringLiteral("-2.25"), QStringLiteral("3"));
        EXPECT_TRUE(depthItem(*window)->isChecked()) << "typing a depth turns the option on";
        EXPECT_TRUE(window->readouts->depthLabel->isVisible());
        EXPECT_TRUE(window->readouts->depthLabel->text().contains(QStringLiteral("typed depth")))
            << window->readouts->depthLabel->text().toStdString();

        // Top view: depth y. The next point takes the typed y...
        QTest::mouseClick(&canvas, Qt::LeftButton, {}, viewSpot(canvas, ViewKind::Top, 0.3, 0.3));
        ASSERT_EQ(curve->controlPoints.size(), 3u);
        EXPECT_DOUBLE_EQ(curve->controlPoints[2].y, -2.25);
        // ...the front view's next point the z of that point, not the typed z.
        const double lastZ = curve->controlPoints[2].z;
        QTest::mouseClick(&canvas, Qt::LeftButton, {}, viewSpot(canvas, ViewKind::Front, 0.6, 0.3));
        ASSERT_EQ(curve->controlPoints.size(), 4u);
        EXPECT_DOUBLE_EQ(curve->controlPoints[3].z, lastZ);
        canvas.undo();
        canvas.undo();
        EXPECT_EQ(curve->controlPoints.size(), 2u);
    }
    auto again = showWindow(1200, 800);
    QAction* item = depthItem(*again);
    EXPECT_TRUE(item->isChecked()) << "the option is kept in the settings";
    EXPECT_TRUE(again->canvas->newPointsAtCurveDepth);
    item->trigger();
    EXPECT_FALSE(again->canvas->newPointsAtCurveDepth);
    EXPECT_FALSE(QSettings(QStringLiteral("Knotwork"), QStringLiteral("knotwork"))
                     .value(QStringLiteral("viewport/newPointsAtCurveDepth"))
                     .toBool());
}
