// The Curves tab's view aids: the Curvature toggle draws the active curve's comb, its teeth as long as the
// comb scale says; Weights sizes the points by their weight and writes the picked one's weight beside it.
// All are view settings kept between sessions.
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

// The widest run of the points' red in the rows through a drawn point: the width it is drawn with.
int drawnPointWidth(GLPelm& canvas, const QImage& frame, const ControlPoint& p) {
    const DrawnPosition at = drawnPosition(canvas, ViewKind::Top, p);
    const int cx = static_cast<int>(std::lround(at.x)),
              cy = frame.height() - 1 - static_cast<int>(std::lround(at.y));
    int widest = 0;
    for (int y = cy - 20; y <= cy + 20; ++y) {
        int run = 0;
        for (int x = cx - 20; x <= cx + 20; ++x) {
            const QColor c = frame.pixelColor(x, y);
            run = c.red() > 120 && c.green() < 80 && c.blue() < 80 ? run + 1 : 0;
            widest = std::max(widest, run);
        }
    }
    return widest;
}

// Near-black pixels in the box right of a drawn point, where its weight is written.
int darkPixelsBeside(GLPelm& canvas, const QImage& frame, const ControlPoint& p) {
    const DrawnPosition at = drawnPosition(canvas, ViewKind::Top, p);
    const int cx = static_cast<int>(std::lround(at.x)),
              cy = frame.height() - 1 - static_cast<int>(std::lround(at.y));
    int dark = 0;
    for (int y = cy - 22; y <= cy; ++y)
        for (int x = cx + 6; x <= cx + 50; ++x) {
            const QColor c = frame.pixelColor(x, y);
            dark += c.red() < 90 && c.green() < 90 && c.blue() < 90 ? 1 : 0;
        }
    return dark;
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

TEST(WeightsShown, PointsGrowWithTheirWeightAndThePickedOneShowsItsWeight) {
    KNOTWORK_REQUIRE_APP();
    QSettings(QStringLiteral("Knotwork"), QStringLiteral("knotwork")).remove(QStringLiteral("view"));
    const DataFolderAsWorkingDirectory inData; // for the font the weight is written in
    auto window = showWindow();
    GLPelm& canvas = *window->canvas;
    ASSERT_TRUE(canvas.textFont.loaded());
    // Points in the top view's plane, far enough apart to be measured one by one; the last point has
    // its own colour and is left out. The curve itself is hidden so no line crosses them.
    const double weights[] = {0.25, 1.0, 4.0, 16.0};
    auto* curve = new NurbsCurve;
    curve->setOrder(3);
    for (int i = 0; i < 4; ++i)
        curve->appendPoint(ControlPoint(-9.0 + 6.0 * i, 0.0, i % 2 ? 4.0 : -4.0, weights[i]));
    curve->appendPoint(ControlPoint(12.0, 0.0, 0.0));
    curve->showCurve = false;
    canvas.scene.append(curve, ObjectKind::Curve);
    canvas.setActiveObject(curve, ObjectKind::Curve);
    window->tabs->setCurrentIndex(0);

    QImage frame = canvas.grabFramebuffer();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(drawnPointWidth(canvas, frame, curve->controlPoints[i]), 7) << "weight " << weights[i];

    QTest::mouseClick(window->weightsCheck, Qt::LeftButton, {},
                      QPoint(8, window->weightsCheck->height() / 2));
    ASSERT_TRUE(window->weightsCheck->isChecked());
    frame = canvas.grabFramebuffer();
    int previous = 0;
    for (int i = 0; i < 4; ++i) {
        const int width = drawnPointWidth(canvas, frame, curve->controlPoints[i]);
        EXPECT_NEAR(width, NurbsCurve::pointSizeForWeight(weights[i]), 1.0) << "weight " << weights[i];
        EXPECT_GT(width, previous) << "a larger weight draws no larger point";
        previous = width;
    }

    // The weight is written beside the point the edit tool picks, only while the option is on.
    const ControlPoint& picked = curve->controlPoints[1];
    const int bare = darkPixelsBeside(canvas, frame, picked);
    const DrawnPosition at = drawnPosition(canvas, ViewKind::Top, picked);
    QTest::keyClick(&canvas, Qt::Key_E);
    QTest::mouseClick(
        &canvas, Qt::LeftButton, {},
        QPoint(static_cast<int>(std::lround(at.x)), canvas.height() - static_cast<int>(std::lround(at.y))));
    ASSERT_EQ(canvas.activePoint, 1);
    const int written = darkPixelsBeside(canvas, canvas.grabFramebuffer(), picked);
    EXPECT_GE(written, bare + 15) << "no weight beside the picked point";
    QTest::mouseClick(window->weightsCheck, Qt::LeftButton, {},
                      QPoint(8, window->weightsCheck->height() / 2));
    EXPECT_LE(darkPixelsBeside(canvas, canvas.grabFramebuffer(), picked), bare + 2);

    // Kept between sessions.
    QTest::mouseClick(window->weightsCheck, Qt::LeftButton, {},
                      QPoint(8, window->weightsCheck->height() / 2));
    auto again = showWindow();
    EXPECT_TRUE(again->weightsCheck->isChecked());
    EXPECT_TRUE(again->canvas->weightsShown);
}
