// The real quorvale binary run as a child process on a given X display.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class ProgramProcess {
public:
    // Start the program with DISPLAY set; extra arguments go on its command line.
    ProgramProcess(const std::string& display, const std::vector<std::string>& arguments = {},
                   const std::vector<std::string>& environment = {});
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }

    // Wait up to timeoutMs for the process to end; true if it did.
    bool waitForExit(int timeoutMs);
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

// Path of the program under test (set by the build).
std::string programPath();
