#include "weather/metar.h"

#include "weather/metardecoder.h"
#include "weather/wideformat.h"

#include <cmath>

namespace aviation {
namespace weather {

namespace {

const wchar_t* CoverageWord(int oktas)
{
    switch (oktas) {
    case 0:
        return L"Sky Clear";
    case 1:
    case 2:
        return L"Few";
    case 3:
    case 4:
        return L"Scattered";
    case 5:
    case 6:
    case 7:
        return L"Broken";
    case 8:
        return L"Overcast";
    default:
        return L"";
    }
}

} // namespace

CMetar::CMetar() = default;

CMetar::CMetar(const std::wstring& raw)
    : m_raw(raw)
    , m_originalRaw(raw)
{
    SetICAO(raw.substr(0, 4));
}

int CMetar::Decode()
{
    m_decoded = true;
    return CMetarDecoder::Decode(*this);
}

std::wstring CMetar::GetErrorText(int code)
{
    switch (code) {
    case 0:
        return L"No Metar Error";
    case 2:
        return L"Regex Metar Error";
    case 3:
        return L"Out Of Range";
    case 4:
        return L"Error, No Metar Raw";
    case 5:
        return L"Wind Metar Error";
    case 6:
        return L"VIS Metar Error";
    case 7:
        return L"Cloud Metar Error";
    case 8:
        return L"Temp/Dew Metar Error";
    case 9:
        return L"QNH Metar Error";
    default:
        return L"Unknow Metar Error";
    }
}

std::wstring CMetar::GetErrorTexts(int code) const
{
    constexpr int kWindError = 5;
    if (m_hasWind || code == kWindError)
        return GetErrorText(code);
    return GetErrorText(kWindError) + L", " + GetErrorText(code);
}

std::wstring CMetar::GetTimeGroup() const
{
    return m_timeGroup[0] ? std::wstring(m_timeGroup) : std::wstring(L"000000");
}

int CMetar::GetVariableWindRange() const
{
    return static_cast<int>(std::fabs(aviation::DirectionDifference(m_variableFrom, m_variableTo).direction));
}

double CMetar::GetQNH(bool hectopascal) const
{
    return hectopascal ? m_qnh : m_qnh / kHpaPerHundredthInch;
}

std::wstring CMetar::GetInfoText(int visibility) const
{
    std::wstring text = L"ICAO: " + GetICAOString() + L"\n";
    text += L"Name: " + GetName() + L"\n";
    text += L"Country: " + GetCountry() + L"\n";
    text += FormatWide(L"Position: %.02f\u00b0, %.02f\u00b0\n", GetPosition().GetLatitude(),
                       GetPosition().GetLongitude());
    text += FormatWide(L"Elevation: %ift\n", GetElevation());
    if (m_raw.empty())
        return text;

    text += L"Time: " + GetTimeGroup() + L"\n";
    if (m_wind.gust == 0.0)
        text += FormatWide(L"Wind: %03.0f\u00b0/%.0fkt\n", m_wind.direction, m_wind.speed);
    else
        text += FormatWide(L"Wind: %03.0f\u00b0/%.0fkt Gust %.0fkt\n", m_wind.direction, m_wind.speed, m_wind.gust);
    text += FormatWide(L"Visibility: %im\n", visibility != 0 ? visibility : m_visibility);
    if (!m_rvr.empty())
        text += L"RVR: " + m_rvr + L"\n";
    if (!m_weather.empty())
        text += L"Weather phenomena: " + m_weather + L"\n";
    for (const CCloudLayer& layer : m_clouds)
        text += std::wstring(L"Clouds: ") + CoverageWord(layer.GetCoverage())
            + FormatWide(L" at %ift\n", layer.GetBase());
    text += FormatWide(L"Temperature/Dewpoint: %i\u00b0/%i\u00b0\n", m_temperature, m_dewPoint);
    const float inches = m_qnh / static_cast<float>(kHpaPerHundredthInch) / 100.0f;
    text += FormatWide(L"QNH: %i hpa/%.02f Inch\n", static_cast<int>(m_qnh), static_cast<double>(inches));
    if (m_distance != 0.0)
        text += FormatWide(L"Distance: %.01fNM", m_distance);
    return text;
}

} // namespace weather
} // namespace aviation
