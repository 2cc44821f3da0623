// The File menu and the work it must never lose: the title's name and modified marker, the prompt before
// unsaved changes are dropped, Save to the current file, recent files, start folders, failures on screen.
#include "canvas/gl_pelm.h"
#include "window_test_support.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

using Choice = DialogProvider::SaveChoice;

QAction* fileItem(GLObjectWindow& window, const char* text) {
    QAction* action = window.findMenuItem(QStringLiteral("&File"), QString::fromUtf8(text));
    EXPECT_NE(action, nullptr) << text;
    return action;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every test starts with no settings: no recent files, no last folder.
bool forgetSettings() {
    QSettings(QStringLiteral("Knotwork"), QStringLiteral("knotwork")).clear();
    return true;
}

struct Fixture {
    bool forgotten = forgetSettings();
    QTemporaryDir dir;
    std::unique_ptr<GLObjectWindow> window = showWindow();
    ScriptedDialogs dialogs;
    GLPelm& canvas = *window->canvas;

    Fixture() { window->setDialogProvider(&dialogs); }
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    // A scene saved as name, then changed again.
    void savedThenChanged(const char* name) {
        canvas.NURBS_circleClicked();
        dialogs.saveNames = {path(name)};
        fileItem(*window, "Save &As\u2026")->trigger();
        canvas.NURBS_squareClicked();
    }
};

} // namespace

TEST(FileMenu, TheTitleNamesTheFileAndMarksUnsavedChanges) {
    KNOTWORK_REQUIRE_APP();
    Fixture f;
    EXPECT_EQ(f.window->windowTitle(), QStringLiteral("Untitled[*] \u2014 Knotwork"));
    EXPECT_FALSE(f.window->isWindowModified());
    f.canvas.NURBS_arcClicked();
    EXPECT_TRUE(f.window->isWindowModified());
    f.canvas.undo();
    EXPECT_FALSE(f.window->isWindowModified()) << "undone back to the saved state";
    f.canvas.redo();
    f.dialogs.saveNames = {f.path("arc")};
    fileItem(*f.window, "&Save")->trigger();
    EXPECT_EQ(f.window->windowTitle(), QStringLiteral("arc.nbs[*] \u2014 Knotwork"));
    EXPECT_FALSE(f.window->isWindowModified());
    EXPECT_EQ(f.window->statusBar->currentMessage(), QStringLiteral("Saved arc.nbs"));
    f.canvas.undo();
    EXPECT_TRUE(f.window->isWindowModified()) << "undone past the save";
}

TEST(FileMenu, NothingDropsUnsavedChangesWithoutAsking) {
    KNOTWORK_REQUIRE_APP();
    struct Case {
        const char* action;
        std::function<void(Fixture&)> run;
    };
    const Case cases[] = {
        {"New", [](Fixture& f) { fileItem(*f.window, "&New")->trigger(); }},
        {"Open",
         [](Fixture& f) {
             f.dialogs.openNames = {QStringLiteral(KNOTWORK_SOURCE_DIR "/data/examples/sphere.nbs")};
             fileItem(*f.window, "&Open\u2026")->trigger();
         }},
        {"Open Recent",
         [](Fixture& f) {
             const QList<QAction*> recent = f.window->recentMenu->actions();
             ASSERT_FALSE(recent.isEmpty());
             recent.front()->trigger();
         }},
        {"Quit", [](Fixture& f) { fileItem(*f.window, "&Quit")->trigger(); }},
        {"closing the window", [](Fixture& f) { f.window->close(); }},
    };
    for (const Case& c : cases) {
        for (Choice choice : {Choice::Cancel, Choice::Discard, Choice::Save}) {
            SCOPED_TRACE(std::string(c.action) + " answered " + std::to_string(static_cast<int>(choice)));
            Fixture f;
            f.savedThenChanged("work");
            const QByteArray onDisk = fileBytes(f.path("work.nbs"));
            const int objects = f.canvas.scene.size();
            f.dialogs.saveChoices = {choice};
            c.run(f);
            const auto asked = f.dialogs.callsOf(QStringLiteral("ask"));
            ASSERT_EQ(asked.size(), 1u);
            EXPECT_EQ(asked[0].caption, QStringLiteral("work.nbs"));
            if (choice == Choice::Cancel) {
                EXPECT_EQ(f.canvas.scene.size(), objects) << "the scene was dropped";
                EXPECT_TRUE(f.window->isVisible()) << "the window closed";
                EXPECT_TRUE(f.window->isWindowModified());
            }
            // Save writes the changes to the current file without asking for a name.
            EXPECT_EQ(fileBytes(f.path("work.nbs")) != onDisk, choice == Choice::Save);
            EXPECT_EQ(f.dialogs.callsOf(QStringLiteral("save")).size(), 1u);
        }
    }

    // Nothing to lose: nothing is asked.
    Fixture f;
    f.savedThenChanged("clean");
    f.canvas.undo();
    fileItem(*f.window, "&New")->trigger();
    EXPECT_TRUE(f.dialogs.callsOf(QStringLiteral("ask")).empty());
    EXPECT_EQ(f.canvas.scene.size(), 0);
    EXPECT_EQ(f.window->windowTitle(), QStringLiteral("Untitled[*] \u2014 Knotwork"));
    EXPECT_FALSE(f.canvas.model.history.canUndo()) << "New starts a new history";
}

TEST(FileMenu, SaveAsksForANameOnlyOnceAndSaveAsAlways) {
    KNOTWORK_REQUIRE_APP();
    Fixture f;
    f.canvas.NURBS_circleClicked();
    fileItem(*f.window, "&Save")->trigger(); // no name given: cancelled, nothing written
    EXPECT_TRUE(f.window->currentFile().isEmpty());
    EXPECT_TRUE(f.window->isWindowModified());
    f.dialogs.saveNames = {f.path("first")};
    fileItem(*f.window, "&Save")->trigger();
    f.canvas.NURBS_squareClicked();
    fileItem(*f.window, "&Save")->trigger();
    EXPECT_EQ(f.dialogs.callsOf(QStringLiteral("save")).size(), 2u);
    EXPECT_FALSE(f.window->isWindowModified());
    f.dialogs.saveNames = {f.path("second")};
    fileItem(*f.window, "Save &As\u2026")->trigger();
    EXPECT_EQ(f.window->currentFile(), f.path("second.nbs"));
    EXPECT_EQ(fileBytes(f.path("first.nbs")), fileBytes(f.path("second.nbs")));
    EXPECT_EQ(fileItem(*f.window, "Save &As\u2026")->shortcut(),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    EXPECT_EQ(fileItem(*f.window, "&New")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
}

TEST(FileMenu, RecentFilesKeepTheLastEightAndTheDialogsStartWhereTheUserWorks) {
    KNOTWORK_REQUIRE_APP();
    Fixture f;
    ASSERT_FALSE(f.window->recentMenu->isEnabled());
    f.dialogs.saveNames = {f.path("scene")};
    fileItem(*f.window, "Save &As\u2026")->trigger();
    EXPECT_EQ(f.dialogs.calls.back().startPath, QDir::homePath()) << "nothing known yet: home";
    for (int i = 0; i < 10; ++i) {
        f.canvas.NURBS_circleClicked();
        f.dialogs.saveNames = {f.path(("scene" + std::to_string(i)).c_str())};
        fileItem(*f.window, "Save &As\u2026")->trigger();
        EXPECT_EQ(f.dialogs.calls.back().startPath, f.dir.path()) << "the current file's folder";
    }
    const QStringList recent = f.window->recentFiles();
    ASSERT_EQ(recent.size(), 8);
    EXPECT_EQ(recent.front(), f.path("scene9.nbs"));
    EXPECT_EQ(recent.back(), f.path("scene2.nbs"));
    ASSERT_EQ(f.window->recentMenu->actions().size(), 8);
    EXPECT_EQ(f.window->recentMenu->actions().front()->text(), QStringLiteral("&1 scene9.nbs"));

    // A recent file opens; one that has gone leaves the list. A new window remembers the list, and
    // starts its dialogs in the last folder used.
    f.window->recentMenu->actions().at(3)->trigger();
    EXPECT_EQ(f.window->currentFile(), f.path("scene6.nbs"));
    QFile::remove(f.path("scene5.nbs"));
    f.window->recentMenu->actions().at(4)->trigger();
    EXPECT_EQ(f.dialogs.callsOf(QStringLiteral("error")).size(), 1u);
    EXPECT_FALSE(f.window->recentFiles().contains(f.path("scene5.nbs")));
    auto later = makeWindow();
    EXPECT_EQ(later->recentFiles().size(), 7);
    EXPECT_EQ(later->dialogFolder(), f.dir.path());
}

TEST(FileMenu, FailedLoadsAndSavesSayWhyOnScreenAndKeepTheScene) {
    KNOTWORK_REQUIRE_APP();
    Fixture f;
    QFile damaged(f.path("damaged.nbs"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("1garbage");
    damaged.close();
    f.canvas.NURBS_circleClicked();
    f.dialogs.saveNames = {f.path("kept")};
    fileItem(*f.window, "&Save")->trigger();
    const int objects = f.canvas.scene.size();

    struct Case {
        QString file;
        const char* reason;
    };
    const Case loads[] = {{f.path("damaged.nbs"), "entry 1"}, {f.path("missing.nbs"), "No such file"}};
    for (const Case& c : loads) {
        EXPECT_FALSE(f.window->openFile(c.file));
        const auto errors = f.dialogs.callsOf(QStringLiteral("error"));
        ASSERT_FALSE(errors.empty());
        EXPECT_EQ(errors.back().caption, QStringLiteral("Bad input file, please try again."));
        EXPECT_TRUE(errors.back().startPath.contains(QString::fromUtf8(c.reason)))
            << errors.back().startPath.toStdString();
        EXPECT_EQ(f.canvas.scene.size(), objects);
        EXPECT_EQ(f.window->currentFile(), f.path("kept.nbs"));
    }
    // A folder in place of the file: the save fails, says why, and the scene stays unsaved.
    f.canvas.NURBS_squareClicked();
    ASSERT_TRUE(QDir(f.dir.path()).mkdir(QStringLiteral("folder.nbs")));
    EXPECT_FALSE(f.window->saveFile(f.path("folder.nbs")));
    const auto errors = f.dialogs.callsOf(QStringLiteral("error"));
    EXPECT_EQ(errors.back().caption, QStringLiteral("Could not open the file to save. Please try again."));
    EXPECT_FALSE(errors.back().startPath.isEmpty());
    EXPECT_TRUE(f.window->isWindowModified());
    EXPECT_EQ(f.window->currentFile(), f.path("kept.nbs"));
}

TEST(FileMenu, TheWindowKeepsItsGeometryForTheNextStart) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow(1100, 760);
    window->close();
    const QByteArray kept = QSettings(QStringLiteral("Knotwork"), QStringLiteral("knotwork"))
                                .value(QStringLiteral("window/geometry"))
                                .toByteArray();
    ASSERT_FALSE(kept.isEmpty());
    auto next = makeWindow();
    ASSERT_TRUE(next->restoreGeometry(kept));
    EXPECT_EQ(next->size(), QSize(1100, 760));
}

TEST(FileMenu, ExportWritesTheChosenFormatAndReportsWhatItWrote) {
    KNOTWORK_REQUIRE_APP();
    Fixture f;
    f.canvas.NURBS_sphereClicked();
    const struct {
        const char* name;
        const char* filter;
        const char* written;
        const char* start;
    } cases[] = {
        {"mesh", "STL binary mesh (*.stl)", "mesh.stl", ""},
        {"shape.obj", "OBJ mesh (*.obj)", "shape.obj", "#"},
        {"exact.obj", "OBJ free-form NURBS (*.obj)", "exact.obj", "#"},
        {"cad", "STEP AP214 (*.step *.stp)", "cad.step", "ISO-10303-21;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        f.dialogs.exportChoices = {{f.path(c.name), QString::fromUtf8(c.filter)}};
        ASSERT_NE(fileItem(*f.window, "&Export\u2026"), nullptr);
        fileItem(*f.window, "&Export\u2026")->trigger();
        const QByteArray bytes = fileBytes(f.path(c.written));
        ASSERT_FALSE(bytes.isEmpty());
        EXPECT_TRUE(bytes.startsWith(c.start));
        const auto reports = f.dialogs.callsOf(QStringLiteral("report"));
        ASSERT_FALSE(reports.empty());
        EXPECT_TRUE(reports.back().caption.contains(QStringLiteral("revolution")))
            << reports.back().caption.toStdString();
        EXPECT_FALSE(f.window->statusBar->currentMessage().isEmpty());
    }
    // Every format offered, STEP and IGES among them in this build.
    EXPECT_TRUE(
        f.dialogs.callsOf(QStringLiteral("export")).front().filter.contains(QStringLiteral("IGES 5.3")));
    EXPECT_FALSE(f.window->isWindowModified() && f.window->currentFile().endsWith(QStringLiteral(".stl")))
        << "an export is not a save";

    // A folder that is not there: a message box says why.
    f.dialogs.exportChoices = {{f.path("gone/out.stl"), QStringLiteral("STL binary mesh (*.stl)")}};
    fileItem(*f.window, "&Export\u2026")->trigger();
    EXPECT_EQ(f.dialogs.callsOf(QStringLiteral("error")).size(), 1u);
}
