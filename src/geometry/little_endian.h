// Little-endian fields of scene-file records, independent of the machine's byte order.
#pragma once

#include <cstdint>
#include <cstring>

namespace LittleEndian {

inline void storeUnsigned(unsigned char* at, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i)
        at[i] = static_cast<unsigned char>(value >> (8 * i));
}

inline std::uint64_t unsignedAt(const unsigned char* at, int size) {
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i)
        value |= static_cast<std::uint64_t>(at[i]) << (8 * i);
    return value;
}

inline void storeInt32(unsigned char* at, std::int32_t v) {
    storeUnsigned(at, static_cast<std::uint32_t>(v), 4);
}

inline void storeFloat32(unsigned char* at, float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    storeUnsigned(at, bits, 4);
}

inline void storeFloat64(unsigned char* at, double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, 8);
    storeUnsigned(at, bits, 8);
}

inline void storeBool(unsigned char* at, bool v) {
    at[0] = v ? 1 : 0;
}

inline std::int32_t int32At(const unsigned char* at) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(unsignedAt(at, 4)));
}

inline float float32At(const unsigned char* at) {
    const auto bits = static_cast<std::uint32_t>(unsignedAt(at, 4));
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
}

inline double float64At(const unsigned char* at) {
    const std::uint64_t bits = unsignedAt(at, 8);
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

// Any non-zero byte reads as true.
inline bool boolAt(const unsigned char* at) {
    return at[0] != 0;
}

} // namespace LittleEndian
