#include "dialogs/wxstationfiles.h"

#include <QSaveFile>
#include <QSet>
#include <QtEndian>

#include <cmath>
#include <cstring>

namespace wxstationfiles {

namespace {

constexpr double kFeetPerMetre = 3.2808;
const char kAirportListHeader[]
    = "# icao;name;country;elev;lat;lon;fs9_station;fsx_station;p3d_station;xplane_station;active";

float FloatAt(const char* data)
{
    const quint32 bits = qFromLittleEndian<quint32>(data);
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

void AppendFloat(QByteArray& bytes, float value)
{
    quint32 bits;
    std::memcpy(&bits, &value, sizeof(bits));
    char data[4];
    qToLittleEndian(bits, data);
    bytes.append(data, 4);
}

// The code of a 4-byte item: up to its first zero byte.
QByteArray CodeOf(const char* data, int size)
{
    const auto* end = static_cast<const char*>(std::memchr(data, 0, static_cast<std::size_t>(size)));
    return QByteArray(data, end ? static_cast<int>(end - data) : size);
}

// At most `limit` bytes of UTF-8 text, never ending inside a character.
QByteArray CutUtf8(const QByteArray& text, int limit)
{
    if (text.size() <= limit)
        return text;
    int end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.left(end);
}

QString Flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// The station's code as the lists hold it; a ';' would end the code when the list is read again.
QString ListedCode(const aviation::weather::CStation& station)
{
    const QString code = QString::fromStdWString(station.GetICAO());
    return code.left(code.indexOf(QLatin1Char(';')));
}

// Joined rather than formatted with arg(), so a "%1" inside a name stays as it is.
QString AirportLine(const aviation::weather::CStation& station)
{
    const aviation::Position& position = station.GetPosition();
    return QStringList{ListedCode(station),
                       QString::fromStdWString(station.GetName()),
                       QString::fromStdWString(station.GetCountry()),
                       SixDigits(station.GetElevation()),
                       SixDigits(position.GetLatitude()),
                       SixDigits(position.GetLongitude()),
                       Flag(station.IsFS9Station()),
                       Flag(station.IsFSXStation()),
                       Flag(station.IsP3DStation()),
                       Flag(station.IsXPlaneStation()),
                       QStringLiteral("1")}
        .join(QLatin1Char(';'));
}

} // namespace

QStringList ReadStationCodes(const QByteArray& bytes)
{
    QStringList codes;
    codes.reserve(bytes.size() / kCodeBytes + 1);
    for (int at = 0; at < bytes.size(); at += kCodeBytes)
        codes.append(QString::fromLatin1(CodeOf(bytes.constData() + at, qMin(kCodeBytes, bytes.size() - at))));
    return codes;
}

std::vector<WxMappingEntry> ReadMappingEntries(const QByteArray& bytes)
{
    std::vector<WxMappingEntry> entries;
    entries.reserve(static_cast<std::size_t>(bytes.size() / (kRecordHeaderBytes + 16)));
    const char* data = bytes.constData();
    int at = 0;
    while (bytes.size() - at >= kRecordHeaderBytes) {
        const int nameLength = static_cast<unsigned char>(data[at + 16]);
        if (bytes.size() - at - kRecordHeaderBytes < nameLength)
            break;
        WxMappingEntry entry;
        entry.icao = CodeOf(data + at, kCodeBytes);
        entry.latitude = FloatAt(data + at + 4);
        entry.longitude = FloatAt(data + at + 8);
        entry.altitude = FloatAt(data + at + 12);
        entry.name = QByteArray(data + at + kRecordHeaderBytes, nameLength);
        entries.push_back(std::move(entry));
        at += kRecordHeaderBytes + nameLength;
    }
    return entries;
}

QByteArray EncodeCode(const QByteArray& code)
{
    QByteArray item = code.left(kCodeBytes);
    item.append(QByteArray(kCodeBytes - item.size(), '\0'));
    return item;
}

QByteArray EncodeMappingEntry(const WxMappingEntry& entry)
{
    const QByteArray name = CutUtf8(entry.name, kMaxNameBytes);
    QByteArray record = EncodeCode(entry.icao);
    record.reserve(kRecordHeaderBytes + name.size());
    AppendFloat(record, entry.latitude);
    AppendFloat(record, entry.longitude);
    AppendFloat(record, entry.altitude);
    record.append(static_cast<char>(name.size()));
    record.append(name);
    return record;
}

QByteArray SimulatorCode(const aviation::weather::CStation& station)
{
    return ListedCode(station).trimmed().toUtf8();
}

WxMappingEntry MappingEntryFor(const aviation::weather::CStation& station)
{
    WxMappingEntry entry;
    entry.icao = SimulatorCode(station);
    entry.latitude = static_cast<float>(station.GetPosition().GetLatitude());
    entry.longitude = StoredLongitude(station.GetPosition().GetLongitude());
    entry.altitude = static_cast<float>(FeetToMappingMetres(station.GetElevation()));
    entry.name = QString::fromStdWString(station.GetName() + L", " + station.GetCountry()).toUtf8();
    return entry;
}

int FeetToMappingMetres(int feet)
{
    return static_cast<int>(std::floor(feet / kFeetPerMetre + 0.5));
}

float StoredLongitude(double longitude)
{
    return static_cast<float>(longitude < 0.0 ? longitude + 360.0 : longitude);
}

double ShownLongitude(float storedLongitude)
{
    return storedLongitude > 180.0f ? storedLongitude - 360.0 : storedLongitude;
}

QString SixDigits(double value)
{
    return QString::number(static_cast<double>(static_cast<float>(value)), 'g', 6);
}

QByteArray AirportListText(const std::vector<aviation::weather::CStation>& stations)
{
    QByteArray text(kAirportListHeader);
    text.append('\n');
    QSet<QString> written;
    written.reserve(static_cast<int>(stations.size()));
    for (const aviation::weather::CStation& station : stations) {
        const QString line = AirportLine(station);
        if (written.contains(line))
            continue;
        written.insert(line);
        text.append(line.toUtf8());
        text.append('\n');
    }
    return text;
}

bool WriteAirportList(const QString& path, const std::vector<aviation::weather::CStation>& stations)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(AirportListText(stations));
    return file.commit();
}

} // namespace wxstationfiles
