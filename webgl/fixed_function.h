// OpenGL 1.1's fixed function, as much of it as Quorvale uses, drawn through
// GLES 2 / WebGL 1 with one shader (per_vertex_lighting). Each call does what
// the GL call of the same name does, for the arguments noted; anything else is
// ignored, as GL ignores a call that raises an error. The web build reaches
// these through the standard names (webgl/gl.h); the layer's tests
// call them directly beside the system's GL.
//
// Plain C++ types stand for GL's: unsigned for GLenum and GLbitfield, int for
// GLint and GLsizei, float for GLfloat and GLclampf, double for GLdouble.
// Everything acts on one GL context, the one current when the layer first draws.
#pragma once

namespace quorvale::webgl {

// glBegin: GL_LINES, GL_QUADS or GL_TRIANGLES.
void begin(unsigned mode);
void end();
void vertex3f(float x, float y, float z);
void normal3f(float x, float y, float z);
void color3f(float red, float green, float blue);
void color3fv(const float* rgb);

// GL_DEPTH_TEST, GL_CULL_FACE, GL_LIGHTING, GL_LIGHTi, GL_COLOR_MATERIAL.
void enable(unsigned cap);
void disable(unsigned cap);

// GL_MODELVIEW or GL_PROJECTION; stacks 32 and 2 deep, as GL's minimum.
void matrixMode(unsigned mode);
void loadIdentity();
void pushMatrix();
void popMatrix();
void translatef(float x, float y, float z);
void rotatef(float angleDegrees, float x, float y, float z);
// gluPerspective and gluLookAt.
void perspective(double fovYDegrees, double aspect, double zNear, double zFar);
void lookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY, double centreZ,
            double upX, double upY, double upZ);

// Light parameters of GL 1.1; positions and spot directions taken through the
// model-view matrix current at the call.
void lightf(unsigned light, unsigned name, float value);
void lightfv(unsigned light, unsigned name, const float* values);
// GL_LIGHT_MODEL_AMBIENT.
void lightModelfv(unsigned name, const float* values);
// Front material: GL_AMBIENT, GL_DIFFUSE, GL_AMBIENT_AND_DIFFUSE, GL_SPECULAR,
// GL_EMISSION, GL_SHININESS.
void materialf(unsigned face, unsigned name, float value);
void materialfv(unsigned face, unsigned name, const float* values);
// GL_FRONT (or GL_FRONT_AND_BACK) with GL_AMBIENT_AND_DIFFUSE.
void colorMaterial(unsigned face, unsigned mode);

// GL_FRONT, GL_BACK or GL_FRONT_AND_BACK; GL_FILL, GL_LINE or GL_POINT.
void polygonMode(unsigned face, unsigned mode);
// Pixels; lines wider than 1 are drawn as quads.
void lineWidth(float width);

// GL_VERTEX_ARRAY, and glVertexPointer with 3 GL_FLOATs per vertex.
void enableClientState(unsigned array);
void disableClientState(unsigned array);
void vertexPointer(int size, unsigned type, int stride, const void* pointer);
// GL_TRIANGLES from GL_UNSIGNED_BYTE or GL_UNSIGNED_SHORT indices in client memory.
void drawElements(unsigned mode, int count, unsigned type, const void* indices);

void clear(unsigned mask);
void clearColor(float red, float green, float blue, float alpha);
void viewport(int x, int y, int width, int height);
void depthMask(unsigned char flag);

// glutSolidTorus, as freeglut 3.4 draws it (which leaves the current normal alone).
void solidTorus(double innerRadius, double outerRadius, int sides, int rings);

// The browser took the WebGL context away (webglcontextlost): nothing is
// drawn until contextRestored. The layer's own state is kept.
void contextLost();
// The context is back, empty: the shader and buffers are built anew on the
// next draw and the state the layer set is set again.
void contextRestored();

// Draws whatever is still batched. Call it before the frame is shown (the web
// build does so in glutSwapBuffers) and before reading pixels back.
void flush();

} // namespace quorvale::webgl
