// The web build's OpenGL: the program's fixed-function GL 1.1, GLU and
// glutSolidTorus calls, under their standard names, go to the layer in this
// folder (fixed_function.h), which draws them with WebGL.
//
// How the web build uses it:
// - platform/gl.h includes this header, instead of the desktop's GL headers,
//   when __EMSCRIPTEN__ is defined. It includes emscripten's GL, GLU and GLUT
//   headers first, for their types, enums and the rest of GLUT; the macros
//   below then redirect the calls, so emscripten's LEGACY_GL_EMULATION is not
//   wanted (link without it).
// - The page's build links the library quorvale_webgl (webgl/CMakeLists.txt).
// - glutSwapBuffers first draws what the layer still holds; a display callback
//   that ends without it must call quorvale::webgl::flush() itself.
// - Nothing may include a system GL header after this one.
#pragma once

#ifndef __EMSCRIPTEN__
#error "webgl/gl.h is the web build's GL; desktop builds use the system's"
#endif

#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glut.h>

#include "webgl/fixed_function.h"

#define glBegin quorvale::webgl::begin
#define glEnd quorvale::webgl::end
#define glVertex3f quorvale::webgl::vertex3f
#define glNormal3f quorvale::webgl::normal3f
#define glColor3f quorvale::webgl::color3f
#define glColor3fv quorvale::webgl::color3fv
#define glEnable quorvale::webgl::enable
#define glDisable quorvale::webgl::disable
#define glMatrixMode quorvale::webgl::matrixMode
#define glLoadIdentity quorvale::webgl::loadIdentity
#define glPushMatrix quorvale::webgl::pushMatrix
#define glPopMatrix quorvale::webgl::popMatrix
#define glTranslatef quorvale::webgl::translatef
#define glRotatef quorvale::webgl::rotatef
#define gluPerspective quorvale::webgl::perspective
#define gluLookAt quorvale::webgl::lookAt
#define glLightf quorvale::webgl::lightf
#define glLightfv quorvale::webgl::lightfv
#define glLightModelfv quorvale::webgl::lightModelfv
#define glMaterialf quorvale::webgl::materialf
#define glMaterialfv quorvale::webgl::materialfv
#define glColorMaterial quorvale::webgl::colorMaterial
#define glPolygonMode quorvale::webgl::polygonMode
#define glLineWidth quorvale::webgl::lineWidth
#define glEnableClientState quorvale::webgl::enableClientState
#define glDisableClientState quorvale::webgl::disableClientState
#define glVertexPointer quorvale::webgl::vertexPointer
#define glDrawElements quorvale::webgl::drawElements
#define glClear quorvale::webgl::clear
#define glClearColor quorvale::webgl::clearColor
#define glViewport quorvale::webgl::viewport
#define glDepthMask quorvale::webgl::depthMask
#define glutSolidTorus quorvale::webgl::solidTorus
// The inner name is not expanded again: it is emscripten's glutSwapBuffers.
#define glutSwapBuffers() (quorvale::webgl::flush(), glutSwapBuffers())
