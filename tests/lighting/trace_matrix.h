// The matrices GL builds from the calls of a trace, in double precision:
// column-major like GL's own, applied in the order the calls multiply them.
#pragma once

#include <array>
#include <vector>

using Matrix = std::array<double, 16>;

Matrix identity();
// a * b: b applied first.
Matrix multiply(const Matrix& a, const Matrix& b);
Matrix translation(double x, double y, double z);
// A turn by degrees about the axis (x, y, z), as glRotate.
Matrix rotation(double degrees, double x, double y, double z);
// As gluPerspective: field of view in degrees, width / height, clip planes.
Matrix perspective(double fovY, double aspect, double zNear, double zFar);
// As gluLookAt with the up direction (0, 1, 0).
Matrix lookAt(const std::array<double, 3>& eye, const std::array<double, 3>& centre);
// m applied to the point (x, y, z).
std::vector<double> transform(const Matrix& m, double x, double y, double z);
