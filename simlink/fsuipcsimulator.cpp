#include "simlink/fsuipcsimulator.h"

#include "platform/clock.h"
#include "simlink/fsuipcoffsets.h"
#include "weather/unitconversion.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace aviation::IPC {

namespace Offset = FSUIPCOffset;
using aviation::weather::kFeetPerMetre;

namespace {

constexpr std::uint32_t kReadId = 1;
constexpr std::uint32_t kWriteId = 2;
constexpr std::uint32_t kFirstMessage = 0xC0F0;
constexpr std::uint32_t kInvalidWindowError = 1400;
constexpr double kTwoTo32 = 4294967296.0;

std::uint32_t GetWord(const std::uint8_t* at)
{
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8
        | static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

// Rounds to the nearest integer that fits into the given signed width.
std::int64_t ToFixed(double value, int bits)
{
    const double limit = std::ldexp(1.0, bits - 1);
    if (!(value == value))
        return 0;
    const double clamped = std::min(std::max(std::round(value), -limit), limit - 1.0);
    return static_cast<std::int64_t>(clamped);
}

bool Overlaps(std::uint32_t offset, std::uint32_t size, std::uint32_t field, std::uint32_t fieldSize)
{
    return offset < field + fieldSize && field < offset + static_cast<std::uint64_t>(size);
}

// Bytes the client may not change: FSUIPC's version words and its weather counter.
bool IsReadOnly(std::uint32_t offset)
{
    return (offset >= Offset::VersionWord && offset < Offset::SimulatorWord + 4)
        || (offset >= Offset::WeatherCounter && offset < Offset::WeatherCounter + 4);
}

} // namespace

CFSUIPCSimulator::CFSUIPCSimulator(Kind kind)
    : m_space(kSpaceSize, 0)
{
    SetUpSimulator(kind);
}

CFSUIPCSimulator::~CFSUIPCSimulator() = default;

CFSUIPCSimulator::Kind CFSUIPCSimulator::KindFromEnvironment()
{
    const char* value = std::getenv("AEROVANE_SIM");
    std::string name = value ? value : "";
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (name == "fs9")
        return Kind::FS2004;
    if (name == "fsx")
        return Kind::FSX;
    if (name == "p3d")
        return Kind::Prepar3D;
    return Kind::None;
}

// A parked aircraft at Frankfurt, engines off, fuel in both main tanks and a pilot on board.
void CFSUIPCSimulator::SetUpSimulator(Kind kind)
{
    switch (kind) {
    case Kind::None:
        return;
    case Kind::FS2004:
        SetVersionWords(0x39990000, 0xFADE0007);
        break;
    case Kind::FSX:
        SetVersionWords(0x49590000, 0xFADE0008);
        break;
    case Kind::Prepar3D:
        SetVersionWords(0x49740000, 0xFADE000A);
        break;
    }
    SetWindowClass("UIPCMAIN");
    SetPosition(50.0379, 8.5622, 364.0);
    SetHeightAboveGround(0.0);
    SetSpeeds(0.0, 0.0, 0.0);
    SetHeading(250.0);
    SetMagneticVariation(-2.0);
    SetAmbientWind(270.0, 8.0);
    SetVisibility(20000.0);
    PokeInt(Offset::OnGround, 1, 2);
    PokeInt(Offset::ParkingBrake, 32767, 2);
    SetIdentity("Cessna Skyhawk 172SP Paint1", "D-EAVN", "", "Cessna");
    PokeInt(Offset::EmptyWeight, 1663 * 256, 4);
    PokeInt(Offset::MaxGrossWeight, 2550 * 256, 4);
    SetTank(3, 26.0, 75.0);
    SetTank(7, 26.0, 75.0);
    SetFuelWeight(6.0);
    AddPayloadStation("Pilot", 170.0);
    AddPayloadStation("Front Passenger", 0.0);
    AddPayloadStation("Rear Passengers", 0.0);
    AddPayloadStation("Baggage", 20.0);
    PokeText(Offset::FlightPlanFolder, "C:\\Flight Plans", Offset::FlightPlanFolderSize);
}

void CFSUIPCSimulator::SetWindowClass(const std::string& className)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_windowClass = className;
}

void CFSUIPCSimulator::SetVersionWords(std::uint32_t fsuipcVersion, std::uint32_t simulatorWord)
{
    PokeInt(Offset::VersionWord, fsuipcVersion, 4);
    PokeInt(Offset::SimulatorWord, simulatorWord, 4);
}

void CFSUIPCSimulator::SetFaults(const Faults& faults)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults = faults;
}

void CFSUIPCSimulator::Poke(std::uint32_t offset, const void* data, std::size_t size)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    PokeLocked(offset, data, size);
}

void CFSUIPCSimulator::Peek(std::uint32_t offset, void* data, std::size_t size) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    PeekLocked(offset, data, size);
}

void CFSUIPCSimulator::PokeLocked(std::uint32_t offset, const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < size && offset + i < kSpaceSize; ++i)
        m_space[offset + i] = bytes[i];
}

void CFSUIPCSimulator::PeekLocked(std::uint32_t offset, void* data, std::size_t size) const
{
    auto* bytes = static_cast<std::uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = offset + i < kSpaceSize ? m_space[offset + i] : 0;
}

void CFSUIPCSimulator::PokeInt(std::uint32_t offset, std::int64_t value, std::size_t size)
{
    std::uint8_t bytes[8];
    const auto bits = static_cast<std::uint64_t>(value);
    for (std::size_t i = 0; i < 8; ++i)
        bytes[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    Poke(offset, bytes, std::min<std::size_t>(size, 8));
}

std::int64_t CFSUIPCSimulator::PeekInt(std::uint32_t offset, std::size_t size) const
{
    size = std::min<std::size_t>(size, 8);
    std::uint8_t bytes[8] = {};
    Peek(offset, bytes, size);
    std::uint64_t bits = 0;
    for (std::size_t i = size; i-- > 0;)
        bits = (bits << 8) | bytes[i];
    if (size < 8 && (bits >> (8 * size - 1)) & 1)
        bits |= ~std::uint64_t(0) << (8 * size);
    return static_cast<std::int64_t>(bits);
}

void CFSUIPCSimulator::PokeDouble(std::uint32_t offset, double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    PokeInt(offset, static_cast<std::int64_t>(bits), 8);
}

double CFSUIPCSimulator::PeekDouble(std::uint32_t offset) const
{
    const auto bits = static_cast<std::uint64_t>(PeekInt(offset, 8));
    double value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

void CFSUIPCSimulator::PokeText(std::uint32_t offset, const std::string& text, std::size_t fieldSize)
{
    std::vector<std::uint8_t> field(fieldSize, 0);
    std::copy_n(text.begin(), std::min(text.size(), fieldSize > 0 ? fieldSize - 1 : 0), field.begin());
    Poke(offset, field.data(), field.size());
}

void CFSUIPCSimulator::SetPosition(double latitude, double longitude, double altitudeFeet)
{
    PokeInt(Offset::Latitude, ToFixed(latitude * 10001750.0 * kTwoTo32 / 90.0, 64), 8);
    PokeInt(Offset::Longitude, ToFixed(longitude * kTwoTo32 * kTwoTo32 / 360.0, 64), 8);
    PokeInt(Offset::Altitude, ToFixed(altitudeFeet / kFeetPerMetre * kTwoTo32, 64), 8);
}

void CFSUIPCSimulator::SetHeightAboveGround(double feet)
{
    PokeInt(Offset::HeightAboveGround, ToFixed(feet / kFeetPerMetre * 65536.0, 32), 4);
}

void CFSUIPCSimulator::SetSpeeds(double trueAirspeedKnots, double groundSpeedKnots, double verticalSpeedFeetPerMinute)
{
    PokeInt(Offset::TrueAirspeed, ToFixed(trueAirspeedKnots * 128.0, 32), 4);
    PokeInt(Offset::GroundSpeed, ToFixed(groundSpeedKnots * 1852.0 / 3600.0 * 65536.0, 32), 4);
    PokeInt(Offset::VerticalSpeed, ToFixed(verticalSpeedFeetPerMinute / 60.0 / kFeetPerMetre * 256.0, 32), 4);
}

void CFSUIPCSimulator::SetHeading(double trueHeadingDegrees)
{
    const double turns = std::fmod(trueHeadingDegrees, 360.0) / 360.0;
    PokeInt(Offset::Heading, ToFixed((turns < 0.0 ? turns + 1.0 : turns) * kTwoTo32, 64) & 0xFFFFFFFF, 4);
}

void CFSUIPCSimulator::SetMagneticVariation(double degrees)
{
    PokeInt(Offset::MagneticVariation, ToFixed(degrees * 65536.0 / 360.0, 16), 2);
}

void CFSUIPCSimulator::SetAmbientWind(double directionDegrees, double speedKnots)
{
    PokeDouble(Offset::AmbientWindDirection, directionDegrees);
    PokeDouble(Offset::AmbientWindSpeed, speedKnots);
}

void CFSUIPCSimulator::SetVisibility(double metres)
{
    PokeDouble(Offset::VisibilityMetres, metres);
    PokeInt(Offset::VisibilityMiles, ToFixed(metres / 1609.344 * 100.0, 16), 2);
}

void CFSUIPCSimulator::SetIdentity(const std::string& title, const std::string& registration,
                                   const std::string& airline, const std::string& type)
{
    PokeText(Offset::Title, title, Offset::TitleSize);
    PokeText(Offset::Registration, registration, Offset::RegistrationSize);
    PokeText(Offset::Airline, airline, Offset::AirlineSize);
    PokeText(Offset::Type, type, Offset::TypeSize);
}

void CFSUIPCSimulator::SetTank(int id, double capacityGallons, double levelPercent)
{
    if (!Offset::IsTankId(id))
        return;
    const Offset::TankOffsets& tank = Offset::Tanks[id - 1];
    PokeInt(tank.capacity, ToFixed(capacityGallons, 32), 4);
    PokeInt(tank.level, ToFixed(levelPercent / 100.0 * Offset::FullTank, 32), 4);
}

double CFSUIPCSimulator::GetTankLevel(int id) const
{
    if (!Offset::IsTankId(id))
        return 0.0;
    return static_cast<double>(PeekInt(Offset::Tanks[id - 1].level, 4)) * 100.0 / Offset::FullTank;
}

void CFSUIPCSimulator::SetFuelWeight(double poundsPerGallon)
{
    PokeInt(Offset::FuelWeight, ToFixed(poundsPerGallon * 256.0, 16), 2);
}

void CFSUIPCSimulator::AddPayloadStation(const std::string& name, double weightPounds)
{
    const auto index = static_cast<std::uint32_t>(PeekInt(Offset::PayloadCount, 4));
    if (index >= Offset::PayloadStations)
        return;
    PokeDouble(Offset::PayloadWeight + Offset::PayloadStride * index, weightPounds);
    PokeText(Offset::PayloadName + Offset::PayloadStride * index, name, Offset::PayloadNameSize);
    PokeInt(Offset::PayloadCount, index + 1, 4);
}

double CFSUIPCSimulator::GetPayloadWeight(std::uint32_t index) const
{
    return index < Offset::PayloadStations ? PeekDouble(Offset::PayloadWeight + Offset::PayloadStride * index) : 0.0;
}

std::vector<std::string> CFSUIPCSimulator::GetShownTexts() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_shownTexts;
}

std::vector<std::vector<std::uint8_t>> CFSUIPCSimulator::GetWeatherRecords() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_weatherRecords;
}

std::vector<std::uint16_t> CFSUIPCSimulator::GetWeatherCommands() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_weatherCommands;
}

std::uint32_t CFSUIPCSimulator::GetWeatherCounter() const
{
    return static_cast<std::uint32_t>(PeekInt(Offset::WeatherCounter, 4));
}

std::uint16_t CFSUIPCSimulator::GetClientLibraryVersion() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_clientLibraryVersion;
}

int CFSUIPCSimulator::GetExchangeCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_exchanges;
}

int CFSUIPCSimulator::GetOpenMappingCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_mappings.size());
}

int CFSUIPCSimulator::GetAtomCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_atoms.size());
}

WindowHandle CFSUIPCSimulator::FindWindow(const std::string& className)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_windowClass.empty() && className == m_windowClass ? kWindow : 0;
}

std::uint32_t CFSUIPCSimulator::RegisterWindowMessage(const std::string& name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_faults.messageRegistrationFails)
        return 0;
    return name == "FsasmLib:IPC" ? kFirstMessage : kFirstMessage + 1;
}

std::uint16_t CFSUIPCSimulator::AddGlobalAtom(const std::string& name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_faults.atomFails)
        return 0;
    for (auto& [atom, entry] : m_atoms) {
        if (entry.first == name) {
            ++entry.second;
            return atom;
        }
    }
    while (m_atoms.count(m_nextAtom) || m_nextAtom < 0xC000)
        m_nextAtom = m_nextAtom == 0xFFFF ? 0xC000 : m_nextAtom + 1;
    m_atoms[m_nextAtom] = {name, 1};
    return m_nextAtom;
}

void CFSUIPCSimulator::DeleteGlobalAtom(std::uint16_t atom)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_atoms.find(atom);
    if (found != m_atoms.end() && --found->second.second <= 0)
        m_atoms.erase(found);
}

MappingHandle CFSUIPCSimulator::CreateMapping(const std::string& name, std::size_t size, bool& existed)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    existed = false;
    if (m_faults.mappingFails || size == 0)
        return 0;
    auto found = m_mappings.find(name);
    if (found == m_mappings.end()) {
        Mapping mapping;
        mapping.memory = std::make_unique<std::uint8_t[]>(size);
        mapping.size = size;
        found = m_mappings.emplace(name, std::move(mapping)).first;
    } else {
        existed = true;
    }
    existed = existed || m_faults.mappingExists;
    ++found->second.handles;
    const MappingHandle handle = m_nextHandle++;
    m_handles[handle] = name;
    return handle;
}

void CFSUIPCSimulator::CloseMapping(MappingHandle mapping)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_handles.find(mapping);
    if (found == m_handles.end())
        return;
    const std::string name = found->second;
    m_handles.erase(found);
    --m_mappings[name].handles;
    ReleaseIfUnused(name);
}

std::uint8_t* CFSUIPCSimulator::MapView(MappingHandle mapping)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_handles.find(mapping);
    if (m_faults.viewFails || found == m_handles.end())
        return nullptr;
    Mapping& target = m_mappings[found->second];
    ++target.views;
    return target.memory.get();
}

void CFSUIPCSimulator::UnmapView(std::uint8_t* view)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& [name, mapping] : m_mappings) {
        if (mapping.memory.get() == view && mapping.views > 0) {
            --mapping.views;
            ReleaseIfUnused(name);
            return;
        }
    }
}

void CFSUIPCSimulator::ReleaseIfUnused(const std::string& name)
{
    const auto found = m_mappings.find(name);
    if (found != m_mappings.end() && found->second.handles <= 0 && found->second.views <= 0)
        m_mappings.erase(found);
}

bool CFSUIPCSimulator::SendMessageTimeout(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                          std::intptr_t, unsigned timeoutMs, std::uintptr_t& reply)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_faults.failingSends != 0 && m_faults.answeredBeforeFailing > 0) {
        --m_faults.answeredBeforeFailing;
    } else if (m_faults.failingSends != 0) {
        if (m_faults.failingSends > 0)
            --m_faults.failingSends;
        m_lastError = m_faults.sendError;
        lock.unlock();
        platform::SleepMs(timeoutMs);
        return false;
    }
    if (window != kWindow || m_windowClass.empty()) {
        m_lastError = kInvalidWindowError;
        return false;
    }
    m_lastError = 0;
    reply = 0;
    const auto atom = m_atoms.find(static_cast<std::uint16_t>(wParam));
    const auto mapping = atom != m_atoms.end() ? m_mappings.find(atom->second.first) : m_mappings.end();
    if (message != kFirstMessage || wParam > 0xFFFF || mapping == m_mappings.end())
        return true;

    std::uint8_t* block = mapping->second.memory.get();
    const std::size_t size = mapping->second.size;
    if (m_faults.reply == 1)
        ServeRequests(block, size);
    reply = m_faults.reply;
    ++m_exchanges;
    const auto scribble = m_faults.scribble;
    lock.unlock();
    if (scribble)
        scribble(block, size);
    return true;
}

std::uint32_t CFSUIPCSimulator::LastError()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastError;
}

std::uint32_t CFSUIPCSimulator::ProcessId()
{
    return static_cast<std::uint32_t>(::getpid());
}

// Answers the request records in the block in order until a zero id, an unknown id or a record that does not
// fit into the block.
void CFSUIPCSimulator::ServeRequests(std::uint8_t* block, std::size_t size)
{
    std::size_t at = 0;
    while (size - at >= 4) {
        const std::uint32_t id = GetWord(block + at);
        const std::size_t header = id == kReadId ? 16 : id == kWriteId ? 12 : 0;
        if (header == 0 || size - at < header)
            return;
        const std::uint32_t offset = GetWord(block + at + 4);
        const std::uint32_t length = GetWord(block + at + 8);
        if (length > size - at - header)
            return;
        if (id == kReadId)
            PeekLocked(offset, block + at + header, length);
        else
            WriteFromClient(offset, block + at + header, length);
        at += header + length;
    }
}

void CFSUIPCSimulator::WriteFromClient(std::uint32_t offset, const std::uint8_t* data, std::uint32_t size)
{
    for (std::uint32_t i = 0; i < size && offset + static_cast<std::uint64_t>(i) < kSpaceSize; ++i) {
        if (!IsReadOnly(offset + i))
            m_space[offset + i] = data[i];
    }

    if (offset <= Offset::LibraryVersion && offset + static_cast<std::uint64_t>(size) >= Offset::LibraryVersion + 2) {
        const std::uint8_t* word = data + (Offset::LibraryVersion - offset);
        m_clientLibraryVersion = static_cast<std::uint16_t>(word[0] | word[1] << 8);
    }
    if (offset == Offset::WeatherArea && size == 2)
        m_weatherCommands.push_back(static_cast<std::uint16_t>(data[0] | data[1] << 8));
    if (offset == Offset::WeatherArea && size == Offset::WeatherRecordSize) {
        m_weatherRecords.emplace_back(data, data + size);
        if (!m_faults.weatherCounterStuck) {
            const std::uint32_t counter = GetWord(&m_space[Offset::WeatherCounter]) + 1;
            for (int i = 0; i < 4; ++i)
                m_space[Offset::WeatherCounter + i] = static_cast<std::uint8_t>(counter >> (8 * i));
        }
    }
    if (Overlaps(offset, size, Offset::MessageDisplay, 2)) {
        const char* text = reinterpret_cast<const char*>(&m_space[Offset::MessageText]);
        m_shownTexts.emplace_back(text, strnlen(text, Offset::MessageTextSize));
    }
}

} // namespace aviation::IPC
