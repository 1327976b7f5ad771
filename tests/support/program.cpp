#include "tests/support/program.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

constexpr int POLL_INTERVAL_MS = 10;

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

} // namespace

std::string programPath()
{
    return QUORVALE_PROGRAM_PATH;
}

ProgramProcess::ProgramProcess(const std::string& display, const std::vector<std::string>& arguments,
                               const std::vector<std::string>& environment)
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
    const std::string path = programPath();
    pid_ = fork();
    if (pid_ == 0) {
        // A test process that dies takes the program with it.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        dup2(outPipe[1], STDOUT_FILENO);
        dup2(errPipe[1], STDERR_FILENO);
        close(outPipe[0]);
        close(outPipe[1]);
        close(errPipe[0]);
        close(errPipe[1]);
        if (display.empty())
            unsetenv("DISPLAY");
        else
            setenv("DISPLAY", display.c_str(), 1);
        for (const std::string& entry : environment)
            putenv(const_cast<char*>(entry.c_str()));
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(path.c_str()));
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(path.c_str(), argv.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    outFd_ = outPipe[0];
    errFd_ = errPipe[0];
    fcntl(outFd_, F_SETFL, O_NONBLOCK);
    fcntl(errFd_, F_SETFL, O_NONBLOCK);
}

ProgramProcess::~ProgramProcess()
{
    if (pid_ > 0 && !finished_) {
        kill(pid_, SIGKILL);
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
    }
    if (outFd_ >= 0)
        close(outFd_);
    if (errFd_ >= 0)
        close(errFd_);
}

void ProgramProcess::drain()
{
    readAvailable(outFd_, out_);
    readAvailable(errFd_, err_);
}

bool ProgramProcess::waitForExit(int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!finished_ && pid_ > 0) {
        drain();
        int status = 0;
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            finished_ = true;
            exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            termSignal_ = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(POLL_INTERVAL_MS));
    }
    drain();
    return finished_;
}

const std::string& ProgramProcess::standardOutput()
{
    drain();
    return out_;
}

const std::string& ProgramProcess::standardError()
{
    drain();
    return err_;
}

bool ProgramProcess::waitForOutput(const std::string& text, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        drain();
        if (out_.find(text) != std::string::npos)
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(POLL_INTERVAL_MS));
    }
}
