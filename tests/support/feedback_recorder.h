// Records what a draw call emits through GL feedback mode: primitives with window positions and colours.
#pragma once

#include <functional>
#include <vector>

struct FeedbackVertex {
    float x, y, z;    // world x and y (the recorder's projection maps them back), window depth
    float r, g, b, a; // colour as GL saw it
};

struct FeedbackPrimitive {
    enum Type { Point, Line, LineReset, Polygon, Other };
    Type type;
    std::vector<FeedbackVertex> vertices;
};

class FeedbackRecorder {
public:
    // World x and y in [-extent, extent] map to the whole viewport; everything else is clipped.
    explicit FeedbackRecorder(double extent = 100.0) : extent_(extent) {}

    // Sets an orthographic view looking down -z, runs draw in feedback mode and returns the primitives.
    std::vector<FeedbackPrimitive> record(const std::function<void()>& draw) const;

private:
    double extent_;
};

// Joins the segments of each line strip (a reset token, or a segment not starting where the previous one
// ended, and the lines after it) into point lists. Two strips of one colour meeting end to start join.
std::vector<std::vector<FeedbackVertex>> lineStrips(const std::vector<FeedbackPrimitive>& primitives);
