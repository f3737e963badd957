#pragma once

#include <cstdint>
#include <cstring>

// The bit pattern of a float, so tests can demand exact equality and tell -0 from +0.
inline uint32_t bits(float f)
{
    uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

inline float fromBits(uint32_t b)
{
    float f;
    std::memcpy(&f, &b, sizeof f);
    return f;
}
