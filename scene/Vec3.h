#pragma once

// A point or direction in track units: +x runs down the track, +y is up,
// +z is to the right when facing +x.
struct Vec3 {
    float x, y, z;
};

// Component-wise float difference; the edges of a track segment are formed this way.
inline Vec3 operator-(const Vec3& a, const Vec3& b)
{
    return Vec3{a.x - b.x, a.y - b.y, a.z - b.z};
}
