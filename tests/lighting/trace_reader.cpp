#include "tests/lighting/trace_reader.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int POLL_INTERVAL_MS = 20;

// Process groups of children still running. Should the test process end
// without unwinding (an X error ends it through exit), they are killed on the
// way out rather than left behind.
class LiveGroups {
public:
    ~LiveGroups()
    {
        for (const pid_t group : groups_)
            kill(-group, SIGKILL);
    }
    void add(pid_t group) { groups_.insert(group); }
    void remove(pid_t group) { groups_.erase(group); }

private:
    std::set<pid_t> groups_;
};
LiveGroups liveGroups;

std::string trim(const std::string& s)
{
    const auto first = s.find_first_not_of(' ');
    const auto last = s.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : s.substr(first, last - first + 1);
}

// The text between the call's parentheses, nesting of (), {} and [] and
// quoted strings respected; false if the parentheses never close.
bool argumentText(const std::string& line, std::size_t open, std::string& text)
{
    int depth = 0;
    bool quoted = false;
    for (std::size_t i = open; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            quoted = !(c == '"' && line[i - 1] != '\\');
            continue;
        }
        if (c == '"')
            quoted = true;
        else if (c == '(' || c == '{' || c == '[')
            ++depth;
        else if (c == ')' || c == '}' || c == ']')
            --depth;
        if (depth == 0) {
            text = line.substr(open + 1, i - open - 1);
            return true;
        }
    }
    return false;
}

// "a = 1, b = {2, 3}" split at the top-level commas into name/value pairs.
std::map<std::string, std::string> splitArguments(const std::string& text)
{
    std::map<std::string, std::string> result;
    int depth = 0;
    std::string part;
    auto flush = [&] {
        const auto equals = part.find(" = ");
        if (equals != std::string::npos)
            result[trim(part.substr(0, equals))] = trim(part.substr(equals + 3));
        part.clear();
    };
    for (const char c : text) {
        if (c == '(' || c == '{' || c == '[')
            ++depth;
        else if (c == ')' || c == '}' || c == ']')
            --depth;
        if (c == ',' && depth == 0)
            flush();
        else
            part += c;
    }
    flush();
    return result;
}

} // namespace

BoundedChild::BoundedChild(const std::vector<std::string>& argv, const std::string& display,
                           const std::string& outputPath)
{
    pid_ = fork();
    if (pid_ > 0) {
        // Both sides set the group, so it exists whichever runs first.
        setpgid(pid_, pid_);
        liveGroups.add(pid_);
    }
    if (pid_ != 0)
        return;
    setpgid(0, 0);
    const int out = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out >= 0) {
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
        close(out);
    }
    setenv("DISPLAY", display.c_str(), 1);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
}

BoundedChild::~BoundedChild()
{
    if (pid_ <= 0)
        return;
    // The group may hold more than the child (the traced program under apitrace).
    kill(-pid_, SIGKILL);
    liveGroups.remove(pid_);
    int status = 0;
    while (!finished_ && waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
}

bool BoundedChild::waitForExit(int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!finished_ && pid_ > 0) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            finished_ = true;
            exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(POLL_INTERVAL_MS));
    }
    return finished_;
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

const std::string& TraceCall::argument(const std::string& key) const
{
    static const std::string none;
    const auto found = arguments.find(key);
    return found == arguments.end() ? none : found->second;
}

double TraceCall::value(const std::string& key) const
{
    return std::strtod(argument(key).c_str(), nullptr);
}

std::vector<double> TraceCall::numbers(const std::string& key) const
{
    std::string text = argument(key);
    for (char& c : text)
        if (c == '{' || c == '}' || c == ',')
            c = ' ';
    std::stringstream in(text);
    std::vector<double> values;
    double v = 0;
    while (in >> v)
        values.push_back(v);
    return values;
}

std::vector<TraceCall> readDump(const std::string& path)
{
    std::vector<TraceCall> calls;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || !std::isdigit(static_cast<unsigned char>(line[0])))
            continue;
        const auto space = line.find(' ');
        const auto open = line.find('(', space);
        std::string text;
        if (space == std::string::npos || open == std::string::npos || !argumentText(line, open, text))
            continue;
        TraceCall call;
        call.number = std::strtol(line.c_str(), nullptr, 10);
        call.name = line.substr(space + 1, open - space - 1);
        call.arguments = splitArguments(text);
        calls.push_back(std::move(call));
    }
    return calls;
}
