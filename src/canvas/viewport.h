// One of the canvas's four views: its transform, extents, pixel rectangle, grid list and title.
#pragma once

#include <string>
#include <vector>

class TextFont;

class Viewport {
public:
    // One straight line of the grid, at z = 0 in the grid's own plane.
    struct Segment {
        float x0, y0, x1, y1;
    };

    // Height of the strip along the top of every view that holds its title.
    static constexpr int titleStripHeight = 18;
    // The GL viewport the scene is drawn in, below the title strip, in whole device pixels as
    // setSceneArea loads it; width or height 0 when the view has no drawing area.
    struct Area {
        int x, y, width, height;
    };
    Area sceneArea() const;

    float panX = 0.0f, panY = 0.0f;
    float zoom = 1.0f; // never below 0.0001
    float left = -10.0f, right = 10.0f, bottom = -10.0f, top = 10.0f;
    float nearPlane = -1000.0f, farPlane = 1000.0f;
    float translationX = 0.0f, translationY = 0.0f, translationZ = 0.0f;
    float rotationX = 0.0f, rotationY = 0.0f, rotationZ = 0.0f; // degrees
    // Pixel rectangle in GL window coordinates (origin bottom left), in device pixels.
    float x = 0.0f, y = 0.0f, width = 0.0f, height = 0.0f;
    float pixelsPerUnitX = 0.0f, pixelsPerUnitY = 0.0f;
    int gridStepA = 5, gridStepB = 5;
    TextFont* font = nullptr;
    std::string title = "N/A";
    unsigned int gridList = 0;

    // GL calls below need the canvas's context current.
    void init(float panX, float panY, float zoom, float left, float right, float bottom, float top,
              float nearPlane, float farPlane, TextFont* font, const std::string& title);
    void setRotationAndTranslation(float tx, float ty, float tz, float rx, float ry, float rz);
    void setRectangle(float x, float y, float width, float height);
    void pixelScale(float& px, float& py) const;
    void panBy(float dx, float dy);
    void zoomBy(float d);

    bool applyOrthographic();
    bool applyPerspective();
    void applyViewTransform() const;

    // The orthographic volume the view shows for its current size: what applyOrthographic loads.
    void orthographicExtents(double& l, double& r, double& b, double& t) const;

    // The grid's lines for the given steps: horizontals first, then verticals (which stop at 182).
    // A step below 1 yields no lines in its direction instead of looping for ever.
    static std::vector<Segment> gridSegments(int stepA, int stepB);
    // The two axis lines, as long in world units as the view is in pixels (w, h truncated).
    static std::vector<Segment> axisSegments(int w, int h);

    // Compiles a fresh grid list and releases the one it replaces.
    void buildGridList();
    void drawAxesIndicator() const;
    void drawTitleStrip(float w, float h) const;
    // One unit per pixel over the whole rectangle, depth test off: the frame for the decoration.
    void beginPixelDrawing() const;

private:
    // The GL viewport below the title strip, where the scene is drawn.
    void setSceneArea() const;
};
