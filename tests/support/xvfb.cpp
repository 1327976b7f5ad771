#include "tests/support/xvfb.h"

namespace {

constexpr int STARTUP_TIMEOUT_MS = 20000;

} // namespace

XvfbServer::XvfbServer(int width, int height) : XvfbServer(width, height, {}) {}

XvfbServer::XvfbServer(int width, int height, const std::vector<std::string>& extraArguments)
{
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    // -displayfd makes the server pick a free display and write its number,
    // here to its standard output, once it accepts clients. -noreset keeps it
    // from resetting whenever its last client leaves.
    std::vector<std::string> command = {"Xvfb", "-displayfd", "1", "-screen", "0", screen,
                                        "-nolisten", "tcp", "-noreset", "+extension", "GLX"};
    command.insert(command.end(), extraArguments.begin(), extraArguments.end());
    process_ = std::make_unique<ProgramProcess>(command, "", std::vector<std::string>{});
    if (!process_->started() || !process_->waitForOutput("\n", STARTUP_TIMEOUT_MS))
        return;
    const std::string& out = process_->standardOutput();
    display_ = ":" + out.substr(0, out.find('\n'));
}
