#include "tests/app/gl_matrices.h"

#include "platform/gl.h"

#include <cmath>

namespace {

Matrix4 readMatrix(GLenum which)
{
    Matrix4 m{};
    glGetDoublev(which, m.data());
    return m;
}

} // namespace

Matrix4 projectionNow()
{
    return readMatrix(GL_PROJECTION_MATRIX);
}

Matrix4 modelViewNow()
{
    return readMatrix(GL_MODELVIEW_MATRIX);
}

::testing::AssertionResult matricesNear(const Matrix4& actual, const Matrix4& expected,
                                        double tolerance)
{
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (!(std::fabs(actual[i] - expected[i]) <= tolerance))
            return ::testing::AssertionFailure()
                   << "element " << i << " (column " << i / 4 << ", row " << i % 4 << ") is "
                   << actual[i] << ", expected " << expected[i];
    }
    return ::testing::AssertionSuccess();
}
