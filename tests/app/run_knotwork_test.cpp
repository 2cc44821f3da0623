// Tests of start-up: the no-OpenGL exit, the full-screen window, the command line and leaving the loop.
#include "app/run_knotwork.h"

#include "canvas/gl_pelm.h"
#include "gl_test_context.h"
#include "ui/gl_object_window.h"

#include <QAction>
#include <QApplication>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

struct ProcessResult {
    bool finished = false;
    int exitCode = 0;
    QString standardError;
};

ProcessResult runExecutable(const QStringList& arguments, const QProcessEnvironment& environment,
                            int waitMs) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KNOTWORK_EXECUTABLE), arguments);
    ProcessResult result;
    if (!process.waitForStarted(10000))
        return result;
    result.finished = process.waitForFinished(waitMs);
    if (!result.finished) {
        process.kill();
        process.waitForFinished(10000);
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1000;
    result.standardError = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

} // namespace

TEST(Startup, WithoutOpenGLWarnsOnceAndExitsWithMinusOne) {
    struct Case {
        const char* name;
        const char* platformVariable; // null: leave the environment's own
        QStringList arguments;
    };
    // The platform plugins offscreen and minimal cannot make a GL context here; "-platform" on the
    // command line is the toolkit's own option, taken by the application object.
    const Case cases[] = {
        {"offscreen environment", "offscreen", {}},
        {"minimal environment", "minimal", {}},
        {"platform option", nullptr, {"-platform", "offscreen"}},
        {"platform option and a scene", nullptr, {"-platform", "offscreen", "scene.nbs"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (c.platformVariable)
            environment.insert("QT_QPA_PLATFORM", c.platformVariable);
        const ProcessResult result = runExecutable(c.arguments, environment, 60000);
        ASSERT_TRUE(result.finished);
        EXPECT_EQ(result.exitCode, 255); // -1 as a process status
        EXPECT_EQ(result.standardError.count("This system has no OpenGL support. Exiting."), 1)
            << result.standardError.toStdString();
    }
}

TEST(Startup, WithOpenGLTheProgramRunsUntilClosed) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    // The same display as this test; a scene name on the command line is accepted.
    const ProcessResult result =
        runExecutable({"missing-scene.nbs"}, QProcessEnvironment::systemEnvironment(), 3000);
    EXPECT_FALSE(result.finished) << "exited with " << result.exitCode << ": "
                                  << result.standardError.toStdString();
}

TEST(Startup, HasOpenGLUnderADisplay) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    EXPECT_TRUE(hasOpenGL());
}

TEST(Startup, MainWindowIsFullScreenWithTheCanvasAtLeastWidthLess220) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    GLObjectWindow window(nullptr, nullptr);
    showMainWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(window.isFullScreen());
    EXPECT_EQ(window.size(), window.screen()->geometry().size());
    EXPECT_EQ(window.canvas->minimumWidth(), window.width() - 220);
    EXPECT_GE(window.canvas->width(), window.width() - 220);
    EXPECT_EQ(window.canvas->toolMode, ToolMode::None);
}

TEST(Startup, ExitAndItsShortcutEndTheLoopWithZeroButSettingsDoesNot) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    constexpr int stillRunning = 7;
    struct Case {
        const char* name;
        std::function<void(GLObjectWindow&)> act;
        int expected;
    };
    const Case cases[] = {
        {"File > Exit", [](GLObjectWindow& w) { w.findMenuItem("&File", "Exit")->trigger(); }, 0},
        {"Ctrl+Q",
         [](GLObjectWindow& w) {
             // Made active inside Qt: tests running at once on the same display may hold the X focus.
             QApplication::setActiveWindow(&w);
             QTest::keyClick(w.canvas, Qt::Key_Q, Qt::ControlModifier);
         },
         0},
        {"Viewport > Settings", [](GLObjectWindow& w) { w.findMenuItem("&Viewport", "Settings")->trigger(); },
         stillRunning},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GLObjectWindow window(nullptr, nullptr);
        showMainWindow(window);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QTimer::singleShot(0, &window, [&window, &c] { c.act(window); });
        // Ends the loop when nothing else did, so a fault fails the test instead of hanging it.
        QTimer::singleShot(500, &window, [] { QCoreApplication::exit(stillRunning); });
        EXPECT_EQ(QApplication::exec(), c.expected);
    }
}
