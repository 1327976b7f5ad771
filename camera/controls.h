// Free-camera controls on theCamera: keyboard flying, mouse-mode walking and
// mouse look. Key-driven amounts are per tick, mouse-driven ones per pixel.
#pragma once

// One tick of keyboard camera mode: Up/Down fly along the line of sight, Left/
// Right turn 0.04 rad, Home/End tilt 0.04 rad, right Shift speeds this tick up.
void keyboardFly();

// One tick of mouse camera mode: Up/Down walk along the line of sight, Left/
// Right step sideways at right angles to the yaw; right Shift speeds it up.
void mouseModeWalk();

// Turn and tilt by the pointer's motion to (x, y), window pixels, y down,
// 0.004 rad per pixel of the displacement the device made since the pointer
// was last sent home. Where the window system reports that displacement
// itself (the browser's Pointer Lock), the view turns by it. Otherwise the
// first motion after mouse look began or the pointer came in measures from
// where it came in and sends the pointer away once to learn whether sending
// it holds. Where it does (a mouse), each motion then measures from the one
// before, or from home when the pointer was sent back there in between (in
// the window system's order of events), and the pointer is sent home again;
// where it does not (an absolute pointing device, or a compositor that
// refuses), each motion measures from the one before and the pointer stays
// where it is. The home is (640, 360), or the window's centre in a window
// that does not hold (640, 360) well inside its edges.
void mouseLook(int x, int y);

// Mouse look starts afresh from where the pointer is now, forgetting all it
// learnt (the mouse camera was switched on).
void beginMouseLook();

// The pointer came into the window: mouse look starts afresh from there.
void pointerEntered();

// The pointer left the window: mouse look forgets where it was.
void pointerLeft();
