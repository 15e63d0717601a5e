// The stored weather file (".ovyx"): Qt's compressed framing (a 32-bit big-endian length, then one zlib stream)
// around a sectioned text that starts
//     [HEADER]FileVersion=1.01\nTitle=North Sea gale\nDescription=...\nLocation=EGPD\nDate=2017-03-05
//     14:20\n[/HEADER]\n
// and goes on with the sections "[METAR]\n...[/METAR]\n\n", "[SYNOP]\n...[/SYNOP]\n\n" and "[GRIB]\n...[/GRIB]\n".
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

// The header fields and the three report texts of one weather set, as saved.
struct StoredWeather
{
    QString title;
    QString description;
    QString location;
    QDateTime date;
    QString metar;
    QString synop;
    QString grib;
};

// What a file carries: a header key or a section the file lacks is empty (std::nullopt); the METAR section is
// always there in a file that parses.
struct StoredWeatherFound
{
    std::optional<QString> title;
    std::optional<QString> description;
    std::optional<QString> location;
    // Invalid when the value does not read as "yyyy-MM-dd hh:mm".
    std::optional<QDateTime> date;
    QString metar;
    std::optional<QString> synop;
    std::optional<QString> grib;
};

// Neither a file nor the content it claims or holds may be larger than this.
constexpr qint64 kMaxStoredWeatherSize = 256LL * 1024 * 1024;

// The uncompressed content, UTF-8.
QByteArray BuildStoredWeatherText(const StoredWeather& weather);

// Reads the content: false when "[HEADER]", "[/HEADER]", "[METAR]" or "[/METAR]" does not begin a line in that
// order. Each section text keeps the line feed that follows its start marker; a header value ends with its line,
// the description (which may have several lines) where the location's line begins.
bool ParseStoredWeatherText(const QString& text, StoredWeatherFound& found);

// The file's bytes for the content: qCompress framing at level 9.
QByteArray PackStoredWeather(const QByteArray& content);

// The content of a file's bytes; false for data not in the framing, corrupt or truncated streams, and a file, a
// claimed length or a content above the size limit (nothing larger than the limit is allocated).
bool UnpackStoredWeather(const QByteArray& file, QByteArray& content, qint64 maxSize = kMaxStoredWeatherSize);
