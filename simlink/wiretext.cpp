#include "simlink/wiretext.h"

#include <algorithm>
#include <charconv>

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
