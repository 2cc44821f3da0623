// Tests of the TGA reader: accepted layouts, every refusal, and the size check before allocation.
#include "canvas/tga_image.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {
struct TgaBytes {
    int imageIdLength = 0;
    int colourMapType = 0;
    int imageType = 2;
    int width = 2;
    int height = 1;
    int bits = 24;
    std::string pixels; // appended as given

    std::string bytes() const {
        std::string b(18, '\0');
        b[0] = char(imageIdLength);
        b[1] = char(colourMapType);
        b[2] = char(imageType);
        b[12] = char(width & 0xff);
        b[13] = char(width >> 8);
        b[14] = char(height & 0xff);
        b[15] = char(height >> 8);
        b[16] = char(bits);
        return b + pixels;
    }
};

TgaImage::Result readBytes(TgaImage& image, const std::string& bytes, std::uint64_t claimedSize) {
    std::istringstream in(bytes);
    return image.read(in, claimedSize);
}
} // namespace

TEST(TgaImage, LoadsTrueColourAndSwapsBlueWithRed) {
    struct Case {
        int bits, width, height;
        std::string stored, expected;
    };
    const Case cases[] = {
        {24, 2, 1, "\x01\x02\x03\x04\x05\x06", "\x03\x02\x01\x06\x05\x04"},
        {32, 1, 2, std::string("\x0a\x0b\x0c\xff\x00\x80\xfe\x01", 8),
         std::string("\x0c\x0b\x0a\xff\xfe\x80\x00\x01", 8)},
        // Width and height read little-endian: 258 x 1 at 24 bits.
        {24, 258, 1, std::string(258 * 3, '\x07'), std::string(258 * 3, '\x07')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        TgaBytes tga;
        tga.bits = c.bits;
        tga.width = c.width;
        tga.height = c.height;
        tga.pixels = c.stored + "trailing bytes are ignored";
        const std::string bytes = tga.bytes();
        TgaImage image;
        ASSERT_EQ(readBytes(image, bytes, bytes.size()), TgaImage::Ok) << image.reason;
        EXPECT_EQ(image.width, unsigned(c.width));
        EXPECT_EQ(image.height, unsigned(c.height));
        EXPECT_EQ(image.bitsPerPixel, c.bits);
        EXPECT_EQ(std::string(image.pixels.begin(), image.pixels.end()), c.expected);
        EXPECT_TRUE(image.reason.empty());
    }
}

TEST(TgaImage, RefusesMalformedFiles) {
    struct Case {
        const char* what;
        std::string bytes;
        TgaImage::Result expected;
    };
    auto with = [](auto change) {
        TgaBytes t;
        t.pixels = std::string(6, '\x01');
        change(t);
        return t.bytes();
    };
    const std::string good = with([](TgaBytes&) {});
    const Case cases[] = {
        {"empty file", "", TgaImage::ShortHeader},
        {"11 header bytes", good.substr(0, 11), TgaImage::ShortHeader},
        {"run-length encoded", with([](TgaBytes& t) { t.imageType = 10; }), TgaImage::BadHeader},
        {"image ID", with([](TgaBytes& t) { t.imageIdLength = 4; }), TgaImage::BadHeader},
        {"colour map", with([](TgaBytes& t) { t.colourMapType = 1; }), TgaImage::BadHeader},
        {"grey-scale", with([](TgaBytes& t) { t.imageType = 3; }), TgaImage::BadHeader},
        {"size cut short", good.substr(0, 16), TgaImage::ShortSize},
        {"zero width", with([](TgaBytes& t) { t.width = 0; }), TgaImage::ZeroSize},
        {"zero height", with([](TgaBytes& t) { t.height = 0; }), TgaImage::ZeroSize},
        {"16 bits", with([](TgaBytes& t) { t.bits = 16; }), TgaImage::BadDepth},
        {"8 bits", with([](TgaBytes& t) { t.bits = 8; }), TgaImage::BadDepth},
        {"pixel block one byte short", good.substr(0, good.size() - 1), TgaImage::BlockTooLarge},
        {"32 bits with 24-bit pixels", with([](TgaBytes& t) { t.bits = 32; }), TgaImage::BlockTooLarge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TgaImage image;
        // Reuse after a success: a failed read must leave nothing of the earlier image behind.
        ASSERT_EQ(readBytes(image, good, good.size()), TgaImage::Ok);
        EXPECT_EQ(readBytes(image, c.bytes, c.bytes.size()), c.expected);
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_EQ(image.width, 0u);
        EXPECT_EQ(image.height, 0u);
        EXPECT_EQ(image.bitsPerPixel, 0);
        EXPECT_FALSE(image.reason.empty());
    }
}

TEST(TgaImage, RefusesAnOversizedPixelBlockBeforeReadingIt) {
    // 65535 x 65535 at 32 bits claims 17 GB in a file of 18 bytes.
    TgaBytes tga;
    tga.width = 65535;
    tga.height = 65535;
    tga.bits = 32;
    std::istringstream in(tga.bytes());
    TgaImage image;
    EXPECT_EQ(image.read(in, 18), TgaImage::BlockTooLarge);
    // The stream was left right after the header: no pixel byte was asked for, so nothing was allocated
    // for them either.
    EXPECT_EQ(in.tellg(), std::streampos(18));
    EXPECT_NE(image.reason.find("17179344900"), std::string::npos) << image.reason;
    EXPECT_TRUE(image.pixels.empty());
}

TEST(TgaImage, ReportsAStreamThatEndsBeforeItsStatedSize) {
    TgaBytes tga;
    tga.pixels = "\x01\x02\x03"; // half of a 2 x 1 image
    const std::string bytes = tga.bytes();
    TgaImage image;
    EXPECT_EQ(readBytes(image, bytes, bytes.size() + 3), TgaImage::ShortPixels);
    EXPECT_TRUE(image.pixels.empty());
}

TEST(TgaImage, ReadsFilesFromDisk) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("image.tga").toStdString();
    TgaBytes tga;
    tga.pixels = "\x10\x20\x30\x40\x50\x60";
    {
        std::ofstream out(path, std::ios::binary);
        out << tga.bytes();
    }
    TgaImage image;
    ASSERT_EQ(image.readFile(path), TgaImage::Ok) << image.reason;
    EXPECT_EQ(std::string(image.pixels.begin(), image.pixels.end()), "\x30\x20\x10\x60\x50\x40");

    // The file size bounds the pixel block: a truncated file is refused before its pixels are read.
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << tga.bytes().substr(0, 20);
    }
    EXPECT_EQ(image.readFile(path), TgaImage::BlockTooLarge);
    EXPECT_EQ(image.readFile(dir.filePath("missing.tga").toStdString()), TgaImage::CannotOpen);
    EXPECT_EQ(image.readFile(dir.path().toStdString()), TgaImage::CannotOpen) << "a folder is no image";
}
