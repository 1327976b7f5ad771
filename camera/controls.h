// Free-camera controls on theCamera: keyboard flying, mouse-mode walking and
// mouse look. Key-driven amounts are per tick, mouse-driven ones per pixel.
#pragma once

// One tick of keyboard camera mode: Up/Down fly along the line of sight, Left/
// Right turn 0.04 rad, Home/End tilt 0.04 rad, right Shift speeds this tick up.
void keyboardFly();

// One tick of mouse camera mode: Up/Down walk along the line of sight, Left/
// Right step sideways at right angles to the yaw; right Shift speeds it up.
void mouseModeWalk();

// Turn and tilt by the pointer's offset from its home (640, 360), 0.004 rad per
// pixel, and send the pointer back home. x and y are window pixels, y down.
void mouseLook(int x, int y);
