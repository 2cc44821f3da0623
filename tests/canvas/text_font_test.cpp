// Tests of the bitmap font: load failures, texture upload, glyph cells, pen advance and the committed
// texture.
#include "canvas/text_font.h"

#include "canvas/tga_image.h"
#include "feedback_recorder.h"
#include "gl_test_context.h"

#include <GL/gl.h>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>

namespace {
const std::string committedFont = std::string(KNOTWORK_SOURCE_DIR) + "/data/data.tga";

// A TGA file of the given depth whose pixels count up from `first`, stored blue-green-red(-alpha).
std::string writeTga(const QTemporaryDir& dir, const char* name, int bits, int width, int height,
                     int imageType = 2, int pixelBytesMissing = 0) {
    std::string bytes(18, '\0');
    bytes[2] = char(imageType);
    bytes[12] = char(width & 0xff);
    bytes[13] = char(width >> 8);
    bytes[14] = char(height & 0xff);
    bytes[15] = char(height >> 8);
    bytes[16] = char(bits);
    const int size = width * height * bits / 8 - pixelBytesMissing;
    for (int i = 0; i < size; ++i)
        bytes.push_back(char(i * 7 + 1));
    const std::string path = dir.filePath(name).toStdString();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

struct TexturedVertex {
    float x, y, s, t;
};

// Feedback with texture coordinates; window coordinates equal world units from the origin, wide enough
// for 1023 glyphs (feedback needs no framebuffer behind the viewport).
std::vector<TexturedVertex> recordTextured(const std::function<void()>& draw) {
    std::vector<GLfloat> buffer(1 << 20);
    glViewport(0, 0, 16000, 100);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 16000, 0, 100, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint count = glRenderMode(GL_RENDER);
    std::vector<TexturedVertex> out;
    for (GLint i = 0; i < count;) {
        const auto token = GLint(buffer[i++]);
        if (token != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
        const auto n = GLint(buffer[i++]);
        for (GLint k = 0; k < n; ++k, i += 11) // x y z, r g b a, s t r q
            out.push_back({buffer[i], buffer[i + 1], buffer[i + 7], buffer[i + 8]});
    }
    return out;
}

float penX() {
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    return m[12];
}

// Pen advance of one print call from the origin, in units.
float advanceOf(const TextFont& font, int set, const std::string& text) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    font.print(set, "%s", text.c_str());
    return penX();
}

std::string captureLoad(TextFont& font, const std::string& path, bool& result) {
    testing::internal::CaptureStdout();
    result = font.load(path);
    return testing::internal::GetCapturedStdout();
}
} // namespace

TEST(TextFont, FailedLoadSaysSoAndPrintsNothing) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string good = writeTga(dir, "good.tga", 32, 16, 16);
    struct Case {
        const char* what;
        std::string path;
    };
    // One failure from each stage of reading; the reader's own tests go through every refusal.
    const Case cases[] = {
        {"missing file", dir.filePath("missing.tga").toStdString()},
        {"run-length encoded", writeTga(dir, "rle.tga", 32, 16, 16, 10)},
        {"short pixel block", writeTga(dir, "short.tga", 24, 16, 16, 2, 1)},
    };
    const FeedbackRecorder recorder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (bool loadedBefore : {false, true}) {
            TextFont font;
            bool result = false;
            if (loadedBefore) {
                ASSERT_EQ(captureLoad(font, good, result), "");
                ASSERT_TRUE(result);
            }
            EXPECT_EQ(captureLoad(font, c.path, result), "failed font load\n");
            EXPECT_FALSE(result);
            EXPECT_FALSE(font.loaded());
            float pen = 1.0f;
            const auto drawn = recorder.record([&] {
                font.print(0, "Top: (x,z)-axis");
                pen = penX();
            });
            EXPECT_TRUE(drawn.empty());
            EXPECT_EQ(pen, 0.0f);
        }
    }
}

TEST(TextFont, UploadsTheImageInItsOwnDepth) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        int bits, width, height;
        bool alpha;
    };
    // Odd widths: 24-bit rows of 3 pixels are 9 bytes, not a multiple of 4.
    const Case cases[] = {{32, 16, 16, true}, {24, 16, 16, false}, {24, 3, 5, false}, {32, 5, 3, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits, " << c.width << " x " << c.height);
        TextFont font;
        bool result = false;
        EXPECT_EQ(captureLoad(font, writeTga(dir, "font.tga", c.bits, c.width, c.height), result), "");
        ASSERT_TRUE(result);
        EXPECT_TRUE(font.loaded());
        EXPECT_EQ(font.image.bitsPerPixel, c.bits);
        EXPECT_EQ(font.image.width, unsigned(c.width));
        EXPECT_EQ(font.image.height, unsigned(c.height));
        // The first stored pixel is bytes 1, 8, 15 (, 22): red and blue trade places.
        ASSERT_GE(font.image.pixels.size(), 3u);
        EXPECT_EQ(font.image.pixels[0], 15);
        EXPECT_EQ(font.image.pixels[2], 1);

        GLint bound = 0, alphaBits = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(GLuint(bound), font.image.textureName);
        EXPECT_NE(font.image.textureName, 0u);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
        EXPECT_EQ(alphaBits > 0, c.alpha);
        // What GL holds is the image as read, row for row.
        std::vector<unsigned char> texels(font.image.pixels.size());
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, c.alpha ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE, texels.data());
        EXPECT_EQ(texels, font.image.pixels);

        EXPECT_TRUE(glIsList(font.listBase));
        EXPECT_TRUE(glIsList(font.listBase + 255));
        font.deleteLists();
        EXPECT_FALSE(glIsList(font.listBase + 255));
        EXPECT_FALSE(font.loaded());
    }
}

TEST(TextFont, CharacterCodesPickTheirGlyphCells) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    TextFont font;
    ASSERT_TRUE(font.load(committedFont));
    struct Case {
        char code;
        int set, column, row; // row counted from the top of the image
    };
    const Case cases[] = {
        {'A', 0, 1, 2}, {' ', 0, 0, 0},  {'~', 0, 14, 5}, {'A', 1, 1, 10},
        {'!', 1, 1, 8}, {'A', 5, 1, 10}, {'A', -3, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "'" << c.code << "' in set " << c.set);
        const auto vertices = recordTextured([&] { font.print(c.set, "%c", c.code); });
        ASSERT_FALSE(vertices.empty());
        auto [sMin, sMax] =
            std::minmax_element(vertices.begin(), vertices.end(), [](auto& a, auto& b) { return a.s < b.s; });
        auto [tMin, tMax] =
            std::minmax_element(vertices.begin(), vertices.end(), [](auto& a, auto& b) { return a.t < b.t; });
        EXPECT_NEAR(sMin->s, c.column / 16.0, 1e-5);
        EXPECT_NEAR(sMax->s, (c.column + 1) / 16.0, 1e-5);
        EXPECT_NEAR(tMin->t, 1.0 - (c.row + 1) / 16.0, 1e-5);
        EXPECT_NEAR(tMax->t, 1.0 - c.row / 16.0 - 0.001, 1e-5);
        // The texture's bottom-left corner lands on the pen, its top-right 16 units up and right.
        EXPECT_NEAR(sMin->x, 0.0, 1e-3);
        EXPECT_NEAR(tMin->y, 0.0, 1e-3);
        EXPECT_NEAR(sMax->x, 16.0, 1e-3);
        EXPECT_NEAR(tMax->y, 16.0, 1e-3);
    }
}

TEST(TextFont, PenAdvancesFourteenUnitsPerDrawnGlyph) {
    GlTestContext gl;
    KNOTWORK_REQUIRE_GL(gl);
    TextFont font;
    ASSERT_TRUE(font.load(committedFont));
    const std::size_t verticesPerGlyph = recordTextured([&] { font.print(0, "A"); }).size();
    ASSERT_GT(verticesPerGlyph, 0u);
    struct Case {
        const char* what;
        std::string text;
        int set;
        int glyphs;
    };
    const Case cases[] = {
        {"title", "Top: (x,z)-axis", 0, 15},
        {"title in bold", "Top: (x,z)-axis", 1, 15},
        {"set above 1", "Top: (x,z)-axis", 5, 15},
        {"control codes name no cell in set 0",
         "\x01\x1f"
         "AB\t",
         0, 2},
        {"only control codes", "\x01\x02\x1f", 0, 0},
        {"high codes reach the bold cells from set 0", "\xa0\xff", 0, 2},
        {"control codes are blank cells in set 1",
         "\x05"
         "A",
         1, 2},
        {"codes from 160 name no cell in set 1",
         "\xa0\xff"
         "A",
         1, 1},
        {"negative set",
         "\x01"
         "A",
         -2, 1},
        // The text is formatted into 1024 bytes: longer text is cut to 1023 characters.
        {"1023 characters", std::string(1023, 'x'), 0, 1023},
        {"1024 characters", std::string(1024, 'x'), 0, 1023},
        {"5000 characters", std::string(5000, 'x'), 1, 1023},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FLOAT_EQ(advanceOf(font, c.set, c.text), 14.0f * c.glyphs);
        const auto vertices = recordTextured([&] { font.print(c.set, "%s", c.text.c_str()); });
        EXPECT_EQ(vertices.size(), verticesPerGlyph * c.glyphs);
    }

    // printf-style formatting, and the state around the call is the caller's again afterwards.
    glListBase(7);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    font.print(0, "%d:%s", 42, "ab");
    EXPECT_FLOAT_EQ(penX(), 14.0f * 5);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLint listBase = 0;
    glGetIntegerv(GL_LIST_BASE, &listBase);
    EXPECT_EQ(listBase, 7);

    glLoadIdentity();
    font.print(0, nullptr);
    EXPECT_EQ(penX(), 0.0f);

    // Cut after formatting: the expansion counts, not the format.
    const std::string half(600, 'y');
    font.print(1, "%s%s", half.c_str(), half.c_str());
    EXPECT_FLOAT_EQ(penX(), 14.0f * 1023);
}

TEST(TextFont, CommittedTextureHasInkOnlyInPrintableCells) {
    TgaImage tga;
    ASSERT_EQ(tga.readFile(committedFont), TgaImage::Ok) << tga.reason;
    ASSERT_EQ(tga.bitsPerPixel, 32);
    ASSERT_EQ(tga.width, 256u);
    ASSERT_EQ(tga.height, 256u);
    // Total alpha of a cell; rows are stored bottom-up, so cell row 0 is the last 16 stored rows.
    auto ink = [&](int cell) {
        long sum = 0;
        const int x0 = (cell % 16) * 16, y0 = 256 - 16 * (cell / 16 + 1);
        for (int y = y0; y < y0 + 16; ++y)
            for (int x = x0; x < x0 + 16; ++x)
                sum += tga.pixels[(std::size_t(y) * 256 + x) * 4 + 3];
        return sum;
    };
    for (int set : {0, 1}) {
        for (int code = 32; code < 160; ++code) {
            const long cellInk = ink(code - 32 + 128 * set);
            if (code > 32 && code < 127)
                EXPECT_GT(cellInk, 255) << "code " << code << " set " << set; // at least a pixel's worth
            else
                EXPECT_EQ(cellInk, 0) << "code " << code << " set " << set;
        }
    }
    EXPECT_GT(ink('A' - 32 + 128), ink('A' - 32) * 5 / 4) << "set 1 is bold";
    // Linear filtering reads across cell borders: the glyphs keep off the cells' top and bottom rows.
    for (int cell = 0; cell < 256; ++cell) {
        const int x0 = (cell % 16) * 16, y0 = 256 - 16 * (cell / 16 + 1);
        for (int x = x0; x < x0 + 16; ++x) {
            EXPECT_LT(tga.pixels[(std::size_t(y0) * 256 + x) * 4 + 3], 64) << "cell " << cell;
            EXPECT_LT(tga.pixels[(std::size_t(y0 + 15) * 256 + x) * 4 + 3], 64) << "cell " << cell;
        }
    }
}
