// Little-endian packing of the fixed scene-file records, independent of the host's byte order.
#pragma once

#include <cstdint>
#include <cstring>

inline void putInt32(unsigned char* record, int offset, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int b = 0; b < 4; ++b)
        record[offset + b] = static_cast<unsigned char>(bits >> (8 * b));
}

inline void putFloat32(unsigned char* record, int offset, float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    putInt32(record, offset, static_cast<std::int32_t>(bits));
}

inline void putBool(unsigned char* record, int offset, bool value) {
    record[offset] = value ? 1 : 0;
}

inline std::int32_t getInt32(const unsigned char* record, int offset) {
    std::uint32_t bits = 0;
    for (int b = 0; b < 4; ++b)
        bits |= static_cast<std::uint32_t>(record[offset + b]) << (8 * b);
    return static_cast<std::int32_t>(bits);
}

inline float getFloat32(const unsigned char* record, int offset) {
    const auto bits = static_cast<std::uint32_t>(getInt32(record, offset));
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

// Any non-zero byte reads as true.
inline bool getBool(const unsigned char* record, int offset) {
    return record[offset] != 0;
}
