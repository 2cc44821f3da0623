// Real input to another program on the X display, through the server's XTest extension: its keys and
// clicks arrive as a user's would. Also finds that program's windows by title.
#pragma once

#include <string>

struct _XDisplay;

class XTestInput {
public:
    struct Rectangle {
        int x = 0, y = 0, width = 0, height = 0;
    };

    // Opens the display (":3"; null for $DISPLAY) and loads the XTest client library (libXtst.so.6)
    // at run time, so nothing needs it to build.
    explicit XTestInput(const char* displayName = nullptr);
    ~XTestInput();
    XTestInput(const XTestInput&) = delete;
    XTestInput& operator=(const XTestInput&) = delete;

    // Empty when input can be sent; else why not.
    const std::string& unavailable() const { return unavailable_; }

    // A shown window of process pid whose title is title exactly (UTF-8); 0 when there is none.
    unsigned long findWindow(long pid, const std::string& title) const;
    // A shown window of process pid whose title contains part; 0 when there is none.
    unsigned long findWindowContaining(long pid, const std::string& part) const;
    std::string title(unsigned long window) const;
    // Where the window is on the screen.
    Rectangle geometry(unsigned long window) const;

    void moveTo(int x, int y);
    void click(int button = 1);
    // Presses and releases the key of an X key name ("n", "Return"), with modifier held when named
    // ("Control_L").
    void key(const char* name, const char* modifier = nullptr);

private:
    _XDisplay* display_ = nullptr;
    void* library_ = nullptr;
    int (*fakeKey_)(_XDisplay*, unsigned int, int, unsigned long) = nullptr;
    int (*fakeButton_)(_XDisplay*, unsigned int, int, unsigned long) = nullptr;
    int (*fakeMotion_)(_XDisplay*, int, int, int, unsigned long) = nullptr;
    std::string unavailable_;

    template <typename Match> unsigned long find(long pid, Match match) const;
    void flush();
};
