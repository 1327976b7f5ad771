#include "tests/support/xvfb.h"

#include <chrono>

namespace {


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
    const auto began = std::chrono::steady_clock::now();
    if (!process_->started()) {
        problem_ = "Xvfb could not be started";
        return;
    }
    if (!process_->waitForOutput("\n", WAIT_MS)) {
        const long seconds = std::chrono::duration_cast<std::chrono::seconds>(
                                 std::chrono::steady_clock::now() - began).count();
        const bool stillRuns = process_->running();
        problem_ = "Xvfb " +
                   (stillRuns ? std::string("still runs")
                    : process_->termSignal() != 0 ? "was killed by signal " + std::to_string(process_->termSignal())
                                                  : "ended with status " + std::to_string(process_->exitStatus())) +
                   " after " + std::to_string(seconds) + " s without naming its display; stderr: " +
                   process_->standardError();
        return;
    }
    const std::string& out = process_->standardOutput();
    display_ = ":" + out.substr(0, out.find('\n'));
}
