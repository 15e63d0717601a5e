#include "simlink/fsuipclink.h"

#include "platform/clock.h"
#include "simlink/aircraft.h"
#include "simlink/aircraftdetail.h"
#include "simlink/aircraftfuel.h"
#include "simlink/aircraftpayload.h"
#include "simlink/fsuipcclient.h"
#include "simlink/fsuipcoffsets.h"
#include "simlink/newweather.h"
#include "weather/textconversion.h"
#include "weather/unitconversion.h"
#include "weather/wind.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace aviation::IPC {

namespace Offset = FSUIPCOffset;
using aviation::weather::kFeetPerMetre;
using aviation::weather::TruncateToInt;

namespace {

constexpr int kWeatherCounterReReads = 11;
constexpr int kWeatherCounterPauseMs = 50;
constexpr std::uint16_t kMessageDisplayValue = 3;
constexpr double kTwoTo32 = 4294967296.0;

// The weather counter seen after the last weather record, shared by every link object (guarded by the FSUIPC
// client's lock); unset until the first weather record of the program.
std::optional<int> g_lastWeatherCounter;

struct Simulator
{
    const wchar_t* name;
    int family;
};

// By FSUIPC's simulator number 1 to 10.
const Simulator kSimulators[] = {
    {L"FS98", 1},   {L"FS2000", 1}, {L"CFS2", 1}, {L"CFS1", 1}, {L"Fly!", 1},
    {L"FS2002", 1}, {L"FS2004", 2}, {L"FSX", 3},  {L"ESP", 3},  {L"P3D", 4},
};

const wchar_t* const kResultTexts[] = {
    L"Okay",
    L"Attempt to Open when already Open",
    L"not connected",
    L"Failed to Register common message with Windows",
    L"Failed to create Atom for mapping filename",
    L"Failed to create a file mapping object",
    L"Failed to open a view to the file map",
    L"Incorrect version of FSUIPC, or not FSUIPC",
    L"Sim is not version requested",
    L"Call cannot execute, link not Open",
    L"Call cannot execute: no requests accumulated",
    L"IPC timed out all retries",
    L"IPC send message failed all retries",
    L"IPC request contains bad data",
    L"Maybe running on WideClient, but FS not running on Server, or wrong FSUIPC",
    L"Read or Write request cannot be added, memory for Process is full",
    L"Wert nicht im Bereich",
};

// An 8-bit text of a fixed-size field; it ends at the first NUL or at the field's end.
std::wstring FieldText(const char* field, std::size_t size)
{
    return CharToWString(std::string_view(field, strnlen(field, size)));
}

std::uint32_t ReadOne(std::uint32_t offset, std::uint32_t size, void* destination)
{
    std::uint32_t result = FSUIPCResult::Ok;
    if (FSUIPC_Read(offset, size, destination, result))
        FSUIPC_Process(result);
    return result;
}

std::uint32_t WriteOne(std::uint32_t offset, std::uint32_t size, const void* source)
{
    std::uint32_t result = FSUIPCResult::Ok;
    if (FSUIPC_Write(offset, size, source, result))
        FSUIPC_Process(result);
    return result;
}

// Reads how many payload stations the aircraft has; a larger count than the payload table holds is not believed.
std::uint32_t ReadPayloadCount(std::uint32_t& count)
{
    count = 0;
    const std::uint32_t result = ReadOne(Offset::PayloadCount, 4, &count);
    count = std::min(count, Offset::PayloadStations);
    return result;
}

// Reads FSUIPC's weather counter into `counter`; returns the value read, or -1 when the exchange failed.
int ReadWeatherCounter(int& counter)
{
    std::int32_t value = 0;
    if (ReadOne(Offset::WeatherCounter, 4, &value) != FSUIPCResult::Ok)
        return -1;
    counter = value;
    return value;
}

} // namespace

CFSUIPCLink::CFSUIPCLink() = default;

CFSUIPCLink::~CFSUIPCLink() = default;

bool CFSUIPCLink::Open()
{
    CFSUIPCLock lock;
    std::uint32_t result = FSUIPCResult::Ok;
    FSUIPC_Open(0, result);
    if (result != FSUIPCResult::Ok && result != FSUIPCResult::AlreadyOpen)
        return false;
    DetectVersions(m_simulatorName, m_versionText);
    return true;
}

void CFSUIPCLink::Close()
{
    FSUIPC_Close();
}

std::uint32_t CFSUIPCLink::DetectVersions(std::wstring& name, std::wstring& versionText)
{
    const std::uint32_t number = FSUIPC_GetSimulatorWord();
    if (number < 1 || number > 10) {
        name = L"unkown";
        return 0;
    }
    name = kSimulators[number - 1].name;
    m_simulatorFamily = kSimulators[number - 1].family;
    const std::uint32_t version = FSUIPC_GetVersionWord();
    versionText = L"FSUIPC-Ver: ";
    versionText += static_cast<wchar_t>(L'0' + ((version >> 28) & 0xF));
    versionText += L'.';
    for (int shift = 24; shift >= 16; shift -= 4)
        versionText += static_cast<wchar_t>(L'0' + ((version >> shift) & 0xF));
    return 0;
}

int CFSUIPCLink::GetSimulatorFamily() const
{
    return m_simulatorFamily;
}

std::uint32_t CFSUIPCLink::ShowText(const std::wstring& text)
{
    char block[Offset::MessageTextSize] = {};
    const std::wstring shown = text.substr(0, Offset::MessageTextSize - 1);
    WCharToChar(shown.c_str(), block, sizeof(block));
    const std::uint16_t display = kMessageDisplayValue;

    CFSUIPCLock lock;
    std::uint32_t result = FSUIPCResult::Ok;
    if (FSUIPC_Write(Offset::MessageText, sizeof(block), block, result)
        && FSUIPC_Write(Offset::MessageDisplay, 2, &display, result))
        FSUIPC_Process(result);
    return result;
}

std::uint32_t CFSUIPCLink::WriteWeatherCommand(std::uint16_t command)
{
    CFSUIPCLock lock;
    return WriteOne(Offset::WeatherArea, 2, &command);
}

std::uint32_t CFSUIPCLink::WriteWeatherRecord(const CNewWeather& record)
{
    static_assert(sizeof(CNewWeather) == Offset::WeatherRecordSize, "one record fills the New Weather area");
    CFSUIPCLock lock;
    int current = ReadWeatherCounter(m_weatherCounter);
    if (!g_lastWeatherCounter)
        g_lastWeatherCounter = current;

    const std::uint32_t result = WriteOne(Offset::WeatherArea, sizeof(record), &record);
    if (result != FSUIPCResult::Ok)
        return result;

    for (int reReads = 0; current == *g_lastWeatherCounter; ++reReads) {
        if (reReads == kWeatherCounterReReads)
            return FSUIPCResult::TimedOut;
        current = ReadWeatherCounter(m_weatherCounter);
        platform::SleepMs(kWeatherCounterPauseMs);
    }
    g_lastWeatherCounter = current;
    return FSUIPCResult::Ok;
}

std::uint32_t CFSUIPCLink::WriteAmbientWind(const aviation::weather::CWind& wind)
{
    if (wind.direction == -1.0 || wind.speed == -1.0 || wind.speed < 0.0 || wind.speed > 200.0)
        return 0;
    const double direction = wind.direction;
    const double speed = wind.speed;

    CFSUIPCLock lock;
    std::uint32_t result = FSUIPCResult::Ok;
    if (FSUIPC_Write(Offset::AmbientWindDirection, 8, &direction, result)
        && FSUIPC_Write(Offset::AmbientWindSpeed, 8, &speed, result))
        FSUIPC_Process(result);
    return result;
}

std::uint32_t CFSUIPCLink::ReadAircraft(aviation::structs::CAircraft& aircraft)
{
    std::int64_t latitude = 0, longitude = 0, altitude = 0;
    std::int32_t verticalSpeed = 0, height = 0, groundSpeed = 0, tas = 0;
    std::uint32_t heading = 0;
    double windDirection = 0.0, windSpeed = 0.0, visibilityMetres = 0.0;
    std::uint16_t onGround = 0, parkingBrake = 0, engine = 0, lights = 0;
    std::int16_t magVar = 0, visibilityMiles = 0;
    std::uint8_t door = 0;

    const struct
    {
        std::uint32_t offset;
        std::uint32_t size;
        void* destination;
    } reads[] = {
        {Offset::Latitude, 8, &latitude},
        {Offset::Longitude, 8, &longitude},
        {Offset::VerticalSpeed, 4, &verticalSpeed},
        {Offset::HeightAboveGround, 4, &height},
        {Offset::Altitude, 8, &altitude},
        {Offset::GroundSpeed, 4, &groundSpeed},
        {Offset::TrueAirspeed, 4, &tas},
        {Offset::Heading, 4, &heading},
        {Offset::AmbientWindDirection, 8, &windDirection},
        {Offset::AmbientWindSpeed, 8, &windSpeed},
        {Offset::OnGround, 2, &onGround},
        {Offset::MagneticVariation, 2, &magVar},
        {Offset::VisibilityMetres, 8, &visibilityMetres},
        {Offset::VisibilityMiles, 2, &visibilityMiles},
        {Offset::ParkingBrake, 2, &parkingBrake},
        {Offset::EngineCombustion, 2, &engine},
        {Offset::LandingLights, 2, &lights},
        {Offset::DoorOpen, 1, &door},
    };

    CFSUIPCLock lock;
    std::uint32_t result = FSUIPCResult::Ok;
    for (const auto& read : reads) {
        if (!FSUIPC_Read(read.offset, read.size, read.destination, result))
            return result;
    }
    if (!FSUIPC_Process(result))
        return result;

    aircraft.SetLatitude(static_cast<double>(latitude) * 90.0 / (10001750.0 * kTwoTo32));
    aircraft.SetLongitude(static_cast<double>(longitude) * 360.0 / (kTwoTo32 * kTwoTo32));
    aircraft.altitude = TruncateToInt(static_cast<double>(altitude) / kTwoTo32 * kFeetPerMetre);
    aircraft.height = TruncateToInt(height * kFeetPerMetre / 65536.0);
    aircraft.groundSpeed = TruncateToInt(groundSpeed / 65536.0 * 3600.0 / 1852.0);
    aircraft.tas = TruncateToInt(tas / 128.0);
    // The product is a 32-bit one, wrapping as FSUIPC's own arithmetic does.
    const auto perMinute = static_cast<std::int32_t>(static_cast<std::uint32_t>(verticalSpeed) * 60u);
    aircraft.verticalSpeed = TruncateToInt(perMinute * kFeetPerMetre / 256.0);
    aircraft.heading.direction = heading * 360.0 / kTwoTo32;
    aircraft.magVar = static_cast<float>(magVar * 360.0 / 65536.0);
    aircraft.ambientWind.direction = windDirection;
    aircraft.ambientWind.speed = windSpeed;
    aircraft.ambientWind.gust = -1.0;
    const bool metresKnown = m_simulatorFamily == 3 || m_simulatorFamily == 4;
    const double kilometres = metresKnown ? visibilityMetres / 1000.0 : visibilityMiles / 100.0 * 1.609344;
    aircraft.visibility = static_cast<float>(TruncateToInt(kilometres));
    aircraft.onGround = onGround == 1;
    aircraft.parkingBrake = parkingBrake != 0;
    aircraft.enginesOff = engine == 0;
    aircraft.landingLights = lights != 0;
    aircraft.doorOpen = door != 0;
    return result;
}

std::uint32_t CFSUIPCLink::ReadAircraftDetail(aviation::structs::CAircraftDetail& detail)
{
    char title[Offset::TitleSize] = {};
    char registration[Offset::RegistrationSize] = {};
    char airline[Offset::AirlineSize] = {};
    char type[Offset::TypeSize] = {};
    std::int32_t fuelFlow = 0, emptyWeight = 0, maxGrossWeight = 0;

    CFSUIPCLock lock;
    std::uint32_t result = FSUIPCResult::Ok;
    const bool queued = FSUIPC_Read(Offset::Title, sizeof(title), title, result)
        && FSUIPC_Read(Offset::Registration, sizeof(registration), registration, result)
        && FSUIPC_Read(Offset::Airline, sizeof(airline), airline, result)
        && FSUIPC_Read(Offset::Type, sizeof(type), type, result) && FSUIPC_Read(Offset::FuelFlow, 4, &fuelFlow, result)
        && FSUIPC_Read(Offset::EmptyWeight, 4, &emptyWeight, result)
        && FSUIPC_Read(Offset::MaxGrossWeight, 4, &maxGrossWeight, result);
    if (!queued || !FSUIPC_Process(result))
        return result;

    detail.name = FieldText(title, sizeof(title));
    detail.Registration = FieldText(registration, sizeof(registration));
    detail.airline = FieldText(airline, sizeof(airline));
    detail.type = FieldText(type, sizeof(type));
    detail.FuelFlow = static_cast<float>(fuelFlow);
    detail.EmptyWeight = static_cast<float>(emptyWeight / 256.0);
    detail.maxGrossWeight = static_cast<float>(maxGrossWeight / 256.0);
    return result;
}

std::uint32_t CFSUIPCLink::ReadPayload(aviation::structs::CAircraftPayload& payload)
{
    CFSUIPCLock lock;
    std::uint32_t count = 0;
    std::uint32_t result = ReadPayloadCount(count);
    if (result != FSUIPCResult::Ok)
        return result;
    for (std::uint32_t i = 0; i < count; ++i) {
        char name[Offset::PayloadNameSize] = {};
        double weight = 0.0;
        if (FSUIPC_Read(Offset::PayloadName + Offset::PayloadStride * i, sizeof(name), name, result)
            && FSUIPC_Read(Offset::PayloadWeight + Offset::PayloadStride * i, 8, &weight, result))
            FSUIPC_Process(result);
        if (result != FSUIPCResult::Ok)
            return result;
        payload.AddStation(aviation::structs::CAircraftPayloadStation(FieldText(name, sizeof(name)),
                                                                      static_cast<float>(weight), 0.0f, 0));
    }
    return result;
}

std::uint32_t CFSUIPCLink::ReadTank(int id, aviation::structs::CAircraftFuelTank& tank)
{
    if (!Offset::IsTankId(id))
        return 0;
    const Offset::TankOffsets& offsets = Offset::Tanks[id - 1];

    CFSUIPCLock lock;
    std::int32_t capacity = 0;
    std::int32_t level = 0;
    std::uint32_t result = ReadOne(offsets.capacity, 4, &capacity);
    if (result != FSUIPCResult::Ok)
        return result;
    result = ReadOne(offsets.level, 4, &level);
    if (result != FSUIPCResult::Ok || capacity <= 0)
        return result;

    const auto percentTimesFull = static_cast<std::int32_t>(static_cast<std::uint32_t>(level) * 100u);
    tank = aviation::structs::CAircraftFuelTank(static_cast<double>(percentTimesFull) / Offset::FullTank,
                                                static_cast<double>(capacity), id, std::wstring());
    return result;
}

std::uint32_t CFSUIPCLink::ReadFuelWeight(double& poundsPerGallon)
{
    CFSUIPCLock lock;
    std::int16_t value = 0;
    const std::uint32_t result = ReadOne(Offset::FuelWeight, 2, &value);
    if (result == FSUIPCResult::Ok)
        poundsPerGallon = value / 256.0;
    return result;
}

std::uint32_t CFSUIPCLink::WriteTank(int id, const aviation::structs::CAircraftFuelTank& tank)
{
    if (!Offset::IsTankId(id))
        return 0;
    const std::int32_t level = TruncateToInt(tank.level / 100.0 * Offset::FullTank);
    CFSUIPCLock lock;
    return WriteOne(Offset::Tanks[id - 1].level, 4, &level);
}

std::uint32_t CFSUIPCLink::WritePayload(const aviation::structs::CAircraftPayload& payload)
{
    const auto& stations = payload.stations;
    if (std::none_of(stations.begin(), stations.end(), [](const auto& station) { return station.maxWeight != 0.0f; }))
        return 0;

    CFSUIPCLock lock;
    std::uint32_t count = 0;
    std::uint32_t result = ReadPayloadCount(count);
    if (result != FSUIPCResult::Ok)
        return result;

    for (std::uint32_t i = 0; i < stations.size() && i < count; ++i) {
        if (stations[i].maxWeight == 0.0f)
            continue;
        const double weight = stations[i].weight;
        result = WriteOne(Offset::PayloadWeight + Offset::PayloadStride * i, 8, &weight);
        if (result != FSUIPCResult::Ok)
            return result;
    }
    return 0;
}

std::uint32_t CFSUIPCLink::ReadFlightPlanFolder(std::wstring& folder)
{
    char text[Offset::FlightPlanFolderSize] = {};
    CFSUIPCLock lock;
    const std::uint32_t result = ReadOne(Offset::FlightPlanFolder, sizeof(text), text);
    if (result == FSUIPCResult::Ok)
        folder = FieldText(text, sizeof(text));
    return result;
}

std::wstring CFSUIPCLink::GetResultText(std::uint32_t result)
{
    constexpr std::uint32_t last = sizeof(kResultTexts) / sizeof(kResultTexts[0]) - 1;
    return kResultTexts[std::min(result, last)];
}

} // namespace aviation::IPC
