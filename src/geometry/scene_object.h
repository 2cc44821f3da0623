// Abstract base of everything the canvas draws and a scene file stores.
#pragma once

#include <iosfwd>

class SceneList;

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
    virtual void write(std::ostream& out, const SceneList& list) const = 0;
    virtual void read(std::istream& in) = 0;
    virtual void resolveLinks(const SceneList& list) = 0;
    virtual void translate(double dx, double dy, double dz);
    virtual void scale(double s);
    virtual void rotate(double ax, double ay, double az);
};
