// The torus of glutSolidTorus as freeglut 3.4 builds it: the same vertices,
// normals and triangle strips, so that it is lit and wound alike.
#pragma once

#include <vector>

namespace quorvale::webgl {

struct TorusMesh {
    std::vector<float> vertices;  // x, y, z per vertex, scene units; axis along z
    std::vector<float> normals;   // x, y, z per vertex, unit length
    // sides strips of (rings + 1) * 2 indices each: one per side, around the ring.
    std::vector<unsigned> stripIndices;
    int strips = 0;
    int indicesPerStrip = 0;
};

// The tube of radius innerRadius (scene units) swept around a circle of radius
// outerRadius, sides vertices around the tube and rings around the circle.
// Empty for fewer than 2 sides or rings, as freeglut draws nothing then.
TorusMesh makeTorus(double innerRadius, double outerRadius, int sides, int rings);

} // namespace quorvale::webgl
