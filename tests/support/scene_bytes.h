// The bytes a scene file of a scene holds: how tests compare whole scenes.
#pragma once

#include "scene/scene_file.h"
#include "scene/scene_list.h"

#include <gtest/gtest.h>

#include <string>

inline std::string sceneBytes(const SceneList& scene) {
    SceneFile file;
    std::string bytes;
    EXPECT_TRUE(file.serialise(scene, bytes)) << file.error;
    return bytes;
}
