#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Bitmap files are little-endian. On little-endian hosts a value is copied as it
// stands (one unaligned load or store); elsewhere it is assembled byte by byte.

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__

template <typename T> inline T loadLittleEndian(const unsigned char* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename T> inline void storeLittleEndian(unsigned char* p, T v)
{
    std::memcpy(p, &v, sizeof v);
}

#else

template <typename T> inline T loadLittleEndian(const unsigned char* p)
{
    T v = 0;
    for (size_t i = 0; i < sizeof v; ++i)
        v |= T(p[i]) << (8 * i);
    return v;
}

template <typename T> inline void storeLittleEndian(unsigned char* p, T v)
{
    for (size_t i = 0; i < sizeof v; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

#endif

inline uint16_t load16(const unsigned char* p)
{
    return loadLittleEndian<uint16_t>(p);
}

inline uint32_t load32(const unsigned char* p)
{
    return loadLittleEndian<uint32_t>(p);
}

inline uint64_t load64(const unsigned char* p)
{
    return loadLittleEndian<uint64_t>(p);
}

inline void store32(unsigned char* p, uint32_t v)
{
    storeLittleEndian(p, v);
}

inline void store64(unsigned char* p, uint64_t v)
{
    storeLittleEndian(p, v);
}
