// What must hold of the canvas's scene after any user action: selection, links, finite points, lossless
// files.
#pragma once

#include <string>

class GLPelm;
class SceneModel;

// The first broken rule of the canvas's scene and selection, in words; empty when all hold.
// Checks that the selection points into the scene, that every curve-surface link is answered by its
// partner, that control points are finite with weights >= 0, and that the scene saves, loads into a
// fresh list and saves again to the same bytes.
std::string sceneFault(const GLPelm& canvas);

// A record the autosave's cache holds as current that differs from serialising its object now (a
// change that did not forget it), in words; empty when all agree. Refresh the cache between calls
// (SceneRecordCache::refresh), so each call checks what changed in between.
std::string recordCacheFault(SceneModel& model);
