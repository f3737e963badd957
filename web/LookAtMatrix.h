#pragma once

// The view transform of gluLookAt as GLU builds it: the eye's axes, worked out in
// single precision from the direction to the centre and the up vector, make a
// rotation, followed by a move of the eye to the origin.
class LookAtMatrix {
public:
    LookAtMatrix(double eyeX, double eyeY, double eyeZ, double centerX, double centerY,
                 double centerZ, double upX, double upY, double upZ);

    // Multiplies the transform into the current matrix, as gluLookAt does.
    void apply() const;

    // The rotation, column by column, for glMultMatrixf.
    const float* getRotation() const { return rotation; }

private:
    float rotation[16];
    double eye[3];
};
