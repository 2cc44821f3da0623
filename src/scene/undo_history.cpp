// The undo history: steps, their bounds, merging, the saved mark and the objects only steps keep.
#include "scene/undo_history.h"

#include "geometry/scene_object.h"

#include <algorithm>

UndoStep::ObjectChange* UndoStep::changeOf(const SceneObject* object) {
    for (ObjectChange& change : objects)
        if (change.object == object)
            return &change;
    return nullptr;
}

bool UndoStep::empty() const {
    if (!list.empty())
        return false;
    return std::all_of(objects.begin(), objects.end(), [](const ObjectChange& change) {
        return change.before && change.after && change.before->sameAs(*change.after);
    });
}

std::size_t UndoStep::bytes() const {
    std::size_t total = sizeof *this + name.size() + mergeKey.size() + list.size() * sizeof(ListChange);
    for (const ObjectChange& change : objects)
        total += sizeof change + (change.before ? change.before->bytes() : 0) +
                 (change.after ? change.after->bytes() : 0);
    return total;
}

UndoHistory::~UndoHistory() {
    clear();
}

std::string UndoHistory::undoName() const {
    return canUndo() ? steps_[done_ - 1]->name : std::string();
}

std::string UndoHistory::redoName() const {
    return canRedo() ? steps_[done_]->name : std::string();
}

bool UndoHistory::push(std::unique_ptr<UndoStep> step) {
    dropRedoSteps();
    // The saved scene lies after the top step: merging into it would change what it was.
    if (!step->mergeKey.empty() && done_ > 0 && steps_[done_ - 1]->id == lastPushed_ && savedAt_ != done_ &&
        steps_[done_ - 1]->mergeKey == step->mergeKey) {
        UndoStep& top = *steps_[done_ - 1];
        bytes_ -= top.bytes();
        for (UndoStep::ObjectChange& change : step->objects) {
            if (UndoStep::ObjectChange* earlier = top.changeOf(change.object))
                earlier->after = std::move(change.after);
            else
                top.objects.push_back(std::move(change));
        }
        for (UndoStep::ListChange& change : step->list)
            top.list.push_back(change);
        top.selectionAfter = step->selectionAfter;
        top.id = lastPushed_ = nextId_++;
        if (top.empty()) {
            // Changed and changed back: nothing is left to undo.
            steps_.pop_back();
            --done_;
        } else {
            bytes_ += top.bytes();
        }
        deleteUnreferenced();
        return true;
    }
    if (step->empty()) {
        deleteUnreferenced();
        return false;
    }
    step->id = lastPushed_ = nextId_++;
    bytes_ += step->bytes();
    steps_.push_back(std::move(step));
    ++done_;
    dropOldestSteps();
    deleteUnreferenced();
    return true;
}

UndoStep* UndoHistory::stepToUndo() {
    if (!canUndo())
        return nullptr;
    return steps_[--done_].get();
}

UndoStep* UndoHistory::stepToRedo() {
    if (!canRedo())
        return nullptr;
    return steps_[done_++].get();
}

std::vector<unsigned long long> UndoHistory::stepIds() const {
    std::vector<unsigned long long> ids;
    for (const auto& step : steps_)
        ids.push_back(step->id);
    return ids;
}

void UndoHistory::markSaved() {
    savedAt_ = done_;
}

void UndoHistory::keepDetached(SceneObject* object) {
    detached_.insert(object);
}

void UndoHistory::takeBackDetached(SceneObject* object) {
    detached_.erase(object);
}

void UndoHistory::clear() {
    steps_.clear();
    done_ = 0;
    savedAt_ = 0;
    bytes_ = 0;
    lastPushed_ = 0;
    ++generation_;
    deleteUnreferenced();
}

void UndoHistory::dropRedoSteps() {
    if (done_ == steps_.size())
        return;
    for (std::size_t i = done_; i < steps_.size(); ++i)
        bytes_ -= steps_[i]->bytes();
    steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(done_), steps_.end());
    if (savedAt_ != unreachable && savedAt_ > done_)
        savedAt_ = unreachable;
    // The objects they alone knew are deleted once the new step is in: it may know them too.
}

void UndoHistory::dropOldestSteps() {
    std::size_t drop = 0;
    std::size_t remaining = bytes_;
    // The step just pushed stays, however large.
    while (steps_.size() - drop > 1 && (steps_.size() - drop > MaxSteps || remaining > MaxBytes))
        remaining -= steps_[drop++]->bytes();
    if (drop == 0)
        return;
    steps_.erase(steps_.begin(), steps_.begin() + static_cast<std::ptrdiff_t>(drop));
    bytes_ = remaining;
    done_ -= drop;
    savedAt_ = savedAt_ != unreachable && savedAt_ >= drop ? savedAt_ - drop : unreachable;
    deleteUnreferenced();
}

void UndoHistory::deleteUnreferenced() {
    if (detached_.empty())
        return;
    std::unordered_set<const SceneObject*> referenced;
    for (const auto& step : steps_) {
        for (const UndoStep::ObjectChange& change : step->objects)
            referenced.insert(change.object);
        for (const UndoStep::ListChange& change : step->list)
            referenced.insert(change.object);
    }
    for (auto it = detached_.begin(); it != detached_.end();) {
        if (referenced.count(*it)) {
            ++it;
            continue;
        }
        delete *it;
        it = detached_.erase(it);
    }
}
