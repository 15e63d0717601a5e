// An in-process FSUIPC and the simulator behind it, reached through the FSUIPC transport: a window, the shared
// request blocks, and FSUIPC's 64 KiB little-endian offset space with the version words, the aircraft, fuel
// tanks, payload stations, message display, the wind at the aircraft and the New Weather area with its counter.
// It answers requests as FSUIPC would and records what was written to it; faults can be switched on to make
// every step of the exchange fail. The program runs one for the simulator that AEROVANE_SIM names, or none.
#pragma once

#include "simlink/fsuipctransport.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace aviation::IPC {

class CFSUIPCSimulator : public CFSUIPCTransport
{
public:
    enum class Kind { None, FS2004, FSX, Prepar3D };

    // What can go wrong on the way to FSUIPC and inside it.
    struct Faults
    {
        bool messageRegistrationFails = false;
        bool atomFails = false;
        bool mappingFails = false;
        bool viewFails = false;
        bool mappingExists = false; // a mapping of the block's name is there already
        int answeredBeforeFailing = 0; // messages answered before the failing ones begin
        int failingSends = 0; // then this many messages time out or fail (-1: all of them)
        std::uint32_t sendError = 0; // last error of a failed message; 0 is a plain time-out
        std::uintptr_t reply = 1; // FSUIPC's answer; any other than 1 says the block held bad data
        bool weatherCounterStuck = false;
        // Called with the request block after FSUIPC has answered it, to scribble over it.
        std::function<void(std::uint8_t* block, std::size_t size)> scribble;
    };

    static constexpr std::uint32_t kSpaceSize = 0x10000;
    static constexpr WindowHandle kWindow = 0x10010;

    // A running simulator of that kind with a parked aircraft; Kind::None has no FSUIPC window at all.
    explicit CFSUIPCSimulator(Kind kind = Kind::None);
    ~CFSUIPCSimulator() override;
    CFSUIPCSimulator(const CFSUIPCSimulator&) = delete;
    CFSUIPCSimulator& operator=(const CFSUIPCSimulator&) = delete;

    // "fs9", "fsx" or "p3d" in AEROVANE_SIM (any case); anything else, or nothing, is Kind::None.
    static Kind KindFromEnvironment();

    // The class of FSUIPC's window ("UIPCMAIN" for a running simulator, "FS98MAIN" for the older one, "" for
    // no window).
    void SetWindowClass(const std::string& className);
    void SetVersionWords(std::uint32_t fsuipcVersion, std::uint32_t simulatorWord);
    void SetFaults(const Faults& faults);

    // Raw access to the offset space; bytes beyond its end are dropped on writes and read as zero.
    void Poke(std::uint32_t offset, const void* data, std::size_t size);
    void Peek(std::uint32_t offset, void* data, std::size_t size) const;
    void PokeInt(std::uint32_t offset, std::int64_t value, std::size_t size);
    std::int64_t PeekInt(std::uint32_t offset, std::size_t size) const;
    void PokeDouble(std::uint32_t offset, double value);
    double PeekDouble(std::uint32_t offset) const;
    // A NUL-terminated text cut to fit its field.
    void PokeText(std::uint32_t offset, const std::string& text, std::size_t fieldSize);

    // The aircraft in FSUIPC's units.
    void SetPosition(double latitude, double longitude, double altitudeFeet);
    void SetHeightAboveGround(double feet);
    void SetSpeeds(double trueAirspeedKnots, double groundSpeedKnots, double verticalSpeedFeetPerMinute);
    void SetHeading(double trueHeadingDegrees);
    void SetMagneticVariation(double degrees);
    void SetAmbientWind(double directionDegrees, double speedKnots);
    void SetVisibility(double metres);
    void SetIdentity(const std::string& title, const std::string& registration, const std::string& airline,
                     const std::string& type);
    // Tank 1 to 11 with capacity in US gallons and level in percent.
    void SetTank(int id, double capacityGallons, double levelPercent);
    double GetTankLevel(int id) const;
    void SetFuelWeight(double poundsPerGallon);
    // Appends a payload station and raises the station count.
    void AddPayloadStation(const std::string& name, double weightPounds);
    double GetPayloadWeight(std::uint32_t index) const;

    // What the client sent.
    std::vector<std::string> GetShownTexts() const;
    std::vector<std::vector<std::uint8_t>> GetWeatherRecords() const;
    std::vector<std::uint16_t> GetWeatherCommands() const;
    std::uint32_t GetWeatherCounter() const;
    std::uint16_t GetClientLibraryVersion() const;
    // Messages FSUIPC answered.
    int GetExchangeCount() const;
    // Mappings and atoms that are still held; both are 0 once every client has closed.
    int GetOpenMappingCount() const;
    int GetAtomCount() const;

    WindowHandle FindWindow(const std::string& className) override;
    std::uint32_t RegisterWindowMessage(const std::string& name) override;
    std::uint16_t AddGlobalAtom(const std::string& name) override;
    void DeleteGlobalAtom(std::uint16_t atom) override;
    MappingHandle CreateMapping(const std::string& name, std::size_t size, bool& existed) override;
    void CloseMapping(MappingHandle mapping) override;
    std::uint8_t* MapView(MappingHandle mapping) override;
    void UnmapView(std::uint8_t* view) override;
    bool SendMessageTimeout(WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                            unsigned timeoutMs, std::uintptr_t& reply) override;
    std::uint32_t LastError() override;
    std::uint32_t ProcessId() override;

private:
    struct Mapping
    {
        std::unique_ptr<std::uint8_t[]> memory;
        std::size_t size = 0;
        int handles = 0;
        int views = 0;
    };

    void SetUpSimulator(Kind kind);
    void PokeLocked(std::uint32_t offset, const void* data, std::size_t size);
    void PeekLocked(std::uint32_t offset, void* data, std::size_t size) const;
    void ServeRequests(std::uint8_t* block, std::size_t size);
    void WriteFromClient(std::uint32_t offset, const std::uint8_t* data, std::uint32_t size);
    void ReleaseIfUnused(const std::string& name);

    mutable std::mutex m_mutex;
    std::vector<std::uint8_t> m_space;
    std::string m_windowClass;
    Faults m_faults;
    std::uint32_t m_lastError = 0;
    std::uint32_t m_registeredMessage = 0;
    std::map<std::string, Mapping> m_mappings;
    std::map<MappingHandle, std::string> m_handles;
    std::map<std::uint8_t*, std::string> m_views;
    std::map<std::uint16_t, std::pair<std::string, int>> m_atoms; // name and reference count
    MappingHandle m_nextHandle = 0x100;
    std::uint16_t m_nextAtom = 0xC000;
    std::vector<std::string> m_shownTexts;
    std::vector<std::vector<std::uint8_t>> m_weatherRecords;
    std::vector<std::uint16_t> m_weatherCommands;
    std::uint16_t m_clientLibraryVersion = 0;
    int m_exchanges = 0;
};

} // namespace aviation::IPC
