#include "weather/synopdecoder.h"

#include "platform/debugoutput.h"
#include "weather/quadrant.h"
#include "weather/synop.h"

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace aviation {
namespace weather {

namespace {

// Speeds in metres per second (wind-unit indicator 0 or 1) are turned into knots with this factor.
constexpr double kKnotsPerMetrePerSecond = 1.943844492;

// Magnus formula of the saturation vapour pressure (hPa) over water, and over ice below 0 degrees.
double MagnusA(double celsius)
{
    return celsius >= 0.0 ? 7.5 : 7.6;
}

double MagnusB(double celsius)
{
    return celsius >= 0.0 ? 237.3 : 240.7;
}

bool IsSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

// The character at `index` of a sub-match; a shorter sub-match is a position error.
wchar_t CharAt(std::wstring_view text, std::size_t index)
{
    if (index >= text.size())
        throw std::out_of_range("SYNOP group shorter than expected");
    return text[index];
}

std::wstring_view Part(std::wstring_view text, std::size_t from, std::size_t count)
{
    if (from > text.size())
        throw std::out_of_range("SYNOP group shorter than expected");
    return text.substr(from, count);
}

} // namespace

// Every pattern of the decoder, compiled once. Each begins with "^", so it only matches at the front of
// the working text.
struct CSynopDecoder::Patterns
{
    RegexPattern landHeader{L"^AAXX[[:blank:]]{0,}([0-9/]{5})[[:blank:]]{0,}([0-9]{5})"};
    RegexPattern shipHeader{
        L"^BBXX[[:blank:]]{0,}([0-9A-Za_Z]{0,7})[[:blank:]]{0,}([0-9]{5})[[:blank:]]{0,}(99[0-9]{3})"
        L"[[:blank:]]{0,}([0-9]{5})[[:blank:]]{0,}([0-9/]{5})"};
    RegexPattern mobileHeader{L"^OOXX[[:blank:]]{0,}([0-9A-Za_Z]{0,7})[[:blank:]]{0,}([0-9]{5})[[:blank:]]{0,}"
                              L"(99[0-9]{3})[[:blank:]]{0,}(Q[0-9]{4})[[:blank:]]{0,}([0-9]{5})"};

    RegexPattern visibility{L"^[[:blank:]]{0,}([0-4]{1})([0-7]{1})([0-9/]{1})([0-9/]{2})"};
    RegexPattern wind{L"^[[:blank:]]{0,}([0-9/]{1})([0-9/]{2})([0-9/]{2})"};
    RegexPattern windHigh{L"^[[:blank:]]{0,}00([0-9/]{3})"};
    RegexPattern temperature{L"^[[:blank:]]{0,}1([0-1]{1})([0-9/]{3})"};
    RegexPattern dewPoint{L"^[[:blank:]]{0,}2([019]{1})([0-9/]{3})"};
    RegexPattern stationPressure{L"^[[:blank:]]{0,}3([0-9/]{4})"};
    RegexPattern seaLevelPressure{L"^[[:blank:]]{0,}4([09]{1}[0-9/]{3})"};
    RegexPattern levelHeight{L"^[[:blank:]]{0,}4([12578]{1}[0-9/]{3})"};
    RegexPattern trend{L"^[[:blank:]]{0,}5([0-8]{1})([0-9/]{3})"};
    RegexPattern precipitation{L"^[[:blank:]]{0,}6([0-9/]{3})([0-9/]{1})"};
    RegexPattern weather{L"^[[:blank:]]{0,}7([0-9/]{2})([0-9/]{1})([0-9/]{1})"};
    RegexPattern cloudType{L"^[[:blank:]]{0,}8([0-9/]{1})([0-9/]{1})([0-9/]{1})([0-9/]{1})"};

    RegexPattern section222{L"^222([0-9/]{1})([0-9/]{1})"};
    RegexPattern section2[9]{
        RegexPattern{L"^0([0-9/]{4})"}, RegexPattern{L"^1([0-9/]{4})"}, RegexPattern{L"^2([0-9/]{4})"},
        RegexPattern{L"^3([0-9/]{4})"}, RegexPattern{L"^4([0-9/]{4})"}, RegexPattern{L"^5([0-9/]{4})"},
        RegexPattern{L"^6([0-9/]{4})"}, RegexPattern{L"^7([0-9/]{4})"}, RegexPattern{L"^4([0-9/]{4})"}};

    RegexPattern section333{L"^333[[:blank:]]{0,}"};
    RegexPattern section333Skipped[15]{
        RegexPattern{L"^0([0-9/]{4})"},          RegexPattern{L"^1([01]{1})([0-9/]{3})"},
        RegexPattern{L"^2([01]{1})([0-9/]{3})"}, RegexPattern{L"^3([0-9/]{1})([01]{1})([0-9/]{2})"},
        RegexPattern{L"^4([01]{1})([0-9/]{3})"}, RegexPattern{L"^55([0-9/]{3})"},
        RegexPattern{L"^2([0-9/]{4})"},          RegexPattern{L"^3([0-9/]{4})"},
        RegexPattern{L"^4([0-9/]{4})"},          RegexPattern{L"^553([0-9/]{2})"},
        RegexPattern{L"^2([0-9/]{4})"},          RegexPattern{L"^3([0-9/]{4})"},
        RegexPattern{L"^4([0-9/]{4})"},          RegexPattern{L"^6([0-9/]{3})([0-9/]{1})"},
        RegexPattern{L"^7([0-9/]{4})"}};
    RegexPattern cloudLayer{L"^8([0-9/]{1})([0-9/]{1})([0-9/]{2})"};
    RegexPattern special{L"^9([0-9/]{2})([0-9/]{2})"};

    RegexPattern section444{L"^444[[:blank:]]{0,}"};
    RegexPattern section444Group{L"^([0-9/]{5})"};

    RegexPattern section555{L"^555[[:blank:]]{0,}(0[01][0-9/]{3})[[:blank:]]{0,}(1[0-9/]{4})"};
    RegexPattern regionalTemperature{L"^(2[01]{1}[0-9/]{3})"};
    RegexPattern section555Skipped[9]{
        RegexPattern{L"^(22[0-9/]{3})"}, RegexPattern{L"^(23[0-9/]{2})"}, RegexPattern{L"^(24[0-9/]{2})"},
        RegexPattern{L"^(25[0-9/]{2})"}, RegexPattern{L"^(26[0-9/]{3})"}, RegexPattern{L"^(3[0-9/]{4})"},
        RegexPattern{L"^(4[0-9/]{4})"},  RegexPattern{L"^(5[0-9/]{4})"},  RegexPattern{L"^(7[0-9/]{4})"}};
    RegexPattern regionalCloud{L"^(8[0-9/]{4})"};
    RegexPattern gust910{L"^(910[0-9/]{2})"};
    RegexPattern gust911{L"^(911[0-9/]{2})"};
    RegexPattern pic{L"^PIC[[:blank:]]{0,}([0-9/]{2})"};
    RegexPattern bot{L"^BOT[[:blank:]]{0,}([0-9/]{5})"};
};

const CSynopDecoder::Patterns& CSynopDecoder::GetPatterns()
{
    static const Patterns patterns;
    return patterns;
}

namespace {

RegexMatch& ThreadMatch()
{
    static thread_local RegexMatch match;
    return match;
}

} // namespace

CSynopDecoder::CSynopDecoder(CSynop& synop)
    : m_synop(synop)
    , m_match(ThreadMatch())
{
}

int CSynopDecoder::ReadNumber(std::wstring_view text)
{
    int value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9')
            break;
        if (value > 100000000)
            break;
        value = value * 10 + (c - L'0');
    }
    return value;
}

int CSynopDecoder::LowestCloudBase(int h)
{
    static const int bases[10] = {166, 333, 666, 1000, 2000, 3333, 5000, 6666, 8333, 10000};
    return h >= 0 && h <= 9 ? bases[h] : 0;
}

int CSynopDecoder::Visibility(int vv)
{
    static const int lowest[10] = {40, 50, 200, 500, 1000, 2000, 4000, 10000, 20000, 60000};
    if (vv >= 0 && vv <= 50)
        return vv * 100;
    if (vv <= 55)
        return kNoVisibilityValue;
    if (vv <= 80)
        return (vv - 50) * 1000;
    if (vv <= 89)
        return (vv - 74) * 5000;
    if (vv <= 99)
        return lowest[vv - 90];
    return vv;
}

int CSynopDecoder::CloudLayerBase(int hshs)
{
    if (hshs >= 0 && hshs <= 50)
        return hshs * 100;
    if (hshs <= 55)
        return 0;
    if (hshs <= 80)
        return (hshs - 50) * 1000;
    if (hshs <= 89)
        return (hshs - 74) * 5000;
    if (hshs <= 95)
        return (hshs - 89) * 166;
    if (hshs <= 99)
        return static_cast<int>((hshs - 94) * 500 * 3.3285);
    return 0;
}

double CSynopDecoder::DewPointFromHumidity(double temperature, int humidity)
{
    const double a = MagnusA(temperature);
    const double b = MagnusB(temperature);
    const double x = std::log10(humidity / 100.0) + a * temperature / (b + temperature);
    return b * x / (a - x);
}

void CSynopDecoder::ReadHumidity(int humidity)
{
    // 29UUU gives the relative humidity instead of the dew point; the dew point follows from it and the
    // temperature read before, so the METAR line gets a real value.
    m_synop.m_humidity = humidity;
    if (humidity >= 1 && humidity <= 100)
        m_synop.m_dewPoint = DewPointFromHumidity(m_synop.m_temperature, humidity);
}

double CSynopDecoder::ToKnots(double speed) const
{
    return m_synop.m_windUnit == 0 || m_synop.m_windUnit == 1 ? speed * kKnotsPerMetrePerSecond : speed;
}

bool CSynopDecoder::Take(const RegexPattern& pattern)
{
    const std::wstring_view rest = m_work.substr(m_pos);
    if (!pattern.Search(rest, m_match))
        return false;
    // The raw text under the working view is never changed, so the sub-matches stay valid after the front
    // moves on.
    m_pos += m_match.Length(0);
    while (m_pos < m_work.size() && IsSpace(m_work[m_pos]))
        ++m_pos;
    return true;
}

int CSynopDecoder::DecodeHeader()
{
    return DecodeGuarded(true);
}

int CSynopDecoder::Decode()
{
    // Each run builds the layer list afresh, so decoding a record twice does not double its layers.
    m_synop.m_cloudLayers.clear();
    m_synop.m_errorText.clear();
    return DecodeGuarded(false);
}

int CSynopDecoder::DecodeGuarded(bool headerOnly)
{
    if (m_synop.m_raw.size() < 10)
        return CSynop::kNotFound;
    m_work = std::wstring_view(m_synop.m_raw).substr(0, kMaxWorkingLength);
    m_pos = 0;
    m_shipVisibilityGroup = {};
    m_group = Group::LandHeader;
    try {
        const int header = ReadHeader(headerOnly);
        if (header != CSynop::kNoError || headerOnly)
            return header;
        ReadSection1();
        ReadSection2();
        ReadSection333();
        ReadSection444();
        ReadSection555();
        return CSynop::kNoError;
    } catch (const std::out_of_range& error) {
        platform::DebugOut(std::string(error.what()) + "\n");
        m_synop.m_errorText = RangeErrorText(m_group, headerOnly);
        return CSynop::kPositionError;
    } catch (const std::exception& error) {
        platform::DebugOut(std::string(error.what()) + "\n");
        m_synop.m_errorText = RegexErrorText(m_group, headerOnly);
        return headerOnly ? CSynop::kPositionError : CSynop::kRegexError;
    } catch (...) {
        platform::DebugOut(std::string("unknown failure while decoding a SYNOP\n"));
        m_synop.m_errorText = RegexErrorText(m_group, headerOnly);
        return headerOnly ? CSynop::kPositionError : CSynop::kRegexError;
    }
}

int CSynopDecoder::ReadHeader(bool headerOnly)
{
    const Patterns& p = GetPatterns();
    m_group = Group::LandHeader;
    if (Take(p.landHeader)) {
        ReadLandHeader();
        return CSynop::kNoError;
    }
    m_group = Group::ShipHeader;
    if (Take(p.shipHeader))
        return ReadShipHeader();
    if (headerOnly)
        return CSynop::kRegexError;
    m_group = Group::MobileHeader;
    if (Take(p.mobileHeader)) {
        ReadMobileHeader();
        return CSynop::kNoError;
    }
    return CSynop::kRegexError;
}

void CSynopDecoder::ReadDateTime(std::wstring_view group)
{
    const int day = ReadNumber(Part(group, 0, 2));
    const int hour = ReadNumber(Part(group, 2, 2));
    m_synop.SetTime(day, hour, 0);
    const int unit = ReadNumber(Part(group, 4, 1));
    if (unit >= 0 && unit <= 4)
        m_synop.m_windUnit = unit;
}

void CSynopDecoder::ReadLandHeader()
{
    ReadDateTime(Sub(1));
    m_synop.SetICAO(std::wstring(Sub(2)));
}

int CSynopDecoder::ReadShipHeader()
{
    ReadDateTime(Sub(2));
    const std::wstring_view longitudeGroup = Sub(4);
    m_synop.SetICAO(std::wstring(longitudeGroup));
    m_synop.SetName(std::wstring(Sub(1)));
    double latitude = ReadNumber(Part(Sub(3), 2, 3)) / 10.0;
    double longitude = ReadNumber(Part(longitudeGroup, 1, 4)) / 10.0;
    if (!ApplyQuadrant(CharAt(longitudeGroup, 0), latitude, longitude))
        return CSynop::kStationError;
    m_synop.SetPosition(aviation::Position(latitude, longitude));
    m_shipVisibilityGroup = Sub(5);
    return CSynop::kNoError;
}

void CSynopDecoder::ReadMobileHeader()
{
    ReadDateTime(Sub(2));
    m_synop.SetICAO(std::wstring(Sub(5)));
}

void CSynopDecoder::ReadPressure(std::wstring_view digits, float& pressure)
{
    double value = CharAt(digits, 3) == L'/' ? ReadNumber(Part(digits, 0, 3)) : ReadNumber(Part(digits, 0, 4)) / 10.0;
    if (value < 300.0)
        value += 1000.0;
    pressure = static_cast<float>(value);
}

void CSynopDecoder::ReadSection1()
{
    const Patterns& p = GetPatterns();
    CSynop& s = m_synop;

    // A ship's iRixhVV group belongs to its header match: it is read from there, and section 1 goes on with
    // the Nddff group. Taken from the text instead, Nddff would be misread as iRixhVV and 1snTTT as the wind.
    m_group = Group::Visibility;
    const bool visibilityGroup
        = m_shipVisibilityGroup.empty() ? Take(p.visibility) : p.visibility.Search(m_shipVisibilityGroup, m_match);
    if (visibilityGroup) {
        s.m_precipitationIndicator = ReadNumber(Sub(1));
        if (Sub(3) == L"/") {
            s.m_hasCloudBase = false;
        } else {
            s.m_hasCloudBase = true;
            s.m_lowestCloud.SetBase(LowestCloudBase(ReadNumber(Sub(3))));
        }
        if (Sub(4) == L"//") {
            s.m_hasVisibility = false;
        } else {
            const int visibility = Visibility(ReadNumber(Sub(4)));
            if (visibility != kNoVisibilityValue)
                s.m_visibility = visibility;
        }
    }

    m_group = Group::Wind;
    bool speedAbove99 = false;
    if (Take(p.wind)) {
        const std::wstring_view cover = Sub(1);
        if (cover == L"9")
            s.m_lowestCloud.SetCoverage(8);
        else if (cover != L"/")
            s.m_lowestCloud.SetCoverage(ReadNumber(cover));
        const std::wstring_view direction = Sub(2);
        const std::wstring_view speed = Sub(3);
        if (direction == L"//" || speed == L"//") {
            s.m_hasWind = false;
        } else {
            s.m_wind.direction = direction == L"99" ? 0.0 : ReadNumber(direction) * 10.0;
            s.m_wind.speed = ToKnots(ReadNumber(speed));
            s.m_wind.gust = -1.0;
        }
        speedAbove99 = speed == L"99";
    }
    if (speedAbove99 && Take(p.windHigh)) {
        s.m_wind.speed = static_cast<int>(ToKnots(ReadNumber(Sub(1))));
        s.m_wind.gust = -1.0;
    }

    m_group = Group::Temperature;
    if (Take(p.temperature)) {
        const double value = ReadNumber(Sub(2)) / 10.0;
        s.m_temperature = Sub(1) == L"1" ? -value : value;
    }

    m_group = Group::DewPoint;
    if (Take(p.dewPoint)) {
        const std::wstring_view sign = Sub(1);
        const int value = ReadNumber(Sub(2));
        if (sign == L"9")
            ReadHumidity(value);
        else
            s.m_dewPoint = sign == L"1" ? -value / 10.0 : value / 10.0;
    }

    m_group = Group::Pressure;
    if (Take(p.stationPressure))
        ReadPressure(Sub(1), s.m_stationPressure);
    if (Take(p.seaLevelPressure))
        ReadPressure(Sub(1), s.m_seaLevelPressure);
    Take(p.levelHeight);

    m_group = Group::Trend;
    Take(p.trend);
    m_group = Group::Precipitation;
    Take(p.precipitation);
    m_group = Group::Weather;
    Take(p.weather);

    m_group = Group::CloudType;
    if (Take(p.cloudType)) {
        s.m_lowCloudType = ReadNumber(Sub(2));
        s.m_middleCloudType = ReadNumber(Sub(3));
        s.m_highCloudType = ReadNumber(Sub(4));
    }
}

void CSynopDecoder::ReadSection2()
{
    const Patterns& p = GetPatterns();
    m_group = Group::Sea;
    if (!Take(p.section222))
        return;
    const int course = ReadNumber(Sub(1));
    const int speed = ReadNumber(Sub(2));
    if (course != 0 && course != 9 && speed != 0) {
        m_synop.m_shipDirection = course * 45;
        m_synop.m_shipSpeed = speed * 5;
    }
    for (const RegexPattern& group : p.section2)
        Take(group);
}

void CSynopDecoder::ReadSection333()
{
    const Patterns& p = GetPatterns();
    m_group = Group::Section333;
    if (!Take(p.section333))
        return;
    for (const RegexPattern& group : p.section333Skipped)
        Take(group);

    m_group = Group::CloudLayer;
    while (Take(p.cloudLayer)) {
        m_synop.m_hasCloudBase = true;
        const int cover = ReadNumber(Sub(1));
        const int genus = ReadNumber(Sub(2));
        m_synop.m_cloudLayers.emplace_back(CloudLayerBase(ReadNumber(Sub(3))), static_cast<std::int8_t>(cover),
                                           static_cast<std::uint8_t>(genus), -1);
    }

    m_group = Group::Section333;
    while (Take(p.special)) {
        if (Sub(1) == L"11")
            m_synop.m_wind.gust = ToKnots(ReadNumber(Sub(2)));
    }
}

void CSynopDecoder::ReadSection444()
{
    const Patterns& p = GetPatterns();
    m_group = Group::Section444;
    if (Take(p.section444))
        Take(p.section444Group);
}

void CSynopDecoder::ReadSection555()
{
    const Patterns& p = GetPatterns();
    CSynop& s = m_synop;
    m_group = Group::Section555;
    if (!Take(p.section555))
        return;
    const std::wstring_view temperature = Sub(1);
    const double value = ReadNumber(Part(temperature, 2, 3)) / 10.0;
    s.m_temperature = CharAt(temperature, 1) == L'0' ? value : -value;
    s.m_regionalValue = ReadNumber(Part(Sub(2), 1, 3)) / 10.0;

    s.m_regionalTemperature = 0.0;
    if (Take(p.regionalTemperature)) {
        const std::wstring_view group = Sub(1);
        const double regional = ReadNumber(Part(group, 2, 3)) / 10.0;
        s.m_regionalTemperature = CharAt(group, 1) == L'0' ? regional : -regional;
    }
    for (const RegexPattern& group : p.section555Skipped)
        Take(group);

    while (Take(p.regionalCloud)) {
        const std::wstring_view group = Sub(1);
        s.m_cloudLayers.emplace_back(CloudLayerBase(ReadNumber(Part(group, 3, 2))),
                                     static_cast<std::int8_t>(ReadNumber(Part(group, 1, 1))), CCloudLayer::kTypePlain,
                                     -1);
    }

    // 910ff, then up to two 911ff groups, in this order.
    const auto gust = [this] { return static_cast<int>(ToKnots(ReadNumber(Part(Sub(1), 3, 2)))); };
    if (Take(p.gust910))
        s.m_gust910 = gust();
    if (Take(p.gust911))
        s.m_gust911First = gust();
    if (Take(p.gust911))
        s.m_gust911Second = gust();
    Take(p.pic);
    Take(p.bot);
}

const wchar_t* CSynopDecoder::RegexErrorText(Group group, bool headerOnly)
{
    switch (group) {
    case Group::LandHeader:
        return headerOnly ? L"Error: Synop header AAXX out of range" : L"Error: Synop header AAXX Regex-Error";
    case Group::ShipHeader:
        return headerOnly ? L"Error: Synop header BBXX out of range" : L"Error: Synop Visible Regex-Error";
    case Group::MobileHeader:
    case Group::Visibility:
        return L"Error: Synop Visible Regex-Error";
    case Group::Wind:
        return L"Error: Synop Wind Regex-Error";
    case Group::Temperature:
        return L"Error: Synop Temperature Regex-Error";
    case Group::DewPoint:
        return L"Error: Synop Dewpoint Regex-Error";
    case Group::Pressure:
        return L"Error: Synop Pressure Regex-Error";
    case Group::Trend:
        return L"Error: Synop Trend Regex-Error";
    case Group::Precipitation:
        return L"Error: Synop Preception Regex-Error";
    case Group::Weather:
        return L"Error: Synop Weather Regex-Error";
    case Group::CloudType:
        return L"Error: Synop Cloud type Regex-Error";
    case Group::Sea:
        return L"Error: Synop Surface of Sea Regex-Error";
    case Group::CloudLayer:
        return L"Error: Synop Cloud layer Regex-Error";
    case Group::Section333:
        return L"Error: Synop Section 333 Regex-Error";
    case Group::Section444:
        return L"Error: Synop Section 444 Regex-Error";
    case Group::Section555:
        return L"Error: Synop Section 555 Regex-Error";
    }
    return L"Error: Synop Regex-Error";
}

const wchar_t* CSynopDecoder::RangeErrorText(Group group, bool headerOnly)
{
    switch (group) {
    case Group::LandHeader:
        return headerOnly ? L"Error: Synop header AAXX out of range" : L"Error: Synop header AAXX Deocde out of range";
    case Group::ShipHeader:
        return headerOnly ? L"Error: Synop header BBXX out of range" : L"Error: Synop header BBXX Decode out of range";
    case Group::MobileHeader:
        return L"Error: Synop header OOXX Decode out of range";
    case Group::Visibility:
        return L"Error: Synop Visible out of range";
    case Group::Wind:
        return L"Error: Synop Wind - out of range";
    case Group::Temperature:
        return L"Error: Synop Temperature - out of range";
    case Group::DewPoint:
        return L"Error: Synop Dewpoint - out of range";
    case Group::Pressure:
        return L"Error: Synop Pressure - out of range";
    case Group::Trend:
        return L"Error: Synop Trend - out of range";
    case Group::Precipitation:
        return L"Error: Synop Preception - out of range";
    case Group::Weather:
        return L"Error: Synop Weather - out of range";
    case Group::CloudType:
        return L"Error: Synop Cloud Type - out of range";
    case Group::Sea:
        return L"Error: Synop Surface of Sea- out of range";
    case Group::CloudLayer:
        return L"Error: Synop Cloud layer - out of range";
    case Group::Section333:
        return L"Error: Synop Section 333 - out of range";
    case Group::Section444:
        return L"Error: Synop Section 444 - out of range";
    case Group::Section555:
        return L"Error: Synop Section 555 - out of range";
    }
    return L"Error: Synop - out of range";
}

} // namespace weather
} // namespace aviation
