#include "tests/weather/referencemetardecoder.h"

#include "weather/stationtime.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <regex>
#include <stdexcept>

namespace aviation {
namespace weather {

namespace {

// Longest part of a report that is decoded.
const std::size_t kWorkingLimit = 1000;

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (const wchar_t c : text)
        out.push_back(c >= 32 && c < 127 ? static_cast<char>(c) : '?');
    return out;
}

void TrimBoth(std::wstring& text)
{
    std::size_t begin = 0;
    while (begin < text.size() && std::iswspace(static_cast<std::wint_t>(text[begin])))
        ++begin;
    std::size_t end = text.size();
    while (end > begin && std::iswspace(static_cast<std::wint_t>(text[end - 1])))
        --end;
    text = text.substr(begin, end - begin);
}

double ToDouble(const std::wstring& text)
{
    return std::wcstod(text.c_str(), nullptr);
}

int ToInt(const std::wstring& text)
{
    return static_cast<int>(std::wcstol(text.c_str(), nullptr, 10));
}

bool Search(std::wstring& text, std::wsmatch& match, const std::wregex& pattern, std::size_t groups)
{
    if (!std::regex_search(text, match, pattern))
        return false;
    if (match.size() != groups)
        throw std::regex_error(std::regex_constants::error_complexity);
    return true;
}

void Cut(std::wstring& text, std::size_t length)
{
    text.erase(0, length);
    TrimBoth(text);
}

struct StageError
{
    const wchar_t* regex;
    const wchar_t* range;
};

class ReferenceRun
{
public:
    ReferenceRun(const std::wstring& raw, MetarValues& values)
        : m_text(raw.substr(0, kWorkingLimit))
        , m_values(values)
    {
    }

    int Run();

private:
    template<typename Stage> bool Guard(const StageError& texts, Stage stage, int& code)
    {
        try {
            return stage();
        } catch (const std::out_of_range&) {
            m_values.decodeError = texts.range;
            code = 3;
        } catch (const std::regex_error&) {
            m_values.decodeError = texts.regex;
            code = 2;
        }
        return false;
    }

    std::wstring m_text;
    MetarValues& m_values;
    std::wsmatch m_match;
    int m_result = 0;
};

int ReferenceRun::Run()
{
    std::wsmatch& m = m_match;
    MetarValues& v = m_values;
    v.clouds.clear();
    if (m_text.size() < 10)
        return 4;
    int code = 0;

    static const std::wregex station(L"^([A-Z0-9]{4}) ([0-9]{6}Z)");
    const auto stationStage = [&] {
        if (Search(m_text, m, station, 3)) {
            if (v.icao.empty())
                v.icao = m.str(1);
            v.timeGroup = m.str(2).substr(0, 6);
            StationTime time;
            time.SetTime(v.time);
            time.SetTime(ToInt(v.timeGroup.substr(0, 2)), ToInt(v.timeGroup.substr(2, 2)),
                         ToInt(v.timeGroup.substr(4, 2)));
            v.time = time.GetTime();
            Cut(m_text, m.length(0));
        }
        return true;
    };
    if (!Guard({L"Error: Metar ICAO Regex-Error", L"Error: Metar ICAO - out of range"}, stationStage, code))
        return code;

    static const std::wregex correction(L"^(COR|CC[A-Z])( |$)");
    if (std::regex_search(m_text, m, correction))
        Cut(m_text, m.length(0));
    static const std::wregex autoGroup(L"^(AUTO)");
    if (std::regex_search(m_text, m, autoGroup)) {
        v.autoStation = true;
        Cut(m_text, m.length(0));
    }
    if (std::regex_search(m_text, m, correction))
        Cut(m_text, m.length(0));
    static const std::wregex rtd(L"^(RTD)");
    if (std::regex_search(m_text, m, rtd))
        Cut(m_text, m.length(0));

    const double mps = 0.5144444;
    static const std::wregex winds[] = {std::wregex(L"^([0-9/]{3})([0-9/]{2})KT"),
                                        std::wregex(L"^([0-9]{3})([0-9]{2})G([0-9]{2})KT"),
                                        std::wregex(L"^([0-9]{3})([0-9]{2})MPS"),
                                        std::wregex(L"^([0-9]{3})([0-9]{2})G([0-9]{2})MPS"),
                                        std::wregex(L"^VRB([0-9]{2})KT"),
                                        std::wregex(L"^VRB([0-9]{2})MPS"),
                                        std::wregex(L"^VRB([0-9]{2})G([0-9]{2}KT)"),
                                        std::wregex(L"^VRB([0-9]{2})G([0-9]{2}MPS)")};
    static const std::size_t windGroups[] = {3, 4, 3, 4, 2, 2, 3, 3};
    const auto windStage = [&] {
        for (int i = 0; i < 8; ++i) {
            if (!Search(m_text, m, winds[i], windGroups[i]))
                continue;
            if (i == 0 && m.str(0).find(L'/') != std::wstring::npos)
                break;
            v.hasWind = true;
            switch (i) {
            case 0:
                v.windDirection = ToDouble(m.str(1));
                v.windSpeed = ToDouble(m.str(2));
                v.windGust = 0;
                break;
            case 1:
                v.windDirection = ToDouble(m.str(1));
                v.windSpeed = ToDouble(m.str(2));
                v.windGust = ToDouble(m.str(3));
                break;
            case 2:
                v.windDirection = ToDouble(m.str(1));
                v.windSpeed = ToDouble(m.str(2)) / mps;
                v.windGust = 0;
                break;
            case 3:
                v.windDirection = ToDouble(m.str(1));
                v.windSpeed = ToDouble(m.str(2)) / mps;
                v.windGust = ToDouble(m.str(3)) / mps;
                break;
            case 4:
                v.windDirection = 0;
                v.windSpeed = ToDouble(m.str(1));
                v.windGust = 0;
                break;
            case 5:
                v.windDirection = 0;
                v.windSpeed = ToDouble(m.str(1)) / mps;
                v.windGust = 0;
                break;
            case 6:
                v.windDirection = 0;
                v.windSpeed = ToDouble(m.str(1));
                v.windGust = ToDouble(m.str(2));
                break;
            default:
                v.windDirection = 0;
                v.windSpeed = ToDouble(m.str(1)) / mps;
                v.windGust = ToDouble(m.str(2)) / mps;
                break;
            }
            Cut(m_text, m.length(0));
            return true;
        }
        static const std::wregex slashes(L"^[0-9/]{5}KT");
        static const std::wregex unreadable(L"^(/{5}|M|[0-9A-Z/]+(KT|MPS)|[0-9]{5}(G[0-9]{2})?( (KT|MPS))?)( |$)");
        if (std::regex_search(m_text, m, slashes) || std::regex_search(m_text, m, unreadable))
            Cut(m_text, m.length(0));
        v.hasWind = false;
        m_result = 5;
        return true;
    };
    if (!Guard({L"Error: Metar Wind Regex-Error", L"Error: Metar Wind - out of range"}, windStage, code))
        return code;

    static const std::wregex variable(L"^([0-9]{3})V([0-9]{3})");
    const auto variableStage = [&] {
        if (Search(m_text, m, variable, 3)) {
            v.variableFrom = static_cast<std::int16_t>(ToInt(m.str(1)));
            v.variableTo = static_cast<std::int16_t>(ToInt(m.str(2)));
            Cut(m_text, m.length(0));
        }
        return true;
    };
    if (!Guard({L"Error: Metar Wind variableRegex-Error", L"Error: Metar Wind variable - out of range"}, variableStage,
               code))
        return code;

    static const std::wregex cavok(L"^(CAVOK)");
    static const std::wregex visibilities[] = {std::wregex(L"^M?([0-9]{1})/([0-9]{2})SM"),
                                               std::wregex(L"^([0-9]{1}) ([0-9]{1})/([0-9]{1})SM"),
                                               std::wregex(L"^M?([0-9]{1})/([0-9]{1})SM"),
                                               std::wregex(L"^([0-9]{2}SM)"),
                                               std::wregex(L"^([0-9]{1}SM)"),
                                               std::wregex(L"^([0-9]{1,2}KM)"),
                                               std::wregex(L"^(([0-9]{4})|([/]{4}(SM)?))((NDV)|([NESW]{0,2}))*"),
                                               std::wregex(L"^([P]{1})([0-9]{4})"),
                                               std::wregex(L"^([0-9]{1,2}) SM")};
    static const std::size_t visibilityGroups[] = {3, 4, 3, 2, 2, 2, 8, 3, 2};
    const auto visibilityStage = [&] {
        if (m_text.compare(0, 14, L"//// // //////") == 0) {
            Cut(m_text, 14);
            m_result = 6;
        }
        if (Search(m_text, m, cavok, 2)) {
            v.cavok = true;
            v.visibility = 9999;
            Cut(m_text, m.length(0));
            return true;
        }
        for (int i = 0; i < 9; ++i) {
            if (!Search(m_text, m, visibilities[i], visibilityGroups[i]))
                continue;
            bool zeroDenominator = false;
            switch (i) {
            case 0:
            case 2:
                zeroDenominator = ToInt(m.str(2)) == 0;
                if (!zeroDenominator)
                    v.visibility = static_cast<int>(ToDouble(m.str(1)) / ToDouble(m.str(2)) * 1609.0);
                break;
            case 1:
                zeroDenominator = ToInt(m.str(3)) == 0;
                if (!zeroDenominator)
                    v.visibility = static_cast<int>(ToDouble(m.str(1)) * 1609.0)
                        + static_cast<int>(ToDouble(m.str(2)) / ToDouble(m.str(3)) * 1609.0);
                break;
            case 3:
                v.visibility = ToInt(m.str(1)) * 1609;
                if (m.str(1).rfind(L"10", 0) == 0)
                    v.visibility = 9999;
                break;
            case 4:
                v.visibility = ToInt(m.str(1)) * 1609;
                break;
            case 5:
                v.visibility = ToInt(m.str(1)) * 1000;
                break;
            case 6:
                v.visibility = m.str(1).find(L"////") != std::wstring::npos ? 9999 : ToInt(m.str(1));
                break;
            case 7:
                v.visibility = ToInt(m.str(2));
                break;
            default:
                v.visibility = m.str(1) == L"10" ? 9999 : ToInt(m.str(1)) * 1609;
                break;
            }
            if (zeroDenominator) {
                v.visibility = 9999;
                m_result = 6;
            }
            std::size_t length = static_cast<std::size_t>(m.length(0));
            if (i == 6)
                length = std::min(m_text.find_first_of(L" \t\n\v\f\r", length), m_text.size());
            Cut(m_text, length);
            return true;
        }
        v.visibility = 9999;
        m_result = 6;
        return true;
    };
    if (!Guard({L"Error: Metar Visibility Regex-Error", L"Error: Metar Visibility - out of range"}, visibilityStage,
               code))
        return code;

    TrimBoth(m_text);
    static const std::wregex extraVisibility(L"^([0-9]{4}[NESW/]{0,2})");
    while (std::regex_search(m_text, m, extraVisibility))
        Cut(m_text, m.length(0));

    static const std::wregex runway(L"^((R[0-9/]{2}[LR/]*/[VMPUDN/]*[0-9/]{3,4}[VUDNPM/]*[0-9]*[VUDNPMFT/]*)|"
                                    L"(R[0-9/]{2}[LR/]*/[/VMPUDN]*))");
    const auto runwayStage = [&] {
        v.rvr.clear();
        while (std::regex_search(m_text, m, runway)) {
            v.rvr += m.str(0) + L" ";
            Cut(m_text, m.length(0));
        }
        return true;
    };
    if (!Guard({L"Error: Metar Runway Regex-Error", L"Error: Metar Runway - out of range"}, runwayStage, code))
        return code;

    if (m_text.size() < 5)
        return 1;

    static const std::wregex weather(L"^(([-+]*[A-Z]{4} )|([-+]*[A-Z]{2} )|([-+]*[A-Z]{6} ?)|(NSC)|(NCD))");
    static const std::wregex notObserved(L"^(/{2,4} |M( |$))");
    const auto weatherStage = [&] {
        v.intensity = 2;
        if (m_text.compare(0, 9, L"// //////") == 0) {
            Cut(m_text, 9);
            m_result = 7;
        }
        v.weather.clear();
        while (true) {
            if (std::regex_search(m_text, m, notObserved)) {
                m_text.erase(0, m.length(0));
                continue;
            }
            if (!std::regex_search(m_text, m, weather))
                break;
            std::wstring group = m.str(0);
            if (group.find(L"NSC") != std::wstring::npos) {
                v.nsc = true;
                v.clouds.push_back({5000, 3, 0, v.elevation + 2000});
            }
            if (group.at(0) == L'-') {
                v.intensity = 1;
                group.erase(0, 1);
            } else if (group.at(0) == L'+') {
                v.intensity = 3;
                group.erase(0, 1);
            }
            v.weather += group;
            m_text.erase(0, m.length(0));
        }
        TrimBoth(m_text);
        return true;
    };
    if (!Guard({L"Error: Metar Weather phenomena Regex-Error", L"Error: Metar Weather phenomena - out of range"},
               weatherStage, code))
        return code;

    static const std::wregex cloud(
        L"^(([A-Z/]{3}[0-9/]{3}[/]{3})|^([A-Z/]{3}[0-9/]{3}[A-Z/]{3})|^([A-Z/]{3}[0-9/]{3}[A-Z/]{2})|"
        L"^([/]{3}[A-Z/]{3})|^([/]{3}[A-Z/]{2})|^([A-Z/]{3}[0-9/]{3}))|(^(CLR)|^(SKC)|^(NSC)|^(VV[0-9/]{3}))");
    static const std::wregex unreadableCloud(L"^([A-Z]{3}[0-9O]{2,5}|[A-Z]{1,2}[0-9O]{3})(CB|TCU)?( |$)");
    const auto cloudStage = [&] {
        while (true) {
            if (!std::regex_search(m_text, m, cloud)) {
                if (!std::regex_search(m_text, m, unreadableCloud))
                    break;
                Cut(m_text, m.length(0));
                m_result = 7;
                continue;
            }
            const std::wstring group = m.str(0);
            m_text.erase(0, m.length(0));
            int coverage = 0;
            if (group.find(L"FEW") != std::wstring::npos)
                coverage = 2;
            else if (group.find(L"SCT") != std::wstring::npos)
                coverage = 4;
            else if (group.find(L"BKN") != std::wstring::npos)
                coverage = 7;
            else if (group.find(L"OVC") != std::wstring::npos)
                coverage = 8;
            else if (group.find(L"VV") != std::wstring::npos)
                coverage = 8;
            int base = 0;
            if (group.size() >= 6) {
                base = ToInt(group.substr(3, 3)) * 100;
                if (group.substr(3, 3).find(L"///") != std::wstring::npos && base == 0)
                    base = 100;
            }
            int type = 0;
            if (group.find(L"TCU") != std::wstring::npos)
                type = 11;
            if (group.find(L"CB") != std::wstring::npos)
                type = 10;
            if (coverage > 0)
                v.clouds.push_back({base, coverage, type, v.elevation + base});
            TrimBoth(m_text);
        }
        return true;
    };
    if (!Guard({L"Error: Metar Cloud Regex-Error", L"Error: Metar Cloud - out of range"}, cloudStage, code))
        return code;

    static const std::wregex temperatures[]
        = {std::wregex(L"^M([0-9/]{2})/M([0-9/]{2})"), std::wregex(L"^([0-9/]{2})/M([0-9/]{2})"),
           std::wregex(L"^([0-9/]{2})/([0-9/]{2})"),   std::wregex(L"^M([0-9/]{2})/ "),
           std::wregex(L"^M([0-9]{2})/([0-9]{2})"),    std::wregex(L"^([0-9]{2})/ ")};
    static const std::size_t temperatureGroups[] = {3, 3, 3, 2, 3, 2};
    const auto temperatureStage = [&] {
        int found = -1;
        for (int i = 0; i < 6 && found < 0; ++i) {
            if (Search(m_text, m, temperatures[i], temperatureGroups[i]))
                found = i;
        }
        switch (found) {
        case 0:
            v.temperature = -ToInt(m.str(1));
            v.dewPoint = -ToInt(m.str(2));
            break;
        case 1:
            v.temperature = ToInt(m.str(1));
            v.dewPoint = -ToInt(m.str(2));
            break;
        case 2:
            v.temperature = ToInt(m.str(1));
            v.dewPoint = ToInt(m.str(2));
            break;
        case 3:
            v.temperature = -ToInt(m.str(1));
            v.dewPoint = v.temperature - 3;
            break;
        case 4:
            v.temperature = -ToInt(m.str(1));
            v.dewPoint = ToInt(m.str(2));
            break;
        case 5:
            v.temperature = ToInt(m.str(1));
            v.dewPoint = v.temperature - 3;
            break;
        default:
            m_result = 8;
            break;
        }
        static const std::wregex missing(L"^M( |$)");
        if (found >= 0 || std::regex_search(m_text, m, missing))
            Cut(m_text, m.length(0));
        const double elevation = v.elevation;
        v.temperatureMsl = static_cast<int>(elevation / 100.0 * 0.2 + v.temperature);
        v.dewPointMsl = static_cast<int>(elevation / 100.0 * 0.2 + v.dewPoint);
        TrimBoth(m_text);
        return true;
    };
    if (!Guard({L"Error: Metar Temp/Dew Regex-Error", L"Error: Metar Temp/Dew - out of range"}, temperatureStage, code))
        return code;

    static const std::wregex hpa(L"^Q([0-9]{4})");
    static const std::wregex inches(L"^A([0-9]{4})");
    const auto pressureStage = [&] {
        float qnh = 0.0f;
        if (Search(m_text, m, hpa, 2)) {
            qnh = static_cast<float>(ToInt(m.str(1)));
            Cut(m_text, m.length(0));
        } else if (Search(m_text, m, inches, 2)) {
            qnh = static_cast<float>(ToInt(m.str(1))) * 0.33864316f;
            Cut(m_text, m.length(0));
            if (qnh < 100.0f)
                qnh += 1000.0f;
        } else {
            m_result = 9;
            TrimBoth(m_text);
            return true;
        }
        if (qnh < 800.0f || qnh > 1300.0f) {
            qnh = 1013.0f;
            m_result = 9;
        }
        v.qnh = qnh;
        TrimBoth(m_text);
        return true;
    };
    if (!Guard({L"Error: Metar Pressure Regex-Error", L"Error: Metar Pressure - out of range"}, pressureStage, code))
        return code;

    static const std::wregex runwayAfter(L"^(R[0-9]{2}[LR]*/[VMPUDN]*[0-9]{4}[VUDNPM]*[0-9]*[VUDNPM]*)");
    v.runwayAfterPressure.clear();
    while (std::regex_search(m_text, m, runwayAfter)) {
        v.runwayAfterPressure += m.str(0) + L" ";
        Cut(m_text, m.length(0));
    }
    return m_result;
}

} // namespace

bool MetarValues::Layer::operator==(const Layer& other) const
{
    return base == other.base && coverage == other.coverage && type == other.type && baseMsl == other.baseMsl;
}

MetarValues MetarValues::Of(const CMetar& metar)
{
    MetarValues values;
    values.icao = metar.GetICAOString();
    values.elevation = metar.GetElevation();
    values.timeGroup = metar.GetTimeGroup();
    values.time = metar.GetTime();
    values.windDirection = metar.GetWind().direction;
    values.windSpeed = metar.GetWind().speed;
    values.windGust = metar.GetWind().gust;
    values.hasWind = metar.HasWind();
    values.variableFrom = metar.GetVariableWindFrom();
    values.variableTo = metar.GetVariableWindTo();
    values.visibility = metar.GetVisibility();
    values.rvr = metar.GetRVR();
    values.runwayAfterPressure = metar.GetRunwayAfterPressure();
    values.weather = metar.GetWeather();
    values.intensity = metar.GetWeatherIntensity();
    for (const CCloudLayer& layer : metar.GetCloudLayers())
        values.clouds.push_back({layer.GetBase(), layer.GetCoverage(), layer.GetType(), layer.GetBaseMSL()});
    values.temperature = metar.GetTemperature();
    values.temperatureMsl = metar.GetTemperatureMSL();
    values.dewPoint = metar.GetDewPoint();
    values.dewPointMsl = metar.GetDewPointMSL();
    values.qnh = metar.GetQNH(true);
    values.cavok = metar.IsCAVOK();
    values.autoStation = metar.IsAUTO();
    values.nsc = metar.IsNSC();
    values.decodeError = metar.GetDecodeErrorText();
    return values;
}

bool MetarValues::operator==(const MetarValues& o) const
{
    return icao == o.icao && elevation == o.elevation && timeGroup == o.timeGroup && time == o.time
        && windDirection == o.windDirection && windSpeed == o.windSpeed && windGust == o.windGust
        && hasWind == o.hasWind && variableFrom == o.variableFrom && variableTo == o.variableTo
        && visibility == o.visibility && rvr == o.rvr && runwayAfterPressure == o.runwayAfterPressure
        && weather == o.weather && intensity == o.intensity && clouds == o.clouds && temperature == o.temperature
        && temperatureMsl == o.temperatureMsl && dewPoint == o.dewPoint && dewPointMsl == o.dewPointMsl && qnh == o.qnh
        && cavok == o.cavok && autoStation == o.autoStation && nsc == o.nsc && decodeError == o.decodeError;
}

std::ostream& operator<<(std::ostream& out, const MetarValues& v)
{
    out << "icao=" << Narrow(v.icao) << " time=" << Narrow(v.timeGroup) << "/" << v.time << " wind=" << v.windDirection
        << "/" << v.windSpeed << "G" << v.windGust << (v.hasWind ? "" : " none") << " var=" << v.variableFrom << "V"
        << v.variableTo << " vis=" << v.visibility << " rvr='" << Narrow(v.rvr) << "' after='"
        << Narrow(v.runwayAfterPressure) << "' wx='" << Narrow(v.weather) << "' int=" << v.intensity << " clouds=";
    for (const MetarValues::Layer& layer : v.clouds)
        out << "[" << layer.base << "," << layer.coverage << "," << layer.type << "," << layer.baseMsl << "]";
    out << " t=" << v.temperature << "/" << v.dewPoint << " msl=" << v.temperatureMsl << "/" << v.dewPointMsl
        << " qnh=" << v.qnh << " cavok=" << v.cavok << " auto=" << v.autoStation << " nsc=" << v.nsc << " err='"
        << Narrow(v.decodeError) << "'";
    return out;
}

int ReferenceDecodeMetar(const std::wstring& raw, MetarValues& values)
{
    return ReferenceRun(raw, values).Run();
}

} // namespace weather
} // namespace aviation
