// What the window shows of the canvas: the tool on its buttons, in the status bar and as the cursor;
// the readouts of the selection and the cursor; why a curve draws nothing; the selected surface's
// settings on the Surfaces tab.
// The surfaces come before Qt: their mesh has a member named emit, which Qt defines as a macro.
#include "geometry/nurbs_curve.h"
#include "surfaces/curve_surface.h"
#include "surfaces/revolution_surface.h"

#include "canvas/gl_pelm.h"
#include "ui/status_readouts.h"
#include "window_test_support.h"

#include <QCheckBox>
#include <QCursor>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <vector>

namespace {

QString coordinate(double value) {
    return QString::number(value, 'f', 2);
}

// Three spots of the front view, left to right, where a new curve gets its points.
std::vector<QPoint> frontSpots(GLPelm& canvas) {
    return {viewSpot(canvas, ViewKind::Front, 0.3, 0.6), viewSpot(canvas, ViewKind::Front, 0.5, 0.35),
            viewSpot(canvas, ViewKind::Front, 0.7, 0.6)};
}

// N, then a click at each spot: a new curve through them, the active object.
NurbsCurve* drawCurve(GLPelm& canvas, const std::vector<QPoint>& spots) {
    QTest::keyClick(&canvas, Qt::Key_N);
    for (const QPoint& spot : spots)
        QTest::mouseClick(&canvas, Qt::LeftButton, {}, spot);
    return canvas.activeCurve();
}

std::vector<QPushButton*> toolButtons(GLObjectWindow& w) {
    return {w.translateButton, w.scaleButton,       w.rotateButton,       w.zoomButton,
            w.panButton,       w.insertButton,      w.smoothButton,       w.deleteButton,
            w.revSelectButton, w.coonsSelectButton, w.extrudeSelectButton};
}

// Exactly `on` of the window's tool, editing and pick buttons is checked; none for null.
void expectOnlyChecked(GLObjectWindow& window, const QPushButton* on) {
    for (QPushButton* button : toolButtons(window))
        EXPECT_EQ(button->isChecked(), button == on) << button->text().toStdString();
}

} // namespace

// ---- The current tool is always visible ----

TEST(ToolShown, ButtonsStatusLineAndCursorFollowEveryToolChange) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    GLObjectWindow& w = *window;
    GLPelm& canvas = *w.canvas;
    w.tabs->setCurrentIndex(1);
    const auto key = [&canvas](Qt::Key k) { return [&canvas, k] { QTest::keyClick(&canvas, k); }; };
    const auto click = [](QPushButton* b) { return [b] { clickButton(b); }; };
    struct Case {
        const char* what;
        std::function<void()> act;
        int mode;
        QPushButton* on;
        const char* line; // how the status line starts
        Qt::CursorShape cursor;
    };
    const Case cases[] = {
        {"Z", key(Qt::Key_Z), ToolMode::Zoom, w.zoomButton, "Zoom: ", Qt::SizeHorCursor},
        // The other group's button lets go: only the tool's own button is on.
        {"T after Z", key(Qt::Key_T), ToolMode::Translate, w.translateButton,
         "Translate: ", Qt::SizeAllCursor},
        {"A", key(Qt::Key_A), ToolMode::AppendPoint, w.insertButton,
         "Append: click in a view to add a point after the last one", Qt::CrossCursor},
        {"E", key(Qt::Key_E), ToolMode::EditPoint, w.smoothButton, "Edit: ", Qt::CrossCursor},
        {"D", key(Qt::Key_D), ToolMode::DeletePoint, w.deleteButton, "Delete: ", Qt::CrossCursor},
        {"I", key(Qt::Key_I), ToolMode::InsertPoint, nullptr, "Insert: ", Qt::CrossCursor},
        {"S", key(Qt::Key_S), ToolMode::Scale, w.scaleButton, "Scale: ", Qt::SizeFDiagCursor},
        {"R", key(Qt::Key_R), ToolMode::Rotate, w.rotateButton, "Rotate: ", Qt::ClosedHandCursor},
        {"P", key(Qt::Key_P), ToolMode::Pan, w.panButton, "Pan: ", Qt::OpenHandCursor},
        {"Zoom button", click(w.zoomButton), ToolMode::Zoom, w.zoomButton, "Zoom: ", Qt::SizeHorCursor},
        {"Coons type button", click(w.coonsButton), ToolMode::PickCoons, w.coonsSelectButton,
         "Pick Coons Curves: ", Qt::PointingHandCursor},
        {"Coons select button again", click(w.coonsSelectButton), ToolMode::Idle, nullptr,
         "No tool: ", Qt::ArrowCursor},
        {"Extrude type button", click(w.extrudeButton), ToolMode::PickExtrusion, w.extrudeSelectButton,
         "Pick Extrusion Curves: ", Qt::PointingHandCursor},
        {"Trans button", click(w.translateButton), ToolMode::Translate, w.translateButton,
         "Translate: ", Qt::SizeAllCursor},
        {"N", key(Qt::Key_N), ToolMode::AppendPoint, w.insertButton, "Append: ", Qt::CrossCursor},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.act();
        ASSERT_EQ(canvas.toolMode, c.mode);
        expectOnlyChecked(w, c.on);
        EXPECT_TRUE(w.readouts->toolLabel->text().startsWith(QString::fromUtf8(c.line)))
            << w.readouts->toolLabel->text().toStdString();
        EXPECT_EQ(canvas.cursor().shape(), c.cursor);
    }
}

// The pick tool ends by itself after the last curve: the buttons show the tool it ends in.
TEST(ToolShown, SwitchAfterTheLastPickShowsOnTheButtons) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    GLPelm& canvas = *window->canvas;
    window->tabs->setCurrentIndex(1);
    const std::vector<QPoint> spots = frontSpots(canvas);
    NurbsCurve* curve = drawCurve(canvas, spots);
    ASSERT_NE(curve, nullptr);
    // Select nothing, so the revolution button makes an empty surface waiting for its profile.
    QTest::keyClick(&canvas, Qt::Key_T);
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, viewSpot(canvas, ViewKind::Front, 0.95, 0.95));
    ASSERT_EQ(canvas.activeObject, nullptr);
    clickButton(window->revolutionButton);
    ASSERT_EQ(canvas.toolMode, ToolMode::PickRevolution);
    expectOnlyChecked(*window, window->revSelectButton);
    // A click that takes nothing says so on the status bar, and the tool stays.
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, viewSpot(canvas, ViewKind::Front, 0.95, 0.95));
    EXPECT_EQ(window->statusBar->currentMessage(),
              QStringLiteral("No curve here: click on a curve to pick it"));
    expectOnlyChecked(*window, window->revSelectButton);

    QTest::mouseClick(&canvas, Qt::LeftButton, {}, spots.front());
    ASSERT_NE(curve->surfaceLink, nullptr) << "the click must take the curve as the profile";
    EXPECT_EQ(canvas.toolMode, ToolMode::Translate);
    expectOnlyChecked(*window, window->translateButton);
    EXPECT_TRUE(window->readouts->toolLabel->text().startsWith(QStringLiteral("Translate: ")));
}

TEST(ToolShown, MessagesThatComeAndGoLeaveTheReadouts) {
    KNOTWORK_REQUIRE_APP();
    for (const QSize size : {QSize(1400, 1000), QSize(800, 600)}) {
        SCOPED_TRACE(size.width());
        auto window = showWindow(size.width(), size.height());
        GLPelm& canvas = *window->canvas;
        drawCurve(canvas, frontSpots(canvas));
        const StatusReadouts& r = *window->readouts;
        const QString tool = r.toolLabel->text(), object = r.objectLabel->text();
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(window->saveFile(folder.filePath(QStringLiteral("three.nbs"))));
        const QString message = window->statusBar->currentMessage();
        EXPECT_EQ(message, QStringLiteral("Saved three.nbs"));
        for (const QLabel* label : {r.toolLabel, r.objectLabel})
            EXPECT_TRUE(label->isVisible()) << label->objectName().toStdString();
        EXPECT_EQ(r.toolLabel->text(), tool);
        EXPECT_EQ(r.objectLabel->text(), object);
        EXPECT_FALSE(tool.isEmpty());
        // The message is drawn left of the readouts: they leave it room, however narrow the window.
        EXPECT_GT(r.panel->geometry().left(), window->statusBar->fontMetrics().horizontalAdvance(message));
    }
}

// ---- Readouts ----

TEST(Readouts, ActiveObjectAndPickedPointFollowTheSelection) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    GLPelm& canvas = *window->canvas;
    const StatusReadouts& r = *window->readouts;
    EXPECT_EQ(r.objectLabel->text(), QStringLiteral("No object selected"));
    const std::vector<QPoint> spots = frontSpots(canvas);
    NurbsCurve* curve = drawCurve(canvas, spots);
    ASSERT_NE(curve, nullptr);
    EXPECT_EQ(r.objectLabel->text(),
              QStringLiteral("Curve: 3 points, order %1, open with interpolation").arg(curve->order));
    EXPECT_TRUE(r.pointLabel->text().isEmpty());

    // Edit: a click on the middle point picks it; the readout shows where the click put it.
    QTest::keyClick(&canvas, Qt::Key_E);
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, spots[1]);
    ASSERT_EQ(canvas.activePoint, 1);
    ControlPoint p;
    ASSERT_TRUE(worldAt(canvas, ViewKind::Front, spots[1], p));
    EXPECT_EQ(r.pointLabel->text(), QStringLiteral("Point 2 of 3: (%1, %2, %3), weight 1.00")
                                        .arg(coordinate(p.x), coordinate(p.y), coordinate(0.0)));
    // A middle-button drag changes the weight; the readout follows.
    QTest::mousePress(&canvas, Qt::MiddleButton, {}, spots[1]);
    QTest::mouseMove(&canvas, spots[1] + QPoint(30, -30));
    QTest::mouseRelease(&canvas, Qt::MiddleButton, {}, spots[1] + QPoint(30, -30));
    ASSERT_NE(curve->weight(1), 1.0);
    EXPECT_TRUE(r.pointLabel->text().endsWith(QStringLiteral("weight ") + coordinate(curve->weight(1))))
        << r.pointLabel->text().toStdString();

    window->tabs->setCurrentIndex(1);
    clickButton(window->coonsButton);
    EXPECT_EQ(r.objectLabel->text(), QStringLiteral("Coons patch: u 10, v 10, 0 of 4 curves"));
    EXPECT_TRUE(r.pointLabel->text().isEmpty());
}

TEST(Readouts, CursorReadoutGivesTheWorldPointInFlatViewsOnly) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    GLPelm& canvas = *window->canvas;
    const QLabel& readout = *window->readouts->cursorLabel;
    const struct {
        int view;
        const char* format;
        int first, second; // the axes the view's plane shows
    } cases[] = {{ViewKind::Front, "Front: x %1, y %2", 0, 1},
                 {ViewKind::Top, "Top: x %1, z %2", 0, 2},
                 {ViewKind::Left, "Left: y %1, z %2", 1, 2},
                 {ViewKind::Perspective, "", 0, 0}};
    // The pointer itself goes into the canvas first: the display server's own enter and leave
    // events for it must not arrive in the middle of the moves below.
    QCursor::setPos(canvas.mapToGlobal(viewSpot(canvas, ViewKind::Perspective, 0.5, 0.5)));
    EXPECT_TRUE(QTest::qWaitFor([&canvas] { return canvas.underMouse(); }));
    QApplication::processEvents();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.view);
        for (const QPointF& at : {QPointF(0.2, 0.7), QPointF(0.8, 0.4)}) {
            const QPoint spot = viewSpot(canvas, c.view, at.x(), at.y());
            hoverOver(canvas, spot);
            ControlPoint p;
            if (!worldAt(canvas, c.view, spot, p)) {
                EXPECT_TRUE(readout.text().isEmpty()) << readout.text().toStdString();
                continue;
            }
            const double xyz[] = {p.x, p.y, p.z};
            EXPECT_EQ(readout.text(),
                      QString::fromUtf8(c.format).arg(coordinate(xyz[c.first]), coordinate(xyz[c.second])));
        }
    }
    hoverOver(canvas, viewSpot(canvas, ViewKind::Front, 0.5, 0.5));
    EXPECT_FALSE(readout.text().isEmpty());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&canvas, &leave);
    EXPECT_TRUE(readout.text().isEmpty());
}

// ---- Say why instead of failing silently ----

TEST(SayWhy, StatusBarSaysWhyACurveWithTooFewPointsHasNoCurve) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    GLPelm& canvas = *window->canvas;
    const QLabel& warning = *window->readouts->warningLabel;
    NurbsCurve* curve = drawCurve(canvas, frontSpots(canvas));
    ASSERT_NE(curve, nullptr);
    EXPECT_TRUE(warning.isHidden());
    typeIntoSpin(window->orderSpin, QStringLiteral("5"));
    ASSERT_EQ(curve->order, 5);
    EXPECT_EQ(warning.text(), QStringLiteral("Order 5 needs at least 5 points (this curve has 3)"));
    EXPECT_TRUE(warning.isVisible());

    // Append is still on: one more point says 4, the fifth makes the curve and the warning goes.
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, viewSpot(canvas, ViewKind::Front, 0.8, 0.3));
    EXPECT_EQ(warning.text(), QStringLiteral("Order 5 needs at least 5 points (this curve has 4)"));
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, viewSpot(canvas, ViewKind::Front, 0.85, 0.7));
    ASSERT_EQ(curve->controlPoints.size(), 5u);
    EXPECT_TRUE(warning.isHidden());
}

TEST(SayWhy, SurfacesTabShowsTheSelectedSurfacesOwnSettings) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    GLObjectWindow& w = *window;
    w.tabs->setCurrentIndex(1);
    clickButton(w.sphereButton);
    auto* profile = w.canvas->activeCurve();
    ASSERT_NE(profile, nullptr);
    auto* sphere = dynamic_cast<RevolutionSurface*>(profile->surfaceLink);
    ASSERT_NE(sphere, nullptr);
    EXPECT_TRUE(w.revPanel->isVisible());
    clickButton(w.gradientCheck);
    typeIntoSpin(w.uIncSpin, QStringLiteral("20"));
    ASSERT_TRUE(sphere->gradient);
    ASSERT_EQ(sphere->uParamInc, 20);

    // A new Coons patch is wireframe with its own increments: the tab says so.
    clickButton(w.coonsButton);
    auto* patch = dynamic_cast<CurveSurface*>(w.canvas->activeObject);
    ASSERT_NE(patch, nullptr);
    EXPECT_TRUE(w.wireframeCheck->isChecked());
    EXPECT_FALSE(w.gradientCheck->isChecked());
    EXPECT_EQ(w.uIncSpin->value(), patch->uParamInc);
    EXPECT_EQ(w.vIncSpin->value(), patch->vParamInc);
    EXPECT_TRUE(w.coonsButton->isChecked());
    EXPECT_TRUE(w.coonsPanel->isVisible());
    EXPECT_FALSE(w.revPanel->isVisible());
    // Showing them changed nothing on either surface.
    EXPECT_TRUE(sphere->gradient);
    EXPECT_EQ(sphere->uParamInc, 20);

    // Edit > Undo takes the patch back and selects the profile again: its surface's settings return.
    w.undoAction->trigger();
    ASSERT_EQ(w.canvas->activeObject, profile);
    EXPECT_TRUE(w.gradientCheck->isChecked());
    EXPECT_EQ(w.uIncSpin->value(), 20);
    EXPECT_EQ(w.vIncSpin->value(), sphere->vParamInc);
    EXPECT_EQ(w.degreesSpin->value(), static_cast<int>(sphere->degrees));
    EXPECT_TRUE(w.revolutionButton->isChecked());
    EXPECT_TRUE(w.revPanel->isVisible());
    EXPECT_FALSE(w.coonsPanel->isVisible());
    // The fields the canvas reported after the undo sent nothing back: the patch can come again.
    EXPECT_TRUE(w.canvas->model.history.canRedo());
}

// A rebuild that takes long says how far it is, then that it is done.
TEST(ToolShown, ALongRebuildShowsItsProgressAndItsEnd) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    GLPelm& canvas = *window->canvas;
    canvas.NURBS_sphereClicked();
    auto* profile = dynamic_cast<NurbsCurve*>(canvas.activeObject);
    auto* sphere = profile ? dynamic_cast<RevolutionSurface*>(profile->surfaceLink) : nullptr;
    ASSERT_NE(sphere, nullptr);
    canvas.rebuildProgressAfterMs = 0;
    sphere->setShading(true);
    sphere->setUParamInc(700);
    sphere->setVParamInc(700);
    canvas.update();
    const QRegularExpression progress(QStringLiteral("^Rebuilding the surface: \\d{1,3} %$"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return progress.match(window->statusBar->currentMessage()).hasMatch(); }, 60000));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return window->statusBar->currentMessage() == QStringLiteral("Surface rebuilt"); }, 60000));
}
