// The one place that chooses the GL, GLU and GLUT headers; everything else includes this.
#pragma once

#include <GL/freeglut.h>
#include <GL/glu.h>
