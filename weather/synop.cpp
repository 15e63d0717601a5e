#include "weather/synop.h"

#include "weather/metar.h"
#include "weather/synopdecoder.h"
#include "weather/wideformat.h"

#include <cmath>
#include <cwchar>

namespace aviation {
namespace weather {

namespace {

// "12/" or "M01/" style: the value rounded to whole degrees, "M" for below zero. A minus zero (a group such
// as 11000) is written as 00, not as "-0", which no METAR reader takes.
std::wstring TemperatureText(double celsius, const wchar_t* after)
{
    if (celsius < 0.0)
        return FormatWide(L"M%02.0f%ls", std::fabs(celsius), after);
    return FormatWide(L"%02.0f%ls", celsius == 0.0 ? 0.0 : celsius, after);
}

} // namespace

CSynop::CSynop(const std::wstring& text)
    : m_raw(text)
{
    DecodeHeader();
}

void CSynop::Reset()
{
    m_temperature = 15.0;
    m_dewPoint = 5.0;
    m_humidity = 0.0;
    m_regionalTemperature = 0.0;
    m_regionalValue = 0.0;
    m_precipitationIndicator = 3;
    m_visibility = kNotReportedVisibility;
    m_seaLevelPressure = 1013.2f;
    m_stationPressure = 1013.2f;
    m_gust910 = 0;
    m_gust911First = 0;
    m_gust911Second = 0;
    m_lowCloudType = 0;
    m_middleCloudType = 0;
    m_highCloudType = 0;
    m_hasCloudBase = true;
    m_hasWind = true;
    m_hasVisibility = true;
    m_shipDirection = 0;
    m_shipSpeed = 0;
    m_errorText.clear();
}

int CSynop::Decode()
{
    CSynopDecoder decoder(*this);
    return decoder.Decode();
}

int CSynop::DecodeHeader()
{
    CSynopDecoder decoder(*this);
    return decoder.DecodeHeader();
}

std::wstring CSynop::GetErrorText(int code)
{
    switch (code) {
    case kNoError:
        return L"No Synop Error";
    case kRegexError:
        return L"Synop Regex Error";
    case kStationError:
        return L"Synop Station Error";
    case kClimateError:
        return L"Synop Climate Error";
    case kNotFound:
        return L"Synop not found";
    default:
        return L"Unknow Synop Error";
    }
}

int CSynop::ToMetar(CMetar& target)
{
    const std::wstring icao = target.GetICAO();
    std::wstring line = icao.empty() ? L"SYME " : icao + L" ";
    line += L"000000Z ";

    // A report without a decoded wind still gets a wind group the METAR decoder reads (as calm), so the
    // groups after it are not lost.
    if (m_wind.direction < 0.0 || m_wind.speed < 0.0)
        line += L"/////KT ";
    else if (m_gust910 > 0)
        line += FormatWide(L"%03.0f%02.0fG%02iKT ", m_wind.direction, m_wind.speed, m_gust910);
    else
        line += FormatWide(L"%03.0f%02.0fKT ", m_wind.direction, m_wind.speed);

    if (m_visibility > 9999)
        line += FormatWide(L"%iKM ", m_visibility / 1000);
    else
        line += FormatWide(L"%04i ", m_visibility);

    // A report without cloud-layer groups is written with its lowest cloud.
    if (m_cloudLayers.empty() && m_lowestCloud.GetCoverage() > 0)
        line += m_lowestCloud.GetMetarGroup() + L" ";
    for (const CCloudLayer& layer : m_cloudLayers)
        line += layer.GetMetarGroup() + L" ";

    line += TemperatureText(m_temperature, L"/");
    line += TemperatureText(m_dewPoint, L" ");
    line += FormatWide(L"Q%04.0f ", static_cast<double>(m_seaLevelPressure));

    CMetar metar;
    metar.SetRaw(line);
    const int code = metar.Decode();
    metar.SetICAO(icao);
    metar.SetPosition(target.GetPosition());
    metar.SetCountry(target.GetCountry());
    target = metar;
    return code;
}

} // namespace weather
} // namespace aviation
