// The permanent part of the window's status bar: the tool and what a click does with it, the active
// object, the picked point, why a curve draws nothing, and the world point under the cursor. Messages
// that last a few seconds ("Saved NAME") show beside these and never replace them.
#pragma once

#include <QObject>
#include <QString>

class GLPelm;
class QLabel;
class QStatusBar;
class QWidget;

class StatusReadouts : public QObject {
    Q_OBJECT

public:
    QWidget* panel = nullptr; // the labels' container, a permanent widget of the status bar
    QLabel* toolLabel = nullptr;
    QLabel* warningLabel = nullptr;
    QLabel* objectLabel = nullptr;
    QLabel* pointLabel = nullptr;
    QLabel* cursorLabel = nullptr;
    QLabel* depthLabel = nullptr; // shown while new points go at the active curve's depth

    // Follows canvas from now on; the labels go into bar.
    StatusReadouts(GLPelm* canvas, QStatusBar* bar);

    // The tool's name and what a click in a view does with it (a ToolMode).
    static QString toolText(int mode);
    // The canvas's cursor while the tool is on.
    static Qt::CursorShape cursorShape(int mode);

    // Keeps room left of the readouts for the passing messages, however narrow the window.
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void showTool(int mode);
    void showSelection();
    void showCursor(int viewKind, double x, double y, double z);

private:
    GLPelm* canvas_;
    QStatusBar* bar_;
    void keepMessageRoom();
    void showDepth();
};
