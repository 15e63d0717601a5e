#include "generation/weatherthemefile.h"

#include "platform/clock.h"
#include "platform/debugoutput.h"
#include "settings/productaddresses.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>

namespace {

// Grid points are 16 km apart.
constexpr double kGridStepNm = 16.0 / 1.852;

// Little-endian writer into the file's byte image.
class ByteImage
{
public:
    explicit ByteImage(std::string& bytes)
        : m_bytes(bytes)
    {
    }
    void U16(std::uint16_t value)
    {
        m_bytes.push_back(static_cast<char>(value & 0xFF));
        m_bytes.push_back(static_cast<char>(value >> 8));
    }
    void U32(std::uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8)
            m_bytes.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
    void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
    void F32(float value)
    {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        U32(bits);
    }
    void Text(const char* text, std::size_t size) { m_bytes.append(text, size); }
    std::size_t Offset() const { return m_bytes.size(); }

private:
    std::string& m_bytes;
};

void WriteWind(ByteImage& out, const CWeatherThemeRecord::WindLayer& wind)
{
    out.F32(wind.upperAlt);
    out.F32(wind.speed);
    out.F32(wind.gust);
    out.F32(wind.direction);
    out.F32(wind.variance);
    out.I32(wind.turbulence);
    out.I32(wind.shear);
}

void WriteRecord(ByteImage& out, const CWeatherThemeRecord& record)
{
    // Each table's count in the low half of a 32-bit field.
    for (const std::uint16_t count :
         {record.windCount, record.visibilityCount, record.cloudCount, record.temperatureCount}) {
        out.U16(count);
        out.U16(0);
    }
    out.U32(0);
    out.Text(record.spaces, sizeof record.spaces);
    out.I32(record.headerValue);

    WriteWind(out, record.surface);

    // The counts are the record's own; a table never holds more than its 16 entries.
    const auto entries = [](std::uint16_t count) { return std::min<int>(count, CWeatherThemeRecord::kMaxEntries); };
    for (int i = 0; i < entries(record.windCount); ++i)
        WriteWind(out, record.winds[i]);
    for (int i = 0; i < entries(record.visibilityCount); ++i) {
        const CWeatherThemeRecord::VisibilityLayer& layer = record.visibilities[i];
        out.F32(layer.range);
        out.F32(layer.lowerAlt);
        out.F32(layer.upperAlt);
    }
    for (int i = 0; i < entries(record.cloudCount); ++i) {
        const CWeatherThemeRecord::CloudLayer& layer = record.clouds[i];
        out.U16(layer.type);
        out.U16(layer.reserved);
        out.F32(layer.base);
        out.F32(layer.top);
        out.F32(0.0f);
        out.I32(layer.coverage);
        out.I32(layer.topShape);
        out.I32(layer.turbulence);
        out.I32(layer.precipitationType);
        out.F32(layer.precipitationBase);
        out.I32(layer.precipitationRate);
        out.I32(layer.icing);
    }
    for (int i = 0; i < entries(record.temperatureCount); ++i) {
        const CWeatherThemeRecord::TemperatureLayer& layer = record.temperatures[i];
        out.F32(layer.altitude);
        out.F32(layer.temperature);
        out.F32(layer.variation);
        out.F32(layer.dewPoint);
    }
    out.I32(0);
    out.F32(record.qnh);
}

void WriteGridBlock(ByteImage& out, int columns, int rows)
{
    out.F32(3.0f);
    out.U16(0xFD02);
    out.I32(columns);
    out.I32(rows);
    const std::size_t pairOffset = out.Offset();
    out.U16(1);
    out.U16(static_cast<std::uint16_t>((pairOffset + 9) & 0xFFFF));
}

// The time in the C library's asctime form, "Mon Dec  7 10:48:36 2026\n"; empty when it cannot be converted.
std::string AscTime(std::int64_t utcSeconds)
{
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[]
        = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::time_t seconds = static_cast<std::time_t>(utcSeconds);
    std::tm parts{};
    if (!gmtime_r(&seconds, &parts) || parts.tm_wday < 0 || parts.tm_wday > 6 || parts.tm_mon < 0 || parts.tm_mon > 11)
        return std::string();
    char text[64];
    std::snprintf(text, sizeof text, "%.3s %.3s%3d %.2d:%.2d:%.2d %d\n", kDays[parts.tm_wday], kMonths[parts.tm_mon],
                  parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec, parts.tm_year + 1900);
    return text;
}

// Line feeds become carriage return + line feed, as a text-mode stream of the simulator's platform stores them.
std::string WithCrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        if (c == '\n')
            out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file.is_open()) {
        platform::DebugOut("no good file failed! \n");
        return false;
    }
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.flush();
    file.close();
    if (file.fail()) {
        platform::DebugOut("Can not write " + path + "\n");
        return false;
    }
    return true;
}

bool g_secondThemeName = false;

} // namespace

CWeatherThemeFile CWeatherThemeFile::AroundPosition(const aviation::Position& aircraft, int size)
{
    CWeatherThemeFile theme;
    theme.AddRecord(CWeatherThemeRecord(aircraft));
    const double half = static_cast<double>(size) * 16 / 1.852 * 0.5;
    aviation::Position origin = aircraft;
    origin.Move(180.0, half);
    origin.Move(270.0, half);

    aviation::Position cursor = origin;
    double rowLatitude = origin.GetLatitude();
    for (int row = 0; row < size; ++row) {
        if (row > 0) {
            cursor.Move(0.0, kGridStepNm);
            rowLatitude = cursor.GetLatitude();
        }
        for (int column = 0; column < size; ++column) {
            if (column > 0)
                cursor.Move(90.0, kGridStepNm);
            aviation::Position point = cursor;
            point.SetLatitude(rowLatitude);
            theme.AddRecord(CWeatherThemeRecord(point));
        }
        cursor.SetLongitude(origin.GetLongitude());
    }
    theme.AddRecord(theme.GetRecord(theme.GetRecordCount() - 1));
    theme.SetSize(size > 0 ? size : 0, size > 0 ? size : 0);
    return theme;
}

void CWeatherThemeFile::SetSize(int columns, int rows)
{
    m_columns = columns;
    m_rows = rows;
}

CWeatherThemeRecord CWeatherThemeFile::GetRecord(int index) const
{
    if (index < 0 || index >= GetRecordCount())
        return CWeatherThemeRecord();
    return m_records[static_cast<std::size_t>(index)];
}

std::string CWeatherThemeFile::BinaryContent() const
{
    std::string bytes;
    bytes.reserve(6 + m_records.size() * 1200);
    ByteImage out(bytes);
    out.I32(9);
    out.U16(0xFD01);
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        WriteRecord(out, m_records[i]);
        if (i == 0)
            WriteGridBlock(out, m_columns, m_rows);
        out.F32(3.0f);
    }
    return bytes;
}

std::string CWeatherThemeFile::DescriptionText(std::int64_t utcSeconds) const
{
    return "[Main]\nTitle = \"Aerovane\"\nDescription = \"This is the weather model of Aerovane Pro. For further "
           "information "
        + std::string(ProductAddresses::kWebSite) + ". Size: " + std::to_string(m_columns) + "x"
        + std::to_string(m_rows) + " Date: " + AscTime(utcSeconds) + "\"\nVersion = 9.00";
}

bool CWeatherThemeFile::Write(const std::string& path) const
{
    if (!WriteWholeFile(path + ".WTB", BinaryContent()))
        return false;
    return WriteWholeFile(path + ".wt", WithCrLf(DescriptionText(platform::NowSeconds())));
}

std::string NextWeatherThemeName()
{
    const std::string name = g_secondThemeName ? "aerovane1" : "aerovane";
    g_secondThemeName = !g_secondThemeName;
    return name;
}

void ResetWeatherThemeNames()
{
    g_secondThemeName = false;
}
