// Help: the "Keys and Mouse" window lists what the canvas and the menus really do, "About Knotwork"
// names the version, the licence and the libraries, and every control has a tool tip.
#include "canvas/gl_pelm.h"
#include "ui/about_dialog.h"
#include "ui/keys_and_mouse_dialog.h"
#include "window_test_support.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>

namespace {

QString helpText(GLObjectWindow& window) {
    QAction* item = window.findMenuItem(QStringLiteral("&Help"), QStringLiteral("Keys and Mouse"));
    if (!item)
        return QString();
    item->trigger();
    auto* dialog = window.findChild<KeysAndMouseDialog*>();
    return dialog && dialog->isVisible() ? dialog->text->toPlainText() : QString();
}

// What a canvas shows of a key's effect: the tool and the number of objects.
struct CanvasState {
    int tool;
    int objects;
    bool operator==(const CanvasState&) const = default;
};

CanvasState stateOf(GLPelm& canvas) {
    int objects = 0;
    for (SceneNode* node = canvas.scene.first; node; node = node->next)
        ++objects;
    return {canvas.toolMode, objects};
}

} // namespace

TEST(Help, KeysAndMouseListsEveryKeyThatActsOnTheCanvas) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    const QString text = helpText(*window);
    ASSERT_FALSE(text.isEmpty()) << "no Keys and Mouse window";
    // Every key that changes something in a fresh canvas with a selected curve, in no tool or in
    // Translate (where Delete acts), is named in a line of its own.
    const QStringList lines = text.split(QLatin1Char('\n'));
    std::vector<int> keys{Qt::Key_Delete};
    for (int key = Qt::Key_A; key <= Qt::Key_Z; ++key)
        keys.push_back(key);
    int acting = 0;
    for (int key : keys) {
        const QString name = QKeySequence(key).toString(QKeySequence::NativeText);
        SCOPED_TRACE(name.toStdString());
        bool acts = false;
        for (int tool : {ToolMode::Idle, ToolMode::Translate}) {
            auto canvasWindow = makeWindow();
            GLPelm& canvas = *canvasWindow->canvas;
            canvas.NURBS_circleClicked();
            canvas.setToolMode(tool);
            const CanvasState before = stateOf(canvas);
            QTest::keyClick(&canvas, static_cast<Qt::Key>(key));
            acts = acts || !(stateOf(canvas) == before);
        }
        if (!acts)
            continue;
        ++acting;
        EXPECT_TRUE(lines.contains(name)) << "not in the key table";
    }
    EXPECT_GE(acting, 11);
}

TEST(Help, EachToolsKeyChoosesTheToolItIsListedFor) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    const QString text = helpText(*window);
    for (const KeysAndMouseDialog::Tool& tool : KeysAndMouseDialog::tools()) {
        SCOPED_TRACE(tool.name.toStdString());
        EXPECT_TRUE(text.contains(tool.name));
        EXPECT_FALSE(tool.mouse.empty());
        for (const KeysAndMouseDialog::Action& action : tool.mouse)
            EXPECT_TRUE(text.contains(action.effect)) << action.effect.toStdString();
        if (!tool.key)
            continue;
        window->canvas->setToolMode(ToolMode::Idle);
        QTest::keyClick(window->canvas, static_cast<Qt::Key>(tool.key));
        EXPECT_EQ(window->canvas->toolMode, tool.toolMode);
    }
}

TEST(Help, KeysAndMouseListsEveryMenuShortcut) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    const QString text = helpText(*window);
    int shortcuts = 0;
    for (QAction* menu : window->findChild<QMenuBar*>()->actions()) {
        for (QAction* item : menu->menu()->actions()) {
            for (const QKeySequence& shortcut : item->shortcuts()) {
                ++shortcuts;
                const QString name = shortcut.toString(QKeySequence::NativeText);
                EXPECT_TRUE(text.contains(name))
                    << name.toStdString() << " for " << item->text().toStdString();
            }
        }
    }
    EXPECT_GE(shortcuts, 10);
}

TEST(Help, AboutNamesTheVersionTheLicenceAndTheLibraries) {
    KNOTWORK_REQUIRE_APP();
    auto window = showWindow();
    QAction* item = window->findMenuItem(QStringLiteral("&Help"), QStringLiteral("About Knotwork"));
    ASSERT_NE(item, nullptr);
    item->trigger();
    auto* about = window->findChild<AboutDialog*>();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    QTextDocument document;
    document.setHtml(about->text->text());
    const QString text = document.toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("Knotwork " KNOTWORK_VERSION))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("MIT")));
    EXPECT_TRUE(text.contains(QStringLiteral("Qt ") + QString::fromLatin1(qVersion())));
    EXPECT_TRUE(text.contains(QStringLiteral("OpenGL")));
    EXPECT_EQ(text.contains(QStringLiteral("Open CASCADE")), KNOTWORK_WITH_OCCT == 1);
}

TEST(Help, EveryControlHasAToolTip) {
    KNOTWORK_REQUIRE_APP();
    auto window = makeWindow();
    int controls = 0;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        // The tab bar's scroll arrows and the menu bar's overflow button are the toolkit's own.
        if (qobject_cast<QTabBar*>(widget->parentWidget()) || qobject_cast<QMenuBar*>(widget->parentWidget()))
            continue;
        QString text;
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            text = button->text();
        else if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget))
            text = spin->objectName();
        else
            continue;
        ++controls;
        EXPECT_FALSE(widget->toolTip().isEmpty())
            << widget->metaObject()->className() << " \"" << text.toStdString() << "\" ("
            << widget->objectName().toStdString() << ")";
    }
    EXPECT_GT(controls, 50);
    for (int i = 0; i < window->tabs->count(); ++i)
        EXPECT_FALSE(window->tabs->tabToolTip(i).isEmpty()) << window->tabs->tabText(i).toStdString();
}
