// The canvas's scene-file slots: saving the scene, and loading a file in place of it.
#include "canvas/gl_pelm.h"

#include "scene/scene_file.h"

#include <iostream>

void GLPelm::saveTheScene(const char* name) {
    saveSceneFile(name, std::cout, std::cerr);
}

void GLPelm::loadTheScene(const char* name) {
    loadSceneFile(name, std::cout, std::cerr);
}

bool GLPelm::saveSceneFile(const char* name, std::ostream& out, std::ostream& err) {
    SceneFile file;
    if (file.save(name, scene))
        return true;
    out << SceneFile::SaveFailedMessage << std::endl;
    err << "knotwork: " << file.error << std::endl;
    return false;
}

bool GLPelm::loadSceneFile(const char* name, std::ostream& out, std::ostream& err, bool frame) {
    // The whole file is read and checked before the scene is touched: a file that turns out to be
    // unreadable or damaged leaves the user's work as it was.
    SceneFile file;
    SceneList loaded;
    if (!file.load(name, loaded)) {
        out << SceneFile::LoadFailedMessage << std::endl;
        err << "knotwork: " << file.error << std::endl;
        return false;
    }
    for (const std::string& notice : file.notices)
        err << "knotwork: " << notice << '\n';
    err.flush();
    // The old surfaces release their buffers through the model's report, in this context.
    model.replaceScene(std::move(loaded));
    // A scene opened is brought into view whatever the views showed before.
    if (frame)
        frameAll();
    updateGL();
    return true;
}

void GLPelm::newScene() {
    model.clear();
    updateGL();
}
