// The Debian package built from this build: it passes its checks (files,
// validators, runtime dependencies), and the program it installs starts on a
// display and prints the banner. The program run here is the unpacked
// package's.
#include "tests/support/program.h"
#include "tests/support/xvfb.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr char BANNER[] = "C++ and OpenGL Quorvale 1\n"
                          "Ferrowold version " QUORVALE_PROJECT_VERSION "\n"
                          "Tamsrel aka Quennick\n"
                          "------\n";

} // namespace

TEST(Package, PassesItsChecksAndItsProgramPrintsTheBanner)
{
    const fs::path work = QUORVALE_PACKAGE_WORK_DIR;
    const fs::path packages = work / "cpack";
    const fs::path unpacked = work / "unpacked";
    fs::remove_all(packages);
    fs::remove_all(unpacked);
    const CommandResult pack = runCommand("cd " + shellQuoted(QUORVALE_BUILD_DIR) + " && cpack -G DEB -B " +
                                          shellQuoted(packages.string()));
    ASSERT_EQ(pack.status, 0) << pack.output;
    // Named for this machine's architecture, whichever it is.
    fs::path deb;
    for (const fs::directory_entry& entry : fs::directory_iterator(packages))
        if (entry.path().filename().string().rfind("quorvale_" QUORVALE_PROJECT_VERSION "_", 0) == 0 &&
            entry.path().extension() == ".deb")
            deb = entry.path();
    ASSERT_TRUE(fs::is_regular_file(deb)) << pack.output;

    const CommandResult check =
        runCommand("bash " + shellQuoted(QUORVALE_SOURCE_DIR "/scripts/check-package.sh") + " " +
                   shellQuoted(deb.string()));
    EXPECT_EQ(check.status, 0) << check.output;

    const CommandResult unpack =
        runCommand("dpkg-deb -x " + shellQuoted(deb.string()) + " " + shellQuoted(unpacked.string()));
    ASSERT_EQ(unpack.status, 0) << unpack.output;
    const std::string installed = (unpacked / "usr/bin/quorvale").string();

    XvfbServer server;
    ASSERT_TRUE(server.running());
    ProgramProcess program({installed, "-geometry", "+0+0"}, server.display(), {});
    ASSERT_TRUE(program.waitForOutput("------\n", WAIT_MS)) << program.standardError();
    EXPECT_EQ(program.standardOutput(), BANNER);
    EXPECT_FALSE(program.exited());
}
