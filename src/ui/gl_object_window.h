// The main window: menu bar, canvas, predefined-object row, tab column and the two tool groups.
#pragma once

#include "ui/dialog_provider.h"

#include <QSize>
#include <QStringList>
#include <QWidget>

class AboutDialog;
class GLPelm;
class KeysAndMouseDialog;
class KnotStrip;
class PointGroup;
class QAction;
class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QMenu;
class QMenuBar;
class QStatusBar;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QVBoxLayout;
class SceneObject;
class StatusReadouts;

class GLObjectWindow : public QWidget {
    Q_OBJECT

public:
    int toolButtonWidth = 50, toolButtonHeight = 50;
    int objectButtonWidth = 35, objectButtonHeight = 35;
    QPushButton* surfaceColorButton = nullptr;
    QGroupBox* topStrip = nullptr;
    // A plain frame: a group box's border would take room from the exactly fitting row.
    QFrame* predefinedGroup = nullptr;
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

    // File menu items that change with the scene and the settings.
    QAction* saveAction = nullptr;
    QMenu* recentMenu = nullptr;
    // Messages that last a few seconds ("Saved NAME"), beside the readouts that stay.
    QStatusBar* statusBar = nullptr;
    StatusReadouts* readouts = nullptr;

    // Edit menu: undo and redo name the step they take.
    QAction* undoAction = nullptr;
    QAction* redoAction = nullptr;
    // Edit > Transform…: on while a curve is active.
    QAction* transformAction = nullptr;
    // Viewport > New points at the active curve's depth.
    QAction* depthAction = nullptr;
    // Viewport > Knot Strip, and the strip under the views it shows.
    QAction* knotStripAction = nullptr;
    KnotStrip* knotStrip = nullptr;

    // The tab column and its two pages.
    QTabWidget* tabs = nullptr;
    QGroupBox* curvePage = nullptr;
    QGroupBox* surfacePage = nullptr;

    // Curves tab.
    QGroupBox* curveDisplayGroup = nullptr;
    QCheckBox* verticesCheck = nullptr;
    QCheckBox* edgeCheck = nullptr;
    QCheckBox* curveCheck = nullptr;
    QSpinBox* lineThicknessSpin = nullptr;
    QCheckBox* curvatureCheck = nullptr; // a view setting, kept in the settings, not in scene files
    QSpinBox* combScaleSpin = nullptr;
    QCheckBox* weightsCheck = nullptr; // a view setting as well
    QGroupBox* curveSettingsGroup = nullptr;
    QSpinBox* orderSpin = nullptr;
    QSpinBox* paramIncSpin = nullptr;
    QCheckBox* openCheck = nullptr;
    QCheckBox* interpolateCheck = nullptr;
    QCheckBox* closedCheck = nullptr;
    QGroupBox* editingGroup = nullptr;
    QPushButton* insertButton = nullptr;
    QPushButton* smoothButton = nullptr;
    QPushButton* deleteButton = nullptr;
    QGroupBox* weightGroup = nullptr;
    QSpinBox* weightSpin = nullptr;
    QPushButton* reverseButton = nullptr;
    // The picked point's coordinates and weight, typed.
    PointGroup* pointGroup = nullptr;

    // Surfaces tab.
    QGroupBox* surfaceDisplayGroup = nullptr;
    QCheckBox* wireframeCheck = nullptr;
    QCheckBox* shadedCheck = nullptr;
    QCheckBox* gradientCheck = nullptr;
    QGroupBox* surfaceParameterGroup = nullptr;
    QSpinBox* uIncSpin = nullptr;
    QSpinBox* vIncSpin = nullptr;
    QGroupBox* typeGroup = nullptr;
    QPushButton* revolutionButton = nullptr;
    QPushButton* coonsButton = nullptr;
    QPushButton* extrudeButton = nullptr;

    // The revolution panel.
    QGroupBox* revPanel = nullptr;
    QSpinBox* degreesSpin = nullptr;
    QGroupBox* axisDefinitionGroup = nullptr;
    QCheckBox* leftMostCheck = nullptr;
    QCheckBox* rightMostCheck = nullptr;
    QCheckBox* closestCheck = nullptr;
    QCheckBox* axisCheck = nullptr;
    QGroupBox* axisPanel = nullptr;
    QGroupBox* sideGroup = nullptr;
    QCheckBox* leftCheck = nullptr;
    QCheckBox* rightCheck = nullptr;
    QSpinBox* distanceSpin = nullptr;
    QGroupBox* rotationAxisGroup = nullptr;
    QCheckBox* rotXCheck = nullptr;
    QCheckBox* rotYCheck = nullptr;
    QCheckBox* rotZCheck = nullptr;
    QGroupBox* referenceAxisGroup = nullptr;
    QCheckBox* refXCheck = nullptr;
    QCheckBox* refYCheck = nullptr;
    QCheckBox* refZCheck = nullptr;
    QPushButton* revSelectButton = nullptr;

    // The Coons and extrude panels.
    QGroupBox* coonsPanel = nullptr;
    QPushButton* coonsSelectButton = nullptr;
    QGroupBox* extrudePanel = nullptr;
    QPushButton* extrudeSelectButton = nullptr;

    // A QGroupBox does not make its buttons exclusive on its own: these do, without owning them.
    QButtonGroup* transformButtons = nullptr;
    QButtonGroup* viewportButtons = nullptr;
    QButtonGroup* curveFormButtons = nullptr;
    QButtonGroup* editingButtons = nullptr;
    QButtonGroup* surfaceDisplayButtons = nullptr;
    QButtonGroup* typeButtons = nullptr;
    QButtonGroup* axisDefinitionButtons = nullptr;
    QButtonGroup* sideButtons = nullptr;
    QButtonGroup* rotationAxisButtons = nullptr;
    QButtonGroup* referenceAxisButtons = nullptr;

    GLObjectWindow(QWidget* parent, const char* name);
    ~GLObjectWindow() override = default;

    // Builds the tab column: the "Curves" page, then the "Surfaces" page with its three panels.
    void buildTabs();
    void buildRevPanel();
    void buildCoonsPanel();
    void buildExtrudePanel();
    // Fills the predefined-object row.
    void buildPredefinedPanel();

    // Sets the canvas's minimum width to the window's minimum width less the tab column and 20 pixels,
    // so the window can be made as small as its minimum with all four views beside the column; does
    // not resize the window. QWidget::adjustSize is not virtual in Qt 6: this hides it, so call it on
    // a GLObjectWindow.
    void adjustSize();

    // The item with the given text in the menu-bar menu with the given title, or null.
    QAction* findMenuItem(const QString& menuTitle, const QString& itemText) const;

    // Opens path in place of the scene (no prompt): on failure a message box says why and the scene
    // stays. Returns whether it was opened.
    bool openFile(const QString& path);
    // Writes the scene to path: on success it becomes the current file and the scene is saved; on
    // failure a message box says why.
    bool saveFile(const QString& path);
    // Before unsaved changes would be dropped: asks whether to save them. False when the user
    // cancelled (or the save failed): the action that asked must not go on.
    bool maybeSaveChanges();
    // The last opened and saved files, most recent first (at most 8).
    QStringList recentFiles() const;
    // Where the open and save dialogs start: the current file's folder, else the last folder used,
    // else the home folder.
    QString dialogFolder() const;

    // The file the scene was loaded from or last saved to; empty for a new scene.
    QString currentFile() const { return currentFile_; }
    void setCurrentFile(const QString& path);
    // The scene's name as the title and the prompts show it: the file's name, or "Untitled".
    QString sceneName() const;

    // Where the colour and file dialogs come from; null goes back to the toolkit's own dialogs.
    // The window does not own the provider.
    void setDialogProvider(DialogProvider* provider);
    DialogProvider& dialogProvider() const { return *dialogs; }

public slots:
    void showCoonsMenu();
    void showRevMenu();
    void showExtMenu();
    void setAxisParms();
    void setRevReferenceAxis();
    void loadRevMenu(bool shading, int u, int v, int degrees, int aor, int refa, int revPoint,
                     int axisDistance, int axisRotPoint);
    void getObjectColor();
    void setCurveParameters(bool vertices, bool line, bool edge, int order, int paramInc, int curveMode);
    // File menu: New, Open, Save (to the current file, or as a new one), Save As, Quit (which closes
    // the window, so unsaved changes are asked about first).
    void newScene();
    void openLoadFileManager();
    // Export: a file dialog with the formats as filters; a report of what was written.
    void exportScene();
    // Writes the scene to path in format (ExportFormat); the status bar and a report say what was
    // written, a message box why nothing was. Returns whether it was written.
    bool exportTo(const QString& path, int format);
    // Save As: asks for the name.
    void openSaveFileManager();
    bool saveSceneAs();
    // Save: to the current file without asking, or as a new one when there is none.
    bool saveCurrentScene();
    void openRecentFile(const QString& path);
    // The modal "Viewport Settings" dialog: grid step and view resets.
    void openViewportSettings();
    // Undo and Redo show the canvas's next steps, and are off when there is none.
    void updateEditMenu();
    // The title names the scene's file ("Untitled" for none) and marks unsaved changes.
    void updateTitle();
    // Edit > Transform…: the modal dialog; OK applies its values to the active curve as one step.
    void openTransformDialog();
    // Help menu: the "Keys and Mouse" and "About Knotwork" windows, made at their first showing.
    void showKeysAndMouse();
    void showAbout();
    // The tool, editing and pick buttons show the canvas's tool (a ToolMode); a tool no button
    // stands for leaves them all off.
    void showToolMode(int mode);
    // When the selection's surface (the active surface, or the surface the active curve is built
    // into) is another one than the Surfaces tab shows, the tab shows that surface's own settings.
    void followSelectedSurface();
    // Shows the selection's surface's settings again, whether or not it changed (after an undo).
    void showSelectedSurface();

signals:
    void surfaceColor(int red, int green, int blue);
    // File names in the local 8-bit encoding (QFile::encodeName).
    void loadScene(const char* name);
    void saveScene(const char* name);

protected:
    // Unsaved changes are asked about; the window's geometry is kept in the settings.
    void closeEvent(QCloseEvent* event) override;

private:
    QString currentFile_;
    // The surface whose settings the Surfaces tab shows; compared only, never followed.
    const SceneObject* shownSurface_ = nullptr;
    // While an undo or redo runs: its settings reach the Surfaces tab before the canvas reports them,
    // so the fields it reports have nothing to send back as a new step.
    bool replaying_ = false;
    DialogProvider toolkitDialogs;
    DialogProvider* dialogs = &toolkitDialogs;
    KeysAndMouseDialog* keysDialog = nullptr;
    AboutDialog* aboutDialog = nullptr;

    QMenuBar* buildMenus();
    QMenu* buildHelpMenu();
    void addDepthItems(QMenu* viewportMenu);
    // Viewport > New Point Depth…: the next new point's depth, typed.
    void typeNewPointDepth();
    void addKnotStripItem(QMenu* viewportMenu);
    // The canvas over the knot strip.
    QVBoxLayout* buildCanvasColumn();
    void showKnotStrip(bool on);
    // The window's minimum without the knot strip.
    QSize smallestSize_;
    void rememberFile(const QString& path);
    void rebuildRecentMenu();
    QPushButton* addToolButton(QGroupBox* group, QButtonGroup* exclusive, const char* text, const char* icon);
    void buildCurvePage();
    void addViewAidFields();
    void buildSurfacePage();
    void fitTabColumn();
    // Builds the status bar's readouts and keeps the buttons and the Surfaces tab following the canvas.
    void followCanvas();
    void writeSurfaceSettings(const SceneObject* surface, int kind);
    // Undo (or redo) on the canvas, the Surfaces tab following.
    void replayStep(bool redo);
    QPushButton* addObjectButton(const char* text, const char* icon, const char* tip);
};
