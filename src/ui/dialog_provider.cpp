// The toolkit's colour and file dialogs behind the window's dialog seam.
#include "ui/dialog_provider.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

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

DialogProvider::SaveChoice DialogProvider::askToSaveChanges(QWidget* parent, const QString& sceneName) {
    QMessageBox box(QMessageBox::Warning, QObject::tr("Knotwork"),
                    QObject::tr("Save changes to %1 before closing?").arg(sceneName),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveChoice::Save;
    case QMessageBox::Discard:
        return SaveChoice::Discard;
    default:
        return SaveChoice::Cancel;
    }
}

void DialogProvider::showError(QWidget* parent, const QString& title, const QString& text,
                               const QString& detail) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.setInformativeText(detail);
    box.exec();
}

DialogProvider::ExportChoice DialogProvider::getExportFileName(QWidget* parent, const QString& caption,
                                                               const QString& startPath,
                                                               const QString& filters) {
    ExportChoice choice;
    choice.name = QFileDialog::getSaveFileName(parent, caption, startPath, filters, &choice.filter);
    return choice;
}

void DialogProvider::showReport(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::information(parent, title, text);
}
