// The "Viewport Settings" dialog: grid step of the three flat views, resets of the views and camera.
#include "canvas/gl_pelm.h"
#include "ui/canvas_view_settings.h"
#include "ui/viewport_settings_dialog.h"
#include "window_test_support.h"

#include <QComboBox>
#include <QPushButton>
#include <QTimer>

namespace {

Viewport* allViews(GLPelm& canvas, int i) {
    Viewport* views[] = {&canvas.topView, &canvas.leftView, &canvas.frontView, &canvas.perspectiveView};
    return views[i];
}

void disturbViews(GLPelm& canvas) {
    for (int i = 0; i < 4; ++i) {
        allViews(canvas, i)->panBy(1.5f + i, -2.0f);
        allViews(canvas, i)->zoomBy(0.75f);
    }
    canvas.camera.eye.x = 7.0;
    canvas.camera.eye.z = 12.0;
    canvas.camera.rotation.y = -20.0;
}

} // namespace

TEST(ViewportSettings, GridStepChangesTheThreeFlatViewsAndRebuildsTheirGrids) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    GLPelm& canvas = *window->canvas;
    ViewportSettingsDialog dialog(&canvas, window.get());
    EXPECT_EQ(dialog.gridStepChoice->currentData().toInt(), canvas.topView.gridStepA);
    const unsigned int listBefore = canvas.frontView.gridList;
    const int perspectiveStep = canvas.perspectiveView.gridStepA;

    for (int step : {10, 1, 50}) {
        SCOPED_TRACE(step);
        dialog.gridStepChoice->setCurrentIndex(dialog.gridStepChoice->findData(step));
        for (Viewport* view : {&canvas.topView, &canvas.leftView, &canvas.frontView}) {
            EXPECT_EQ(view->gridStepA, step);
            EXPECT_EQ(view->gridStepB, step);
        }
        EXPECT_EQ(canvas.perspectiveView.gridStepA, perspectiveStep);
    }
    EXPECT_NE(canvas.frontView.gridList, listBefore) << "the grid is compiled anew";
    // Every offered step divides the grid's half extent, so a line runs through the origin.
    for (int step : gridStepChoices)
        EXPECT_EQ(200 % step, 0) << step;
}

TEST(ViewportSettings, AStepNotOfferedIsStillShownAsCurrent) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    GLPelm& canvas = *window->canvas;
    for (int step : {3, 70}) {
        setOrthographicGridStep(canvas, step);
        ViewportSettingsDialog dialog(&canvas, window.get());
        EXPECT_EQ(dialog.gridStepChoice->currentData().toInt(), step);
        // In order, so the list reads from fine to coarse.
        for (int i = 1; i < dialog.gridStepChoice->count(); ++i)
            EXPECT_LT(dialog.gridStepChoice->itemData(i - 1).toInt(),
                      dialog.gridStepChoice->itemData(i).toInt());
    }
    setOrthographicGridStep(canvas, 0);
    EXPECT_EQ(orthographicGridStep(canvas), 1) << "a step below 1 would draw no grid";
}

TEST(ViewportSettings, ResetButtonsRestoreTheirOwnStateOnly) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    GLPelm& canvas = *window->canvas;
    ViewportSettingsDialog dialog(&canvas, window.get());
    const CameraRecord start;

    disturbViews(canvas);
    clickButton(dialog.resetViewsButton);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(allViews(canvas, i)->title);
        EXPECT_EQ(allViews(canvas, i)->panX, 0.0f);
        EXPECT_EQ(allViews(canvas, i)->panY, 0.0f);
        EXPECT_EQ(allViews(canvas, i)->zoom, 1.0f);
    }
    EXPECT_EQ(canvas.camera.eye.x, 7.0) << "the camera is the other button's";

    disturbViews(canvas);
    clickButton(dialog.resetCameraButton);
    EXPECT_EQ(canvas.camera.eye.x, start.eye.x);
    EXPECT_EQ(canvas.camera.eye.z, start.eye.z);
    EXPECT_EQ(canvas.camera.rotation.y, start.rotation.y);
    EXPECT_NE(canvas.topView.zoom, 1.0f) << "the views are the other button's";
}

TEST(ViewportSettings, MenuItemOpensTheModalDialogAndTheProgramGoesOn) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    QString title;
    bool modal = false;
    // Runs inside the dialog's own loop, then closes it.
    QTimer::singleShot(0, [&title, &modal] {
        if (auto* dialog = qobject_cast<ViewportSettingsDialog*>(QApplication::activeModalWidget())) {
            title = dialog->windowTitle();
            modal = dialog->isModal();
            dialog->closeButton->click();
        }
    });
    window->findMenuItem("&Viewport", "Settings")->trigger();
    EXPECT_EQ(title, "Viewport Settings");
    EXPECT_TRUE(modal);
    EXPECT_TRUE(window->isVisible());
}
