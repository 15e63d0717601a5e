#include "weather/metardecoder.h"

#include "platform/debugoutput.h"
#include "weather/metar.h"
#include "weather/regexpattern.h"
#include "weather/textconversion.h"

#include <bitset>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

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

// The characters a match can begin with, written like a class of a pattern ("0-9/": the digits and the slash).
class FirstCharacters
{
public:
    explicit FirstCharacters(std::wstring_view firsts)
    {
        for (std::size_t i = 0; i < firsts.size(); ++i) {
            if (i + 2 < firsts.size() && firsts[i + 1] == L'-') {
                for (wchar_t c = firsts[i]; c <= firsts[i + 2]; ++c)
                    m_set.set(static_cast<std::size_t>(c));
                i += 2;
            } else {
                m_set.set(static_cast<std::size_t>(firsts[i]));
            }
        }
    }

    void Add(const FirstCharacters& other) { m_set |= other.m_set; }

    bool Begins(std::wstring_view text) const
    {
        return !text.empty() && static_cast<std::size_t>(text.front()) < m_set.size()
            && m_set.test(static_cast<std::size_t>(text.front()));
    }

private:
    std::bitset<128> m_set;
};

// A pattern of the decoder, which matches only at the front of the working text, with what every match of it
// holds: the characters it begins with and, for some, a text it holds within its first characters ("KT" within
// the first 7 of 27015KT). A search is run only when the working text has both, which spares most searches that
// cannot match.
class FrontPattern
{
public:
    FrontPattern(const wchar_t* pattern, std::wstring_view firsts, std::wstring_view holds = {}, std::size_t within = 0)
        : m_regex(pattern)
        , m_firsts(firsts)
        , m_holds(holds)
        , m_within(within)
    {
    }

    bool Search(std::wstring_view text, RegexMatch& match) const
    {
        return m_firsts.Begins(text)
            && (m_holds.empty() || text.substr(0, m_within).find(m_holds) != std::wstring_view::npos)
            && m_regex.Search(text, match);
    }

private:
    RegexPattern m_regex;
    FirstCharacters m_firsts;
    std::wstring_view m_holds;
    std::size_t m_within;
};

// Patterns that a stage tries one after the other at the front of the working text; the first that matches is
// the one the stage reads.
class PatternChoice
{
public:
    struct Option
    {
        const wchar_t* pattern;
        const wchar_t* firsts;
        const wchar_t* holds;
        std::size_t within;
    };

    explicit PatternChoice(std::initializer_list<Option> options)
    {
        for (const Option& option : options)
            m_options.push_back(
                std::make_unique<FrontPattern>(option.pattern, option.firsts, option.holds, option.within));
    }

    // The index of the pattern that matched, or -1.
    int Search(std::wstring_view text, RegexMatch& match) const
    {
        for (std::size_t i = 0; i < m_options.size(); ++i)
            if (m_options[i]->Search(text, match))
                return static_cast<int>(i);
        return -1;
    }

private:
    std::vector<std::unique_ptr<FrontPattern>> m_options;
};

// Every pattern of the decoder, compiled once.
struct Patterns
{
    FrontPattern stationTime{L"^([A-Z0-9]{4}) ([0-9]{6}Z)", L"A-Z0-9"};
    FrontPattern autoStation{L"^(AUTO)", L"A"};
    FrontPattern rtd{L"^(RTD)", L"R"};
    // A corrected report names itself after the time group: "COR", or "CC" and the letter of the correction.
    FrontPattern correction{L"^(COR|CC[A-Z])( |$)", L"C"};
    // The wind groups in the order they are tried; the last is a wind group that cannot be read: any other group
    // in knots or metres per second (E20011KT, 220011KT), one without its unit (04014, 14008G15), or the wind of
    // a station whose sensor is out (/////, M).
    PatternChoice wind{{L"^([0-9/]{3})([0-9/]{2})KT", L"0-9/", L"KT", 7},
                       {L"^([0-9]{3})([0-9]{2})G([0-9]{2})KT", L"0-9", L"KT", 10},
                       {L"^([0-9]{3})([0-9]{2})MPS", L"0-9", L"MPS", 8},
                       {L"^([0-9]{3})([0-9]{2})G([0-9]{2})MPS", L"0-9", L"MPS", 11},
                       {L"^VRB([0-9]{2})KT", L"V", L"KT", 7},
                       {L"^VRB([0-9]{2})MPS", L"V", L"MPS", 8},
                       {L"^VRB([0-9]{2})G([0-9]{2}KT)", L"V", L"KT", 10},
                       {L"^VRB([0-9]{2})G([0-9]{2}MPS)", L"V", L"MPS", 11},
                       {L"^(/{5}|M|[0-9A-Z/]+(KT|MPS)|[0-9]{5}(G[0-9]{2})?( (KT|MPS))?)( |$)", L"0-9A-Z/", L"", 0}};
    FrontPattern variableWind{L"^([0-9]{3})V([0-9]{3})", L"0-9", L"V", 4};
    // CAVOK, then the visibility groups in the order they are tried. The statute-mile and kilometre groups count
    // only at the front of the text, like every other group; a fraction may carry the "less than" sign of
    // automatic stations (M1/4SM), which is read as the fraction. A visibility that is not reported may carry the
    // statute-mile unit (////SM), which goes with it. Miles may stand apart from their unit (10 SM).
    PatternChoice visibility{{L"^(CAVOK)", L"C", L"", 0},
                             {L"^M?([0-9]{1})/([0-9]{2})SM", L"M0-9", L"/", 3},
                             {L"^([0-9]{1}) ([0-9]{1})/([0-9]{1})SM", L"0-9", L"/", 4},
                             {L"^M?([0-9]{1})/([0-9]{1})SM", L"M0-9", L"/", 3},
                             {L"^([0-9]{2}SM)", L"0-9", L"SM", 4},
                             {L"^([0-9]{1}SM)", L"0-9", L"SM", 3},
                             {L"^([0-9]{1,2}KM)", L"0-9", L"KM", 4},
                             {L"^(([0-9]{4})|([/]{4}(SM)?))((NDV)|([NESW]{0,2}))*", L"0-9/", L"", 0},
                             {L"^([P]{1})([0-9]{4})", L"P", L"", 0},
                             {L"^([0-9]{1,2}) SM", L"0-9", L" SM", 5}};
    FrontPattern extraVisibility{L"^([0-9]{4}[NESW/]{0,2})", L"0-9"};
    FrontPattern runwayRange{L"^((R[0-9/]{2}[LR/]*/[VMPUDN/]*[0-9/]{3,4}[VUDNPM/]*[0-9]*[VUDNPMFT/]*)|"
                             L"(R[0-9/]{2}[LR/]*/[/VMPUDN]*))",
                             L"R"};
    // A six-letter group such as SHRASN takes its trailing blank like the shorter ones.
    FrontPattern weather{L"^(([-+]*[A-Z]{4} )|([-+]*[A-Z]{2} )|([-+]*[A-Z]{6} ?)|(NSC)|(NCD))", L"-+A-Z"};
    // Present weather that an automatic station cannot observe ("//" to "////"): it holds no weather.
    FrontPattern weatherNotObserved{L"^/{2,4} ", L"/"};
    // A group of an automatic station that reports a value as missing.
    FrontPattern missingValue{L"^M( |$)", L"M"};
    FrontPattern cloud{L"^(([A-Z/]{3}[0-9/]{3}[/]{3})|^([A-Z/]{3}[0-9/]{3}[A-Z/]{3})|^([A-Z/]{3}[0-9/]{3}[A-Z/]{2})|"
                       L"^([/]{3}[A-Z/]{3})|^([/]{3}[A-Z/]{2})|^([A-Z/]{3}[0-9/]{3}))|"
                       L"(^(CLR)|^(SKC)|^(NSC)|^(VV[0-9/]{3}))",
                       L"A-Z/"};
    // A cloud group with a typing error (F020CB, FEWO46, FEW02), which holds no layer that can be trusted.
    FrontPattern unreadableCloud{L"^([A-Z]{3}[0-9O]{2,5}|[A-Z]{1,2}[0-9O]{3})(CB|TCU)?( |$)", L"A-Z"};
    // Temperature and dew point in the order they are tried; the last two are a minus temperature with a dew
    // point of zero or above (M00/00) and a plus temperature without dew point (17/).
    PatternChoice temperature{
        {L"^M([0-9/]{2})/M([0-9/]{2})", L"M", L"/M", 5}, {L"^([0-9/]{2})/M([0-9/]{2})", L"0-9/", L"/M", 4},
        {L"^([0-9/]{2})/([0-9/]{2})", L"0-9/", L"", 0},  {L"^M([0-9/]{2})/ ", L"M", L"/ ", 5},
        {L"^M([0-9]{2})/([0-9]{2})", L"M", L"", 0},      {L"^([0-9]{2})/ ", L"0-9", L"/ ", 4}};
    PatternChoice pressure{{L"^Q([0-9]{4})", L"Q", L"", 0}, {L"^A([0-9]{4})", L"A", L"", 0}};
    FrontPattern runwayAfterPressure{L"^(R[0-9]{2}[LR]*/[VMPUDN]*[0-9]{4}[VUDNPM]*[0-9]*[VUDNPM]*)", L"R"};
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

bool StartsWith(std::wstring_view text, std::wstring_view front)
{
    return text.size() >= front.size() && text.front() == front.front() && text.substr(0, front.size()) == front;
}

// Whether the group holds the literal `part`, whose length is known when compiling.
template<std::size_t N> bool Contains(std::wstring_view text, const wchar_t (&part)[N])
{
    return text.find(part, 0, N - 1) != std::wstring_view::npos;
}

} // namespace

// One decode: the working text is a view of the record's raw text that shrinks from both ends.
class CMetarDecoder::Run
{
public:
    explicit Run(CMetar& metar)
        : m_metar(metar)
        , m_patterns(GetPatterns())
        , m_match(Match())
        , m_text(std::wstring_view(metar.m_raw).substr(0, kMaxWorkingLength))
    {
    }

    int Decode();

private:
    template<typename Stage> int Guarded(const StageTexts& texts, Stage stage);

    bool Find(const FrontPattern& pattern) { return pattern.Search(m_text, m_match); }
    // The index of the pattern of the choice that matches at the front, or -1.
    int Choose(const PatternChoice& choice) { return choice.Search(m_text, m_match); }
    std::wstring_view Group(std::size_t group) const { return m_match.View(group); }
    void Consume(std::size_t length);
    void Trim();
    // The length of the group that begins the working text and holds at least `length` characters.
    std::size_t GroupEnd(std::size_t length) const;

    int StationAndTime();
    void SkipCorrection();
    int Wind();
    int MissingWind(std::size_t groupLength);
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
    RegexMatch& m_match;
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

std::size_t CMetarDecoder::Run::GroupEnd(std::size_t length) const
{
    while (length < m_text.size() && !IsBlank(m_text[length]))
        ++length;
    return length;
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
    SkipCorrection();
    if (Find(m_patterns.autoStation)) {
        m_metar.m_auto = true;
        Consume(m_match.Length(0));
    }
    SkipCorrection();
    if (Find(m_patterns.rtd))
        Consume(m_match.Length(0));

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
    Consume(m_match.Length(0));
    return kContinue;
}

void CMetarDecoder::Run::SkipCorrection()
{
    if (Find(m_patterns.correction))
        Consume(m_match.Length(0));
}

// A report without a readable wind group fails with code 5 and is marked as having no wind (its wind fields keep
// their earlier values and are no observation, least of all calm), but the groups after it are still read; a wind
// group that cannot be read is passed over, so that it is not taken for the visibility.
int CMetarDecoder::Run::Wind()
{
    double direction = 0.0;
    double speed = 0.0;
    double gust = 0.0;
    switch (Choose(m_patterns.wind)) {
    case 0: // 27015KT; "/////KT" is a wind that was not measured
        if (Contains(Group(0), L"/"))
            return MissingWind(m_match.Length(0));
        direction = LeadingInt(Group(1));
        speed = LeadingInt(Group(2));
        break;
    case 1: // 27015G25KT
        direction = LeadingInt(Group(1));
        speed = LeadingInt(Group(2));
        gust = LeadingInt(Group(3));
        break;
    case 2: // 18005MPS
        direction = LeadingInt(Group(1));
        speed = LeadingInt(Group(2)) / kKnotsPerMps;
        break;
    case 3: // 18005G10MPS
        direction = LeadingInt(Group(1));
        speed = LeadingInt(Group(2)) / kKnotsPerMps;
        gust = LeadingInt(Group(3)) / kKnotsPerMps;
        break;
    case 4: // VRB03KT
        speed = LeadingInt(Group(1));
        break;
    case 5: // VRB02MPS
        speed = LeadingInt(Group(1)) / kKnotsPerMps;
        break;
    case 6: // VRB03G15KT
        speed = LeadingInt(Group(1));
        gust = LeadingInt(Group(2));
        break;
    case 7: // VRB02G08MPS
        speed = LeadingInt(Group(1)) / kKnotsPerMps;
        gust = LeadingInt(Group(2)) / kKnotsPerMps;
        break;
    case 8: // a wind group that cannot be read
        return MissingWind(m_match.Length(1));
    default:
        return MissingWind(0);
    }
    m_metar.m_hasWind = true;
    m_metar.m_wind.direction = direction;
    m_metar.m_wind.speed = speed;
    m_metar.m_wind.gust = gust;
    Consume(m_match.Length(0));
    return kContinue;
}

int CMetarDecoder::Run::MissingWind(std::size_t groupLength)
{
    m_metar.m_hasWind = false;
    m_metar.m_unreadWind = {static_cast<std::size_t>(m_text.data() - m_metar.m_raw.data()), groupLength};
    if (groupLength > 0)
        Consume(groupLength);
    m_code = kWindError;
    return kContinue;
}

int CMetarDecoder::Run::VariableWind()
{
    if (Find(m_patterns.variableWind)) {
        m_metar.m_variableFrom = static_cast<std::int16_t>(LeadingInt(Group(1)));
        m_metar.m_variableTo = static_cast<std::int16_t>(LeadingInt(Group(2)));
        Consume(m_match.Length(0));
    }
    return kContinue;
}

int CMetarDecoder::Run::Visibility()
{
    static constexpr std::wstring_view missingGroups = L"//// // //////";
    if (StartsWith(m_text, missingGroups)) {
        Consume(missingGroups.size());
        m_code = kVisibilityError;
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
    switch (Choose(m_patterns.visibility)) {
    case 0: // CAVOK
        m_metar.m_cavok = true;
        m_metar.m_visibility = 9999;
        Consume(m_match.Length(0));
        return kContinue;
    case 1: // 1/16SM
        readable = fractionMetres(LeadingInt(Group(1)), LeadingInt(Group(2)), visibility);
        break;
    case 2: // 1 1/2SM
    {
        int fraction = 0;
        readable = fractionMetres(LeadingInt(Group(2)), LeadingInt(Group(3)), fraction);
        visibility = LeadingInt(Group(1)) * kMetresPerMile + fraction;
        break;
    }
    case 3: // 3/4SM
        readable = fractionMetres(LeadingInt(Group(1)), LeadingInt(Group(2)), visibility);
        break;
    case 4: // 10SM
        visibility = LeadingInt(Group(1)) * kMetresPerMile;
        if (Group(1).substr(0, 2) == L"10")
            visibility = 9999;
        break;
    case 5: // 3SM
        visibility = LeadingInt(Group(1)) * kMetresPerMile;
        break;
    case 6: // 8KM
        visibility = LeadingInt(Group(1)) * 1000;
        break;
    case 7: // 9999, 4000NE, ////; what a mistyped group adds (99999, 4000M, /////) is passed over with it
        visibility = Contains(Group(1), L"////") ? 9999 : LeadingInt(Group(1));
        m_metar.m_visibility = visibility;
        Consume(GroupEnd(m_match.Length(0)));
        return kContinue;
    case 8: // P6000
        visibility = LeadingInt(Group(2));
        break;
    case 9: // 10 SM
        visibility = LeadingInt(Group(1)) * kMetresPerMile;
        if (Group(1) == L"10")
            visibility = 9999;
        break;
    default:
        m_metar.m_visibility = 9999;
        m_code = kVisibilityError;
        return kContinue;
    }
    if (!readable) {
        visibility = 9999;
        m_code = kVisibilityError;
    }
    m_metar.m_visibility = visibility;
    Consume(m_match.Length(0));
    return kContinue;
}

void CMetarDecoder::Run::ExtraVisibilities()
{
    Trim();
    while (Find(m_patterns.extraVisibility))
        Consume(m_match.Length(0));
}

int CMetarDecoder::Run::RunwayVisualRange()
{
    m_metar.m_rvr.clear();
    while (Find(m_patterns.runwayRange)) {
        m_metar.m_rvr.append(Group(0)).push_back(L' ');
        Consume(m_match.Length(0));
    }
    return kContinue;
}

int CMetarDecoder::Run::Weather()
{
    m_metar.m_intensity = 2;
    static constexpr std::wstring_view missingClouds = L"// //////";
    if (StartsWith(m_text, missingClouds)) {
        Consume(missingClouds.size());
        m_code = kCloudError;
    }
    m_metar.m_weather.clear();
    while (true) {
        if (Find(m_patterns.weatherNotObserved) || Find(m_patterns.missingValue)) {
            m_text.remove_prefix(m_match.Length(0));
            continue;
        }
        if (!Find(m_patterns.weather))
            break;
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
    while (true) {
        if (!Find(m_patterns.cloud)) {
            if (!Find(m_patterns.unreadableCloud))
                break;
            Consume(m_match.Length(0));
            m_code = kCloudError;
            continue;
        }
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
    const int option = Choose(m_patterns.temperature);
    switch (option) {
    case 0: // M05/M07
        m_metar.m_temperature = -LeadingInt(Group(1));
        m_metar.m_dewPoint = -LeadingInt(Group(2));
        break;
    case 1: // 02/M01
        m_metar.m_temperature = LeadingInt(Group(1));
        m_metar.m_dewPoint = -LeadingInt(Group(2));
        break;
    case 2: // 12/08
        m_metar.m_temperature = LeadingInt(Group(1));
        m_metar.m_dewPoint = LeadingInt(Group(2));
        break;
    case 3: // M02/
    case 5: // 17/
        m_metar.m_temperature = option == 3 ? -LeadingInt(Group(1)) : LeadingInt(Group(1));
        m_metar.m_dewPoint = m_metar.m_temperature - 3;
        break;
    case 4: // M00/00
        m_metar.m_temperature = -LeadingInt(Group(1));
        m_metar.m_dewPoint = LeadingInt(Group(2));
        break;
    default:
        m_code = kTempDewError;
        break;
    }
    if (option >= 0 || Find(m_patterns.missingValue))
        Consume(m_match.Length(0));
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
    switch (Choose(m_patterns.pressure)) {
    case 0: // Q1015
        m_metar.m_qnh = static_cast<float>(LeadingInt(Group(1)));
        Consume(m_match.Length(0));
        if (!plausible(m_metar.m_qnh)) {
            m_metar.m_qnh = 1013.0f;
            m_code = kQnhError;
        }
        break;
    case 1: // A2992
    {
        float qnh = static_cast<float>(LeadingInt(Group(1))) * static_cast<float>(CMetar::kHpaPerHundredthInch);
        Consume(m_match.Length(0));
        if (qnh < 100.0f)
            qnh += 1000.0f;
        if (!plausible(qnh)) {
            qnh = 1013.0f;
            m_code = kQnhError;
        }
        m_metar.m_qnh = qnh;
        break;
    }
    default:
        m_code = kQnhError;
        break;
    }
    Trim();
    return kContinue;
}

void CMetarDecoder::Run::RunwayAfterPressure()
{
    m_metar.m_runwayAfterPressure.clear();
    while (Find(m_patterns.runwayAfterPressure)) {
        m_metar.m_runwayAfterPressure.append(Group(0)).push_back(L' ');
        Consume(m_match.Length(0));
    }
}

} // namespace weather
} // namespace aviation
