#include "referencesynopdecoder.h"

#include "weather/stationtime.h"
#include "weather/synopdecoder.h"

#include <regex>

namespace aviation {
namespace weather {

namespace {

constexpr double kKnots = 1.943844492;
constexpr std::size_t kWorkingLength = 1000;

std::wregex Re(const wchar_t* pattern)
{
    return std::wregex(pattern, std::regex::ECMAScript);
}

int Num(const std::wstring& text)
{
    int value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9' || value > 100000000)
            break;
        value = value * 10 + (c - L'0');
    }
    return value;
}

int HBase(int h)
{
    static const int table[10] = {166, 333, 666, 1000, 2000, 3333, 5000, 6666, 8333, 10000};
    return table[h];
}

int Vis(int vv)
{
    static const int table[10] = {40, 50, 200, 500, 1000, 2000, 4000, 10000, 20000, 60000};
    if (vv <= 50)
        return vv * 100;
    if (vv <= 55)
        return -1; // codes without a value: the visibility stays as it was
    if (vv <= 80)
        return (vv - 50) * 1000;
    if (vv <= 89)
        return (vv - 74) * 5000;
    return table[vv - 90];
}

int LayerBase(int hs)
{
    if (hs <= 50)
        return hs * 100;
    if (hs <= 55)
        return 0;
    if (hs <= 80)
        return (hs - 50) * 1000;
    if (hs <= 89)
        return (hs - 74) * 5000;
    if (hs <= 95)
        return (hs - 89) * 166;
    return static_cast<int>((hs - 94) * 500 * 3.3285);
}

// The working text and the sub-matches of the group last taken from its front.
struct Work
{
    std::wstring text;
    std::vector<std::wstring> g;

    bool Take(const std::wregex& re)
    {
        std::wsmatch m;
        if (!std::regex_search(text, m, re))
            return false;
        g.assign(m.size(), std::wstring());
        for (std::size_t i = 0; i < m.size(); ++i)
            g[i] = m[i].str();
        text.erase(0, static_cast<std::size_t>(m.length(0)));
        std::size_t blanks = 0;
        while (blanks < text.size() && std::wstring(L" \t\n\v\f\r").find(text[blanks]) != std::wstring::npos)
            ++blanks;
        text.erase(0, blanks);
        return true;
    }

    // Matches a text of its own, leaving the working text as it is.
    bool Match(const std::wstring& other, const std::wregex& re)
    {
        std::wsmatch m;
        if (!std::regex_search(other, m, re))
            return false;
        g.assign(m.size(), std::wstring());
        for (std::size_t i = 0; i < m.size(); ++i)
            g[i] = m[i].str();
        return true;
    }
};

struct Decoder
{
    SynopValues& v;
    Work w;
    std::wstring shipVisibility;

    double Knots(double speed) const { return v.windUnit == 0 || v.windUnit == 1 ? speed * kKnots : speed; }

    void DateTime(const std::wstring& group)
    {
        StationTime time;
        time.SetTime(Num(group.substr(0, 2)), Num(group.substr(2, 2)), 0);
        v.time = time.GetTime();
        const int unit = Num(group.substr(4, 1));
        if (unit >= 0 && unit <= 4)
            v.windUnit = unit;
    }

    int Header(bool headerOnly)
    {
        static const std::wregex land = Re(L"^AAXX[[:blank:]]{0,}([0-9/]{5})[[:blank:]]{0,}([0-9]{5})");
        static const std::wregex ship
            = Re(L"^BBXX[[:blank:]]{0,}([0-9A-Za_Z]{0,7})[[:blank:]]{0,}([0-9]{5})[[:blank:]]{0,}(99[0-9]{3})"
                 L"[[:blank:]]{0,}([0-9]{5})[[:blank:]]{0,}([0-9/]{5})");
        static const std::wregex mobile
            = Re(L"^OOXX[[:blank:]]{0,}([0-9A-Za_Z]{0,7})[[:blank:]]{0,}([0-9]{5})[[:blank:]]{0,}(99[0-9]{3})"
                 L"[[:blank:]]{0,}(Q[0-9]{4})[[:blank:]]{0,}([0-9]{5})");
        if (w.Take(land)) {
            DateTime(w.g[1]);
            v.station = w.g[2];
            return 0;
        }
        if (w.Take(ship)) {
            DateTime(w.g[2]);
            v.station = w.g[4];
            v.name = w.g[1];
            double lat = Num(w.g[3].substr(2, 3)) / 10.0;
            double lon = Num(w.g[4].substr(1, 4)) / 10.0;
            const wchar_t q = w.g[4][0];
            if (q != L'1' && q != L'3' && q != L'5' && q != L'7')
                return 2;
            if (q == L'3' || q == L'5')
                lat = -lat;
            if (q == L'5' || q == L'7')
                lon = -lon;
            v.latitude = lat;
            v.longitude = lon;
            shipVisibility = w.g[5];
            return 0;
        }
        if (!headerOnly && w.Take(mobile)) {
            DateTime(w.g[2]);
            v.station = w.g[5];
            return 0;
        }
        return 1;
    }

    void Pressure(const std::wstring& digits, float& pressure)
    {
        double value = digits[3] == L'/' ? Num(digits.substr(0, 3)) : Num(digits) / 10.0;
        if (value < 300.0)
            value += 1000.0;
        pressure = static_cast<float>(value);
    }

    void Section1()
    {
        static const std::wregex vis = Re(L"^[[:blank:]]{0,}([0-4]{1})([0-7]{1})([0-9/]{1})([0-9/]{2})");
        static const std::wregex wind = Re(L"^[[:blank:]]{0,}([0-9/]{1})([0-9/]{2})([0-9/]{2})");
        static const std::wregex fff = Re(L"^[[:blank:]]{0,}00([0-9/]{3})");
        static const std::wregex temp = Re(L"^[[:blank:]]{0,}1([0-1]{1})([0-9/]{3})");
        static const std::wregex dew = Re(L"^[[:blank:]]{0,}2([019]{1})([0-9/]{3})");
        static const std::wregex p3 = Re(L"^[[:blank:]]{0,}3([0-9/]{4})");
        static const std::wregex p4 = Re(L"^[[:blank:]]{0,}4([09]{1}[0-9/]{3})");
        static const std::wregex skipped[4] = {
            Re(L"^[[:blank:]]{0,}4([12578]{1}[0-9/]{3})"), Re(L"^[[:blank:]]{0,}5([0-8]{1})([0-9/]{3})"),
            Re(L"^[[:blank:]]{0,}6([0-9/]{3})([0-9/]{1})"), Re(L"^[[:blank:]]{0,}7([0-9/]{2})([0-9/]{1})([0-9/]{1})")};
        static const std::wregex types = Re(L"^[[:blank:]]{0,}8([0-9/]{1})([0-9/]{1})([0-9/]{1})([0-9/]{1})");
        // A ship's iRixhVV came with its header.
        if (shipVisibility.empty() ? w.Take(vis) : w.Match(shipVisibility, vis)) {
            v.precipitationIndicator = Num(w.g[1]);
            if (w.g[3] == L"/") {
                v.hasCloudBase = false;
            } else {
                v.hasCloudBase = true;
                v.lowestBase = HBase(Num(w.g[3]));
            }
            if (w.g[4] == L"//")
                v.hasVisibility = false;
            else if (Vis(Num(w.g[4])) >= 0)
                v.visibility = Vis(Num(w.g[4]));
        }
        bool ff99 = false;
        if (w.Take(wind)) {
            if (w.g[1] == L"9")
                v.lowestCoverage = 8;
            else if (w.g[1] != L"/")
                v.lowestCoverage = Num(w.g[1]);
            if (w.g[2] == L"//" || w.g[3] == L"//") {
                v.hasWind = false;
            } else {
                v.windDirection = w.g[2] == L"99" ? 0.0 : Num(w.g[2]) * 10.0;
                v.windSpeed = Knots(Num(w.g[3]));
                v.windGust = -1.0;
            }
            ff99 = w.g[3] == L"99";
        }
        if (ff99 && w.Take(fff)) {
            v.windSpeed = static_cast<int>(Knots(Num(w.g[1])));
            v.windGust = -1.0;
        }
        if (w.Take(temp))
            v.temperature = (w.g[1] == L"1" ? -1 : 1) * Num(w.g[2]) / 10.0;
        if (w.Take(dew)) {
            if (w.g[1] == L"9") {
                const int humidity = Num(w.g[2]);
                v.humidity = humidity;
                if (humidity >= 1 && humidity <= 100)
                    v.dewPoint = CSynopDecoder::DewPointFromHumidity(v.temperature, humidity);
            } else {
                v.dewPoint = (w.g[1] == L"1" ? -1 : 1) * Num(w.g[2]) / 10.0;
            }
        }
        if (w.Take(p3))
            Pressure(w.g[1], v.stationPressure);
        if (w.Take(p4))
            Pressure(w.g[1], v.seaLevelPressure);
        for (const std::wregex& re : skipped)
            w.Take(re);
        if (w.Take(types)) {
            v.lowCloudType = Num(w.g[2]);
            v.middleCloudType = Num(w.g[3]);
            v.highCloudType = Num(w.g[4]);
        }
    }

    void Section2()
    {
        static const std::wregex s222 = Re(L"^222([0-9/]{1})([0-9/]{1})");
        static const std::wregex groups[9] = {Re(L"^0([0-9/]{4})"), Re(L"^1([0-9/]{4})"), Re(L"^2([0-9/]{4})"),
                                              Re(L"^3([0-9/]{4})"), Re(L"^4([0-9/]{4})"), Re(L"^5([0-9/]{4})"),
                                              Re(L"^6([0-9/]{4})"), Re(L"^7([0-9/]{4})"), Re(L"^4([0-9/]{4})")};
        if (!w.Take(s222))
            return;
        const int ds = Num(w.g[1]);
        const int vs = Num(w.g[2]);
        if (ds != 0 && ds != 9 && vs != 0) {
            v.shipDirection = ds * 45;
            v.shipSpeed = vs * 5;
        }
        for (const std::wregex& re : groups)
            w.Take(re);
    }

    void Section333()
    {
        static const std::wregex s333 = Re(L"^333[[:blank:]]{0,}");
        static const std::wregex groups[15] = {Re(L"^0([0-9/]{4})"),          Re(L"^1([01]{1})([0-9/]{3})"),
                                               Re(L"^2([01]{1})([0-9/]{3})"), Re(L"^3([0-9/]{1})([01]{1})([0-9/]{2})"),
                                               Re(L"^4([01]{1})([0-9/]{3})"), Re(L"^55([0-9/]{3})"),
                                               Re(L"^2([0-9/]{4})"),          Re(L"^3([0-9/]{4})"),
                                               Re(L"^4([0-9/]{4})"),          Re(L"^553([0-9/]{2})"),
                                               Re(L"^2([0-9/]{4})"),          Re(L"^3([0-9/]{4})"),
                                               Re(L"^4([0-9/]{4})"),          Re(L"^6([0-9/]{3})([0-9/]{1})"),
                                               Re(L"^7([0-9/]{4})")};
        static const std::wregex cloud = Re(L"^8([0-9/]{1})([0-9/]{1})([0-9/]{2})");
        static const std::wregex special = Re(L"^9([0-9/]{2})([0-9/]{2})");
        if (!w.Take(s333))
            return;
        for (const std::wregex& re : groups)
            w.Take(re);
        while (w.Take(cloud)) {
            v.hasCloudBase = true;
            v.layers.push_back(SynopValues::Layer{LayerBase(Num(w.g[3])), Num(w.g[1]), Num(w.g[2])});
        }
        while (w.Take(special)) {
            if (w.g[1] == L"11")
                v.windGust = Knots(Num(w.g[2]));
        }
    }

    void Section444()
    {
        static const std::wregex s444 = Re(L"^444[[:blank:]]{0,}");
        static const std::wregex group = Re(L"^([0-9/]{5})");
        if (w.Take(s444))
            w.Take(group);
    }

    int Section555()
    {
        static const std::wregex s555 = Re(L"^555[[:blank:]]{0,}(0[01][0-9/]{3})[[:blank:]]{0,}(1[0-9/]{4})");
        static const std::wregex regional = Re(L"^(2[01]{1}[0-9/]{3})");
        static const std::wregex skipped[9] = {Re(L"^(22[0-9/]{3})"), Re(L"^(23[0-9/]{2})"), Re(L"^(24[0-9/]{2})"),
                                               Re(L"^(25[0-9/]{2})"), Re(L"^(26[0-9/]{3})"), Re(L"^(3[0-9/]{4})"),
                                               Re(L"^(4[0-9/]{4})"),  Re(L"^(5[0-9/]{4})"),  Re(L"^(7[0-9/]{4})")};
        static const std::wregex cloud = Re(L"^(8[0-9/]{4})");
        static const std::wregex g910 = Re(L"^(910[0-9/]{2})");
        static const std::wregex g911 = Re(L"^(911[0-9/]{2})");
        static const std::wregex pic = Re(L"^PIC[[:blank:]]{0,}([0-9/]{2})");
        static const std::wregex bot = Re(L"^BOT[[:blank:]]{0,}([0-9/]{5})");
        if (!w.Take(s555))
            return 0;
        v.temperature = (w.g[1][1] == L'0' ? 1 : -1) * Num(w.g[1].substr(2, 3)) / 10.0;
        v.regionalValue = Num(w.g[2].substr(1, 3)) / 10.0;
        v.regionalTemperature = 0.0;
        if (w.Take(regional))
            v.regionalTemperature = (w.g[1][1] == L'0' ? 1 : -1) * Num(w.g[1].substr(2, 3)) / 10.0;
        for (const std::wregex& re : skipped)
            w.Take(re);
        while (w.Take(cloud))
            v.layers.push_back(SynopValues::Layer{LayerBase(Num(w.g[1].substr(3, 2))), Num(w.g[1].substr(1, 1)), 0});
        if (w.Take(g910))
            v.gust910 = static_cast<int>(Knots(Num(w.g[1].substr(3, 2))));
        if (w.Take(g911))
            v.gust911First = static_cast<int>(Knots(Num(w.g[1].substr(3, 2))));
        if (w.Take(g911))
            v.gust911Second = static_cast<int>(Knots(Num(w.g[1].substr(3, 2))));
        w.Take(pic);
        w.Take(bot);
        return 0;
    }
};

} // namespace

bool SynopValues::Layer::operator==(const Layer& other) const
{
    return base == other.base && coverage == other.coverage && type == other.type;
}

SynopValues SynopValues::Of(const CSynop& synop)
{
    SynopValues v;
    v.station = synop.GetICAO();
    v.name = synop.GetName();
    v.latitude = synop.GetPosition().GetLatitude();
    v.longitude = synop.GetPosition().GetLongitude();
    v.time = synop.GetTime();
    v.windUnit = synop.GetWindUnitIndicator();
    v.temperature = synop.GetTemperature();
    v.dewPoint = synop.GetDewPoint();
    v.humidity = synop.GetHumidity();
    v.regionalTemperature = synop.GetRegionalTemperature();
    v.regionalValue = synop.GetRegionalValue();
    v.precipitationIndicator = synop.GetPrecipitationIndicator();
    v.visibility = synop.GetVisibility();
    v.lowestBase = synop.GetLowestCloud().GetBase();
    v.lowestCoverage = synop.GetLowestCloud().GetCoverage();
    v.lowCloudType = synop.GetLowCloudType();
    v.middleCloudType = synop.GetMiddleCloudType();
    v.highCloudType = synop.GetHighCloudType();
    for (const CCloudLayer& layer : synop.GetCloudLayers())
        v.layers.push_back(Layer{layer.GetBase(), layer.GetCoverage(), layer.GetType()});
    v.windDirection = synop.GetWind().direction;
    v.windSpeed = synop.GetWind().speed;
    v.windGust = synop.GetWind().gust;
    v.gust910 = synop.GetGust910();
    v.gust911First = synop.GetGust911First();
    v.gust911Second = synop.GetGust911Second();
    v.seaLevelPressure = synop.GetSeaLevelPressure();
    v.stationPressure = synop.GetStationPressure();
    v.hasCloudBase = synop.HasCloudBase();
    v.hasWind = synop.HasWind();
    v.hasVisibility = synop.HasVisibility();
    v.shipDirection = synop.GetShipDirection();
    v.shipSpeed = synop.GetShipSpeed();
    return v;
}

bool SynopValues::operator==(const SynopValues& o) const
{
    return station == o.station && name == o.name && latitude == o.latitude && longitude == o.longitude
        && time == o.time && windUnit == o.windUnit && temperature == o.temperature && dewPoint == o.dewPoint
        && humidity == o.humidity && regionalTemperature == o.regionalTemperature && regionalValue == o.regionalValue
        && precipitationIndicator == o.precipitationIndicator && visibility == o.visibility
        && lowestBase == o.lowestBase && lowestCoverage == o.lowestCoverage && lowCloudType == o.lowCloudType
        && middleCloudType == o.middleCloudType && highCloudType == o.highCloudType && layers == o.layers
        && windDirection == o.windDirection && windSpeed == o.windSpeed && windGust == o.windGust
        && gust910 == o.gust910 && gust911First == o.gust911First && gust911Second == o.gust911Second
        && seaLevelPressure == o.seaLevelPressure && stationPressure == o.stationPressure
        && hasCloudBase == o.hasCloudBase && hasWind == o.hasWind && hasVisibility == o.hasVisibility
        && shipDirection == o.shipDirection && shipSpeed == o.shipSpeed;
}

std::ostream& operator<<(std::ostream& out, const SynopValues& v)
{
    out << "station " << std::string(v.station.begin(), v.station.end()) << " pos " << v.latitude << "," << v.longitude
        << " time " << v.time << " iw " << v.windUnit << " T " << v.temperature << " Td " << v.dewPoint << " U "
        << v.humidity << " regional " << v.regionalTemperature << "/" << v.regionalValue << " iR "
        << v.precipitationIndicator << " vis " << v.visibility << " lowest " << v.lowestCoverage << "@" << v.lowestBase
        << " types " << v.lowCloudType << v.middleCloudType << v.highCloudType << " wind " << v.windDirection << "/"
        << v.windSpeed << "G" << v.windGust << " gusts " << v.gust910 << "," << v.gust911First << "," << v.gust911Second
        << " QFF " << v.seaLevelPressure << " QFE " << v.stationPressure << " flags " << v.hasCloudBase << v.hasWind
        << v.hasVisibility << " ship " << v.shipDirection << "/" << v.shipSpeed << " layers";
    for (const SynopValues::Layer& layer : v.layers)
        out << " " << layer.coverage << "/" << layer.type << "@" << layer.base;
    return out;
}

int ReferenceDecodeSynop(const std::wstring& raw, SynopValues& values, bool headerOnly)
{
    if (!headerOnly)
        values.layers.clear();
    if (raw.size() < 10)
        return 6;
    Decoder decoder{values, Work{raw.substr(0, kWorkingLength), {}}, {}};
    const int header = decoder.Header(headerOnly);
    if (header != 0 || headerOnly)
        return header;
    decoder.Section1();
    decoder.Section2();
    decoder.Section333();
    decoder.Section444();
    return decoder.Section555();
}

} // namespace weather
} // namespace aviation
