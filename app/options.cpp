// Command-line options: help, version, and what is left for the toolkit.
#include "app/options.h"

#include "app/app.h"
#include "app/version.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr char PROGRAM_NAME[] = "quorvale";

// Options the toolkit reads in glutInit; the program passes them on untouched.
struct ToolkitOption {
    const char* name;
    bool takesValue;  // the next argument is its value
};
constexpr ToolkitOption toolkitOptions[] = {
    {"-display", true}, {"-geometry", true}, {"-iconic", false}, {"-direct", false},
    {"-indirect", false}, {"-gldebug", false}, {"-sync", false},
};

constexpr char USAGE[] =
    "Usage: quorvale [OPTION]...\n"
    "A lit 3-D scene with a tank to drive and a free or chase camera.\n"
    "\n"
    "Options:\n"
    "  --help               show this help and exit\n"
    "  --version            show the version and exit\n"
    "  -display DISPLAY     the X display to open (default: $DISPLAY)\n"
    "  -geometry +X+Y       the window's place on the screen\n"
    "  -iconic              start with the window iconified\n"
    "  -direct, -indirect   ask for direct or indirect rendering\n"
    "  -gldebug             report OpenGL errors after every frame\n"
    "  -sync                make X calls synchronous (for debugging)\n"
    "\n"
    "Controls (keys act for as long as they are held):\n"
    "  W / S          drive the tank forward / back\n"
    "  A / D          turn the tank left / right\n"
    "  Q / E          turn the turret left / right\n"
    "  R / F          raise / lower the barrel\n"
    "  Up / Down      free camera: fly forward / back\n"
    "  Left / Right   keyboard camera: turn; mouse camera: step sideways\n"
    "  Home / End     keyboard camera: tilt up / down\n"
    "  right Shift    free camera moves faster\n"
    "  Escape         quit\n"
    "\n"
    "Menu (right mouse button):\n";

constexpr char WINDOW_SIZE_NOTE[] =
    "\n"
    "The window opens at 1280x720 on a desktop at 100 % scale (96 DPI) and at the\n"
    "same size to the eye at other scales: 1920x1080 at 150 %, 2560x1440 at 200 %.\n"
    "On X11 the scale is the settings manager's Xft/DPI, else the Xft.dpi resource\n"
    "(as GTK and Qt programs read it), else 96 DPI; on Windows, the monitor's.\n";

const ToolkitOption* findToolkitOption(const char* argument)
{
    for (const ToolkitOption& option : toolkitOptions)
        if (std::strcmp(option.name, argument) == 0)
            return &option;
    return nullptr;
}

void printUsage(std::FILE* out)
{
    std::fputs(USAGE, out);
    for (const MenuItem& item : menuItems)
        std::fprintf(out, "  %-26s %s\n", item.label, item.action);
    std::fputs(WINDOW_SIZE_NOTE, out);
}

StartDecision refuse(std::FILE* err, const char* what, const char* argument)
{
    std::fprintf(err, "%s: %s '%s' (try '%s --help')\n", PROGRAM_NAME, what, argument, PROGRAM_NAME);
    std::fflush(err);
    return {false, EXIT_USAGE};
}

} // namespace

StartDecision readOptions(int argc, const char* const* argv, std::FILE* out, std::FILE* err)
{
    for (int index = 1; index < argc; ++index) {
        const char* argument = argv[index];
        if (std::strcmp(argument, "--help") == 0) {
            printUsage(out);
            std::fflush(out);
            return {false, EXIT_SUCCESS};
        }
        if (std::strcmp(argument, "--version") == 0) {
            std::fprintf(out, "Quorvale %s\n", QUORVALE_VERSION);
            std::fflush(out);
            return {false, EXIT_SUCCESS};
        }
        const ToolkitOption* option = findToolkitOption(argument);
        if (option == nullptr)
            return refuse(err, argument[0] == '-' ? "unknown option" : "unexpected argument", argument);
        if (option->takesValue) {
            if (index + 1 >= argc)
                return refuse(err, "missing value after", argument);
            ++index;
        }
    }
    return {true, EXIT_SUCCESS};
}

const char* displayOption(int argc, const char* const* argv)
{
    for (int index = 1; index < argc; ++index) {
        const ToolkitOption* option = findToolkitOption(argv[index]);
        if (option == nullptr || !option->takesValue || index + 1 >= argc)
            continue;
        if (std::strcmp(option->name, "-display") == 0)
            return argv[index + 1];
        ++index;
    }
    return nullptr;
}
