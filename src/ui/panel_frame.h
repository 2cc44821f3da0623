// A frame of the tab column: at least a given width, and wider where its contents need it.
#pragma once

#include <QGroupBox>

// An explicit minimum width would win over what the frame's texts need, and cut them; this frame
// asks its layout for the larger of the two instead.
class PanelFrame : public QGroupBox {
public:
    PanelFrame(int leastWidth, QWidget* parent);

    QSize minimumSizeHint() const override;

private:
    int leastWidth;
};
