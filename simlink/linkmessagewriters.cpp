// Payload writers of the bridge's WRIT requests.

#include "simlink/linkmessage.h"

#include "platform/debugoutput.h"
#include "simlink/wiretext.h"
#include "weather/textconversion.h"

#include <algorithm>

namespace {

// A station piece (fuel tank, payload station) stays below this size; a longer name is cut to fit.
constexpr std::size_t kStationPieceLimit = 999;

// Latin-1 text of a wide name up to its first NUL; characters above 255 become '?'. The separators of items
// (":") and pieces ("|") and control characters become "_", so that no name can split or shift the items after it.
std::string NarrowName(const std::wstring& name)
{
    std::string narrow = WStringToChar(std::wstring_view(name).substr(0, name.find(L'\0')));
    std::replace_if(
        narrow.begin(), narrow.end(),
        [](char c) { return c == ':' || c == '|' || static_cast<unsigned char>(c) < 0x20; }, '_');
    return narrow;
}

// How many bytes of a name fit beside `otherBytes` of the rest of its piece.
std::size_t NameRoom(std::size_t otherBytes)
{
    return otherBytes < kStationPieceLimit ? kStationPieceLimit - otherBytes : 0;
}

// The first `count` entries of a layer table, a counter read from elsewhere clamped to the table's size.
int LayersInUse(std::int32_t counter, int capacity)
{
    return std::clamp<std::int32_t>(counter, 0, capacity);
}

void AppendPiece(std::string& text, CWireText piece)
{
    std::string pieceText = piece.Str();
    CWireText::CommasToDots(pieceText);
    text += pieceText;
}

void AppendVisibility(CWireText& piece, const NewVisLayer& layer)
{
    piece.Text("UpperAlt=").Int(layer.UpperAlt).Text(":LowerAlt=").Int(layer.LowerAlt).Text(":Range=").Int(layer.Range);
}

} // namespace

std::string CLinkMessage::FromAircraftFuel(const aviation::structs::CAircraftFuel& fuel)
{
    CWireText head;
    head.Text("NumOfStation=")
        .Int(static_cast<long long>(fuel.tanks.size()))
        .Text(":FuelWeight=")
        .Real(fuel.fuelWeight);
    std::string text = head.Str();
    CWireText::CommasToDots(text);
    for (const aviation::structs::CAircraftFuelTank& tank : fuel.tanks) {
        CWireText before;
        before.Text(":StationID=").Int(tank.id).Text("|Name=");
        CWireText after;
        after.Text("|Capacity=").Real(tank.capacity).Text("|Level=").Real(tank.level);
        std::string name = NarrowName(tank.name);
        const std::size_t room = NameRoom(before.Size() + after.Size());
        if (name.size() > room) {
            platform::DebugOut("(Message failed. Sprintf in FromAircraftFuel\n");
            name.resize(room);
        }
        text += before.Str() + name + after.Str();
        CWireText::CommasToDots(text);
    }
    return text;
}

std::string CLinkMessage::FromAircraftPayload(const aviation::structs::CAircraftPayload& payload)
{
    CWireText head;
    head.Text("NumOfStation=").Int(payload.count);
    std::string text = head.Str();
    for (const aviation::structs::CAircraftPayloadStation& station : payload.stations) {
        CWireText after;
        after.Text("|Type=")
            .Int(station.type)
            .Text("|MaxWeight=")
            .Real(station.maxWeight)
            .Text("|Weight=")
            .Real(station.weight);
        const std::string before = ":StationName=";
        std::string name = NarrowName(station.name);
        name.resize(std::min(name.size(), NameRoom(before.size() + after.Size())));
        text += before + name + after.Str();
        CWireText::CommasToDots(text);
    }
    return text;
}

std::string CLinkMessage::FromWind(const aviation::weather::CWind& wind)
{
    CWireText text;
    text.Text("Dir=").Fixed(wind.direction, 2).Text(":Speed=").Fixed(wind.speed, 2).Text(":Gust=").Fixed(wind.gust, 2);
    std::string result = text.Str();
    CWireText::CommasToDots(result);
    return result;
}

std::string CLinkMessage::FromNewWeather(const CNewWeather& weather)
{
    const std::string icao(weather.Icao, std::find(weather.Icao, weather.Icao + sizeof(weather.Icao), '\0'));
    CWireText head;
    head.Text("Command=").Int(weather.Command).Text(":Flag=").Int(weather.Flag);
    head.Text(":Signature=").Int(static_cast<std::int32_t>(weather.Signature)).Text(":Icao=").Text(icao);
    head.Text(":Dynamic=").Int(weather.Dynamic).Text(":Seconds=").Int(weather.Seconds);
    head.Text(":Lat=").Real(weather.Lat).Text(":Lon=").Real(weather.Lon).Text(":Elev=").Int(weather.Elev);
    head.Text(":Timestamp=").Int(static_cast<std::int32_t>(weather.Timestamp)).Text(":");
    std::string text;
    AppendPiece(text, head);

    CWireText pressure;
    AppendPiece(text, pressure.Text("Press=").Int(weather.Press).Text(":Drift=").Int(weather.Drift).Text(":"));
    CWireText surface;
    AppendVisibility(surface, weather.Vis);
    AppendPiece(text, surface.Text(":"));

    // The counters go out as received; the lists below use only the entries the block can hold.
    CWireText counters;
    counters.Text("nTempCtr=").Int(weather.nTempCtr).Text(":nWindCtr=").Int(weather.nWindCtr);
    counters.Text(":nCloudCtr=").Int(weather.nCloudCtr).Text(":nUpperVisCtr=").Int(weather.nUpperVisCtr).Text(":");
    AppendPiece(text, counters);

    text += "TempLayer{";
    for (int i = 0; i < LayersInUse(weather.nTempCtr, CNewWeather::kMaxTempLayers); ++i) {
        const NewTempLayer& layer = weather.TempLayer[i];
        CWireText piece;
        piece.Text("Alt=").Int(layer.Alt).Text(":Day=").Int(layer.Day).Text(":DayNightVar=").Int(layer.DayNightVar);
        AppendPiece(text, piece.Text(":Dew=").Int(layer.Dew).Text("|"));
    }
    text += "}:WindLayer{";
    for (int i = 0; i < LayersInUse(weather.nWindCtr, CNewWeather::kMaxWindLayers); ++i) {
        const NewWindLayer& layer = weather.WindLayer[i];
        CWireText piece;
        piece.Text("UpperAlt=").Int(layer.UpperAlt).Text(":Speed=").Int(layer.Speed).Text(":Gust=").Int(layer.Gust);
        piece.Text(":Dir=").Int(layer.Dir).Text(":Turbulence=").Int(layer.Turbulence).Text(":Shear=").Int(layer.Shear);
        piece.Text(":Variance=").Int(layer.Variance).Text(":SpeedFract=").Int(layer.SpeedFract);
        AppendPiece(text, piece.Text(":CapAbove=").Int(layer.CapAbove).Text("|"));
    }
    text += "}:VisLayer{";
    for (int i = 0; i < LayersInUse(weather.nUpperVisCtr, CNewWeather::kMaxUpperVisLayers); ++i) {
        CWireText piece;
        AppendVisibility(piece, weather.UpperVis[i]);
        AppendPiece(text, piece.Text("|"));
    }
    text += "}:CloudLayer{";
    for (int i = 0; i < LayersInUse(weather.nCloudCtr, CNewWeather::kMaxCloudLayers); ++i) {
        const NewCloudLayer& layer = weather.CloudLayer[i];
        CWireText piece;
        piece.Text("UpperAlt=").Int(layer.UpperAlt).Text(":LowerAlt=").Int(layer.LowerAlt).Text(":Dev=").Int(layer.Dev);
        piece.Text(":Cover=")
            .Int(layer.Cover)
            .Text(":Type=")
            .Int(layer.Type)
            .Text(":Turbulence=")
            .Int(layer.Turbulence);
        piece.Text(":Icing=").Int(layer.Icing).Text(":PrecipBase=").Int(layer.PrecipBase);
        piece.Text(":PrecipType=").Int(layer.PrecipType).Text(":PrecipRate=").Int(layer.PrecipRate);
        AppendPiece(text, piece.Text(":TopShape=").Int(layer.TopShape).Text("|"));
    }
    text += "}";
    return text;
}

std::string CLinkMessage::FromXPWeather(const CXPWeather& weather)
{
    CWireText head;
    head.Text("Press=").Fixed(weather.Press, 2).Text(":Vis=").Fixed(weather.Vis, 1);
    head.Text(":Temp=").Fixed(weather.Temp, 1).Text(":Dew=").Fixed(weather.Dew, 1);
    head.Text(":RainPercent=").Fixed(weather.RainPercent, 1);
    head.Text(":ThunderstromPercent=").Real(weather.ThunderstromPercent);
    head.Text(":WindTurbulencePercent=").Real(weather.WindTurbulencePercent);
    head.Text(":RateChangePercent=").Fixed(weather.RateChangePercent, 1).Text(":WaveDir=").Int(weather.WaveDir);
    head.Text(":WaveHeight=").Fixed(weather.WaveHeight, 1).Text(":WaveSpeed=").Fixed(weather.WaveSpeed, 1);
    head.Text(":WaveLenght=").Fixed(weather.WaveLenght, 1).Text(":");
    std::string text;
    AppendPiece(text, head);

    text += "Cloudlayer{";
    for (const XPCloudLayer& layer : weather.Cloudlayer) {
        CWireText piece;
        piece.Text("Type=").Int(layer.Type).Text(":Coverage=").Fixed(layer.Coverage, 0);
        piece.Text(":Base=").Fixed(layer.Base, 0).Text(":Top=").Fixed(layer.Top, 0).Text("|");
        AppendPiece(text, piece);
    }
    text += "}:WindLayer{";
    for (const XPWindLayer& layer : weather.WindLayer) {
        CWireText piece;
        piece.Text("Alt=").Fixed(layer.Alt, 0).Text(":Dir=").Fixed(layer.Dir, 1).Text(":Speed=").Fixed(layer.Speed, 0);
        piece.Text(":Turbulence=").Fixed(layer.Turbulence, 1).Text(":ShearDir=").Fixed(layer.ShearDir, 1);
        AppendPiece(text, piece.Text(":ShearSpeed=").Fixed(layer.ShearSpeed, 1).Text("|"));
    }
    text += "}";
    return text;
}
