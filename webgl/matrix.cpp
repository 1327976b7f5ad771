#include "webgl/matrix.h"

#include <cmath>

namespace quorvale::webgl {

namespace {

constexpr double DEGREES_TO_RADIANS = 3.14159265358979323846 / 180.0;

float& at(Matrix4& m, int row, int column)
{
    return m.m[column * 4 + row];
}

float at(const Matrix4& m, int row, int column)
{
    return m.m[column * 4 + row];
}

// Normalises v in place; leaves a zero vector as it is.
void normalise(float v[3])
{
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length == 0.0f)
        return;
    for (int i = 0; i < 3; ++i)
        v[i] /= length;
}

void cross(const float a[3], const float b[3], float out[3])
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

} // namespace

Matrix4 identityMatrix()
{
    return {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
}

Matrix4 multiply(const Matrix4& a, const Matrix4& b)
{
    Matrix4 product{};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += at(a, row, k) * at(b, k, column);
            at(product, row, column) = sum;
        }
    }
    return product;
}

Matrix4 translation(float x, float y, float z)
{
    Matrix4 m = identityMatrix();
    at(m, 0, 3) = x;
    at(m, 1, 3) = y;
    at(m, 2, 3) = z;
    return m;
}

Matrix4 rotation(float angleDegrees, float x, float y, float z)
{
    float axis[3] = {x, y, z};
    if (axis[0] == 0.0f && axis[1] == 0.0f && axis[2] == 0.0f)
        return identityMatrix();
    normalise(axis);
    const double radians = angleDegrees * DEGREES_TO_RADIANS;
    const float s = static_cast<float>(std::sin(radians));
    const float c = static_cast<float>(std::cos(radians));
    const float t = 1.0f - c;
    const float ax = axis[0], ay = axis[1], az = axis[2];
    Matrix4 m = identityMatrix();
    at(m, 0, 0) = ax * ax * t + c;
    at(m, 0, 1) = ax * ay * t - az * s;
    at(m, 0, 2) = ax * az * t + ay * s;
    at(m, 1, 0) = ay * ax * t + az * s;
    at(m, 1, 1) = ay * ay * t + c;
    at(m, 1, 2) = ay * az * t - ax * s;
    at(m, 2, 0) = az * ax * t - ay * s;
    at(m, 2, 1) = az * ay * t + ax * s;
    at(m, 2, 2) = az * az * t + c;
    return m;
}

Matrix4 perspectiveMatrix(double fovYDegrees, double aspect, double zNear, double zFar)
{
    // As GLU: a degenerate frustum leaves the matrix alone.
    const double radians = fovYDegrees / 2 * DEGREES_TO_RADIANS;
    const double depth = zFar - zNear;
    const double sine = std::sin(radians);
    if (depth == 0 || sine == 0 || aspect == 0)
        return identityMatrix();
    const double cotangent = std::cos(radians) / sine;
    Matrix4 m{};
    at(m, 0, 0) = static_cast<float>(cotangent / aspect);
    at(m, 1, 1) = static_cast<float>(cotangent);
    at(m, 2, 2) = static_cast<float>(-(zFar + zNear) / depth);
    at(m, 3, 2) = -1.0f;
    at(m, 2, 3) = static_cast<float>(-2 * zNear * zFar / depth);
    return m;
}

Matrix4 lookAtMatrix(const float eye[3], const float centre[3], const float up[3])
{
    float forward[3] = {centre[0] - eye[0], centre[1] - eye[1], centre[2] - eye[2]};
    normalise(forward);
    float side[3];
    cross(forward, up, side);
    normalise(side);
    float trueUp[3];
    cross(side, forward, trueUp);
    Matrix4 m = identityMatrix();
    for (int i = 0; i < 3; ++i) {
        at(m, 0, i) = side[i];
        at(m, 1, i) = trueUp[i];
        at(m, 2, i) = -forward[i];
    }
    return multiply(m, translation(-eye[0], -eye[1], -eye[2]));
}

Vector4 transform(const Matrix4& m, float x, float y, float z, float w)
{
    float out[4];
    for (int row = 0; row < 4; ++row)
        out[row] = at(m, row, 0) * x + at(m, row, 1) * y + at(m, row, 2) * z + at(m, row, 3) * w;
    return {out[0], out[1], out[2], out[3]};
}

Vector4 transformDirection(const Matrix4& m, float x, float y, float z)
{
    return transform(m, x, y, z, 0.0f);
}

Matrix3 normalMatrix(const Matrix4& m)
{
    // The inverse transpose is the cofactor matrix over the determinant.
    const float a = at(m, 0, 0), b = at(m, 0, 1), c = at(m, 0, 2);
    const float d = at(m, 1, 0), e = at(m, 1, 1), f = at(m, 1, 2);
    const float g = at(m, 2, 0), h = at(m, 2, 1), i = at(m, 2, 2);
    const float cofactor[3][3] = {
        {e * i - f * h, f * g - d * i, d * h - e * g},
        {c * h - b * i, a * i - c * g, b * g - a * h},
        {b * f - c * e, c * d - a * f, a * e - b * d},
    };
    const float determinant = a * cofactor[0][0] + b * cofactor[0][1] + c * cofactor[0][2];
    Matrix3 n{{1, 0, 0, 0, 1, 0, 0, 0, 1}};
    if (determinant == 0.0f)
        return n;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            n.m[column * 3 + row] = cofactor[row][column] / determinant;
    return n;
}

Vector4 transform(const Matrix3& n, float x, float y, float z)
{
    return {n.m[0] * x + n.m[3] * y + n.m[6] * z, n.m[1] * x + n.m[4] * y + n.m[7] * z,
            n.m[2] * x + n.m[5] * y + n.m[8] * z, 0.0f};
}

} // namespace quorvale::webgl
