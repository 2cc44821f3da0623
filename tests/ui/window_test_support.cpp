// Shared helpers of the window tests.
#include "window_test_support.h"

#include "canvas/gl_pelm.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <cmath>

DataFolderAsWorkingDirectory::DataFolderAsWorkingDirectory() : previous(QDir::currentPath()) {
    QDir::setCurrent(QStringLiteral(KNOTWORK_SOURCE_DIR "/data"));
}

DataFolderAsWorkingDirectory::~DataFolderAsWorkingDirectory() {
    QDir::setCurrent(previous);
}

std::unique_ptr<GLObjectWindow> makeWindow() {
    return std::make_unique<GLObjectWindow>(nullptr, nullptr);
}

std::unique_ptr<GLObjectWindow> showWindow(int width, int height) {
    auto window = makeWindow();
    window->resize(width, height);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    return window;
}

QPoint pressSpot(QAbstractButton* button) {
    // A check field answers only on its box and its text, which sit at its left end.
    if (qobject_cast<QCheckBox*>(button))
        return QPoint(8, button->height() / 2);
    return button->rect().center();
}

void pressButton(QAbstractButton* button) {
    QTest::mousePress(button, Qt::LeftButton, {}, pressSpot(button));
}

void releaseButton(QAbstractButton* button) {
    QTest::mouseRelease(button, Qt::LeftButton, {}, pressSpot(button));
}

void clickButton(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, pressSpot(button));
}

void typeIntoSpin(QAbstractSpinBox* spin, const QString& text, Qt::Key finish) {
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, text);
    QTest::keyClick(spin, finish);
}

void hoverOver(QWidget& widget, QPoint spot) {
    QMouseEvent move(QEvent::MouseMove, QPointF(spot), QPointF(widget.mapToGlobal(spot)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &move);
}

void activate(QWidget& window) {
    QApplication::setActiveWindow(&window);
    QApplication::processEvents();
}

bool answerModalDialog(QWidget& owner, const std::function<void()>& open,
                       const std::function<bool(QWidget* dialog)>& answer) {
    // Shared with the timer, which may fire after an open() that showed nothing has returned.
    auto taken = std::make_shared<bool>(false);
    QTimer::singleShot(0, &owner, [taken, answer] { *taken = answer(QApplication::activeModalWidget()); });
    QTimer::singleShot(3000, &owner, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    open();
    return *taken;
}

QPoint viewSpot(GLPelm& canvas, int viewKind, double fx, double fy) {
    canvas.grabFramebuffer();
    const double ratio = canvas.devicePixelRatioF();
    // Device pixels, y down: the split line between the upper and lower views is splitY from the bottom.
    const double lineY = canvas.canvasHeight - canvas.splitY;
    const bool leftColumn = viewKind == ViewKind::Top || viewKind == ViewKind::Front;
    const bool upperRow = viewKind == ViewKind::Top || viewKind == ViewKind::Perspective;
    const double x0 = leftColumn ? 0.0 : canvas.splitX, x1 = leftColumn ? canvas.splitX : canvas.canvasWidth;
    const double y0 = upperRow ? 0.0 : lineY, y1 = upperRow ? lineY : canvas.canvasHeight;
    return QPoint(static_cast<int>((x0 + fx * (x1 - x0)) / ratio),
                  static_cast<int>((y0 + fy * (y1 - y0)) / ratio));
}

bool worldAt(GLPelm& canvas, int viewKind, QPoint spot, ControlPoint& out) {
    const double ratio = canvas.devicePixelRatioF();
    return canvas.unproject(viewKind, static_cast<int>(std::lround(spot.x() * ratio)),
                            static_cast<int>(std::lround(spot.y() * ratio)), out);
}

QColor ScriptedDialogs::getColor(const QColor& initial, QWidget*, const QString& title) {
    calls.push_back({QStringLiteral("colour"), title, QString(), QString(), initial});
    if (colours.empty())
        return QColor();
    const QColor answer = colours.front();
    colours.erase(colours.begin());
    return answer;
}

QString ScriptedDialogs::getOpenFileName(QWidget*, const QString& caption, const QString& startPath,
                                         const QString& filter) {
    calls.push_back({QStringLiteral("open"), caption, startPath, filter, QColor()});
    return openNames.isEmpty() ? QString() : openNames.takeFirst();
}

QString ScriptedDialogs::getSaveFileName(QWidget*, const QString& caption, const QString& startPath,
                                         const QString& filter) {
    calls.push_back({QStringLiteral("save"), caption, startPath, filter, QColor()});
    return saveNames.isEmpty() ? QString() : saveNames.takeFirst();
}

DialogProvider::ExportChoice ScriptedDialogs::getExportFileName(QWidget*, const QString& caption,
                                                                const QString& startPath,
                                                                const QString& filters) {
    calls.push_back({QStringLiteral("export"), caption, startPath, filters, QColor()});
    if (exportChoices.empty())
        return ExportChoice{};
    const ExportChoice answer = exportChoices.front();
    exportChoices.erase(exportChoices.begin());
    return answer;
}

void ScriptedDialogs::showReport(QWidget*, const QString&, const QString& text) {
    calls.push_back({QStringLiteral("report"), text, QString(), QString(), QColor()});
}

DialogProvider::SaveChoice ScriptedDialogs::askToSaveChanges(QWidget*, const QString& sceneName) {
    calls.push_back({QStringLiteral("ask"), sceneName, QString(), QString(), QColor()});
    if (saveChoices.empty())
        return SaveChoice::Cancel;
    const SaveChoice answer = saveChoices.front();
    saveChoices.erase(saveChoices.begin());
    return answer;
}

void ScriptedDialogs::showError(QWidget*, const QString&, const QString& text, const QString& detail) {
    calls.push_back({QStringLiteral("error"), text, detail, QString(), QColor()});
}

DialogProvider::RecoveryAnswer ScriptedDialogs::askRecovery(QWidget*, const QString& sceneName,
                                                            const QDateTime& saved) {
    calls.push_back(
        {QStringLiteral("recover"), sceneName, saved.toString(Qt::ISODateWithMs), QString(), QColor()});
    if (recoveryAnswers.empty())
        return RecoveryAnswer::Later;
    const RecoveryAnswer answer = recoveryAnswers.front();
    recoveryAnswers.erase(recoveryAnswers.begin());
    return answer;
}

std::vector<ScriptedDialogs::Call> ScriptedDialogs::callsOf(const QString& kind) const {
    std::vector<Call> found;
    for (const Call& call : calls)
        if (call.kind == kind)
            found.push_back(call);
    return found;
}
