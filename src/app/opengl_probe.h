// The start-up check for OpenGL: a context can be made and a hidden GL widget renders.
#pragma once

#include <QStringList>

#include <functional>

struct OpenGLProbe {
    bool available = false;
    // What Qt warned while probing, in order: the reason for a refusal, or harmless noise.
    QStringList qtMessages;
};

// Needs the application object. whileRendering runs while the hidden probe widget paints (tests raise
// a warning there).
OpenGLProbe probeOpenGL(const std::function<void()>& whileRendering = {});
