// Autosave of the window's scene to a recovery file while it has unsaved changes, and the offer at
// start of the scenes that programs which did not close properly left behind.
#pragma once

#include "scene/recovery_snapshot.h"
#include "ui/dialog_provider.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <thread>

class GLObjectWindow;
class QLockFile;
class QSettings;

// Each running program has its own recovery files in the folder, named by an id: ID.nbs (a normal
// scene file), ID.name (the scene's own file name, empty for an untitled scene) and ID.lock, held
// while the program runs. A lock that is missing or stale (its program is gone) leaves the files
// to be offered at the next start.
//
// The window is held for a slice of at most SliceMilliseconds: the scene's records are serialised
// only for the objects that changed (SceneModel::records), in slices at event-loop turns when many
// did, and a worker thread writes them, shared and never changed, while the scene goes on changing.
class SceneAutosave : public QObject {
    Q_OBJECT

public:
    static constexpr int DefaultIntervalSeconds = 60;
    static constexpr int SliceMilliseconds = 20;

    // Autosaves window's scene into folder every intervalSeconds while it is modified; 0 turns
    // autosaving off (scenes left behind are still offered).
    SceneAutosave(GLObjectWindow& window, const QString& folder, int intervalSeconds);
    // A clean exit: waits for a write in flight, then removes this program's recovery files.
    ~SceneAutosave() override;
    SceneAutosave(const SceneAutosave&) = delete;
    SceneAutosave& operator=(const SceneAutosave&) = delete;

    // autosave/intervalSeconds (default 60; a negative number counts as 0, off).
    static int intervalFromSettings(const QSettings& settings);
    // recovery/ under the application's data location.
    static QString defaultFolder();

    QString folder() const { return folder_; }
    int intervalSeconds() const { return intervalSeconds_; }
    // This program's recovery scene, whether or not it exists yet.
    QString scenePath() const { return pathOf(id_, QStringLiteral(".nbs")); }
    // Whether a write is on its way to disk.
    bool writing() const { return writing_; }

    // Offers the scenes left by programs no longer running, newest first, until one is recovered.
    // Recover loads it with its own file name, marked modified, and takes its files over until it is
    // autosaved again, saved or the program closes; Discard deletes them; Later leaves them for the
    // next start. A scene whose program still runs is not offered.
    void offerRecovery(DialogProvider& dialogs);

public slots:
    // What the timer does: when the scene is modified and differs from the last autosave, brings
    // its records up to date (in slices) and hands them to the writer.
    void autosave();

signals:
    // A write has ended; ok false when it failed and the earlier recovery files stayed whole.
    void written(bool ok);

private:
    GLObjectWindow& window_;
    QString folder_;
    QString id_;
    int intervalSeconds_;
    QTimer timer_;
    std::unique_ptr<QLockFile> lock_;

    bool sliceQueued_ = false;
    bool writing_ = false;
    // The scene changed again while a write was in flight: autosave once it ends.
    bool again_ = false;
    // The recovery files are obsolete (the scene was saved, opened or new) once the write ends.
    bool removeAfterWrite_ = false;
    // One message on stderr per run of failures.
    bool failureReported_ = false;
    RecoverySnapshot lastWritten_;
    std::thread worker_;

    QString pathOf(const QString& id, const QString& suffix) const;
    void modelChanged();
    void continueAutosave();
    void startWrite(RecoverySnapshot snapshot);
    void writeFinished(bool ok, const QString& error, RecoverySnapshot snapshot);
    void reportFailure(const QString& error);
    bool lockOwnFiles(QString& error);
    void removeOwnFiles();
    void removeFilesOf(const QString& id);
    bool recover(const QString& id, const QString& sceneFile, DialogProvider& dialogs);
};
