// Start-up of the modeller, kept out of main so tests can reach every step but the application object.
#include "app/run_knotwork.h"

#include "app/command_line.h"
#include "app/opengl_probe.h"
#include "ui/gl_object_window.h"
#include "ui/scene_autosave.h"

#include "ui/knotwork_settings.h"
#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QSurfaceFormat>
#include <QTimer>

#include <iostream>

void setDefaultSurfaceFormat() {
    // Immediate mode, display lists, fixed-function lights and GLU all need the compatibility profile.
    QSurfaceFormat format;
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setDepthBufferSize(24);
    QSurfaceFormat::setDefaultFormat(format);
}

void showMainWindow(GLObjectWindow& window) {
    // The size and place the window had when it was last closed; full screen the first time. Either
    // way the canvas's minimum follows the window's, so the window can still be made smaller.
    const QByteArray geometry = knotworkSettings().value("window/geometry").toByteArray();
    if (!geometry.isEmpty() && window.restoreGeometry(geometry)) {
        window.show();
        window.adjustSize();
        return;
    }
    window.showFullScreen();
    // Full-screen is a request to the window manager, answered later or, without one, never: give
    // the window the screen at once.
    if (const QScreen* screen = window.screen())
        window.setGeometry(screen->geometry());
    window.adjustSize();
    window.show();
}

int runKnotwork(int& argc, char** argv) {
    // Help, version and the OBJ export need no display: they run before the toolkit starts.
    const CommandLine early = CommandLine::parse(argc, argv);
    if (early.runsWithoutDisplay())
        return early.runWithoutDisplay(std::cout, std::cerr);

    setDefaultSurfaceFormat();
    QApplication application(argc, argv);
    // The application data location (recovery files) follows these names.
    QCoreApplication::setOrganizationName(QStringLiteral("Knotwork"));
    QCoreApplication::setApplicationName(QStringLiteral("knotwork"));
    // Qt 6 has no style of that name: the call returns null and the default style stays.
    QApplication::setStyle(QStringLiteral("SGI"));

    // The toolkit has taken its own options out of argv by now.
    const CommandLine command = CommandLine::parse(argc, argv);
    if (command.mode != CommandLine::Window && command.mode != CommandLine::Render)
        return command.runWithoutDisplay(std::cout, std::cerr);

    // What Qt said while probing goes out after the verdict: the reason for a refusal, or the
    // warnings of a machine that works all the same.
    const OpenGLProbe openGL = probeOpenGL();
    if (!openGL.available) {
        qWarning("%s", noOpenGLMessage);
        for (const QString& message : openGL.qtMessages)
            qWarning("Qt said: %s", qUtf8Printable(message));
        return -1;
    }
    for (const QString& message : openGL.qtMessages)
        qWarning("%s", qUtf8Printable(message));
    if (command.mode == CommandLine::Render)
        return command.render(std::cout, std::cerr);

    GLObjectWindow window(nullptr, nullptr);
    showMainWindow(window);
    // A scene that cannot be read is said so in the shown window, which then starts untitled.
    if (!command.scenePath.empty()) {
        const QString path = QFile::decodeName(command.scenePath.c_str());
        QTimer::singleShot(0, &window, [&window, path] { window.openFile(path); });
    }
    // Made after the window, so it goes first: a clean exit removes its recovery files. Scenes left
    // behind are offered after the named scene is open, so a recovered one is not replaced by it.
    SceneAutosave autosave(window, SceneAutosave::defaultFolder(),
                           SceneAutosave::intervalFromSettings(knotworkSettings()));
    QTimer::singleShot(0, &autosave,
                       [&window, &autosave] { autosave.offerRecovery(window.dialogProvider()); });
    return application.exec();
}
