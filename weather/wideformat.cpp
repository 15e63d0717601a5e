#include "weather/wideformat.h"

#include <cstdarg>
#include <cwchar>

namespace aviation::weather {

std::wstring FormatWide(const wchar_t* format, ...)
{
    wchar_t buffer[256];
    va_list args;
    va_start(args, format);
    const int written = std::vswprintf(buffer, sizeof(buffer) / sizeof(buffer[0]), format, args);
    va_end(args);
    return written < 0 ? std::wstring() : std::wstring(buffer, static_cast<std::size_t>(written));
}

} // namespace aviation::weather
