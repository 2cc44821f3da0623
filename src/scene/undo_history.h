// The steps that undo and redo the scene's changes, each holding only what it changed.
#pragma once

#include "geometry/object_state.h"

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

class SceneObject;

// What is selected; not a change of its own, but put back with every undo and redo.
struct SceneSelection {
    SceneObject* activeObject = nullptr;
    int activeKind = 0;
    SceneObject* pickedCurve = nullptr;
    int activePoint = -1;
};

struct UndoStep {
    // An object's state before its first change in the step and after the step.
    struct ObjectChange {
        SceneObject* object = nullptr;
        std::unique_ptr<ObjectState> before, after;
    };
    // An object put into or taken out of the scene, in the order it happened.
    struct ListChange {
        bool inserted = false;
        SceneObject* object = nullptr;
        int position = 0;
        int kind = 0;
    };

    std::string name;
    std::string mergeKey;
    // Unique in the history's life; a step that takes another in by merging gets a new one.
    unsigned long long id = 0;
    std::vector<ObjectChange> objects;
    std::vector<ListChange> list;
    SceneSelection selectionBefore, selectionAfter;

    // The change of object, null when the step has not touched it.
    ObjectChange* changeOf(const SceneObject* object);
    // Whether applying the step would change nothing.
    bool empty() const;
    std::size_t bytes() const;
};

class UndoHistory {
public:
    // Past either bound the oldest steps go.
    static constexpr std::size_t MaxSteps = 1000;
    static constexpr std::size_t MaxBytes = std::size_t(256) << 20;

    UndoHistory() = default;
    ~UndoHistory();
    UndoHistory(const UndoHistory&) = delete;
    UndoHistory& operator=(const UndoHistory&) = delete;

    bool canUndo() const { return done_ > 0; }
    bool canRedo() const { return done_ < steps_.size(); }
    // The name of the step an undo or redo would take; empty when there is none.
    std::string undoName() const;
    std::string redoName() const;
    std::size_t size() const { return steps_.size(); }
    // How many of the steps are done (the rest can be redone).
    std::size_t done() const { return done_; }
    // The ids of the steps, oldest first.
    std::vector<unsigned long long> stepIds() const;
    // Counts the clears: a history that starts again.
    unsigned long long generation() const { return generation_; }
    std::size_t bytes() const { return bytes_; }

    // A finished step: the steps that were undone go, then it joins the top step when both carry
    // the same merge key and nothing came between them, else it becomes the top. Returns whether
    // anything was kept.
    bool push(std::unique_ptr<UndoStep> step);
    // The step to undo (then counted as undone), or null.
    UndoStep* stepToUndo();
    UndoStep* stepToRedo();

    // The scene as it is now is the saved one.
    void markSaved();
    void markUnsaved() { savedAt_ = unreachable; }
    bool atSavedState() const { return savedAt_ == done_; }

    // Objects out of the scene that steps may bring back: the history deletes them once no step
    // refers to them any more.
    void keepDetached(SceneObject* object);
    void takeBackDetached(SceneObject* object);
    bool holdsDetached(const SceneObject* object) const {
        return detached_.count(const_cast<SceneObject*>(object)) > 0;
    }
    // Forgets every step and deletes every object only they kept.
    void clear();

private:
    static constexpr std::size_t unreachable = static_cast<std::size_t>(-1);

    std::vector<std::unique_ptr<UndoStep>> steps_;
    std::size_t done_ = 0; // steps applied; the rest can be redone
    std::size_t savedAt_ = 0;
    std::size_t bytes_ = 0;
    unsigned long long nextId_ = 1;
    // The step pushed last: a step with its merge key joins it while it is the top step.
    unsigned long long lastPushed_ = 0;
    unsigned long long generation_ = 0;
    std::unordered_set<SceneObject*> detached_;

    void dropRedoSteps();
    void dropOldestSteps();
    void deleteUnreferenced();
};
