// Where the main window gets its colour and file answers: the toolkit's modal dialogs by default.
#pragma once

#include <QColor>
#include <QString>

class QDateTime;
class QWidget;

// Tests derive from this to answer without a modal loop. An invalid colour or a null name
// means the user cancelled.
class DialogProvider {
public:
    virtual ~DialogProvider() = default;

    virtual QColor getColor(const QColor& initial, QWidget* parent, const QString& title);
    virtual QString getOpenFileName(QWidget* parent, const QString& caption, const QString& startPath,
                                    const QString& filter);
    virtual QString getSaveFileName(QWidget* parent, const QString& caption, const QString& startPath,
                                    const QString& filter);

    // A file to export to, with the filter the user chose among filters (";;"-separated); an empty
    // name for a cancel.
    struct ExportChoice {
        QString name, filter;
    };
    virtual ExportChoice getExportFileName(QWidget* parent, const QString& caption, const QString& startPath,
                                           const QString& filters);
    // What an export wrote: a short report.
    virtual void showReport(QWidget* parent, const QString& title, const QString& text);

    // Asked before unsaved changes would be dropped: "Save changes to NAME before closing?"
    enum class SaveChoice { Save, Discard, Cancel };
    virtual SaveChoice askToSaveChanges(QWidget* parent, const QString& sceneName);
    // A warning box: text says what failed, detail why (the file's entry, offset and field).
    virtual void showError(QWidget* parent, const QString& title, const QString& text, const QString& detail);

    // A scene left by a program that did not close properly: Recover it (the default, for Return),
    // Discard it, or ask again at a Later start (also Escape).
    enum class RecoveryAnswer { Recover, Discard, Later };
    virtual RecoveryAnswer askRecovery(QWidget* parent, const QString& sceneName, const QDateTime& saved);
    // The question askRecovery puts.
    static QString recoveryQuestion(const QString& sceneName, const QDateTime& saved);
};
