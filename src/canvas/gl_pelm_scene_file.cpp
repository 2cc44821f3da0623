// The canvas's scene-file slots: saving the scene, and loading a file in place of it.
#include "canvas/gl_pelm.h"

#include "surfaces/scene_file.h"

#include <QOpenGLContext>

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

bool GLPelm::loadSceneFile(const char* name, std::ostream& out, std::ostream& err) {
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
    // Nothing may keep pointing at the objects about to be deleted.
    activeObject = nullptr;
    pickedCurve = nullptr;
    activeKind = ObjectKind::None;
    activePoint = -1;
    // The old surfaces release their display lists in the context that made them.
    const bool hasContext = context() && context()->isValid();
    if (hasContext) {
        makeCurrent();
        for (SceneNode* node = scene.first; node; node = node->next)
            releaseDisplayListOf(node->object);
    }
    scene = std::move(loaded);
    if (hasContext)
        doneCurrent();
    updateGL();
    return true;
}
