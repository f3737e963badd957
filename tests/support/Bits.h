#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// The bit pattern of a float, so tests can demand exact equality and tell -0 from +0.
inline uint32_t bits(float f)
{
    uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

// FNV-1a over the bytes of some floats: one number that changes with any bit of them.
inline uint64_t digest(const float* values, std::size_t count, uint64_t hash = 0xcbf29ce484222325u)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(values);
    for (std::size_t i = 0; i < count * sizeof(float); ++i) {
        // The analyzer takes the bytes of a float it knows whole for unset ones.
        // NOLINTNEXTLINE(clang-analyzer-core.UndefinedBinaryOperatorResult)
        hash = (hash ^ bytes[i]) * 0x100000001b3u;
    }
    return hash;
}
