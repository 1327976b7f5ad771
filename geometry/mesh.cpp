#include "geometry/mesh.h"

#include "platform/gl.h"

#include <cmath>

namespace {

// Every quad is split along its diagonal p1-p3 into two triangles of its winding.
constexpr GLubyte quadIndices[6] = {0, 1, 3, 1, 2, 3};

// Alpha given with the three-component emission and specular colours; lit
// alpha comes from the diffuse reflectance alone, so it has no visible effect.
constexpr float MATERIAL_ALPHA = 1.0f;

Point3 midpoint(const Point3& a, const Point3& b)
{
    return {(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2};
}

} // namespace

void applyMaterial(const Material& material)
{
    const float emission[4] = {material.emission[0], material.emission[1], material.emission[2],
                               MATERIAL_ALPHA};
    const float specular[4] = {material.specular[0], material.specular[1], material.specular[2],
                               MATERIAL_ALPHA};
    glColor3fv(material.colour);
    glMaterialfv(GL_FRONT, GL_EMISSION, emission);
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT, GL_SHININESS, material.shininess);
}

Point3 faceNormal(const Point3& p0, const Point3& p1, const Point3& p2)
{
    // (p0 - p1) x (p1 - p2) equals (p1 - p0) x (p2 - p1): the right-hand rule over p0 -> p1 -> p2.
    const Point3 e = {p0.x - p1.x, p0.y - p1.y, p0.z - p1.z};
    const Point3 f = {p1.x - p2.x, p1.y - p2.y, p1.z - p2.z};
    Point3 n = {e.y * f.z - e.z * f.y, e.z * f.x - e.x * f.z, e.x * f.y - e.y * f.x};
    const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    // Corners on one line span no plane: leave the zero vector rather than NaNs.
    if (length == 0.0f)
        return n;
    n.x /= length;
    n.y /= length;
    n.z /= length;
    return n;
}

void drawFace(const Point3* corners, const Face& face)
{
    const Point3 n = faceNormal(corners[face[0]], corners[face[1]], corners[face[2]]);
    glNormal3f(n.x, n.y, n.z);
    subdivideQuad(corners[face[0]], corners[face[1]], corners[face[2]], corners[face[3]],
                  FACE_SUBDIVISION_DEPTH);
}

void subdivideQuad(Point3 p0, Point3 p1, Point3 p2, Point3 p3, int depth)
{
    if (depth <= 0) {
        drawQuad(p0, p1, p2, p3);
        return;
    }
    const Point3 m01 = midpoint(p0, p1);
    const Point3 m12 = midpoint(p1, p2);
    const Point3 m23 = midpoint(p2, p3);
    const Point3 m30 = midpoint(p3, p0);
    // The midpoint of the diagonal p0-p2, not the mean of all four corners.
    const Point3 centre = midpoint(p0, p2);
    // Each sub-quad runs corner, outgoing edge midpoint, centre, incoming edge
    // midpoint: the parent's winding.
    subdivideQuad(p0, m01, centre, m30, depth - 1);
    subdivideQuad(p1, m12, centre, m01, depth - 1);
    subdivideQuad(p2, m23, centre, m12, depth - 1);
    subdivideQuad(p3, m30, centre, m23, depth - 1);
}

void drawQuad(const Point3& p0, const Point3& p1, const Point3& p2, const Point3& p3)
{
    const Point3 vertices[4] = {p0, p1, p2, p3};
    // The array lives only for this call, so the pointer is set afresh for every quad.
    glVertexPointer(3, GL_FLOAT, 0, vertices);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_BYTE, quadIndices);
}
