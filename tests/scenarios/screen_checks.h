// What the screen of the running program must show, from geometry the tests
// work out themselves: the polygon mode as seen on the ground in front of the
// start view, the part of the screen the spinning torus may cover, and
// whether frames are still being drawn.
#pragma once

#include "tests/support/program_session.h"
#include "tests/support/scene_view.h"
#include "tests/support/tank_tracker.h"

#include <string>

enum class Rendering { Filled, Lines, Points, Unclear };

std::string renderingName(Rendering rendering);

// The polygon mode as the ground in front of the start view shows it: filled
// cells; only the cells' edges; or only their corners.
Rendering renderingOfGround(const Capture& shot);

// The screen rectangle that the torus (outer radius 1.75 round the origin)
// can cover under a view, whatever its angle, with a margin in pixels.
PixelRect torusScreenRect(const PerspectiveView& view, int margin);

// Pixels that differ between two captures outside a rectangle.
long changesOutside(const Capture& a, const Capture& b, const PixelRect& excluded);

// The program is still drawing frames: the torus, in sight under the view,
// turns between two captures (0.1 degree per frame).
bool framesStillDrawn(ProgramSession& session, const PerspectiveView& view);

// A grid or axis line passes within reach pixels of a point, looking along
// the row (for a line running up the screen) or along the column (for a line
// running across it).
enum class Search { AlongRow, AlongColumn };
bool lineNear(const Capture& shot, const ScreenPoint& pixel, int reach, Search search);

// The grid in front of the start view lies where the test puts it for the
// capture's size (so the projection has the window's aspect).
bool startViewGridInPlace(const Capture& shot, std::string& why);

// The chase view of a tank with heading 180 and turret angle 0 standing
// anywhere on the x axis: the same relative to the tank wherever it stands.
PerspectiveView tankFrameChaseView(const Capture& shot);

// The turret where the chase view puts it, with ground beside it.
bool chaseViewShowsTank(const Capture& shot, std::string& why);

// Wait until the screen shows the given polygon mode on the ground.
bool waitForRendering(ProgramSession& session, Rendering wanted, Capture& shot);

// With every key let go: the tank comes to rest while frames go on being
// drawn, and stays there. False (with the reason) otherwise.
bool tankStaysAtRest(ProgramSession& session, const TankTracker& tracker, std::string& why);

// The program is back to normal at its start size: the start view drawn for
// that size, the tank driving and stopping, Escape ending the process with
// status 0 (the session ends with it).
void expectFullyWorking(ProgramSession& session, const TankTracker& tracker);
