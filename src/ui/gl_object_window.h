// The main window: menu bar, canvas, predefined-object row, tab column and the two tool groups.
#pragma once

#include <QWidget>

class GLPelm;
class QAction;
class QButtonGroup;
class QGroupBox;
class QHBoxLayout;
class QMenuBar;
class QPushButton;
class QTabWidget;
class QVBoxLayout;

class GLObjectWindow : public QWidget {
    Q_OBJECT

public:
    int toolButtonWidth = 50, toolButtonHeight = 50;
    int objectButtonWidth = 35, objectButtonHeight = 35;
    QPushButton* surfaceColorButton = nullptr;
    QGroupBox* topStrip = nullptr;
    QGroupBox* predefinedGroup = nullptr;
    int objectButtonCount = 7;
    QPushButton* circleButton = nullptr;
    QPushButton* arcButton = nullptr;
    QPushButton* squareButton = nullptr;
    QPushButton* freeformButton = nullptr;
    QPushButton* sphereButton = nullptr;
    QPushButton* cylinderButton = nullptr;
    QPushButton* cubeButton = nullptr;
    QGroupBox* transformGroup = nullptr;
    QPushButton* translateButton = nullptr;
    QPushButton* scaleButton = nullptr;
    QPushButton* rotateButton = nullptr;
    QGroupBox* viewportGroup = nullptr;
    QPushButton* zoomButton = nullptr;
    QPushButton* panButton = nullptr;
    GLPelm* canvas = nullptr;
    QHBoxLayout* mainRow = nullptr;
    QHBoxLayout* topRow = nullptr;
    QHBoxLayout* toolRow = nullptr;
    QVBoxLayout* topLayout = nullptr;

    // The tab column and its two pages; their controls are added by buildTabs.
    QTabWidget* tabs = nullptr;
    QGroupBox* curvePage = nullptr;
    QGroupBox* surfacePage = nullptr;

    // A QGroupBox does not make its buttons exclusive on its own: these do, without owning them.
    QButtonGroup* transformButtons = nullptr;
    QButtonGroup* viewportButtons = nullptr;

    GLObjectWindow(QWidget* parent, const char* name);
    ~GLObjectWindow() override = default;

    // Builds the tab column with its "Curves" and "Surfaces" pages.
    void buildTabs();
    // Fills the predefined-object row.
    void buildPredefinedPanel();

    // Sets the canvas's minimum width to the window width minus 220; does not resize the window.
    // QWidget::adjustSize is not virtual in Qt 6: this hides it, so call it on a GLObjectWindow.
    void adjustSize();

    // The item with the given text in the menu-bar menu with the given title, or null.
    QAction* findMenuItem(const QString& menuTitle, const QString& itemText) const;

private:
    QMenuBar* buildMenus();
    QPushButton* addToolButton(QGroupBox* group, QButtonGroup* exclusive, const char* text, const char* icon);
};
