#include "tools/bridge-peer/flightscript.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

using aviation::structs::CAircraft;

namespace tools {
namespace {

// A script is a few hundred lines; anything much larger is not one.
constexpr qint64 kMaxScriptBytes = 4 * 1024 * 1024;
constexpr int kColumns = 9;

bool ParseInt(const QString& text, int& value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok;
}

bool ParseDouble(const QString& text, double& value)
{
    bool ok = false;
    value = text.toDouble(&ok);
    return ok;
}

bool ParseFlags(const QString& text, CAircraft& sample)
{
    if (text == QLatin1String("-"))
        return true;
    for (const QChar flag : text) {
        switch (flag.unicode()) {
        case 'G':
            sample.onGround = true;
            break;
        case 'P':
            sample.parkingBrake = true;
            break;
        case 'E':
            sample.enginesOff = true;
            break;
        case 'L':
            sample.landingLights = true;
            break;
        case 'D':
            sample.doorOpen = true;
            break;
        default:
            return false;
        }
    }
    return true;
}

// The columns of one line; the fault, or empty.
QString ParseLine(const QStringList& columns, CAircraft& sample)
{
    if (columns.size() != kColumns)
        return QStringLiteral("%1 columns instead of %2").arg(columns.size()).arg(kColumns);
    double latitude = 0.0;
    double longitude = 0.0;
    if (!ParseDouble(columns[0], latitude) || latitude < -90.0 || latitude > 90.0)
        return QStringLiteral("latitude \"%1\"").arg(columns[0]);
    if (!ParseDouble(columns[1], longitude) || longitude < -180.0 || longitude > 180.0)
        return QStringLiteral("longitude \"%1\"").arg(columns[1]);
    sample.SetLatitude(latitude);
    sample.SetLongitude(longitude);
    int* const numbers[] = {&sample.altitude, &sample.height, &sample.tas, &sample.groundSpeed};
    for (int i = 0; i < 4; ++i) {
        if (!ParseInt(columns[2 + i], *numbers[i]))
            return QStringLiteral("number \"%1\"").arg(columns[2 + i]);
    }
    if (!ParseDouble(columns[6], sample.heading.direction))
        return QStringLiteral("heading \"%1\"").arg(columns[6]);
    if (!ParseInt(columns[7], sample.verticalSpeed))
        return QStringLiteral("vertical speed \"%1\"").arg(columns[7]);
    if (!ParseFlags(columns[8], sample))
        return QStringLiteral("flags \"%1\"").arg(columns[8]);
    return QString();
}

} // namespace

bool CFlightScript::Parse(const QString& text, std::vector<CAircraft>& samples, QString& error)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    samples.clear();
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int number = 1; number <= lines.size(); ++number) {
        const QString line = lines[number - 1].section(QLatin1Char('#'), 0, 0).trimmed();
        if (line.isEmpty())
            continue;
        CAircraft sample;
        const QString fault = ParseLine(line.split(blanks), sample);
        if (!fault.isEmpty()) {
            error = QStringLiteral("line %1: %2").arg(number).arg(fault);
            return false;
        }
        samples.push_back(sample);
    }
    if (samples.empty()) {
        error = QStringLiteral("no samples");
        return false;
    }
    return true;
}

bool CFlightScript::Load(const QString& path, std::vector<CAircraft>& samples, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray bytes = file.read(kMaxScriptBytes + 1);
    if (bytes.size() > kMaxScriptBytes) {
        error = QStringLiteral("%1: larger than %2 bytes").arg(path, QString::number(kMaxScriptBytes));
        return false;
    }
    if (!Parse(QString::fromUtf8(bytes), samples, error)) {
        error = path + QStringLiteral(", ") + error;
        return false;
    }
    return true;
}

} // namespace tools
