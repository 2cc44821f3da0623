// The colour and file dialogs: what they are asked, what reaches the canvas, and cancelling.
#include "canvas/gl_pelm.h"
#include "window_test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>

#include <iterator>
#include <vector>

namespace {

// Every name the window sends, decoded back from the 8-bit text the canvas gets.
struct SentNames {
    QStringList loaded, saved;
    std::vector<QColor> colours;

    explicit SentNames(GLObjectWindow& window) {
        QObject::connect(&window, &GLObjectWindow::loadScene,
                         [this](const char* name) { loaded << QFile::decodeName(name); });
        QObject::connect(&window, &GLObjectWindow::saveScene,
                         [this](const char* name) { saved << QFile::decodeName(name); });
        QObject::connect(&window, &GLObjectWindow::surfaceColor,
                         [this](int r, int g, int b) { colours.emplace_back(r, g, b); });
    }
};

} // namespace

TEST(WindowDialogs, SaveNamesGetTheExtensionUnlessTheyEndInIt) {
    KNOTWORK_REQUIRE_APP();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto window = showWindow();
    ScriptedDialogs dialogs;
    window->setDialogProvider(&dialogs);
    SentNames sent(*window);
    const struct {
        const char *chosen, *written;
    } cases[] = {{"scene", "scene.nbs"},
                 {"kept.nbs", "kept.nbs"},
                 {"upper.NBS", "upper.NBS.nbs"},
                 {"dotted.nbs.old", "dotted.nbs.old.nbs"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen);
        dialogs.saveNames = {dir.filePath(c.chosen)};
        window->openSaveFileManager();
        ASSERT_FALSE(sent.saved.isEmpty());
        EXPECT_EQ(sent.saved.takeLast(), dir.filePath(c.written));
        // The canvas wrote the file under that name.
        EXPECT_TRUE(QFileInfo::exists(dir.filePath(c.written)));
    }
    // The first dialog starts in the home folder, the others in the folder of the file saved last.
    ASSERT_EQ(dialogs.calls.size(), std::size(cases));
    for (const ScriptedDialogs::Call& call : dialogs.calls) {
        EXPECT_EQ(call.caption, "Choose a file to save");
        EXPECT_EQ(call.filter, "NURBS (*.nbs)");
        EXPECT_EQ(call.startPath, &call == &dialogs.calls.front() ? QDir::homePath() : dir.path());
    }
}

// Latin-1 would have turned these names into question marks: no such file could be saved or
// opened again.
TEST(WindowDialogs, NamesBeyondLatin1SaveAndLoad) {
    KNOTWORK_REQUIRE_APP();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto window = showWindow();
    ScriptedDialogs dialogs;
    window->setDialogProvider(&dialogs);
    GLPelm& canvas = *window->canvas;
    const QString names[] = {QStringLiteral("Сфера"), QStringLiteral("曲线 场景"), QStringLiteral("Ωμέγα€")};
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        canvas.NURBS_circleClicked();
        const int saved = canvas.scene.size();
        dialogs.saveNames = {dir.filePath(name)};
        window->openSaveFileManager();
        const QString file = dir.filePath(name + ".nbs");
        ASSERT_TRUE(QFileInfo::exists(file));
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(QString(name.size(), '?') + ".nbs")));

        canvas.NURBS_squareClicked();
        dialogs.saveChoices = {DialogProvider::SaveChoice::Discard};
        dialogs.openNames = {file};
        window->openLoadFileManager();
        EXPECT_EQ(canvas.scene.size(), saved);
        EXPECT_EQ(dialogs.calls.back().caption, "Choose a file to open");
        EXPECT_EQ(dialogs.calls.back().filter, "NURBS (*.nbs)");
    }
}

TEST(WindowDialogs, CancellingAnyDialogSendsNothing) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    ScriptedDialogs dialogs;
    window->setDialogProvider(&dialogs);
    SentNames sent(*window);
    clickButton(window->sphereButton);
    const int objects = window->canvas->scene.size();

    window->openLoadFileManager();
    window->openSaveFileManager();
    window->getObjectColor();
    EXPECT_EQ(dialogs.calls.size(), 3u);
    EXPECT_TRUE(sent.loaded.isEmpty());
    EXPECT_TRUE(sent.saved.isEmpty());
    EXPECT_TRUE(sent.colours.empty());
    EXPECT_EQ(window->canvas->scene.size(), objects);
}

TEST(WindowDialogs, ChosenColourIsSentInWholeNumbersAndTheNextDialogStartsWhite) {
    KNOTWORK_REQUIRE_APP();
    auto window = makeWindow();
    ScriptedDialogs dialogs;
    dialogs.colours = {QColor(255, 0, 0), QColor(12, 200, 77)};
    window->setDialogProvider(&dialogs);
    SentNames sent(*window);
    window->getObjectColor();
    window->getObjectColor();
    ASSERT_EQ(sent.colours.size(), 2u);
    EXPECT_EQ(sent.colours[0], QColor(255, 0, 0));
    EXPECT_EQ(sent.colours[1], QColor(12, 200, 77));
    for (const ScriptedDialogs::Call& call : dialogs.calls)
        EXPECT_EQ(call.initial, QColor(Qt::white));

    // Back to the toolkit's dialogs: the window no longer asks the scripted ones.
    window->setDialogProvider(nullptr);
    EXPECT_EQ(dialogs.calls.size(), 2u);
}
