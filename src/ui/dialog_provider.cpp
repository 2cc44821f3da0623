// The toolkit's colour, file and question dialogs behind the window's dialog seam.
#include "ui/dialog_provider.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

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

QString DialogProvider::recoveryQuestion(const QString& sceneName, const QDateTime& saved) {
    return QCoreApplication::translate(
               "DialogProvider", "Knotwork did not close properly. Recover the unsaved scene %1 from %2?")
        .arg(sceneName, QLocale().toString(saved, QLocale::ShortFormat));
}

DialogProvider::RecoveryAnswer DialogProvider::askRecovery(QWidget* parent, const QString& sceneName,
                                                           const QDateTime& saved) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Knotwork"), recoveryQuestion(sceneName, saved),
                    QMessageBox::NoButton, parent);
    QPushButton* recover =
        box.addButton(QCoreApplication::translate("DialogProvider", "&Recover"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QCoreApplication::translate("DialogProvider", "&Discard"),
                                         QMessageBox::DestructiveRole);
    QPushButton* later =
        box.addButton(QCoreApplication::translate("DialogProvider", "&Later"), QMessageBox::RejectRole);
    box.setDefaultButton(recover);
    box.setEscapeButton(later);
    box.exec();
    if (box.clickedButton() == recover)
        return RecoveryAnswer::Recover;
    if (box.clickedButton() == discard)
        return RecoveryAnswer::Discard;
    return RecoveryAnswer::Later;
}
