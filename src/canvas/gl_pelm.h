// The OpenGL canvas: owns the scene and the selection, and draws it into four viewports.
#pragma once

#include "canvas/camera_record.h"
#include "canvas/perspective_projection.h"
#include "canvas/text_font.h"
#include "canvas/viewport.h"
#include "geometry/control_point.h"
#include "geometry/curvature_comb.h"
#include "scene/scene_model.h"
#include "surfaces/mesh_rebuilder.h"

#include <QOpenGLWidget>
#include <QPoint>

#include <iosfwd>
#include <memory>
#include <optional>

class CurveSurface;
class NurbsCurve;
class QKeyEvent;
class QTimer;
class QMouseEvent;
class QWheelEvent;
class RevolutionSurface;
class SceneBounds;
class SceneObject;

// What a mouse press does; any value outside 5..20 acts as no tool.
namespace ToolMode {
constexpr int None = 0;
constexpr int Translate = 5;
constexpr int Scale = 6;
constexpr int Rotate = 7;
constexpr int Pan = 8;
constexpr int Zoom = 9;
constexpr int ViewRotate = 10;
constexpr int AppendPoint = 13;
constexpr int EditPoint = 14;
constexpr int InsertPoint = 15;
constexpr int DeletePoint = 16;
constexpr int PickRevolution = 17;
constexpr int PickCoons = 18;
constexpr int PickExtrusion = 19;
constexpr int Idle = 20;
} // namespace ToolMode

// Regions of the canvas hit by a press (activeView).
namespace ViewKind {
constexpr int None = -1;
constexpr int Top = 0;
constexpr int Perspective = 1;
constexpr int Left = 2;
constexpr int Front = 3;
constexpr int SplitHandle = 4;
} // namespace ViewKind

class GLPelm : public QOpenGLWidget, private SceneModelListener {
    Q_OBJECT

public:
    float lightAmbient[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    float lightDiffuse[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    float lightPosition[4] = {-1.0f, 10.0f, 10.0f, 1.0f};
    int toolMode = ToolMode::None;
    TextFont textFont;
    Viewport leftView, topView, frontView, perspectiveView;
    QPoint pressPosition{0, 0}; // widget coordinates (y down) in device pixels
    int activeView = ViewKind::None;
    ControlPoint pickedPoint{0.0, 0.0, 0.0};
    // Sizes in device pixels (widget size times the device pixel ratio).
    float canvasWidth = 0.0f, canvasHeight = 0.0f;
    int halfWidth = 0, halfHeight = 0;
    int splitOffsetX = 0, splitOffsetY = 0;
    float splitX = 0.0f, splitY = 0.0f;
    bool leftButtonDown = false, middleButtonDown = false, rightButtonDown = false;
    // The scene, its rules and its history; every change to the scene goes through it.
    SceneModel model;
    // The scene and the selection, as the model holds them.
    SceneList& scene = model.scene;
    SceneObject*& activeObject = model.selection.activeObject;
    int& activeKind = model.selection.activeKind;
    SceneObject*& pickedCurve = model.selection.pickedCurve;
    int& activePoint = model.selection.activePoint;
    CameraRecord camera;
    // The curve a click at the cursor would take, shown highlighted in the selection and pick tools;
    // null when the cursor is over no curve or outside the orthographic views.
    NurbsCurve* hoveredCurve = nullptr;
    // The curve a pick just refused, drawn flashing until flashTimer runs out.
    NurbsCurve* flashedCurve = nullptr;
    QTimer* flashTimer = nullptr;
    // Where points appended or inserted in an orthographic view go along its depth axis: in the view's
    // plane through the origin, or, with newPointsAtCurveDepth, through the active curve's last point.
    // A typed point stands in for that last point until the next point is placed.
    bool newPointsAtCurveDepth = false;
    std::optional<ControlPoint> typedPointDepth;
    // Builds the meshes of large surfaces off the window's thread; the canvas repaints as each lands.
    std::unique_ptr<MeshRebuilder> rebuilder;
    // A rebuild running longer than this shows its progress (rebuildProgress).
    int rebuildProgressAfterMs = 500;
    // The active curve's curvature comb, its teeth curvature times combScale long: a view setting.
    bool curvatureComb = false;
    double combScale = 10.0;
    // Control points drawn larger the larger their weight, the picked point's weight beside it.
    bool weightsShown = false;

    GLPelm(QWidget* parent, const char* name);
    ~GLPelm() override;

    // Every change of the tool goes through here, so the window's buttons and status bar follow it.
    void setToolMode(int mode);
    void setCurvatureComb(bool on);
    void setCombScale(double scale);
    void setWeightsShown(bool on);
    // The perspective view's transform as paintGL loads it, for picking and dragging there.
    PerspectiveProjection perspectiveProjection() const;
    // A frame with every surface's newest mesh: waits for the rebuilds a frame starts (a render to a
    // file, say, cannot show a mesh still being built).
    QImage grabSettledFrame();

    // Repaints at the next event-loop turn; grabFramebuffer() renders at once where a frame is needed now.
    // Every handler that changes what is shown ends here, so stateChanged also tells the window to
    // refresh what it shows of the canvas (readouts, the picked point).
    void updateGL() {
        update();
        emit stateChanged();
    }
    // Sets the four view rectangles from splitX and splitY, as a resize does (rebuilding the grid
    // lists); makes the canvas's context current when it is not.
    void setViewRectangles();
    // Places the split point at the centre plus the split offsets, then sets the view rectangles.
    void placeSplitPoint();
    // What saveTheScene and loadTheScene do, with their messages sent to the given streams: the
    // user's text to out, the reason to err. A load replaces the scene only when the whole file is
    // good, and then clears the selection; a save replaces the old file only when the new one is
    // complete. Both return whether they succeeded.
    bool saveSceneFile(const char* name, std::ostream& out, std::ostream& err);
    // frame: fit the loaded scene in every view (Frame All); otherwise the views stay as they are.
    bool loadSceneFile(const char* name, std::ostream& out, std::ostream& err, bool frame = true);
    // An empty scene with a new history, as at start.
    void newScene();

    // The mouse and keys as plain values; the Qt event handlers only convert and call these.
    // Positions are widget coordinates (y down) in device pixels; buttons are Qt::MouseButton values.
    void pressAt(int x, int y, int button);
    void dragTo(int x, int y);
    void releaseButton(int button);
    void pressKey(int key);
    // The cursor moved with no button held, to a widget position in device pixels (follows the hover).
    void hoverAt(int x, int y);
    // A turn of the wheel by notches (positive away from the user) over a widget position in device
    // pixels: zooms an orthographic view about that position, moves the perspective camera.
    void wheelAt(int x, int y, double notches);
    // The curve a click at a widget position (device pixels) in an orthographic view would take in the
    // selection and pick tools; null for none.
    NurbsCurve* curveUnder(int x, int y);
    // Tells the window the world point under a widget position (device pixels), for its readout.
    void reportCursor(int x, int y);

    // The region under a widget position (device pixels): a ViewKind, None on a split line.
    int regionAt(int x, int y) const;
    // The orthographic view of a ViewKind, null for the perspective view, the handle and none.
    Viewport* orthographicView(int viewKind);
    // The world axis an orthographic view looks along: top 1 (y), left 0 (x), front 2 (z); -1 else.
    static int depthAxis(int viewKind);
    // The world point under a widget position (device pixels) in an orthographic view, in the view's
    // plane through the origin; false when there is no such view or it has no drawing area.
    bool unproject(int viewKind, int x, int y, ControlPoint& out);

    // The point the plane of new points passes through; false when it is the origin's plane.
    bool newPointDepth(ControlPoint& through) const;
    // Switches new points at the active curve's depth on or off; off forgets a typed point.
    void setNewPointsAtCurveDepth(bool on);
    // The next new point goes in the plane through this point (and the option is on).
    void setTypedPointDepth(const ControlPoint& through);

    // The active object when it is a curve (activeKind 1), else null.
    NurbsCurve* activeCurve() const { return model.activeCurve(); }
    // The surface of revolution the revolution slots act on, and the Coons patch or extrusion the
    // shared surface slots act on; null when there is none.
    RevolutionSurface* revolutionTarget() const { return model.revolutionTarget(); }
    CurveSurface* curveSurfaceTarget() const { return model.curveSurfaceTarget(); }
    // Makes object active; a different object forgets the picked control point.
    void setActiveObject(SceneObject* object, int kind) { model.setActiveObject(object, kind); }
    // Emits emitCurveParameters with the curve's display flags, order, increment and form.
    void reportCurveParameters(const NurbsCurve& curve);
    // The panels' picture of the selection after an undo or redo: the active curve's parameters,
    // its surface's and its picked point's weight.
    void reportSelection();

public slots:
    // In the order of the canvas's slot table (index 0 to 54).
    void setObjectColor(int red, int green, int blue);
    void translateClicked();
    void rotateClicked();
    void scaleClicked();
    void panClicked();
    void zoomClicked();
    void vrotateClicked();
    void insertCPClicked();
    void editCPClicked();
    void deleteCPClicked();
    void curveVerticesClicked();
    void curveClicked();
    void curveEdgeClicked();
    void orderChanged(int order);
    void paramIncChanged(int pinc);
    void openCurveClicked();
    void interpolateEndPointsClicked();
    void closedCurveClicked();
    void weightChanged(int weight);
    void reverseCPClicked();
    void rev_degreesChanged(int degree);
    void revXAxisClicked();
    void revYAxisClicked();
    void revZAxisClicked();
    void refRevXAxisClicked();
    void refRevYAxisClicked();
    void refRevZAxisClicked();
    void surfaceMeshClicked();
    void surfaceShadedClicked();
    void surfaceGradientClicked();
    void createCoons();
    void createExtrude();
    void createRev();
    void NURBS_freeFormClicked();
    void NURBS_circleClicked();
    void NURBS_squareClicked();
    void NURBS_arcClicked();
    void NURBS_sphereClicked();
    void NURBS_cylinderClicked();
    void NURBS_cubeClicked();
    void uparamIncChanged(int u);
    void vparamIncChanged(int v);
    void selRevolutionCurve();
    void selCoonsCurves();
    void selExtrudeCurves();
    void rot_farLeftClicked();
    void rot_farRightClicked();
    void rot_closeAxisClicked();
    void rot_axisClicked();
    void rot_AxisLeftClicked();
    void rot_AxisRightClicked();
    void rot_axisDistChanged(int dist);
    void loadTheScene(const char* name);
    void saveTheScene(const char* name);
    void lineSizeChanged(int size);
    // The last step undone or redone; nothing when there is none.
    void undo();
    void redo();
    // Typed values for the picked control point: a coordinate (0 x, 1 y, 2 z) or its weight.
    void pointCoordinateChanged(int axis, double value);
    void pointWeightChanged(double weight);
    // Typed values for the active curve: scaled by factor and rotated by the angles (degrees) about
    // its centre, then moved; one step.
    void transformActiveCurve(double dx, double dy, double dz, double factor, double ax, double ay,
                              double az);
    // Every view shows the whole scene; an empty scene gives the default views.
    void frameAll();
    // Every view shows the active object; nothing changes when there is none.
    void frameSelected();

signals:
    void emitCurveParameters(bool vertices, bool line, bool edge, int order, int paramInc, int curveMode);
    void emitSurfaceProperties(bool shading, int u, int v, int degrees, int aor, int refa, int revPoint,
                               int axisDistance, int axisRotPoint);
    void emitWeight(int weightValue);
    // The undo history, the modified state or the selection may have changed.
    void historyChanged();
    // The tool changed, whatever changed it (a key, a button, the end of a pick, Delete).
    void toolModeChanged(int mode);
    // A message for the status bar that lasts a few seconds (a pick that took nothing, say).
    void statusMessage(const QString& text);
    // Something shown changed: the selection, the picked point, the scene or a view.
    void stateChanged();
    // The cursor moved over the canvas: in an orthographic view (a ViewKind) (x, y, z) is the world
    // point under it in the view's plane; any other viewKind means there is no such point.
    void cursorOverView(int viewKind, double x, double y, double z);
    // A long rebuild's progress, 0 to 100, every tenth of a second; -1 when it has ended.
    void rebuildProgress(int percent);

    // ---- Links with the knot strip (gl_pelm_strip.cpp) ----
public:
    // The active curve's control point the strip's hovered basis function belongs to, marked in every
    // view; -1 for none.
    int markedPoint = -1;
    // The active curve's parameter under the strip's cursor, its point marked in every view.
    std::optional<double> markedParameter;
    // The active curve's control point under the cursor in a view, found as a click of the point
    // tools finds it; -1 for none.
    int hoveredPoint = -1;
    // The active curve's point at markedParameter; none without either.
    std::optional<ControlPoint> markedCurvePoint();

public slots:
    void markControlPoint(int index);
    void markParameter(double u);
    void clearParameterMark();

signals:
    // hoveredPoint changed (-1: the cursor left every control point).
    void controlPointHovered(int index);

private:
    void followHoveredPoint(int x, int y);
    // The strip's hovered control point, and the curve's point at its cursor's parameter.
    void drawStripMarks(const std::optional<ControlPoint>& parameterPoint);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The reference axis of the revolution target, with a word when it equals the axis of rotation.
    void changeReferenceAxis(int axis);
    // A pick the surface did not take: the status bar says why, and the curve flashes.
    void reportRefusedPick(NurbsCurve* hit, SceneModel::Pick pick, int surfaceKind);
    // Escape in a pick tool: the surface still waiting for curves goes, and the tool returns to none.
    void cancelPick();
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;

private:
    // The curve a click at p takes (ignoring the view's depth axis): see CurvePicker, with the reach
    // of a few pixels around the widget position (x, y) in the view.
    NurbsCurve* curveHitAt(const ControlPoint& p, int axis, int viewKind, int x, int y);
    // HitTolerance, or the world length of a few screen pixels in the view when that is more.
    double pickReach(int viewKind, int x, int y);
    // Draws hoveredCurve over the scene in the current view when the tool picks curves.
    void drawHoverHighlight();
    // Draws the axis of rotation of the revolution target, dashed, reaching past the surface.
    void drawRevolutionAxis();
    // The comb of the active curve when it is shown; empty otherwise.
    CurvatureComb activeCurvatureComb();
    void drawCurvatureComb(const CurvatureComb& comb);
    // Draws flashedCurve, a curve a pick refused, over the scene for a moment.
    void drawRefusalFlash();
    // Fits the views to the box; before the canvas has its size the whole scene is framed at its
    // first resize instead.
    void frameBounds(const SceneBounds& bounds);
    bool framePending = false;
    // Reports a running rebuild's progress; runs while one is queued or running.
    QTimer* rebuildTimer = nullptr;
    bool rebuildProgressShown = false;
    void reportRebuildProgress();
    // Moves p, unprojected in the origin's plane, along the view's depth axis into the plane of new points.
    void placeAtNewPointDepth(ControlPoint& p, int axis) const;
    void selectCurveAt(const ControlPoint& p, int axis);
    void pickSurfaceCurveAt(const ControlPoint& p, int axis);
    void dragSplitHandle(int dx, int dy);
    void dragInOrthographicView(int cx, int cy, int dx, int dy, ControlPoint& moved);
    void dragInPerspectiveView(int cx, int cy, int dx, int dy);
    // Picks the active curve's control point drawn nearest (x, y) in the perspective view and keeps
    // its depth and its offset from the cursor for the drag that follows.
    void pickInPerspectiveView(int x, int y);
    // The active curve's control point drawn within reach of (x, y) in the perspective view, -1 for
    // none; hit gets its depth and its offset from (x, y) in GL window pixels.
    struct PerspectiveHit {
        double depth = 0.0, offsetX = 0.0, offsetY = 0.0;
    };
    int perspectivePointAt(int x, int y, PerspectiveHit* hit = nullptr);
    double perspectiveDragDepth = 0.0;
    double perspectiveOffsetX = 0.0, perspectiveOffsetY = 0.0;
    // The picked point's weight as text beside it, in the view whose transform is loaded.
    void drawPickedWeight(const Viewport& view, bool perspective);
    void deleteSelection();
    void createPredefined(int shape);
    // The step a press of the current tool with button opens, closed at the release.
    void openPressStep(int button);
    bool pressStepOpen = false;

    // SceneModelListener
    void objectLeaving(SceneObject* object) override;
    void modelChanged() override;
};
