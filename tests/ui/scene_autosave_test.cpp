// Autosave and recovery against the shown window: when the recovery file is written and removed, what
// each answer to the recovery question does, and a write that fails.
#include "canvas/gl_pelm.h"
#include "scene/scene_file.h"
#include "scene/scene_model.h"
#include "ui/scene_autosave.h"

#include "scene_bytes.h"
#include "window_test_support.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <iostream>
#include <sstream>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A new curve of count points, as one step each.
void drawCurve(GLPelm& canvas, int count) {
    canvas.NURBS_freeFormClicked();
    for (int i = 0; i < count; ++i) {
        SceneStep step(canvas.model, "Append Point");
        canvas.model.appendPoint(ControlPoint(i, i * i, 0));
    }
}

// Starts an autosave now and waits for its write; false when none ended or it failed.
bool autosaveNow(SceneAutosave& autosave) {
    QSignalSpy written(&autosave, &SceneAutosave::written);
    autosave.autosave();
    // A failure before the writer starts is told at once.
    if (written.isEmpty() && !written.wait(10000))
        return false;
    return written.first().first().toBool();
}

// What standard error receives while it lives.
struct CapturedStandardError {
    std::ostringstream text;
    std::streambuf* previous = std::cerr.rdbuf(text.rdbuf());
    ~CapturedStandardError() { std::cerr.rdbuf(previous); }
};

// The files a program killed with the scene bytes unsaved leaves: ID.nbs and ID.name.
void leaveRecoveryFiles(const QString& folder, const QString& id, const QByteArray& scene,
                        const QByteArray& sceneFile) {
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(writeAll(folder + "/" + id + ".nbs", scene));
    ASSERT_TRUE(writeAll(folder + "/" + id + ".name", sceneFile));
}

// A scene of two curves, as bytes.
QByteArray twoCurveScene() {
    SceneModel model;
    for (int c = 0; c < 2; ++c) {
        SceneStep step(model, "Curve");
        model.newCurve();
        for (int i = 0; i < 3; ++i)
            model.appendPoint(ControlPoint(c, i, 1.5 * i));
    }
    return QByteArray::fromStdString(sceneBytes(model.scene));
}

} // namespace

TEST(SceneAutosave, IntervalZeroTurnsAutosavingOff) {
    KNOTWORK_REQUIRE_APP();
    QTemporaryDir home;
    const DataFolderAsWorkingDirectory data;
    auto window = showWindow();
    const QString folder = home.filePath("recovery");
    SceneAutosave autosave(*window, folder, 0);
    drawCurve(*window->canvas, 3);
    // Longer than the shortest interval there is.
    QTest::qWait(1500);
    EXPECT_TRUE(QDir(folder).isEmpty()) << "files in " << folder.toStdString();
}

TEST(SceneAutosave, AModifiedSceneIsWrittenAfterTheIntervalAndLoadsBackToItsBytes) {
    KNOTWORK_REQUIRE_APP();
    QTemporaryDir home;
    const DataFolderAsWorkingDirectory data;
    auto window = showWindow();
    window->setCurrentFile(home.filePath("part.nbs"));
    SceneAutosave autosave(*window, home.filePath("recovery"), 1);
    QSignalSpy written(&autosave, &SceneAutosave::written);
    drawCurve(*window->canvas, 4);
    EXPECT_FALSE(QFileInfo::exists(autosave.scenePath())) << "written before the interval";
    ASSERT_TRUE(written.wait(5000));
    EXPECT_TRUE(written.first().first().toBool());
    SceneList loaded;
    SceneFile file;
    ASSERT_TRUE(file.load(QFile::encodeName(autosave.scenePath()).constData(), loaded)) << file.error;
    EXPECT_EQ(sceneBytes(loaded), sceneBytes(window->canvas->scene));
    EXPECT_EQ(QFile::decodeName(readAll(
                  home.filePath("recovery/" + QFileInfo(autosave.scenePath()).completeBaseName() + ".name"))),
              home.filePath("part.nbs"));
    // Nothing changed since: the next interval writes nothing.
    EXPECT_FALSE(written.wait(1600));
}

TEST(SceneAutosave, SavingNewOpeningUndoingToTheSavedStateAndACleanExitRemoveTheRecoveryFile) {
    KNOTWORK_REQUIRE_APP();
    QTemporaryDir home;
    const DataFolderAsWorkingDirectory data;
    const QString scene = home.filePath("scene.nbs");
    ASSERT_TRUE(writeAll(scene, twoCurveScene()));
    struct Case {
        const char* name;
        std::function<void(GLObjectWindow&)> action;
    };
    const Case cases[] = {
        {"save", [&](GLObjectWindow& window) { ASSERT_TRUE(window.saveFile(home.filePath("saved.nbs"))); }},
        {"new", [](GLObjectWindow& window) { window.newScene(); }},
        {"open", [&](GLObjectWindow& window) { ASSERT_TRUE(window.openFile(scene)); }},
        {"undo to the saved state",
         [](GLObjectWindow& window) {
             while (window.canvas->model.isModified() && window.canvas->model.undo()) {
             }
         }},
    };
    auto window = showWindow();
    ScriptedDialogs dialogs;
    window->setDialogProvider(&dialogs);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SceneAutosave autosave(*window, home.filePath("recovery"), 1);
        drawCurve(*window->canvas, 2);
        ASSERT_TRUE(autosaveNow(autosave));
        ASSERT_TRUE(QFileInfo::exists(autosave.scenePath()));
        dialogs.saveChoices = {DialogProvider::SaveChoice::Discard};
        c.action(*window);
        EXPECT_FALSE(window->canvas->model.isModified());
        EXPECT_TRUE(QTest::qWaitFor([&] { return !QFileInfo::exists(autosave.scenePath()); }, 5000));
    }
    // A clean exit: the files and the lock go with the autosave.
    {
        SceneAutosave autosave(*window, home.filePath("recovery"), 1);
        drawCurve(*window->canvas, 2);
        ASSERT_TRUE(autosaveNow(autosave));
    }
    EXPECT_TRUE(QDir(home.filePath("recovery")).isEmpty());
    window->setDialogProvider(nullptr);
}

TEST(SceneAutosave, LeftBehindScenesAreOfferedAndEachAnswerDoesWhatItSays) {
    KNOTWORK_REQUIRE_APP();
    using Answer = DialogProvider::RecoveryAnswer;
    // The pid of a program that has ended, for a lock its program left.
    QProcess ended;
    ended.start(QStringLiteral("true"), QStringList());
    ASSERT_TRUE(ended.waitForStarted(10000));
    const qint64 endedPid = ended.processId();
    ASSERT_TRUE(ended.waitForFinished(10000));
    enum class Lock { None, LeftByEndedProgram, HeldByRunningProgram };
    struct Case {
        const char* name;
        Lock lock;
        Answer answer;
        bool asked, recovered, filesStay;
        bool damaged = false;
    };
    const Case cases[] = {
        {"recover", Lock::None, Answer::Recover, true, true, false},
        {"recover a damaged file", Lock::None, Answer::Recover, true, false, true, true},
        {"recover, the program's lock left behind", Lock::LeftByEndedProgram, Answer::Recover, true, true,
         false},
        {"discard", Lock::LeftByEndedProgram, Answer::Discard, true, false, false},
        {"later", Lock::None, Answer::Later, true, false, true},
        {"its program still runs", Lock::HeldByRunningProgram, Answer::Recover, false, false, true},
    };
    const QByteArray sceneBytesLeft = twoCurveScene();
    const DataFolderAsWorkingDirectory data;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir home;
        const QString folder = home.filePath("recovery");
        const QString source = home.filePath("models/part.nbs");
        leaveRecoveryFiles(folder, "4242-17", c.damaged ? QByteArray("9 not a scene") : sceneBytesLeft,
                           QFile::encodeName(source));
        const QString left = folder + "/4242-17.nbs";
        const QDateTime saved = QFileInfo(left).lastModified();
        QLockFile running(folder + "/4242-17.lock");
        if (c.lock == Lock::LeftByEndedProgram) {
            ASSERT_TRUE(writeAll(folder + "/4242-17.lock", QByteArray::number(endedPid) + "\ntrue\n\n"));
        }
        if (c.lock == Lock::HeldByRunningProgram) {
            running.setStaleLockTime(0);
            ASSERT_TRUE(running.tryLock(0));
        }

        auto window = showWindow();
        SceneAutosave autosave(*window, folder, 0);
        ScriptedDialogs dialogs;
        dialogs.recoveryAnswers.push_back(c.answer);
        autosave.offerRecovery(dialogs);

        const auto asked = dialogs.callsOf("recover");
        ASSERT_EQ(asked.size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(asked[0].caption, "part.nbs");
            EXPECT_EQ(asked[0].startPath, saved.toString(Qt::ISODateWithMs));
        }
        // A damaged file is said to be so in a box, like a damaged scene.
        EXPECT_EQ(dialogs.callsOf("error").size(), c.damaged ? 1u : 0u);
        const GLPelm& canvas = *window->canvas;
        if (c.recovered) {
            EXPECT_EQ(QByteArray::fromStdString(sceneBytes(canvas.scene)), sceneBytesLeft);
            EXPECT_EQ(window->currentFile(), source);
            EXPECT_TRUE(canvas.model.isModified());
            EXPECT_TRUE(window->isWindowModified());
            // Taken over: this program's own files now, until it saves or closes.
            EXPECT_EQ(readAll(autosave.scenePath()), sceneBytesLeft);
        } else {
            EXPECT_EQ(canvas.scene.size(), 0);
            EXPECT_FALSE(canvas.model.isModified());
            EXPECT_TRUE(window->currentFile().isEmpty());
        }
        EXPECT_EQ(QFileInfo::exists(left), c.filesStay);
        EXPECT_EQ(QFileInfo::exists(folder + "/4242-17.name"), c.filesStay);
        if (c.lock != Lock::HeldByRunningProgram) {
            EXPECT_FALSE(QFileInfo::exists(folder + "/4242-17.lock")) << "the lock outlived the question";
        }
        // What stays is offered again at the next start, unless its program runs.
        ScriptedDialogs again;
        SceneAutosave(*window, folder, 0).offerRecovery(again);
        EXPECT_EQ(again.callsOf("recover").size(),
                  c.filesStay && c.lock != Lock::HeldByRunningProgram ? 1u : 0u);
    }
}

TEST(SceneAutosave, TheQuestionNamesTheSceneAndItsDateAndReturnRecovers) {
    KNOTWORK_REQUIRE_APP();
    QTemporaryDir home;
    const QString folder = home.filePath("recovery");
    leaveRecoveryFiles(folder, "99-1", twoCurveScene(), QByteArray());
    const QDateTime saved = QFileInfo(folder + "/99-1.nbs").lastModified();
    const DataFolderAsWorkingDirectory data;
    auto window = showWindow();
    SceneAutosave autosave(*window, folder, 0);
    QString text;
    QStringList buttons;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        text = box->text();
        for (QAbstractButton* button : box->buttons())
            buttons << button->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    DialogProvider toolkit;
    autosave.offerRecovery(toolkit);
    EXPECT_EQ(text, QString("Knotwork did not close properly. Recover the unsaved scene Untitled from %1?")
                        .arg(QLocale().toString(saved, QLocale::ShortFormat)));
    buttons.sort();
    EXPECT_EQ(buttons, QStringList({"&Discard", "&Later", "&Recover"}));
    EXPECT_EQ(window->canvas->scene.size(), 2);
    EXPECT_TRUE(window->canvas->model.isModified());
}

TEST(SceneAutosave, AFailedWriteKeepsTheLastRecoveryFileAndSaysSoOnceWithoutADialog) {
    KNOTWORK_REQUIRE_APP();
    QTemporaryDir home;
    const DataFolderAsWorkingDirectory data;
    auto window = showWindow();
    GLPelm& canvas = *window->canvas;
    {
        SCOPED_TRACE("the recovery file read-only");
        SceneAutosave autosave(*window, home.filePath("recovery"), 1);
        drawCurve(canvas, 2);
        ASSERT_TRUE(autosaveNow(autosave));
        const QByteArray last = readAll(autosave.scenePath());
        // The crash-safe writer refuses a file its owner may not write, even for root.
        ASSERT_TRUE(QFile::setPermissions(autosave.scenePath(), QFileDevice::ReadOwner));
        CapturedStandardError error;
        for (int attempt = 0; attempt < 2; ++attempt) {
            drawCurve(canvas, 1);
            EXPECT_FALSE(autosaveNow(autosave));
        }
        EXPECT_EQ(readAll(autosave.scenePath()), last);
        EXPECT_EQ(error.text.str().find("knotwork: autosave failed"), 0u) << error.text.str();
        EXPECT_EQ(error.text.str().find("autosave failed", 11), std::string::npos) << error.text.str();
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        QFile::setPermissions(autosave.scenePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    {
        SCOPED_TRACE("the folder beneath a file");
        ASSERT_TRUE(writeAll(home.filePath("file"), "not a folder"));
        SceneAutosave autosave(*window, home.filePath("file/recovery"), 1);
        CapturedStandardError error;
        for (int attempt = 0; attempt < 2; ++attempt) {
            drawCurve(canvas, 1);
            EXPECT_FALSE(autosaveNow(autosave));
        }
        EXPECT_EQ(error.text.str().find("knotwork: autosave failed"), 0u) << error.text.str();
        EXPECT_EQ(error.text.str().find("autosave failed", 11), std::string::npos) << error.text.str();
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

TEST(SceneAutosave, TheIntervalComesFromTheSettings) {
    QTemporaryDir home;
    struct Case {
        const char* stored; // null: no such key
        int seconds;
    };
    const Case cases[] = {{nullptr, 60}, {"0", 0}, {"5", 5}, {"-3", 0}, {"soon", 60}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "absent");
        QSettings settings(home.filePath("knotwork.conf"), QSettings::IniFormat);
        settings.clear();
        if (c.stored)
            settings.setValue("autosave/intervalSeconds", c.stored);
        EXPECT_EQ(SceneAutosave::intervalFromSettings(settings), c.seconds);
    }
}
