#pragma once

#include <cstdint>

// Bitmap files are little-endian. Values are assembled byte by byte so they read the
// same on any host and at any alignment; compilers turn these into single loads and stores.

inline uint16_t load16(const unsigned char* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

inline uint32_t load32(const unsigned char* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline uint64_t load64(const unsigned char* p)
{
    return uint64_t(load32(p)) | uint64_t(load32(p + 4)) << 32;
}

inline void store32(unsigned char* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

inline void store64(unsigned char* p, uint64_t v)
{
    store32(p, uint32_t(v));
    store32(p + 4, uint32_t(v >> 32));
}
