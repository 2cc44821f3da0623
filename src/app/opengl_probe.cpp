// The start-up check for OpenGL: a context, then one frame of a hidden GL widget, with Qt's words kept.
#include "app/opengl_probe.h"

#include <QOpenGLContext>
#include <QOpenGLWidget>

namespace {

// A message handler takes no context of its own: the probe's list and the handler it replaced.
QStringList* heard = nullptr;
QtMessageHandler passOn = nullptr;

void noteProbeMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg || type == QtCriticalMsg)
        heard->append(message);
    else if (passOn)
        passOn(type, context, message);
    else
        qt_message_output(type, context, message);
}

// The offscreen platform makes GLX contexts when a display is at hand, and even grabs a frame, yet
// cannot show a GL widget: it says so with this warning, and the canvas then crashed when shown.
// Other warnings say nothing about OpenGL being there.
bool saysGLWidgetsCannotShow(const QStringList& messages) {
    for (const QString& message : messages)
        if (message.contains(QStringLiteral("QOpenGLWidget is not supported on this platform")))
            return true;
    return false;
}

class ProbeWidget : public QOpenGLWidget {
public:
    std::function<void()> whileRendering;

protected:
    void paintGL() override {
        if (whileRendering)
            whileRendering();
    }
};

} // namespace

OpenGLProbe probeOpenGL(const std::function<void()>& whileRendering) {
    OpenGLProbe result;
    heard = &result.qtMessages;
    passOn = qInstallMessageHandler(noteProbeMessage);
    bool rendered = false;
    {
        QOpenGLContext context;
        if (context.create()) {
            ProbeWidget probe;
            probe.whileRendering = whileRendering;
            probe.resize(4, 4);
            rendered = !probe.grabFramebuffer().isNull();
        }
    }
    qInstallMessageHandler(passOn);
    heard = nullptr;
    passOn = nullptr;
    result.available = rendered && !saysGLWidgetsCannotShow(result.qtMessages);
    return result;
}
