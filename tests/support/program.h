// Every process the tests start comes from here: the program under test, the
// private X servers and apitrace. Each runs in a process group of its own with
// Mesa's software renderer forced, and is ended with the test process.
#pragma once

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

class ProgramProcess {
public:
    // The program under test with DISPLAY set; extra arguments go on its
    // command line, extra NAME=value entries into its environment.
    ProgramProcess(const std::string& display, const std::vector<std::string>& arguments = {},
                   const std::vector<std::string>& environment = {});
    // Any command (command[0] looked up on PATH), started the same way; an
    // empty display leaves DISPLAY unset.
    ProgramProcess(const std::vector<std::string>& command, const std::string& display,
                   const std::vector<std::string>& environment);
    // Ends the whole process group if it is still running: SIGTERM, then
    // SIGKILL after a bounded wait.
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    // Leave the child running until this process has ended: the kernel then
    // ends it. For a server that the process's own X connections use to the
    // last (closing it first would fail them on the way out).
    void keepUntilExit();

    // Wait up to timeoutMs for the process to end; true if it did.
    bool waitForExit(int timeoutMs);
    bool running() { return started() && !waitForExit(0); }
    bool exited() const { return finished_; }
    // Exit status if it exited normally, -1 otherwise; the signal if one ended it, else 0.
    int exitStatus() const { return exitStatus_; }
    int termSignal() const { return termSignal_; }

    // Everything written to standard output and standard error so far (drained on call).
    const std::string& standardOutput();
    const std::string& standardError();

    // Wait until standard output holds the given text, up to timeoutMs.
    bool waitForOutput(const std::string& text, int timeoutMs);

private:
    void drain();
    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    bool finished_ = false;
    int exitStatus_ = -1;
    int termSignal_ = 0;
    std::string out_;
    std::string err_;
};

// The one bound on a wait for anything a program, a server or a desktop must
// do, milliseconds: generous, as a loaded machine is slow; met at once on an
// idle one.
constexpr int WAIT_MS = 30000;
// How long pollUntil waits between checks unless told, milliseconds.
constexpr int POLL_INTERVAL_MS = 20;

// Check the condition every intervalMs until it holds, up to timeoutMs; false
// on time-out. The first check comes at once, each further one after the
// interval: a condition that compares with the check before sees the interval
// pass between the two.
bool pollUntil(const std::function<bool()>& condition, int timeoutMs = WAIT_MS,
               int intervalMs = POLL_INTERVAL_MS);

// Let a span of milliseconds pass that is itself the measure (between two
// captures to be compared, or to let the toolkit see one motion before the
// next). Never to wait for a condition: that is pollUntil's.
void pauseFor(int milliseconds);

// A shell command line run to its end: its exit status (-1 if it did not exit
// normally) and what it printed on standard output and standard error.
struct CommandResult {
    int status;
    std::string output;
};
CommandResult runCommand(const std::string& commandLine);
// The argument quoted for the shell.
std::string shellQuoted(const std::string& argument);

// Path of the program under test (set by the build).
std::string programPath();
// Full path of a program found on PATH, or "" if there is none.
std::string findOnPath(const std::string& program);
