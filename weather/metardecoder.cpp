#include "weather/metardecoder.h"

#include "platform/debugoutput.h"
#include "weather/metar.h"
#include "weather/regexpattern.h"

#include <cwctype>
#include <stdexcept>
#include <string_view>

namespace aviation {
namespace weather {

namespace {

constexpr double kKnotsPerMps = 0.5144444;
constexpr int kMetresPerMile = 1609;

// Codes of CMetar::GetErrorText.
constexpr int kNoError = 0;
constexpr int kTooShortAfterRunway = 1;
constexpr int kRegexError = 2;
constexpr int kOutOfRange = 3;
constexpr int kNoRaw = 4;
constexpr int kWindError = 5;
constexpr int kVisibilityError = 6;
constexpr int kCloudError = 7;
constexpr int kTempDewError = 8;
constexpr int kQnhError = 9;
// Marks a stage that lets the run go on.
constexpr int kContinue = -1;

// Every pattern of the decoder, compiled once.
struct Patterns
{
    RegexPattern stationTime{L"^([A-Z0-9]{4}) ([0-9]{6}Z)"};
    RegexPattern autoStation{L"^(AUTO)"};
    RegexPattern rtd{L"^(RTD)"};
    RegexPattern windKt{L"^([0-9/]{3})([0-9/]{2})KT"};
    RegexPattern windGustKt{L"^([0-9]{3})([0-9]{2})G([0-9]{2})KT"};
    RegexPattern windMps{L"^([0-9]{3})([0-9]{2})MPS"};
    RegexPattern windGustMps{L"^([0-9]{3})([0-9]{2})G([0-9]{2})MPS"};
    RegexPattern windVrbKt{L"^VRB([0-9]{2})KT"};
    RegexPattern windVrbMps{L"^VRB([0-9]{2})MPS"};
    RegexPattern windVrbGustKt{L"^VRB([0-9]{2})G([0-9]{2}KT)"};
    RegexPattern windVrbGustMps{L"^VRB([0-9]{2})G([0-9]{2}MPS)"};
    RegexPattern variableWind{L"^([0-9]{3})V([0-9]{3})"};
    RegexPattern cavok{L"^(CAVOK)"};
    // The statute-mile and kilometre groups count only at the front of the text, like every other group; a
    // fraction may carry the "less than" sign of automatic stations (M1/4SM), which is read as the fraction.
    RegexPattern visFractionTwoDigits{L"^M?([0-9]{1})/([0-9]{2})SM"};
    RegexPattern visWholeAndFraction{L"^([0-9]{1}) ([0-9]{1})/([0-9]{1})SM"};
    RegexPattern visFraction{L"^M?([0-9]{1})/([0-9]{1})SM"};
    RegexPattern visTwoDigitMiles{L"^([0-9]{2}SM)"};
    RegexPattern visOneDigitMiles{L"^([0-9]{1}SM)"};
    RegexPattern visKilometres{L"^([0-9]{1,2}KM)"};
    RegexPattern visMetres{L"^(([0-9]{4})|([/]{4}))((NDV)|([NESW]{0,2}))*"};
    RegexPattern visAbove{L"^([P]{1})([0-9]{4})"};
    RegexPattern extraVisibility{L"^([0-9]{4}[NESW/]{0,2})"};
    RegexPattern runwayRange{L"^((R[0-9/]{2}[LR/]*/[VMPUDN/]*[0-9/]{3,4}[VUDNPM/]*[0-9]*[VUDNPMFT/]*)|"
                             L"(R[0-9/]{2}[LR/]*/[/VMPUDN]*))"};
    // A six-letter group such as SHRASN takes its trailing blank like the shorter ones.
    RegexPattern weather{L"^(([-+]*[A-Z]{4} )|([-+]*[A-Z]{2} )|([-+]*[A-Z]{6} ?)|(NSC)|(NCD))"};
    RegexPattern cloud{L"^(([A-Z/]{3}[0-9/]{3}[/]{3})|^([A-Z/]{3}[0-9/]{3}[A-Z/]{3})|^([A-Z/]{3}[0-9/]{3}[A-Z/]{2})|"
                       L"^([/]{3}[A-Z/]{3})|^([/]{3}[A-Z/]{2})|^([A-Z/]{3}[0-9/]{3}))|"
                       L"(^(CLR)|^(SKC)|^(NSC)|^(VV[0-9/]{3}))"};
    RegexPattern tempBothMinus{L"^M([0-9/]{2})/M([0-9/]{2})"};
    RegexPattern tempDewMinus{L"^([0-9/]{2})/M([0-9/]{2})"};
    RegexPattern tempBothPlus{L"^([0-9/]{2})/([0-9/]{2})"};
    RegexPattern tempOnlyMinus{L"^M([0-9/]{2})/ "};
    RegexPattern qnhHpa{L"^Q([0-9]{4})"};
    RegexPattern qnhInches{L"^A([0-9]{4})"};
    RegexPattern runwayAfterPressure{L"^(R[0-9]{2}[LR]*/[VMPUDN]*[0-9]{4}[VUDNPM]*[0-9]*[VUDNPM]*)"};
};

const Patterns& GetPatterns()
{
    static const Patterns patterns;
    return patterns;
}

// The diagnostic texts of one guarded stage.
struct StageTexts
{
    const wchar_t* regexError;
    const wchar_t* outOfRange;
};

constexpr StageTexts kIcaoTexts{L"Error: Metar ICAO Regex-Error", L"Error: Metar ICAO - out of range"};
constexpr StageTexts kWindTexts{L"Error: Metar Wind Regex-Error", L"Error: Metar Wind - out of range"};
constexpr StageTexts kVariableTexts{L"Error: Metar Wind variableRegex-Error",
                                    L"Error: Metar Wind variable - out of range"};
constexpr StageTexts kVisibilityTexts{L"Error: Metar Visibility Regex-Error",
                                      L"Error: Metar Visibility - out of range"};
constexpr StageTexts kRunwayTexts{L"Error: Metar Runway Regex-Error", L"Error: Metar Runway - out of range"};
constexpr StageTexts kWeatherTexts{L"Error: Metar Weather phenomena Regex-Error",
                                   L"Error: Metar Weather phenomena - out of range"};
constexpr StageTexts kCloudTexts{L"Error: Metar Cloud Regex-Error", L"Error: Metar Cloud - out of range"};
constexpr StageTexts kTempDewTexts{L"Error: Metar Temp/Dew Regex-Error", L"Error: Metar Temp/Dew - out of range"};
constexpr StageTexts kPressureTexts{L"Error: Metar Pressure Regex-Error", L"Error: Metar Pressure - out of range"};

bool IsBlank(wchar_t c)
{
    if (c < 128)
        return c == L' ' || (c >= L'\t' && c <= L'\r');
    return std::iswspace(static_cast<std::wint_t>(c)) != 0;
}

// The number written by the leading digits of a group ("25KT" reads 25, "///" reads 0).
int LeadingInt(std::wstring_view text)
{
    int value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9')
            break;
        value = value * 10 + (c - L'0');
    }
    return value;
}

bool Contains(std::wstring_view text, std::wstring_view part)
{
    return text.find(part) != std::wstring_view::npos;
}

} // namespace

// One decode: the working text is a view of the record's raw text that shrinks from both ends.
class CMetarDecoder::Run
{
public:
    explicit Run(CMetar& metar)
        : m_metar(metar)
        , m_patterns(GetPatterns())
        , m_text(std::wstring_view(metar.m_raw).substr(0, kMaxWorkingLength))
    {
    }

    int Decode();

private:
    template<typename Stage> int Guarded(const StageTexts& texts, Stage stage);

    bool Find(const RegexPattern& pattern) { return pattern.Search(m_text, Match()); }
    std::wstring_view Group(std::size_t group) const { return Match().View(group); }
    void Consume(std::size_t length);
    void Trim();

    int StationAndTime();
    int Wind();
    int VariableWind();
    int Visibility();
    void ExtraVisibilities();
    int RunwayVisualRange();
    int Weather();
    int Clouds();
    int TemperatureAndDewPoint();
    int Pressure();
    void RunwayAfterPressure();

    static RegexMatch& Match();

    CMetar& m_metar;
    const Patterns& m_patterns;
    std::wstring_view m_text;
    int m_code = kNoError;
};

int CMetarDecoder::Decode(CMetar& metar)
{
    return Run(metar).Decode();
}

RegexMatch& CMetarDecoder::Run::Match()
{
    // One set of match data per thread, so a decode allocates nothing for its searches.
    static thread_local RegexMatch match;
    return match;
}

void CMetarDecoder::Run::Consume(std::size_t length)
{
    m_text.remove_prefix(length);
    Trim();
}

void CMetarDecoder::Run::Trim()
{
    while (!m_text.empty() && IsBlank(m_text.front()))
        m_text.remove_prefix(1);
    while (!m_text.empty() && IsBlank(m_text.back()))
        m_text.remove_suffix(1);
}

template<typename Stage> int CMetarDecoder::Run::Guarded(const StageTexts& texts, Stage stage)
{
    try {
        return stage();
    } catch (const std::out_of_range& error) {
        platform::DebugOut(std::string(error.what()) + "\n");
        m_metar.m_decodeError = texts.outOfRange;
        return kOutOfRange;
    } catch (const std::exception& error) {
        platform::DebugOut(std::string(error.what()) + "\n");
        m_metar.m_decodeError = texts.regexError;
        return kRegexError;
    }
}

int CMetarDecoder::Run::Decode()
{
    m_metar.m_clouds.clear();
    if (m_text.size() < 10)
        return kNoRaw;

    int result = Guarded(kIcaoTexts, [this] { return StationAndTime(); });
    if (result != kContinue)
        return result;
    if (Find(m_patterns.autoStation)) {
        m_metar.m_auto = true;
        Consume(Match().Length(0));
    }
    if (Find(m_patterns.rtd))
        Consume(Match().Length(0));

    result = Guarded(kWindTexts, [this] { return Wind(); });
    if (result != kContinue)
        return result;
    result = Guarded(kVariableTexts, [this] { return VariableWind(); });
    if (result != kContinue)
        return result;
    result = Guarded(kVisibilityTexts, [this] { return Visibility(); });
    if (result != kContinue)
        return result;
    ExtraVisibilities();
    result = Guarded(kRunwayTexts, [this] { return RunwayVisualRange(); });
    if (result != kContinue)
        return result;
    if (m_text.size() < 5)
        return kTooShortAfterRunway;
    result = Guarded(kWeatherTexts, [this] { return Weather(); });
    if (result != kContinue)
        return result;
    result = Guarded(kCloudTexts, [this] { return Clouds(); });
    if (result != kContinue)
        return result;
    result = Guarded(kTempDewTexts, [this] { return TemperatureAndDewPoint(); });
    if (result != kContinue)
        return result;
    result = Guarded(kPressureTexts, [this] { return Pressure(); });
    if (result != kContinue)
        return result;
    RunwayAfterPressure();
    return m_code;
}

int CMetarDecoder::Run::StationAndTime()
{
    if (!Find(m_patterns.stationTime))
        return kContinue;
    if (m_metar.GetICAO()[0] == L'\0')
        m_metar.SetICAO(std::wstring(Group(1)));
    const std::wstring_view time = Group(2);
    for (std::size_t i = 0; i < 6; ++i)
        m_metar.m_timeGroup[i] = time[i];
    m_metar.m_timeGroup[6] = L'\0';
    m_metar.SetTime(LeadingInt(time.substr(0, 2)), LeadingInt(time.substr(2, 2)), LeadingInt(time.substr(4, 2)));
    Consume(Match().Length(0));
    return kContinue;
}

int CMetarDecoder::Run::Wind()
{
    double direction = 0.0;
    double speed = 0.0;
    double gust = 0.0;
    const Patterns& p = m_patterns;
    if (Find(p.windKt)) {
        direction = LeadingInt(Group(1));
        speed = LeadingInt(Group(2));
    } else if (Find(p.windGustKt)) {
        direction = LeadingInt(Group(1));
        speed = LeadingInt(Group(2));
        gust = LeadingInt(Group(3));
    } else if (Find(p.windMps)) {
        direction = LeadingInt(Group(1));
        speed = LeadingInt(Group(2)) / kKnotsPerMps;
    } else if (Find(p.windGustMps)) {
        direction = LeadingInt(Group(1));
        speed = LeadingInt(Group(2)) / kKnotsPerMps;
        gust = LeadingInt(Group(3)) / kKnotsPerMps;
    } else if (Find(p.windVrbKt)) {
        speed = LeadingInt(Group(1));
    } else if (Find(p.windVrbMps)) {
        speed = LeadingInt(Group(1)) / kKnotsPerMps;
    } else if (Find(p.windVrbGustKt)) {
        speed = LeadingInt(Group(1));
        gust = LeadingInt(Group(2));
    } else if (Find(p.windVrbGustMps)) {
        speed = LeadingInt(Group(1)) / kKnotsPerMps;
        gust = LeadingInt(Group(2)) / kKnotsPerMps;
    } else {
        return kWindError;
    }
    m_metar.m_wind.direction = direction;
    m_metar.m_wind.speed = speed;
    m_metar.m_wind.gust = gust;
    Consume(Match().Length(0));
    return kContinue;
}

int CMetarDecoder::Run::VariableWind()
{
    if (Find(m_patterns.variableWind)) {
        m_metar.m_variableFrom = static_cast<std::int16_t>(LeadingInt(Group(1)));
        m_metar.m_variableTo = static_cast<std::int16_t>(LeadingInt(Group(2)));
        Consume(Match().Length(0));
    }
    return kContinue;
}

int CMetarDecoder::Run::Visibility()
{
    static constexpr std::wstring_view missingGroups = L"//// // //////";
    if (m_text.substr(0, missingGroups.size()) == missingGroups) {
        Consume(missingGroups.size());
        m_code = kVisibilityError;
    }
    const Patterns& p = m_patterns;
    if (Find(p.cavok)) {
        m_metar.m_cavok = true;
        m_metar.m_visibility = 9999;
        Consume(Match().Length(0));
        return kContinue;
    }

    // A fraction of a mile; a zero denominator makes the group unreadable.
    const auto fractionMetres = [](int numerator, int denominator, int& metres) {
        if (denominator == 0)
            return false;
        metres = static_cast<int>(static_cast<double>(numerator) / denominator * kMetresPerMile);
        return true;
    };
    int visibility = 9999;
    bool readable = true;
    if (Find(p.visFractionTwoDigits)) {
        readable = fractionMetres(LeadingInt(Group(1)), LeadingInt(Group(2)), visibility);
    } else if (Find(p.visWholeAndFraction)) {
        int fraction = 0;
        readable = fractionMetres(LeadingInt(Group(2)), LeadingInt(Group(3)), fraction);
        visibility = LeadingInt(Group(1)) * kMetresPerMile + fraction;
    } else if (Find(p.visFraction)) {
        readable = fractionMetres(LeadingInt(Group(1)), LeadingInt(Group(2)), visibility);
    } else if (Find(p.visTwoDigitMiles)) {
        visibility = LeadingInt(Group(1)) * kMetresPerMile;
        if (Group(1).substr(0, 2) == L"10")
            visibility = 9999;
    } else if (Find(p.visOneDigitMiles)) {
        visibility = LeadingInt(Group(1)) * kMetresPerMile;
    } else if (Find(p.visKilometres)) {
        visibility = LeadingInt(Group(1)) * 1000;
    } else if (Find(p.visMetres)) {
        visibility = Contains(Group(1), L"////") ? 9999 : LeadingInt(Group(1));
    } else if (Find(p.visAbove)) {
        visibility = LeadingInt(Group(2));
    } else {
        m_metar.m_visibility = 9999;
        m_code = kVisibilityError;
        return kContinue;
    }
    if (!readable) {
        visibility = 9999;
        m_code = kVisibilityError;
    }
    m_metar.m_visibility = visibility;
    Consume(Match().Length(0));
    return kContinue;
}

void CMetarDecoder::Run::ExtraVisibilities()
{
    Trim();
    while (Find(m_patterns.extraVisibility))
        Consume(Match().Length(0));
}

int CMetarDecoder::Run::RunwayVisualRange()
{
    m_metar.m_rvr.clear();
    while (Find(m_patterns.runwayRange)) {
        m_metar.m_rvr.append(Group(0)).push_back(L' ');
        Consume(Match().Length(0));
    }
    return kContinue;
}

int CMetarDecoder::Run::Weather()
{
    m_metar.m_intensity = 2;
    static constexpr std::wstring_view missingClouds = L"// //////";
    if (m_text.substr(0, missingClouds.size()) == missingClouds) {
        Consume(missingClouds.size());
        m_code = kCloudError;
    }
    m_metar.m_weather.clear();
    while (Find(m_patterns.weather)) {
        std::wstring_view group = Group(0);
        const std::size_t length = group.size();
        if (Contains(group, L"NSC")) {
            m_metar.m_nsc = true;
            m_metar.m_clouds.emplace_back(5000, 3, CCloudLayer::kTypePlain, m_metar.GetElevation() + 2000);
        }
        if (group.front() == L'-') {
            m_metar.m_intensity = 1;
            group.remove_prefix(1);
        } else if (group.front() == L'+') {
            m_metar.m_intensity = 3;
            group.remove_prefix(1);
        }
        m_metar.m_weather.append(group);
        m_text.remove_prefix(length);
    }
    Trim();
    return kContinue;
}

int CMetarDecoder::Run::Clouds()
{
    while (Find(m_patterns.cloud)) {
        const std::wstring_view group = Group(0);
        m_text.remove_prefix(group.size());

        int coverage = 0;
        if (Contains(group, L"FEW"))
            coverage = 2;
        else if (Contains(group, L"SCT"))
            coverage = 4;
        else if (Contains(group, L"BKN"))
            coverage = 7;
        else if (Contains(group, L"OVC"))
            coverage = 8;
        else if (Contains(group, L"VV"))
            coverage = 8;

        int base = 0;
        if (group.size() >= 6) {
            const std::wstring_view height = group.substr(3, 3);
            base = LeadingInt(height) * 100;
            if (base == 0 && height == L"///")
                base = 100;
        }

        std::uint8_t type = CCloudLayer::kTypePlain;
        if (Contains(group, L"TCU"))
            type = CCloudLayer::kTypeToweringCumulus;
        if (Contains(group, L"CB"))
            type = CCloudLayer::kTypeCumulonimbus;

        if (coverage > 0)
            m_metar.m_clouds.emplace_back(base, static_cast<std::int8_t>(coverage), type,
                                          m_metar.GetElevation() + base);
        Trim();
    }
    return kContinue;
}

int CMetarDecoder::Run::TemperatureAndDewPoint()
{
    const Patterns& p = m_patterns;
    if (Find(p.tempBothMinus)) {
        m_metar.m_temperature = -LeadingInt(Group(1));
        m_metar.m_dewPoint = -LeadingInt(Group(2));
        Consume(Match().Length(0));
    } else if (Find(p.tempDewMinus)) {
        m_metar.m_temperature = LeadingInt(Group(1));
        m_metar.m_dewPoint = -LeadingInt(Group(2));
        Consume(Match().Length(0));
    } else if (Find(p.tempBothPlus)) {
        m_metar.m_temperature = LeadingInt(Group(1));
        m_metar.m_dewPoint = LeadingInt(Group(2));
        Consume(Match().Length(0));
    } else if (Find(p.tempOnlyMinus)) {
        m_metar.m_temperature = -LeadingInt(Group(1));
        m_metar.m_dewPoint = m_metar.m_temperature - 3;
        Consume(Match().Length(0));
    } else {
        m_code = kTempDewError;
    }
    const double elevation = m_metar.GetElevation();
    m_metar.m_temperatureMsl = static_cast<int>(elevation / 100.0 * 0.2 + m_metar.m_temperature);
    m_metar.m_dewPointMsl = static_cast<int>(elevation / 100.0 * 0.2 + m_metar.m_dewPoint);
    Trim();
    return kContinue;
}

int CMetarDecoder::Run::Pressure()
{
    // A garbled pressure group must never reach the simulator, in hPa no more than in inches.
    const auto plausible = [](float qnh) { return qnh >= 800.0f && qnh <= 1300.0f; };
    if (Find(m_patterns.qnhHpa)) {
        m_metar.m_qnh = static_cast<float>(LeadingInt(Group(1)));
        Consume(Match().Length(0));
        if (!plausible(m_metar.m_qnh)) {
            m_metar.m_qnh = 1013.0f;
            m_code = kQnhError;
        }
    } else if (Find(m_patterns.qnhInches)) {
        float qnh = static_cast<float>(LeadingInt(Group(1))) * static_cast<float>(CMetar::kHpaPerHundredthInch);
        Consume(Match().Length(0));
        if (qnh < 100.0f)
            qnh += 1000.0f;
        if (!plausible(qnh)) {
            qnh = 1013.0f;
            m_code = kQnhError;
        }
        m_metar.m_qnh = qnh;
    } else {
        m_code = kQnhError;
    }
    Trim();
    return kContinue;
}

void CMetarDecoder::Run::RunwayAfterPressure()
{
    m_metar.m_runwayAfterPressure.clear();
    while (Find(m_patterns.runwayAfterPressure)) {
        m_metar.m_runwayAfterPressure.append(Group(0)).push_back(L' ');
        Consume(Match().Length(0));
    }
}

} // namespace weather
} // namespace aviation
