// Double-precision vector algebra the tests use to work out expected values on
// their own, independently of the program's single-precision code.
#pragma once

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
