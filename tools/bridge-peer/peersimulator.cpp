#include "tools/bridge-peer/peersimulator.h"

#include "simlink/linkmessage.h"
#include "simlink/wiretext.h"
#include "weather/textconversion.h"

#include <algorithm>
#include <vector>

using aviation::structs::CAircraft;
using aviation::structs::CAircraftDetail;
using aviation::structs::CAircraftFuel;
using aviation::structs::CAircraftFuelTank;
using aviation::structs::CAircraftPayload;
using aviation::structs::CAircraftPayloadStation;

namespace tools {
namespace {

std::string Frame(LinkCommand command, std::uint8_t subCode, const std::string& payload)
{
    return CLinkMessage(command, subCode, payload.c_str()).ToString();
}

// The number after "=" of a "Key=value" item, read as the program reads the numbers of a payload.
double ItemValue(const std::string& item)
{
    const std::size_t equals = item.find('=');
    return equals == std::string::npos ? 0.0 : CWireText::ReadReal(std::string_view(item).substr(equals + 1));
}

CAircraft StartAircraft()
{
    CAircraft aircraft;
    aircraft.SetLatitude(50.0333);
    aircraft.SetLongitude(8.5706);
    aircraft.altitude = 5000;
    aircraft.height = 4636;
    aircraft.tas = 250;
    aircraft.groundSpeed = 240;
    aircraft.heading.direction = 249.0;
    aircraft.ambientWind = aviation::weather::CWind(270.0, 12.0, -1.0);
    aircraft.visibility = 20.0f;
    aircraft.magVar = 2.0f;
    aircraft.landingLights = true;
    return aircraft;
}

CAircraftDetail StartDetail()
{
    CAircraftDetail detail;
    detail.name = L"Boeing 737-800 Aerovane Air";
    detail.type = L"Boeing";
    detail.Registration = L"D-AVNE";
    detail.code = L"B738";
    detail.airline = L"Aerovane Air";
    detail.EmptyWeight = 91300.0f;
    detail.maxGrossWeight = 174200.0f;
    detail.maxTakeOffWeight = 174200.0f;
    detail.maxLandingWeight = 146300.0f;
    detail.maxRampWeight = 174700.0f;
    detail.FuelFlow = 5300.0f;
    return detail;
}

CAircraftFuel StartFuel()
{
    CAircraftFuel fuel;
    fuel.SetFuelWeight(6.7);
    fuel.AddTank(CAircraftFuelTank(80.0, 1288.0, 3, L"Left Main"));
    fuel.AddTank(CAircraftFuelTank(30.0, 4299.0, 4, L"Center"));
    fuel.AddTank(CAircraftFuelTank(80.0, 1288.0, 7, L"Right Main"));
    return fuel;
}

CAircraftPayload StartPayload()
{
    CAircraftPayload payload;
    payload.AddStation(CAircraftPayloadStation(L"Pilot", 170.0f, 300.0f, 0));
    payload.AddStation(CAircraftPayloadStation(L"First Officer", 170.0f, 300.0f, 0));
    payload.AddStation(CAircraftPayloadStation(L"Forward Cabin", 6800.0f, 12000.0f, 0));
    payload.AddStation(CAircraftPayloadStation(L"Aft Cabin", 8500.0f, 14000.0f, 0));
    payload.AddStation(CAircraftPayloadStation(L"Forward Cargo", 2200.0f, 7000.0f, 0));
    payload.AddStation(CAircraftPayloadStation(L"Aft Cargo", 2800.0f, 9000.0f, 0));
    return payload;
}

} // namespace

CPeerSimulator::CPeerSimulator()
    : m_aircraft(StartAircraft())
    , m_detail(StartDetail())
    , m_fuel(StartFuel())
    , m_payload(StartPayload())
{
}

std::string CPeerSimulator::Answer(const CLinkMessage& request)
{
    switch (request.GetCommand()) {
    case LinkHelo: {
        const char* server = m_simulator == Simulator::XPlane ? "Nimbolux" : "Aerovane Bridge";
        CWireText text;
        text.Text("ServerName=").Text(server).Text(":ServerAPIVersion=").Int(m_apiVersion);
        return Frame(LinkAnsw, request.GetSubCode(), text.Str());
    }
    case LinkCofs: {
        const std::pair<int, int> numbers = GetVersionNumbers();
        CWireText text;
        text.Text("SimVersion=").Int(numbers.first).Text(":FSVersion=").Int(numbers.second);
        return Frame(LinkFsst, request.GetSubCode(), text.Str());
    }
    case LinkRead:
        return AnswerRead(request);
    case LinkWrit:
        return AnswerWrite(request);
    case LinkQuit:
        return std::string();
    default:
        return Frame(LinkNoCommand, request.GetSubCode(), "Unknown request");
    }
}

std::pair<int, int> CPeerSimulator::GetVersionNumbers() const
{
    switch (m_simulator) {
    case Simulator::P3D:
        return {4, 3};
    case Simulator::FS9:
        return {2, 1};
    case Simulator::XPlane:
        return {10, 10};
    case Simulator::FSX:
        break;
    }
    return {3, 3};
}

std::string CPeerSimulator::AnswerRead(const CLinkMessage& request)
{
    switch (request.GetSubCode()) {
    case LinkSubCode::ReadAircraft:
        if (m_flight.empty())
            FlyOneSecond();
        else
            PlayNextSample();
        return Frame(LinkAnsw, LinkSubCode::ReadAircraft, AircraftText());
    case LinkSubCode::ReadFuel:
        return Frame(LinkAnsw, LinkSubCode::ReadFuel, CLinkMessage::FromAircraftFuel(m_fuel));
    case LinkSubCode::ReadPayload:
        return Frame(LinkAnsw, LinkSubCode::ReadPayload, CLinkMessage::FromAircraftPayload(m_payload));
    case LinkSubCode::ReadAircraftDetail:
        return Frame(LinkAnsw, LinkSubCode::ReadAircraftDetail, DetailText());
    default:
        return Frame(LinkNoCommand, request.GetSubCode(), "Unknown request");
    }
}

std::string CPeerSimulator::AnswerWrite(const CLinkMessage& request)
{
    if (m_refuseWrites)
        return Frame(LinkNoCommand, request.GetSubCode(), "Refused");
    switch (request.GetSubCode()) {
    case LinkSubCode::WriteFuel:
        for (const CAircraftFuelTank& tank : request.ToAircraftFuel().tanks)
            m_fuel.SetTankLevel(tank.id, tank.level);
        break;
    case LinkSubCode::WritePayload: {
        const std::vector<CAircraftPayloadStation> loaded = request.ToAircraftPayload().stations;
        for (std::size_t i = 0; i < loaded.size() && i < m_payload.stations.size(); ++i)
            m_payload.stations[i].weight = loaded[i].weight;
        break;
    }
    case LinkSubCode::WriteWind: {
        // "Dir=270.00:Speed=15.00:Gust=0.00" sets the wind at the aircraft.
        std::vector<std::string> items;
        SplitString(request.GetPayload(), ':', items);
        if (items.size() >= 2) {
            m_aircraft.ambientWind.direction = ItemValue(items[0]);
            m_aircraft.ambientWind.speed = ItemValue(items[1]);
        }
        break;
    }
    default:
        break;
    }
    return Frame(LinkAnsw, request.GetSubCode(), "OK");
}

void CPeerSimulator::PlayFlight(const std::vector<CAircraft>& samples)
{
    m_flight = samples;
    m_flightStep = 0;
}

void CPeerSimulator::PlayNextSample()
{
    CAircraft sample = m_flight[std::min(m_flightStep, m_flight.size() - 1)];
    sample.ambientWind = m_aircraft.ambientWind;
    sample.visibility = m_aircraft.visibility;
    sample.magVar = m_aircraft.magVar;
    m_aircraft = sample;
    if (m_flightStep < m_flight.size())
        ++m_flightStep;
}

void CPeerSimulator::FlyOneSecond()
{
    m_aircraft.Move(m_aircraft.heading.direction, m_aircraft.groundSpeed / 3600.0);
}

// Height=4636:Alt=5000:TAS=250:GS=240:Hdg=249.0:VS=0:AmbWndDir=270.0:AmbWndSpeed=12.0:MagVar=2.0:Vis=20:
// Lat=50.033300:Lon=8.570600:IsOnGround=0:EngineIsOff=0:LandingLightIsOn=1:DoorIsOpen=0:ParkingBrakeIsSet=0
std::string CPeerSimulator::AircraftText() const
{
    const CAircraft& a = m_aircraft;
    CWireText text;
    text.Text("Height=").Int(a.height).Text(":Alt=").Int(a.altitude).Text(":TAS=").Int(a.tas);
    text.Text(":GS=").Int(a.groundSpeed).Text(":Hdg=").Fixed(a.heading.direction, 1);
    text.Text(":VS=").Int(a.verticalSpeed).Text(":AmbWndDir=").Fixed(a.ambientWind.direction, 1);
    text.Text(":AmbWndSpeed=").Fixed(a.ambientWind.speed, 1).Text(":MagVar=").Fixed(a.magVar, 1);
    text.Text(":Vis=").Fixed(a.visibility, 0).Text(":Lat=").Fixed(a.GetLatitude(), 6);
    text.Text(":Lon=").Fixed(a.GetLongitude(), 6).Text(":IsOnGround=").Int(a.onGround);
    text.Text(":EngineIsOff=").Int(a.enginesOff).Text(":LandingLightIsOn=").Int(a.landingLights);
    text.Text(":DoorIsOpen=").Int(a.doorOpen).Text(":ParkingBrakeIsSet=").Int(a.parkingBrake);
    return text.Str();
}

// Name=Boeing 737-800 Aerovane Air:Type=Boeing:Reg=D-AVNE:Model=B738:Airline=Aerovane Air:EmptyWeight=91300.0:
// Aux=0.0:MaxGrossWeight=174200.0:MTO=174200.0:MLW=146300.0:MRW=174700.0:FuelFlow=5300.0
std::string CPeerSimulator::DetailText() const
{
    const CAircraftDetail& d = m_detail;
    CWireText text;
    text.Text("Name=").Text(WStringToChar(d.name)).Text(":Type=").Text(WStringToChar(d.type));
    text.Text(":Reg=").Text(WStringToChar(d.Registration)).Text(":Model=").Text(WStringToChar(d.code));
    text.Text(":Airline=").Text(WStringToChar(d.airline)).Text(":EmptyWeight=").Fixed(d.EmptyWeight, 1);
    text.Text(":Aux=").Fixed(d.auxWeight, 1).Text(":MaxGrossWeight=").Fixed(d.maxGrossWeight, 1);
    text.Text(":MTO=").Fixed(d.maxTakeOffWeight, 1).Text(":MLW=").Fixed(d.maxLandingWeight, 1);
    text.Text(":MRW=").Fixed(d.maxRampWeight, 1).Text(":FuelFlow=").Fixed(d.FuelFlow, 1);
    return text.Str();
}

bool CPeerSimulator::SimulatorFromName(const std::string& name, Simulator& simulator)
{
    for (const Simulator candidate : {Simulator::FSX, Simulator::P3D, Simulator::FS9, Simulator::XPlane}) {
        if (name == SimulatorName(candidate)) {
            simulator = candidate;
            return true;
        }
    }
    return false;
}

const char* CPeerSimulator::SimulatorName(Simulator simulator)
{
    switch (simulator) {
    case Simulator::P3D:
        return "p3d";
    case Simulator::FS9:
        return "fs9";
    case Simulator::XPlane:
        return "xplane";
    case Simulator::FSX:
        break;
    }
    return "fsx";
}

} // namespace tools
