// Shared helpers of the window tests: a shown window, presses where a user presses, scripted dialogs.
#pragma once

#include "ui/dialog_provider.h"
#include "ui/gl_object_window.h"

#include <QApplication>
#include <QColor>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

class GLPelm;
class QAbstractButton;
class QAbstractSpinBox;
class QSpinBox;
struct ControlPoint;

#define KNOTWORK_REQUIRE_APP()                                                                               \
    do {                                                                                                     \
        if (!qApp)                                                                                           \
            GTEST_SKIP() << "no display (run under xvfb-run)";                                               \
    } while (0)

// The committed data folder as the working directory while it lives, so that a window made meanwhile
// loads the font and the icons as the program does.
struct DataFolderAsWorkingDirectory {
    QString previous;
    DataFolderAsWorkingDirectory();
    ~DataFolderAsWorkingDirectory();
};

std::unique_ptr<GLObjectWindow> makeWindow();

// Shows the window at the given size and waits until it is laid out on screen.
std::unique_ptr<GLObjectWindow> showWindow(int width = 1400, int height = 1000);

// Where a user presses a button: a check field on its box, a push button in its middle.
QPoint pressSpot(QAbstractButton* button);
void pressButton(QAbstractButton* button);
void releaseButton(QAbstractButton* button);
void clickButton(QAbstractButton* button);

// Types the value into the field and presses Enter (or the given key), as a user would.
void typeIntoSpin(QAbstractSpinBox* spin, const QString& text, Qt::Key finish = Qt::Key_Return);

// A move with no button held, straight to the widget: QTest's moves go through the display server's
// pointer, whose own motion events may come in later than the next move.
void hoverOver(QWidget& widget, QPoint spot);

// Makes the window the active one inside Qt, so that keys without a widget go to its focus:
// tests running at once on the same display may hold the X focus.
void activate(QWidget& window);

// Runs open(), which shows a modal dialog, and hands the dialog to answer() once it is up; answer()
// fills it in and closes it, and returns false when it is not the dialog expected. A dialog left open
// is closed after 3 seconds, so a fault fails the test instead of hanging it. Whether answer() took it.
bool answerModalDialog(QWidget& owner, const std::function<void()>& open,
                       const std::function<bool(QWidget* dialog)>& answer);

// A widget position (logical pixels) in a view of the canvas (a ViewKind) at the fractions fx, fy of
// its width and height from its top left corner; renders a frame first so the views are placed.
QPoint viewSpot(GLPelm& canvas, int viewKind, double fx, double fy);
// The world point under a widget position (logical pixels) in an orthographic view; false elsewhere.
bool worldAt(GLPelm& canvas, int viewKind, QPoint spot, ControlPoint& out);

// Answers the window's dialogs from queues, recording what each call asked for. An empty queue
// answers as a cancelled dialog would.
class ScriptedDialogs : public DialogProvider {
public:
    std::vector<QColor> colours;
    QStringList openNames, saveNames;
    // Answers of the export dialog: a name and the filter chosen; an empty queue cancels.
    std::vector<ExportChoice> exportChoices;
    // Answers to "Save changes to NAME before closing?"; an empty queue cancels.
    std::vector<SaveChoice> saveChoices;
    // Answers to the recovery question; an empty queue answers Later.
    std::vector<RecoveryAnswer> recoveryAnswers;

    // kind is "colour", "open", "save", "export" (filter: every filter offered), "ask" (caption: the
    // scene's name), "error" (caption: the box's text, startPath: its detail), "report" (caption: the
    // report) or "recover" (caption: the scene's name, startPath: its date in ISO form).
    struct Call {
        QString kind, caption, startPath, filter;
        QColor initial;
    };
    std::vector<Call> calls;

    QColor getColor(const QColor& initial, QWidget* parent, const QString& title) override;
    QString getOpenFileName(QWidget* parent, const QString& caption, const QString& startPath,
                            const QString& filter) override;
    QString getSaveFileName(QWidget* parent, const QString& caption, const QString& startPath,
                            const QString& filter) override;
    ExportChoice getExportFileName(QWidget* parent, const QString& caption, const QString& startPath,
                                   const QString& filters) override;
    void showReport(QWidget* parent, const QString& title, const QString& text) override;
    SaveChoice askToSaveChanges(QWidget* parent, const QString& sceneName) override;
    void showError(QWidget* parent, const QString& title, const QString& text,
                   const QString& detail) override;
    RecoveryAnswer askRecovery(QWidget* parent, const QString& sceneName, const QDateTime& saved) override;
    // The calls of one kind.
    std::vector<Call> callsOf(const QString& kind) const;
};
