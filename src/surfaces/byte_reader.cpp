// Little-endian decoding with bounds checks, independent of the host's byte order.
#include "byte_reader.h"

#include <cstring>

namespace {

std::uint32_t littleEndian32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

std::uint64_t littleEndian64(const unsigned char* p) {
    return std::uint64_t(littleEndian32(p)) | std::uint64_t(littleEndian32(p + 4)) << 32;
}

} // namespace

bool ByteReader::readByte(unsigned char& value) {
    if (remaining() < 1)
        return false;
    value = data[position++];
    return true;
}

bool ByteReader::readInt32(std::int32_t& value) {
    if (remaining() < 4)
        return false;
    value = static_cast<std::int32_t>(littleEndian32(data + position));
    position += 4;
    return true;
}

bool ByteReader::readFloat32(float& value) {
    if (remaining() < 4)
        return false;
    const std::uint32_t bits = littleEndian32(data + position);
    std::memcpy(&value, &bits, sizeof value);
    position += 4;
    return true;
}

bool ByteReader::readFloat64(double& value) {
    if (remaining() < 8)
        return false;
    const std::uint64_t bits = littleEndian64(data + position);
    std::memcpy(&value, &bits, sizeof value);
    position += 8;
    return true;
}

bool ByteReader::skip(std::size_t count) {
    if (remaining() < count)
        return false;
    position += count;
    return true;
}

void ByteReader::skipWhiteSpace() {
    while (position < size) {
        const unsigned char c = data[position];
        if (c != ' ' && (c < '\t' || c > '\r'))
            return;
        ++position;
    }
}
