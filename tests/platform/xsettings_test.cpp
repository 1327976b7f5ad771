// Settings as a settings manager publishes them (XSETTINGS): an integer found
// by its whole name past a string and a colour, in either byte order, and
// none in a property that ends short.
#include "platform/x11/xsettings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(Xsettings, AnIntegerIsFoundByItsWholeNameInEitherByteOrder)
{
    for (const bool mostFirst : {false, true}) {
        std::vector<unsigned char> bytes = {mostFirst, 0, 0, 0};
        const auto number = [&](std::uint32_t n, int size) {
            for (int i = 0; i < size; ++i)
                bytes.push_back(static_cast<unsigned char>(n >> 8 * (mostFirst ? size - 1 - i : i)));
        };
        // Type, name (padded to 4 bytes), the serial of its last change.
        const auto head = [&](unsigned char type, const std::string& name) {
            bytes.insert(bytes.end(), {type, 0});
            number(static_cast<std::uint32_t>(name.size()), 2);
            bytes.insert(bytes.end(), name.begin(), name.end());
            bytes.resize((bytes.size() + 3) / 4 * 4);
            number(7, 4);
        };
        number(1, 4);  // serial
        number(3, 4);  // settings
        head(1, "Net/ThemeName");
        number(7, 4);
        bytes.insert(bytes.end(), {'A', 'd', 'w', 'a', 'i', 't', 'a', 0});
        head(2, "Gtk/Color");
        number(0x12345678, 4);
        number(0x9abcdef0, 4);
        head(0, "Xft/DPI");
        number(144 * 1024, 4);
        std::int32_t value = 0;
        EXPECT_TRUE(xsettingsInteger(bytes.data(), bytes.size(), "Xft/DPI", value));
        EXPECT_EQ(value, 144 * 1024) << mostFirst;
        for (const char* other : {"Xft/DP", "Xft/DPIX", "Net/ThemeName", "Gtk/Color"})
            EXPECT_FALSE(xsettingsInteger(bytes.data(), bytes.size(), other, value)) << other;
        for (std::size_t size = 0; size < bytes.size(); ++size) {
            const std::vector<unsigned char> cut(bytes.begin(), bytes.begin() + static_cast<long>(size));
            EXPECT_FALSE(xsettingsInteger(cut.data(), cut.size(), "Xft/DPI", value)) << size;
        }
    }
}
