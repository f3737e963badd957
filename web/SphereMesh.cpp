#include "web/SphereMesh.h"

#include <cmath>
#include <cstdlib>

namespace {

// The value of M_PI, which not every C library declares in standard C++.
const double pi = 3.14159265358979323846;

// Sines and cosines of n equal steps round a circle, or round half of one, in
// single precision: n + 1 entries, the last closing the circle exactly. A negative
// n runs the other way round.
void circleTable(int n, bool halfCircle, std::vector<float>& sines, std::vector<float>& cosines)
{
    const int size = std::abs(n);
    const float angle = (halfCircle ? 1 : 2) * float(pi) / float(n == 0 ? 1 : n);
    sines.assign(size_t(size) + 1, 0.0f);
    cosines.assign(size_t(size) + 1, 0.0f);
    cosines[0] = 1.0f;
    for (int i = 1; i < size; i++) {
        sines[size_t(i)] = float(std::sin(double(angle * float(i))));
        cosines[size_t(i)] = float(std::cos(double(angle * float(i))));
    }
    sines[size_t(size)] = halfCircle ? 0.0f : sines[0];
    cosines[size_t(size)] = halfCircle ? -1.0f : cosines[0];
}

void addPoint(std::vector<float>& to, float x, float y, float z)
{
    to.push_back(x);
    to.push_back(y);
    to.push_back(z);
}

} // namespace

SphereMesh::SphereMesh(float radius, int slices, int stacks)
    : radius(radius), slices(slices), stacks(stacks)
{
    // Too few to close a solid, or more vertices than 16-bit indices reach: nothing.
    if (slices < 1 || stacks < 2 || slices * (stacks - 1) + 2 > 65535)
        return;
    std::vector<float> sin1, cos1, sin2, cos2;
    circleTable(-slices, false, sin1, cos1);
    circleTable(stacks, true, sin2, cos2);

    addPoint(interleaved, 0.0f, 0.0f, 1.0f);
    addPoint(interleaved, 0.0f, 0.0f, radius);
    for (int i = 1; i < stacks; i++) {
        for (int j = 0; j < slices; j++) {
            const float x = cos1[size_t(j)] * sin2[size_t(i)];
            const float y = sin1[size_t(j)] * sin2[size_t(i)];
            const float z = cos2[size_t(i)];
            addPoint(interleaved, x, y, z);
            addPoint(interleaved, x * radius, y * radius, z * radius);
        }
    }
    addPoint(interleaved, 0.0f, 0.0f, -1.0f);
    addPoint(interleaved, 0.0f, 0.0f, -radius);

    // Vertex 0 is the top pole, 1 + i * slices + j slice j of ring i, the last one
    // the bottom pole.
    const int last = slices * (stacks - 1) + 1;
    auto pair = [this](int a, int b) {
        stripIndices.push_back((unsigned short)(a));
        stripIndices.push_back((unsigned short)(b));
    };
    for (int j = 0; j < slices; j++)
        pair(j + 1, 0);
    pair(1, 0);
    for (int i = 0; i < stacks - 2; i++) {
        const int ring = 1 + i * slices;
        for (int j = 0; j < slices; j++)
            pair(ring + j + slices, ring + j);
        pair(ring + slices, ring);
    }
    const int ring = 1 + (stacks - 2) * slices;
    for (int j = 0; j < slices; j++)
        pair(last, ring + j);
    pair(last, ring);

    // Triangle k of a strip has corners k, k + 1, k + 2, the first two swapped when k is
    // odd, so that every triangle keeps the strip's winding.
    const size_t perStrip = (size_t(slices) + 1) * 2;
    for (size_t strip = 0; strip < size_t(stacks); strip++) {
        const unsigned short* at = &stripIndices[strip * perStrip];
        for (size_t k = 0; k + 2 < perStrip; k++) {
            const size_t odd = k % 2;
            triangleIndices.insert(triangleIndices.end(),
                                   {at[k + odd], at[k + 1 - odd], at[k + 2]});
        }
    }
}

std::vector<float> SphereMesh::everyOther(std::size_t first) const
{
    std::vector<float> out;
    for (size_t v = first; v < interleaved.size(); v += 6)
        out.insert(out.end(), &interleaved[v], &interleaved[v] + 3);
    return out;
}
