#pragma once

// printf-style formatting into a wide string, for the report lines and messages the weather model writes.
// Wide-string arguments take "%ls". The "C" number locale is in force, so decimals always use ".".

#include <string>

namespace aviation::weather {

// The formatted text, cut to 255 characters; empty when the format cannot be applied.
std::wstring FormatWide(const wchar_t* format, ...);

} // namespace aviation::weather
