#include "tests/scenarios/in_process_fixture.h"

#include "tests/support/xvfb.h"

#include <cstdlib>
#include <memory>

namespace {

constexpr char WINDOW_TITLE[] = "Quorvale 1";
constexpr int WINDOW_WAIT_MS = 30000;

std::unique_ptr<XvfbServer> server;
std::unique_ptr<XDriver> xdriver;
WindowId window = 0;

} // namespace

void PrivateDisplayProgramTest::SetUpTestSuite()
{
    if (server == nullptr) {
        // Every suite of this executable starts here, so the program, which
        // starts once per process, always comes up on this server.
        server = std::make_unique<XvfbServer>();
        ASSERT_TRUE(server->running());
        setenv("DISPLAY", server->display().c_str(), 1);
        startProgramInProcess();
        xdriver = std::make_unique<XDriver>(server->display());
        ASSERT_TRUE(xdriver->connected());
        window = xdriver->findWindow(WINDOW_TITLE, WINDOW_WAIT_MS);
    }
    ASSERT_NE(window, 0u);
}

XDriver& PrivateDisplayProgramTest::driver()
{
    return *xdriver;
}

WindowId PrivateDisplayProgramTest::programWindow()
{
    return window;
}
