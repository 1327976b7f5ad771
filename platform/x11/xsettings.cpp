// The XSETTINGS property's layout, read without the X library: the bytes as
// the settings manager published them.
#include "platform/x11/xsettings.h"

#include <X11/X.h>

#include <cstring>

namespace {

// XSETTINGS: the byte order (0 least significant byte first, 1 most), three
// bytes unused, the serial, the count of settings; then each setting: its
// type, one byte unused, its name's length (16 bits), its name padded to 4
// bytes, the serial of its last change, and its value: an integer of 32 bits,
// a string's length (32 bits) and bytes padded to 4, or a colour.
constexpr std::size_t CARD16_BYTES = 2;
constexpr std::size_t CARD32_BYTES = 4;
constexpr std::size_t SETTINGS_HEADER_BYTES = 12;
constexpr std::size_t SETTINGS_COUNT_AT = 8;
constexpr std::size_t SETTING_HEAD_BYTES = 4;
constexpr std::size_t SETTING_NAME_LENGTH_AT = 2;
enum SettingType : unsigned char { SETTING_INTEGER = 0, SETTING_STRING = 1, SETTING_COLOR = 2 };
constexpr std::size_t COLOR_BYTES = 8;  // four 16-bit channels

std::size_t paddedTo4(std::size_t length)
{
    return (length + 3) & ~static_cast<std::size_t>(3);
}

// An unsigned number of `bytes` bytes at `at`, in the property's byte order.
std::uint32_t readNumber(const unsigned char* data, std::size_t at, std::size_t bytes, bool mostFirst)
{
    std::uint32_t number = 0;
    for (std::size_t index = 0; index < bytes; ++index)
        number = number << 8 | data[at + (mostFirst ? index : bytes - 1 - index)];
    return number;
}

} // namespace

bool xsettingsInteger(const unsigned char* data, std::size_t size, const char* name, std::int32_t& value)
{
    if (size < SETTINGS_HEADER_BYTES)
        return false;
    const bool mostFirst = data[0] == MSBFirst;
    const std::uint32_t count = readNumber(data, SETTINGS_COUNT_AT, CARD32_BYTES, mostFirst);
    const std::size_t nameLength = std::strlen(name);
    std::size_t at = SETTINGS_HEADER_BYTES;
    // Every step is checked against what is left, so `at` never passes `size`.
    for (std::uint32_t setting = 0; setting < count; ++setting) {
        if (size - at < SETTING_HEAD_BYTES)
            return false;
        const unsigned type = data[at];
        const std::size_t length = readNumber(data, at + SETTING_NAME_LENGTH_AT, CARD16_BYTES, mostFirst);
        at += SETTING_HEAD_BYTES;
        if (size - at < paddedTo4(length) + CARD32_BYTES)
            return false;
        const bool named = length == nameLength && std::memcmp(data + at, name, length) == 0;
        at += paddedTo4(length) + CARD32_BYTES;
        std::size_t valueBytes = 0;
        if (type == SETTING_INTEGER) {
            valueBytes = CARD32_BYTES;
        } else if (type == SETTING_COLOR) {
            valueBytes = COLOR_BYTES;
        } else if (type == SETTING_STRING && size - at >= CARD32_BYTES) {
            const std::uint32_t textLength = readNumber(data, at, CARD32_BYTES, mostFirst);
            if (textLength > size)
                return false;
            valueBytes = CARD32_BYTES + paddedTo4(textLength);
        } else {
            return false;
        }
        if (size - at < valueBytes)
            return false;
        if (named && type == SETTING_INTEGER) {
            value = static_cast<std::int32_t>(readNumber(data, at, CARD32_BYTES, mostFirst));
            return true;
        }
        at += valueBytes;
    }
    return false;
}
