// Free-camera controls on theCamera: keyboard flying, mouse-mode walking and
// mouse look. Key-driven amounts are per tick, mouse-driven ones per pixel.
#pragma once

// One tick of keyboard camera mode: Up/Down fly along the line of sight, Left/
// Right turn 0.04 rad, Home/End tilt 0.04 rad, right Shift speeds this tick up.
void keyboardFly();

// One tick of mouse camera mode: Up/Down walk along the line of sight, Left/
// Right step sideways at right angles to the yaw; right Shift speeds it up.
void mouseModeWalk();

// Turn and tilt by the pointer's motion, 0.004 rad per pixel, and send the
// pointer back home. The home is (640, 360), or the window's centre in a
// window that does not hold (640, 360) well inside its edges. x and y are
// window pixels, y down. The first motion after an entry measures from where the pointer came in;
// then each motion measures from home once the pointer was seen to get there,
// and where sending it home does not hold (an absolute pointing device, or a
// compositor that refuses), from the motion before.
void mouseLook(int x, int y);

// Mouse look starts afresh from where the pointer is now, forgetting all it
// learnt (the mouse camera was switched on).
void beginMouseLook();

// The pointer came into the window: mouse look starts afresh from there.
void pointerEntered();

// The pointer left the window: mouse look forgets where it was.
void pointerLeft();
