#include "dialogs/wxfilecontent.h"

#include <QtEndian>

#include <zlib.h>

namespace {

constexpr int kCompressionLevel = 9;
constexpr int kLengthPrefix = 4;
constexpr int kChunkSize = 64 * 1024;
const QString kDateFormat = QStringLiteral("yyyy-MM-dd hh:mm");

// The text between the end of `start` and the beginning of `end`, both searched from the text's beginning.
std::optional<QString> Between(const QString& text, const QString& start, const QString& end)
{
    const int from = text.indexOf(start);
    const int to = text.indexOf(end);
    if (from < 0 || to < 0)
        return std::nullopt;
    const int begin = from + start.size();
    return text.mid(begin, qMax(0, to - begin));
}

// The value of "key=" at the start of a header line up to its line feed; nothing without both. A key inside
// another value ("Title=Fog at Location=EDDF") is text of that value.
std::optional<QString> HeaderValue(const QString& header, const QString& key)
{
    int at = header.indexOf(key);
    while (at > 0 && header.at(at - 1) != QLatin1Char('\n'))
        at = header.indexOf(key, at + 1);
    if (at < 0)
        return std::nullopt;
    const int begin = at + key.size();
    const int end = header.indexOf(QLatin1Char('\n'), begin);
    if (end < 0)
        return std::nullopt;
    return header.mid(begin, end - begin);
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
    const std::optional<QString> header = Between(text, QStringLiteral("[HEADER]"), QStringLiteral("[/HEADER]"));
    const std::optional<QString> metar = Between(text, QStringLiteral("[METAR]"), QStringLiteral("[/METAR]"));
    if (!header || !metar)
        return false;
    found = StoredWeatherFound();
    found.metar = *metar;
    found.synop = Between(text, QStringLiteral("[SYNOP]"), QStringLiteral("[/SYNOP]"));
    found.grib = Between(text, QStringLiteral("[GRIB]"), QStringLiteral("[/GRIB]"));
    // Any file version, or none, reads the same way.
    found.title = HeaderValue(*header, QStringLiteral("Title="));
    found.description = HeaderValue(*header, QStringLiteral("Description="));
    found.location = HeaderValue(*header, QStringLiteral("Location="));
    if (const std::optional<QString> date = HeaderValue(*header, QStringLiteral("Date=")))
        found.date = QDateTime::fromString(*date, kDateFormat);
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
