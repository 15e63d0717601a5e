#include "platform/simconnectsim.h"

#include "platform/clock.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <mutex>
#include <optional>

namespace platform::simconnect {

namespace {

// A simulator falling behind by more than this many seconds sends only this many periodic messages and
// catches up with the clock.
constexpr std::int64_t kMaxCatchUpSeconds = 10;
constexpr std::size_t kObjectDataHeader = SIMCONNECT_RECV_SIMOBJECT_DATA_HEADER;

struct Value
{
    double number = 0.0;
    std::string text;
};

struct Datum
{
    std::string name;
    SIMCONNECT_DATATYPE type = SIMCONNECT_DATATYPE_INVALID;
};

struct Request
{
    DWORD definition = 0;
    SIMCONNECT_PERIOD period = SIMCONNECT_PERIOD_NEVER;
    DWORD flags = 0;
    std::int64_t lastSentMs = 0;
    std::optional<std::vector<unsigned char>> lastData;
};

struct Client
{
    std::map<DWORD, std::vector<Datum>> definitions;
    std::map<DWORD, Request> requests;
    std::deque<std::vector<unsigned char>> queue;
    // The message handed out by the last dispatch; 8-byte words keep the records aligned.
    std::vector<std::uint64_t> current;
    DWORD lastSendId = 0;
};

struct Simulator
{
    std::string applicationName;
    DWORD applicationVersion[4];
    DWORD simConnectVersion[4];
};

struct State
{
    std::optional<Simulator> simulator;
    std::map<std::string, Value> variables;
    std::map<std::uintptr_t, Client> clients;
    std::uintptr_t nextHandle = 1;
    std::map<std::string, HRESULT> failures;
    OpenAnswer openAnswer = OpenAnswer::OpenMessage;
    std::vector<std::string> calls;
    std::vector<SentText> texts;
    std::vector<SentObservation> observations;
    std::vector<SentTheme> themes;
    int customModes = 0;
    std::vector<std::string> flightPlans;
    std::vector<DataWrite> writes;
};

std::string Key(const std::string& name)
{
    std::string key = name;
    for (char& c : key)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return key;
}

std::size_t DatumSize(SIMCONNECT_DATATYPE type)
{
    switch (type) {
    case SIMCONNECT_DATATYPE_INT32:
    case SIMCONNECT_DATATYPE_FLOAT32:
        return 4;
    case SIMCONNECT_DATATYPE_INT64:
    case SIMCONNECT_DATATYPE_FLOAT64:
    case SIMCONNECT_DATATYPE_STRING8:
        return 8;
    case SIMCONNECT_DATATYPE_STRING32:
        return 32;
    case SIMCONNECT_DATATYPE_STRING64:
        return 64;
    case SIMCONNECT_DATATYPE_STRING128:
        return 128;
    case SIMCONNECT_DATATYPE_STRING256:
        return 256;
    case SIMCONNECT_DATATYPE_STRING260:
        return 260;
    default:
        return 0;
    }
}

std::size_t PackedSize(const std::vector<Datum>& definition)
{
    std::size_t size = 0;
    for (const Datum& datum : definition)
        size += DatumSize(datum.type);
    return size;
}

template<typename Integer> Integer ClampToInteger(double value)
{
    if (std::isnan(value))
        return 0;
    const double low = static_cast<double>(std::numeric_limits<Integer>::min());
    const double high = static_cast<double>(std::numeric_limits<Integer>::max());
    if (value <= low)
        return std::numeric_limits<Integer>::min();
    if (value >= high)
        return std::numeric_limits<Integer>::max();
    return static_cast<Integer>(value);
}

template<typename T> void Append(std::vector<unsigned char>& bytes, const T& value)
{
    const auto* raw = reinterpret_cast<const unsigned char*>(&value);
    bytes.insert(bytes.end(), raw, raw + sizeof(T));
}

template<typename T> T Take(const unsigned char* data)
{
    T value;
    std::memcpy(&value, data, sizeof(T));
    return value;
}

class Simulation
{
public:
    Simulation() { ResetLocked(SimulatorFromEnvironment()); }

    std::mutex mutex;
    State state;

    void ResetLocked(const std::string& simulator)
    {
        state = State();
        if (simulator == "fsx")
            state.simulator = Simulator{"Microsoft Flight Simulator X", {10, 0, 61472, 0}, {10, 0, 61259, 0}};
        else if (simulator == "p3d")
            state.simulator = Simulator{"Lockheed Martin Prepar3D v2", {2, 5, 12945, 0}, {2, 5, 0, 0}};
        ParkAircraft();
    }

    // The HRESULT of a call that must fail, after recording the call; nothing when it may go on.
    std::optional<HRESULT> Enter(const char* function)
    {
        state.calls.emplace_back(function);
        const auto failure = state.failures.find(function);
        if (failure != state.failures.end())
            return failure->second;
        return std::nullopt;
    }

    Client* Find(HANDLE handle)
    {
        const auto found = state.clients.find(reinterpret_cast<std::uintptr_t>(handle));
        return found == state.clients.end() ? nullptr : &found->second;
    }

    // A call that reaches the simulator gets the next packet id.
    static DWORD Sent(Client& client) { return ++client.lastSendId; }

    static void QueueExceptionTo(Client& client, DWORD exception, DWORD sendId, DWORD index)
    {
        SIMCONNECT_RECV_EXCEPTION message{};
        message.dwSize = sizeof(message);
        message.dwVersion = 4;
        message.dwID = SIMCONNECT_RECV_ID_EXCEPTION;
        message.dwException = exception;
        message.dwSendID = sendId;
        message.dwIndex = index;
        std::vector<unsigned char> bytes;
        Append(bytes, message);
        client.queue.push_back(std::move(bytes));
    }

    static void QueueQuitTo(Client& client)
    {
        SIMCONNECT_RECV_QUIT message{};
        message.dwSize = sizeof(message);
        message.dwVersion = 4;
        message.dwID = SIMCONNECT_RECV_ID_QUIT;
        std::vector<unsigned char> bytes;
        Append(bytes, message);
        client.queue.push_back(std::move(bytes));
    }

    void QueueOpenTo(Client& client)
    {
        SIMCONNECT_RECV_OPEN message{};
        message.dwSize = sizeof(message);
        message.dwVersion = 4;
        message.dwID = SIMCONNECT_RECV_ID_OPEN;
        const Simulator& simulator = *state.simulator;
        std::strncpy(message.szApplicationName, simulator.applicationName.c_str(),
                     sizeof(message.szApplicationName) - 1);
        message.dwApplicationVersionMajor = simulator.applicationVersion[0];
        message.dwApplicationVersionMinor = simulator.applicationVersion[1];
        message.dwApplicationBuildMajor = simulator.applicationVersion[2];
        message.dwApplicationBuildMinor = simulator.applicationVersion[3];
        message.dwSimConnectVersionMajor = simulator.simConnectVersion[0];
        message.dwSimConnectVersionMinor = simulator.simConnectVersion[1];
        message.dwSimConnectBuildMajor = simulator.simConnectVersion[2];
        message.dwSimConnectBuildMinor = simulator.simConnectVersion[3];
        std::vector<unsigned char> bytes;
        Append(bytes, message);
        client.queue.push_back(std::move(bytes));
    }

    static void QueueObjectDataTo(Client& client, DWORD requestId, DWORD definition,
                                  const std::vector<unsigned char>& data)
    {
        SIMCONNECT_RECV_SIMOBJECT_DATA message{};
        message.dwSize = static_cast<DWORD>(kObjectDataHeader + data.size());
        message.dwVersion = 4;
        message.dwID = SIMCONNECT_RECV_ID_SIMOBJECT_DATA;
        message.dwRequestID = requestId;
        message.dwObjectID = SIMCONNECT_OBJECT_ID_USER;
        message.dwDefineID = definition;
        message.dwentrynumber = 1;
        message.dwoutof = 1;
        message.dwDefineCount = 1;
        std::vector<unsigned char> bytes(kObjectDataHeader);
        std::memcpy(bytes.data(), &message, kObjectDataHeader);
        bytes.insert(bytes.end(), data.begin(), data.end());
        client.queue.push_back(std::move(bytes));
    }

    std::vector<unsigned char> Pack(const std::vector<Datum>& definition)
    {
        std::vector<unsigned char> bytes;
        for (const Datum& datum : definition) {
            const Value& value = state.variables[Key(datum.name)];
            switch (datum.type) {
            case SIMCONNECT_DATATYPE_INT32:
                Append(bytes, ClampToInteger<std::int32_t>(value.number));
                break;
            case SIMCONNECT_DATATYPE_INT64:
                Append(bytes, ClampToInteger<std::int64_t>(value.number));
                break;
            case SIMCONNECT_DATATYPE_FLOAT32:
                Append(bytes, static_cast<float>(value.number));
                break;
            case SIMCONNECT_DATATYPE_FLOAT64:
                Append(bytes, value.number);
                break;
            default: {
                const std::size_t size = DatumSize(datum.type);
                std::vector<unsigned char> field(size, 0);
                std::memcpy(field.data(), value.text.data(), std::min(value.text.size(), size - 1));
                bytes.insert(bytes.end(), field.begin(), field.end());
            }
            }
        }
        return bytes;
    }

    void Unpack(const std::vector<Datum>& definition, const unsigned char* data, DataWrite& write)
    {
        for (const Datum& datum : definition) {
            Value& value = state.variables[Key(datum.name)];
            const std::size_t size = DatumSize(datum.type);
            switch (datum.type) {
            case SIMCONNECT_DATATYPE_INT32:
                value.number = Take<std::int32_t>(data);
                break;
            case SIMCONNECT_DATATYPE_INT64:
                value.number = static_cast<double>(Take<std::int64_t>(data));
                break;
            case SIMCONNECT_DATATYPE_FLOAT32:
                value.number = Take<float>(data);
                break;
            case SIMCONNECT_DATATYPE_FLOAT64:
                value.number = Take<double>(data);
                break;
            default:
                value.text.assign(reinterpret_cast<const char*>(data),
                                  strnlen(reinterpret_cast<const char*>(data), size));
            }
            write.variables.push_back(datum.name);
            write.values.push_back(value.number);
            data += size;
        }
    }

    // Sends the data of one request; a changes-only request stays silent while its data is unchanged.
    void Send(Client& client, DWORD requestId, Request& request)
    {
        const auto definition = client.definitions.find(request.definition);
        if (definition == client.definitions.end())
            return;
        std::vector<unsigned char> data = Pack(definition->second);
        if ((request.flags & SIMCONNECT_DATA_REQUEST_FLAG_CHANGED) && request.lastData && *request.lastData == data)
            return;
        QueueObjectDataTo(client, requestId, request.definition, data);
        request.lastData = std::move(data);
    }

    // The periodic requests send once for every whole second that passed since they last did.
    void FollowClock(Client& client)
    {
        const std::int64_t now = MonotonicMs();
        for (auto& [id, request] : client.requests) {
            if (request.period != SIMCONNECT_PERIOD_SECOND)
                continue;
            std::int64_t seconds = (now - request.lastSentMs) / 1000;
            if (seconds <= 0)
                continue;
            if (seconds > kMaxCatchUpSeconds) {
                seconds = kMaxCatchUpSeconds;
                request.lastSentMs = now;
            } else {
                request.lastSentMs += seconds * 1000;
            }
            for (std::int64_t i = 0; i < seconds; ++i)
                Send(client, id, request);
        }
    }

    void SetNumber(const std::string& name, double number) { state.variables[Key(name)].number = number; }
    void SetText(const std::string& name, const std::string& text) { state.variables[Key(name)].text = text; }

    // A single-engine trainer parked at Frankfurt, engine off, brake set, two main tanks three quarters full.
    void ParkAircraft()
    {
        SetNumber("PLANE ALTITUDE", 364.0);
        SetNumber("PLANE LATITUDE", 50.0333);
        SetNumber("PLANE LONGITUDE", 8.5706);
        SetNumber("PLANE ALT ABOVE GROUND", 3.0);
        SetNumber("AMBIENT WIND DIRECTION", 250.0);
        SetNumber("AMBIENT WIND VELOCITY", 8.0);
        SetNumber("MAGVAR", 2.0);
        SetNumber("AMBIENT VISIBILITY", 20000.0);
        SetNumber("PLANE HEADING DEGREES MAGNETIC", 4.3633);
        SetNumber("SIM ON GROUND", 1.0);
        SetNumber("BRAKE PARKING POSITION", 1.0);
        SetText("TITLE", "Cessna Skyhawk 172SP Paint1");
        SetText("ATC TYPE", "Cessna");
        SetText("ATC ID", "N172SP");
        SetText("ATC MODEL", "C172");
        SetNumber("EMPTY WEIGHT", 1663.0);
        SetNumber("MAX GROSS WEIGHT", 2558.0);
        SetNumber("FUEL TANK LEFT MAIN LEVEL", 0.75);
        SetNumber("FUEL TANK LEFT MAIN CAPACITY", 28.0);
        SetNumber("FUEL TANK RIGHT MAIN LEVEL", 0.75);
        SetNumber("FUEL TANK RIGHT MAIN CAPACITY", 28.0);
        SetNumber("FUEL WEIGHT PER GALLON", 6.0);
        const char* stations[] = {"Pilot", "Front Passenger", "Rear Passengers", "Baggage"};
        SetNumber("PAYLOAD STATION COUNT", 4.0);
        for (int n = 1; n <= 4; ++n) {
            SetText("PAYLOAD STATION NAME:" + std::to_string(n), stations[n - 1]);
            SetNumber("PAYLOAD STATION WEIGHT:" + std::to_string(n), n == 1 ? 170.0 : 0.0);
        }
    }
};

Simulation& Sim()
{
    static Simulation simulation;
    return simulation;
}

} // namespace

namespace {

// Outside the tests the simulator's record is out of reach: with AEROVANE_SIM_LOG naming a file, every observation
// is also appended there as "<seconds> <METAR>", so a run shows what the simulator received.
void AppendToObservationLog(DWORD seconds, const char* metar)
{
    const char* path = std::getenv("AEROVANE_SIM_LOG");
    if (path == nullptr || *path == '\0')
        return;
    std::ofstream log(path, std::ios::app);
    log << seconds << ' ' << metar << '\n';
}

} // namespace

std::string SimulatorFromEnvironment()
{
    const char* name = std::getenv("AEROVANE_SIM");
    if (name == nullptr)
        return std::string();
    const std::string key = Key(name);
    if (key == "FSX")
        return "fsx";
    if (key == "P3D")
        return "p3d";
    return std::string();
}

void Reset(const std::string& simulator)
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    Sim().ResetLocked(simulator);
}

void FailCall(const std::string& function, HRESULT result)
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    if (result == S_OK)
        Sim().state.failures.erase(function);
    else
        Sim().state.failures[function] = result;
}

void SetOpenAnswer(OpenAnswer answer)
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    Sim().state.openAnswer = answer;
}

void SetVariable(const std::string& name, double value)
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    Sim().SetNumber(name, value);
}

void SetVariable(const std::string& name, const std::string& text)
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    Sim().SetText(name, text);
}

double GetNumber(const std::string& name)
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    return Sim().state.variables[Key(name)].number;
}

std::string GetText(const std::string& name)
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    return Sim().state.variables[Key(name)].text;
}

void QueueException(DWORD exception, DWORD sendId, DWORD index)
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    for (auto& [handle, client] : Sim().state.clients)
        Simulation::QueueExceptionTo(client, exception, sendId, index);
}

void QueueQuit()
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    for (auto& [handle, client] : Sim().state.clients)
        Simulation::QueueQuitTo(client);
}

void QueueObjectData(DWORD requestId, DWORD definition, const std::vector<unsigned char>& data)
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    for (auto& [handle, client] : Sim().state.clients)
        Simulation::QueueObjectDataTo(client, requestId, definition, data);
}

void AdvanceSecond()
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    for (auto& [handle, client] : Sim().state.clients)
        for (auto& [id, request] : client.requests)
            if (request.period == SIMCONNECT_PERIOD_SECOND)
                Sim().Send(client, id, request);
}

std::size_t OpenClients()
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    return Sim().state.clients.size();
}

std::size_t WaitingMessages()
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    std::size_t count = 0;
    for (const auto& [handle, client] : Sim().state.clients)
        count += client.queue.size();
    return count;
}

std::vector<std::string> Calls()
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    return Sim().state.calls;
}

std::vector<SentText> Texts()
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    return Sim().state.texts;
}

std::vector<SentObservation> Observations()
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    return Sim().state.observations;
}

std::vector<SentTheme> Themes()
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    return Sim().state.themes;
}

int CustomModeCount()
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    return Sim().state.customModes;
}

std::vector<std::string> FlightPlans()
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    return Sim().state.flightPlans;
}

std::vector<DataWrite> Writes()
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    return Sim().state.writes;
}

ScopedSimConnect::ScopedSimConnect(const std::string& simulator)
{
    Reset(simulator);
}

ScopedSimConnect::~ScopedSimConnect()
{
    Reset(SimulatorFromEnvironment());
}

} // namespace platform::simconnect

// The library functions, answered by the simulation.

using platform::simconnect::Client;
using platform::simconnect::Datum;
using platform::simconnect::Request;
using platform::simconnect::Sim;
using platform::simconnect::Simulation;

HRESULT SimConnect_Open(HANDLE* phSimConnect, const char* szName, HWND, DWORD, HANDLE, DWORD)
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    if (const auto failure = Sim().Enter("SimConnect_Open"))
        return *failure;
    if (phSimConnect == nullptr || szName == nullptr)
        return E_INVALIDARG;
    *phSimConnect = nullptr;
    if (!Sim().state.simulator)
        return E_FAIL;
    const std::uintptr_t id = Sim().state.nextHandle++;
    Client& client = Sim().state.clients[id];
    if (Sim().state.openAnswer == platform::simconnect::OpenAnswer::OpenMessage)
        Sim().QueueOpenTo(client);
    else if (Sim().state.openAnswer == platform::simconnect::OpenAnswer::Quit)
        Simulation::QueueQuitTo(client);
    *phSimConnect = reinterpret_cast<HANDLE>(id);
    return S_OK;
}

HRESULT SimConnect_Close(HANDLE hSimConnect)
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    if (const auto failure = Sim().Enter("SimConnect_Close"))
        return *failure;
    return Sim().state.clients.erase(reinterpret_cast<std::uintptr_t>(hSimConnect)) == 1 ? S_OK : E_FAIL;
}

HRESULT SimConnect_AddToDataDefinition(HANDLE hSimConnect, SIMCONNECT_DATA_DEFINITION_ID DefineID,
                                       const char* DatumName, const char*, SIMCONNECT_DATATYPE DatumType, float, DWORD)
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    if (const auto failure = Sim().Enter("SimConnect_AddToDataDefinition"))
        return *failure;
    Client* client = Sim().Find(hSimConnect);
    if (client == nullptr || DatumName == nullptr)
        return E_FAIL;
    const DWORD sendId = Simulation::Sent(*client);
    if (platform::simconnect::DatumSize(DatumType) == 0)
        Simulation::QueueExceptionTo(*client, SIMCONNECT_EXCEPTION_INVALID_DATA_TYPE, sendId, 4);
    else
        client->definitions[DefineID].push_back(Datum{DatumName, DatumType});
    return S_OK;
}

HRESULT SimConnect_ClearDataDefinition(HANDLE hSimConnect, SIMCONNECT_DATA_DEFINITION_ID DefineID)
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    if (const auto failure = Sim().Enter("SimConnect_ClearDataDefinition"))
        return *failure;
    Client* client = Sim().Find(hSimConnect);
    if (client == nullptr)
        return E_FAIL;
    const DWORD sendId = Simulation::Sent(*client);
    if (client->definitions.erase(DefineID) == 0)
        Simulation::QueueExceptionTo(*client, SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID, sendId, 1);
    return S_OK;
}

HRESULT SimConnect_SubscribeToSystemEvent(HANDLE hSimConnect, SIMCONNECT_CLIENT_EVENT_ID, const char* SystemEventName)
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    if (const auto failure = Sim().Enter("SimConnect_SubscribeToSystemEvent"))
        return *failure;
    Client* client = Sim().Find(hSimConnect);
    if (client == nullptr || SystemEventName == nullptr)
        return E_FAIL;
    Simulation::Sent(*client);
    return S_OK;
}

HRESULT SimConnect_RequestDataOnSimObject(HANDLE hSimConnect, SIMCONNECT_DATA_REQUEST_ID RequestID,
                                          SIMCONNECT_DATA_DEFINITION_ID DefineID, SIMCONNECT_OBJECT_ID ObjectID,
                                          SIMCONNECT_PERIOD Period, SIMCONNECT_DATA_REQUEST_FLAG Flags, DWORD, DWORD,
                                          DWORD)
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    if (const auto failure = Sim().Enter("SimConnect_RequestDataOnSimObject"))
        return *failure;
    Client* client = Sim().Find(hSimConnect);
    if (client == nullptr)
        return E_FAIL;
    const DWORD sendId = Simulation::Sent(*client);
    if (client->definitions.count(DefineID) == 0 || ObjectID != SIMCONNECT_OBJECT_ID_USER) {
        Simulation::QueueExceptionTo(*client, SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID, sendId,
                                     ObjectID != SIMCONNECT_OBJECT_ID_USER ? 4 : 3);
        return S_OK;
    }
    // A request id asked for again replaces the earlier request of that id.
    client->requests.erase(RequestID);
    if (Period == SIMCONNECT_PERIOD_NEVER)
        return S_OK;
    Request request;
    request.definition = DefineID;
    request.period = Period;
    request.flags = Flags;
    request.lastSentMs = platform::MonotonicMs();
    Sim().Send(*client, RequestID, request);
    if (Period != SIMCONNECT_PERIOD_ONCE)
        client->requests[RequestID] = std::move(request);
    return S_OK;
}

HRESULT SimConnect_SetDataOnSimObject(HANDLE hSimConnect, SIMCONNECT_DATA_DEFINITION_ID DefineID,
                                      SIMCONNECT_OBJECT_ID ObjectID, SIMCONNECT_DATA_SET_FLAG, DWORD ArrayCount,
                                      DWORD cbUnitSize, void* pDataSet)
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    if (const auto failure = Sim().Enter("SimConnect_SetDataOnSimObject"))
        return *failure;
    Client* client = Sim().Find(hSimConnect);
    if (client == nullptr || pDataSet == nullptr)
        return E_FAIL;
    const DWORD sendId = Simulation::Sent(*client);
    const auto definition = client->definitions.find(DefineID);
    if (definition == client->definitions.end() || ObjectID != SIMCONNECT_OBJECT_ID_USER) {
        Simulation::QueueExceptionTo(*client, SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID, sendId, 2);
        return S_OK;
    }
    if (ArrayCount > 1 || cbUnitSize != platform::simconnect::PackedSize(definition->second)) {
        Simulation::QueueExceptionTo(*client, SIMCONNECT_EXCEPTION_SIZE_MISMATCH, sendId, 6);
        return S_OK;
    }
    platform::simconnect::DataWrite write;
    write.definition = DefineID;
    Sim().Unpack(definition->second, static_cast<const unsigned char*>(pDataSet), write);
    Sim().state.writes.push_back(std::move(write));
    return S_OK;
}

HRESULT SimConnect_GetNextDispatch(HANDLE hSimConnect, SIMCONNECT_RECV** ppData, DWORD* pcbData)
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    if (const auto failure = Sim().Enter("SimConnect_GetNextDispatch"))
        return *failure;
    Client* client = Sim().Find(hSimConnect);
    if (client == nullptr || ppData == nullptr || pcbData == nullptr)
        return E_FAIL;
    Sim().FollowClock(*client);
    if (client->queue.empty())
        return E_FAIL;
    const std::vector<unsigned char> message = std::move(client->queue.front());
    client->queue.pop_front();
    client->current.assign((message.size() + 7) / 8, 0);
    std::memcpy(client->current.data(), message.data(), message.size());
    *ppData = reinterpret_cast<SIMCONNECT_RECV*>(client->current.data());
    *pcbData = static_cast<DWORD>(message.size());
    return S_OK;
}

HRESULT SimConnect_Text(HANDLE hSimConnect, SIMCONNECT_TEXT_TYPE type, float fTimeSeconds,
                        SIMCONNECT_CLIENT_EVENT_ID EventID, DWORD cbUnitSize, void* pDataSet)
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    if (const auto failure = Sim().Enter("SimConnect_Text"))
        return *failure;
    Client* client = Sim().Find(hSimConnect);
    if (client == nullptr || pDataSet == nullptr)
        return E_FAIL;
    Simulation::Sent(*client);
    platform::simconnect::SentText text;
    text.type = type;
    text.seconds = fTimeSeconds;
    text.eventId = EventID;
    text.bufferSize = cbUnitSize;
    const char* bytes = static_cast<const char*>(pDataSet);
    text.text.assign(bytes, strnlen(bytes, cbUnitSize));
    Sim().state.texts.push_back(std::move(text));
    return S_OK;
}

HRESULT SimConnect_GetLastSentPacketID(HANDLE hSimConnect, DWORD* pdwSendID)
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    if (const auto failure = Sim().Enter("SimConnect_GetLastSentPacketID"))
        return *failure;
    Client* client = Sim().Find(hSimConnect);
    if (client == nullptr || pdwSendID == nullptr)
        return E_FAIL;
    *pdwSendID = client->lastSendId;
    return S_OK;
}

HRESULT SimConnect_FlightPlanLoad(HANDLE hSimConnect, const char* szFileName)
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    if (const auto failure = Sim().Enter("SimConnect_FlightPlanLoad"))
        return *failure;
    Client* client = Sim().Find(hSimConnect);
    if (client == nullptr || szFileName == nullptr)
        return E_FAIL;
    const DWORD sendId = Simulation::Sent(*client);
    Sim().state.flightPlans.emplace_back(szFileName);
    // The simulator reads the plan later and reports a file it cannot read as an exception.
    std::error_code error;
    if (!std::filesystem::is_regular_file(szFileName, error))
        Simulation::QueueExceptionTo(*client, SIMCONNECT_EXCEPTION_LOAD_FLIGHTPLAN_FAILED, sendId, 1);
    return S_OK;
}

HRESULT SimConnect_WeatherSetObservation(HANDLE hSimConnect, DWORD Seconds, const char* szMETAR)
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    if (const auto failure = Sim().Enter("SimConnect_WeatherSetObservation"))
        return *failure;
    Client* client = Sim().Find(hSimConnect);
    if (client == nullptr || szMETAR == nullptr)
        return E_FAIL;
    Simulation::Sent(*client);
    Sim().state.observations.push_back(platform::simconnect::SentObservation{Seconds, szMETAR});
    platform::simconnect::AppendToObservationLog(Seconds, szMETAR);
    return S_OK;
}

HRESULT SimConnect_WeatherSetModeTheme(HANDLE hSimConnect, const char* szThemeName)
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    if (const auto failure = Sim().Enter("SimConnect_WeatherSetModeTheme"))
        return *failure;
    Client* client = Sim().Find(hSimConnect);
    if (client == nullptr)
        return E_FAIL;
    Simulation::Sent(*client);
    platform::simconnect::SentTheme theme;
    theme.hasName = szThemeName != nullptr;
    if (szThemeName != nullptr)
        theme.name = szThemeName;
    Sim().state.themes.push_back(std::move(theme));
    return S_OK;
}

HRESULT SimConnect_WeatherSetModeCustom(HANDLE hSimConnect)
{
    std::lock_guard<std::mutex> lock(Sim().mutex);
    if (const auto failure = Sim().Enter("SimConnect_WeatherSetModeCustom"))
        return *failure;
    Client* client = Sim().Find(hSimConnect);
    if (client == nullptr)
        return E_FAIL;
    Simulation::Sent(*client);
    ++Sim().state.customModes;
    return S_OK;
}
