#include "dialogs/wxfilecontent.h"

#include <QtEndian>

#include <zlib.h>

namespace {

constexpr int kCompressionLevel = 9;
constexpr int kLengthPrefix = 4;
constexpr int kChunkSize = 64 * 1024;
const QString kDateFormat = QStringLiteral("yyyy-MM-dd hh:mm");

// Where `key` first begins a line of `text` (at its start or after a line feed) from `from` on; -1 if nowhere.
int FirstLineStart(const QString& text, const QString& key, int from = 0)
{
    int at = text.indexOf(key, from);
    while (at > 0 && text.at(at - 1) != QLatin1Char('\n'))
        at = text.indexOf(key, at + 1);
    return at;
}

// Where `key` last begins a line of `text` before `before`; -1 if nowhere.
int LastLineStart(const QString& text, const QString& key, int before)
{
    if (before <= 0)
        return -1;
    int at = text.lastIndexOf(key, before - 1);
    while (at > 0 && text.at(at - 1) != QLatin1Char('\n'))
        at = text.lastIndexOf(key, at - 1);
    return at;
}

// The value of the header line that `key` begins at `at`, up to its line feed; nothing without both.
std::optional<QString> LineValue(const QString& header, const QString& key, int at)
{
    const int end = at < 0 ? -1 : header.indexOf(QLatin1Char('\n'), at + key.size());
    if (end < 0)
        return std::nullopt;
    return header.mid(at + key.size(), end - at - key.size());
}

// The description may hold line feeds and lines that begin like keys: it runs up to the line of the last
// "Location=" written after it (without one, of the last "Date="), or else to the header's last line feed.
std::optional<QString> Description(const QString& header)
{
    const QString key = QStringLiteral("Description=");
    const int at = FirstLineStart(header, key);
    if (at < 0)
        return std::nullopt;
    int stop = LastLineStart(header, QStringLiteral("Location="), header.size());
    if (stop <= at)
        stop = LastLineStart(header, QStringLiteral("Date="), header.size());
    if (stop <= at)
        stop = header.size();
    const int begin = at + key.size();
    const int end = header.lastIndexOf(QLatin1Char('\n'), stop - 1);
    if (end < begin)
        return std::nullopt;
    return header.mid(begin, end - begin);
}

// The text of the section "[name]" ... "[/name]" whose markers begin lines from `from` on; `from` moves past it.
std::optional<QString> Section(const QString& text, const QString& name, int& from)
{
    const QString start = QLatin1Char('[') + name + QLatin1Char(']');
    const QString end = QStringLiteral("[/") + name + QLatin1Char(']');
    const int begin = FirstLineStart(text, start, from);
    const int stop = begin < 0 ? -1 : FirstLineStart(text, end, begin + start.size());
    if (stop < 0)
        return std::nullopt;
    from = stop + end.size();
    return text.mid(begin + start.size(), stop - begin - start.size());
}

} // namespace

QByteArray BuildStoredWeatherText(const StoredWeather& weather)
{
    const QString text = QStringLiteral("[HEADER]") + QStringLiteral("FileVersion=1.01\n") + QStringLiteral("Title=")
        + weather.title + QLatin1Char('\n') + QStringLiteral("Description=") + weather.description + QLatin1Char('\n')
        + QStringLiteral("Location=") + weather.location + QLatin1Char('\n') + QStringLiteral("Date=")
        + weather.date.toString(kDateFormat) + QLatin1Char('\n') + QStringLiteral("[/HEADER]\n")
        + QStringLiteral("[METAR]\n") + weather.metar + QStringLiteral("[/METAR]\n\n") + QStringLiteral("[SYNOP]\n")
        + weather.synop + QStringLiteral("[/SYNOP]\n\n") + QStringLiteral("[GRIB]\n") + weather.grib
        + QStringLiteral("[/GRIB]\n");
    return text.toUtf8();
}

bool ParseStoredWeatherText(const QString& text, StoredWeatherFound& found)
{
    // Markers and keys count only at the start of a line. The header holds what the user typed, and a description
    // line may look like a marker; the reports after it never do. So the header ends at the last "[/HEADER]" before
    // the last METAR section, and the sections follow it in the order written.
    const QString headerMarker = QStringLiteral("[HEADER]");
    const int headerStart = FirstLineStart(text, headerMarker);
    const int metarStart
        = LastLineStart(text, QStringLiteral("[METAR]"), LastLineStart(text, QStringLiteral("[/METAR]"), text.size()));
    const int headerEnd = LastLineStart(text, QStringLiteral("[/HEADER]"), metarStart);
    if (headerStart < 0 || headerStart > headerEnd)
        return false;
    int from = headerEnd;
    const std::optional<QString> metar = Section(text, QStringLiteral("METAR"), from);
    if (!metar)
        return false;

    found = StoredWeatherFound();
    found.metar = *metar;
    found.synop = Section(text, QStringLiteral("SYNOP"), from);
    found.grib = Section(text, QStringLiteral("GRIB"), from);
    const int headerBegin = headerStart + headerMarker.size();
    const QString header = text.mid(headerBegin, headerEnd - headerBegin);
    // Any file version, or none, reads the same way. The title is written before the description, the location
    // and date after it.
    const QString title = QStringLiteral("Title=");
    const QString location = QStringLiteral("Location=");
    const QString date = QStringLiteral("Date=");
    found.title = LineValue(header, title, FirstLineStart(header, title));
    found.description = Description(header);
    found.location = LineValue(header, location, LastLineStart(header, location, header.size()));
    if (const std::optional<QString> value = LineValue(header, date, LastLineStart(header, date, header.size())))
        found.date = QDateTime::fromString(*value, kDateFormat);
    return true;
}

QByteArray PackStoredWeather(const QByteArray& content)
{
    return qCompress(content, kCompressionLevel);
}

bool UnpackStoredWeather(const QByteArray& file, QByteArray& content, qint64 maxSize)
{
    if (file.size() <= kLengthPrefix || file.size() > maxSize)
        return false;
    // qCompress writes the exact length: more content than claimed is not such a file.
    const qint64 claimed = qFromBigEndian<quint32>(file.constData());
    if (claimed > maxSize)
        return false;

    z_stream stream{};
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(file.constData() + kLengthPrefix));
    stream.avail_in = static_cast<uInt>(file.size() - kLengthPrefix);
    if (inflateInit(&stream) != Z_OK)
        return false;

    QByteArray result;
    char chunk[kChunkSize];
    int status = Z_OK;
    bool sound = true;
    while (sound && status != Z_STREAM_END) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = kChunkSize;
        status = inflate(&stream, Z_NO_FLUSH);
        const int produced = kChunkSize - static_cast<int>(stream.avail_out);
        // Z_BUF_ERROR with output room left: the input ended before the stream did.
        if (status != Z_OK && status != Z_STREAM_END)
            sound = false;
        else if (result.size() + produced > claimed)
            sound = false;
        else
            result.append(chunk, produced);
    }
    inflateEnd(&stream);
    if (!sound)
        return false;
    content = result;
    return true;
}
