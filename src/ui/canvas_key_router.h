// Keeps the canvas keys with the canvas while no field is being typed in.
#pragma once

#include <QObject>

class QWidget;

// Panel buttons, check fields, tabs and the scrolling pages take no keyboard focus, and a press on
// a button hands the focus to the canvas; Enter (taking the typed value) or Escape (dropping it) in a
// spin field hands the focus back as well. Spin fields take the focus only from a click or Tab, not
// from the wheel passing over them.
class CanvasKeyRouter : public QObject {
public:
    // Owned by root; adopts every control under root that exists now.
    CanvasKeyRouter(QWidget* root, QWidget* canvas);

    void adopt(QWidget* root);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* canvas_;
};
