// One table of every control's tip, so a new control without one stands out here.
#include "ui/control_tips.h"

#include "ui/gl_object_window.h"
#include "ui/point_group.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include <utility>

void addControlTips(GLObjectWindow& w) {
    const std::pair<QWidget*, const char*> tips[] = {
        // The tool groups under the canvas.
        {w.translateButton, "Translate (T): click a curve to select it, drag to move it; in the Perspective "
                            "view a drag moves the camera"},
        {w.scaleButton, "Scale (S): click a curve to select it, drag to scale it about its centre"},
        {w.rotateButton, "Rotate (R): click a curve to select it, drag to rotate it; in the Perspective view "
                         "a drag turns the camera"},
        {w.zoomButton, "Zoom (Z): drag right in a flat view to zoom in, left to zoom out"},
        {w.panButton, "Pan (P): drag in a view to move its picture"},
        // Curves tab.
        {w.verticesCheck, "Show the active curve's control points"},
        {w.edgeCheck, "Show the active curve's control polygon"},
        {w.curveCheck, "Show the active curve itself"},
        {w.lineThicknessSpin, "Line thickness of the active curve, in pixels"},
        {w.curvatureCheck, "Draw the active curve's curvature comb: at each step a line out of the curve, "
                           "as long as the curvature times the comb scale"},
        {w.combScaleSpin, "Length of the comb's lines: the curvature (1 / radius) times this"},
        {w.weightsCheck, "Draw the active curve's points larger the larger their weight, and write the "
                         "picked point's weight beside it"},
        {w.orderSpin, "Order of the active curve (its degree plus one); it needs at least as many points"},
        {w.paramIncSpin, "Number of steps the active curve is drawn with"},
        {w.openCheck, "Open curve: it starts and ends near its first and last points"},
        {w.interpolateCheck, "Open curve that passes through its first and last points"},
        {w.closedCheck, "Closed curve: the last point joins the first"},
        {w.insertButton, "Append (A): click in a view to add a point after the last one"},
        {w.smoothButton,
         "Edit (E): click a point to pick it, drag to move it (in the Perspective view, across "
         "the screen); a middle or right drag changes its weight"},
        {w.deleteButton, "Delete point (D): click a point to delete it"},
        {w.weightSpin, "Weight of the picked point, times ten"},
        {w.reverseButton, "Reverse the order of the active curve's points"},
        {w.pointGroup->xSpin, "x of the picked point; Enter takes the value"},
        {w.pointGroup->ySpin, "y of the picked point; Enter takes the value"},
        {w.pointGroup->zSpin, "z of the picked point; Enter takes the value"},
        {w.pointGroup->weightSpin, "Weight of the picked point; Enter takes the value"},
        // Surfaces tab.
        {w.wireframeCheck, "Draw the selected surface as a wire mesh"},
        {w.shadedCheck, "Draw the selected surface shaded"},
        {w.gradientCheck, "Draw the selected surface shaded in a colour gradient"},
        {w.surfaceColorButton, "Choose the colour of the selected object, or of the surface built from it"},
        {w.uIncSpin, "Number of steps the selected surface is drawn with along u"},
        {w.vIncSpin, "Number of steps the selected surface is drawn with along v"},
        {w.revolutionButton, "Revolution: sweep the active curve about an axis; with nothing selected, pick "
                             "its profile next"},
        {w.coonsButton, "Coons Patch: a surface spanned by four curves, picked next"},
        {w.extrudeButton, "Extrude: a surface between two curves, picked next"},
        {w.degreesSpin, "Angle the profile is swept through, in degrees"},
        {w.leftMostCheck, "The axis passes through the profile's left-most point"},
        {w.rightMostCheck, "The axis passes through the profile's right-most point"},
        {w.closestCheck, "The axis passes through the profile's point closest to it"},
        {w.axisCheck, "The axis lies at a given distance from the profile"},
        {w.leftCheck, "The axis lies left of the profile"},
        {w.rightCheck, "The axis lies right of the profile"},
        {w.distanceSpin, "Distance between the profile and the axis"},
        {w.rotXCheck, "Sweep about an axis parallel to x"},
        {w.rotYCheck, "Sweep about an axis parallel to y"},
        {w.rotZCheck, "Sweep about an axis parallel to z"},
        {w.refXCheck, "Measure the sweep from the x axis"},
        {w.refYCheck, "Measure the sweep from the y axis"},
        {w.refZCheck, "Measure the sweep from the z axis"},
        {w.revSelectButton, "Pick the profile of the surface of revolution: click a curve in a view"},
        {w.coonsSelectButton, "Pick the four curves of the Coons patch: click them in a view"},
        {w.extrudeSelectButton, "Pick the two curves of the extrusion: click them in a view"},
    };
    for (const auto& [control, tip] : tips)
        control->setToolTip(GLObjectWindow::tr(tip));
    w.tabs->setTabToolTip(0,
                          GLObjectWindow::tr("The active curve: display, settings, editing tools, points"));
    w.tabs->setTabToolTip(1,
                          GLObjectWindow::tr("The selected surface: display, sampling and how it is built"));
}
