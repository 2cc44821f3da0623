// The undo history against the scenes a session saw: each level of it gives back its scene's bytes.
#include "history_checker.h"

#include "canvas/gl_pelm.h"
#include "scene/scene_file.h"

#include <algorithm>

HistoryChecker::HistoryChecker(GLPelm& canvas) : canvas(canvas) {
    generation = canvas.model.history.generation();
    lastIds = canvas.model.history.stepIds();
    base = bytes();
}

std::string HistoryChecker::bytes() const {
    SceneFile file;
    std::string out;
    file.serialise(canvas.scene, out);
    return out;
}

const std::string* HistoryChecker::expected(const std::vector<unsigned long long>& ids,
                                            std::size_t level) const {
    if (level == 0)
        return &base;
    const auto found = afterStep.find(ids[level - 1]);
    return found == afterStep.end() ? nullptr : &found->second;
}

std::string HistoryChecker::check(bool everyLevel) {
    SceneModel& model = canvas.model;
    UndoHistory& history = model.history;
    const std::string now = bytes();
    const std::vector<unsigned long long> ids = history.stepIds();
    const std::size_t done = history.done();

    if (history.generation() != generation) {
        // Opened or new: the history starts again from the scene now.
        generation = history.generation();
        afterStep.clear();
        base = now;
    } else if (!ids.empty() && !lastIds.empty() && ids.front() != lastIds.front()) {
        // The oldest steps went past the bound: the scene before the new oldest is the one the last
        // dropped step left.
        const auto kept = std::find(lastIds.begin(), lastIds.end(), ids.front());
        if (kept != lastIds.end() && kept != lastIds.begin()) {
            const auto dropped = afterStep.find(*(kept - 1));
            if (dropped != afterStep.end())
                base = dropped->second;
        }
    }
    lastIds = ids;
    // A new step (or one that took a change in by merging) records the scene it left.
    if (done > 0 && !afterStep.count(ids[done - 1]))
        afterStep[ids[done - 1]] = now;
    for (auto it = afterStep.begin(); it != afterStep.end();)
        it = std::find(ids.begin(), ids.end(), it->first) == ids.end() ? afterStep.erase(it) : std::next(it);

    const std::string* current = expected(ids, done);
    if (!current || *current != now)
        return "the scene is not the one its last done step left (" + std::to_string(done) + " of " +
               std::to_string(ids.size()) + " steps done)";

    // The session's selection is its own: the walk below must not change what the user does next.
    const SceneSelection selection = model.selection;
    std::string fault;
    std::size_t level = done;
    while (fault.empty() && model.undo()) {
        --level;
        if (everyLevel || level == 0) {
            const std::string* want = expected(ids, level);
            if (want && *want != bytes())
                fault = "undoing step " + std::to_string(level + 1) + " (\"" + history.redoName() +
                        "\") does not give the scene before it";
        }
    }
    if (fault.empty() && level != 0)
        fault = "undo stopped early";
    while (fault.empty() && model.redo())
        ++level;
    if (fault.empty() && level != ids.size())
        fault = "redo stopped early";
    if (fault.empty() && !ids.empty() && *expected(ids, ids.size()) != bytes())
        fault = "redoing every step does not give the last scene";
    while (level > done && model.undo())
        --level;
    if (fault.empty() && bytes() != now)
        fault = "the walk through the history did not come back to the scene";
    model.selection = selection;
    model.setActiveObject(selection.activeObject, selection.activeKind);
    model.setActivePoint(selection.activePoint);
    return fault;
}
