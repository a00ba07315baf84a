#include "engine/glu.h"

#include "platform/GL.h"

#include <cmath>

void gluPerspective(float fovy, float aspect, float zNear, float zFar) {
    float ymax = zNear * tanf(fovy * static_cast<float>(M_PI) / 360.0f);
    float ymin = -ymax;
    float xmin = ymin * aspect;
    float xmax = ymax * aspect;
    glFrustumf(xmin, xmax, ymin, ymax, zNear, zFar);
}

namespace {
void normalize(float v[3]) {
    float length = sqrtf(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length == 0.0f) return;
    v[0] /= length;
    v[1] /= length;
    v[2] /= length;
}

void cross(const float a[3], const float b[3], float out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}
} // namespace

void gluLookAt(float eyeX, float eyeY, float eyeZ, float centerX, float centerY, float centerZ, float upX,
               float upY, float upZ) {
    float z[3] = {eyeX - centerX, eyeY - centerY, eyeZ - centerZ};
    normalize(z);
    float y[3] = {upX, upY, upZ};
    float x[3];
    cross(y, z, x);
    cross(z, x, y);
    normalize(x);
    normalize(y);

    GLfloat m[16] = {x[0], y[0], z[0], 0, x[1], y[1], z[1], 0, x[2], y[2], z[2], 0, 0, 0, 0, 1};
    glMultMatrixf(m);
    glTranslatef(-eyeX, -eyeY, -eyeZ);
}
