// Tests of start-up: the no-OpenGL exit, the full-screen window, the command line and leaving the loop.
#include "app/run_knotwork.h"

#include "app/opengl_probe.h"

#include "canvas/gl_pelm.h"
#include "gl_test_context.h"
#include "ui/gl_object_window.h"

#include <QAction>
#include <QApplication>
#include <QProcess>
#include <QScreen>
#include <QTabWidget>
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
        // What Qt says, printed after the refusal; null when it may say nothing.
        const char* qtWords;
    };
    // The platform plugins offscreen and minimal cannot show a GL widget; "-platform" on the command
    // line is the toolkit's own option, taken by the application object. Offscreen makes a context
    // when a display is at hand and then says why GL widgets fail; without one it fails silently.
    const bool display = qEnvironmentVariableIsSet("DISPLAY");
    const char* offscreenWords =
        display ? "Qt said: QOpenGLWidget is not supported on this platform" : nullptr;
    const Case cases[] = {
        {"offscreen environment", "offscreen", {}, offscreenWords},
        {"minimal environment",
         "minimal",
         {},
         "Qt said: This plugin does not support createPlatformOpenGLContext"},
        {"platform option", nullptr, {"-platform", "offscreen"}, offscreenWords},
        {"platform option and a scene", nullptr, {"-platform", "offscreen", "scene.nbs"}, offscreenWords},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (c.platformVariable)
            environment.insert("QT_QPA_PLATFORM", c.platformVariable);
        const ProcessResult result = runExecutable(c.arguments, environment, 60000);
        ASSERT_TRUE(result.finished);
        EXPECT_EQ(result.exitCode, 255); // -1 as a process status
        const QString message = QStringLiteral("This system has no OpenGL support. Exiting.");
        EXPECT_EQ(result.standardError.count(message), 1) << result.standardError.toStdString();
        if (c.qtWords) {
            // Qt's own words come after the refusal, once.
            const qsizetype words = result.standardError.indexOf(QString::fromLatin1(c.qtWords));
            EXPECT_GT(words, result.standardError.indexOf(message)) << result.standardError.toStdString();
            EXPECT_EQ(result.standardError.count(QString::fromLatin1(c.qtWords)), 1);
        }
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
    const OpenGLProbe probe = probeOpenGL();
    EXPECT_TRUE(probe.available) << probe.qtMessages.join('\n').toStdString();
}

// Also run at twice the scale, where the screen is 800 pixels wide: the canvas's minimum kept the
// window wider than the screen. Once shown, the window can still be made as small as its minimum.
TEST(Startup, MainWindowIsFullScreenAndCanShrinkToItsMinimum) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    GLObjectWindow window(nullptr, nullptr);
    showMainWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(window.isFullScreen());
    EXPECT_EQ(window.size(), window.screen()->geometry().size());
    EXPECT_EQ(window.canvas->minimumWidth(), window.minimumWidth() - (window.tabs->width() + 20));
    EXPECT_EQ(window.canvas->toolMode, ToolMode::None);

    window.showNormal();
    window.resize(window.minimumSize());
    QApplication::processEvents();
    EXPECT_EQ(window.size(), window.minimumSize());
    EXPECT_LT(window.canvas->geometry().right(), window.tabs->geometry().left());
    EXPECT_LE(window.tabs->geometry().right(), window.width());
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
        {"File > Quit", [](GLObjectWindow& w) { w.findMenuItem("&File", "&Quit")->trigger(); }, 0},
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

// Any warning while the probe widget rendered used to count as "no OpenGL".
TEST(Startup, AWarningWhileTheProbeRendersDoesNotRefuseOpenGL) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    const OpenGLProbe probe = probeOpenGL([] { qWarning("a harmless warning"); });
    EXPECT_TRUE(probe.available);
    EXPECT_TRUE(probe.qtMessages.contains("a harmless warning")) << probe.qtMessages.join('\n').toStdString();
}
