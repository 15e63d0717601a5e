#include "forms/numberfield.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace {

// The style of a field that holds no number of its range.
const QString kMarked = QStringLiteral("QLineEdit { background-color: #ffc8c8; }");

void Mark(QLineEdit* field, bool marked)
{
    field->setStyleSheet(marked ? kMarked : QString());
}

} // namespace

std::optional<double> ReadNumber(const QString& text, const NumberRange& range)
{
    // Either separator is the decimal one; no number here has a thousands separator.
    static const QRegularExpression number(QStringLiteral("^-?\\d+(?:[.,](\\d+))?$"));
    const QRegularExpressionMatch match = number.match(text.trimmed());
    if (!match.hasMatch() || match.capturedLength(1) > range.decimals)
        return std::nullopt;
    const double value = QLocale::c().toDouble(match.captured(0).replace(QLatin1Char(','), QLatin1Char('.')));
    if (value < range.lowest || value > range.highest)
        return std::nullopt;
    return value;
}

QString FormatNumber(double value, const NumberRange& range)
{
    QString text = QString::number(value, 'f', range.decimals);
    if (range.decimals > 0) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}

void RestrictToNumbers(QLineEdit* field, const NumberRange& range, bool optional)
{
    // Digits, a sign and one separator: a key that cannot be part of a number is not taken. The separator and the
    // sign stay typeable, so "12,5" in a field without decimals or "-50" is refused by name, never read as 125 or 50.
    static const QRegularExpression typeable(QStringLiteral("-?\\d*(?:[.,]\\d*)?"));
    field->setValidator(new QRegularExpressionValidator(typeable, field));
    QObject::connect(field, &QLineEdit::textChanged, field, [field, range, optional](const QString& text) {
        Mark(field, !(optional && text.isEmpty()) && !ReadNumber(text, range));
    });
}

std::optional<double> FieldNumber(QLineEdit* field, const NumberRange& range)
{
    const std::optional<double> value = ReadNumber(field->text(), range);
    Mark(field, !value);
    return value;
}

QString NumberProblem(const QString& fieldName, const QString& text, const NumberRange& range)
{
    const QString decimals = range.decimals == 0 ? QStringLiteral(" without decimals")
                                                 : QStringLiteral(" with at most %1 decimals").arg(range.decimals);
    return QStringLiteral("%1: \"%2\" is not a number from %3 to %4%5.")
        .arg(fieldName, text, FormatNumber(range.lowest, range), FormatNumber(range.highest, range), decimals);
}
