// Run a shell command line and keep what it printed (standard output and
// standard error together), for the install and package tests.
#pragma once

#include <string>

struct CommandResult {
    int status;          // exit status; -1 if it did not exit normally
    std::string output;  // standard output and standard error
};

CommandResult runCommand(const std::string& commandLine);

// The argument quoted for the shell.
std::string shellQuoted(const std::string& argument);
