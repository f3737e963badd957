#include "web/LookAtMatrix.h"

#include <GL/gl.h>

#include <cmath>

namespace {

void normalize(float v[3])
{
    const float length = float(std::sqrt(double(v[0] * v[0] + v[1] * v[1] + v[2] * v[2])));
    if (length == 0.0f)
        return;
    v[0] /= length;
    v[1] /= length;
    v[2] /= length;
}

void cross(const float a[3], const float b[3], float out[3])
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

} // namespace

LookAtMatrix::LookAtMatrix(double eyeX, double eyeY, double eyeZ, double centerX, double centerY,
                           double centerZ, double upX, double upY, double upZ)
    : eye{eyeX, eyeY, eyeZ}
{
    float forward[3] = {float(centerX - eyeX), float(centerY - eyeY), float(centerZ - eyeZ)};
    float up[3] = {float(upX), float(upY), float(upZ)};
    normalize(forward);
    float side[3];
    cross(forward, up, side);
    normalize(side);
    cross(side, forward, up);
    const float columns[16] = {side[0],     up[0], -forward[0], 0.0f,  side[1],     up[1],
                               -forward[1], 0.0f,  side[2],     up[2], -forward[2], 0.0f,
                               0.0f,        0.0f,  0.0f,        1.0f};
    for (int i = 0; i < 16; i++)
        rotation[i] = columns[i];
}

void LookAtMatrix::apply() const
{
    glMultMatrixf(rotation);
    glTranslated(-eye[0], -eye[1], -eye[2]);
}
