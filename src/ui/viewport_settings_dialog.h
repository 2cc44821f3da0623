// The modal "Viewport Settings" dialog: the orthographic grid step and resets of the views.
#pragma once

#include <QDialog>

class GLPelm;
class QComboBox;
class QPushButton;

// Every change acts on the canvas at once; "Close" only closes.
class ViewportSettingsDialog : public QDialog {
    Q_OBJECT

public:
    QComboBox* gridStepChoice = nullptr;
    QPushButton* resetViewsButton = nullptr;
    QPushButton* resetCameraButton = nullptr;
    QPushButton* closeButton = nullptr;

    ViewportSettingsDialog(GLPelm* canvas, QWidget* parent);

private:
    GLPelm* canvas;
};
