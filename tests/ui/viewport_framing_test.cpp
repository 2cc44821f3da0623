// The Viewport menu's framing items: Home and F act from anywhere in the window, and opening a file
// brings its scene into view.
// Before any Qt header: Qt's emit macro would clash with SurfaceMesh::emit.
#include "geometry/nurbs_curve.h"

#include "drawn_position.h"
#include "window_test_support.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sstream>

namespace {
NurbsCurve* addFarCurve(GLPelm& canvas) {
    auto* curve = new NurbsCurve;
    for (const ControlPoint& q :
         {ControlPoint(120, -90, 8), ControlPoint(135, -80, 12), ControlPoint(128, -99, 3)})
        curve->appendPoint(q);
    canvas.scene.append(curve, ObjectKind::Curve);
    return curve;
}

// Whether every control point of the scene's curves is drawn inside every view.
bool sceneInsideEveryView(GLPelm& canvas) {
    for (SceneNode* node = canvas.scene.first; node; node = node->next) {
        auto* curve = dynamic_cast<NurbsCurve*>(node->object);
        if (!curve)
            continue;
        for (const ControlPoint& q : curve->controlPoints)
            for (int view : {ViewKind::Top, ViewKind::Perspective, ViewKind::Left, ViewKind::Front})
                if (!drawnPosition(canvas, view, q).inside)
                    return false;
    }
    return true;
}
} // namespace

TEST(ViewportFraming, MenuItemsAnswerHomeAndFWhereverTheFocusIs) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow(1200, 800);
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(window->isActiveWindow());
    GLPelm& canvas = *window->canvas;
    NurbsCurve* far = addFarCurve(canvas);

    struct Item {
        const char* text;
        Qt::Key key;
    };
    for (const Item& item : {Item{"Frame All", Qt::Key_Home}, Item{"Frame Selected", Qt::Key_F}}) {
        SCOPED_TRACE(item.text);
        QAction* action = window->findMenuItem("&Viewport", item.text);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->shortcut(), QKeySequence(item.key));
        for (QWidget* target :
             {static_cast<QWidget*>(window->rotateButton), static_cast<QWidget*>(&canvas)}) {
            canvas.setActiveObject(far, ObjectKind::Curve);
            canvas.camera = CameraRecord{};
            for (Viewport* view : {&canvas.topView, &canvas.leftView, &canvas.frontView}) {
                view->panX = view->panY = 0.0f;
                view->zoom = 1.0f;
            }
            ASSERT_FALSE(sceneInsideEveryView(canvas));
            QSignalSpy triggered(action, &QAction::triggered);
            target->setFocus();
            QTest::keyClick(target, item.key);
            EXPECT_EQ(triggered.count(), 1);
            EXPECT_TRUE(sceneInsideEveryView(canvas));
        }
    }
}

TEST(ViewportFraming, OpeningAFileFramesItsScene) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow(1200, 800);
    GLPelm& canvas = *window->canvas;
    addFarCurve(canvas);
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath("far.scene");
    std::ostringstream out, err;
    ASSERT_TRUE(canvas.saveSceneFile(QFile::encodeName(path).constData(), out, err));
    ASSERT_FALSE(sceneInsideEveryView(canvas));
    ASSERT_TRUE(window->openFile(path));
    ASSERT_EQ(canvas.scene.size(), 1);
    EXPECT_TRUE(sceneInsideEveryView(canvas));
}
