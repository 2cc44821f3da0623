// Finds a data file (font texture, icons): working directory, then beside the executable, then installed.
#include "canvas/asset_locator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
bool isFile(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}
} // namespace

AssetLocator::AssetLocator() {
    // applicationDirPath() warns and answers nothing before the application object exists.
    if (QCoreApplication::instance() != nullptr) {
        const QDir executableDir(QCoreApplication::applicationDirPath());
        executableDataDir = executableDir.filePath("data").toStdString();
#ifdef KNOTWORK_RELATIVE_DATA_DIR
        executableShareDir =
            QDir::cleanPath(executableDir.filePath(KNOTWORK_RELATIVE_DATA_DIR)).toStdString();
#endif
    }
#ifdef KNOTWORK_INSTALL_DATA_DIR
    installDataDir = KNOTWORK_INSTALL_DATA_DIR;
#endif
}

std::string AssetLocator::locate(const std::string& name) const {
    const QString relative = QString::fromStdString(name);
    if (name.empty() || QFileInfo(relative).isAbsolute())
        return name;

    if (workingDir.empty()) {
        if (isFile(relative))
            return name;
    } else {
        const QString path = QDir(QString::fromStdString(workingDir)).filePath(relative);
        if (isFile(path))
            return path.toStdString();
    }
    for (const std::string* dir : {&executableDataDir, &executableShareDir, &installDataDir}) {
        if (dir->empty())
            continue;
        const QString path = QDir(QString::fromStdString(*dir)).filePath(relative);
        if (isFile(path))
            return path.toStdString();
    }
    return name;
}

std::string AssetLocator::find(const std::string& name) {
    return AssetLocator().locate(name);
}
