// Builds the main window's widget tree and wires its menus and tool buttons to the canvas.
#include "ui/gl_object_window.h"

#include "canvas/gl_pelm.h"
#include "ui/canvas_key_router.h"
#include "ui/control_tips.h"
#include "ui/icon_push_button.h"
#include "ui/panel_blocks.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Caps a tool group's size, but never below what its title, frame and 50-pixel buttons need: with
// this style's group title, 175 by 75 pixels are too small for them, and the cap cut the buttons.
void capSize(QWidget* group, int maximumWidth, int maximumHeight) {
    const QSize needed = group->minimumSizeHint();
    group->setMaximumSize(std::max(maximumWidth, needed.width()), std::max(maximumHeight, needed.height()));
}

} // namespace

GLObjectWindow::GLObjectWindow(QWidget* parent, const char* name) : QWidget(parent) {
    setObjectName(QString::fromLatin1(name));

    setPanelColours(this, PanelColour::window, PanelColour::windowText);

    QMenuBar* menuBar = buildMenus();

    canvas = new GLPelm(this, "glpelm");
    // The canvas takes what the window has: the window's minimum (below) keeps room for its views.
    connect(this, &GLObjectWindow::loadScene, canvas, &GLPelm::loadTheScene);
    connect(this, &GLObjectWindow::saveScene, canvas, &GLPelm::saveTheScene);
    connect(undoAction, &QAction::triggered, this, [this] { replayStep(false); });
    connect(redoAction, &QAction::triggered, this, [this] { replayStep(true); });
    connect(canvas, &GLPelm::historyChanged, this, &GLObjectWindow::updateEditMenu);
    connect(canvas, &GLPelm::historyChanged, this, &GLObjectWindow::updateTitle);
    // The selection changes without a step: Transform follows it.
    connect(canvas, &GLPelm::stateChanged, this, &GLObjectWindow::updateEditMenu);
    updateEditMenu();
    updateTitle();

    // An empty strip: a 15-pixel gap between the menu bar and the predefined-object row.
    topStrip = makeFrame(this, "Predefined Objects", false, 0, 0);
    topStrip->setFixedSize(0, 15);

    // Room for the seven object buttons and two 70-pixel labels.
    predefinedGroup = new QFrame(this);
    predefinedGroup->setObjectName(QStringLiteral("Predefined Objects"));
    auto* predefinedRow = new QHBoxLayout(predefinedGroup);
    predefinedRow->setSpacing(0);
    predefinedRow->setContentsMargins(0, 0, 0, 0);
    setPanelColours(predefinedGroup, PanelColour::window, PanelColour::windowText);
    predefinedGroup->setFixedSize((objectButtonCount + 4) * objectButtonWidth, objectButtonHeight);

    viewportGroup = makeFrame(this, "viewport transformation", false, 6, 6);
    viewportGroup->setTitle(tr("Viewport"));
    viewportButtons = new QButtonGroup(this);
    viewportButtons->setExclusive(true);
    zoomButton = addToolButton(viewportGroup, viewportButtons, "&Zoom", nullptr);
    panButton = addToolButton(viewportGroup, viewportButtons, "&Pan", nullptr);
    // The group takes the width left of the row; keep its two buttons together at its left end.
    static_cast<QHBoxLayout*>(viewportGroup->layout())->addStretch();
    capSize(viewportGroup, QWIDGETSIZE_MAX, 75);
    connect(zoomButton, &QPushButton::pressed, canvas, &GLPelm::zoomClicked);
    connect(panButton, &QPushButton::pressed, canvas, &GLPelm::panClicked);

    transformGroup = makeFrame(this, "transformation", false, 6, 6);
    transformGroup->setTitle(tr("Object Transformations"));
    transformButtons = new QButtonGroup(this);
    transformButtons->setExclusive(true);
    translateButton = addToolButton(transformGroup, transformButtons, "&Trans", "icons/translate.jpg");
    scaleButton = addToolButton(transformGroup, transformButtons, "&Scale", "icons/scale.jpg");
    rotateButton = addToolButton(transformGroup, transformButtons, "&Rotate", "icons/rotate.jpg");
    capSize(transformGroup, 4 * toolButtonWidth - 25, 75);
    connect(translateButton, &QPushButton::pressed, canvas, &GLPelm::translateClicked);
    connect(scaleButton, &QPushButton::pressed, canvas, &GLPelm::scaleClicked);
    connect(rotateButton, &QPushButton::pressed, canvas, &GLPelm::rotateClicked);

    buildTabs();
    buildPredefinedPanel();

    mainRow = new QHBoxLayout;
    mainRow->setSpacing(2);
    mainRow->addLayout(buildCanvasColumn());
    mainRow->addWidget(tabs);

    topRow = new QHBoxLayout;
    topRow->setSpacing(0);
    topRow->addWidget(topStrip);

    toolRow = new QHBoxLayout;
    toolRow->setSpacing(2);
    toolRow->addWidget(transformGroup);
    toolRow->addWidget(viewportGroup);

    topLayout = new QVBoxLayout(this);
    topLayout->setContentsMargins(6, 6, 6, 6);
    topLayout->setSpacing(11);
    topLayout->setMenuBar(menuBar);
    topLayout->addLayout(topRow);
    topLayout->addWidget(predefinedGroup);
    topLayout->addLayout(mainRow);
    topLayout->addLayout(toolRow);
    statusBar = new QStatusBar(this);
    statusBar->setSizeGripEnabled(false);
    topLayout->addWidget(statusBar);

    // 800 by 600, or the screen where it is smaller.
    const QSize screenRoom = screen() ? screen()->availableGeometry().size() : QSize(800, 600);
    smallestSize_ = QSize(800, 600).boundedTo(screenRoom);
    showKnotStrip(knotStripAction->isChecked());
    addControlTips(*this);
    new CanvasKeyRouter(this, canvas);
    canvas->setFocus();
    followCanvas();
}

QMenuBar* GLObjectWindow::buildMenus() {
    auto* fileMenu = new QMenu(tr("&File"), this);
    fileMenu->addAction(tr("&New"), QKeySequence(Qt::CTRL | Qt::Key_N), this, &GLObjectWindow::newScene);
    fileMenu->addAction(tr("&Open\u2026"), QKeySequence(Qt::CTRL | Qt::Key_O), this,
                        &GLObjectWindow::openLoadFileManager);
    recentMenu = fileMenu->addMenu(tr("Open &Recent"));
    fileMenu->addSeparator();
    saveAction = fileMenu->addAction(tr("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S), this,
                                     &GLObjectWindow::saveCurrentScene);
    fileMenu->addAction(tr("Save &As\u2026"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this,
                        &GLObjectWindow::openSaveFileManager);
    fileMenu->addAction(tr("&Export\u2026"), QKeySequence(Qt::CTRL | Qt::Key_E), this,
                        &GLObjectWindow::exportScene);
    fileMenu->addSeparator();
    // Quit closes the window, which asks about unsaved changes; the last window closing ends the program.
    fileMenu->addAction(tr("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), this, &QWidget::close);
    rebuildRecentMenu();

    auto* editMenu = new QMenu(tr("&Edit"), this);
    undoAction = editMenu->addAction(tr("&Undo"));
    undoAction->setShortcut(QKeySequence::Undo);
    redoAction = editMenu->addAction(tr("&Redo"));
    redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    editMenu->addSeparator();
    transformAction = editMenu->addAction(tr("Transform\u2026"), this, &GLObjectWindow::openTransformDialog);

    // An item called Settings that quit the program would throw away unsaved work: it opens the
    // viewport settings instead.
    auto* viewportMenu = new QMenu(tr("&Viewport"), this);
    viewportMenu->addAction(tr("Settings"), QKeySequence(Qt::CTRL | Qt::Key_V), this,
                            &GLObjectWindow::openViewportSettings);
    // The canvas answers Home and F itself too; as shortcuts here they also act while a panel holds
    // the focus. The canvas is made after the menus, so it is looked up when they fire.
    viewportMenu->addAction(tr("Frame All"), QKeySequence(Qt::Key_Home), this,
                            [this] { canvas->frameAll(); });
    viewportMenu->addAction(tr("Frame Selected"), QKeySequence(Qt::Key_F), this,
                            [this] { canvas->frameSelected(); });
    addDepthItems(viewportMenu);
    addKnotStripItem(viewportMenu);

    auto* menuBar = new QMenuBar(this);
    menuBar->addMenu(fileMenu);
    menuBar->addMenu(editMenu);
    menuBar->addMenu(viewportMenu);
    menuBar->addMenu(buildHelpMenu());
    return menuBar;
}

QPushButton* GLObjectWindow::addToolButton(QGroupBox* group, QButtonGroup* exclusive, const char* text,
                                           const char* icon) {
    // A missing file gives an empty icon; the button is made all the same.
    auto* button = new IconPushButton(tr(text), icon ? iconPath(icon) : QString(), group);
    button->setCheckable(true);
    button->setFixedSize(toolButtonWidth, toolButtonHeight);
    group->layout()->addWidget(button);
    exclusive->addButton(button);
    return button;
}

void GLObjectWindow::adjustSize() {
    canvas->setMinimumWidth(std::max(0, minimumWidth() - (tabs->width() + 20)));
}

QAction* GLObjectWindow::findMenuItem(const QString& menuTitle, const QString& itemText) const {
    const auto* menuBar = findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
    if (!menuBar)
        return nullptr;
    for (QAction* menuAction : menuBar->actions()) {
        if (menuAction->text() != menuTitle || !menuAction->menu())
            continue;
        for (QAction* item : menuAction->menu()->actions()) {
            if (item->text() == itemText)
                return item;
        }
    }
    return nullptr;
}
