#pragma once

// Control side of the in-process simulated SimConnect that answers the functions of platform/simconnect.h.
// It plays a running FSX or Prepar3D: it answers an open with the simulator's versions, keeps the simulation
// variables by name ("PLANE ALTITUDE", "PAYLOAD STATION NAME:12", case-insensitive), packs them by the
// client's data definitions every simulated second, and records everything a client sends. A simulator runs
// only when the environment variable AEROVANE_SIM names one ("fsx" or "p3d"); tests choose one with
// ScopedSimConnect and inject failures. With AEROVANE_SIM_LOG naming a file, each weather observation is also
// appended to it, so a run outside the tests shows what the simulator received.

#include "platform/simconnect.h"

#include <cstddef>
#include <string>
#include <vector>

namespace platform::simconnect {

// One SimConnect_Text call as the simulator received it.
struct SentText
{
    DWORD type = 0;
    float seconds = 0.0f;
    DWORD eventId = 0;
    DWORD bufferSize = 0;
    std::string text; // the buffer up to its first NUL
};

// One SimConnect_WeatherSetObservation call.
struct SentObservation
{
    DWORD seconds = 0;
    std::string metar;
};

// One SimConnect_WeatherSetModeTheme call; a null theme name gives hasName false.
struct SentTheme
{
    bool hasName = false;
    std::string name;
};

// One SimConnect_SetDataOnSimObject call that matched its definition: the variables written, in order.
struct DataWrite
{
    DWORD definition = 0;
    std::vector<std::string> variables;
    std::vector<double> values;
};

// Picks the simulator that answers ("fsx", "p3d"; anything else: none runs) and forgets all clients,
// variables, records and failures. The variables start as a small aircraft parked at Frankfurt.
void Reset(const std::string& simulator);
// The simulator named by AEROVANE_SIM, or "" when it names none.
std::string SimulatorFromEnvironment();

// Failures: the named function ("SimConnect_WeatherSetObservation") answers `result` from now on, without
// doing its work. Result S_OK removes the failure.
void FailCall(const std::string& function, HRESULT result);
// How the simulator answers a client's open: with its open message, not at all (a simulator that hangs while
// a client connects), or with a quit message.
enum class OpenAnswer { OpenMessage, Silence, Quit };
void SetOpenAnswer(OpenAnswer answer);

void SetVariable(const std::string& name, double value);
void SetVariable(const std::string& name, const std::string& text);
double GetNumber(const std::string& name);
std::string GetText(const std::string& name);

// Messages queued for every open client, as the simulator would send them.
void QueueException(DWORD exception, DWORD sendId, DWORD index);
void QueueQuit();
// An object-data message with the given data bytes (however many there are) for request `requestId`.
void QueueObjectData(DWORD requestId, DWORD definition, const std::vector<unsigned char>& data);
// One simulated second passes: every periodic request sends its data (unless it asked for changes only and
// nothing changed). The monotonic clock drives the same thing while clients dispatch.
void AdvanceSecond();

std::size_t OpenClients();
std::size_t WaitingMessages();
// The names of all functions called so far, in order.
std::vector<std::string> Calls();
std::vector<SentText> Texts();
std::vector<SentObservation> Observations();
std::vector<SentTheme> Themes();
int CustomModeCount();
std::vector<std::string> FlightPlans();
std::vector<DataWrite> Writes();

// Runs a simulator (or none, with "") for the lifetime of a test and restores the environment's choice after.
class ScopedSimConnect
{
public:
    explicit ScopedSimConnect(const std::string& simulator);
    ~ScopedSimConnect();
    ScopedSimConnect(const ScopedSimConnect&) = delete;
    ScopedSimConnect& operator=(const ScopedSimConnect&) = delete;
};

} // namespace platform::simconnect
