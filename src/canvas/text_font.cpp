// Bitmap font: TGA texture upload, one display list per glyph cell, and printf-style printing.
#include "canvas/text_font.h"

#include "canvas/tga_image.h"

#include <GL/gl.h>

#include <cstdarg>
#include <cstdio>

namespace {
constexpr int glyphCount = 256;
constexpr int cellsPerRow = 16;
constexpr float cellSize = 1.0f / cellsPerRow; // 0.0625
constexpr float topInset = 0.001f;             // keeps the cell above from bleeding in under linear filtering
constexpr float glyphSize = 16.0f;
constexpr float advance = 14.0f;
constexpr int bufferSize = 1024;
} // namespace

bool TextFont::load(const std::string& path) {
    if (loaded_)
        deleteLists();

    TgaImage tga;
    if (tga.readFile(path) != TgaImage::Ok) {
        std::fputs("failed font load\n", stdout);
        std::fflush(stdout);
        return false;
    }
    image.pixels = std::move(tga.pixels);
    image.bitsPerPixel = tga.bitsPerPixel;
    image.width = tga.width;
    image.height = tga.height;

    GLuint texture = 0;
    glGenTextures(1, &texture);
    image.textureName = texture;
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // Rows of a 24-bit image need not be 4-byte aligned.
    GLint oldAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &oldAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const GLenum format = image.bitsPerPixel == 32 ? GL_RGBA : GL_RGB;
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), static_cast<GLsizei>(image.width),
                 static_cast<GLsizei>(image.height), 0, format, GL_UNSIGNED_BYTE, image.pixels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, oldAlignment);

    listBase = glGenLists(glyphCount);
    for (int n = 0; n < glyphCount; ++n) {
        const float cx = static_cast<float>(n % cellsPerRow) / cellsPerRow;
        const float cy = static_cast<float>(n / cellsPerRow) / cellsPerRow;
        // Cell row 0 is the top of the image, which is the top of the texture (t near 1).
        glNewList(listBase + static_cast<GLuint>(n), GL_COMPILE);
        glBegin(GL_QUADS);
        glTexCoord2f(cx, 1.0f - cy - cellSize);
        glVertex2f(0.0f, 0.0f);
        glTexCoord2f(cx + cellSize, 1.0f - cy - cellSize);
        glVertex2f(glyphSize, 0.0f);
        glTexCoord2f(cx + cellSize, 1.0f - cy - topInset);
        glVertex2f(glyphSize, glyphSize);
        glTexCoord2f(cx, 1.0f - cy - topInset);
        glVertex2f(0.0f, glyphSize);
        glEnd();
        glTranslatef(advance, 0.0f, 0.0f);
        glEndList();
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    loaded_ = true;
    return true;
}

void TextFont::print(int set, const char* format, ...) const {
    if (!loaded_ || format == nullptr)
        return;

    char text[bufferSize];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (length <= 0)
        return;
    const int count = length < bufferSize ? length : bufferSize - 1; // vsnprintf cut the rest

    if (set > 1)
        set = 1;
    if (set < 0)
        set = 0;
    // Character c draws cell c - 32 + 128 * set. Codes that land outside 0..255 name no glyph list;
    // they are dropped here instead of being called with a shifted base.
    unsigned char cells[bufferSize];
    int cellCount = 0;
    for (int i = 0; i < count; ++i) {
        const int cell = static_cast<unsigned char>(text[i]) - 32 + 128 * set;
        if (cell >= 0 && cell < glyphCount)
            cells[cellCount++] = static_cast<unsigned char>(cell);
    }
    if (cellCount == 0)
        return;

    glPushAttrib(GL_LIST_BIT);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, image.textureName);
    glListBase(listBase);
    glCallLists(cellCount, GL_UNSIGNED_BYTE, cells);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glPopAttrib();
}

void TextFont::deleteLists() {
    if (listBase != 0)
        glDeleteLists(listBase, glyphCount);
    listBase = 0;
    if (image.textureName != 0) {
        const GLuint texture = image.textureName;
        glDeleteTextures(1, &texture);
    }
    image.textureName = 0;
    loaded_ = false;
}
