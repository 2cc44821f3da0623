// Each object's scene-file record kept between autosaves, so that a snapshot of the scene serialises
// only the objects that changed since the last one.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class SceneList;
class SceneObject;

class SceneRecordCache {
public:
    // The tag byte and the object's record, as SceneFile::write puts them; shared and never changed,
    // so a writer on another thread can hold it while the scene goes on changing.
    using Record = std::shared_ptr<const std::string>;
    using Clock = std::chrono::steady_clock;
    enum class Progress { Done, Partly, Failed };

    // object is about to change, or is new (perhaps where a deleted object was): its record goes.
    void invalidate(const SceneObject* object);
    void clear();

    // Notes where the scene's objects stand now. Records that name other objects by position go
    // stale once an object they could name has moved (an object taken out or put in before it).
    void followLayout(const SceneList& scene);
    // object's record if it is still what serialising it would give now, else null. Reflects the
    // layout as of the last followLayout.
    Record current(const SceneObject* object) const;
    // Follows the layout, then serialises the objects without a current record, in scene order,
    // until deadline has passed (always at least one object). Done when every record is current;
    // Failed for an object the scene file cannot hold, which error() names.
    Progress refresh(const SceneList& scene, Clock::time_point deadline);
    // Every object's record in scene order; valid when refresh was Done and nothing changed since.
    std::vector<Record> records(const SceneList& scene) const;

    const std::string& error() const { return error_; }
    std::size_t size() const { return entries_.size(); }

private:
    struct Entry {
        Record record;
        // The record names other objects by position: it holds only in the layout it was made in.
        bool usesPositions = false;
        std::uint64_t layout = 0;
    };
    std::unordered_map<const SceneObject*, Entry> entries_;
    // The scene's order at the last followLayout, and how many times objects have moved.
    std::vector<const SceneObject*> order_;
    std::uint64_t layout_ = 0;
    std::string error_;

    bool serialise(const SceneList& scene, const SceneObject* object);
};
