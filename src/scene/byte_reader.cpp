// Little-endian decoding with bounds checks, independent of the host's byte order.
#include "scene/byte_reader.h"

#include "geometry/little_endian.h"

bool ByteReader::readByte(unsigned char& value) {
    if (remaining() < 1)
        return false;
    value = data[position++];
    return true;
}

bool ByteReader::readInt32(std::int32_t& value) {
    if (remaining() < 4)
        return false;
    value = LittleEndian::int32At(data + position);
    position += 4;
    return true;
}

bool ByteReader::readFloat32(float& value) {
    if (remaining() < 4)
        return false;
    value = LittleEndian::float32At(data + position);
    position += 4;
    return true;
}

bool ByteReader::readFloat64(double& value) {
    if (remaining() < 8)
        return false;
    value = LittleEndian::float64At(data + position);
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
