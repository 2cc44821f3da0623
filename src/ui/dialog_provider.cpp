// The toolkit's colour and file dialogs behind the window's dialog seam.
#include "ui/dialog_provider.h"

#include <QColorDialog>
#include <QFileDialog>

QColor DialogProvider::getColor(const QColor& initial, QWidget* parent, const QString& title) {
    return QColorDialog::getColor(initial, parent, title);
}

QString DialogProvider::getOpenFileName(QWidget* parent, const QString& caption, const QString& startPath,
                                        const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, startPath, filter);
}

QString DialogProvider::getSaveFileName(QWidget* parent, const QString& caption, const QString& startPath,
                                        const QString& filter) {
    return QFileDialog::getSaveFileName(parent, caption, startPath, filter);
}
