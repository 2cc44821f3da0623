// Draws docs/view_aids.png for the README: the window with a weighted curve, its curvature comb, its
// weights in sight, the picked point and the knot strip with a basis function hovered. Run under a display
// with OpenGL (xvfb-run -a); takes the output file. The settings it toggles go to a folder of its own, never
// to the user's.
#include "geometry/nurbs_curve.h"

#include "canvas/gl_pelm.h"
#include "ui/gl_object_window.h"
#include "ui/knot_strip.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
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
    const QString output = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
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
    const ControlPoint points[] = {{-12, 0, 3, 1}, {-8, 0, -5, 1},  {-3, 0, -3, 0.5}, {1, 0, 4, 2.5},
                                   {5, 0, -3, 1},  {9, 0, -5, 1.5}, {12, 0, 1, 1}};
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
    window.knotStripAction->trigger();
    settle(300); // the views give the strip its room before they are framed
    canvas.frameAll();
    settle(500);

    // The mouse over the peak of point 4's basis function: the function and its point light up, and
    // the curve's point at that parameter is marked.
    KnotStrip& strip = *window.knotStrip;
    const BasisFunctionSamples& samples = strip.samples();
    const std::vector<double>& values = samples.values.at(4);
    const std::size_t peak = std::max_element(values.begin(), values.end()) - values.begin();
    const KnotStripGeometry plot = strip.plotGeometry();
    const QPointF at(plot.xAt(samples.parameters[peak]), plot.yAt(values[peak]));
    QMouseEvent move(QEvent::MouseMove, at, strip.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&strip, &move);
    settle(300);

    // From the screen, as a user sees it: a grab of the widgets would compose the views' alpha.
    if (!window.screen()->grabWindow(window.winId()).save(output)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
