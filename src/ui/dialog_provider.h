// Where the main window gets its colour and file answers: the toolkit's modal dialogs by default.
#pragma once

#include <QColor>
#include <QString>

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
};
