#include "simlink/fsinterface.h"

#include "platform/debugoutput.h"
#include "simlink/newweather.h"
#include "weather/wind.h"

#include <cwchar>

namespace aviation::IPC {

namespace {

constexpr std::uint16_t kClearWeatherCommand = 3;
constexpr int kFuelTanks = 11;
constexpr double kMaxWindSpeed = 200.0;

} // namespace

CFSInterface::CFSInterface() = default;

CFSInterface::~CFSInterface() = default;

int CFSInterface::Open(int type)
{
    interfaceType = type;
    switch (type) {
    case 1:
        if (!fsuipc.Open())
            return 1;
        connected = true;
        return ReadVersions(simulatorName, versionText);
    case 2:
        if (!simConnect.Open()) {
            errorText = simConnect.GetErrorText();
            return 1;
        }
        connected = true;
        return ReadVersions(simulatorName, versionText);
    case 3:
        if (!fsuipc.Open())
            return 1;
        connected = true;
        if (!simConnect.Open())
            errorText = simConnect.GetErrorText();
        return ReadVersions(simulatorName, versionText);
    default:
        return 1;
    }
}

int CFSInterface::ReadVersions(std::wstring& name, std::wstring& version)
{
    if (interfaceType == 1)
        return fsuipc.DetectVersions(name, version) == 0 ? 0 : 1;
    const int major = SimConnectMajor();
    name = major == 1 ? L"P3Dv1" : major == 2 ? L"P3Dv2" : L"FSX";
    version = L"SimConnect Version :" + simConnect.GetVersionNumbers();
    return 0;
}

int CFSInterface::SimConnectMajor() const
{
    const std::wstring numbers = simConnect.GetVersionNumbers();
    const std::size_t dot = numbers.find(L'.');
    if (dot == std::wstring::npos)
        return 0;
    const std::wstring major = numbers.substr(0, dot);
    wchar_t* end = nullptr;
    const long value = std::wcstol(major.c_str(), &end, 10);
    return end != major.c_str() && value > 0 && value < 1000 ? static_cast<int>(value) : 0;
}

void CFSInterface::Close()
{
    if (UsesFSUIPC() && connected)
        fsuipc.Close();
    if (UsesSimConnect())
        simConnect.Close();
    connected = false;
}

int CFSInterface::GetFSVersion() const
{
    if (interfaceType == 1)
        return fsuipc.GetSimulatorFamily();
    if (UsesSimConnect()) {
        const int major = SimConnectMajor();
        return major == 1 || major == 2 ? 4 : 3;
    }
    return 0;
}

int CFSInterface::FSUIPCFailure(std::uint32_t result)
{
    errorText = CFSUIPCLink::GetResultText(result);
    return 1;
}

int CFSInterface::SimConnectFailure()
{
    errorText = simConnect.GetErrorText();
    return 1;
}

int CFSInterface::WrongInterface()
{
    errorText = L"wrong interface";
    return 2;
}

void CFSInterface::DebugLastPacket()
{
    platform::DebugOut(" Last id=" + std::to_string(simConnect.GetLastSentPacketId()) + "\n");
}

int CFSInterface::ClearWeather()
{
    if (!connected) {
        errorText = L"not connected";
        return 1;
    }
    if (interfaceType == 1) {
        const std::uint32_t result = fsuipc.WriteWeatherCommand(kClearWeatherCommand);
        return result == 0 ? 0 : FSUIPCFailure(result);
    }
    if (UsesSimConnect() && !simConnect.ClearWeather())
        return SimConnectFailure();
    return 0;
}

int CFSInterface::SendText(const std::wstring& text)
{
    if (interfaceType == 1) {
        const std::uint32_t result = fsuipc.ShowText(text);
        return result == 0 ? 0 : FSUIPCFailure(result);
    }
    if (UsesSimConnect() && !simConnect.ShowText(text))
        return SimConnectFailure();
    return 0;
}

int CFSInterface::SendWeatherCommand(std::uint16_t command)
{
    if (interfaceType != 1)
        return WrongInterface();
    return fsuipc.WriteWeatherCommand(command) == 0 ? 0 : 1;
}

aviation::structs::CAircraft CFSInterface::GetAircraft()
{
    if (UsesFSUIPC()) {
        const std::uint32_t result = fsuipc.ReadAircraft(aircraft);
        if (result != 0) {
            FSUIPCFailure(result);
            return aviation::structs::CAircraft();
        }
        errorText.clear();
    } else if (interfaceType == 2) {
        simConnect.ReadAircraft(aircraft);
    }
    return aircraft;
}

aviation::structs::CAircraftDetail CFSInterface::GetAircraftDetail()
{
    aviation::structs::CAircraftDetail detail;
    if (UsesFSUIPC()) {
        fsuipc.ReadAircraftDetail(detail);
        fsuipc.ReadPayload(detail.payload);
    } else if (interfaceType == 2) {
        detail = simConnect.GetAircraftDetail();
        simConnect.GetPayload(detail.payload);
    }
    return detail;
}

// FSUIPC is read tank by tank; the first read that fails ends the read with what was read so far.
aviation::structs::CAircraftFuel CFSInterface::GetFuel()
{
    aviation::structs::CAircraftFuel fuel;
    if (UsesFSUIPC()) {
        for (int id = 1; id <= kFuelTanks; ++id) {
            aviation::structs::CAircraftFuelTank tank;
            const std::uint32_t result = fsuipc.ReadTank(id, tank);
            if (result != 0) {
                FSUIPCFailure(result);
                return fuel;
            }
            if (tank.capacity != 0.0)
                fuel.AddTank(tank);
        }
        double weight = 0.0;
        const std::uint32_t result = fsuipc.ReadFuelWeight(weight);
        if (result != 0) {
            FSUIPCFailure(result);
            return fuel;
        }
        fuel.SetFuelWeight(weight);
    } else if (interfaceType == 2 && simConnect.RequestFuel()) {
        // The answer waits behind what the simulator sent before; take all of it so the answer is read too.
        simConnect.DispatchWaiting();
        fuel = simConnect.GetFuel();
    }
    return fuel;
}

int CFSInterface::SetFuel(const aviation::structs::CAircraftFuel& fuel)
{
    if (UsesFSUIPC()) {
        for (int id = 1; id <= kFuelTanks; ++id) {
            const aviation::structs::CAircraftFuelTank tank = fuel.GetTank(id);
            if (tank.capacity == 0.0)
                continue;
            const std::uint32_t result = fsuipc.WriteTank(id, tank);
            if (result != 0)
                return FSUIPCFailure(result);
        }
    } else if (interfaceType == 2 && !simConnect.WriteFuel(fuel)) {
        return SimConnectFailure();
    }
    return 0;
}

int CFSInterface::SetPayload(const aviation::structs::CAircraftPayload& payload)
{
    if (UsesFSUIPC()) {
        const std::uint32_t result = fsuipc.WritePayload(payload);
        return result == 0 ? 0 : FSUIPCFailure(result);
    }
    if (interfaceType == 2 && !simConnect.WritePayload(payload))
        return SimConnectFailure();
    return 0;
}

int CFSInterface::LoadFlightPlan(const std::wstring& path)
{
    if (UsesSimConnect() && !simConnect.LoadFlightPlan(path))
        return SimConnectFailure();
    return 0;
}

int CFSInterface::SendNewWeather(const CNewWeather& record)
{
    if (interfaceType != 1)
        return 0;
    const std::uint32_t result = fsuipc.WriteWeatherRecord(record);
    return result == 0 ? 0 : FSUIPCFailure(result);
}

int CFSInterface::SendMetar(const std::wstring& metar, int seconds)
{
    if (interfaceType == 1)
        return WrongInterface();
    const bool sent = simConnect.SetWeatherObservation(metar, seconds);
    DebugLastPacket();
    return sent ? 0 : SimConnectFailure();
}

int CFSInterface::LoadWeatherTheme(const std::string& theme)
{
    if (interfaceType == 1)
        return WrongInterface();
    const bool loaded = simConnect.SetWeatherTheme(theme);
    DebugLastPacket();
    return loaded ? 0 : SimConnectFailure();
}

int CFSInterface::SetWind(const aviation::weather::CWind& wind)
{
    if (!UsesFSUIPC())
        return WrongInterface();
    if (!(wind.speed >= 0.0 && wind.speed <= kMaxWindSpeed)) {
        errorText = L"wind speed too high";
        return 0;
    }
    if (!(wind.direction >= 0.0 && wind.direction <= 360.0)) {
        errorText = L"wind dir too high";
        return 0;
    }
    const std::uint32_t result = fsuipc.WriteAmbientWind(wind);
    if (result != 0)
        return FSUIPCFailure(result);
    errorText.clear();
    return 0;
}

} // namespace aviation::IPC
