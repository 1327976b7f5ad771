#include "tests/support/xvfb.h"

#include "platform/xdriver.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

constexpr int STARTUP_TIMEOUT_MS = 20000;

} // namespace

XvfbServer::XvfbServer(int width, int height) : XvfbServer(width, height, {}) {}

XvfbServer::XvfbServer(int width, int height, const std::vector<std::string>& extraArguments)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return;
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const std::string fd = std::to_string(pipeFds[1]);
    // -displayfd makes the server pick a free display and write its number.
    std::vector<std::string> arguments = {"Xvfb", "-displayfd", fd, "-screen", "0", screen,
                                          "-nolisten", "tcp", "-noreset", "+extension", "GLX"};
    arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        close(pipeFds[0]);
        // A test process that dies takes its server with it.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        setpgid(0, 0);
        execvp("Xvfb", argv.data());
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
