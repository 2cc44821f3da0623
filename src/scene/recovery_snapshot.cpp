// Writing an autosave's records and the scene's file name through the crash-safe writer.
#include "scene/recovery_snapshot.h"

#include "scene/safe_file_writer.h"

namespace {

bool writeFile(const std::string& path, const std::vector<const std::string*>& parts, std::string& error) {
    SafeFileWriter writer(path);
    if (!writer.open()) {
        error = writer.error();
        return false;
    }
    for (const std::string* part : parts)
        writer.stream().write(part->data(), static_cast<std::streamsize>(part->size()));
    if (!writer.commit()) {
        error = writer.error();
        return false;
    }
    return true;
}

} // namespace

bool RecoverySnapshot::write(const std::string& scenePath, const std::string& namePath,
                             std::string& error) const {
    std::vector<const std::string*> parts;
    parts.reserve(records.size());
    for (const SceneRecordCache::Record& record : records)
        parts.push_back(record.get());
    return writeFile(scenePath, parts, error) && writeFile(namePath, {&sceneFile}, error);
}

bool RecoverySnapshot::sameAs(const RecoverySnapshot& other) const {
    // The records are shared and never changed: the same record is the same bytes.
    return sceneFile == other.sceneFile && records == other.records;
}
