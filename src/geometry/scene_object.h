// Abstract base of everything the canvas draws and a scene file stores.
#pragma once

#include "geometry/object_state.h"

#include <iosfwd>
#include <memory>
#include <vector>

class ObjectPositions;

class SceneObject {
public:
    bool showVertices = true;
    bool showEdge = false;
    bool showCurve = true;
    bool spareFlag = false; // stored in scene files; nothing else reads it
    bool gradient = false;
    float color[3] = {0.2f, 0.8f, 0.2f};
    int lineWidth = 1;

    SceneObject() = default;
    virtual ~SceneObject() = default;
    SceneObject(const SceneObject&) = delete;
    SceneObject& operator=(const SceneObject&) = delete;

    // 0..255 per component, as the colour dialog gives them.
    void setColor(int red, int green, int blue);
    void setLineWidth(int width);

    virtual void draw(bool active, bool perspective) = 0;
    virtual bool hitTest(double x, double y, double z, int axis) = 0;
    virtual void write(std::ostream& out, const ObjectPositions& list) const = 0;
    virtual void read(std::istream& in) = 0;
    virtual void resolveLinks(const ObjectPositions& list) = 0;
    virtual void translate(double dx, double dy, double dz);
    virtual void scale(double s);
    virtual void rotate(double ax, double ay, double az);

    // The scene's rules act through these, without knowing the classes.
    // Whether this object is built from or into object (a curve's surface, a surface's curves).
    virtual bool linksTo(const SceneObject* object) const;
    // Cuts every link to object, which leaves the scene: a curve built into it is released, a
    // surface lets it go as profile or side.
    virtual void forget(const SceneObject* object);
    // The objects this one is built from (a surface's curves); empty for a curve.
    virtual void collectSources(std::vector<SceneObject*>& out) const;
    // Follows a change of the curves it is built from: rebuilt at the next draw, a patch's loop
    // aligned again at once. Nothing for a curve.
    virtual void followCurves();
    // A surface's display (wireframe, shaded, shaded with a gradient) and its sampling in u or v;
    // nothing for a curve.
    virtual void setSurfaceDisplay(bool shading, bool gradient);
    virtual void setSurfaceIncrement(bool u, int value);
    // Frees what draw put in GL (buffers); needs the drawing context current. The object
    // uploads afresh at its next draw.
    virtual void releaseGraphics();

    virtual std::unique_ptr<ObjectState> saveState() const = 0;
    // Puts back a state this class saved; a surface rebuilds at its next draw.
    virtual void restoreState(const ObjectState& state) = 0;

    // The shared display attributes, saved and compared by every class's state.
    struct Appearance {
        bool showVertices, showEdge, showCurve, spareFlag, gradient;
        float color[3];
        int lineWidth;
        bool sameAs(const Appearance& other) const;
    };
    Appearance appearance() const;
    void setAppearance(const Appearance& a);
};
