// Wireframe and vertex rendering from the real menu, as the entries' table
// says, in two orders. Vertex first gives points; wireframe (its flag off)
// lines; vertex (its flag on) filled; wireframe (on) filled; wireframe (off)
// lines; wireframe (on) filled: both flags off again, as at the start. Then
// wireframe gives lines; vertex then gives points; wireframe again gives
// filled polygons (its flag was on); vertex again leaves them filled (its
// flag was on), and vertex once more gives points.
#include "tests/scenarios/screen_checks.h"

#include <gtest/gtest.h>

namespace {

struct Step {
    MenuChoice entry;
    Rendering shows;
    const char* name;
};

const Step STEPS[] = {
    {MenuChoice::Vertex, Rendering::Points, "a1-vertex"},
    {MenuChoice::Wireframe, Rendering::Lines, "a2-wireframe"},
    {MenuChoice::Vertex, Rendering::Filled, "a3-vertex-again"},
    {MenuChoice::Wireframe, Rendering::Filled, "a4-wireframe-again"},
    {MenuChoice::Wireframe, Rendering::Lines, "a5-wireframe-third"},
    {MenuChoice::Wireframe, Rendering::Filled, "a6-wireframe-fourth"},
    {MenuChoice::Wireframe, Rendering::Lines, "b1-wireframe"},
    {MenuChoice::Vertex, Rendering::Points, "b2-vertex"},
    {MenuChoice::Wireframe, Rendering::Filled, "b3-wireframe-again"},
    {MenuChoice::Vertex, Rendering::Filled, "b4-vertex-again"},
    // Only if the step before really turned the vertex flag off:
    {MenuChoice::Vertex, Rendering::Points, "b5-vertex-once-more"},
};

} // namespace

TEST(RenderScenarioTest, WireframeAndVertexInTwoOrders)
{
    ProgramSession session;
    ASSERT_TRUE(session.ready()) << session.startupProblem();
    Capture shot;
    ASSERT_TRUE(waitForRendering(session, Rendering::Filled, shot))
        << "start: " << renderingName(renderingOfGround(shot));
    session.keep(shot, "0-start");
    for (const Step& step : STEPS) {
        ASSERT_TRUE(session.choose(step.entry)) << step.name << ": the menu did not work";
        const bool shown = waitForRendering(session, step.shows, shot);
        session.keep(shot, step.name);
        EXPECT_TRUE(shown) << step.name << ": expected " << renderingName(step.shows)
                           << ", the ground shows " << renderingName(renderingOfGround(shot));
    }
}
