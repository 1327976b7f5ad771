// A private X server (Xvfb) for one test process, so tests that send real input
// never disturb each other nor the user's display.
#pragma once

#include "tests/support/program.h"

#include <memory>
#include <string>
#include <vector>

class XvfbServer {
public:
    // Start Xvfb with one screen of the given size; waits until it accepts clients.
    XvfbServer(int width = 1600, int height = 1000);
    // The same with further Xvfb options, e.g. {"-ardelay", "150"}.
    XvfbServer(int width, int height, const std::vector<std::string>& extraArguments);

    bool running() const { return !display_.empty(); }
    // Leave the server running until this process has ended.
    void keepUntilExit() { process_->keepUntilExit(); }
    // ":N", for DISPLAY.
    const std::string& display() const { return display_; }
    // Why the server is not running: how it ended, or that it never answered.
    const std::string& problem() const { return problem_; }

private:
    std::unique_ptr<ProgramProcess> process_;
    std::string display_;
    std::string problem_;
};
