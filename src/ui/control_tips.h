// The tool tips of the main window's controls.
#pragma once

class GLObjectWindow;

// Gives every button, check field and spin field of the window its tip: what it does, and its key
// where the canvas has one.
void addControlTips(GLObjectWindow& window);
