// The right-button menu: view, camera mode and polygon mode toggles, and exit.
#include "app/app.h"

#include "app/scene.h"
#include "camera/camera.h"
#include "camera/controls.h"
#include "platform/gl.h"
#include "platform/platform.h"

#include <cstdlib>

namespace {

void toggleChaseView()
{
    cameraLocked = cameraLocked == 1 ? 0 : 1;
    theCamera->followTank = cameraLocked;
}

// Mouse camera mode installs mouse look and hides the pointer; mouse look
// starts afresh every time, measuring its first motion from where the pointer
// is now, so that it turns by that motion alone, and learning again whether
// sending the pointer home holds. The pointer is sent home only from within
// the window afterwards: on some window systems (Xwayland) a warp takes
// effect only while the hidden pointer is over the window that warps.
// Keyboard mode removes mouse look and shows the pointer again, so hide and
// show always pair up.
void toggleMouseCamera()
{
    if (mouseCameraMode == 0) {
        glutPassiveMotionFunc(onPassiveMotion);
        glutEntryFunc(onEntry);
        showCursor(false);
        beginMouseLook();
    } else {
        glutPassiveMotionFunc(nullptr);
        glutEntryFunc(nullptr);
        showCursor(true);
    }
    mouseCameraMode = mouseCameraMode == 1 ? 0 : 1;
}

// Each polygon-mode entry flips its own flag only; the mode on screen is the
// one the latest of the two entries set.
void togglePolygonMode(std::uint8_t& flag, GLenum modeWhenOn)
{
    glPolygonMode(GL_FRONT_AND_BACK, flag == 0 ? modeWhenOn : GL_FILL);
    flag = flag == 0 ? 1 : 0;
}

} // namespace

void onMenu(int value)
{
    switch (value) {
    case MENU_LOCK_CAMERA: toggleChaseView(); break;
    case MENU_MOUSE_CAMERA: toggleMouseCamera(); break;
    case MENU_WIREFRAME: togglePolygonMode(wireframeOn, GL_LINE); break;
    case MENU_VERTEX: togglePolygonMode(pointsOn, GL_POINT); break;
    case MENU_EXIT: std::exit(0);
    default: break;
    }
    glutPostRedisplay();
}
