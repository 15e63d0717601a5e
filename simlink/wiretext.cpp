#include "simlink/wiretext.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::size_t SkipBlanks(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return i;
}

} // namespace

CWireText& CWireText::Text(std::string_view text)
{
    m_text.append(text);
    return *this;
}

CWireText& CWireText::Int(long long value)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof(digits), value);
    m_text.append(digits, result.ptr);
    return *this;
}

CWireText& CWireText::Fixed(double value, int decimals)
{
    // Room for the largest double in fixed notation (309 digits) with sign, point and decimals.
    char digits[400];
    const auto result = std::to_chars(digits, digits + sizeof(digits), value, std::chars_format::fixed, decimals);
    m_text.append(digits, result.ptr);
    return *this;
}

void CWireText::CommasToDots(std::string& text)
{
    std::replace(text.begin(), text.end(), ',', '.');
}

int CWireText::ReadInt(std::string_view text)
{
    std::size_t i = SkipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(value * 10 + (text[i] - '0'), limit);
    return static_cast<int>(negative ? -value : value);
}

double CWireText::ReadReal(std::string_view text)
{
    std::size_t i = SkipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        return 0.0;
    double value = 0.0;
    const auto result = std::from_chars(text.data() + i, text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large gives an infinity, too small (a large negative exponent) gives 0.
        const std::string_view number(text.data() + i, static_cast<std::size_t>(result.ptr - (text.data() + i)));
        const std::size_t exponent = number.find_first_of("eE");
        const bool tiny
            = exponent != std::string_view::npos && exponent + 1 < number.size() && number[exponent + 1] == '-';
        value = tiny ? 0.0 : HUGE_VAL;
    } else if (result.ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}
