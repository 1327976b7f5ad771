// The real program's GL calls as apitrace captured them: the parsed text of
// `apitrace dump`.
#pragma once

#include <map>
#include <string>
#include <vector>

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
std::vector<TraceCall> readDump(const std::string& dump);
