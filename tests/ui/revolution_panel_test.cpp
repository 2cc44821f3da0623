// The revolution panel stays usable when "Axis" opens its extra fields: "Select Rev. Curve" stays in
// sight in the scrolled Surfaces page, in a tall window and in a low one, and still starts the pick.
#include "canvas/gl_pelm.h"
#include "window_test_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTest>

namespace {
// The widget's whole rectangle lies inside the scroll area's viewport.
bool inSight(QWidget* widget, const QScrollArea& scroll) {
    const QRect seen(widget->mapTo(scroll.viewport(), QPoint(0, 0)), widget->size());
    return widget->isVisible() && scroll.viewport()->rect().contains(seen);
}
} // namespace

TEST(RevolutionPanel, SelectRevCurveStaysInSightWhenAxisOpensItsFields) {
    KNOTWORK_REQUIRE_APP();
    for (const QSize size : {QSize(1600, 1000), QSize(1000, 700)}) {
        SCOPED_TRACE(testing::Message() << size.width() << " x " << size.height());
        auto window = showWindow(size.width(), size.height());
        GLObjectWindow& w = *window;
        w.tabs->setCurrentIndex(1);
        QApplication::processEvents();
        auto* scroll = qobject_cast<QScrollArea*>(w.tabs->currentWidget());
        ASSERT_NE(scroll, nullptr);
        ASSERT_EQ(scroll->widget(), w.surfacePage);

        clickButton(w.revolutionButton);
        QApplication::processEvents();
        ASSERT_TRUE(w.revSelectButton->isVisible());
        clickButton(w.axisCheck);
        QApplication::processEvents();
        ASSERT_TRUE(w.axisCheck->isChecked());
        ASSERT_TRUE(w.axisPanel->isVisible());
        EXPECT_TRUE(inSight(w.revSelectButton, *scroll));
        EXPECT_TRUE(inSight(w.axisCheck, *scroll)); // the field just clicked is not scrolled away

        // A real click on it in its place reaches it: the pick the new surface started is toggled off.
        ASSERT_EQ(w.canvas->toolMode, ToolMode::PickRevolution);
        clickButton(w.revSelectButton);
        EXPECT_EQ(w.canvas->toolMode, ToolMode::Idle);
    }
}
