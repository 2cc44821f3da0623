// The canvas takes the room the window has: all four views beside the tab column at every size down
// to the window's minimum, with the panels scrolling instead of pushing over the views.
#include "canvas/gl_pelm.h"
#include "window_test_support.h"

#include <QApplication>
#include <QGroupBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

#include <cmath>

namespace {

// The title strip along the top of a view, as a rectangle of the canvas widget (logical pixels). The
// view's rectangle is in GL window coordinates: device pixels from the bottom left.
QRect titleStrip(const GLPelm& canvas, const Viewport& view) {
    constexpr double stripHeight = 18.0;
    const double ratio = canvas.devicePixelRatioF();
    const double top = (canvas.canvasHeight - (view.y + view.height)) / ratio;
    return QRect(QPoint(static_cast<int>(std::ceil(view.x / ratio)), static_cast<int>(std::ceil(top))),
                 QPoint(static_cast<int>((view.x + view.width) / ratio) - 1,
                        static_cast<int>(top + stripHeight / ratio) - 1));
}

// The canvas has drawn at its present size (its GL size follows a resize at the next event turn).
bool canvasFollowed(const GLPelm& canvas) {
    return QTest::qWaitFor([&canvas] {
        return canvas.canvasWidth == std::lround(canvas.width() * canvas.devicePixelRatioF()) &&
               canvas.canvasHeight == std::lround(canvas.height() * canvas.devicePixelRatioF());
    });
}

} // namespace

TEST(CanvasSpace, FourTitleStripsShowBesideTheColumnAtEverySize) {
    KNOTWORK_REQUIRE_APP();
    // Shown full size first, as the program starts, then made smaller; the last size asked for is
    // below the minimum, which the window keeps instead.
    auto window = showWindow(1600, 1000);
    window->adjustSize();
    const QSize sizes[] = {{1600, 1000}, {1000, 700}, {800, 600}, {700, 500}};
    for (const QSize& asked : sizes) {
        SCOPED_TRACE(testing::Message() << asked.width() << " x " << asked.height());
        window->resize(asked);
        QApplication::processEvents();
        const QSize expected = asked.expandedTo(window->minimumSize());
        EXPECT_EQ(window->size(), expected);
        EXPECT_LE(window->minimumWidth(), 800);
        EXPECT_LE(window->minimumHeight(), 600);
        GLPelm& canvas = *window->canvas;
        ASSERT_TRUE(canvasFollowed(canvas));

        const QRect column = window->tabs->geometry();
        EXPECT_LE(column.right(), window->width() - 1) << "the tab column runs off the window";
        EXPECT_LT(column.bottom(), window->transformGroup->geometry().top())
            << "the panels overlap the tools";
        const Viewport* const views[] = {&canvas.topView, &canvas.perspectiveView, &canvas.leftView,
                                         &canvas.frontView};
        for (const Viewport* view : views) {
            SCOPED_TRACE(view->title);
            const QRect strip = titleStrip(canvas, *view);
            ASSERT_GT(strip.width(), 0);
            ASSERT_GT(strip.height(), 0);
            EXPECT_TRUE(canvas.rect().contains(strip));
            // Seen: not covered by the column or any other control, and inside the window.
            EXPECT_TRUE(canvas.visibleRegion().contains(strip));
            const QRect inWindow = strip.translated(canvas.mapTo(window.get(), QPoint(0, 0)));
            EXPECT_TRUE(window->rect().contains(inWindow));
            EXPECT_FALSE(inWindow.intersects(column));
        }
    }
    // At the smallest size the Curves page is taller than its room: it scrolls.
    const auto* page = static_cast<QScrollArea*>(window->tabs->widget(0));
    EXPECT_GT(page->verticalScrollBar()->maximum(), 0);
}
