// The rule for the dialogs' number fields: a field takes only a plain decimal number inside its range, with at
// most the decimals it shows; "12.5" and "12,5" are both twelve and a half whatever the user's locale, and no
// thousands separator or exponent is read. A field that holds no such number is marked, and the caller names it
// in its message.
#pragma once

#include <QString>

#include <optional>

class QLineEdit;

struct NumberRange
{
    double lowest;
    double highest;
    int decimals;
};

// The number the text holds when it lies in the range with at most its decimals; none for "", "abc", "-50"
// (below 0), "1e9", or "12,5" and "1.234" in a field without decimals.
std::optional<double> ReadNumber(const QString& text, const NumberRange& range);
// The value with at most the range's decimals, trailing zeros dropped: 41234.5 -> "41234.5", 1234567 -> "1234567".
QString FormatNumber(double value, const NumberRange& range);

// Lets the field take only what can become a number of the range, and marks it while it holds none; an optional
// field may also stay empty.
void RestrictToNumbers(QLineEdit* field, const NumberRange& range, bool optional = false);
// The field's number, or none; the field is marked when it holds none.
std::optional<double> FieldNumber(QLineEdit* field, const NumberRange& range);
// Why the field holds no number of the range, naming it:
// 'Empty Weight: "-50" is not a number from 0 to 2000000.'
QString NumberProblem(const QString& fieldName, const QString& text, const NumberRange& range);
