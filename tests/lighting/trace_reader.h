// Capturing the real program's GL calls with apitrace and reading them back:
// a bounded child process, and the parsed text of `apitrace dump`.
#pragma once

#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

// A child process in its own process group, its output sent to a file. The
// destructor kills the group if the child is still running.
class BoundedChild {
public:
    BoundedChild(const std::vector<std::string>& argv, const std::string& display,
                 const std::string& outputPath);
    ~BoundedChild();
    BoundedChild(const BoundedChild&) = delete;
    BoundedChild& operator=(const BoundedChild&) = delete;

    bool started() const { return pid_ > 0; }
    // Wait up to timeoutMs; true if the child ended (then exitStatus is set).
    bool waitForExit(int timeoutMs);
    // Exit status of a normal exit, -1 otherwise.
    int exitStatus() const { return exitStatus_; }

private:
    pid_t pid_ = -1;
    bool finished_ = false;
    int exitStatus_ = -1;
};

// Full path of a program found on PATH, or "" if there is none.
std::string findOnPath(const std::string& program);

// One call of a trace: its function name and its arguments by name, each as
// apitrace prints it ("GL_LIGHT0", "1.5", "{0, 6, 0, 1}").
struct TraceCall {
    long number = 0;
    std::string name;
    std::map<std::string, std::string> arguments;

    const std::string& argument(const std::string& key) const;
    double value(const std::string& key) const;
    std::vector<double> numbers(const std::string& key) const;
};

// Parse the text of `apitrace dump` (one call per line).
std::vector<TraceCall> readDump(const std::string& path);
