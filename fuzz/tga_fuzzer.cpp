// libFuzzer target: arbitrary bytes through the font's TGA reader, checking what a successful read promises.
#include "canvas/tga_image.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

[[noreturn]] void broken(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::istringstream in(bytes, std::ios::binary);
    TgaImage image;
    const TgaImage::Result result = image.read(in, size);

    if (result != TgaImage::Ok) {
        if (!image.pixels.empty() || image.width != 0 || image.height != 0 || image.bitsPerPixel != 0)
            broken("a refused image kept pixels or a size");
        if (image.reason.empty())
            broken("a refused image gave no reason");
        return 0;
    }

    if (image.bitsPerPixel != 24 && image.bitsPerPixel != 32)
        broken("an accepted depth other than 24 or 32");
    if (image.width == 0 || image.height == 0)
        broken("an accepted empty image");
    const std::size_t step = static_cast<std::size_t>(image.bitsPerPixel / 8);
    const std::uint64_t expected = std::uint64_t(image.width) * image.height * step;
    if (image.pixels.size() != expected || size < 18 + expected)
        broken("pixel block size disagrees with the header");
    // The header the reader accepted is the one in the file, and every pixel is the file's BGR(A)
    // turned to RGB(A).
    const unsigned char* header = data;
    if (header[2] != 2 || header[12] + 256u * header[13] != image.width ||
        header[14] + 256u * header[15] != image.height || header[16] != image.bitsPerPixel)
        broken("size or depth differ from the header");
    const unsigned char* block = data + 18;
    for (std::size_t i = 0; i < image.pixels.size(); i += step) {
        if (image.pixels[i] != block[i + 2] || image.pixels[i + 1] != block[i + 1] ||
            image.pixels[i + 2] != block[i])
            broken("a pixel was not turned from BGR to RGB");
        if (step == 4 && image.pixels[i + 3] != block[i + 3])
            broken("an alpha byte changed");
    }

    // Reading the same bytes a second time into the same object gives the same image.
    std::istringstream again(bytes, std::ios::binary);
    const std::vector<unsigned char> pixels = image.pixels;
    if (image.read(again, size) != TgaImage::Ok || image.pixels != pixels)
        broken("a second read of the same bytes differs");
    return 0;
}
