// The one object through which the connection worker reaches a simulator on this machine: the FSUIPC link and
// the SimConnect link side by side, each operation routed by the interface type of the last open (1 FSUIPC,
// 2 SimConnect, 3 both). Operations answer 0 on success, 1 when the link failed and 2 when the interface in use
// cannot do it; GetErrorText tells why. Not thread-safe: one thread at a time.
#pragma once

#include "simlink/aircraft.h"
#include "simlink/aircraftdetail.h"
#include "simlink/aircraftfuel.h"
#include "simlink/aircraftpayload.h"
#include "simlink/fsuipclink.h"
#include "simlink/simconnectlink.h"

#include <cstdint>
#include <string>

struct CNewWeather;

namespace aviation::IPC {

class CFSInterface
{
public:
    CFSInterface();
    virtual ~CFSInterface();
    CFSInterface(const CFSInterface&) = delete;
    CFSInterface& operator=(const CFSInterface&) = delete;

    // Opens the links of the type and reads the simulator's name and version; 0 on success. With type 3 a
    // SimConnect that cannot be opened leaves the facade connected through FSUIPC, its cause in the error text.
    int Open(int interfaceType);
    // Closes the links of the type; the type is kept.
    void Close();

    bool IsConnected() const { return connected; }
    int GetInterfaceType() const { return interfaceType; }
    std::wstring GetErrorText() const { return errorText; }
    std::wstring GetSimulatorName() const { return simulatorName; }
    std::wstring GetVersionText() const { return versionText; }
    // FSVersion code: FSUIPC's simulator family for type 1; for types 2 and 3, 4 (Prepar3D) when SimConnect's
    // major version is 1 or 2, else 3 (FSX); 0 for other types.
    int GetFSVersion() const;

    int ClearWeather();
    int SendText(const std::wstring& text);
    int SendWeatherCommand(std::uint16_t command);
    // The newest aircraft sample; a default one when FSUIPC could not be read.
    aviation::structs::CAircraft GetAircraft();
    aviation::structs::CAircraftDetail GetAircraftDetail();
    // The tanks that have a capacity, and the fuel's weight per gallon.
    aviation::structs::CAircraftFuel GetFuel();
    int SetFuel(const aviation::structs::CAircraftFuel& fuel);
    int SetPayload(const aviation::structs::CAircraftPayload& payload);
    int LoadFlightPlan(const std::wstring& path);
    int SendNewWeather(const CNewWeather& record);
    // One extended METAR observation with its transition seconds (SimConnect).
    int SendMetar(const std::wstring& metar, int seconds);
    int LoadWeatherTheme(const std::string& theme);
    // The wind at the aircraft through FSUIPC; speeds outside 0 to 200 kt and directions outside 0 to 360
    // degrees are refused with result 0 and a text.
    int SetWind(const aviation::weather::CWind& wind);

private:
    int ReadVersions(std::wstring& name, std::wstring& version);
    bool UsesFSUIPC() const { return interfaceType == 1 || interfaceType == 3; }
    bool UsesSimConnect() const { return interfaceType == 2 || interfaceType == 3; }
    // The major number of the SimConnect version ("2" of "2.5.0.0"), 0 when there is none.
    int SimConnectMajor() const;
    int FSUIPCFailure(std::uint32_t result);
    int SimConnectFailure();
    int WrongInterface();
    void DebugLastPacket();

    CFSUIPCLink fsuipc;
    CSimConnectLink simConnect;
    std::int32_t interfaceType = -1;
    std::wstring errorText;
    std::wstring simulatorName;
    std::wstring versionText;
    aviation::structs::CAircraft aircraft;
    bool connected = false;
};

} // namespace aviation::IPC
