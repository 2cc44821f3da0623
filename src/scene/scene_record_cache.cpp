// Cached scene-file records: serialised once per change, shared with the writer that puts them on disk.
#include "scene/scene_record_cache.h"

#include "geometry/scene_object.h"
#include "scene/scene_file.h"
#include "scene/scene_list.h"

#include <sstream>
#include <unordered_set>

namespace {

// The scene's positions, noting whether a record asked for any: a record that names no other object
// holds wherever the objects move.
class RecordingPositions : public ObjectPositions {
public:
    explicit RecordingPositions(const SceneList& scene) : scene_(scene) {}
    int positionOf(const SceneObject* object) const override {
        if (object)
            used = true;
        return scene_.positionOf(object);
    }
    SceneObject* objectAt(int position) const override {
        used = true;
        return scene_.objectAt(position);
    }
    int kindAt(int position) const override {
        used = true;
        return scene_.kindAt(position);
    }
    mutable bool used = false;

private:
    const SceneList& scene_;
};

} // namespace

void SceneRecordCache::invalidate(const SceneObject* object) {
    entries_.erase(object);
}

void SceneRecordCache::clear() {
    entries_.clear();
    order_.clear();
    ++layout_;
}

void SceneRecordCache::followLayout(const SceneList& scene) {
    std::size_t index = 0;
    bool moved = false;
    for (const SceneNode* node = scene.first; node; node = node->next, ++index) {
        if (index == order_.size()) {
            order_.push_back(node->object);
        } else if (order_[index] != node->object) {
            order_[index] = node->object;
            moved = true;
        }
    }
    // Objects gone from the end move no other object.
    order_.resize(index);
    if (moved)
        ++layout_;
    // Records of objects that left the scene stay until they are many: one of them may come back
    // with an undo.
    if (entries_.size() > 2 * order_.size() + 64) {
        const std::unordered_set<const SceneObject*> present(order_.begin(), order_.end());
        for (auto entry = entries_.begin(); entry != entries_.end();)
            entry = present.count(entry->first) ? std::next(entry) : entries_.erase(entry);
    }
}

SceneRecordCache::Record SceneRecordCache::current(const SceneObject* object) const {
    const auto entry = entries_.find(object);
    if (entry == entries_.end())
        return nullptr;
    if (entry->second.usesPositions && entry->second.layout != layout_)
        return nullptr;
    return entry->second.record;
}

bool SceneRecordCache::serialise(const SceneList& scene, const SceneObject* object) {
    const char tag = SceneFile::tagOf(object);
    if (!tag) {
        error_ =
            "object " + std::to_string(scene.positionOf(object) + 1) + " of the scene has no scene-file form";
        return false;
    }
    std::ostringstream out(std::ios::binary);
    out.put(tag);
    RecordingPositions positions(scene);
    object->write(out, positions);
    entries_[object] =
        Entry{std::make_shared<const std::string>(std::move(out).str()), positions.used, layout_};
    return true;
}

SceneRecordCache::Progress SceneRecordCache::refresh(const SceneList& scene, Clock::time_point deadline) {
    followLayout(scene);
    error_.clear();
    bool first = true;
    for (const SceneNode* node = scene.first; node; node = node->next) {
        if (current(node->object))
            continue;
        if (!first && Clock::now() >= deadline)
            return Progress::Partly;
        first = false;
        if (!serialise(scene, node->object))
            return Progress::Failed;
    }
    return Progress::Done;
}

std::vector<SceneRecordCache::Record> SceneRecordCache::records(const SceneList& scene) const {
    std::vector<Record> list;
    list.reserve(order_.size());
    for (const SceneNode* node = scene.first; node; node = node->next)
        list.push_back(current(node->object));
    return list;
}
