#include "weather/textconversion.h"

#include <algorithm>
#include <cwctype>

std::wstring CharToWString(const char* text)
{
    return text ? CharToWString(std::string_view(text)) : std::wstring();
}

std::wstring CharToWString(std::string_view text)
{
    std::wstring result;
    result.reserve(text.size());
    for (const char c : text)
        result.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return result;
}

std::string WStringToChar(std::wstring_view text)
{
    std::string result;
    result.reserve(text.size());
    for (const wchar_t c : text)
        result.push_back((c >= 0 && c <= 0xFF) ? static_cast<char>(static_cast<unsigned char>(c)) : '?');
    return result;
}

bool WCharToChar(const wchar_t* text, char* buffer, std::size_t bufferSize)
{
    if (!buffer || bufferSize == 0)
        return false;
    std::size_t written = 0;
    if (text) {
        for (; text[written] != L'\0'; ++written) {
            if (written + 1 >= bufferSize) {
                buffer[written] = '\0';
                return false;
            }
            const wchar_t c = text[written];
            buffer[written] = (c >= 0 && c <= 0xFF) ? static_cast<char>(static_cast<unsigned char>(c)) : '?';
        }
    }
    buffer[written] = '\0';
    return true;
}

namespace {

// The pieces a stream's getline would give, found without copying the text into a stream first.
template<typename String>
void Split(const String& text, typename String::value_type delimiter, std::vector<String>& pieces)
{
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find(delimiter, start), text.size());
        pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

} // namespace

void SplitWString(const std::wstring& text, wchar_t delimiter, std::vector<std::wstring>& pieces)
{
    Split(text, delimiter, pieces);
}

void SplitString(const std::string& text, char delimiter, std::vector<std::string>& pieces)
{
    Split(text, delimiter, pieces);
}

bool IsBlank(wchar_t c)
{
    if (c < 128)
        return c == L' ' || (c >= L'\t' && c <= L'\r');
    return std::iswspace(static_cast<std::wint_t>(c)) != 0;
}

bool IsNoReport(const std::wstring& piece)
{
    return piece.find_first_not_of(L" \t\r") == std::wstring::npos || piece.front() == L'[';
}
