// Reader for uncompressed true-colour TGA files: validates the bytes and gives pixels in RGB(A) order.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

class TgaImage {
public:
    // Result codes of read and readFile; Ok is the only success.
    enum Result {
        Ok = 0,
        CannotOpen,    // the file could not be opened
        ShortHeader,   // fewer than 12 header bytes
        BadHeader,     // not an uncompressed true-colour image without ID or colour map
        ShortSize,     // fewer than the 6 bytes of size and depth
        ZeroSize,      // width or height is 0
        BadDepth,      // bits per pixel neither 24 nor 32
        BlockTooLarge, // the pixel block is larger than what is left of the file: refused before allocating
        NoMemory,      // the pixel buffer could not be allocated
        ShortPixels    // the stream ended inside the pixel block
    };

    std::vector<unsigned char> pixels; // width * height * bytesPerPixel, RGB or RGBA, rows as stored
    int bitsPerPixel = 0;
    unsigned int width = 0;
    unsigned int height = 0;
    std::string reason; // what was wrong, with the offending values; empty after a successful read

    // Reads an image from a stream holding streamSize bytes from its current position.
    // On failure the image is left empty and the code says why.
    Result read(std::istream& in, std::uint64_t streamSize);
    Result readFile(const std::string& path);

private:
    Result fail(Result code, std::string why);
};
