// Tests of the main window's frame: sizes after layout, tool buttons, menus, colours and icons.
#include "ui/gl_object_window.h"

#include "canvas/gl_pelm.h"
#include "ui/viewport_settings_dialog.h"
#include "window_test_support.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct ToolButtonCase {
    const char* text;
    QPushButton* GLObjectWindow::*button;
    QGroupBox* GLObjectWindow::*group;
    int toolMode;
};

const ToolButtonCase toolButtons[] = {
    {"&Trans", &GLObjectWindow::translateButton, &GLObjectWindow::transformGroup, ToolMode::Translate},
    {"&Scale", &GLObjectWindow::scaleButton, &GLObjectWindow::transformGroup, ToolMode::Scale},
    {"&Rotate", &GLObjectWindow::rotateButton, &GLObjectWindow::transformGroup, ToolMode::Rotate},
    {"&Pan", &GLObjectWindow::panButton, &GLObjectWindow::viewportGroup, ToolMode::Pan},
    {"&Zoom", &GLObjectWindow::zoomButton, &GLObjectWindow::viewportGroup, ToolMode::Zoom},
};

} // namespace

TEST(GLObjectWindowFrame, FixedSizesHoldAtEveryWindowSize) {
    KNOTWORK_REQUIRE_APP();
    const QSize sizes[] = {{1000, 700}, {1300, 900}, {1590, 990}};
    int column = 0;
    for (const QSize& size : sizes) {
        SCOPED_TRACE(testing::Message() << size.width() << " x " << size.height());
        auto window = showWindow(size.width(), size.height());
        EXPECT_EQ(window->predefinedGroup->size(), QSize(385, 35));
        // The tool groups keep to 175 by 75 unless the style needs more to hold their buttons whole.
        const QSize transformNeeds = window->transformGroup->minimumSizeHint();
        EXPECT_LE(window->transformGroup->width(), std::max(175, transformNeeds.width()));
        EXPECT_LE(window->transformGroup->height(), std::max(75, transformNeeds.height()));
        EXPECT_LE(window->viewportGroup->height(),
                  std::max(75, window->viewportGroup->minimumSizeHint().height()));
        // The tab column: 200 pixels or what its texts need, the same at every window size.
        EXPECT_GE(window->tabs->width(), 200);
        if (column == 0)
            column = window->tabs->width();
        EXPECT_EQ(window->tabs->width(), column);
        EXPECT_EQ(window->topStrip->height(), 15);
        // Top to bottom: strip, predefined row, canvas, tool groups; the tab column right of the canvas.
        EXPECT_LT(window->topStrip->geometry().bottom(), window->predefinedGroup->geometry().top());
        EXPECT_LT(window->predefinedGroup->geometry().bottom(), window->canvas->geometry().top());
        EXPECT_LT(window->canvas->geometry().bottom(), window->transformGroup->geometry().top());
        EXPECT_LT(window->canvas->geometry().right(), window->tabs->geometry().left());
        EXPECT_LT(window->transformGroup->geometry().right(), window->viewportGroup->geometry().left());
    }
}

TEST(GLObjectWindowFrame, ToolButtonsAreCheckable50By50AndStartOff) {
    KNOTWORK_REQUIRE_APP();
    auto window = makeWindow();
    for (const ToolButtonCase& c : toolButtons) {
        SCOPED_TRACE(c.text);
        QPushButton* button = (*window).*c.button;
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QString::fromLatin1(c.text));
        EXPECT_EQ(button->parentWidget(), (*window).*c.group);
        EXPECT_EQ(button->minimumSize(), QSize(50, 50));
        EXPECT_EQ(button->maximumSize(), QSize(50, 50));
        EXPECT_TRUE(button->isCheckable());
        EXPECT_FALSE(button->isChecked());
    }
    // Building the window chooses no tool.
    EXPECT_EQ(window->canvas->toolMode, ToolMode::None);
}

TEST(GLObjectWindowFrame, PressingAToolButtonSetsTheCanvasTool) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow(1200, 800);
    for (const ToolButtonCase& c : toolButtons) {
        SCOPED_TRACE(c.text);
        QPushButton* button = (*window).*c.button;
        window->canvas->setToolMode(ToolMode::None);
        EXPECT_FALSE(button->isChecked());
        // Press, then release off the button: the tool is taken on press, and the button shows it.
        QTest::mousePress(button, Qt::LeftButton);
        EXPECT_EQ(window->canvas->toolMode, c.toolMode);
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(-20, -20));
        EXPECT_TRUE(button->isChecked());
    }
}

// Only the button of the canvas's tool is on: choosing a tool in one group lets go of the other's.
TEST(GLObjectWindowFrame, OnlyTheButtonOfTheCurrentToolIsOn) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow(1200, 800);
    QTest::mouseClick(window->translateButton, Qt::LeftButton);
    QTest::mouseClick(window->rotateButton, Qt::LeftButton);
    EXPECT_FALSE(window->translateButton->isChecked());
    EXPECT_TRUE(window->rotateButton->isChecked());
    EXPECT_EQ(window->canvas->toolMode, ToolMode::Rotate);

    QTest::mouseClick(window->zoomButton, Qt::LeftButton);
    EXPECT_FALSE(window->rotateButton->isChecked());
    EXPECT_TRUE(window->zoomButton->isChecked());
    EXPECT_EQ(window->canvas->toolMode, ToolMode::Zoom);

    // Clicking the button that is on leaves it on and chooses its tool again.
    QTest::mouseClick(window->zoomButton, Qt::LeftButton);
    EXPECT_TRUE(window->zoomButton->isChecked());
    EXPECT_EQ(window->canvas->toolMode, ToolMode::Zoom);

    QTest::mouseClick(window->rotateButton, Qt::LeftButton);
    QTest::mouseClick(window->panButton, Qt::LeftButton);
    EXPECT_FALSE(window->zoomButton->isChecked());
    EXPECT_TRUE(window->panButton->isChecked());
    EXPECT_FALSE(window->rotateButton->isChecked());
}

TEST(GLObjectWindowFrame, MenuItemsAnswerTheirCtrlShortcutsFromAnyChild) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow(1200, 800);
    const auto* menuBar = window->findChild<QMenuBar*>();
    ASSERT_NE(menuBar, nullptr);
    ASSERT_EQ(menuBar->actions().size(), 4);
    EXPECT_EQ(menuBar->actions()[0]->text(), "&File");
    EXPECT_EQ(menuBar->actions()[1]->text(), "&Edit");
    EXPECT_EQ(menuBar->actions()[2]->text(), "&Viewport");
    EXPECT_EQ(menuBar->actions()[3]->text(), "&Help");
    EXPECT_EQ(window->layout()->menuBar(), menuBar);

    // Made active inside Qt: tests running at once on the same display may hold the X focus.
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(window->isActiveWindow());

    struct Item {
        const char* menu;
        const char* text;
        Qt::Key key;
    };
    // Exit's shortcut is tried where an event loop runs: here it would queue a quit for the next one.
    const Item items[] = {{"&File", "&Open\u2026", Qt::Key_O},
                          {"&File", "&Save", Qt::Key_S},
                          {"&File", "&Quit", Qt::Key_Q},
                          {"&Viewport", "Settings", Qt::Key_V}};
    // The file items ask the scripted dialogs (which answer as cancelled); the settings dialog is
    // closed as soon as it runs.
    ScriptedDialogs dialogs;
    window->setDialogProvider(&dialogs);
    int settingsShown = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&settingsShown] {
        if (auto* dialog = qobject_cast<ViewportSettingsDialog*>(QApplication::activeModalWidget())) {
            ++settingsShown;
            dialog->reject();
        }
    });
    closer.start(10);

    QWidget* targets[] = {window->canvas, window->tabs, window->rotateButton};
    for (const Item& item : items) {
        SCOPED_TRACE(item.text);
        QAction* action = window->findMenuItem(item.menu, item.text);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->shortcut(), QKeySequence(Qt::CTRL | item.key));
        if (item.key == Qt::Key_Q)
            continue;
        QSignalSpy triggered(action, &QAction::triggered);
        for (QWidget* target : targets) {
            // A closed modal dialog hands the activation back only later.
            QApplication::setActiveWindow(window.get());
            QTest::keyClick(target, item.key, Qt::ControlModifier);
        }
        EXPECT_EQ(triggered.count(), 3);
    }
    // Each press reached the item's own slot.
    int opens = 0, saves = 0;
    for (const ScriptedDialogs::Call& call : dialogs.calls) {
        opens += call.kind == "open";
        saves += call.kind == "save";
    }
    EXPECT_EQ(opens, 3);
    EXPECT_EQ(saves, 3);
    EXPECT_EQ(settingsShown, 3);
}

// The canvas's minimum once followed the window's width, so a window shown full screen could never
// be made smaller again.
TEST(GLObjectWindowFrame, AdjustSizeFixesTheCanvasMinimumToTheWindowMinimumLessTheColumnAnd20) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow(1000, 700);
    const int widths[] = {1000, 1500, 900};
    for (int width : widths) {
        window->resize(width, 700);
        QApplication::processEvents();
        window->adjustSize();
        QApplication::processEvents();
        EXPECT_EQ(window->canvas->minimumWidth(), window->minimumWidth() - (window->tabs->width() + 20));
        EXPECT_EQ(window->width(), width) << "adjustSize must not resize the window";
    }
}

TEST(GLObjectWindowFrame, BackgroundIsPaintedGrey) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow(1200, 800);
    const QImage image = window->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    // The window margins, and the gap right of the predefined row.
    const QRect row = window->predefinedGroup->geometry();
    const QPoint probes[] = {{2, window->height() - 2},
                             {row.right() + 40, row.center().y()},
                             {window->width() - 3, window->height() / 2}};
    for (const QPoint& probe : probes) {
        SCOPED_TRACE(testing::Message() << probe.x() << "," << probe.y());
        const QColor colour = image.pixelColor(probe * ratio);
        EXPECT_EQ(colour.red(), 160);
        EXPECT_EQ(colour.green(), 160);
        EXPECT_EQ(colour.blue(), 160);
    }
}

TEST(GLObjectWindowFrame, IconsComeFromTheWorkingDirectoryAndMissingOnesLeaveButtonsUsable) {
    KNOTWORK_REQUIRE_APP();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir("icons"));
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(dir.filePath("icons/rotate.jpg"), "JPG"));
    // A file that is no picture reads as an empty icon.
    QFile broken(dir.filePath("icons/scale.jpg"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a jpeg");
    broken.close();

    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    auto window = showWindow(1200, 800);
    QDir::setCurrent(previous);

    EXPECT_FALSE(window->rotateButton->icon().isNull());
    EXPECT_TRUE(window->scaleButton->icon().pixmap(16, 16).isNull());
    EXPECT_EQ(window->scaleButton->size(), QSize(50, 50));
    QTest::mousePress(window->scaleButton, Qt::LeftButton);
    EXPECT_EQ(window->canvas->toolMode, ToolMode::Scale);
}

TEST(GLObjectWindowFrame, ExitEndsTheEventLoopWithStatusZero) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow(1200, 800);
    QApplication::setActiveWindow(window.get());
    // Ctrl+Q from inside the running loop; the watchdog ends a loop that did not stop with a status
    // the test tells apart.
    QTimer::singleShot(0, window.get(),
                       [&window] { QTest::keyClick(window->canvas, Qt::Key_Q, Qt::ControlModifier); });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(10000);
    EXPECT_EQ(QApplication::exec(), 0);
}
