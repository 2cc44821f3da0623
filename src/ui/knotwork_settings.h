// The program's settings file: recent files, window geometry, autosave interval, view options.
#pragma once

#include <QSettings>

inline QSettings knotworkSettings() {
    return QSettings(QStringLiteral("Knotwork"), QStringLiteral("knotwork"));
}
