// Little-endian fields of scene-file records, independent of the machine's byte order.
#pragma once

#include <cstdint>
#include <cstring>
#include <istream>
#include <ostream>

namespace LittleEndian {

inline void putBytes(std::ostream& out, std::uint64_t value, int size) {
    char bytes[8];
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((value >> (8 * i)) & 0xff);
    out.write(bytes, size);
}

inline std::uint64_t bytesAt(const unsigned char* bytes, int size) {
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i)
        value |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    return value;
}

inline void putInt32(std::ostream& out, std::int32_t v) { putBytes(out, static_cast<std::uint32_t>(v), 4); }

inline void putFloat32(std::ostream& out, float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    putBytes(out, bits, 4);
}

inline void putFloat64(std::ostream& out, double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, 8);
    putBytes(out, bits, 8);
}

inline void putBool(std::ostream& out, bool v) { out.put(v ? 1 : 0); }

// Readers take fields from a record already read into memory.
inline std::int32_t int32At(const unsigned char* bytes) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytesAt(bytes, 4)));
}

inline float float32At(const unsigned char* bytes) {
    const auto bits = static_cast<std::uint32_t>(bytesAt(bytes, 4));
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
}

inline double float64At(const unsigned char* bytes) {
    const std::uint64_t bits = bytesAt(bytes, 8);
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

// Any non-zero byte reads as true.
inline bool boolAt(const unsigned char* bytes) { return bytes[0] != 0; }

} // namespace LittleEndian
