// Readers of the bridge's ANSW payloads to the four READ requests, e.g. the fuel answer
//     NumOfStation=2:FuelWeight=6.700000:StationID=3|Name=Left Main|Capacity=1288.000000|Level=80.000000:...
// Items are taken by position, and each value from a fixed character of its item: the key and "=" before it are
// skipped unread, so the bridge has to send keys of exactly the expected lengths.

#include "simlink/linkmessage.h"

#include "platform/debugoutput.h"
#include "simlink/wiretext.h"
#include "weather/textconversion.h"

#include <cfloat>
#include <cmath>
#include <string_view>
#include <vector>

using aviation::structs::CAircraft;
using aviation::structs::CAircraftDetail;
using aviation::structs::CAircraftFuel;
using aviation::structs::CAircraftFuelTank;
using aviation::structs::CAircraftPayload;
using aviation::structs::CAircraftPayloadStation;

namespace {

// Weights and speeds kept as float: a value beyond the float range is held at its largest finite value.
float FloatValue(std::string_view text)
{
    const double value = CWireText::ReadReal(text);
    if (std::isnan(value))
        return static_cast<float>(value);
    return static_cast<float>(std::fmax(-FLT_MAX, std::fmin(FLT_MAX, value)));
}

bool FlagValue(std::string_view text)
{
    return text == "1";
}

std::wstring TextValue(std::string_view text)
{
    return CharToWString(text);
}

// The payload's items (or a station entry's fields): the pieces between the delimiters, a line end after the
// last one dropped.
std::vector<std::string> Items(std::string text, char delimiter)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    std::vector<std::string> items;
    SplitString(text, delimiter, items);
    return items;
}

// Hands out the value of item `index` from character `start` on. A missing item, or one shorter than `start`,
// is reported once on the debug output in the parser's name, and the parse ends there.
class CItemValues
{
public:
    CItemValues(const std::vector<std::string>& items, const char* parser)
        : m_items(items)
        , m_parser(parser)
    {
    }

    bool Get(std::size_t index, std::size_t start, std::string_view& value) const
    {
        if (index >= m_items.size())
            return Fail("no item " + std::to_string(index) + " of " + std::to_string(m_items.size()));
        const std::string& item = m_items[index];
        if (item.size() < start)
            return Fail("item " + std::to_string(index) + " \"" + item + "\" shorter than " + std::to_string(start)
                        + " characters");
        value = std::string_view(item).substr(start);
        return true;
    }

private:
    bool Fail(const std::string& description) const
    {
        platform::DebugOut("\nError in " + std::string(m_parser) + " - " + description + "\n");
        return false;
    }

    const std::vector<std::string>& m_items;
    const char* m_parser;
};

// One item of the aircraft answer: its index, where its value starts and the field it fills.
struct AircraftItem
{
    std::size_t index;
    std::size_t start;
    void (*store)(CAircraft& aircraft, std::string_view value);
};

const AircraftItem kAircraftItemsBeforeWind[] = {
    {0, 7, [](CAircraft& a, std::string_view v) { a.height = CWireText::ReadInt(v); }},
    {1, 4, [](CAircraft& a, std::string_view v) { a.altitude = CWireText::ReadInt(v); }},
    {2, 4, [](CAircraft& a, std::string_view v) { a.tas = CWireText::ReadInt(v); }},
    {3, 3, [](CAircraft& a, std::string_view v) { a.groundSpeed = CWireText::ReadInt(v); }},
    {4, 4, [](CAircraft& a, std::string_view v) { a.heading.direction = CWireText::ReadReal(v); }},
    {5, 3, [](CAircraft& a, std::string_view v) { a.verticalSpeed = CWireText::ReadInt(v); }},
};

const AircraftItem kAircraftItemsAfterWind[] = {
    {8, 7, [](CAircraft& a, std::string_view v) { a.magVar = FloatValue(v); }},
    {9, 4, [](CAircraft& a, std::string_view v) { a.visibility = FloatValue(v); }},
    {10, 4, [](CAircraft& a, std::string_view v) { a.SetLatitude(CWireText::ReadReal(v)); }},
    {11, 4, [](CAircraft& a, std::string_view v) { a.SetLongitude(CWireText::ReadReal(v)); }},
    {12, 11, [](CAircraft& a, std::string_view v) { a.onGround = FlagValue(v); }},
    {13, 12, [](CAircraft& a, std::string_view v) { a.enginesOff = FlagValue(v); }},
    {14, 17, [](CAircraft& a, std::string_view v) { a.landingLights = FlagValue(v); }},
    {15, 11, [](CAircraft& a, std::string_view v) { a.doorOpen = FlagValue(v); }},
    {16, 18, [](CAircraft& a, std::string_view v) { a.parkingBrake = FlagValue(v); }},
};

// The failure texts of the detail, fuel and payload readers carry this name.
constexpr const char* kRecordParserName = "Wind::ToWind";

} // namespace

// Height=4636:Alt=5000:TAS=250:GS=240:Hdg=250.0:VS=0:AmbWndDir=270.0:AmbWndSpeed=12.0:MagVar=-2.0:Vis=20:
// Lat=50.037900:Lon=8.562200:IsOnGround=0:EngineIsOff=0:LandingLightIsOn=1:DoorIsOpen=0:ParkingBrakeIsSet=0
CAircraft CLinkMessage::ToAircraft() const
{
    CAircraft aircraft;
    const std::vector<std::string> items = Items(m_payload, ':');
    if (items.size() != 17)
        return aircraft;
    const CItemValues values(items, "CAIRCRAFT::FromString");
    std::string_view value;
    for (const AircraftItem& item : kAircraftItemsBeforeWind) {
        if (!values.Get(item.index, item.start, value))
            return aircraft;
        item.store(aircraft, value);
    }
    // The wind's direction and speed are stored together or not at all.
    std::string_view speed;
    if (!values.Get(6, 10, value) || !values.Get(7, 12, speed))
        return aircraft;
    aircraft.ambientWind.direction = CWireText::ReadReal(value);
    aircraft.ambientWind.speed = CWireText::ReadReal(speed);
    aircraft.ambientWind.gust = -1.0;
    for (const AircraftItem& item : kAircraftItemsAfterWind) {
        if (!values.Get(item.index, item.start, value))
            return aircraft;
        item.store(aircraft, value);
    }
    return aircraft;
}

// Name=Boeing 737-800:Type=B738:Reg=D-ABCD:Model=B738:Airline=Aerovane Air:EmptyWeight=91300.0:Aux=0.0:
// MaxGrossWeight=174200.0:MTO=174200.0:MLW=146300.0:MRW=174700.0:FuelFlow=5300.0
CAircraftDetail CLinkMessage::ToAircraftDetail() const
{
    CAircraftDetail detail;
    const std::vector<std::string> items = Items(m_payload, ':');
    if (items.size() < 12)
        return detail;
    static constexpr std::size_t kStarts[12] = {5, 5, 4, 6, 8, 12, 4, 15, 4, 4, 4, 9};
    const CItemValues values(items, kRecordParserName);
    std::string_view v[12];
    for (std::size_t i = 0; i < 12; ++i) {
        if (!values.Get(i, kStarts[i], v[i]))
            return detail;
    }
    detail.name = TextValue(v[0]);
    detail.type = TextValue(v[1]);
    detail.Registration = TextValue(v[2]);
    detail.code = TextValue(v[3]);
    detail.airline = TextValue(v[4]);
    detail.EmptyWeight = FloatValue(v[5]);
    detail.auxWeight = FloatValue(v[6]);
    detail.maxGrossWeight = FloatValue(v[7]);
    detail.maxTakeOffWeight = FloatValue(v[8]);
    detail.maxLandingWeight = FloatValue(v[9]);
    detail.maxRampWeight = FloatValue(v[10]);
    detail.FuelFlow = FloatValue(v[11]);
    return detail;
}

CAircraftFuel CLinkMessage::ToAircraftFuel() const
{
    CAircraftFuel fuel;
    const std::vector<std::string> items = Items(m_payload, ':');
    if (items.size() < 2)
        return fuel;
    const CItemValues values(items, kRecordParserName);
    std::string_view value;
    if (!values.Get(0, 13, value))
        return fuel;
    const int announced = CWireText::ReadInt(value);
    if (!values.Get(1, 11, value))
        return fuel;
    fuel.fuelWeight = CWireText::ReadReal(value);

    for (int i = 0; i < announced; ++i) {
        std::string_view entry;
        if (!values.Get(static_cast<std::size_t>(i) + 2, 0, entry))
            break;
        const std::vector<std::string> fields = Items(std::string(entry), '|');
        if (fields.size() != 4)
            break;
        const CItemValues tank(fields, kRecordParserName);
        std::string_view id, name, capacity, level;
        if (!tank.Get(0, 10, id) || !tank.Get(1, 5, name) || !tank.Get(2, 9, capacity) || !tank.Get(3, 6, level))
            break;
        fuel.AddTank(CAircraftFuelTank(CWireText::ReadReal(level), CWireText::ReadReal(capacity),
                                       CWireText::ReadInt(id), TextValue(name)));
    }
    return fuel;
}

CAircraftPayload CLinkMessage::ToAircraftPayload() const
{
    CAircraftPayload payload;
    const std::vector<std::string> items = Items(m_payload, ':');
    if (items.empty())
        return payload;
    const CItemValues values(items, kRecordParserName);
    std::string_view value;
    if (!values.Get(0, 13, value))
        return payload;
    const int announced = CWireText::ReadInt(value);

    for (int i = 1; i <= announced; ++i) {
        std::string_view entry;
        if (!values.Get(static_cast<std::size_t>(i), 0, entry))
            break;
        const std::vector<std::string> fields = Items(std::string(entry), '|');
        if (fields.size() != 4)
            break;
        const CItemValues station(fields, kRecordParserName);
        std::string_view name, type, maxWeight, weight;
        if (!station.Get(0, 12, name) || !station.Get(1, 5, type) || !station.Get(2, 10, maxWeight)
            || !station.Get(3, 7, weight))
            break;
        payload.AddStation(CAircraftPayloadStation(TextValue(name), FloatValue(weight), FloatValue(maxWeight),
                                                   CWireText::ReadInt(type)));
    }
    return payload;
}
