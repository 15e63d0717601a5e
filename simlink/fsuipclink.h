// The simulator operations as reads and writes of FSUIPC offsets over the FSUIPC client: identify the simulator,
// read the aircraft's state, identity, payload and fuel, write fuel and payload, show a message, send weather
// records and commands, set the wind at the aircraft. Results are the client's codes (FSUIPCResult, 0 = success);
// GetResultText turns them into texts. Whether FSUIPC is open is the client's state, shared by all link objects.
#pragma once

#include <cstdint>
#include <string>

struct CNewWeather;

namespace aviation {
namespace weather {
class CWind;
}
namespace structs {
struct CAircraft;
struct CAircraftDetail;
struct CAircraftFuelTank;
class CAircraftPayload;
} // namespace structs
} // namespace aviation

namespace aviation::IPC {

class CFSUIPCLink
{
public:
    CFSUIPCLink();
    // Leaves the client open: closing it is the holder's decision.
    ~CFSUIPCLink();

    // Opens the client for any simulator and detects the versions; an open client counts as success.
    bool Open();
    void Close();
    // Fills the simulator name, the "FSUIPC-Ver: x.yyy" text and the simulator family from the version words
    // of the client's last open. An unknown simulator number gives "unkown" and changes nothing else.
    std::uint32_t DetectVersions(std::wstring& name, std::wstring& versionText);
    // FSVersion code: 1 FS98 to FS2002, 2 FS2004, 3 FSX and ESP, 4 Prepar3D; 0 before a detection.
    int GetSimulatorFamily() const;

    std::uint32_t ShowText(const std::wstring& text);
    std::uint32_t WriteWeatherCommand(std::uint16_t command);
    // Writes the record and waits (11 re-reads, 50 ms apart) for FSUIPC's weather counter to move.
    std::uint32_t WriteWeatherRecord(const CNewWeather& record);
    // Direction and speed of the wind at the aircraft; unset (-1) or out-of-range speeds write nothing.
    std::uint32_t WriteAmbientWind(const aviation::weather::CWind& wind);

    std::uint32_t ReadAircraft(aviation::structs::CAircraft& aircraft);
    // The four identity texts, fuel flow, empty and maximum gross weight; other fields stay as they are.
    std::uint32_t ReadAircraftDetail(aviation::structs::CAircraftDetail& detail);
    // Appends the simulator's payload stations.
    std::uint32_t ReadPayload(aviation::structs::CAircraftPayload& payload);
    // Tank 1 to 11; a tank with capacity replaces `tank`, one without leaves it as it was.
    std::uint32_t ReadTank(int id, aviation::structs::CAircraftFuelTank& tank);
    std::uint32_t ReadFuelWeight(double& poundsPerGallon);
    // Writes the fill level of tank 1 to 11.
    std::uint32_t WriteTank(int id, const aviation::structs::CAircraftFuelTank& tank);
    // Writes the weight of every station with a maximum weight, up to the simulator's station count.
    std::uint32_t WritePayload(const aviation::structs::CAircraftPayload& payload);
    std::uint32_t ReadFlightPlanFolder(std::wstring& folder);

    // Text of a result code; codes above 16 give the text of 16.
    static std::wstring GetResultText(std::uint32_t result);

private:
    std::wstring m_simulatorName;
    int m_simulatorFamily = 0;
    std::wstring m_versionText;
    int m_weatherCounter = 0;
};

} // namespace aviation::IPC
