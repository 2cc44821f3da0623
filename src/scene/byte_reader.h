// A bounds-checked cursor over little-endian bytes: every read says whether the bytes were there.
#pragma once

#include <cstddef>
#include <cstdint>

class ByteReader {
public:
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    std::size_t position = 0;

    ByteReader() = default;
    ByteReader(const void* bytes, std::size_t count)
        : data(static_cast<const unsigned char*>(bytes)), size(count) {}

    std::size_t remaining() const { return size - position; }
    bool atEnd() const { return position >= size; }

    // Each read advances only when all its bytes are there; otherwise it returns false and
    // leaves both the cursor and the value alone.
    bool readByte(unsigned char& value);
    bool readInt32(std::int32_t& value);
    bool readFloat32(float& value);
    bool readFloat64(double& value);
    bool skip(std::size_t count);

    // C white space (space, \t, \n, \v, \f, \r), as a formatted stream read skips it.
    void skipWhiteSpace();
};
