// The one place that chooses the GL, GLU and GLUT headers; everything else includes this.
#pragma once

#ifdef __EMSCRIPTEN__
// The browser: emscripten's GLUT, and the program's GL 1.1 and GLU calls over WebGL.
#include <GL/glut.h>

#include "webgl/gl.h"
#else
#include <GL/freeglut.h>
#include <GL/glu.h>
#endif
