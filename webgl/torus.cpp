#include "webgl/torus.h"

#include <cmath>
#include <cstdlib>

namespace quorvale::webgl {

namespace {

constexpr float PI = 3.14159265358979323846f;

// sin and cos of n equal steps around the circle, clockwise for a negative n;
// computed as freeglut does (the step in float, each sine in double).
void circleTable(int n, std::vector<float>& sines, std::vector<float>& cosines)
{
    const int size = std::abs(n);
    const float angle = 2 * PI / static_cast<float>(n == 0 ? 1 : n);
    sines.assign(static_cast<std::size_t>(size) + 1, 0.0f);
    cosines.assign(static_cast<std::size_t>(size) + 1, 1.0f);
    for (int i = 1; i < size; ++i) {
        const double step = static_cast<double>(angle * static_cast<float>(i));
        sines[i] = static_cast<float>(std::sin(step));
        cosines[i] = static_cast<float>(std::cos(step));
    }
}

} // namespace

TorusMesh makeTorus(double innerRadius, double outerRadius, int sides, int rings)
{
    TorusMesh mesh;
    if (sides < 2 || rings < 2)
        return mesh;
    const float tube = static_cast<float>(innerRadius);
    const float ring = static_cast<float>(outerRadius);
    std::vector<float> sinPsi, cosPsi, sinPhi, cosPhi;
    circleTable(rings, sinPsi, cosPsi);
    circleTable(-sides, sinPhi, cosPhi);
    for (int j = 0; j < rings; ++j) {
        for (int i = 0; i < sides; ++i) {
            const float reach = ring + cosPhi[i] * tube;
            mesh.vertices.insert(mesh.vertices.end(),
                                 {cosPsi[j] * reach, sinPsi[j] * reach, sinPhi[i] * tube});
            mesh.normals.insert(mesh.normals.end(),
                                {cosPsi[j] * cosPhi[i], sinPsi[j] * cosPhi[i], sinPhi[i]});
        }
    }
    // Side i's strip runs around the ring between sides i and i + 1 (the last
    // side pairs with side 0), and repeats its first pair to close.
    for (int i = 0; i < sides; ++i) {
        const int next = i == sides - 1 ? -i : 1;
        for (int j = 0; j <= rings; ++j) {
            const int offset = (j == rings ? 0 : j) * sides + i;
            mesh.stripIndices.push_back(static_cast<unsigned>(offset));
            mesh.stripIndices.push_back(static_cast<unsigned>(offset + next));
        }
    }
    mesh.strips = sides;
    mesh.indicesPerStrip = (rings + 1) * 2;
    return mesh;
}

} // namespace quorvale::webgl
