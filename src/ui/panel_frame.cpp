// A tab-column frame whose width floor gives way to its contents.
#include "ui/panel_frame.h"

PanelFrame::PanelFrame(int leastWidth, QWidget* parent) : QGroupBox(parent), leastWidth(leastWidth) {}

QSize PanelFrame::minimumSizeHint() const {
    return QGroupBox::minimumSizeHint().expandedTo(QSize(leastWidth, 0));
}
