#include "camera/controls.h"

#include "camera/camera.h"
#include "camera/pointer_track.h"
#include "platform/gl.h"
#include "platform/platform.h"

#include <cmath>

namespace {

constexpr float NORMAL_STEP = 0.04f;     // movement factor between ticks
constexpr float FAST_STEP = 0.14f;       // for the tick in which right Shift is held
constexpr float TURN_INCREMENT = 0.04f;  // radians per tick
constexpr float TILT_INCREMENT = 0.04f;  // radians per tick
constexpr double QUARTER_TURN = 1.570796325;          // radians
constexpr double PITCH_LIMIT = QUARTER_TURN - 0.035;  // radians, tested before a change
constexpr float MOUSE_DIVISOR = 10.0f;   // pixels
constexpr float MOUSE_FACTOR = 0.04f;    // radians per MOUSE_DIVISOR pixels

// Where mouse look measures motions from and sends the pointer back to. The
// menu begins mouse look before any motion reaches it; a caller that hands
// motions to mouseLook without that finds the pointer taken to be at home.
PointerTrack pointerTrack{PointerPhase::Home, {640, 360}, std::nullopt};

// The current window's size, pixels.
WindowSize windowSize()
{
    return {glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT)};
}

// Tell the pointer track where the pointer is now (begun, come in or gone out).
void updatePointerTrack(void (*update)(PointerTrack&, std::optional<Pixel>, WindowSize))
{
    update(pointerTrack, pointerInWindow(), windowSize());
}

bool held(int virtualKey)
{
    return (getKeyState(virtualKey) & KEY_HELD) != 0;
}

// Move eye and centre together by the given multiple of centre - eye.
void moveAlongSight(Camera& camera, float factor)
{
    const float dx = factor * (camera.centre.x - camera.eye.x);
    const float dy = factor * (camera.centre.y - camera.eye.y);
    const float dz = factor * (camera.centre.z - camera.eye.z);
    camera.eye = {camera.eye.x + dx, camera.eye.y + dy, camera.eye.z + dz};
    camera.centre = {camera.centre.x + dx, camera.centre.y + dy, camera.centre.z + dz};
}

// Place the centre one unit from the eye horizontally along the yaw, keeping
// its height offset.
void aimHorizontally(Camera& camera)
{
    camera.centre.x = static_cast<float>(camera.eye.x + std::sin(camera.yaw));
    camera.centre.z = static_cast<float>(camera.eye.z - std::cos(camera.yaw));
}

// Place the centre at eye + L(yaw, pitch), the unit line of sight.
void aimAlongSight(Camera& camera)
{
    const double cosPitch = std::cos(camera.pitch);
    camera.centre.x = static_cast<float>(camera.eye.x + std::sin(camera.yaw) * cosPitch);
    camera.centre.y = static_cast<float>(camera.eye.y + std::sin(camera.pitch));
    camera.centre.z = static_cast<float>(camera.eye.z - std::cos(camera.yaw) * cosPitch);
}

// Step eye and centre by -step along (sin a, 0, -cos a), keeping both heights.
void stepSideways(Camera& camera, double angle)
{
    const float sx = static_cast<float>(std::sin(angle));
    const float sz = static_cast<float>(-std::cos(angle));
    camera.eye.x -= camera.step * sx;
    camera.eye.z -= camera.step * sz;
    camera.centre.x -= camera.step * sx;
    camera.centre.z -= camera.step * sz;
}

// Turn by dx and tilt by dy pixels of pointer motion, 0.004 rad per pixel;
// moving up (dy < 0) raises the pitch. The limit is tested before the change,
// so one large motion may carry the pitch past it.
void turnAndTilt(Camera& camera, Pixel moved)
{
    const int dx = moved.x;
    const int dy = moved.y;
    camera.yaw += static_cast<float>(dx) / MOUSE_DIVISOR * MOUSE_FACTOR;
    if ((dy < 0 && camera.pitch < PITCH_LIMIT) || (dy > 0 && camera.pitch > -PITCH_LIMIT))
        camera.pitch -= static_cast<float>(dy) / MOUSE_DIVISOR * MOUSE_FACTOR;
}

// Forward and back along the line of sight, shared by both camera modes.
void flyForwardBack(Camera& camera)
{
    if (held(VK_RSHIFT))
        camera.step = FAST_STEP;
    if (held(VK_UP))
        moveAlongSight(camera, camera.step);
    if (held(VK_DOWN))
        moveAlongSight(camera, -camera.step);
}

} // namespace

void keyboardFly()
{
    Camera& camera = *theCamera;
    flyForwardBack(camera);
    if (held(VK_LEFT)) {
        camera.yaw -= TURN_INCREMENT;
        aimHorizontally(camera);
    }
    if (held(VK_RIGHT)) {
        camera.yaw += TURN_INCREMENT;
        aimHorizontally(camera);
    }
    if (held(VK_HOME)) {
        if (camera.pitch < PITCH_LIMIT)
            camera.pitch += TILT_INCREMENT;
        aimAlongSight(camera);
    }
    if (held(VK_END)) {
        if (camera.pitch > -PITCH_LIMIT)
            camera.pitch -= TILT_INCREMENT;
        aimAlongSight(camera);
    }
    camera.step = NORMAL_STEP;
}

void mouseModeWalk()
{
    Camera& camera = *theCamera;
    flyForwardBack(camera);
    if (held(VK_LEFT))
        stepSideways(camera, camera.yaw + QUARTER_TURN);
    if (held(VK_RIGHT))
        stepSideways(camera, camera.yaw - QUARTER_TURN);
    camera.step = NORMAL_STEP;
}

void beginMouseLook()
{
    updatePointerTrack(startPointerTrack);
}

void pointerEntered()
{
    updatePointerTrack(enterPointerTrack);
}

void pointerLeft()
{
    updatePointerTrack(leavePointerTrack);
}

void mouseLook(int x, int y)
{
    Camera& camera = *theCamera;
    const WindowSize window = windowSize();
    // The camera's home (640, 360), where the window has room for it.
    const Pixel preferred = {static_cast<int>(camera.lastMouseX), static_cast<int>(camera.lastMouseY)};
    const Pixel home = pointerHome(preferred, window);
    const MotionPlan plan = trackMotion(pointerTrack, pointerMotion(x, y), home, window);
    if (plan.turn)
        turnAndTilt(camera, *plan.turn);
    if (plan.warpTo)
        warpPointer(*plan.warpTo);
    aimAlongSight(camera);
}
