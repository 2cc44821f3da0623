// The window's File menu: new, open, recent, save and save as, the prompt before unsaved changes are
// dropped, the messages of failed loads and saves, and the settings that remember files and folders.
#include "ui/gl_object_window.h"

#include "canvas/gl_pelm.h"
#include "export/scene_exporter.h"
#include "scene/scene_file.h"
#include "ui/knotwork_settings.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QStatusBar>

#include <iostream>
#include <sstream>

namespace {

const char* const sceneFilter = "NURBS (*.nbs)";
constexpr int maxRecentFiles = 8;
constexpr int statusMessageMilliseconds = 4000;

// What the canvas wrote for the user goes to the terminal as before; the reason is also returned for
// the message box, without the program's name in front.
QString passOn(const std::ostringstream& out, const std::ostringstream& err) {
    std::cout << out.str() << std::flush;
    std::cerr << err.str() << std::flush;
    QString reason = QString::fromStdString(err.str()).trimmed();
    if (reason.startsWith(QStringLiteral("knotwork: ")))
        reason = reason.mid(10);
    return reason;
}

} // namespace

void GLObjectWindow::setCurrentFile(const QString& path) {
    currentFile_ = path;
    updateTitle();
}

QString GLObjectWindow::sceneName() const {
    return currentFile_.isEmpty() ? tr("Untitled") : QFileInfo(currentFile_).fileName();
}

QString GLObjectWindow::dialogFolder() const {
    if (!currentFile_.isEmpty())
        return QFileInfo(currentFile_).absolutePath();
    const QString last = knotworkSettings().value(QStringLiteral("recent/lastFolder")).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    return QDir::homePath();
}

QStringList GLObjectWindow::recentFiles() const {
    return knotworkSettings().value(QStringLiteral("recent/files")).toStringList();
}

void GLObjectWindow::rememberFile(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QSettings s = knotworkSettings();
    QStringList files = s.value(QStringLiteral("recent/files")).toStringList();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > maxRecentFiles)
        files.removeLast();
    s.setValue(QStringLiteral("recent/files"), files);
    s.setValue(QStringLiteral("recent/lastFolder"), QFileInfo(absolute).absolutePath());
    rebuildRecentMenu();
}

void GLObjectWindow::rebuildRecentMenu() {
    recentMenu->clear();
    const QStringList files = recentFiles();
    for (int i = 0; i < files.size(); ++i) {
        // Numbered mnemonics, as file menus do; the full path is in the tip.
        QAction* item = recentMenu->addAction(tr("&%1 %2").arg(i + 1).arg(QFileInfo(files[i]).fileName()));
        item->setToolTip(files[i]);
        item->setStatusTip(files[i]);
        const QString path = files[i];
        connect(item, &QAction::triggered, this, [this, path] { openRecentFile(path); });
    }
    recentMenu->setEnabled(!files.isEmpty());
}

bool GLObjectWindow::maybeSaveChanges() {
    if (!canvas->model.isModified())
        return true;
    switch (dialogs->askToSaveChanges(this, sceneName())) {
    case DialogProvider::SaveChoice::Save:
        return saveCurrentScene();
    case DialogProvider::SaveChoice::Discard:
        return true;
    default:
        return false;
    }
}

void GLObjectWindow::newScene() {
    if (!maybeSaveChanges())
        return;
    canvas->newScene();
    setCurrentFile(QString());
}

bool GLObjectWindow::openFile(const QString& path) {
    std::ostringstream out, err;
    const QByteArray encoded = QFile::encodeName(path);
    const bool opened = canvas->loadSceneFile(encoded.constData(), out, err);
    const QString reason = passOn(out, err);
    if (!opened) {
        dialogs->showError(this, tr("Open"), QString::fromLatin1(SceneFile::LoadFailedMessage), reason);
        return false;
    }
    setCurrentFile(QFileInfo(path).absoluteFilePath());
    rememberFile(path);
    statusBar->showMessage(tr("Opened %1").arg(sceneName()), statusMessageMilliseconds);
    return true;
}

bool GLObjectWindow::saveFile(const QString& path) {
    std::ostringstream out, err;
    const QByteArray encoded = QFile::encodeName(path);
    const bool saved = canvas->saveSceneFile(encoded.constData(), out, err);
    const QString reason = passOn(out, err);
    if (!saved) {
        dialogs->showError(this, tr("Save"), QString::fromLatin1(SceneFile::SaveFailedMessage), reason);
        return false;
    }
    canvas->model.markSaved();
    setCurrentFile(QFileInfo(path).absoluteFilePath());
    rememberFile(path);
    statusBar->showMessage(tr("Saved %1").arg(sceneName()), statusMessageMilliseconds);
    return true;
}

// File names reach the canvas in the local 8-bit encoding, which the file system reads back exactly;
// Latin-1 would turn every other character into '?'.
void GLObjectWindow::openLoadFileManager() {
    if (!maybeSaveChanges())
        return;
    const QString name = dialogs->getOpenFileName(this, tr("Choose a file to open"), dialogFolder(),
                                                  QString::fromLatin1(sceneFilter));
    if (name.isEmpty())
        return;
    const QByteArray encoded = QFile::encodeName(name);
    emit loadScene(encoded.constData());
    openFile(name);
}

void GLObjectWindow::openRecentFile(const QString& path) {
    if (!maybeSaveChanges())
        return;
    if (!openFile(path) && !QFileInfo::exists(path)) {
        // A file that has gone leaves the list.
        QSettings s = knotworkSettings();
        QStringList files = s.value(QStringLiteral("recent/files")).toStringList();
        files.removeAll(path);
        s.setValue(QStringLiteral("recent/files"), files);
        rebuildRecentMenu();
    }
}

void GLObjectWindow::openSaveFileManager() {
    saveSceneAs();
}

bool GLObjectWindow::saveSceneAs() {
    QString name = dialogs->getSaveFileName(this, tr("Choose a file to save"), dialogFolder(),
                                            QString::fromLatin1(sceneFilter));
    if (name.isEmpty())
        return false;
    if (!name.endsWith(QStringLiteral(".nbs"), Qt::CaseSensitive))
        name += QStringLiteral(".nbs");
    const QByteArray encoded = QFile::encodeName(name);
    emit saveScene(encoded.constData());
    return saveFile(name);
}

bool GLObjectWindow::saveCurrentScene() {
    return currentFile_.isEmpty() ? saveSceneAs() : saveFile(currentFile_);
}

void GLObjectWindow::closeEvent(QCloseEvent* event) {
    if (!maybeSaveChanges()) {
        event->ignore();
        return;
    }
    if (isVisible())
        knotworkSettings().setValue(QStringLiteral("window/geometry"), saveGeometry());
    event->accept();
}

namespace {
// "STEP AP214 (*.step *.stp)"
QString filterOf(const ExportFormatInfo& info) {
    QStringList patterns;
    for (const QString& extension : QString::fromLatin1(info.extensions).split(QLatin1Char(' ')))
        patterns << QStringLiteral("*.") + extension;
    return QStringLiteral("%1 (%2)").arg(QString::fromLatin1(info.name), patterns.join(QLatin1Char(' ')));
}
} // namespace

void GLObjectWindow::exportScene() {
    const std::vector<ExportFormatInfo> formats = availableExportFormats();
    QStringList filters;
    for (const ExportFormatInfo& info : formats)
        filters << filterOf(info);
    const DialogProvider::ExportChoice choice = dialogs->getExportFileName(
        this, tr("Export the scene"), dialogFolder(), filters.join(QStringLiteral(";;")));
    if (choice.name.isEmpty())
        return;
    // The chosen filter decides (the two OBJ kinds share an extension); a name without one of its
    // extensions gets the first.
    const ExportFormatInfo* chosen = &formats.front();
    for (std::size_t i = 0; i < formats.size(); ++i)
        if (filters[static_cast<int>(i)] == choice.filter)
            chosen = &formats[i];
    QString name = choice.name;
    const QStringList extensions = QString::fromLatin1(chosen->extensions).split(QLatin1Char(' '));
    if (!extensions.contains(QFileInfo(name).suffix(), Qt::CaseInsensitive))
        name += QLatin1Char('.') + extensions.front();
    exportTo(name, chosen->format);
}

bool GLObjectWindow::exportTo(const QString& path, int format) {
    const ExportResult result =
        ::exportScene(canvas->scene, QFile::encodeName(path).toStdString(), format, ExportOptions{true});
    if (!result.ok) {
        dialogs->showError(this, tr("Export"), tr("The scene could not be exported."),
                           QString::fromStdString(result.error));
        return false;
    }
    statusBar->showMessage(QString::fromStdString(result.summary()), statusMessageMilliseconds);
    dialogs->showReport(this, tr("Export"), QString::fromStdString(result.report()));
    return true;
}
