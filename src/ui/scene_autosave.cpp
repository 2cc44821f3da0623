// The autosave's timer, slices and writer thread, and the recovery offer at start.
#include "ui/scene_autosave.h"

#include "canvas/gl_pelm.h"
#include "scene/scene_file.h"
#include "scene/scene_model.h"
#include "ui/gl_object_window.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <sstream>
#include <utility>

namespace {

QString intervalKey() {
    return QStringLiteral("autosave/intervalSeconds");
}

} // namespace

SceneAutosave::SceneAutosave(GLObjectWindow& window, const QString& folder, int intervalSeconds)
    : window_(window), folder_(folder), intervalSeconds_(std::max(0, intervalSeconds)) {
    // The process id keeps running programs apart, the time those of one id over boots, the count
    // the autosaves of one program.
    static int made = 0;
    id_ = QStringLiteral("%1-%2-%3")
              .arg(QCoreApplication::applicationPid())
              .arg(QDateTime::currentMSecsSinceEpoch())
              .arg(++made);
    timer_.setInterval(std::chrono::seconds(intervalSeconds_));
    connect(&timer_, &QTimer::timeout, this, &SceneAutosave::autosave);
    connect(window_.canvas, &GLPelm::historyChanged, this, &SceneAutosave::modelChanged);
    modelChanged();
}

SceneAutosave::~SceneAutosave() {
    timer_.stop();
    if (worker_.joinable())
        worker_.join();
    removeOwnFiles();
}

int SceneAutosave::intervalFromSettings(const QSettings& settings) {
    bool number = false;
    const int seconds = settings.value(intervalKey(), DefaultIntervalSeconds).toInt(&number);
    if (!number)
        return DefaultIntervalSeconds;
    return std::max(0, seconds);
}

QString SceneAutosave::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/recovery");
}

QString SceneAutosave::pathOf(const QString& id, const QString& suffix) const {
    return folder_ + QLatin1Char('/') + id + suffix;
}

// ---- Autosave ----

void SceneAutosave::modelChanged() {
    if (window_.canvas->model.isModified()) {
        if (intervalSeconds_ > 0 && !timer_.isActive())
            timer_.start();
        return;
    }
    // Saved, opened, new or undone back to the saved state: nothing is left to recover.
    timer_.stop();
    again_ = false;
    if (writing_)
        removeAfterWrite_ = true;
    else
        removeOwnFiles();
}

void SceneAutosave::autosave() {
    if (sliceQueued_)
        return;
    continueAutosave();
}

void SceneAutosave::continueAutosave() {
    sliceQueued_ = false;
    SceneModel& model = window_.canvas->model;
    if (!model.isModified())
        return;
    const auto deadline = SceneRecordCache::Clock::now() + std::chrono::milliseconds(SliceMilliseconds);
    switch (model.records.refresh(model.scene, deadline)) {
    case SceneRecordCache::Progress::Partly:
        // The rest at the next turn of the event loop, after whatever the user did meanwhile.
        sliceQueued_ = true;
        QTimer::singleShot(0, this, &SceneAutosave::continueAutosave);
        return;
    case SceneRecordCache::Progress::Failed:
        reportFailure(QString::fromStdString(model.records.error()));
        emit written(false);
        return;
    case SceneRecordCache::Progress::Done:
        break;
    }
    RecoverySnapshot snapshot;
    snapshot.records = model.records.records(model.scene);
    snapshot.sceneFile = QFile::encodeName(window_.currentFile()).toStdString();
    if (writing_) {
        again_ = true;
        return;
    }
    if (snapshot.sameAs(lastWritten_))
        return;
    startWrite(std::move(snapshot));
}

void SceneAutosave::startWrite(RecoverySnapshot snapshot) {
    QString error;
    if (!lockOwnFiles(error)) {
        reportFailure(error);
        emit written(false);
        return;
    }
    writing_ = true;
    const std::string scenePath = QFile::encodeName(this->scenePath()).toStdString();
    const std::string namePath = QFile::encodeName(pathOf(id_, QStringLiteral(".name"))).toStdString();
    // The worker touches only the snapshot and the file system; its answer comes back as an event.
    worker_ = std::thread([this, snapshot = std::move(snapshot), scenePath, namePath]() mutable {
        std::string reason;
        const bool ok = snapshot.write(scenePath, namePath, reason);
        QMetaObject::invokeMethod(
            this,
            [this, ok, reason, snapshot = std::move(snapshot)]() mutable {
                writeFinished(ok, QString::fromStdString(reason), std::move(snapshot));
            },
            Qt::QueuedConnection);
    });
}

void SceneAutosave::writeFinished(bool ok, const QString& error, RecoverySnapshot snapshot) {
    worker_.join();
    writing_ = false;
    if (ok) {
        lastWritten_ = std::move(snapshot);
        failureReported_ = false;
    } else {
        reportFailure(error);
    }
    if (removeAfterWrite_ || !window_.canvas->model.isModified()) {
        removeAfterWrite_ = false;
        removeOwnFiles();
    } else if (again_) {
        again_ = false;
        autosave();
    }
    emit written(ok);
}

void SceneAutosave::reportFailure(const QString& error) {
    // On stderr only: a dialog every interval would stop the user's work for something it cannot fix.
    if (failureReported_)
        return;
    failureReported_ = true;
    std::cerr << "knotwork: autosave failed, the last recovery file is kept: " << error.toStdString()
              << std::endl;
}

bool SceneAutosave::lockOwnFiles(QString& error) {
    if (lock_ && lock_->isLocked())
        return true;
    if (!QDir().mkpath(folder_)) {
        error = QStringLiteral("cannot make the folder %1").arg(folder_);
        return false;
    }
    lock_ = std::make_unique<QLockFile>(pathOf(id_, QStringLiteral(".lock")));
    // Only a lock whose program is gone is stale, however long this program runs.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        error = QStringLiteral("cannot lock %1 (error %2)")
                    .arg(pathOf(id_, QStringLiteral(".lock")))
                    .arg(static_cast<int>(lock_->error()));
        lock_.reset();
        return false;
    }
    return true;
}

void SceneAutosave::removeOwnFiles() {
    lastWritten_ = RecoverySnapshot();
    if (!lock_)
        return;
    QFile::remove(scenePath());
    QFile::remove(pathOf(id_, QStringLiteral(".name")));
}

void SceneAutosave::removeFilesOf(const QString& id) {
    // The scene, its name and any temporary file a write killed halfway left.
    QDir folder(folder_);
    for (const QString& name : folder.entryList({id + QStringLiteral(".*")}, QDir::Files | QDir::Hidden))
        if (name != id + QStringLiteral(".lock"))
            folder.remove(name);
}

// ---- Recovery ----

void SceneAutosave::offerRecovery(DialogProvider& dialogs) {
    const QFileInfoList scenes =
        QDir(folder_).entryInfoList({QStringLiteral("*.nbs")}, QDir::Files, QDir::Time);
    for (const QFileInfo& scene : scenes) {
        const QString id = scene.completeBaseName();
        if (id == id_)
            continue;
        // Held while asking, so a program starting meanwhile does not offer the same scene.
        QLockFile lock(pathOf(id, QStringLiteral(".lock")));
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0))
            continue; // its program still runs
        QFile nameFile(pathOf(id, QStringLiteral(".name")));
        const QString sceneFile =
            nameFile.open(QIODevice::ReadOnly) ? QFile::decodeName(nameFile.readAll()) : QString();
        const QString sceneName =
            sceneFile.isEmpty() ? GLObjectWindow::tr("Untitled") : QFileInfo(sceneFile).fileName();
        switch (dialogs.askRecovery(&window_, sceneName, scene.lastModified())) {
        case DialogProvider::RecoveryAnswer::Recover:
            if (recover(id, sceneFile, dialogs))
                return;
            break;
        case DialogProvider::RecoveryAnswer::Discard:
            removeFilesOf(id);
            break;
        case DialogProvider::RecoveryAnswer::Later:
            break;
        }
    }
}

bool SceneAutosave::recover(const QString& id, const QString& sceneFile, DialogProvider& dialogs) {
    GLPelm& canvas = *window_.canvas;
    const QByteArray path = QFile::encodeName(pathOf(id, QStringLiteral(".nbs")));
    // A damaged recovery file is reported like a damaged scene and stays, for a later try.
    std::ostringstream out, err;
    if (!canvas.loadSceneFile(path.constData(), out, err)) {
        std::cerr << err.str();
        dialogs.showError(&window_, GLObjectWindow::tr("Recover"),
                          QString::fromLatin1(SceneFile::LoadFailedMessage),
                          QString::fromStdString(err.str()).trimmed());
        return false;
    }
    std::cerr << err.str();
    window_.setCurrentFile(sceneFile);
    canvas.model.markModified();
    // The files become this program's: kept under its lock until the scene is autosaved again (then
    // replaced), saved or the program closes.
    QString error;
    if (!lockOwnFiles(error)) {
        reportFailure(error);
        return true;
    }
    removeOwnFiles();
    QDir folder(folder_);
    folder.rename(id + QStringLiteral(".nbs"), id_ + QStringLiteral(".nbs"));
    folder.rename(id + QStringLiteral(".name"), id_ + QStringLiteral(".name"));
    removeFilesOf(id);
    return true;
}
