// Drawing the tank: hull, turret and barrel, each placed on the part before it.
#include "tank/tank.h"

#include "platform/gl.h"

namespace {

constexpr float TURRET_HEIGHT = 0.18f;        // above the hull frame origin, scene units
constexpr Point3 BARREL_PIVOT = {-0.16f, 0.08f, 0.0f}; // breech, in the turret frame

// Faces drawn with a normal of their own; the others take the one before them.
constexpr bool facesWithNormal[TANK_MESH_FACES] = {
    true, true, true, true, true, true, true, true, // side strips 0..7
    true, false, false,                              // first end: face 8 lights 9 and 10
    true, false, false,                              // second end: face 11 lights 12 and 13
};

} // namespace

void drawTankMesh(const Point3* corners, const Face* faces)
{
    for (int k = 0; k < TANK_MESH_FACES; ++k) {
        const Face& face = faces[k];
        if (facesWithNormal[k])
            drawFace(corners, face);
        else
            subdivideQuad(corners[face[0]], corners[face[1]], corners[face[2]], corners[face[3]],
                          FACE_SUBDIVISION_DEPTH);
    }
}

void drawTank(const Tank& tank)
{
    // One bracket for the whole tank: each part's transform accumulates on the last.
    glPushMatrix();
        glEnableClientState(GL_VERTEX_ARRAY);
        glTranslatef(tank.position.x, tank.position.y, tank.position.z);
        glRotatef(tank.heading, 0.0f, 1.0f, 0.0f);
        applyMaterial(tank.hullMaterial);
        drawTankMesh(tank.hullCorners, tank.hullFaces);

        glTranslatef(0.0f, TURRET_HEIGHT, 0.0f);
        glRotatef(tank.turretAngle, 0.0f, 1.0f, 0.0f);
        applyMaterial(tank.turretMaterial);
        drawTankMesh(tank.turretCorners, tank.turretFaces);

        // About -z, so a positive elevation raises the muzzle (which points along -x).
        glTranslatef(BARREL_PIVOT.x, BARREL_PIVOT.y, BARREL_PIVOT.z);
        glRotatef(tank.barrelElevation, 0.0f, 0.0f, -1.0f);
        applyMaterial(tank.barrelMaterial);
        drawTankMesh(tank.barrelCorners, tank.barrelFaces);
        glDisableClientState(GL_VERTEX_ARRAY);
    glPopMatrix();
}
