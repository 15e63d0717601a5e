// Builds a bridge payload piece by piece, e.g. "Dir=270.00:Speed=15.00:Gust=0.00", with numbers written the
// same way whatever the process locale: decimal integers, and reals in fixed notation with "." as separator.
// Numbers of a received payload are read back the same locale-free way.
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

    // The integer at the start of the text as atoi reads it (blanks, sign, digits up to the first other
    // character, 0 without digits), held to the int range instead of overflowing.
    static int ReadInt(std::string_view text);
    // The real number at the start of the text as atof reads it, but always with "." as decimal separator
    // whatever the process locale. No number gives 0; a number beyond the double range gives an infinity of its
    // sign, one too small for it 0.
    static double ReadReal(std::string_view text);

private:
    std::string m_text;
};
