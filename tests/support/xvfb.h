// A private X server (Xvfb) for one test process, so tests that send real input
// never disturb each other.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class XvfbServer {
public:
    // Start Xvfb with one screen of the given size; waits until it accepts clients.
    XvfbServer(int width = 1600, int height = 1000);
    // The same with further Xvfb options, e.g. {"-ardelay", "150"}.
    XvfbServer(int width, int height, const std::vector<std::string>& extraArguments);
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool running() const { return pid_ > 0 && !display_.empty(); }
    // ":N", for DISPLAY.
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

// True if DISPLAY names a server that accepts a connection.
bool displayUsable();
