// The scene: a doubly linked list that owns its objects, each tagged with its kind.
#pragma once

#include "geometry/object_positions.h"

struct SceneNode {
    SceneObject* object = nullptr; // owned
    SceneNode* previous = nullptr;
    SceneNode* next = nullptr;
    int kind = ObjectKind::None;
};

class SceneList : public ObjectPositions {
public:
    SceneNode* first = nullptr;
    SceneNode* last = nullptr;

    SceneList() = default;
    ~SceneList() override;
    SceneList(const SceneList&) = delete;
    SceneList& operator=(const SceneList&) = delete;
    SceneList(SceneList&& other) noexcept;
    SceneList& operator=(SceneList&& other) noexcept;

    void append(SceneObject* object, int kind);
    // Puts object in at position (at the end past it); the list owns it again.
    void insertAt(int position, SceneObject* object, int kind);
    // Unlinks the first node holding object without deleting the object, which the caller then
    // owns; false when no node holds it.
    bool detach(SceneObject* object);
    // Unlinks every node holding object and deletes the object; unknown objects change nothing.
    void remove(SceneObject* object);
    void clear();

    int positionOf(const SceneObject* object) const override;
    SceneObject* objectAt(int position) const override;
    int kindAt(int position) const override;
    int size() const;
    bool contains(const SceneObject* object) const { return positionOf(object) >= 0; }
};
