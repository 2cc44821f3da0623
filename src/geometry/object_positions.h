// How a stored object names another: by its position in the scene, looked up through this interface.
#pragma once

class SceneObject;

// Kind tags of scene nodes; other values stay in the scene but are never drawn.
namespace ObjectKind {
constexpr int None = 0;
constexpr int Curve = 1;
constexpr int Revolution = 2;
constexpr int Coons = 3;
constexpr int Extrusion = 4;
} // namespace ObjectKind

class ObjectPositions {
public:
    virtual ~ObjectPositions() = default;
    // 0-based position of the first node holding object; -1 when none (also for null).
    virtual int positionOf(const SceneObject* object) const = 0;
    // Null, or ObjectKind::None, for a negative position or one past the end.
    virtual SceneObject* objectAt(int position) const = 0;
    virtual int kindAt(int position) const = 0;
};
