// The shared display attributes and the scene-rule hooks that do nothing for most classes.
#include "geometry/scene_object.h"

#include <cstring>

void SceneObject::setColor(int red, int green, int blue) {
    color[0] = static_cast<float>(red / 255.0);
    color[1] = static_cast<float>(green / 255.0);
    color[2] = static_cast<float>(blue / 255.0);
}

void SceneObject::setLineWidth(int width) {
    lineWidth = width;
}

void SceneObject::translate(double, double, double) {}
void SceneObject::scale(double) {}
void SceneObject::rotate(double, double, double) {}

bool SceneObject::linksTo(const SceneObject*) const {
    return false;
}
void SceneObject::forget(const SceneObject*) {}
void SceneObject::collectSources(std::vector<SceneObject*>&) const {}
void SceneObject::followCurves() {}
void SceneObject::setSurfaceDisplay(bool, bool) {}
void SceneObject::setSurfaceIncrement(bool, int) {}
void SceneObject::releaseGraphics() {}

bool SceneObject::Appearance::sameAs(const Appearance& other) const {
    return showVertices == other.showVertices && showEdge == other.showEdge && showCurve == other.showCurve &&
           spareFlag == other.spareFlag && gradient == other.gradient && lineWidth == other.lineWidth &&
           std::memcmp(color, other.color, sizeof color) == 0;
}

SceneObject::Appearance SceneObject::appearance() const {
    return Appearance{showVertices, showEdge, showCurve, spareFlag, gradient, {color[0], color[1], color[2]},
                      lineWidth};
}

void SceneObject::setAppearance(const Appearance& a) {
    showVertices = a.showVertices;
    showEdge = a.showEdge;
    showCurve = a.showCurve;
    spareFlag = a.spareFlag;
    gradient = a.gradient;
    std::memcpy(color, a.color, sizeof color);
    lineWidth = a.lineWidth;
}
