// The GL the layer itself is written against: WebGL through emscripten's GLES 2
// headers in the web build, or the system's desktop GL (2.0 and later carries
// every GLES 2 call the layer makes) when the layer runs natively in its tests.
// Only the layer's own sources include this header.
#pragma once

#ifdef __EMSCRIPTEN__
#include <GLES2/gl2.h>
#else
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#endif

// The fixed-function names the layer answers to, with their values in OpenGL 1.1;
// GLES 2 has none of them.
#ifndef GL_QUADS
#define GL_QUADS 0x0007
#define GL_LIGHTING 0x0B50
#define GL_LIGHT_MODEL_AMBIENT 0x0B53
#define GL_COLOR_MATERIAL 0x0B57
#define GL_AMBIENT 0x1200
#define GL_DIFFUSE 0x1201
#define GL_SPECULAR 0x1202
#define GL_POSITION 0x1203
#define GL_SPOT_DIRECTION 0x1204
#define GL_SPOT_EXPONENT 0x1205
#define GL_SPOT_CUTOFF 0x1206
#define GL_CONSTANT_ATTENUATION 0x1207
#define GL_LINEAR_ATTENUATION 0x1208
#define GL_QUADRATIC_ATTENUATION 0x1209
#define GL_EMISSION 0x1600
#define GL_SHININESS 0x1601
#define GL_AMBIENT_AND_DIFFUSE 0x1602
#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701
#define GL_POINT 0x1B00
#define GL_LINE 0x1B01
#define GL_FILL 0x1B02
#define GL_LIGHT0 0x4000
#define GL_VERTEX_ARRAY 0x8074
#endif
