// A seeded stream of plausible user actions sent as real Qt events to a shown main window.
#pragma once

#include "window_test_support.h"

#include <QString>

#include <deque>
#include <random>
#include <string>
#include <vector>

class QAbstractButton;
class QSpinBox;

class SessionDriver {
public:
    // Growth caps: beyond these the driver stops making objects or adding points, so that a long
    // session stays as cheap as a short one.
    int maxObjects = 40;
    int maxPointsPerCurve = 200;
    // Every this many events the window handles its posted events (and so repaints), and the canvas
    // renders a frame at once.
    int repaintEvery = 20;
    int grabEvery = 100;
    // How many of the last events describeRecent() lists.
    int logLength = 30;
    // Undo and redo events sent so far.
    int undoEvents = 0;

    // Files are saved to and loaded from folder; the window's dialogs answer from the driver.
    SessionDriver(GLObjectWindow& window, unsigned long long seed, const QString& folder);
    ~SessionDriver();

    // Sends one random action and lets the window handle it and repaint.
    void step(int index);
    // The last events, oldest first, one a line.
    std::string describeRecent() const;

private:
    GLObjectWindow& window;
    ScriptedDialogs dialogs;
    std::mt19937_64 random;
    QString folder;
    std::vector<QString> savedFiles;
    std::deque<std::string> log;
    std::vector<QAbstractButton*> buttons;
    std::vector<QSpinBox*> spins;

    int pick(int count);
    double uniform(double low, double high);
    void note(int index, const std::string& text);
    bool roomForObjects() const;
    bool roomForPoints() const;

    bool canvasGesture(int index);
    bool canvasKey(int index);
    bool panelButton(int index);
    bool spinField(int index);
    bool switchTab(int index);
    bool saveScene(int index);
    bool loadScene(int index);
    bool undoOrRedo(int index);
    QString sceneName();
    void answerTheSavePrompt(std::string& description);
};
