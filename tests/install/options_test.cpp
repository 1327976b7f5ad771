// The program's own options, run as a user runs them: --help and --version
// without any display, anything else refused, the toolkit's options passed on,
// and the window named for the desktop as the desktop entry expects.
#include "tests/support/xdriver.h"
#include "tests/support/program.h"
#include "tests/support/xvfb.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr char TITLE[] = "Quorvale 1";
constexpr char BANNER_END[] = "------\n";
constexpr int EXIT_USAGE = 2;
// Where a window manager's rule for the class "Quorvale" puts the window's
// frame, root pixels; far from where it would place the window by itself.
constexpr int RULE_X = 250;
constexpr int RULE_Y = 200;
// The frame's border and title bar: the window sits this much inside its frame.
constexpr int FRAME_MAX = 40;  // pixels

struct ProgramRun {
    bool exited;
    int status;
    std::string out;
    std::string err;
};

// The program with DISPLAY unset, to its end.
ProgramRun runWithoutDisplay(const std::vector<std::string>& arguments)
{
    ProgramProcess program("", arguments);
    const bool exited = program.waitForExit(WAIT_MS);
    return {exited, program.exitStatus(), program.standardOutput(), program.standardError()};
}

std::string joined(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const std::string& argument : arguments)
        line += "[" + argument + "]";
    return line;
}

// The value of one key of the desktop entry in the source tree.
std::string desktopEntryValue(const std::string& key)
{
    std::ifstream file(QUORVALE_SOURCE_DIR "/packaging/quorvale.desktop");
    std::string line;
    while (std::getline(file, line))
        if (line.rfind(key + "=", 0) == 0)
            return line.substr(key.size() + 1);
    return "";
}

} // namespace

TEST(Options, HelpAndVersionPrintOnStandardOutputWithoutADisplay)
{
    const ProgramRun version = runWithoutDisplay({"--version"});
    ASSERT_TRUE(version.exited);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "Quorvale " QUORVALE_PROJECT_VERSION "\n");
    EXPECT_EQ(version.err, "");

    const ProgramRun help = runWithoutDisplay({"--help"});
    ASSERT_TRUE(help.exited);
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(help.out.rfind("Usage: quorvale", 0), 0u) << help.out;
    for (const char* entry : {"--help", "--version", "-geometry", "W / S", "Q / E", "R / F", "Home / End",
                              "right Shift", "Escape", "Lock/Free Camera", "Mouse/Keyboard Camera",
                              "Enable/Disable Wireframe", "Enable/Disable Vertex", "Exit Application"})
        EXPECT_NE(help.out.find(entry), std::string::npos) << "--help does not mention " << entry;

    // The first argument that ends the run decides; toolkit options before it are passed over.
    const ProgramRun first = runWithoutDisplay({"-geometry", "+0+0", "-iconic", "--version", "--bogus"});
    ASSERT_TRUE(first.exited);
    EXPECT_EQ(first.status, 0);
    EXPECT_EQ(first.out, version.out);
    EXPECT_EQ(first.err, "");
}

TEST(Options, AnythingTheToolkitDoesNotTakeIsRefusedOnOneLine)
{
    const std::vector<std::vector<std::string>> commandLines = {
        {"--bogus"}, {"-h"}, {"-version"}, {"--help=all"}, {"scene.txt"}, {""},
        {"-display"}, {"-iconic", "-geometry"}, {"-geometry", "+0+0", "extra"}, {"-sync", "--"},
    };
    for (const std::vector<std::string>& arguments : commandLines) {
        const ProgramRun run = runWithoutDisplay(arguments);
        ASSERT_TRUE(run.exited) << joined(arguments);
        EXPECT_EQ(run.status, EXIT_USAGE) << joined(arguments);
        EXPECT_EQ(run.out, "") << joined(arguments);
        EXPECT_EQ(run.err.rfind("quorvale: ", 0), 0u) << joined(arguments) << ": " << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << joined(arguments) << ": " << run.err;
        EXPECT_NE(run.err.find("'" + arguments.back() + "'"), std::string::npos)
            << joined(arguments) << ": " << run.err;
    }
}

TEST(Options, ToolkitOptionsReachTheToolkitAndTheWindowIsNamedForTheDesktop)
{
    XvfbServer server;
    ASSERT_TRUE(server.running());
    ProgramProcess program(server.display(), {"-geometry", "+37+23", "-sync", "-gldebug"});
    ASSERT_TRUE(program.waitForOutput(BANNER_END, WAIT_MS)) << program.standardError();
    XDriver driver(server.display());
    const WindowId window = driver.findWindow(TITLE, WAIT_MS);
    ASSERT_NE(window, 0u);
    const WindowGeometry geometry = driver.geometry(window);
    EXPECT_EQ(geometry.x, 37);
    EXPECT_EQ(geometry.y, 23);
    // No scale set on the display: 100 %.
    EXPECT_EQ(geometry.width, 1280);
    EXPECT_EQ(geometry.height, 720);

    const std::string className = desktopEntryValue("StartupWMClass");
    EXPECT_EQ(className, "Quorvale");
    const CommandResult properties =
        runCommand("DISPLAY=" + server.display() + " xprop -notype -id " + std::to_string(window) +
                   " WM_CLASS _NET_WM_ICON");
    ASSERT_EQ(properties.status, 0) << properties.output;
    EXPECT_NE(properties.output.find("WM_CLASS = \"quorvale\", \"" + className + "\""), std::string::npos)
        << properties.output.substr(0, 200);
    EXPECT_NE(properties.output.find("Icon (48 x 48)"), std::string::npos) << properties.output.substr(0, 200);
    EXPECT_NE(properties.output.find("Icon (32 x 32)"), std::string::npos) << properties.output.substr(0, 200);

    // Each icon holds, pixel for pixel, the picture of its size in packaging/icons/ (R,G,B,A bytes).
    const CommandResult icon = runCommand("DISPLAY=" + server.display() + " xprop -notype -id " +
                                          std::to_string(window) + " -f _NET_WM_ICON 32c ' = $0+' _NET_WM_ICON");
    std::istringstream list(icon.output.substr(icon.output.find('=') + 1));
    std::vector<unsigned long> values;
    for (std::string item; std::getline(list, item, ',');)
        values.push_back(std::stoul(item));
    for (std::size_t at = 0; at + 2 <= values.size(); at += 2 + values[at] * values[at + 1]) {
        const std::string size = std::to_string(values[at]) + "x" + std::to_string(values[at + 1]);
        std::ifstream file(QUORVALE_SOURCE_DIR "/packaging/icons/quorvale-" + size + ".rgba", std::ios::binary);
        const std::vector<unsigned char> rgba{std::istreambuf_iterator<char>(file), {}};
        ASSERT_EQ(rgba.size(), 4 * values[at] * values[at + 1]) << size;
        ASSERT_LE(at + 2 + rgba.size() / 4, values.size()) << size;
        const unsigned long* shown = &values[at + 2];
        long differing = 0;
        for (std::size_t i = 0; i < rgba.size(); i += 4)
            differing += shown[i / 4] != ((0ul + rgba[i + 3]) << 24 | rgba[i] << 16 | rgba[i + 1] << 8 |
                                          rgba[i + 2]);
        EXPECT_EQ(differing, 0) << size;
    }
    EXPECT_FALSE(program.exited()) << program.standardError();
}

// A desktop at 200 % (Xft.dpi 192 in the server's resources, as xrdb loads
// them) gets a window of 2560x1440 on the display that -display names.
TEST(Options, TheWindowOpensAtTheDesktopsScale)
{
    XvfbServer server;
    ASSERT_TRUE(server.running());
    ASSERT_EQ(runCommand("DISPLAY=" + server.display() +
                         " xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER 'Xft.dpi: 192'").status, 0);
    ProgramProcess program("", {"-display", server.display()});
    ASSERT_TRUE(program.waitForOutput(BANNER_END, WAIT_MS)) << program.standardError();
    XDriver driver(server.display());
    const WindowId window = driver.findWindow(TITLE, WAIT_MS);
    ASSERT_NE(window, 0u);
    EXPECT_EQ(driver.geometry(window).width, 2560);
    EXPECT_EQ(driver.geometry(window).height, 1440);
}

// Window managers read WM_CLASS when they take a window on; a class set after
// that goes unseen. Openbox, with a rule that places windows of class
// Quorvale, must place the program's window by that rule.
TEST(Options, AWindowManagerKnowsTheWindowByItsClass)
{
    char directory[] = "/tmp/quorvale-openbox-XXXXXX";
    ASSERT_NE(mkdtemp(directory), nullptr);
    const std::string config = std::string(directory) + "/rc.xml";
    std::ofstream(config) << "<?xml version=\"1.0\"?>\n"
                             "<openbox_config xmlns=\"http://openbox.org/3.4/rc\"><applications>\n"
                             "<application class=\"Quorvale\" name=\"quorvale\"><position force=\"yes\">"
                             "<x>" << RULE_X << "</x><y>" << RULE_Y << "</y></position></application>\n"
                             "</applications></openbox_config>\n";
    XvfbServer server;
    ASSERT_TRUE(server.running());
    ProgramProcess openbox({"openbox", "--sm-disable", "--config-file", config}, server.display(), {});
    ASSERT_TRUE(openbox.started());
    XDriver driver(server.display());
    EXPECT_TRUE(pollUntil([&] { return driver.windowManagerAnswers(); }, WAIT_MS));

    ProgramProcess program(server.display());
    ASSERT_TRUE(program.waitForOutput(BANNER_END, WAIT_MS)) << program.standardError();
    const WindowId window = driver.findWindow(TITLE, WAIT_MS);
    ASSERT_NE(window, 0u);
    WindowGeometry geometry;
    const bool placed = pollUntil(
        [&] {
            geometry = driver.geometry(window);
            return geometry.x >= RULE_X && geometry.x <= RULE_X + FRAME_MAX && geometry.y >= RULE_Y &&
                   geometry.y <= RULE_Y + FRAME_MAX;
        },
        WAIT_MS);
    EXPECT_TRUE(placed) << "window at " << geometry.x << ", " << geometry.y;
    std::filesystem::remove_all(directory);
}
