// Draws docs/view_aids.png for the README: the window with a weighted curve, its curvature comb, its
// weights in sight and the picked point. Run under a display with OpenGL (xvfb-run -a); takes the
// output file. The settings it toggles go to a folder of its own, never to the user's.
#include "geometry/nurbs_curve.h"

#include "canvas/gl_pelm.h"
#include "ui/gl_object_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QPixmap>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

void settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_readme_picture OUTPUT.png\n");
        return 2;
    }
    QTemporaryDir settingsHome;
    qputenv("XDG_CONFIG_HOME", settingsHome.path().toLocal8Bit());
    QApplication app(argc, argv);
    // The font and icons are found from the data folder.
    QDir::setCurrent(QStringLiteral(KNOTWORK_DATA_FOLDER));

    GLObjectWindow window(nullptr, nullptr);
    window.resize(1400, 900);
    window.show();
    settle(300);
    GLPelm& canvas = *window.canvas;

    // A quartic in the top view's plane whose middle point pulls hard: the comb shows where the bend
    // tightens, the points show their weights.
    auto* curve = new NurbsCurve;
    curve->setOrder(4);
    const ControlPoint points[] = {{-12, 0, 4, 1}, {-8, 0, -5, 1}, {-3, 0, -6, 0.5}, {0, 0, 3, 2},
                                   {4, 0, -4, 1},  {9, 0, -6, 1},  {12, 0, 2, 1}};
    for (const ControlPoint& p : points)
        curve->appendPoint(p);
    canvas.scene.append(curve, ObjectKind::Curve);
    canvas.setActiveObject(curve, ObjectKind::Curve);
    canvas.model.setActivePoint(3);
    canvas.reportSelection();
    canvas.camera.eye = ControlPoint(10.0, 30.0, 30.0);
    window.tabs->setCurrentIndex(0);
    window.curvatureCheck->setChecked(true);
    window.weightsCheck->setChecked(true);
    canvas.frameAll();
    settle(500);

    // From the screen, as a user sees it: a grab of the widgets would compose the views' alpha.
    if (!window.screen()->grabWindow(window.winId()).save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
