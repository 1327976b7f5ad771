#include "tests/support/program.h"

#include <cerrno>
#include <cstdio>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <set>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int TERMINATE_WAIT_MS = 5000;  // after SIGTERM, before SIGKILL
// Every child renders with Mesa's software rasterizer, whatever the machine's GPU.
constexpr char SOFTWARE_GL[] = "LIBGL_ALWAYS_SOFTWARE=1";

// Process groups of children still running. Should the test process end
// without unwinding (the X library ends it through exit on a protocol error),
// they are killed on the way out rather than left behind. Never destroyed, so
// that objects destroyed at exit may still use it.
std::set<pid_t>& liveGroups()
{
    static auto* groups = new std::set<pid_t>;
    return *groups;
}

void killLiveGroups()
{
    for (const pid_t group : liveGroups())
        kill(-group, SIGKILL);
}

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

std::vector<std::string> programCommand(const std::vector<std::string>& arguments)
{
    std::vector<std::string> command = {programPath()};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return command;
}

// In the child: never returns.
[[noreturn]] void execChild(const std::vector<std::string>& command, const std::string& display,
                            const std::vector<std::string>& environment)
{
    // A test process that dies takes its children with it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    setpgid(0, 0);
    if (display.empty())
        unsetenv("DISPLAY");
    else
        setenv("DISPLAY", display.c_str(), 1);
    putenv(const_cast<char*>(SOFTWARE_GL));
    for (const std::string& entry : environment)
        putenv(const_cast<char*>(entry.c_str()));
    std::vector<char*> argv;
    for (const std::string& argument : command)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

} // namespace

std::string programPath()
{
    return QUORVALE_PROGRAM_PATH;
}

std::string findOnPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::stringstream directories(path == nullptr ? "" : path);
    std::string directory;
    while (std::getline(directories, directory, ':')) {
        const std::string candidate = directory + "/" + program;
        if (!directory.empty() && access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return "";
}

ProgramProcess::ProgramProcess(const std::string& display, const std::vector<std::string>& arguments,
                               const std::vector<std::string>& environment)
    : ProgramProcess(programCommand(arguments), display, environment)
{
}

ProgramProcess::ProgramProcess(const std::vector<std::string>& command, const std::string& display,
                               const std::vector<std::string>& environment)
{
    int outPipe[2];
    int errPipe[2];
    if (command.empty() || pipe(outPipe) != 0)
        return;
    if (pipe(errPipe) != 0) {
        close(outPipe[0]);
        close(outPipe[1]);
        return;
    }
    pid_ = fork();
    if (pid_ == 0) {
        dup2(outPipe[1], STDOUT_FILENO);
        dup2(errPipe[1], STDERR_FILENO);
        close(outPipe[0]);
        close(outPipe[1]);
        close(errPipe[0]);
        close(errPipe[1]);
        execChild(command, display, environment);
    }
    if (pid_ > 0) {
        // Both sides set the group, so it exists whichever runs first.
        setpgid(pid_, pid_);
        static const bool killAtExit = std::atexit(killLiveGroups) == 0;
        (void)killAtExit;
        liveGroups().insert(pid_);
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
        // The group may hold more than the child (the program under apitrace).
        kill(-pid_, SIGTERM);
        if (!waitForExit(TERMINATE_WAIT_MS))
            kill(-pid_, SIGKILL);
        int status = 0;
        while (!finished_ && waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
    }
    liveGroups().erase(pid_);
    if (outFd_ >= 0)
        close(outFd_);
    if (errFd_ >= 0)
        close(errFd_);
}

void ProgramProcess::keepUntilExit()
{
    liveGroups().erase(pid_);
    pid_ = -1;
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
        pauseFor(POLL_INTERVAL_MS);
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
    return pollUntil([&] {
        drain();
        return out_.find(text) != std::string::npos;
    }, timeoutMs);
}

bool pollUntil(const std::function<bool()>& condition, int timeoutMs, int intervalMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        pauseFor(intervalMs);
    }
    return true;
}

void pauseFor(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

CommandResult runCommand(const std::string& commandLine)
{
    CommandResult result{-1, ""};
    std::FILE* pipe = popen((commandLine + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return result;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, got);
    const int status = pclose(pipe);
    if (status != -1 && WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    return result;
}

std::string shellQuoted(const std::string& argument)
{
    std::string quoted = "'";
    for (const char c : argument)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
