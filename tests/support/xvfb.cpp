#include "tests/support/xvfb.h"

#include "platform/xdriver.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int STARTUP_TIMEOUT_MS = 20000;

} // namespace

XvfbServer::XvfbServer(int width, int height)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return;
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const std::string fd = std::to_string(pipeFds[1]);
    pid_ = fork();
    if (pid_ == 0) {
        close(pipeFds[0]);
        setpgid(0, 0);
        // -displayfd makes the server pick a free display and write its number.
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
               "-nolisten", "tcp", "-noreset", "+extension", "GLX", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    if (pid_ < 0) {
        close(pipeFds[0]);
        return;
    }
    std::string number;
    pollfd entry = {pipeFds[0], POLLIN, 0};
    while (poll(&entry, 1, STARTUP_TIMEOUT_MS) > 0) {
        char c = 0;
        const ssize_t got = read(pipeFds[0], &c, 1);
        if (got <= 0 || c == '\n')
            break;
        number += c;
    }
    close(pipeFds[0]);
    if (!number.empty())
        display_ = ":" + number;
}

XvfbServer::~XvfbServer()
{
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
}

bool displayUsable()
{
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0')
        return false;
    XDriver probe(name);
    return probe.connected();
}
