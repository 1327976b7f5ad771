#include "geometry/scenery.h"

#include "platform/gl.h"

namespace {

// Where the boxes stand (x, z) and how they are turned (degrees), in drawing order.
struct BoxPlacement {
    float x;
    float z;
    float yaw;
};
constexpr BoxPlacement boxPlacements[SCENERY_BOX_COUNT] = {
    {-6.0f, 6.0f, 0.0f}, {-6.0f, -6.0f, 90.0f}, {6.0f, -6.0f, 180.0f}, {6.0f, 6.0f, 270.0f},
};

constexpr float AXIS_HALF_LENGTH = 100.0f;  // scene units each way from the origin
constexpr int GRID_LINE_COUNT = 21;         // per direction, one per whole unit over -10..10
constexpr float GRID_HALF_EXTENT = 10.0f;   // scene units
constexpr float GRID_HEIGHT = 0.01f;        // just above the ground, scene units
constexpr float LINE_WIDTH = 1.0f;          // pixels; wireframe mode draws with it too

// Ground cells are 0.5 units square: rows i from 20 down to -19 and columns j
// from 19 down to -20 give 40 x 40 cells over -10..10.
constexpr float GROUND_CELL = 0.5f;
constexpr int GROUND_FIRST_ROW = 20;
constexpr int GROUND_LAST_ROW = -19;
constexpr int GROUND_FIRST_COLUMN = 19;
constexpr int GROUND_LAST_COLUMN = -20;
constexpr float GROUND_COLOUR[3] = {0.1f, 0.25f, 0.1f};

// The ground sets only its colour: the specular, shininess and emission of the
// last box drawn stay in force for it.
void drawGround()
{
    glColor3fv(GROUND_COLOUR);
    glNormal3f(0.0f, 1.0f, 0.0f);
    for (int i = GROUND_FIRST_ROW; i >= GROUND_LAST_ROW; --i) {
        for (int j = GROUND_FIRST_COLUMN; j >= GROUND_LAST_COLUMN; --j) {
            const float x0 = static_cast<float>(j) * GROUND_CELL;
            const float x1 = static_cast<float>(j + 1) * GROUND_CELL;
            const float z0 = static_cast<float>(i - 1) * GROUND_CELL;
            const float z1 = static_cast<float>(i) * GROUND_CELL;
            // Counter-clockwise seen from above, so the ground is culled from below.
            glBegin(GL_QUADS);
                glVertex3f(x1, 0.0f, z1);
                glVertex3f(x1, 0.0f, z0);
                glVertex3f(x0, 0.0f, z0);
                glVertex3f(x0, 0.0f, z1);
            glEnd();
        }
    }
}

} // namespace

Scenery* buildScenery()
{
    Scenery* scenery = new Scenery;
    for (int i = 0; i < SCENERY_BOX_COUNT; ++i)
        scenery->boxes[i] = makeBox(boxPlacements[i].x, boxPlacements[i].z, boxPlacements[i].yaw);
    return scenery;
}

void drawScenery(const Scenery& scenery)
{
    drawAxesAndGrid();
    for (const Box* box : scenery.boxes)
        drawBox(*box);
    drawGround();
}

void drawAxesAndGrid()
{
    glColor3f(1.0f, 1.0f, 1.0f);
    glLineWidth(LINE_WIDTH);
    glBegin(GL_LINES);
        glVertex3f(AXIS_HALF_LENGTH, 0.0f, 0.0f);
        glVertex3f(-AXIS_HALF_LENGTH, 0.0f, 0.0f);
        glVertex3f(0.0f, AXIS_HALF_LENGTH, 0.0f);
        glVertex3f(0.0f, -AXIS_HALF_LENGTH, 0.0f);
        glVertex3f(0.0f, 0.0f, AXIS_HALF_LENGTH);
        glVertex3f(0.0f, 0.0f, -AXIS_HALF_LENGTH);
    glEnd();
    glPushMatrix();
        // Lines across x at z = -10 .. 10, one unit apart.
        glTranslatef(0.0f, 0.0f, -GRID_HALF_EXTENT);
        for (int line = 0; line < GRID_LINE_COUNT; ++line) {
            glBegin(GL_LINES);
                glVertex3f(GRID_HALF_EXTENT, GRID_HEIGHT, 0.0f);
                glVertex3f(-GRID_HALF_EXTENT, GRID_HEIGHT, 0.0f);
            glEnd();
            glTranslatef(0.0f, 0.0f, 1.0f);
        }
        // Back to z offset 0, over to x offset -10: lines across z at x = -10 .. 10.
        glTranslatef(-GRID_HALF_EXTENT, 0.0f, -(GRID_HALF_EXTENT + 1.0f));
        for (int line = 0; line < GRID_LINE_COUNT; ++line) {
            glBegin(GL_LINES);
                glVertex3f(0.0f, GRID_HEIGHT, GRID_HALF_EXTENT);
                glVertex3f(0.0f, GRID_HEIGHT, -GRID_HALF_EXTENT);
            glEnd();
            glTranslatef(1.0f, 0.0f, 0.0f);
        }
    glPopMatrix();
}
