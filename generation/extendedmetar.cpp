#include "generation/extendedmetar.h"

#include "generation/newweatherunits.h"

#include <algorithm>

namespace aviation::weather {

namespace {

const char* TurbulenceLetter(std::uint8_t turbulence)
{
    static const char* const kLetters[] = {"N", "L", "M", "H", "S"};
    return turbulence < 5 ? kLetters[turbulence] : "N";
}

const char* CloudTypeText(std::uint8_t type)
{
    switch (type) {
    case 1:
        return "CI";
    case 8:
        return "ST";
    case 9:
        return "CU";
    case 10:
        return "CB";
    default:
        return "";
    }
}

const char* PrecipRateLetter(std::uint8_t rate)
{
    static const char* const kLetters[] = {"V", "V", "L", "M", "H", "D"};
    return rate < 6 ? kLetters[rate] : "";
}

const char* PrecipTypeLetter(std::uint8_t type)
{
    static const char* const kLetters[] = {"N", "R", "S"};
    return type < 3 ? kLetters[type] : "";
}

const char* IcingLetter(std::uint8_t icing)
{
    static const char* const kLetters[] = {"N", "T", "L", "M", "S"};
    return icing < 5 ? kLetters[icing] : "";
}

const char* TopShapeLetter(std::uint8_t shape)
{
    if (shape == 1)
        return "R";
    return shape == 2 ? "A" : "F";
}

// A layer counter of the block limited to its table, whatever it holds.
int InUse(std::int32_t counter, int capacity)
{
    return std::clamp<std::int32_t>(counter, 0, capacity);
}

int Degrees(std::uint16_t units)
{
    return units * 360 / 65536;
}

int WrapDegrees(int degrees)
{
    degrees %= 360;
    return degrees < 0 ? degrees + 360 : degrees;
}

// The variable sector around the wind direction, "340V020".
QString VarianceGroup(const NewWindLayer& layer)
{
    const int direction = Degrees(layer.Dir);
    const double half = Degrees(layer.Variance) / 2.0;
    const int from = WrapDegrees(TruncateToInt(direction - half));
    const int to = WrapDegrees(TruncateToInt(direction + half));
    return QString::asprintf("%03iV%03i ", from, to);
}

// "27015G25KT&D600MG " at the surface ("&D"), "&A" for a layer aloft.
QString WindGroup(const NewWindLayer& layer, const char* altitudeMark)
{
    QString group = layer.Gust > 0
        ? QString::asprintf("%03i%02iG%02iKT%s%i%sG ", Degrees(layer.Dir), layer.Speed, layer.Speed + layer.Gust,
                            altitudeMark, layer.UpperAlt, TurbulenceLetter(layer.Turbulence))
        : QString::asprintf("%03i%02iKT%s%i%sG ", Degrees(layer.Dir), layer.Speed, altitudeMark, layer.UpperAlt,
                            TurbulenceLetter(layer.Turbulence));
    if (layer.Variance != 0)
        group += VarianceGroup(layer);
    return group;
}

// "9999M&B-100&D0700 " or, from 10 km on, "99KM&B0701&D1950 ".
QString VisibilityGroup(const NewVisLayer& layer)
{
    const double metres = layer.Range * 1.592 * 10.0;
    const int thickness = layer.UpperAlt - layer.LowerAlt;
    if (metres > 9999.0)
        return QString::asprintf("%.0fKM&B%04i&D%04i ", metres / 1000.0, layer.LowerAlt, thickness);
    return QString::asprintf("%04.0fM&B%04i&D%04i ", metres, layer.LowerAlt, thickness);
}

// The report's weather as the simulator reads it: no descriptors it does not know, no intensity signs, no
// blanks ("-SHRA BR" gives "SHRABR").
QString WeatherGroup(QString weather)
{
    weather = weather.trimmed();
    weather.remove(QStringLiteral("BC"));
    weather.remove(QStringLiteral("NSC"));
    weather.replace(QStringLiteral("RERA"), QStringLiteral("RA"));
    weather.remove(QLatin1Char('+'));
    weather.remove(QLatin1Char('-'));
    weather.remove(QLatin1Char(' '));
    return weather.size() > 1 ? weather + QLatin1Char(' ') : QString();
}

// "7CU020&CU000FLVR111T ": cover, type, base in hundreds of feet above the station, type again, thickness 0,
// top shape, turbulence, precipitation rate and type, precipitation base, icing.
QString CloudGroup(const NewCloudLayer& layer, int elevation)
{
    const int base = TruncateToInt((layer.LowerAlt * kFeetPerMetre - elevation) / 100.0);
    const char* type = CloudTypeText(layer.Type);
    return QString::asprintf("%i%s%03i&%s%03i%s%s%s%s%i%s ", layer.Cover, type, base, type, 0,
                             TopShapeLetter(layer.TopShape), TurbulenceLetter(layer.Turbulence),
                             PrecipRateLetter(layer.PrecipRate), PrecipTypeLetter(layer.PrecipType), layer.PrecipBase,
                             IcingLetter(layer.Icing));
}

// "12/08&A00120 ", "-05/-12&A00110 ": a negative value gets three places, its sign counting as one.
QString TemperatureGroup(const NewTempLayer& layer)
{
    static const char* const kFormats[2][2]
        = {{"%02i/%02i&A%05i ", "%02i/%03i&A%05i "}, {"%03i/%02i&A%05i ", "%03i/%03i&A%05i "}};
    return QString::asprintf(kFormats[layer.Day < 0][layer.Dew < 0], layer.Day, layer.Dew, layer.Alt);
}

} // namespace

QString GetTurbulenceLetter(std::uint8_t turbulence)
{
    return QString::fromLatin1(TurbulenceLetter(turbulence));
}

QString MakeExtendedMetar(const CWeatherSet& set, const CNewWeather& block)
{
    const CMetar metar = set.GetMetar();
    const QString weather = QString::fromStdWString(metar.GetWeather());
    const bool cavokInWeather = weather.contains(QStringLiteral("CAVOK"));

    // A station with a full grid profile writes some 700 characters; one allocation holds them.
    QString text;
    text.reserve(1024);
    text += QString::fromStdWString(metar.GetICAOString()).trimmed() + QLatin1Char(' ')
        + QString::fromStdWString(metar.GetTimeGroup()) + QStringLiteral("Z ");

    const int winds = InUse(block.nWindCtr, CNewWeather::kMaxWindLayers);
    text += WindGroup(block.WindLayer[0], "&D");
    for (int k = 1; k < winds; ++k)
        text += WindGroup(block.WindLayer[k], "&A");

    if (metar.IsCAVOK())
        text += QStringLiteral("CAVOK ");
    if (cavokInWeather)
        text += weather + QLatin1Char(' ');

    text += VisibilityGroup(block.Vis);
    const int upperVisibility = InUse(block.nUpperVisCtr, CNewWeather::kMaxUpperVisLayers);
    for (int k = 0; k < upperVisibility; ++k)
        text += VisibilityGroup(block.UpperVis[k]);

    if (!cavokInWeather)
        text += WeatherGroup(weather);

    const int elevation = metar.GetElevation();
    const int clouds = InUse(block.nCloudCtr, CNewWeather::kMaxCloudLayers);
    for (int k = 0; k < clouds; ++k) {
        if (block.CloudLayer[k].Cover != 0)
            text += CloudGroup(block.CloudLayer[k], elevation);
    }

    const int temperatures = InUse(block.nTempCtr, CNewWeather::kMaxTempLayers);
    for (int k = 0; k < temperatures; ++k)
        text += TemperatureGroup(block.TempLayer[k]);

    text += QString::asprintf("Q%04.0f ", metar.GetQNH(true));
    text += QStringLiteral(" @@@ ");
    return text;
}

} // namespace aviation::weather
