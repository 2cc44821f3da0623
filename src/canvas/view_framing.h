// Bringing the scene into the views and zooming them, computed from the views' fields without GL.
#pragma once

#include "canvas/camera_record.h"

class SceneBounds;
class Viewport;

// Zooms an orthographic view by factor (above 1 nearer) about the GL window position (windowX,
// windowY) (device pixels, origin bottom left): the world point drawn there stays there. The zoom
// keeps to the range the zoom drag allows and above; the pan follows the zoom actually set.
void zoomOrthographicAbout(Viewport& view, double windowX, double windowY, double factor);

// Moves the perspective camera's eye along its line of sight to its target: the distance between
// them is divided by factor (above 1 nearer), and never falls below a small minimum.
void moveCameraAlongView(CameraRecord& camera, double factor);

// Pans and zooms an orthographic view so the box fits its drawing area with a margin, centred.
// An empty box gives the view's default pan and zoom.
void frameOrthographic(Viewport& view, const SceneBounds& bounds);

// Places the perspective camera so a sphere around the box fills its view with a margin, looking
// from the side it looks from now (from +z when that is straight up or down); the perspective
// view's pan is cleared and its zoom scales the depth so the far end stays inside the far plane. An
// empty box gives the default camera and view.
void framePerspective(Viewport& view, CameraRecord& camera, const SceneBounds& bounds);
