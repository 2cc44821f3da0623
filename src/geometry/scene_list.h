// The scene: a doubly linked list that owns its objects, each tagged with its kind.
#pragma once

class SceneObject;

// Kind tags of scene nodes; other values stay in the list but are never drawn.
namespace ObjectKind {
constexpr int None = 0;
constexpr int Curve = 1;
constexpr int Revolution = 2;
constexpr int Coons = 3;
constexpr int Extrusion = 4;
} // namespace ObjectKind

struct SceneNode {
    SceneObject* object = nullptr; // owned
    SceneNode* previous = nullptr;
    SceneNode* next = nullptr;
    int kind = ObjectKind::None;
};

class SceneList {
public:
    SceneNode* first = nullptr;
    SceneNode* last = nullptr;

    SceneList() = default;
    ~SceneList();
    SceneList(const SceneList&) = delete;
    SceneList& operator=(const SceneList&) = delete;
    SceneList(SceneList&& other) noexcept;
    SceneList& operator=(SceneList&& other) noexcept;

    void append(SceneObject* object, int kind);
    // Unlinks every node holding object and deletes the object; unknown objects change nothing.
    void remove(SceneObject* object);
    void clear();

    // 0-based position of the first node holding object; -1 when none (also for null).
    int positionOf(const SceneObject* object) const;
    // Null for a negative position or one past the end.
    SceneObject* objectAt(int position) const;
    int kindAt(int position) const;
    int size() const;
    bool contains(const SceneObject* object) const { return positionOf(object) >= 0; }
};
