// The Curves tab's Curvature toggle draws the active curve's comb in the views, its teeth as long as the
// comb scale says; both are view settings kept between sessions.
// The geometry comes before Qt: the surfaces' mesh has a member named emit, which Qt defines as a macro.
#include "geometry/nurbs_curve.h"

#include "canvas/gl_pelm.h"
#include "circular_arc.h"
#include "drawn_position.h"
#include "window_test_support.h"

#include <QCheckBox>
#include <QImage>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double radius = 6.0;

// Whether the strong blue of the line through the comb's tips is drawn within two pixels of where the
// top view shows the point at `reach` from the arc's centre, at each angle.
int tipLineHits(GLPelm& canvas, const QImage& frame, double reach) {
    int hits = 0;
    for (const double degrees : {-30.0, 0.0, 30.0}) {
        const double a = degrees * M_PI / 180.0;
        const DrawnPosition at =
            drawnPosition(canvas, ViewKind::Top, ControlPoint(reach * std::sin(a), 0.0, reach * std::cos(a)));
        if (!at.inside)
            continue;
        const int cx = static_cast<int>(std::lround(at.x)),
                  cy = frame.height() - 1 - static_cast<int>(std::lround(at.y));
        bool found = false;
        for (int dy = -2; dy <= 2 && !found; ++dy)
            for (int dx = -2; dx <= 2 && !found; ++dx) {
                const QColor c = frame.pixelColor(cx + dx, cy + dy);
                found = c.blue() > 200 && c.red() < 60 && c.green() < 130;
            }
        hits += found ? 1 : 0;
    }
    return hits;
}

} // namespace

TEST(CurvatureComb, TheToggleDrawsTheCombAndTheScaleSetsItsLength) {
    KNOTWORK_REQUIRE_APP();
    QSettings(QStringLiteral("Knotwork"), QStringLiteral("knotwork")).remove(QStringLiteral("view"));
    auto window = showWindow();
    GLPelm& canvas = *window->canvas;
    // A quarter circle in the top view's plane, about the origin, 45 degrees either side of +z: its
    // curvature is 1 / 6 everywhere.
    std::unique_ptr<NurbsCurve> arc =
        circularArc(ControlPoint(0, 0, 0), radius, ControlPoint(0, 0, 1), ControlPoint(1, 0, 0), 90.0);
    NurbsCurve* curve = arc.release();
    canvas.scene.append(curve, ObjectKind::Curve);
    canvas.setActiveObject(curve, ObjectKind::Curve);
    window->tabs->setCurrentIndex(0);
    ASSERT_FALSE(window->curvatureCheck->isChecked());
    EXPECT_EQ(tipLineHits(canvas, canvas.grabFramebuffer(), radius + 10.0 / radius), 0);

    QTest::mouseClick(window->curvatureCheck, Qt::LeftButton, {},
                      QPoint(8, window->curvatureCheck->height() / 2));
    ASSERT_TRUE(window->curvatureCheck->isChecked());
    EXPECT_EQ(tipLineHits(canvas, canvas.grabFramebuffer(), radius + 10.0 / radius), 3);

    // Scale 20 by the keyboard: the tips move out to 6 + 20 / 6.
    window->combScaleSpin->setFocus();
    window->combScaleSpin->selectAll();
    QTest::keyClicks(window->combScaleSpin, QStringLiteral("20"));
    QTest::keyClick(window->combScaleSpin, Qt::Key_Return);
    const QImage scaled = canvas.grabFramebuffer();
    EXPECT_EQ(tipLineHits(canvas, scaled, radius + 20.0 / radius), 3);
    EXPECT_EQ(tipLineHits(canvas, scaled, radius + 10.0 / radius), 0);

    // No active curve, no comb.
    canvas.setActiveObject(nullptr, ObjectKind::None);
    EXPECT_EQ(tipLineHits(canvas, canvas.grabFramebuffer(), radius + 20.0 / radius), 0);

    // Kept between sessions.
    auto again = showWindow();
    EXPECT_TRUE(again->curvatureCheck->isChecked());
    EXPECT_EQ(again->combScaleSpin->value(), 20);
    EXPECT_TRUE(again->canvas->curvatureComb);
    EXPECT_EQ(again->canvas->combScale, 20.0);
    QTest::mouseClick(again->curvatureCheck, Qt::LeftButton, {},
                      QPoint(8, again->curvatureCheck->height() / 2));
    EXPECT_FALSE(QSettings(QStringLiteral("Knotwork"), QStringLiteral("knotwork"))
                     .value(QStringLiteral("view/curvatureComb"))
                     .toBool());
}
