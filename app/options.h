// The program's own command-line options (--help, --version) and the refusal
// of any argument that neither the program nor the toolkit takes.
#pragma once

#include <cstdio>

// Exit status for a command line the program does not understand.
constexpr int EXIT_USAGE = 2;

// What start-up does after reading the command line.
struct StartDecision {
    bool run;        // true: open the window and run; false: end now
    int exitStatus;  // the process's exit status when run is false
};

// Read argv[1] .. argv[argc - 1] before the toolkit sees them. --help prints
// the usage with the controls and the menu on `out` (exit 0), --version prints
// "Quorvale <version>" on `out` (exit 0), an argument the toolkit takes (with
// its value) is left for it; anything else prints one line on `err` (exit
// EXIT_USAGE). The first argument that ends the run decides. Needs no display.
StartDecision readOptions(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

// The display that -display names among argv[1] .. argv[argc - 1] (the
// toolkit's options, with their values, as readOptions passes them on); null
// where none is named.
const char* displayOption(int argc, const char* const* argv);
