// How the keyboard focus finds its way back to the canvas.
#include "ui/canvas_key_router.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>

CanvasKeyRouter::CanvasKeyRouter(QWidget* root, QWidget* canvas) : QObject(root), canvas_(canvas) {
    adopt(root);
}

void CanvasKeyRouter::adopt(QWidget* root) {
    const auto toCanvas = [this] { canvas_->setFocus(Qt::OtherFocusReason); };
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (widget == canvas_ || canvas_->isAncestorOf(widget))
            continue;
        if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget)) {
            spin->setFocusPolicy(Qt::StrongFocus);
            spin->installEventFilter(this);
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            button->setFocusPolicy(Qt::NoFocus);
            // A field being typed in ends there: its value is taken as the focus leaves it.
            connect(button, &QAbstractButton::pressed, this, toCanvas);
        } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
            tabs->setFocusPolicy(Qt::NoFocus);
            // A field on the page left behind would otherwise pass the focus to one on the new page.
            connect(tabs, &QTabWidget::currentChanged, this, toCanvas);
        } else if (qobject_cast<QTabBar*>(widget) || qobject_cast<QAbstractScrollArea*>(widget)) {
            widget->setFocusPolicy(Qt::NoFocus);
        }
    }
}

bool CanvasKeyRouter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* spin = qobject_cast<QAbstractSpinBox*>(watched);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (!spin || (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Escape))
        return false;
    if (key == Qt::Key_Escape) {
        // Back to the value the field had before the typing; setting the same value sends nothing.
        if (auto* whole = qobject_cast<QSpinBox*>(spin))
            whole->setValue(whole->value());
        else if (auto* fractional = qobject_cast<QDoubleSpinBox*>(spin))
            fractional->setValue(fractional->value());
    } else {
        spin->interpretText();
    }
    canvas_->setFocus(Qt::OtherFocusReason);
    return true;
}
