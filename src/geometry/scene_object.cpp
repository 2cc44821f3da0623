#include "geometry/scene_object.h"

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
