// The simulator operations through SimConnect (FSX and Prepar3D): a client named "FSInterface" that declares the
// aircraft's variables, asks for its state, fuel, payload and identity every second and keeps the latest of
// each, and that writes fuel and payload, shows texts, loads flight plans, sends METAR observations such as
//     EDDF 071020Z 25008KT 9999 FEW030 08/03 Q1021
// and switches the weather modes. Used from one thread at a time.
#pragma once

#include "platform/simconnect.h"
#include "simlink/aircraft.h"
#include "simlink/aircraftdetail.h"
#include "simlink/aircraftfuel.h"
#include "simlink/aircraftpayload.h"

#include <string>

namespace aviation::IPC {

class CSimConnectLink
{
public:
    CSimConnectLink();
    // Closes the client when it is connected.
    ~CSimConnectLink();
    CSimConnectLink(const CSimConnectLink&) = delete;
    CSimConnectLink& operator=(const CSimConnectLink&) = delete;

    // Opens the client, declares the data and waits (bounded) for the simulator's open message, which starts
    // the periodic requests. A client that gets no open message is closed again and the error text says why.
    bool Open();
    // True when not connected or when the client closed cleanly.
    bool Close();
    bool IsConnected() const { return connected; }

    // Handles at most one message: 1 none waiting, 2 open, 3 exception, 4 quit, 0 anything else.
    int Dispatch();
    // Handles the messages waiting (at most kDrainLimit), so the newest data is kept.
    void DispatchWaiting();

    // The newest aircraft sample after handling the waiting messages.
    void ReadAircraft(aviation::structs::CAircraft& out);
    aviation::structs::CAircraftDetail GetAircraftDetail() const { return detail; }
    aviation::structs::CAircraftFuel GetFuel() const { return fuel; }
    void GetPayload(aviation::structs::CAircraftPayload& out) const;

    // Asks once for the fuel state; false when the request is refused.
    bool RequestFuel();
    // Sets every tank's level; tanks missing from the list are emptied. False when the simulator refused it.
    bool WriteFuel(const aviation::structs::CAircraftFuel& newFuel);
    // Writes each station's weight in list order, stations without a maximum weight included.
    bool WritePayload(const aviation::structs::CAircraftPayload& newPayload);

    // Shows a text for three seconds; texts are cut to 1023 bytes.
    bool ShowText(const std::wstring& text);
    bool ShowText8(const std::string& text);
    // Paths are cut to 1999 bytes.
    bool LoadFlightPlan(const std::wstring& path);
    // Sends one METAR observation (cut to 1999 bytes) with its transition seconds.
    bool SetWeatherObservation(const std::wstring& metar, int seconds);
    // Loads a weather theme and switches to custom weather; the custom mode's result decides.
    bool SetWeatherTheme(const std::string& theme);
    // Theme mode without a theme, then custom weather.
    bool ClearWeather();

    DWORD GetLastSentPacketId();
    // "SIMCONNECT_EXCEPTION_..." for the codes 0 to 37, empty for others.
    static std::wstring GetExceptionName(DWORD exception);

    // "AppVersion=a.b.c.d" of the simulator.
    std::wstring GetSimConnectVersion() const { return appVersionText; }
    // "a.b.c.d" of the simulator's SimConnect.
    std::wstring GetVersionNumbers() const { return simConnectVersionText; }
    std::wstring GetErrorText() const { return lastError; }

    // Text bytes the simulator takes: messages, and METAR texts and flight plan paths.
    static constexpr std::size_t kTextBuffer = 1024;
    static constexpr std::size_t kLongTextBuffer = 2000;
    // Polls for the open message, and the pause between two empty polls.
    static constexpr int kOpenPolls = 150;
    static constexpr int kOpenPollPauseMs = 20;
    static constexpr int kDrainLimit = 64;

private:
    void DeclareData();
    bool WaitForOpen();
    void OnException(const SIMCONNECT_RECV_EXCEPTION& message, DWORD size);
    void OnOpen(const SIMCONNECT_RECV_OPEN& message);
    void OnObjectData(const SIMCONNECT_RECV_SIMOBJECT_DATA& message, DWORD size);
    // Stores the result of a call; a failed one also becomes the error text.
    bool Checked(HRESULT result, const char* call);

    HANDLE handle = nullptr;
    HRESULT lastResult = S_OK;
    int quitReceived = 0;
    bool connected = false;
    std::wstring appVersionText;
    std::wstring simConnectVersionText;
    std::wstring lastError;
    aviation::structs::CAircraft aircraft;
    aviation::structs::CAircraftFuel fuel;
    aviation::structs::CAircraftPayload payload;
    aviation::structs::CAircraftDetail detail;
};

} // namespace aviation::IPC
