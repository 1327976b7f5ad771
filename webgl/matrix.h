// 4x4 matrices as OpenGL keeps them (column-major floats) and the transforms the
// layer builds from them: glTranslate, glRotate, gluPerspective and gluLookAt.
#pragma once

namespace quorvale::webgl {

// m[column * 4 + row], as glLoadMatrixf reads it.
struct Matrix4 {
    float m[16];
};

// The upper-left 3x3 of a matrix's inverse transpose, which carries normals to eye space.
struct Matrix3 {
    float m[9];  // m[column * 3 + row]
};

struct Vector4 {
    float x, y, z, w;
};

// The identity matrix.
Matrix4 identityMatrix();

// a * b: b applied first, as glMultMatrix appends b to a.
Matrix4 multiply(const Matrix4& a, const Matrix4& b);

// glTranslatef's matrix: a shift by (x, y, z) scene units.
Matrix4 translation(float x, float y, float z);

// glRotatef's matrix: angleDegrees counter-clockwise about the axis (x, y, z),
// which need not be of unit length; a zero axis gives the identity.
Matrix4 rotation(float angleDegrees, float x, float y, float z);

// gluPerspective's matrix: vertical field fovYDegrees, aspect width / height,
// near and far planes at positive distances.
Matrix4 perspectiveMatrix(double fovYDegrees, double aspect, double zNear, double zFar);

// gluLookAt's matrix: eye at eye, looking at centre, with up towards up.
Matrix4 lookAtMatrix(const float eye[3], const float centre[3], const float up[3]);

// m * (x, y, z, w).
Vector4 transform(const Matrix4& m, float x, float y, float z, float w);

// The upper-left 3x3 of m times (x, y, z): how GL carries a spot direction.
Vector4 transformDirection(const Matrix4& m, float x, float y, float z);

// The inverse transpose of m's upper-left 3x3; the identity if that part is singular.
Matrix3 normalMatrix(const Matrix4& m);

// n * (x, y, z), with w 0.
Vector4 transform(const Matrix3& n, float x, float y, float z);

} // namespace quorvale::webgl
