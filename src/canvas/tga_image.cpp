// Reader for uncompressed true-colour TGA files: validates the bytes and gives pixels in RGB(A) order.
#include "canvas/tga_image.h"

#include <filesystem>
#include <fstream>
#include <new>

namespace {
// No image ID, no colour map, type 2 (uncompressed true colour), zero colour-map fields and origin.
constexpr unsigned char requiredHeader[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};

std::uint64_t readInto(std::istream& in, unsigned char* to, std::uint64_t count) {
    in.read(reinterpret_cast<char*>(to), static_cast<std::streamsize>(count));
    return static_cast<std::uint64_t>(in.gcount());
}
} // namespace

TgaImage::Result TgaImage::fail(Result code, std::string why) {
    pixels.clear();
    pixels.shrink_to_fit();
    bitsPerPixel = 0;
    width = height = 0;
    reason = std::move(why);
    return code;
}

TgaImage::Result TgaImage::read(std::istream& in, std::uint64_t streamSize) {
    unsigned char header[12];
    if (readInto(in, header, 12) != 12)
        return fail(ShortHeader, "header shorter than 12 bytes");
    for (int i = 0; i < 12; ++i) {
        if (header[i] != requiredHeader[i])
            return fail(BadHeader, "header byte " + std::to_string(i) + " is " + std::to_string(header[i]) +
                                       ", expected " + std::to_string(requiredHeader[i]));
    }
    unsigned char sizeAndDepth[6];
    if (readInto(in, sizeAndDepth, 6) != 6)
        return fail(ShortSize, "size and depth shorter than 6 bytes");
    const unsigned int w = sizeAndDepth[0] + 256u * sizeAndDepth[1];
    const unsigned int h = sizeAndDepth[2] + 256u * sizeAndDepth[3];
    const int bits = sizeAndDepth[4];
    if (w == 0 || h == 0)
        return fail(ZeroSize, "size " + std::to_string(w) + " x " + std::to_string(h));
    if (bits != 24 && bits != 32)
        return fail(BadDepth, "bits per pixel " + std::to_string(bits) + " is neither 24 nor 32");

    // At most 65535 * 65535 * 4 bytes: fits 64 bits. Compared with the file before any allocation, so a
    // forged header cannot make us reserve gigabytes for a file of a few bytes.
    const std::uint64_t blockSize = std::uint64_t(w) * h * (bits / 8);
    const std::uint64_t available = streamSize >= 18 ? streamSize - 18 : 0;
    if (blockSize > available)
        return fail(BlockTooLarge, "pixel block of " + std::to_string(blockSize) + " bytes, but only " +
                                       std::to_string(available) + " bytes follow the header");

    std::vector<unsigned char> block;
    try {
        block.resize(blockSize);
    } catch (const std::bad_alloc&) {
        return fail(NoMemory, "cannot allocate " + std::to_string(blockSize) + " bytes");
    }
    const std::uint64_t got = readInto(in, block.data(), blockSize);
    if (got != blockSize)
        return fail(ShortPixels, "pixel block ends after " + std::to_string(got) + " of " +
                                     std::to_string(blockSize) + " bytes");

    const std::size_t step = static_cast<std::size_t>(bits / 8);
    for (std::size_t i = 0; i + 2 < block.size(); i += step)
        std::swap(block[i], block[i + 2]); // BGR(A) -> RGB(A)

    pixels = std::move(block);
    bitsPerPixel = bits;
    width = w;
    height = h;
    reason.clear();
    return Ok;
}

TgaImage::Result TgaImage::readFile(const std::string& path) {
    // A folder opens as a stream on Linux and would only fail later, as a short header.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return fail(CannotOpen, "\"" + path + "\" is not a file");
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return fail(CannotOpen, "cannot open \"" + path + "\"");
    const std::streamoff end = in.tellg();
    in.seekg(0);
    if (end < 0 || !in)
        return fail(CannotOpen, "cannot size \"" + path + "\"");
    return read(in, static_cast<std::uint64_t>(end));
}
