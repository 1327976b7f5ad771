// Reading the settings that an X11 settings manager publishes (internal to
// platform/).
#pragma once

#include <cstddef>
#include <cstdint>

// The integer setting `name` (such as "Xft/DPI") in the bytes of an XSETTINGS
// property; false where the bytes hold no integer of that name or end short.
bool xsettingsInteger(const unsigned char* data, std::size_t size, const char* name, std::int32_t& value);
