#include "ui/status_readouts.h"

#include "canvas/gl_pelm.h"
#include "scene/selection_text.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString number(double value) {
    return QString::fromStdString(SelectionText::number(value));
}

// A readout shrinks with a narrow window instead of holding the window wide.
QLabel* addLabel(QHBoxLayout* row, QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setMinimumWidth(1);
    row->addWidget(label);
    return label;
}

} // namespace

StatusReadouts::StatusReadouts(GLPelm* canvas, QStatusBar* bar) : QObject(bar), canvas_(canvas), bar_(bar) {
    panel = new QWidget(bar);
    panel->setObjectName(QStringLiteral("status readouts"));
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* toolRow = new QHBoxLayout;
    toolRow->setSpacing(12);
    auto* selectionRow = new QHBoxLayout;
    selectionRow->setSpacing(12);
    column->addLayout(toolRow);
    column->addLayout(selectionRow);
    toolLabel = addLabel(toolRow, panel, "tool readout");
    warningLabel = addLabel(toolRow, panel, "warning readout");
    // A dark red that reads on the window's grey.
    warningLabel->setStyleSheet(QStringLiteral("color: #a00000;"));
    toolRow->addStretch();
    objectLabel = addLabel(selectionRow, panel, "object readout");
    pointLabel = addLabel(selectionRow, panel, "point readout");
    cursorLabel = addLabel(selectionRow, panel, "cursor readout");
    depthLabel = addLabel(selectionRow, panel, "depth readout");
    selectionRow->addStretch();
    bar->addPermanentWidget(panel);
    bar->installEventFilter(this);
    keepMessageRoom();

    connect(canvas, &GLPelm::toolModeChanged, this, &StatusReadouts::showTool);
    connect(canvas, &GLPelm::stateChanged, this, &StatusReadouts::showSelection);
    connect(canvas, &GLPelm::historyChanged, this, &StatusReadouts::showSelection);
    connect(canvas, &GLPelm::cursorOverView, this, &StatusReadouts::showCursor);
    showTool(canvas->toolMode);
    showSelection();
    showCursor(ViewKind::None, 0.0, 0.0, 0.0);
}

bool StatusReadouts::eventFilter(QObject* watched, QEvent* event) {
    if (watched == bar_ && (event->type() == QEvent::Resize || event->type() == QEvent::FontChange))
        keepMessageRoom();
    return QObject::eventFilter(watched, event);
}

void StatusReadouts::keepMessageRoom() {
    // Room for a message such as "Saved NAME" with a name of a dozen letters; the readouts shrink
    // (their ends cut off) rather than hide it.
    const int room = bar_->fontMetrics().horizontalAdvance(QStringLiteral("Opened twelve_chars.nbs")) + 24;
    panel->setMaximumWidth(std::max(0, bar_->width() - room));
}

// What a press and a drag do in each tool, as the canvas's mouse code does it.
QString StatusReadouts::toolText(int mode) {
    switch (mode) {
    case ToolMode::AppendPoint:
        return tr("Append: click in a view to add a point after the last one");
    case ToolMode::InsertPoint:
        return tr("Insert: click on the curve to add a point between two others");
    case ToolMode::EditPoint:
        return tr("Edit: click a point to pick it; drag to move it, drag with the middle button to "
                  "change its weight");
    case ToolMode::DeletePoint:
        return tr("Delete: click a point of the active curve to delete it");
    case ToolMode::Translate:
        return tr("Translate: click a curve to select it, drag to move it");
    case ToolMode::Scale:
        return tr("Scale: click a curve to select it, drag to scale it");
    case ToolMode::Rotate:
        return tr("Rotate: click a curve to select it, drag to rotate it");
    case ToolMode::Pan:
        return tr("Pan: drag in a view to move what it shows");
    case ToolMode::Zoom:
        return tr("Zoom: drag sideways in the top, left or front view to zoom it");
    case ToolMode::ViewRotate:
        return tr("View Rotate: a click in a view does nothing");
    case ToolMode::PickRevolution:
        return tr("Pick Profile: click the curve to sweep into the surface of revolution");
    case ToolMode::PickCoons:
        return tr("Pick Coons Curves: click the patch's four boundary curves in turn");
    case ToolMode::PickExtrusion:
        return tr("Pick Extrusion Curves: click the profile, then the path");
    default:
        return tr("No tool: choose one with its button or key (A, I, E, D, T, S, R, P, Z)");
    }
}

Qt::CursorShape StatusReadouts::cursorShape(int mode) {
    switch (mode) {
    case ToolMode::AppendPoint:
    case ToolMode::InsertPoint:
    case ToolMode::EditPoint:
    case ToolMode::DeletePoint:
        return Qt::CrossCursor; // a point goes exactly where the click is
    case ToolMode::Translate:
        return Qt::SizeAllCursor;
    case ToolMode::Scale:
        return Qt::SizeFDiagCursor;
    case ToolMode::Rotate:
        return Qt::ClosedHandCursor;
    case ToolMode::Pan:
        return Qt::OpenHandCursor;
    case ToolMode::Zoom:
        return Qt::SizeHorCursor; // the zoom follows the sideways drag
    case ToolMode::PickRevolution:
    case ToolMode::PickCoons:
    case ToolMode::PickExtrusion:
        return Qt::PointingHandCursor;
    default:
        return Qt::ArrowCursor;
    }
}

void StatusReadouts::showTool(int mode) {
    toolLabel->setText(toolText(mode));
    canvas_->setCursor(cursorShape(mode));
}

void StatusReadouts::showSelection() {
    const SceneSelection& selection = canvas_->model.selection;
    objectLabel->setText(QString::fromStdString(SelectionText::object(selection)));
    pointLabel->setText(QString::fromStdString(SelectionText::point(selection)));
    const QString warning = QString::fromStdString(SelectionText::warning(selection));
    warningLabel->setText(warning);
    warningLabel->setVisible(!warning.isEmpty());
    showDepth();
}

void StatusReadouts::showDepth() {
    depthLabel->setVisible(canvas_->newPointsAtCurveDepth);
    ControlPoint through;
    if (!canvas_->newPointDepth(through))
        depthLabel->setText(tr("New points: at the active curve's depth (through the origin until it has "
                               "a point)"));
    else
        depthLabel->setText((canvas_->typedPointDepth ? tr("New points: next at the typed depth (%1, %2, %3)")
                                                      : tr("New points: at the active curve's depth "
                                                           "(%1, %2, %3)"))
                                .arg(number(through.x), number(through.y), number(through.z)));
}

void StatusReadouts::showCursor(int viewKind, double x, double y, double z) {
    // Each view shows the two axes of its plane; the third is 0 there.
    switch (viewKind) {
    case ViewKind::Top:
        cursorLabel->setText(tr("Top: x %1, z %2").arg(number(x), number(z)));
        break;
    case ViewKind::Left:
        cursorLabel->setText(tr("Left: y %1, z %2").arg(number(y), number(z)));
        break;
    case ViewKind::Front:
        cursorLabel->setText(tr("Front: x %1, y %2").arg(number(x), number(y)));
        break;
    default:
        cursorLabel->clear();
        break;
    }
}
