// Bitmap font: a 16 x 16 glyph texture read from a TGA file and one display list per glyph.
#pragma once

#include <string>
#include <vector>

class TextFont {
public:
    unsigned int listBase = 0;
    struct Image {
        std::vector<unsigned char> pixels; // RGB or RGBA after loading
        int bitsPerPixel = 0;
        unsigned int width = 0;
        unsigned int height = 0;
        unsigned int textureName = 0;
    } image;

    // Needs a current GL context. On failure prints "failed font load" and stays unloaded.
    bool load(const std::string& path);
    bool loaded() const { return loaded_; }
    // printf-style text at the current position, colour and blend function; nothing while unloaded.
    void print(int set, const char* format, ...) const;
    void deleteLists();

private:
    bool loaded_ = false;
};
