#include "tests/windows/wine_program.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int POLL_MS = 20;
// Wine's helper processes start within seconds; bounded all the same.
constexpr int WINE_COMMAND_TIMEOUT_S = 120;

using Clock = std::chrono::steady_clock;

void readAvailable(int fd, std::string& into)
{
    if (fd < 0)
        return;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0)
            return;
        into.append(buffer, static_cast<std::size_t>(got));
    }
}

// Run a command with every output to /dev/null; true if it exited with 0.
bool runQuietly(const std::vector<std::string>& command)
{
    std::vector<std::string> bounded = {"timeout", std::to_string(WINE_COMMAND_TIMEOUT_S)};
    bounded.insert(bounded.end(), command.begin(), command.end());
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        std::vector<char*> argv;
        for (const std::string& word : bounded)
            argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

WineProgram::WineProgram(const std::string& exe)
{
    int outPipe[2];
    int errPipe[2];
    if (pipe(outPipe) != 0)
        return;
    if (pipe(errPipe) != 0) {
        close(outPipe[0]);
        close(outPipe[1]);
        return;
    }
    pid_ = fork();
    if (pid_ == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int null = open("/dev/null", O_RDONLY);
        dup2(null, STDIN_FILENO);
        dup2(outPipe[1], STDOUT_FILENO);
        dup2(errPipe[1], STDERR_FILENO);
        for (const int fd : {outPipe[0], outPipe[1], errPipe[0], errPipe[1], null})
            close(fd);
        execlp("wine", "wine", exe.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    outFd_ = outPipe[0];
    errFd_ = errPipe[0];
    fcntl(outFd_, F_SETFL, O_NONBLOCK);
    fcntl(errFd_, F_SETFL, O_NONBLOCK);
}

WineProgram::~WineProgram()
{
    if (pid_ > 0 && !finished_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (outFd_ >= 0)
        close(outFd_);
    if (errFd_ >= 0)
        close(errFd_);
}

bool WineProgram::running()
{
    if (pid_ <= 0 || finished_)
        return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        finished_ = true;
        exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return !finished_;
}

bool WineProgram::waitForExit(int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (running() && Clock::now() < deadline) {
        drain();
        std::this_thread::sleep_for(std::chrono::milliseconds(POLL_MS));
    }
    drain();
    return !running();
}

bool WineProgram::waitForOutput(const std::string& text, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        drain();
        if (out_.find(text) != std::string::npos)
            return true;
        if (Clock::now() >= deadline || !running())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(POLL_MS));
    }
}

const std::string& WineProgram::output()
{
    drain();
    return out_;
}

const std::string& WineProgram::errors()
{
    drain();
    return err_;
}

void WineProgram::drain()
{
    readAvailable(outFd_, out_);
    readAvailable(errFd_, err_);
}

bool restartWine()
{
    runQuietly({"wineserver", "-k"});
    runQuietly({"wineserver", "-w"});
    return runQuietly({"wineserver", "-p"}) && runQuietly({"wineboot"});
}
