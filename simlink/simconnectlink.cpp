#include "simlink/simconnectlink.h"

#include "platform/clock.h"
#include "platform/debugoutput.h"
#include "weather/position.h"
#include "weather/textconversion.h"
#include "weather/unitconversion.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace aviation::IPC {

using aviation::weather::TruncateToInt;

namespace {

constexpr const char* kClientName = "FSInterface";

// Data definitions and requests of the client.
constexpr DWORD kAircraftDefinition = 0;
constexpr DWORD kFuelReadDefinition = 1;
constexpr DWORD kFuelWriteDefinition = 2;
constexpr DWORD kPayloadReadDefinition = 3;
constexpr DWORD kPayloadWriteDefinition = 5;
constexpr DWORD kIdentityDefinition = 6;

constexpr DWORD kAircraftRequest = 0;
constexpr DWORD kFuelRequest = 1;
constexpr DWORD kPayloadRequest = 2;
constexpr DWORD kIdentityRequest = 4;

constexpr int kPayloadStations = 50;
constexpr int kFuelSlots = 11;

struct Datum
{
    std::string name;
    const char* units;
    SIMCONNECT_DATATYPE type;
};

using DataDefinition = std::vector<Datum>;

std::size_t DatumSize(SIMCONNECT_DATATYPE type)
{
    switch (type) {
    case SIMCONNECT_DATATYPE_FLOAT64:
        return 8;
    case SIMCONNECT_DATATYPE_STRING32:
        return 32;
    case SIMCONNECT_DATATYPE_STRING64:
        return 64;
    case SIMCONNECT_DATATYPE_STRING256:
        return 256;
    default:
        return 4;
    }
}

std::size_t PackedSize(const DataDefinition& definition)
{
    std::size_t size = 0;
    for (const Datum& datum : definition)
        size += DatumSize(datum.type);
    return size;
}

const DataDefinition& AircraftDefinition()
{
    static const DataDefinition definition = [] {
        DataDefinition d = {
            {"PLANE ALTITUDE", "feet", SIMCONNECT_DATATYPE_FLOAT64},
            {"Plane Latitude", "degrees", SIMCONNECT_DATATYPE_FLOAT64},
            {"Plane Longitude", "degrees", SIMCONNECT_DATATYPE_FLOAT64},
            {"PLANE ALT ABOVE GROUND", "feet", SIMCONNECT_DATATYPE_FLOAT64},
            {"AIRSPEED TRUE", "knots", SIMCONNECT_DATATYPE_FLOAT64},
            {"GROUND VELOCITY", "knots", SIMCONNECT_DATATYPE_FLOAT64},
            {"VERTICAL SPEED", "Feet per second", SIMCONNECT_DATATYPE_FLOAT64},
            {"AMBIENT WIND DIRECTION", "degrees", SIMCONNECT_DATATYPE_FLOAT64},
            {"AMBIENT WIND VELOCITY", "knots", SIMCONNECT_DATATYPE_FLOAT64},
            {"MAGVAR", "degrees", SIMCONNECT_DATATYPE_FLOAT64},
            {"AMBIENT VISIBILITY", "meters", SIMCONNECT_DATATYPE_FLOAT64},
            {"PLANE HEADING DEGREES MAGNETIC", "Radians", SIMCONNECT_DATATYPE_FLOAT64},
            {"SIM ON GROUND", "bool", SIMCONNECT_DATATYPE_INT32},
            {"AMBIENT IN CLOUD", "bool", SIMCONNECT_DATATYPE_INT32},
            {"BRAKE PARKING POSITION", "position", SIMCONNECT_DATATYPE_FLOAT64},
            {"GENERAL ENG COMBUSTION:1", "bool", SIMCONNECT_DATATYPE_FLOAT64},
            {"LIGHT LANDING", "bool", SIMCONNECT_DATATYPE_FLOAT64},
        };
        for (int exit = 0; exit < 6; ++exit)
            d.push_back({"EXIT OPEN:" + std::to_string(exit), "Percent Over 100", SIMCONNECT_DATATYPE_FLOAT64});
        return d;
    }();
    return definition;
}

const DataDefinition& IdentityDefinition()
{
    static const DataDefinition definition = {
        {"TITLE", nullptr, SIMCONNECT_DATATYPE_STRING256},
        {"ATC TYPE", nullptr, SIMCONNECT_DATATYPE_STRING32},
        {"ATC ID", nullptr, SIMCONNECT_DATATYPE_STRING32},
        {"ATC MODEL", nullptr, SIMCONNECT_DATATYPE_STRING32},
        {"ATC AIRLINE", nullptr, SIMCONNECT_DATATYPE_STRING64},
        {"ATC FLIGHT NUMBER", nullptr, SIMCONNECT_DATATYPE_STRING32},
        {"ESTIMATED FUEL FLOW", "Pounds per hour", SIMCONNECT_DATATYPE_INT32},
        {"EMPTY WEIGHT", "Pounds", SIMCONNECT_DATATYPE_FLOAT32},
        {"MAX GROSS WEIGHT", "Pounds", SIMCONNECT_DATATYPE_FLOAT32},
    };
    return definition;
}

// The fuel tank slots in the order of the fuel definitions, with the tank numbers of the aircraft records.
struct FuelSlot
{
    const char* tank;
    int id;
};

constexpr FuelSlot kFuelSlotTable[kFuelSlots] = {
    {"CENTER", 4},     {"CENTER2", 5},   {"CENTER3", 6},   {"LEFT MAIN", 3},  {"LEFT AUX", 2},   {"LEFT TIP", 1},
    {"RIGHT MAIN", 7}, {"RIGHT AUX", 8}, {"RIGHT TIP", 9}, {"EXTERNAL1", 10}, {"EXTERNAL2", 11},
};

std::string TankVariable(const FuelSlot& slot, const char* what)
{
    return std::string("FUEL TANK ") + slot.tank + " " + what;
}

const DataDefinition& FuelReadDefinition()
{
    static const DataDefinition definition = [] {
        DataDefinition d;
        for (const FuelSlot& slot : kFuelSlotTable) {
            d.push_back({TankVariable(slot, "LEVEL"), "Percent Over 100", SIMCONNECT_DATATYPE_FLOAT64});
            d.push_back({TankVariable(slot, "CAPACITY"), "Gallons", SIMCONNECT_DATATYPE_FLOAT64});
        }
        d.push_back({"FUEL WEIGHT PER GALLON", "Pounds", SIMCONNECT_DATATYPE_FLOAT64});
        return d;
    }();
    return definition;
}

const DataDefinition& FuelWriteDefinition()
{
    static const DataDefinition definition = [] {
        DataDefinition d;
        for (const FuelSlot& slot : kFuelSlotTable)
            d.push_back({TankVariable(slot, "LEVEL"), "Percent Over 100", SIMCONNECT_DATATYPE_FLOAT64});
        return d;
    }();
    return definition;
}

const DataDefinition& PayloadReadDefinition()
{
    static const DataDefinition definition = [] {
        DataDefinition d = {{"PAYLOAD STATION COUNT", "Number", SIMCONNECT_DATATYPE_INT32}};
        for (int n = 1; n <= kPayloadStations; ++n) {
            d.push_back({"PAYLOAD STATION NAME:" + std::to_string(n), nullptr, SIMCONNECT_DATATYPE_STRING256});
            d.push_back({"PAYLOAD STATION WEIGHT:" + std::to_string(n), "Pounds", SIMCONNECT_DATATYPE_INT32});
        }
        return d;
    }();
    return definition;
}

// The requests the client keeps running once the simulator has answered the open: the definition each one
// reads, and whether it sends every second or only when a value changed.
struct PeriodicRequest
{
    DWORD request;
    DWORD definitionId;
    const DataDefinition& (*definition)();
    SIMCONNECT_DATA_REQUEST_FLAG flag;
};

const PeriodicRequest kPeriodicRequests[] = {
    {kAircraftRequest, kAircraftDefinition, &AircraftDefinition, SIMCONNECT_DATA_REQUEST_FLAG_DEFAULT},
    {kFuelRequest, kFuelReadDefinition, &FuelReadDefinition, SIMCONNECT_DATA_REQUEST_FLAG_CHANGED},
    {kPayloadRequest, kPayloadReadDefinition, &PayloadReadDefinition, SIMCONNECT_DATA_REQUEST_FLAG_CHANGED},
    {kIdentityRequest, kIdentityDefinition, &IdentityDefinition, SIMCONNECT_DATA_REQUEST_FLAG_CHANGED},
};

std::string FormatNarrow(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, arguments);
        text.resize(static_cast<std::size_t>(length));
    }
    va_end(arguments);
    return text;
}

// Reads the values of an object-data message one after the other, in definition order. The caller has made
// sure that the message holds the definition's packed size.
class PackedReader
{
public:
    explicit PackedReader(const unsigned char* data)
        : m_data(data)
    {
    }

    double Float64() { return Take<double>(); }
    float Float32() { return Take<float>(); }
    std::int32_t Int32() { return Take<std::int32_t>(); }
    // A fixed-size text field; a field without its NUL ends at the field's end.
    std::wstring Text(std::size_t size)
    {
        const char* text = reinterpret_cast<const char*>(m_data);
        m_data += size;
        return CharToWString(std::string_view(text, strnlen(text, size)));
    }

private:
    template<typename T> T Take()
    {
        T value;
        std::memcpy(&value, m_data, sizeof(T));
        m_data += sizeof(T);
        return value;
    }

    const unsigned char* m_data;
};

const char* const kExceptionNames[] = {
    "NONE",
    "ERROR",
    "SIZE_MISMATCH",
    "UNRECOGNIZED_ID",
    "UNOPENED",
    "VERSION_MISMATCH",
    "TOO_MANY_GROUPS",
    "NAME_UNRECOGNIZED",
    "TOO_MANY_EVENT_NAMES",
    "EVENT_ID_DUPLICATE",
    "TOO_MANY_MAPS",
    "TOO_MANY_OBJECTS",
    "TOO_MANY_REQUESTS",
    "WEATHER_INVALID_PORT",
    "WEATHER_INVALID_METAR",
    "WEATHER_UNABLE_TO_GET_OBSERVATION",
    "WEATHER_UNABLE_TO_CREATE_STATION",
    "WEATHER_UNABLE_TO_REMOVE_STATION",
    "INVALID_DATA_TYPE",
    "INVALID_DATA_SIZE",
    "DATA_ERROR",
    "INVALID_ARRAY",
    "CREATE_OBJECT_FAILED",
    "LOAD_FLIGHTPLAN_FAILED",
    "OPERATION_INVALID_FOR_OBJECT_TYPE",
    "ILLEGAL_OPERATION",
    "ALREADY_SUBSCRIBED",
    "INVALID_ENUM",
    "DEFINITION_ERROR",
    "DUPLICATE_ID",
    "DATUM_ID",
    "OUT_OF_BOUNDS",
    "ALREADY_CREATED",
    "OBJECT_OUTSIDE_REALITY_BUBBLE",
    "OBJECT_CONTAINER",
    "OBJECT_AI",
    "OBJECT_ATC",
    "OBJECT_SCHEDULE",
};

} // namespace

CSimConnectLink::CSimConnectLink() = default;

CSimConnectLink::~CSimConnectLink()
{
    if (connected)
        lastResult = SimConnect_Close(handle);
}

bool CSimConnectLink::Open()
{
    if (connected)
        Close();
    lastError.clear();
    lastResult = SimConnect_Open(&handle, kClientName, nullptr, 0, nullptr, 0);
    if (lastResult != S_OK) {
        std::string text = "SimConnect: n. Connected";
        if (lastResult == E_FAIL)
            text += ", E_FAIL";
        else if (lastResult == E_INVALIDARG)
            text += ", E_INVALIDARG";
        if (lastResult == E_FAIL || lastResult == E_INVALIDARG)
            platform::DebugOut(text + "\n");
        else
            text += FormatNarrow(", 0x%08X", static_cast<unsigned>(lastResult));
        lastError = CharToWString(text.c_str());
        handle = nullptr;
        connected = false;
        return false;
    }
    connected = true;
    quitReceived = 0;
    DeclareData();
    return WaitForOpen();
}

void CSimConnectLink::DeclareData()
{
    const std::pair<DWORD, const DataDefinition*> definitions[] = {
        {kAircraftDefinition, &AircraftDefinition()},       {kIdentityDefinition, &IdentityDefinition()},
        {kFuelReadDefinition, &FuelReadDefinition()},       {kFuelWriteDefinition, &FuelWriteDefinition()},
        {kPayloadReadDefinition, &PayloadReadDefinition()},
    };
    for (const auto& [id, definition] : definitions)
        for (const Datum& datum : *definition)
            lastResult = SimConnect_AddToDataDefinition(handle, id, datum.name.c_str(), datum.units, datum.type, 0.0f,
                                                        SIMCONNECT_UNUSED);
    lastResult = SimConnect_SubscribeToSystemEvent(handle, 0, "Sim");
}

// The simulator answers the open with its open message; the periodic requests are made when it arrives.
// A simulator that quits first, or stays silent for kOpenPolls polls, leaves the link closed.
bool CSimConnectLink::WaitForOpen()
{
    std::wstring failure = L"SimConnect: no open message from the simulator";
    for (int poll = 0; poll < kOpenPolls; ++poll) {
        const int kind = Dispatch();
        if (kind == 2)
            return true;
        if (kind == 4) {
            failure = L"SimConnect: the simulator quit before the open message";
            break;
        }
        if (kind == 1)
            platform::SleepMs(kOpenPollPauseMs);
    }
    platform::DebugOut(failure + L"\n");
    Close();
    lastError = failure;
    return false;
}

bool CSimConnectLink::Close()
{
    if (!connected)
        return true;
    lastResult = SimConnect_Close(handle);
    handle = nullptr;
    connected = false;
    return lastResult == S_OK;
}

int CSimConnectLink::Dispatch()
{
    SIMCONNECT_RECV* message = nullptr;
    DWORD size = 0;
    lastResult = SimConnect_GetNextDispatch(handle, &message, &size);
    if (FAILED(lastResult) || message == nullptr)
        return 1;
    if (size < sizeof(SIMCONNECT_RECV))
        return 0;
    if (message->dwSize < size)
        size = message->dwSize;
    switch (message->dwID) {
    case SIMCONNECT_RECV_ID_EXCEPTION:
        if (size < sizeof(SIMCONNECT_RECV_EXCEPTION))
            return 0;
        OnException(*static_cast<const SIMCONNECT_RECV_EXCEPTION*>(message), size);
        return 3;
    case SIMCONNECT_RECV_ID_OPEN:
        if (size < sizeof(SIMCONNECT_RECV_OPEN))
            return 0;
        OnOpen(*static_cast<const SIMCONNECT_RECV_OPEN*>(message));
        return 2;
    case SIMCONNECT_RECV_ID_QUIT:
        quitReceived = 1;
        return 4;
    case SIMCONNECT_RECV_ID_SIMOBJECT_DATA:
        if (size >= SIMCONNECT_RECV_SIMOBJECT_DATA_HEADER)
            OnObjectData(*static_cast<const SIMCONNECT_RECV_SIMOBJECT_DATA*>(message), size);
        return 0;
    default:
        return 0;
    }
}

void CSimConnectLink::DispatchWaiting()
{
    for (int taken = 0; taken < kDrainLimit; ++taken)
        if (Dispatch() == 1)
            return;
}

void CSimConnectLink::OnException(const SIMCONNECT_RECV_EXCEPTION& message, DWORD size)
{
    const std::wstring name = GetExceptionName(message.dwException);
    const std::string text = FormatNarrow("***** %ls EXCEPTION=%d  SendID=%d  Index=%d  cbData=%d", name.c_str(),
                                          static_cast<int>(message.dwException), static_cast<int>(message.dwSendID),
                                          static_cast<int>(message.dwIndex), static_cast<int>(size));
    platform::DebugOut(text + "\n");
    lastError = CharToWString(text.c_str());
}

void CSimConnectLink::OnOpen(const SIMCONNECT_RECV_OPEN& message)
{
    const std::string name(message.szApplicationName,
                           strnlen(message.szApplicationName, sizeof(message.szApplicationName)));
    const unsigned app[] = {message.dwApplicationVersionMajor, message.dwApplicationVersionMinor,
                            message.dwApplicationBuildMajor, message.dwApplicationBuildMinor};
    const unsigned sim[] = {message.dwSimConnectVersionMajor, message.dwSimConnectVersionMinor,
                            message.dwSimConnectBuildMajor, message.dwSimConnectBuildMinor};
    platform::DebugOut(FormatNarrow("\nOpen: AppName=\"%s\"  AppVersion=%u.%u.%u.%u  SimConnectVersion=%u.%u.%u.%u\n",
                                    name.c_str(), app[0], app[1], app[2], app[3], sim[0], sim[1], sim[2], sim[3]));
    appVersionText = CharToWString(FormatNarrow("AppVersion=%u.%u.%u.%u", app[0], app[1], app[2], app[3]).c_str());
    simConnectVersionText = CharToWString(FormatNarrow("%u.%u.%u.%u", sim[0], sim[1], sim[2], sim[3]).c_str());

    for (const PeriodicRequest& periodic : kPeriodicRequests)
        lastResult = SimConnect_RequestDataOnSimObject(handle, periodic.request, periodic.definitionId,
                                                       SIMCONNECT_OBJECT_ID_USER, SIMCONNECT_PERIOD_SECOND,
                                                       periodic.flag, 0, 0, 0);
}

void CSimConnectLink::OnObjectData(const SIMCONNECT_RECV_SIMOBJECT_DATA& message, DWORD size)
{
    const DataDefinition* definition = nullptr;
    for (const PeriodicRequest& periodic : kPeriodicRequests) {
        if (periodic.request == message.dwRequestID)
            definition = &periodic.definition();
    }
    if (!definition)
        return;
    const std::size_t available = size - SIMCONNECT_RECV_SIMOBJECT_DATA_HEADER;
    if (available < PackedSize(*definition)) {
        platform::DebugOut(FormatNarrow("SimConnect: data of request %u ignored, %zu of %zu bytes\n",
                                        static_cast<unsigned>(message.dwRequestID), available,
                                        PackedSize(*definition)));
        return;
    }
    PackedReader data(reinterpret_cast<const unsigned char*>(&message) + SIMCONNECT_RECV_SIMOBJECT_DATA_HEADER);

    switch (message.dwRequestID) {
    case kAircraftRequest: {
        aircraft.altitude = TruncateToInt(data.Float64());
        aircraft.SetLatitude(data.Float64());
        aircraft.SetLongitude(data.Float64());
        aircraft.height = TruncateToInt(data.Float64());
        aircraft.tas = TruncateToInt(data.Float64());
        aircraft.groundSpeed = TruncateToInt(data.Float64());
        aircraft.verticalSpeed = TruncateToInt(data.Float64() * 60.0);
        aircraft.ambientWind.direction = data.Float64();
        aircraft.ambientWind.speed = data.Float64();
        aircraft.ambientWind.gust = -1.0;
        aircraft.magVar = static_cast<float>(data.Float64());
        aircraft.visibility = static_cast<float>(TruncateToInt(data.Float64() / 1000.0));
        aircraft.heading.direction = aviation::RadToDeg(data.Float64());
        aircraft.onGround = data.Int32() != 0;
        data.Int32(); // in cloud
        aircraft.parkingBrake = data.Float64() != 0.0;
        aircraft.enginesOff = data.Float64() == 0.0;
        aircraft.landingLights = data.Float64() != 0.0;
        bool doorOpen = false;
        for (int exit = 0; exit < 6; ++exit)
            doorOpen = (data.Float64() != 0.0) || doorOpen;
        aircraft.doorOpen = doorOpen;
        break;
    }
    case kFuelRequest: {
        aviation::structs::CAircraftFuel tanks;
        for (const FuelSlot& slot : kFuelSlotTable) {
            const double level = data.Float64();
            const double capacity = data.Float64();
            if (capacity > 0.0)
                tanks.AddTank(aviation::structs::CAircraftFuelTank(level * 100.0, capacity, slot.id, L""));
        }
        fuel.tanks = tanks.tanks;
        fuel.SetFuelWeight(data.Float64());
        break;
    }
    case kPayloadRequest: {
        payload = aviation::structs::CAircraftPayload();
        const int count = data.Int32();
        for (int n = 1; n <= count && n <= kPayloadStations; ++n) {
            const std::wstring name = data.Text(256);
            const float weight = static_cast<float>(data.Int32());
            payload.AddStation(aviation::structs::CAircraftPayloadStation(name, weight, 0.0f, 0));
        }
        break;
    }
    case kIdentityRequest:
        detail.name = data.Text(256);
        detail.type = data.Text(32);
        detail.Registration = data.Text(32);
        detail.code = data.Text(32);
        detail.airline = data.Text(64);
        data.Text(32); // flight number
        detail.FuelFlow = static_cast<float>(data.Int32());
        detail.EmptyWeight = data.Float32();
        detail.maxGrossWeight = data.Float32();
        break;
    }
}

void CSimConnectLink::ReadAircraft(aviation::structs::CAircraft& out)
{
    DispatchWaiting();
    out = aircraft;
}

void CSimConnectLink::GetPayload(aviation::structs::CAircraftPayload& out) const
{
    out.stations = payload.stations;
    out.count = payload.count;
}

bool CSimConnectLink::RequestFuel()
{
    return Checked(SimConnect_RequestDataOnSimObject(handle, kFuelRequest, kFuelReadDefinition,
                                                     SIMCONNECT_OBJECT_ID_USER, SIMCONNECT_PERIOD_ONCE,
                                                     SIMCONNECT_DATA_REQUEST_FLAG_DEFAULT, 0, 0, 0),
                   "SimConnect_RequestDataOnSimObject");
}

bool CSimConnectLink::WriteFuel(const aviation::structs::CAircraftFuel& newFuel)
{
    double levels[kFuelSlots] = {};
    for (int slot = 0; slot < kFuelSlots; ++slot) {
        const aviation::structs::CAircraftFuelTank tank = newFuel.GetTank(kFuelSlotTable[slot].id);
        if (tank.capacity != 0.0)
            levels[slot] = tank.level / 100.0;
    }
    return Checked(SimConnect_SetDataOnSimObject(handle, kFuelWriteDefinition, SIMCONNECT_OBJECT_ID_USER,
                                                 SIMCONNECT_DATA_SET_FLAG_DEFAULT, 0, sizeof(levels), levels),
                   "SimConnect_SetDataOnSimObject");
}

// Each station goes through a one-datum definition of its own: added, sent and cleared again.
bool CSimConnectLink::WritePayload(const aviation::structs::CAircraftPayload& newPayload)
{
    bool cleared = true;
    for (std::size_t i = 0; i < newPayload.stations.size(); ++i) {
        const std::string variable = "PAYLOAD STATION WEIGHT:" + std::to_string(i + 1);
        lastResult = SimConnect_AddToDataDefinition(handle, kPayloadWriteDefinition, variable.c_str(), "Pounds",
                                                    SIMCONNECT_DATATYPE_FLOAT64, 0.0f, SIMCONNECT_UNUSED);
        double weight = newPayload.stations[i].weight;
        const bool sent
            = Checked(SimConnect_SetDataOnSimObject(handle, kPayloadWriteDefinition, SIMCONNECT_OBJECT_ID_USER,
                                                    SIMCONNECT_DATA_SET_FLAG_DEFAULT, 0, sizeof(weight), &weight),
                      "SimConnect_SetDataOnSimObject");
        // The definition is cleared on failure too, so that the next write does not find a datum left over.
        const HRESULT clear = SimConnect_ClearDataDefinition(handle, kPayloadWriteDefinition);
        if (!sent)
            return false;
        cleared = Checked(clear, "SimConnect_ClearDataDefinition");
    }
    return cleared;
}

bool CSimConnectLink::ShowText(const std::wstring& text)
{
    char buffer[kTextBuffer];
    WCharToChar(text.c_str(), buffer, sizeof(buffer));
    return ShowText8(buffer);
}

bool CSimConnectLink::ShowText8(const std::string& text)
{
    char buffer[kTextBuffer] = {};
    text.copy(buffer, kTextBuffer - 1);
    const bool shown = Checked(SimConnect_Text(handle, SIMCONNECT_TEXT_TYPE_PRINT_WHITE, 3.0f, 1, kTextBuffer, buffer),
                               "SimConnect_Text");
    platform::DebugOut(FormatNarrow("Text=%s SendID=%u\n", buffer, static_cast<unsigned>(GetLastSentPacketId())));
    return shown;
}

bool CSimConnectLink::LoadFlightPlan(const std::wstring& path)
{
    char buffer[kLongTextBuffer];
    WCharToChar(path.c_str(), buffer, sizeof(buffer));
    return Checked(SimConnect_FlightPlanLoad(handle, buffer), "SimConnect_FlightPlanLoad");
}

bool CSimConnectLink::SetWeatherObservation(const std::wstring& metar, int seconds)
{
    lastError.clear();
    char buffer[kLongTextBuffer];
    WCharToChar(metar.c_str(), buffer, sizeof(buffer));
    const bool sent
        = Checked(SimConnect_WeatherSetObservation(handle, static_cast<DWORD>(seconds < 0 ? 0 : seconds), buffer),
                  "SimConnect_WeatherSetObservation");
    platform::DebugOut(L"\n" + metar);
    return sent;
}

bool CSimConnectLink::SetWeatherTheme(const std::string& theme)
{
    SimConnect_WeatherSetModeTheme(handle, theme.c_str());
    return Checked(SimConnect_WeatherSetModeCustom(handle), "SimConnect_WeatherSetModeCustom");
}

bool CSimConnectLink::ClearWeather()
{
    SimConnect_WeatherSetModeTheme(handle, nullptr);
    return Checked(SimConnect_WeatherSetModeCustom(handle), "SimConnect_WeatherSetModeCustom");
}

DWORD CSimConnectLink::GetLastSentPacketId()
{
    DWORD id = 0;
    SimConnect_GetLastSentPacketID(handle, &id);
    return id;
}

std::wstring CSimConnectLink::GetExceptionName(DWORD exception)
{
    if (exception >= std::size(kExceptionNames))
        return std::wstring();
    return L"SIMCONNECT_EXCEPTION_" + CharToWString(kExceptionNames[exception]);
}

bool CSimConnectLink::Checked(HRESULT result, const char* call)
{
    lastResult = result;
    if (SUCCEEDED(result))
        return true;
    lastError = CharToWString(FormatNarrow("%s failed, 0x%08X", call, static_cast<unsigned>(result)).c_str());
    return false;
}

} // namespace aviation::IPC
