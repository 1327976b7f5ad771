#include "platform/web/key_names.h"

#include "platform/platform.h"

#include <cstring>

namespace {

// Named keys the program tracks, by the event's `key` (NumLock-off keypad
// keys give the same names).
struct NamedKey {
    const char* name;
    int virtualKey;
};
constexpr NamedKey namedKeys[] = {
    {"Escape", VK_ESCAPE}, {"ArrowLeft", VK_LEFT}, {"ArrowUp", VK_UP}, {"ArrowRight", VK_RIGHT},
    {"ArrowDown", VK_DOWN}, {"Home", VK_HOME},     {"End", VK_END},
};

// Keys that stand for no character of their own while a letter key is down:
// an input method composing (Chinese, Japanese, Korean) or a key the
// browser cannot name. The letter is then the key's place.
constexpr const char* placeOnlyKeys[] = {"Process", "Unidentified"};

// Lead byte of a UTF-8 sequence of more than one byte: a character beyond ASCII.
constexpr unsigned char UTF8_LEAD_MIN = 0xC2;
constexpr unsigned char UTF8_LEAD_MAX = 0xF4;
constexpr unsigned char UTF8_CONTINUATION_MASK = 0xC0;
constexpr unsigned char UTF8_CONTINUATION = 0x80;

// True if `key` is exactly one character beyond ASCII, as a letter of another
// script is ("ц", "ω"); named keys ("Dead", "Shift") are ASCII words.
bool isOneNonAsciiCharacter(const char* key)
{
    const auto lead = static_cast<unsigned char>(key[0]);
    if (lead < UTF8_LEAD_MIN || lead > UTF8_LEAD_MAX)
        return false;
    std::size_t i = 1;
    while ((static_cast<unsigned char>(key[i]) & UTF8_CONTINUATION_MASK) == UTF8_CONTINUATION)
        ++i;
    return key[i] == '\0';
}

// The letter 'A'..'Z' of a "KeyA".."KeyZ" place, else 0.
int letterAtPlace(const char* code)
{
    const bool isLetterPlace = std::strncmp(code, "Key", 3) == 0 && code[3] >= 'A' && code[3] <= 'Z' && code[4] == '\0';
    return isLetterPlace ? code[3] : 0;
}

} // namespace

int virtualKeyOfEvent(const char* key, const char* code)
{
    if (std::strcmp(code, "ShiftRight") == 0)
        return VK_RSHIFT;
    for (const NamedKey& named : namedKeys)
        if (std::strcmp(key, named.name) == 0)
            return named.virtualKey;
    if (key[0] != '\0' && key[1] == '\0') {
        if (key[0] >= 'a' && key[0] <= 'z')
            return key[0] - 'a' + 'A';
        if (key[0] >= 'A' && key[0] <= 'Z')
            return key[0];
        return 0;
    }
    for (const char* name : placeOnlyKeys)
        if (std::strcmp(key, name) == 0)
            return letterAtPlace(code);
    return isOneNonAsciiCharacter(key) ? letterAtPlace(code) : 0;
}
