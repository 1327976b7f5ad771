// The one place that chooses the GL, GLU and GLUT headers; everything else includes this.
#pragma once

#ifdef __EMSCRIPTEN__
// The browser: emscripten's GLUT, and the program's GL 1.1 and GLU calls over WebGL.
#include <GL/glut.h>

#include "webgl/gl.h"

// WebGL takes no size for its depth buffer, and a depth buffer alone may get
// 16 bits (the grid then fights the ground from 8 units away); asked with a
// stencil buffer, browsers give the packed 24-bit depth.
#define glutInitDisplayMode(mode) glutInitDisplayMode((mode) | GLUT_STENCIL)
#else
#include <GL/freeglut.h>
#include <GL/glu.h>
#endif
