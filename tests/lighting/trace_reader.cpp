#include "tests/lighting/trace_reader.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

namespace {

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

std::vector<TraceCall> readDump(const std::string& dump)
{
    std::vector<TraceCall> calls;
    std::istringstream in(dump);
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
