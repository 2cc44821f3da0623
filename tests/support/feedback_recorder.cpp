#include "feedback_recorder.h"

#include <GL/gl.h>

namespace {
constexpr int viewportSize = 1000;
}

std::vector<FeedbackPrimitive> FeedbackRecorder::record(const std::function<void()>& draw) const {
    std::vector<GLfloat> buffer(1 << 22);
    glViewport(0, 0, viewportSize, viewportSize);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-extent_, extent_, -extent_, extent_, -1000.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint count = glRenderMode(GL_RENDER);

    std::vector<FeedbackPrimitive> out;
    const double scale = 2.0 * extent_ / viewportSize;
    auto vertexAt = [&](GLint& i) {
        FeedbackVertex v{};
        v.x = static_cast<float>(buffer[i] * scale - extent_);
        v.y = static_cast<float>(buffer[i + 1] * scale - extent_);
        v.z = buffer[i + 2];
        v.r = buffer[i + 3];
        v.g = buffer[i + 4];
        v.b = buffer[i + 5];
        v.a = buffer[i + 6];
        i += 7;
        return v;
    };
    for (GLint i = 0; i < count;) {
        const auto token = static_cast<GLint>(buffer[i++]);
        FeedbackPrimitive p{FeedbackPrimitive::Other, {}};
        switch (token) {
        case GL_POINT_TOKEN:
            p.type = FeedbackPrimitive::Point;
            p.vertices.push_back(vertexAt(i));
            break;
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN:
            p.type = token == GL_LINE_TOKEN ? FeedbackPrimitive::Line : FeedbackPrimitive::LineReset;
            p.vertices.push_back(vertexAt(i));
            p.vertices.push_back(vertexAt(i));
            break;
        case GL_POLYGON_TOKEN: {
            p.type = FeedbackPrimitive::Polygon;
            const auto n = static_cast<GLint>(buffer[i++]);
            for (GLint k = 0; k < n; ++k)
                p.vertices.push_back(vertexAt(i));
            break;
        }
        case GL_BITMAP_TOKEN:
        case GL_DRAW_PIXEL_TOKEN:
        case GL_COPY_PIXEL_TOKEN:
            vertexAt(i);
            break;
        case GL_PASS_THROUGH_TOKEN:
            ++i;
            continue;
        default:
            return out; // unknown token: stop rather than misread the rest
        }
        out.push_back(std::move(p));
    }
    return out;
}

std::vector<std::vector<FeedbackVertex>> lineStrips(const std::vector<FeedbackPrimitive>& primitives) {
    // llvmpipe reports every segment as a plain line token, never a reset, so a segment also starts a new
    // strip when it does not begin at the previous segment's end vertex (same position and colour).
    auto sameVertex = [](const FeedbackVertex& a, const FeedbackVertex& b) {
        return a.x == b.x && a.y == b.y && a.z == b.z && a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
    };
    std::vector<std::vector<FeedbackVertex>> strips;
    bool previousWasLine = false;
    for (const auto& p : primitives) {
        const bool line = p.type == FeedbackPrimitive::Line || p.type == FeedbackPrimitive::LineReset;
        if (line && p.type == FeedbackPrimitive::Line && previousWasLine &&
            sameVertex(strips.back().back(), p.vertices[0]))
            strips.back().push_back(p.vertices[1]);
        else if (line)
            strips.push_back({p.vertices[0], p.vertices[1]});
        previousWasLine = line;
    }
    return strips;
}
