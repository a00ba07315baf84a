#pragma once
// The two matrix helpers of the usual GL utility library, for GL ES.
// Both multiply onto the current matrix.

void gluPerspective(float fovy, float aspect, float zNear, float zFar);
// Vectors of zero length are left as they are rather than normalised.
void gluLookAt(float eyeX, float eyeY, float eyeZ, float centerX, float centerY, float centerZ, float upX,
               float upY, float upZ);
