// Builds a bridge payload piece by piece, e.g. "Dir=270.00:Speed=15.00:Gust=0.00", with numbers written the
// same way whatever the process locale: decimal integers, and reals in fixed notation with "." as separator.
#pragma once

#include <string>
#include <string_view>

class CWireText
{
public:
    CWireText& Text(std::string_view text);
    CWireText& Int(long long value);
    // The value rounded to `decimals` places, as printf's "%.Nf" writes it in the "C" locale.
    CWireText& Fixed(double value, int decimals);
    // The default six places of printf's "%f".
    CWireText& Real(double value) { return Fixed(value, 6); }

    const std::string& Str() const { return m_text; }
    std::size_t Size() const { return m_text.size(); }

    // Every "," of the text becomes ".", so that neither a name nor a number can carry a comma onto the wire.
    static void CommasToDots(std::string& text);

private:
    std::string m_text;
};
