#include "geometry/box.h"

#include "platform/gl.h"

#include <algorithm>
#include <iterator>

namespace {

// Base (y = 0) then top (y = 5), each top corner above the base corner 4 lower.
constexpr Point3 boxCorners[BOX_CORNER_COUNT] = {
    {-1, 0, -1}, {1, 0, -1}, {1, 0, 1}, {-1, 0, 1},
    {-1, 5, -1}, {1, 5, -1}, {1, 5, 1}, {-1, 5, 1},
};

// Base, x = -1, x = +1, z = +1, z = -1, top.
constexpr std::uint8_t boxFaces[BOX_FACE_COUNT][4] = {
    {0, 1, 2, 3}, {0, 3, 7, 4}, {2, 1, 5, 6}, {3, 2, 6, 7}, {1, 0, 4, 5}, {4, 7, 6, 5},
};

constexpr Material boxMaterial = {
    {0.25f, 0.1f, 0.1f}, {0.1f, 0.1f, 0.1f}, 1.0f, {0.0f, 0.0f, 0.0f},
};

} // namespace

Box* makeBox(float x, float z, float yaw)
{
    Box* box = new Box;
    box->position = {x, 0.0f, z};
    box->yaw = yaw;
    std::copy(std::begin(boxCorners), std::end(boxCorners), box->corners);
    for (int face = 0; face < BOX_FACE_COUNT; ++face)
        std::copy(std::begin(boxFaces[face]), std::end(boxFaces[face]), box->faces[face]);
    box->material = boxMaterial;
    return box;
}

void drawBox(const Box& box)
{
    glPushMatrix();
        glEnableClientState(GL_VERTEX_ARRAY);
        // Turn about the box's own vertical axis first, then move it into place.
        glTranslatef(box.position.x, box.position.y, box.position.z);
        glRotatef(box.yaw, 0.0f, 1.0f, 0.0f);
        applyMaterial(box.material);
        for (const Face& face : box.faces)
            drawFace(box.corners, face);
        glDisableClientState(GL_VERTEX_ARRAY);
    glPopMatrix();
}
