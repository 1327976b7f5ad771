// The WebGL layer against Mesa's own fixed function. Each row draws one small
// scene twice with the same calls: through OSMesa's GL, and through the layer
// (on OSMesa's GLES 2 level calls, in a second context); then compares the two
// pictures at points projected with the matrices GL reports.
#include "webgl/fixed_function.h"
#include "webgl/torus.h"

#include <GL/osmesa.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

namespace webgl = quorvale::webgl;

constexpr int SIZE = 160;          // pixels, square
constexpr int TOLERANCE = 3;       // per channel, of 255
constexpr int VISIBLE_LEVEL = 40;  // of 255: a row must light something this bright
constexpr double DEGREES_PER_RADIAN = 180.0 / 3.14159265358979323846;

// The calls a scene makes, from either GL.
struct Gl {
    void (*begin)(GLenum);
    void (*end)();
    void (*vertex3f)(GLfloat, GLfloat, GLfloat);
    void (*normal3f)(GLfloat, GLfloat, GLfloat);
    void (*color3f)(GLfloat, GLfloat, GLfloat);
    void (*enable)(GLenum);
    void (*disable)(GLenum);
    void (*matrixMode)(GLenum);
    void (*loadIdentity)();
    void (*pushMatrix)();
    void (*popMatrix)();
    void (*translatef)(GLfloat, GLfloat, GLfloat);
    void (*perspective)(double, double, double, double);
    void (*lookAt)(double, double, double, double, double, double, double, double, double);
    void (*lightf)(GLenum, GLenum, GLfloat);
    void (*lightfv)(GLenum, GLenum, const GLfloat*);
    void (*lightModelfv)(GLenum, const GLfloat*);
    void (*materialf)(GLenum, GLenum, GLfloat);
    void (*materialfv)(GLenum, GLenum, const GLfloat*);
    void (*colorMaterial)(GLenum, GLenum);
    void (*polygonMode)(GLenum, GLenum);
    void (*lineWidth)(GLfloat);
    void (*enableClientState)(GLenum);
    void (*disableClientState)(GLenum);
    void (*vertexPointer)(GLint, GLenum, GLsizei, const void*);
    void (*drawElements)(GLenum, GLsizei, GLenum, const void*);
    void (*clear)(GLbitfield);
    void (*viewport)(GLint, GLint, GLsizei, GLsizei);
    void (*torus)(double, double, int, int);
    void (*finish)();
};

// GLU's perspective and look-at, built from GL's own calls (GLU would bring libGL).
void realPerspective(double fovY, double aspect, double zNear, double zFar)
{
    const double h = zNear * std::tan(fovY / 2 / DEGREES_PER_RADIAN);
    glFrustum(-h * aspect, h * aspect, -h, h, zNear, zFar);
}

// Only for up = +y: turn the forward direction to -z by yaw, then by pitch.
void realLookAt(double ex, double ey, double ez, double cx, double cy, double cz, double, double,
                double)
{
    const double fx = cx - ex, fy = cy - ey, fz = cz - ez;
    glRotatef(static_cast<float>(-std::atan2(fy, std::hypot(fx, fz)) * DEGREES_PER_RADIAN), 1, 0, 0);
    glRotatef(static_cast<float>(std::atan2(fx, -fz) * DEGREES_PER_RADIAN), 0, 1, 0);
    glTranslatef(static_cast<float>(-ex), static_cast<float>(-ey), static_cast<float>(-ez));
}

// freeglut's own drawing: vertex and normal arrays, one strip per side.
void realTorus(double inner, double outer, int sides, int rings)
{
    const webgl::TorusMesh mesh = webgl::makeTorus(inner, outer, sides, rings);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, mesh.vertices.data());
    glNormalPointer(GL_FLOAT, 0, mesh.normals.data());
    for (int s = 0; s < mesh.strips; ++s)
        glDrawElements(GL_TRIANGLE_STRIP, mesh.indicesPerStrip, GL_UNSIGNED_INT,
                       &mesh.stripIndices[static_cast<std::size_t>(s * mesh.indicesPerStrip)]);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
}

const Gl MESA = {glBegin, glEnd, glVertex3f, glNormal3f, glColor3f, glEnable, glDisable, glMatrixMode,
                 glLoadIdentity, glPushMatrix, glPopMatrix, glTranslatef, realPerspective,
                 realLookAt, glLightf, glLightfv, glLightModelfv, glMaterialf, glMaterialfv,
                 glColorMaterial, glPolygonMode, glLineWidth, glEnableClientState,
                 glDisableClientState, glVertexPointer, glDrawElements, glClear, glViewport,
                 realTorus, glFinish};
const Gl LAYER = {webgl::begin, webgl::end, webgl::vertex3f, webgl::normal3f, webgl::color3f,
                  webgl::enable, webgl::disable, webgl::matrixMode, webgl::loadIdentity, webgl::pushMatrix,
                  webgl::popMatrix, webgl::translatef, webgl::perspective, webgl::lookAt,
                  webgl::lightf, webgl::lightfv, webgl::lightModelfv, webgl::materialf,
                  webgl::materialfv, webgl::colorMaterial, webgl::polygonMode, webgl::lineWidth,
                  webgl::enableClientState, webgl::disableClientState, webgl::vertexPointer,
                  webgl::drawElements, webgl::clear, webgl::viewport, webgl::solidTorus,
                  webgl::flush};

struct Spot {
    float direction[3];
    float cutoff, exponent;
};
constexpr Spot NO_SPOT = {{0, 0, -1}, 180, 0};

// Sets every parameter of one light (positions taken under the current view).
void setLight(const Gl& gl, int index, const float position[4], const float diffuse[4],
              const float specular[4], const Spot& spot, const float attenuation[3])
{
    const GLenum light = GL_LIGHT0 + static_cast<GLenum>(index);
    const float dim[4] = {0.05f, 0.05f, 0.05f, 1};
    gl.lightfv(light, GL_AMBIENT, dim);
    gl.lightfv(light, GL_DIFFUSE, diffuse);
    gl.lightfv(light, GL_SPECULAR, specular);
    gl.lightfv(light, GL_POSITION, position);
    gl.lightf(light, GL_SPOT_CUTOFF, spot.cutoff);
    gl.lightfv(light, GL_SPOT_DIRECTION, spot.direction);
    gl.lightf(light, GL_SPOT_EXPONENT, spot.exponent);
    for (int i = 0; i < 3; ++i)
        gl.lightf(light, GL_CONSTANT_ATTENUATION + static_cast<GLenum>(i), attenuation[i]);
}

void setMaterial(const Gl& gl, float specular, float shininess, const float emission[4])
{
    const float s[4] = {specular, specular, specular, 1};
    gl.materialfv(GL_FRONT, GL_SPECULAR, s);
    gl.materialf(GL_FRONT, GL_SHININESS, shininess);
    gl.materialfv(GL_FRONT, GL_EMISSION, emission);
}

const float BLACK[4] = {0, 0, 0, 1};
const float WHITE[4] = {1, 1, 1, 1};
const float UNATTENUATED[3] = {1, 0, 0};

// The frame every row starts from: the program's render state, camera and no light yet.
void startFrame(const Gl& gl)
{
    gl.viewport(0, 0, SIZE, SIZE);
    gl.clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (GLenum cap : {GL_DEPTH_TEST, GL_CULL_FACE, GL_LIGHTING, GL_COLOR_MATERIAL})
        gl.enable(cap);
    gl.colorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    gl.polygonMode(GL_FRONT_AND_BACK, GL_FILL);
    gl.lineWidth(1);
    const float ambient[4] = {0.2f, 0.2f, 0.2f, 1};
    gl.lightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    gl.matrixMode(GL_PROJECTION);
    gl.loadIdentity();
    gl.perspective(60, 1, 0.1, 100);
    gl.matrixMode(GL_MODELVIEW);
    gl.loadIdentity();
    gl.lookAt(2, 5, 7, 0, 0, 0, 0, 1, 0);
    for (int i = 0; i < 5; ++i) {
        gl.enable(GL_LIGHT0 + static_cast<GLenum>(i));
        gl.lightfv(GL_LIGHT0 + static_cast<GLenum>(i), GL_AMBIENT, BLACK);
        gl.lightfv(GL_LIGHT0 + static_cast<GLenum>(i), GL_DIFFUSE, BLACK);
        gl.lightfv(GL_LIGHT0 + static_cast<GLenum>(i), GL_SPECULAR, BLACK);
    }
    setMaterial(gl, 0, 0, BLACK);
}

// Square cells of the given size over -4..4, one glBegin each, wound
// counter-clockwise from above; the colour is given once, the normal before.
void ground(const Gl& gl, float cell)
{
    gl.color3f(0.3f, 0.7f, 0.4f);
    gl.normal3f(0, 1, 0);
    for (float z0 = -4; z0 < 4; z0 += cell) {
        for (float x0 = -4; x0 < 4; x0 += cell) {
            gl.begin(GL_QUADS);
            gl.vertex3f(x0 + cell, 0, z0 + cell);
            gl.vertex3f(x0 + cell, 0, z0);
            gl.vertex3f(x0, 0, z0);
            gl.vertex3f(x0, 0, z0 + cell);
            gl.end();
        }
    }
}

// A cube of side 1 centred at (x, 0.5, z), as the program draws its meshes:
// one normal per face, unsigned-byte indexed triangles.
void box(const Gl& gl, float x, float z)
{
    static float corners[8][3];
    for (int i = 0; i < 8; ++i) {
        corners[i][0] = x + ((i & 1) ? 0.5f : -0.5f);
        corners[i][1] = (i & 2) ? 1.0f : 0.0f;
        corners[i][2] = z + ((i & 4) ? 0.5f : -0.5f);
    }
    static const GLubyte faces[6][6] = {{1, 3, 5, 3, 7, 5}, {0, 4, 2, 4, 6, 2}, {2, 6, 3, 6, 7, 3},
                                        {0, 1, 4, 1, 5, 4}, {4, 5, 6, 5, 7, 6}, {0, 2, 1, 2, 3, 1}};
    static const float normals[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0},
                                        {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    gl.color3f(0.9f, 0.85f, 0.8f);
    gl.enableClientState(GL_VERTEX_ARRAY);
    gl.vertexPointer(3, GL_FLOAT, 0, corners);
    for (int f = 0; f < 6; ++f) {
        gl.normal3f(normals[f][0], normals[f][1], normals[f][2]);
        gl.drawElements(GL_TRIANGLES, 6, GL_UNSIGNED_BYTE, faces[f]);
    }
    gl.disableClientState(GL_VERTEX_ARRAY);
}

struct Sample {
    float x, y, z;  // world point
    int reach;      // 0: its pixel; 1: the brightest of the 3x3 around it (one-pixel lines and points)
};

struct Row {
    const char* name;
    void (*draw)(const Gl&);
    std::vector<Sample> samples;
};

const float SPOT_YELLOW[4] = {1, 1, 0.2f, 1};
const float OVERHEAD[4] = {0, 2, 0, 1};

const Row ROWS[] = {
    {"point light, diffuse and specular",
     [](const Gl& gl) {
         const float diffuse[4] = {0.9f, 0.9f, 0.9f, 1};
         setLight(gl, 0, OVERHEAD, diffuse, WHITE, NO_SPOT, UNATTENUATED);
         setMaterial(gl, 0.8f, 10, BLACK);
         ground(gl, 0.5f);
     },
     {{0, 0, 0, 0}, {1, 0, 1.5f, 0}, {-2.5f, 0, -1, 0}, {3, 0, 2.5f, 0}, {0.6f, 0, 0.9f, 0}}},
    {"spot, vertices inside and outside its cone",
     [](const Gl& gl) {
         const float position[4] = {0, 3, 0, 1};
         setLight(gl, 1, position, SPOT_YELLOW, WHITE, {{0.5f, -1, 0.25f}, 25, 3}, UNATTENUATED);
         setMaterial(gl, 0.5f, 20, BLACK);
         ground(gl, 0.25f);
     },
     {{1.5f, 0, 0.75f, 0}, {1.2f, 0, 0.5f, 0}, {2.4f, 0, 1.1f, 0}, {-2, 0, -2, 0}, {-1, 0, 2, 0}}},
    {"attenuated point light",
     [](const Gl& gl) {
         const float position[4] = {-1.5f, 1, -0.5f, 1};
         const float orange[4] = {1, 0.5f, 0.2f, 1};
         const float attenuation[3] = {0.2f, 0.5f, 0.3f};
         setLight(gl, 2, position, orange, WHITE, NO_SPOT, attenuation);
         setMaterial(gl, 0.6f, 5, BLACK);
         ground(gl, 2);  // large quads: their centres tell which diagonal splits them
     },
     {{1, 0, 1, 0}, {-1, 0, -1, 0}, {-1.5f, 0, -0.2f, 0}, {-3, 0, 3, 0}, {1, 0, -3, 0}}},
    {"colour material with emission and the model's ambient",
     [](const Gl& gl) {
         const float ambient[4] = {0.33f, 0.33f, 0.33f, 1};
         const float emission[4] = {0.15f, 0.05f, 0.1f, 1};
         const float position[4] = {1, 2, -1, 1};
         const float blue[4] = {0.2f, 0.3f, 0.6f, 1};
         gl.lightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
         setLight(gl, 3, position, blue, BLACK, NO_SPOT, UNATTENUATED);
         setMaterial(gl, 0, 0, emission);
         ground(gl, 0.5f);
     },
     {{0, 0, 0, 0}, {1, 0, -1, 0}, {-3, 0, 3, 0}, {3, 0, 3, 0}}},
    {"unsigned-byte indexed box under a spot",
     [](const Gl& gl) {
         const float position[4] = {2, 4, 2, 1};
         const float emission[4] = {0.1f, 0, 0, 1};
         setLight(gl, 4, position, SPOT_YELLOW, WHITE, {{-0.25f, -1, -0.25f}, 50, 1}, UNATTENUATED);
         setLight(gl, 0, OVERHEAD, WHITE, BLACK, NO_SPOT, UNATTENUATED);
         setMaterial(gl, 0.7f, 20, emission);
         box(gl, 0, 0);
     },
     {{0.2f, 1, 0.2f, 0}, {-0.2f, 1, -0.3f, 0}, {0, 0.5f, 0.5f, 0}, {0.5f, 0.3f, -0.2f, 0}}},
    {"torus (array normals), then a quad with the normal from before it",
     [](const Gl& gl) {
         const float blue[4] = {0.2f, 0.2f, 1, 1};
         setLight(gl, 0, OVERHEAD, blue, WHITE, NO_SPOT, UNATTENUATED);
         setMaterial(gl, 1, 25, BLACK);
         gl.normal3f(0.6f, 0.8f, 0);
         gl.color3f(0, 0, 1);
         gl.torus(0.5, 1.25, 20, 20);
         gl.color3f(0.8f, 0.8f, 0.8f);
         gl.begin(GL_QUADS);
         const float corners[4][2] = {{3.5f, 3.5f}, {3.5f, 2}, {2, 2}, {2, 3.5f}};
         for (const auto& xz : corners)
             gl.vertex3f(xz[0], 0, xz[1]);
         gl.end();
     },
     {{0, 1.604f, 0.354f, 0}, {1.604f, 0, 0.354f, 0}, {-1.1f, -0.6f, 0.4f, 0}, {2.75f, 0, 2.75f, 0}}},
    {"GL_LINE mode, 3 px edges, back faces culled first",
     [](const Gl& gl) {
         setLight(gl, 0, OVERHEAD, WHITE, BLACK, NO_SPOT, UNATTENUATED);
         gl.polygonMode(GL_FRONT_AND_BACK, GL_LINE);
         gl.lineWidth(3);
         ground(gl, 2);
         box(gl, 1, 1);
     },
     {{1, 1, 1.5f, 1}, {1.5f, 0.5f, 1.5f, 1}, {3, 0, 2, 1}, {-2, 0, -1, 1}, {-3, 0, 3, 0},
      {1, 0, 0.5f, 0}, {1, 0.5f, 0.5f, 0}}},
    {"GL_POINT mode",
     [](const Gl& gl) {
         setLight(gl, 0, OVERHEAD, WHITE, BLACK, NO_SPOT, UNATTENUATED);
         gl.polygonMode(GL_FRONT_AND_BACK, GL_POINT);
         ground(gl, 2);
         box(gl, 1, 1);
     },
     {{2, 0, 2, 1}, {-2, 0, 0, 1}, {1.5f, 1, 1.5f, 1}, {0.5f, 1, 1.5f, 1}, {-3, 0, -3, 1},
      {0.5f, 0, 0.5f, 1}}},
    {"lighting and culling switched off: colours as given, back faces drawn",
     [](const Gl& gl) {
         setLight(gl, 0, OVERHEAD, WHITE, BLACK, NO_SPOT, UNATTENUATED);
         gl.disable(GL_LIGHTING);
         gl.disable(GL_CULL_FACE);
         ground(gl, 2);
         gl.begin(GL_QUADS);  // wound clockwise from above: its back shows
         const float corners[4][2] = {{-3.5f, -3.5f}, {-3.5f, -2}, {-2, -2}, {-2, -3.5f}};
         gl.color3f(0.9f, 0.2f, 0.1f);
         for (const auto& xz : corners)
             gl.vertex3f(xz[0], 0.5f, xz[1]);
         gl.end();
     },
     {{1, 0, 1, 0}, {-2.75f, 0.5f, -2.75f, 0}}},
    {"4 px lines, one reaching behind the eye; a 1 px one too",
     [](const Gl& gl) {
         setLight(gl, 0, OVERHEAD, WHITE, BLACK, NO_SPOT, UNATTENUATED);
         gl.lineWidth(4);
         gl.color3f(1, 0.8f, 0.6f);
         gl.begin(GL_LINES);
         gl.vertex3f(-3, 0, 0);
         gl.vertex3f(3, 0, 0);
         gl.vertex3f(-2, 0, -3);
         gl.vertex3f(-2, 0, 3);
         gl.vertex3f(0.5f, 0.2f, -3);
         gl.vertex3f(0.5f, 0.2f, 50);
         gl.vertex3f(-1, 0, -2);
         gl.vertex3f(-1, 2, -2);
         gl.end();
         gl.lineWidth(1);
         gl.begin(GL_LINES);
         gl.vertex3f(-1.5f, 0.2f, 40);
         gl.vertex3f(-1.5f, 0.2f, -3);
         gl.end();
     },
     {{-1, 1.3f, -2, 0}, {1, 0, 0, 0}, {-2.5f, 0, 0, 0}, {-2, 0, 2, 0}, {-2, 0, -1.5f, 0}, {0.5f, 0.2f, 3, 0},
      {0.5f, 0.2f, 5, 0}, {1, 0, 1, 0}, {-1.5f, 0.2f, 2, 1}, {-1.5f, 0.2f, 4.5f, 1}}},
};

// One OSMesa context with its own RGBA picture.
struct Canvas {
    std::vector<GLubyte> memory = std::vector<GLubyte>(SIZE * SIZE * 4);
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);

    bool makeCurrent() { return OSMesaMakeCurrent(context, memory.data(), GL_UNSIGNED_BYTE, SIZE, SIZE); }
    ~Canvas() { OSMesaDestroyContext(context); }
};

std::vector<GLubyte> drawRow(Canvas& canvas, const Gl& gl, const Row& row)
{
    EXPECT_TRUE(canvas.makeCurrent());
    startFrame(gl);
    row.draw(gl);
    gl.finish();
    std::vector<GLubyte> pixels(SIZE * SIZE * 4);
    glReadPixels(0, 0, SIZE, SIZE, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// Where GL's current matrices put a world point, in whole pixels from the bottom left.
bool project(const Sample& s, int& px, int& py)
{
    float mv[16], p[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, mv);
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    const float world[4] = {s.x, s.y, s.z, 1};
    float eye[4] = {}, clip[4] = {};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            eye[r] += mv[c * 4 + r] * world[c];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            clip[r] += p[c * 4 + r] * eye[c];
    px = static_cast<int>(std::floor((clip[0] / clip[3] + 1) / 2 * SIZE));
    py = static_cast<int>(std::floor((clip[1] / clip[3] + 1) / 2 * SIZE));
    return clip[3] > 0 && px >= 1 && py >= 1 && px < SIZE - 1 && py < SIZE - 1;
}

// Channel c at the sample: its pixel, or the brightest around it.
int channelAt(const std::vector<GLubyte>& pixels, int px, int py, int reach, int c)
{
    int best = 0;
    for (int y = py - reach; y <= py + reach; ++y)
        for (int x = px - reach; x <= px + reach; ++x)
            best = std::max(best, static_cast<int>(pixels[(y * SIZE + x) * 4 + c]));
    return best;
}

TEST(WebglLayer, DrawsAsMesaFixedFunctionAtProjectedPoints)
{
    Canvas mesa, layer;
    ASSERT_NE(mesa.context, nullptr);
    ASSERT_NE(layer.context, nullptr);
    for (const Row& row : ROWS) {
        const std::vector<GLubyte> layerPixels = drawRow(layer, LAYER, row);
        const std::vector<GLubyte> mesaPixels = drawRow(mesa, MESA, row);
        int worst = 0, brightest = 0;
        for (const Sample& s : row.samples) {
            int px = 0, py = 0;
            ASSERT_TRUE(project(s, px, py)) << row.name << ": a sample off the picture";
            for (int c = 0; c < 3; ++c) {
                const int want = channelAt(mesaPixels, px, py, s.reach, c);
                const int got = channelAt(layerPixels, px, py, s.reach, c);
                worst = std::max(worst, std::abs(want - got));
                brightest = std::max(brightest, want);
                EXPECT_LE(std::abs(want - got), TOLERANCE)
                    << row.name << ", sample (" << s.x << ", " << s.y << ", " << s.z << ") at pixel "
                    << px << ", " << py << ", channel " << c << ": Mesa " << want << ", layer " << got;
            }
        }
        EXPECT_GE(brightest, VISIBLE_LEVEL) << row.name << ": nothing lit where it was sampled";
        std::printf("%-70s worst difference %d/255\n", row.name, worst);
    }
}

// The browser lost the context and gave a new, empty one back: the layer
// builds its shader anew and sets its state again (depth test, culling,
// clear colour, viewport), so the frame drawn there matches the one before.
TEST(WebglLayer, DrawsTheSameOnANewContextAfterTheOldWasLost)
{
    Canvas before, after;
    const Row& row = ROWS[5]; // the torus hides parts of itself: depth, culling and the shader show
    ASSERT_TRUE(before.makeCurrent());
    webgl::contextRestored(); // the other tests' contexts are gone
    webgl::clearColor(0.2f, 0.1f, 0.3f, 1);
    const std::vector<GLubyte> first = drawRow(before, LAYER, row);
    webgl::contextLost();
    ASSERT_TRUE(after.makeCurrent());
    webgl::contextRestored();
    float clear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_CULL_FACE)) << "capabilities not set again";
    EXPECT_EQ(std::vector<float>(clear, clear + 4), (std::vector<float>{0.2f, 0.1f, 0.3f, 1}));
    webgl::clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    row.draw(LAYER);
    webgl::flush();
    std::vector<GLubyte> second(first.size());
    glReadPixels(0, 0, SIZE, SIZE, GL_RGBA, GL_UNSIGNED_BYTE, second.data());
    long differing = 0;
    for (std::size_t i = 0; i < first.size(); i += 4)
        differing += !std::equal(&first[i], &first[i] + 3, &second[i]);
    EXPECT_EQ(differing, 0) << "pixels that differ on the new context";
}

// Vertices, normals and strips of glutSolidTorus(0.5, 1.25, 20, 20) as freeglut
// 3.4's own code builds them (its fghGenerateTorus and strip order).
TEST(WebglLayer, TorusIsFreeglutsTorus)
{
    const webgl::TorusMesh mesh = webgl::makeTorus(0.5, 1.25, 20, 20);
    ASSERT_EQ(mesh.vertices.size(), 400u * 3);
    ASSERT_EQ(mesh.strips, 20);
    ASSERT_EQ(mesh.indicesPerStrip, 42);
    const struct {
        int index;
        float vertex[3], normal[3];
    } known[] = {
        {21, {1.6410749f, 0.533217549f, -0.154508501f}, {0.904508531f, 0.293892652f, -0.309017003f}},
        {137, {-0.477089167f, 1.46832919f, 0.404508412f}, {-0.181635723f, 0.559017181f, 0.809016824f}},
        {399, {1.6410749f, -0.53321749f, 0.154508471f}, {0.904508531f, -0.293892592f, 0.309016943f}},
    };
    for (const auto& k : known) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_FLOAT_EQ(mesh.vertices[k.index * 3 + c], k.vertex[c]) << "vertex " << k.index;
            EXPECT_FLOAT_EQ(mesh.normals[k.index * 3 + c], k.normal[c]) << "normal " << k.index;
        }
    }
    const std::vector<unsigned>& s = mesh.stripIndices;
    EXPECT_EQ((std::vector<unsigned>{s[0], s[1], s[2], s[3], s[40], s[41]}),
              (std::vector<unsigned>{0, 1, 20, 21, 0, 1}));
    EXPECT_EQ((std::vector<unsigned>{s[798], s[799], s[800], s[801], s[838], s[839]}),
              (std::vector<unsigned>{19, 0, 39, 20, 19, 0}));
}

} // namespace
