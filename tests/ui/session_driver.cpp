// The random-session driver: canvas gestures and keys, panel controls, tabs, saves and loads.
#include "geometry/nurbs_curve.h"

#include "canvas/gl_pelm.h"
#include "session_driver.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QKeySequence>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <algorithm>
#include <sstream>

namespace {

// Keys a user types on the canvas: the tool letters, a new curve, Delete, and two that do nothing.
const int canvasKeys[] = {Qt::Key_A,      Qt::Key_D,      Qt::Key_E, Qt::Key_I, Qt::Key_N,
                          Qt::Key_P,      Qt::Key_R,      Qt::Key_S, Qt::Key_T, Qt::Key_Z,
                          Qt::Key_Delete, Qt::Key_Delete, Qt::Key_Q, Qt::Key_1};

const Qt::MouseButton mouseButtons[] = {Qt::LeftButton, Qt::LeftButton, Qt::MiddleButton, Qt::RightButton};

// The largest value the driver sets in a spin field: increments stay small so that tessellations do.
struct SpinCap {
    QSpinBox* GLObjectWindow::*spin;
    int low, high;
};
const SpinCap spinCaps[] = {
    {&GLObjectWindow::lineThicknessSpin, 1, 4}, {&GLObjectWindow::orderSpin, 2, 7},
    {&GLObjectWindow::paramIncSpin, 1, 120},    {&GLObjectWindow::weightSpin, 0, 40},
    {&GLObjectWindow::uIncSpin, 1, 16},         {&GLObjectWindow::vIncSpin, 1, 48},
    {&GLObjectWindow::degreesSpin, 1, 360},     {&GLObjectWindow::distanceSpin, 0, 12},
};

bool makesObjects(const GLObjectWindow& window, const QAbstractButton* button) {
    const QAbstractButton* makers[] = {window.circleButton,   window.arcButton,        window.squareButton,
                                       window.freeformButton, window.sphereButton,     window.cylinderButton,
                                       window.cubeButton,     window.revolutionButton, window.coonsButton,
                                       window.extrudeButton};
    return std::find(std::begin(makers), std::end(makers), button) != std::end(makers);
}

// A user can press only what is shown and not hidden behind the edge of its scroll area.
bool reachable(QAbstractButton* button) {
    return button->isVisible() && button->isEnabled() && button->visibleRegion().contains(pressSpot(button));
}

} // namespace

SessionDriver::SessionDriver(GLObjectWindow& window, unsigned long long seed, const QString& folder)
    : window(window), random(seed), folder(folder) {
    window.setDialogProvider(&dialogs);
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        // Only the panels' own push buttons and check fields; the colour button opens a dialog,
        // which the scripted provider answers.
        if (qobject_cast<QPushButton*>(button) || qobject_cast<QCheckBox*>(button))
            buttons.push_back(button);
    }
    for (const SpinCap& cap : spinCaps)
        spins.push_back(window.*cap.spin);
    // A damaged file among the ones a load may pick.
    const QString damaged = folder + QStringLiteral("/damaged.nbs");
    QFile file(damaged);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QByteArray("1\x05\x00\x00\x00garbage", 12));
        file.close();
        savedFiles.push_back(damaged);
    }
}

SessionDriver::~SessionDriver() {
    window.setDialogProvider(nullptr);
}

int SessionDriver::pick(int count) {
    return std::uniform_int_distribution<int>(0, count - 1)(random);
}

double SessionDriver::uniform(double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random);
}

void SessionDriver::note(int index, const std::string& text) {
    log.push_back("#" + std::to_string(index) + " " + text);
    while (static_cast<int>(log.size()) > logLength)
        log.pop_front();
}

std::string SessionDriver::describeRecent() const {
    std::string text;
    for (const std::string& line : log)
        text += line + "\n";
    return text;
}

bool SessionDriver::roomForObjects() const {
    return window.canvas->scene.size() < maxObjects;
}

bool SessionDriver::roomForPoints() const {
    const NurbsCurve* curve = window.canvas->activeCurve();
    return !curve || static_cast<int>(curve->controlPoints.size()) < maxPointsPerCurve;
}

void SessionDriver::step(int index) {
    // Each kind of action answers false when it cannot run now (a cap, nothing to press); then
    // another is drawn.
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int roll = pick(100);
        bool done = false;
        if (roll < 30)
            done = canvasGesture(index);
        else if (roll < 47)
            done = canvasKey(index);
        else if (roll < 77)
            done = panelButton(index);
        else if (roll < 89)
            done = spinField(index);
        else if (roll < 93)
            done = switchTab(index);
        else if (roll < 96)
            done = saveScene(index);
        else if (roll < 98)
            done = loadScene(index);
        else
            done = undoOrRedo(index);
        if (done)
            break;
    }
    // A paint of four views costs more than most events: the window repaints every few events,
    // which still draws every state that lasts, and now and then renders a frame at once.
    if (repaintEvery > 0 && index % repaintEvery == repaintEvery - 1)
        QApplication::processEvents();
    if (grabEvery > 0 && index % grabEvery == grabEvery - 1)
        window.canvas->grabFramebuffer();
}

bool SessionDriver::canvasGesture(int index) {
    GLPelm* canvas = window.canvas;
    const int mode = canvas->toolMode;
    if ((mode == ToolMode::AppendPoint || mode == ToolMode::InsertPoint) && !roomForPoints())
        return false;
    // An extrusion finished by a pick adds two curves.
    if (mode == ToolMode::PickExtrusion && canvas->scene.size() + 2 > maxObjects)
        return false;
    const double ratio = canvas->devicePixelRatioF();
    const double width = canvas->canvasWidth / ratio, height = canvas->canvasHeight / ratio;
    const double splitX = canvas->splitX / ratio, lineY = height - canvas->splitY / ratio;
    if (width < 40.0 || height < 40.0)
        return false;
    // One of the five regions; a little margin keeps presses off the split lines.
    const int region = pick(5);
    double x = 0.0, y = 0.0;
    const double m = 8.0;
    switch (region) {
    case ViewKind::Top:
        x = uniform(2.0, splitX - m), y = uniform(2.0, lineY - m);
        break;
    case ViewKind::Perspective:
        x = uniform(splitX + m, width - 2.0), y = uniform(2.0, lineY - m);
        break;
    case ViewKind::Left:
        x = uniform(splitX + m, width - 2.0), y = uniform(lineY + m, height - 2.0);
        break;
    case ViewKind::Front:
        x = uniform(2.0, splitX - m), y = uniform(lineY + m, height - 2.0);
        break;
    default:
        x = splitX + uniform(-4.0, 4.0), y = lineY + uniform(-4.0, 4.0);
        break;
    }
    const Qt::MouseButton button = mouseButtons[pick(4)];
    const int moves = pick(4);
    std::ostringstream text;
    text << "mode " << mode << " button " << button << " press (" << static_cast<int>(x) << ","
         << static_cast<int>(y) << ") region " << region;
    QPoint at(static_cast<int>(x), static_cast<int>(y));
    QTest::mousePress(canvas, button, {}, at);
    for (int i = 0; i < moves; ++i) {
        // Steps of a few pixels, kept on the canvas; a drag may cross into another view.
        at.setX(std::clamp(at.x() + pick(41) - 20, 0, static_cast<int>(width) - 1));
        at.setY(std::clamp(at.y() + pick(41) - 20, 0, static_cast<int>(height) - 1));
        QTest::mouseMove(canvas, at);
        text << " move (" << at.x() << "," << at.y() << ")";
    }
    QTest::mouseRelease(canvas, button, {}, at);
    note(index, text.str());
    return true;
}

bool SessionDriver::canvasKey(int index) {
    const int key = canvasKeys[pick(static_cast<int>(std::size(canvasKeys)))];
    if (key == Qt::Key_N && !roomForObjects())
        return false;
    note(index, "key " + QKeySequence(key).toString().toStdString() + " in mode " +
                    std::to_string(window.canvas->toolMode));
    QTest::keyClick(window.canvas, static_cast<Qt::Key>(key));
    return true;
}

bool SessionDriver::undoOrRedo(int index) {
    // Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y reach the Edit menu's actions wherever the focus is; the menu
    // items themselves as well. More undos than redos, so the session also walks back some way.
    const int choice = pick(10);
    ++undoEvents;
    if (choice < 4) {
        note(index, "Ctrl+Z");
        QTest::keyClick(window.canvas, Qt::Key_Z, Qt::ControlModifier);
    } else if (choice < 6) {
        note(index, "Edit > " + window.undoAction->text().toStdString());
        window.undoAction->trigger();
    } else if (choice < 8) {
        note(index, "Ctrl+Shift+Z");
        QTest::keyClick(window.canvas, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    } else {
        note(index, "Ctrl+Y");
        QTest::keyClick(window.canvas, Qt::Key_Y, Qt::ControlModifier);
    }
    return true;
}

bool SessionDriver::panelButton(int index) {
    QAbstractButton* button = buttons[pick(static_cast<int>(buttons.size()))];
    if (!reachable(button))
        return false;
    if (makesObjects(window, button) && !roomForObjects())
        return false;
    if (button == window.surfaceColorButton)
        dialogs.colours.push_back(QColor(pick(256), pick(256), pick(256)));
    note(index,
         "click \"" + button->text().toStdString() + "\" (" + button->objectName().toStdString() + ")");
    clickButton(button);
    dialogs.colours.clear();
    return true;
}

bool SessionDriver::spinField(int index) {
    const int which = pick(static_cast<int>(spins.size()));
    QSpinBox* spin = spins[which];
    if (!spin->isVisible() || !spin->isEnabled())
        return false;
    const SpinCap& cap = spinCaps[which];
    const std::string name = spin->objectName().toStdString();
    // Either a typed value within the cap, or a step up or down as the arrow keys make.
    const int how = pick(3);
    if (how == 0) {
        const int value = cap.low + pick(cap.high - cap.low + 1);
        note(index, "spin " + name + " set " + std::to_string(value));
        spin->setValue(value);
    } else if (how == 1 && spin->value() < cap.high) {
        note(index, "spin " + name + " up from " + std::to_string(spin->value()));
        QTest::keyClick(spin, Qt::Key_Up);
    } else {
        note(index, "spin " + name + " down from " + std::to_string(spin->value()));
        QTest::keyClick(spin, Qt::Key_Down);
    }
    return true;
}

bool SessionDriver::switchTab(int index) {
    QTabBar* bar = window.tabs->tabBar();
    const int tab = pick(bar->count());
    note(index, "tab " + std::to_string(tab));
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
    return true;
}

// A handful of names, so that saves overwrite each other as a user's do.
QString SessionDriver::sceneName() {
    const QString name = folder + QStringLiteral("/scene%1.nbs").arg(pick(4));
    if (std::find(savedFiles.begin(), savedFiles.end(), name) == savedFiles.end())
        savedFiles.push_back(name);
    return name;
}

// Before a scene is dropped the window asks about unsaved changes: any answer, and a name for Save
// when the scene has no file yet.
void SessionDriver::answerTheSavePrompt(std::string& description) {
    const int choice = pick(3);
    const DialogProvider::SaveChoice answers[] = {DialogProvider::SaveChoice::Save,
                                                  DialogProvider::SaveChoice::Discard,
                                                  DialogProvider::SaveChoice::Cancel};
    const char* words[] = {"save", "discard", "cancel"};
    dialogs.saveChoices = {answers[choice]};
    description += std::string(" (if asked: ") + words[choice] + ")";
    if (choice == 0)
        dialogs.saveNames = {sceneName()};
}

bool SessionDriver::saveScene(int index) {
    // Save writes to the current file, or asks for a name; Save As always asks.
    const bool as = pick(2) == 0;
    QAction* save = window.findMenuItem(QStringLiteral("&File"),
                                        as ? QStringLiteral("Save &As\u2026") : QStringLiteral("&Save"));
    if (!save)
        return false;
    const QString name = sceneName();
    dialogs.saveNames = {name};
    note(index, std::string(as ? "save as " : "save (or as ") + name.toStdString() + (as ? "" : ")"));
    save->trigger();
    dialogs.saveNames.clear();
    return true;
}

bool SessionDriver::loadScene(int index) {
    QAction* open = window.findMenuItem(QStringLiteral("&File"), QStringLiteral("&Open\u2026"));
    QAction* fresh = window.findMenuItem(QStringLiteral("&File"), QStringLiteral("&New"));
    if (!open || !fresh)
        return false;
    std::string description;
    answerTheSavePrompt(description);
    if (pick(5) == 0) {
        note(index, "new" + description);
        fresh->trigger();
    } else {
        // Now and then a name that does not exist, as a mistyped one would.
        const int choice = pick(static_cast<int>(savedFiles.size()) + 1);
        const QString name = choice < static_cast<int>(savedFiles.size())
                                 ? savedFiles[choice]
                                 : folder + QStringLiteral("/missing.nbs");
        dialogs.openNames = {name};
        note(index, "load " + name.toStdString() + description);
        open->trigger();
    }
    dialogs.openNames.clear();
    dialogs.saveNames.clear();
    dialogs.saveChoices.clear();
    return true;
}
