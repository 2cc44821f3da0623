// What an autosave writes: taken on the GUI thread in a moment, written to disk on another thread.
#pragma once

#include "scene/scene_record_cache.h"

#include <string>
#include <vector>

class RecoverySnapshot {
public:
    // The scene's records in order; they are never changed, so the scene may change meanwhile.
    std::vector<SceneRecordCache::Record> records;
    // The file the scene was loaded from or saved to, in the file system's encoding; empty for an
    // untitled scene.
    std::string sceneFile;

    // Writes the records to scenePath, a normal scene file, then sceneFile to namePath, each through
    // the crash-safe writer: a failed write leaves the earlier file whole. error names the file and
    // the system's reason.
    bool write(const std::string& scenePath, const std::string& namePath, std::string& error) const;
    // Whether writing this would give the same files as other.
    bool sameAs(const RecoverySnapshot& other) const;
};
