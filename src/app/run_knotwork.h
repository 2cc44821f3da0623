// Start-up: surface format, the OpenGL check, the full-screen main window and the event loop.
#pragma once

class GLObjectWindow;

// The text written, once, when the OpenGL probe refuses (Qt's own words follow it).
inline constexpr const char* noOpenGLMessage = "This system has no OpenGL support. Exiting.";

// Sets the default surface format every GL widget gets (compatibility profile, 24-bit depth);
// it must run before the application object exists.
void setDefaultSurfaceFormat();

// Shows the window full-screen and fixes the canvas's minimum width to the full-screen width less the
// tab column and 20 (220 at the usual 200-pixel column).
void showMainWindow(GLObjectWindow& window);

// The whole program: returns the event loop's result, or -1 without OpenGL.
int runKnotwork(int& argc, char** argv);
