// `cmake --install` into a fresh prefix: the layout a desktop expects, each
// file accepted by its validator, and the installed program runs.

#include "tests/support/program.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

constexpr int MIN_ICON_SIZE = 256;  // pixels

// Width and height of a PNG file from its header; 0 x 0 if it is not one.
void pngSize(const fs::path& path, unsigned& width, unsigned& height)
{
    width = height = 0;
    std::ifstream file(path, std::ios::binary);
    unsigned char header[24] = {};
    if (!file.read(reinterpret_cast<char*>(header), sizeof header))
        return;
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (!std::equal(signature, signature + 8, header))
        return;
    // IHDR's width and height, big-endian, right after the chunk's length and name.
    width = (header[16] << 24) | (header[17] << 16) | (header[18] << 8) | header[19];
    height = (header[20] << 24) | (header[21] << 16) | (header[22] << 8) | header[23];
}

class TemporaryPrefix {
public:
    TemporaryPrefix()
    {
        char name[] = "/tmp/quorvale-install-XXXXXX";
        if (mkdtemp(name) != nullptr)
            path_ = name;
    }
    ~TemporaryPrefix()
    {
        if (!path_.empty())
            fs::remove_all(path_);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

} // namespace

TEST(Install, PrefixHoldsTheProgramItsDesktopEntryIconMetadataAndManualPage)
{
    TemporaryPrefix prefix;
    ASSERT_FALSE(prefix.path().empty());
    const std::string root = prefix.path().string();
    const CommandResult install =
        runCommand("cmake --install " + shellQuoted(QUORVALE_BUILD_DIR) + " --prefix " + shellQuoted(root));
    ASSERT_EQ(install.status, 0) << install.output;

    const fs::path program = prefix.path() / "bin/quorvale";
    const fs::path desktop = prefix.path() / "share/applications/quorvale.desktop";
    const fs::path icon = prefix.path() / "share/icons/hicolor/256x256/apps/quorvale.png";
    const fs::path manual = prefix.path() / "share/man/man6/quorvale.6.gz";
    ASSERT_TRUE(fs::is_regular_file(program));
    EXPECT_EQ(access(program.c_str(), X_OK), 0);
    ASSERT_TRUE(fs::is_regular_file(desktop));
    ASSERT_TRUE(fs::is_regular_file(manual));
    EXPECT_TRUE(fs::is_regular_file(prefix.path() / "share/doc/quorvale/copyright"));

    unsigned width = 0;
    unsigned height = 0;
    pngSize(icon, width, height);
    EXPECT_EQ(width, height);
    EXPECT_GE(width, static_cast<unsigned>(MIN_ICON_SIZE));
    EXPECT_EQ(width, 256u) << "the icon sits in the 256x256 folder";

    fs::path metainfo;
    for (const fs::directory_entry& entry : fs::directory_iterator(prefix.path() / "share/metainfo"))
        metainfo = entry.path();
    ASSERT_FALSE(metainfo.empty());

    const CommandResult desktopCheck = runCommand("desktop-file-validate " + shellQuoted(desktop.string()));
    EXPECT_EQ(desktopCheck.status, 0) << desktopCheck.output;
    EXPECT_EQ(desktopCheck.output, "");
    const CommandResult metainfoCheck =
        runCommand("bash " QUORVALE_SOURCE_DIR "/scripts/validate-metainfo.sh " + shellQuoted(metainfo.string()));
    EXPECT_EQ(metainfoCheck.status, 0) << metainfoCheck.output;
    const CommandResult manualCheck =
        runCommand("gzip -dc " + shellQuoted(manual.string()) + " | groff -ww -man -z");
    EXPECT_EQ(manualCheck.status, 0);
    EXPECT_EQ(manualCheck.output, "") << "groff warns";

    // The manual page lists the options, the controls and every menu entry.
    const CommandResult manualText = runCommand("gzip -dc " + shellQuoted(manual.string()));
    for (const char* entry : {"\\-\\-help", "\\-\\-version", "Escape", "Home", "right Shift",
                              "Lock/Free Camera", "Mouse/Keyboard Camera", "Enable/Disable Wireframe",
                              "Enable/Disable Vertex", "Exit Application",
                              "Quorvale " QUORVALE_PROJECT_VERSION})
        EXPECT_NE(manualText.output.find(entry), std::string::npos) << "manual page lacks " << entry;

    const CommandResult version = runCommand(shellQuoted(program.string()) + " --version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.output, "Quorvale " QUORVALE_PROJECT_VERSION "\n");
}
