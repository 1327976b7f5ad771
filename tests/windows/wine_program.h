// The Windows build of the program run under Wine as a child process, on the
// X display and Wine prefix of the environment this process was given.
#pragma once

#include <string>
#include <sys/types.h>

class WineProgram {
public:
    // Start `wine <exe>` with its standard output and error read through pipes.
    explicit WineProgram(const std::string& exe);
    // A program still running when the test is over is killed.
    ~WineProgram();
    WineProgram(const WineProgram&) = delete;
    WineProgram& operator=(const WineProgram&) = delete;

    bool started() const { return pid_ > 0; }
    bool running();

    // Wait up to timeoutMs for the process to end; true if it did.
    bool waitForExit(int timeoutMs);
    // Exit status if it exited, -1 otherwise.
    int exitStatus() const { return exitStatus_; }

    // Wait until standard output holds the text, up to timeoutMs.
    bool waitForOutput(const std::string& text, int timeoutMs);
    // Everything read from standard output and standard error so far.
    const std::string& output();
    const std::string& errors();

private:
    void drain();
    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    bool finished_ = false;
    int exitStatus_ = -1;
    std::string out_;
    std::string err_;
};

// Stop the Wine server and every Wine process, then start a fresh persistent
// server with Wine's helper processes (their output to /dev/null). Wine's
// server keeps the key state of its desktop, so a program that ended on a key
// press would leave that key held for the next one. True on success.
bool restartWine();
