// The "Keys and Mouse" window, written as HTML tables from the lists below and the menus.
#include "ui/keys_and_mouse_dialog.h"

#include "canvas/gl_pelm.h"
#include "ui/panel_blocks.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QTextBrowser>

namespace {

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

QString keyName(int key) {
    return key ? QKeySequence(key).toString(QKeySequence::NativeText) : QString();
}

// A menu's or an item's text as shown: without the mnemonic marks.
QString shownText(QString text) {
    return text.remove(QLatin1Char('&'));
}

QString row(const QString& first, const QString& second) {
    return QStringLiteral("<tr><td style=\"padding-right:16px\"><b>%1</b></td><td>%2</td></tr>")
        .arg(escaped(first), escaped(second));
}

} // namespace

std::vector<KeysAndMouseDialog::Tool> KeysAndMouseDialog::tools() {
    const QString views = tr("Left button in the Top, Left or Front view");
    return {
        {tr("Append"),
         Qt::Key_A,
         ToolMode::AppendPoint,
         tr("A, or the Insert Row button; N and NURBS Freeform start a new curve in it"),
         {{views, tr("adds a point after the last one of the active curve")}}},
        {tr("Insert"),
         Qt::Key_I,
         ToolMode::InsertPoint,
         tr("I"),
         {{views, tr("on the control polygon: inserts a point there, between its two neighbours")}}},
        {tr("Edit"),
         Qt::Key_E,
         ToolMode::EditPoint,
         tr("E, or the Smooth button"),
         {{tr("Left press"), tr("picks the control point within 0.3 units; the Point group shows it")},
          {tr("Left drag"), tr("moves the picked point in the view's plane")},
          {tr("In the Perspective view"),
           tr("a press picks the point drawn under the mouse; a left drag moves it across the screen, in "
              "the plane through it that faces the camera")},
          {tr("Middle or right drag"), tr("changes the picked point's weight (right or up: heavier)")},
          {tr("Delete"), tr("deletes the picked point")}}},
        {tr("Delete point"),
         Qt::Key_D,
         ToolMode::DeletePoint,
         tr("D, or the Delete Row button"),
         {{views, tr("deletes the control point under the mouse")}}},
        {tr("Translate"),
         Qt::Key_T,
         ToolMode::Translate,
         tr("T, or the Trans button; also after the last curve of a surface is picked"),
         {{tr("Press"), tr("selects the curve under the mouse (nothing there: no selection)")},
          {tr("Drag in the Top, Left or Front view"), tr("moves the selected curve")},
          {tr("Drag in the Perspective view"),
           tr("moves the camera: left button along x, middle along y, right along z")},
          {tr("Delete"), tr("deletes the selected curve's surface; pressed again, the curve")}}},
        {tr("Scale"),
         Qt::Key_S,
         ToolMode::Scale,
         tr("S, or the Scale button"),
         {{tr("Press"), tr("selects the curve under the mouse")},
          {tr("Drag in the Top, Left or Front view"),
           tr("scales the selected curve about its centre: right (in the Left view up) enlarges")},
          {tr("Delete"), tr("as in Translate")}}},
        {tr("Rotate"),
         Qt::Key_R,
         ToolMode::Rotate,
         tr("R, or the Rotate button"),
         {{tr("Press"), tr("selects the curve under the mouse")},
          {tr("Drag in the Top, Left or Front view"),
           tr("rotates the selected curve about its centre, about the two axes across the drag")},
          {tr("Drag in the Perspective view"),
           tr("turns the camera: left button about x, middle about y, right about z")},
          {tr("Delete"), tr("as in Translate")}}},
        {tr("Pan"),
         Qt::Key_P,
         ToolMode::Pan,
         tr("P, or the Pan button"),
         {{tr("Drag in any view"), tr("moves the view's picture with the mouse")}}},
        {tr("Zoom"),
         Qt::Key_Z,
         ToolMode::Zoom,
         tr("Z, or the Zoom button"),
         {{tr("Drag in the Top, Left or Front view"), tr("right zooms in, left zooms out")}}},
        {tr("Pick revolution profile"),
         0,
         ToolMode::PickRevolution,
         tr("Select Rev. Curve, or Revolution with nothing selected"),
         {{views, tr("the curve under the mouse (within 6 pixels, lit while the mouse is over it) becomes "
                     "the surface's profile")}}},
        {tr("Pick Coons curves"),
         0,
         ToolMode::PickCoons,
         tr("Select Coons Curves, or Coons Patch"),
         {{views, tr("takes the curve under the mouse; the fourth completes the patch")}}},
        {tr("Pick extrusion curves"),
         0,
         ToolMode::PickExtrusion,
         tr("Select extrusion Curves, or Extrude"),
         {{views, tr("takes the curve under the mouse; the second completes the extrusion")}}},
    };
}

std::vector<KeysAndMouseDialog::Action> KeysAndMouseDialog::everyTool() {
    return {
        {tr("Drag the small square where the views meet"), tr("resizes the four views")},
        {keyName(Qt::Key_N), tr("starts a new free-form curve and chooses Append")},
        {keyName(Qt::Key_Delete),
         tr("in Edit the picked point; in Translate, Scale and Rotate the selection's surface, then the "
            "curve")},
        {keyName(Qt::Key_Home), tr("Frame All: fits the whole scene in every view")},
        {keyName(Qt::Key_F), tr("Frame Selected: fits the active object in every view")},
        {tr("Mouse wheel"),
         tr("zooms the Top, Left or Front view about the cursor; moves the Perspective camera along its "
            "view")},
        {tr("Enter or Escape in a field"), tr("gives the keys back to the canvas")},
    };
}

KeysAndMouseDialog::KeysAndMouseDialog(const QMenuBar* menus, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Keys and Mouse"));
    setWindowTitle(tr("Keys and Mouse"));

    QString html =
        QStringLiteral("<h3>%1</h3><p>%2</p><table>")
            .arg(escaped(tr("Canvas keys")), escaped(tr("They act unless a field is being typed in.")));
    for (const Tool& tool : tools())
        if (tool.key)
            html += row(keyName(tool.key), tool.name);
    for (const Action& action : everyTool())
        html += row(action.input, action.effect);
    html += QStringLiteral("</table>");

    for (const Tool& tool : tools()) {
        html += QStringLiteral("<h3>%1</h3><p><i>%2</i></p><table>")
                    .arg(escaped(tool.name), escaped(tr("Chosen with: %1").arg(tool.chosenBy)));
        for (const Action& action : tool.mouse)
            html += row(action.input, action.effect);
        html += QStringLiteral("</table>");
    }

    html += QStringLiteral("<h3>%1</h3><table>").arg(escaped(tr("Menu shortcuts")));
    for (const QAction* menu : menus ? menus->actions() : QList<QAction*>()) {
        if (!menu->menu())
            continue;
        for (const QAction* item : menu->menu()->actions())
            for (const QKeySequence& shortcut : item->shortcuts())
                html += row(shortcut.toString(QKeySequence::NativeText),
                            shownText(menu->text()) + QStringLiteral(" \u203a ") + shownText(item->text()));
    }
    html += QStringLiteral("</table>");

    text = new QTextBrowser(this);
    text->setHtml(html);
    layOutWithCloseButton(this, text);
    resize(640, 600);
}
