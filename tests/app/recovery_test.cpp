// The real program killed with unsaved changes, started again, and recovering them byte for byte.
#include "x_test_input.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// Polls, since the program runs in another process; false when time ran out.
template <typename Condition> bool waitFor(Condition condition, int milliseconds = 60000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > milliseconds)
            return false;
        QThread::msleep(50);
    }
    return true;
}

// The recovery scenes under the data folder, wherever the application's data location puts them.
QStringList recoveryScenes(const QString& dataHome) {
    QStringList scenes;
    QDirIterator files(dataHome, {QStringLiteral("*.nbs")}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext())
        scenes << files.next();
    return scenes;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

unsigned long long inodeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

// An X server of the test's own, so no other test's window comes between the input and the program.
class VirtualScreen {
public:
    VirtualScreen() {
        // The server writes its display number on the descriptor named, once it accepts clients.
        server.start(QStringLiteral("Xvfb"),
                     {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                      QStringLiteral("0"), QStringLiteral("1600x1000x24"), QStringLiteral("-nolisten"),
                      QStringLiteral("tcp")});
        if (!server.waitForStarted(10000))
            return;
        while (!server.canReadLine() && server.state() == QProcess::Running)
            server.waitForReadyRead(1000);
        const QByteArray number = server.readLine().trimmed();
        if (!number.isEmpty())
            display = ":" + number;
    }
    ~VirtualScreen() {
        server.terminate();
        if (!server.waitForFinished(10000))
            server.kill();
        server.waitForFinished(10000);
    }

    QProcess server;
    QByteArray display; // empty when the server did not start
};

// The program with its settings and data in home, and an autosave every second.
class Program {
public:
    Program(const QTemporaryDir& home, const QByteArray& display) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(home.path());
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral(KNOTWORK_EXECUTABLE), QStringList());
    }
    ~Program() { kill(); }
    long pid() const { return static_cast<long>(process.processId()); }
    void kill() {
        if (process.state() == QProcess::NotRunning)
            return;
        process.kill(); // SIGKILL: no clean exit of any kind
        process.waitForFinished(10000);
    }
    QString output() {
        process.waitForReadyRead(0);
        return QString::fromLocal8Bit(process.readAll());
    }

    QProcess process;
};

const std::string untitledTitle = "Untitled \u2014 Knotwork";
const std::string untitledModifiedTitle = "Untitled* \u2014 Knotwork";

} // namespace

TEST(Recovery, KilledProgramsSceneIsRecoveredAsLastAutosaved) {
    const VirtualScreen screen;
    if (screen.display.isEmpty())
        GTEST_SKIP() << "no X server of the test's own: Xvfb did not start";
    XTestInput input(screen.display.constData());
    if (!input.unavailable().empty())
        GTEST_SKIP() << "no real input for the program: " << input.unavailable();
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("config/Knotwork")));
    QFile settings(home.filePath(QStringLiteral("config/Knotwork/knotwork.conf")));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[autosave]\nintervalSeconds=1\n");
    settings.close();
    const QString dataHome = home.filePath(QStringLiteral("data"));

    // A new curve of three points in the front view (the lower left quarter of the canvas, which
    // takes most of the full-screen window's left part).
    QByteArray autosaved;
    QString autosavedPath;
    {
        Program first(home, screen.display);
        unsigned long window = 0;
        ASSERT_TRUE(waitFor([&] { return (window = input.findWindow(first.pid(), untitledTitle)) != 0; }))
            << first.output().toStdString();
        QThread::msleep(500);
        const XTestInput::Rectangle frame = input.geometry(window);
        const auto at = [&](double fx, double fy) {
            input.moveTo(frame.x + static_cast<int>(fx * frame.width),
                         frame.y + static_cast<int>(fy * frame.height));
        };
        // A press with no tool chosen changes nothing, and gives the canvas the keys.
        at(0.2, 0.7);
        input.click();
        input.key("n");
        const double spots[3][2] = {{0.15, 0.65}, {0.3, 0.7}, {0.2, 0.75}};
        for (const auto& spot : spots) {
            at(spot[0], spot[1]);
            input.click();
        }
        // Tag, curve record and three points of 56 bytes.
        constexpr int curveOfThree = 1 + 40 + 3 * 56;
        ASSERT_TRUE(waitFor([&] {
            const QStringList scenes = recoveryScenes(dataHome);
            return scenes.size() == 1 && readAll(scenes[0]).size() == curveOfThree;
        })) << "no autosave of the curve: "
            << recoveryScenes(dataHome).join(QLatin1Char(' ')).toStdString() << "\n"
            << first.output().toStdString();
        first.kill();
        autosavedPath = recoveryScenes(dataHome).value(0);
        autosaved = readAll(autosavedPath);
        ASSERT_EQ(autosaved.size(), curveOfThree);
        ASSERT_EQ(autosaved[0], '1');
    }
    const unsigned long long autosavedInode = inodeOf(autosavedPath);

    Program second(home, screen.display);
    unsigned long question = 0;
    ASSERT_TRUE(waitFor([&] { return (question = input.findWindow(second.pid(), "Knotwork")) != 0; }))
        << "the recovery question did not come: " << second.output().toStdString();
    QThread::msleep(500);
    const XTestInput::Rectangle box = input.geometry(question);
    input.moveTo(box.x + box.width / 2, box.y + box.height / 2);
    input.key("Return"); // Recover is the default answer

    ASSERT_TRUE(waitFor([&] { return input.findWindow(second.pid(), untitledModifiedTitle) != 0; }))
        << "the recovered scene is not shown as modified: " << second.output().toStdString();
    // The recovered scene, autosaved again by the second program, is what the first one last wrote.
    QString rewritten;
    ASSERT_TRUE(waitFor([&] {
        const QStringList scenes = recoveryScenes(dataHome);
        if (scenes.size() != 1 || inodeOf(scenes[0]) == autosavedInode)
            return false;
        rewritten = scenes[0];
        return true;
    })) << "the recovered scene was not autosaved again: "
        << second.output().toStdString();
    EXPECT_NE(rewritten, autosavedPath) << "the recovered files were not taken over by the new program";
    EXPECT_EQ(readAll(rewritten), autosaved);
}
