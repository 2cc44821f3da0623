// Checks a canvas's undo history against the scenes a session went through.
#pragma once

#include <map>
#include <string>
#include <vector>

class GLPelm;

class HistoryChecker {
public:
    // The scene as it is now is where the history starts.
    explicit HistoryChecker(GLPelm& canvas);

    // After each event: the scene is the one its top done step left (or the start, with none done);
    // undoing every step gives the first scene's bytes and redoing every step the last one's, then
    // the history is back where it was. With everyLevel, each undo is compared with the scene before
    // that step. Returns the first fault in words; empty when all hold.
    std::string check(bool everyLevel);

private:
    GLPelm& canvas;
    unsigned long long generation = 0;
    std::vector<unsigned long long> lastIds;
    std::map<unsigned long long, std::string> afterStep; // the scene each step left
    std::string base;                                    // the scene before the oldest kept step

    std::string bytes() const;
    // The scene expected with `level` of the steps ids done.
    const std::string* expected(const std::vector<unsigned long long>& ids, std::size_t level) const;
};
