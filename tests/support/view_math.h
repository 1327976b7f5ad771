// Vector and matrix maths the tests use to work out expected values on their
// own, in double precision and independently of the program, GL and GLU.
// Matrices are column-major, as glGet returns them and glLoadMatrixd takes them.
#pragma once

#include <array>

struct Vec3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

Vec3 operator+(const Vec3& a, const Vec3& b);
Vec3 operator-(const Vec3& a, const Vec3& b);
Vec3 operator*(double k, const Vec3& a);
double dot(const Vec3& a, const Vec3& b);
Vec3 cross(const Vec3& a, const Vec3& b);
double length(const Vec3& a);
// a scaled to unit length.
Vec3 normalised(const Vec3& a);

using Matrix4 = std::array<double, 16>;

Matrix4 identity();
// a * b: b applied first, as GL multiplies the current matrix by each call's.
Matrix4 multiply(const Matrix4& a, const Matrix4& b);
Matrix4 translation(double x, double y, double z);
// A turn by degrees about the axis (x, y, z), right-handed, as glRotate.
Matrix4 rotation(double degrees, double x, double y, double z);
// As gluPerspective: vertical field of view in degrees, width / height, clip planes.
Matrix4 perspective(double fovYDegrees, double aspect, double zNear, double zFar);
// As gluLookAt: rows the eye's side, up and backward directions, then the eye
// moved to the origin.
Matrix4 lookAt(const Vec3& eye, const Vec3& centre, const Vec3& up = {0.0, 1.0, 0.0});
// m applied to the point p (its affine part).
Vec3 transform(const Matrix4& m, const Vec3& p);

// The window position (x from the left, y from the bottom, pixels) a world
// point lands on under a projection and view in a window of the given size;
// false if the point is not in front of the eye.
bool projectToWindow(const Matrix4& projection, const Matrix4& view, const Vec3& world, int width,
                     int height, double& x, double& yFromBottom);
