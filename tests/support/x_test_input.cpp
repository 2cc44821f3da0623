// XTest through Xlib: fake key, button and motion events, and a walk of the window tree.
#include "x_test_input.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <dlfcn.h>
#include <vector>

namespace {

// Reads a property of 8- or 32-bit items; empty when the window has none.
std::vector<unsigned char> property(Display* display, Window window, const char* name, Atom type,
                                    int& format) {
    const Atom atom = XInternAtom(display, name, True);
    std::vector<unsigned char> bytes;
    if (atom == None)
        return bytes;
    Atom actualType = None;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, atom, 0, 1024, False, type, &actualType, &format, &items, &after,
                           &data) == Success &&
        data) {
        const std::size_t size = format == 32 ? items * sizeof(long) : items * (format / 8);
        bytes.assign(data, data + size);
        XFree(data);
    }
    return bytes;
}

long windowPid(Display* display, Window window) {
    int format = 0;
    const std::vector<unsigned char> bytes = property(display, window, "_NET_WM_PID", XA_CARDINAL, format);
    if (format != 32 || bytes.size() < sizeof(long))
        return -1;
    return *reinterpret_cast<const long*>(bytes.data());
}

bool viewable(Display* display, Window window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

} // namespace

XTestInput::XTestInput(const char* displayName) {
    const char* name = displayName ? displayName : std::getenv("DISPLAY");
    if (!name || !*name) {
        unavailable_ = "no X display (DISPLAY is not set)";
        return;
    }
    display_ = XOpenDisplay(name);
    if (!display_) {
        unavailable_ = std::string("cannot open the X display ") + name;
        return;
    }
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XQueryExtension(display_, "XTEST", &major, &event, &error)) {
        unavailable_ = "the X server has no XTEST extension";
        return;
    }
    (void)minor;
    library_ = dlopen("libXtst.so.6", RTLD_NOW | RTLD_LOCAL);
    if (!library_) {
        unavailable_ = "the XTest client library libXtst.so.6 is missing (Debian package libxtst6)";
        return;
    }
    fakeKey_ = reinterpret_cast<decltype(fakeKey_)>(dlsym(library_, "XTestFakeKeyEvent"));
    fakeButton_ = reinterpret_cast<decltype(fakeButton_)>(dlsym(library_, "XTestFakeButtonEvent"));
    fakeMotion_ = reinterpret_cast<decltype(fakeMotion_)>(dlsym(library_, "XTestFakeMotionEvent"));
    if (!fakeKey_ || !fakeButton_ || !fakeMotion_)
        unavailable_ = "libXtst.so.6 lacks the XTestFake functions";
}

XTestInput::~XTestInput() {
    if (display_)
        XCloseDisplay(display_);
    if (library_)
        dlclose(library_);
}

template <typename Match> unsigned long XTestInput::find(long pid, Match match) const {
    if (!display_)
        return 0;
    // Breadth first from the root: a window manager, if any, puts the program's windows in frames.
    std::vector<Window> pending{DefaultRootWindow(display_)};
    while (!pending.empty()) {
        const Window window = pending.back();
        pending.pop_back();
        if (windowPid(display_, window) == pid && viewable(display_, window) && match(title(window)))
            return window;
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(display_, window, &root, &parent, &children, &count) && children) {
            pending.insert(pending.end(), children, children + count);
            XFree(children);
        }
    }
    return 0;
}

unsigned long XTestInput::findWindow(long pid, const std::string& wanted) const {
    return find(pid, [&](const std::string& text) { return text == wanted; });
}

unsigned long XTestInput::findWindowContaining(long pid, const std::string& part) const {
    return find(pid, [&](const std::string& text) { return text.find(part) != std::string::npos; });
}

std::string XTestInput::title(unsigned long window) const {
    int format = 0;
    const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
    std::vector<unsigned char> bytes = property(display_, window, "_NET_WM_NAME", utf8, format);
    if (bytes.empty())
        bytes = property(display_, window, "WM_NAME", XA_STRING, format);
    return std::string(bytes.begin(), bytes.end());
}

XTestInput::Rectangle XTestInput::geometry(unsigned long window) const {
    Rectangle rectangle;
    XWindowAttributes attributes;
    if (!display_ || !XGetWindowAttributes(display_, window, &attributes))
        return rectangle;
    Window child = 0;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &rectangle.x, &rectangle.y,
                          &child);
    rectangle.width = attributes.width;
    rectangle.height = attributes.height;
    return rectangle;
}

void XTestInput::flush() {
    XSync(display_, False);
}

void XTestInput::moveTo(int x, int y) {
    fakeMotion_(display_, -1, x, y, CurrentTime);
    flush();
}

void XTestInput::click(int button) {
    fakeButton_(display_, static_cast<unsigned>(button), True, CurrentTime);
    fakeButton_(display_, static_cast<unsigned>(button), False, CurrentTime);
    flush();
}

void XTestInput::key(const char* name, const char* modifier) {
    const KeyCode code = XKeysymToKeycode(display_, XStringToKeysym(name));
    const KeyCode held = modifier ? XKeysymToKeycode(display_, XStringToKeysym(modifier)) : 0;
    if (held)
        fakeKey_(display_, held, True, CurrentTime);
    fakeKey_(display_, code, True, CurrentTime);
    fakeKey_(display_, code, False, CurrentTime);
    if (held)
        fakeKey_(display_, held, False, CurrentTime);
    flush();
}
