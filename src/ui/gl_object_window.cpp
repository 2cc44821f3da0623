// Builds the main window's widget tree and wires its menus and tool buttons to the canvas.
#include "gl_object_window.h"

#include "asset_locator.h"
#include "gl_pelm.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// The working directory first, then the data folders beside the executable and installed.
QString iconPath(const char* name) { return QString::fromStdString(AssetLocator::find(name)); }

void setColours(QWidget* widget, const QColor& background, const QColor& foreground) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, foreground);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QGroupBox* makeGroup(QWidget* parent, const char* name, const QString& title, int spacing, int margin) {
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(QString::fromLatin1(name));
    auto* row = new QHBoxLayout(group);
    row->setSpacing(spacing);
    row->setContentsMargins(margin, margin, margin, margin);
    return group;
}

} // namespace

GLObjectWindow::GLObjectWindow(QWidget* parent, const char* name) : QWidget(parent) {
    setObjectName(QString::fromLatin1(name));

    setColours(this, QColor(160, 160, 160), QColor(20, 20, 20));

    QMenuBar* menuBar = buildMenus();

    canvas = new GLPelm(this, "glpelm");
    canvas->setMinimumWidth(width());

    // An empty strip: a 15-pixel gap between the menu bar and the predefined-object row.
    topStrip = makeGroup(this, "Predefined Objects", QString(), 0, 0);
    topStrip->setFixedSize(0, 15);

    // Room for the seven object buttons and two 70-pixel labels.
    predefinedGroup = makeGroup(this, "Predefined Objects", QString(), 0, 0);
    setColours(predefinedGroup, QColor(160, 160, 160), QColor(20, 20, 20));
    predefinedGroup->setFixedSize((objectButtonCount + 4) * objectButtonWidth, objectButtonHeight);

    viewportGroup = makeGroup(this, "viewport transformation", tr("Viewport"), 6, 6);
    viewportGroup->setMaximumHeight(75);
    viewportButtons = new QButtonGroup(this);
    viewportButtons->setExclusive(true);
    zoomButton = addToolButton(viewportGroup, viewportButtons, "&Zoom", nullptr);
    panButton = addToolButton(viewportGroup, viewportButtons, "&Pan", nullptr);
    // The group takes the width left of the row; keep its two buttons together at its left end.
    static_cast<QHBoxLayout*>(viewportGroup->layout())->addStretch();
    connect(zoomButton, &QPushButton::pressed, canvas, &GLPelm::zoomClicked);
    connect(panButton, &QPushButton::pressed, canvas, &GLPelm::panClicked);

    transformGroup = makeGroup(this, "transformation", tr("Object Transformations"), 6, 6);
    transformGroup->setMaximumHeight(75);
    transformGroup->setMaximumWidth(4 * toolButtonWidth - 25);
    transformButtons = new QButtonGroup(this);
    transformButtons->setExclusive(true);
    translateButton = addToolButton(transformGroup, transformButtons, "&Trans", "icons/translate.jpg");
    scaleButton = addToolButton(transformGroup, transformButtons, "&Scale", "icons/scale.jpg");
    rotateButton = addToolButton(transformGroup, transformButtons, "&Rotate", "icons/rotate.jpg");
    connect(translateButton, &QPushButton::pressed, canvas, &GLPelm::translateClicked);
    connect(scaleButton, &QPushButton::pressed, canvas, &GLPelm::scaleClicked);
    connect(rotateButton, &QPushButton::pressed, canvas, &GLPelm::rotateClicked);

    buildTabs();
    buildPredefinedPanel();

    mainRow = new QHBoxLayout;
    mainRow->setSpacing(2);
    mainRow->addWidget(canvas);
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
}

QMenuBar* GLObjectWindow::buildMenus() {
    // Open and Save get their dialogs later; until then they are shown but do nothing.
    auto* fileMenu = new QMenu(tr("&File"), this);
    fileMenu->addAction(tr("Open"), QKeySequence(Qt::CTRL | Qt::Key_O));
    fileMenu->addAction(tr("Save"), QKeySequence(Qt::CTRL | Qt::Key_S));
    QAction* exitAction = fileMenu->addAction(tr("Exit"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(exitAction, &QAction::triggered, qApp, &QCoreApplication::quit);

    // No settings dialog exists yet, so the item does nothing rather than quit.
    auto* viewportMenu = new QMenu(tr("&Viewport"), this);
    viewportMenu->addAction(tr("Settings"), QKeySequence(Qt::CTRL | Qt::Key_V));

    auto* menuBar = new QMenuBar(this);
    menuBar->addMenu(fileMenu);
    menuBar->addMenu(viewportMenu);
    return menuBar;
}

QPushButton* GLObjectWindow::addToolButton(QGroupBox* group, QButtonGroup* exclusive, const char* text,
                                           const char* icon) {
    auto* button = new QPushButton(tr(text), group);
    // A missing file gives an empty icon; the button is made all the same.
    if (icon)
        button->setIcon(QIcon(QPixmap(iconPath(icon))));
    button->setCheckable(true);
    button->setFixedSize(toolButtonWidth, toolButtonHeight);
    group->layout()->addWidget(button);
    exclusive->addButton(button);
    return button;
}

void GLObjectWindow::buildTabs() {
    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("right tab menu"));
    tabs->setFixedWidth(200);

    curvePage = new QGroupBox(this);
    curvePage->setObjectName(QStringLiteral("curve"));
    new QVBoxLayout(curvePage);
    tabs->addTab(curvePage, tr("Curves"));

    surfacePage = new QGroupBox(this);
    surfacePage->setObjectName(QStringLiteral("surfaces"));
    new QVBoxLayout(surfacePage);
    tabs->addTab(surfacePage, tr("Surfaces"));
}

void GLObjectWindow::buildPredefinedPanel() {}

void GLObjectWindow::adjustSize() { canvas->setMinimumWidth(width() - 220); }

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
