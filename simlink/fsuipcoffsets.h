// Where FSUIPC keeps what the program reads and writes: offsets into its 64 KiB offset space, with the field
// sizes and the units noted where they are not obvious. Both sides of the exchange (the FSUIPC link and the
// simulated FSUIPC) use this table.
#pragma once

#include <cstdint>

namespace aviation::IPC::FSUIPCOffset {

constexpr std::uint32_t Latitude = 0x0560; // 8, signed: degrees x 10001750 x 2^32 / 90
constexpr std::uint32_t Longitude = 0x0568; // 8, signed: degrees x 2^64 / 360
constexpr std::uint32_t Altitude = 0x0570; // 8, signed: metres x 2^32
constexpr std::uint32_t HeightAboveGround = 0x31E4; // 4, signed: metres x 65536
constexpr std::uint32_t GroundSpeed = 0x02B4; // 4, signed: metres per second x 65536
constexpr std::uint32_t TrueAirspeed = 0x02B8; // 4, signed: knots x 128
constexpr std::uint32_t VerticalSpeed = 0x02C8; // 4, signed: metres per second x 256
constexpr std::uint32_t Heading = 0x0580; // 4, unsigned: degrees (true) x 2^32 / 360
constexpr std::uint32_t MagneticVariation = 0x02A0; // 2, signed: degrees x 65536 / 360
constexpr std::uint32_t AmbientWindDirection = 0x2DE0; // 8, double, degrees
constexpr std::uint32_t AmbientWindSpeed = 0x2DE8; // 8, double, knots
constexpr std::uint32_t VisibilityMetres = 0x2DF0; // 8, double
constexpr std::uint32_t VisibilityMiles = 0x0E8A; // 2, signed: statute miles x 100
constexpr std::uint32_t OnGround = 0x0366; // 2: 1 on the ground
constexpr std::uint32_t ParkingBrake = 0x0BC8; // 2: non-zero when set
constexpr std::uint32_t EngineCombustion = 0x0894; // 2: engine 1, 0 when not running
constexpr std::uint32_t LandingLights = 0x028C; // 2: non-zero when on
constexpr std::uint32_t DoorOpen = 0x3367; // 1: non-zero when a door or exit is open
constexpr std::uint32_t Title = 0x3D00; // 256, text
constexpr std::uint32_t Registration = 0x313C; // 12, text
constexpr std::uint32_t Airline = 0x3148; // 24, text
constexpr std::uint32_t Type = 0x3160; // 24, text
constexpr std::uint32_t FuelFlow = 0x1270; // 4, signed
constexpr std::uint32_t EmptyWeight = 0x1330; // 4, signed: pounds x 256
constexpr std::uint32_t MaxGrossWeight = 0x1334; // 4, signed: pounds x 256
constexpr std::uint32_t PayloadCount = 0x13FC; // 4, unsigned
constexpr std::uint32_t PayloadWeight = 0x1400; // 8, double, pounds; + 48 per station
constexpr std::uint32_t PayloadName = 0x1420; // 16, text; + 48 per station
constexpr std::uint32_t PayloadStride = 48;
constexpr std::uint32_t PayloadStations = 61; // entries of the payload table
constexpr std::uint32_t FuelWeight = 0x0AF4; // 2, signed: pounds per US gallon x 256
constexpr std::uint32_t MessageText = 0x3380; // 128, text
constexpr std::uint32_t MessageDisplay = 0x32FA; // 2: writing it shows the text at MessageText
constexpr std::uint32_t FlightPlanFolder = 0x1000; // 256, text
constexpr std::uint32_t WeatherArea = 0xC800; // 2: command word; 1024: New Weather record
constexpr std::uint32_t WeatherCounter = 0xC824; // 4, signed: counts the weather records taken
constexpr std::uint32_t VersionWord = 0x3304; // 4: FSUIPC's version, e.g. 0x49590000 for 4.959
constexpr std::uint32_t SimulatorWord = 0x3308; // 4: 0xFADE in the high word, simulator number below
constexpr std::uint32_t LibraryVersion = 0x330A; // 2, written: the client's library version

constexpr std::uint32_t TitleSize = 256;
constexpr std::uint32_t RegistrationSize = 12;
constexpr std::uint32_t AirlineSize = 24;
constexpr std::uint32_t TypeSize = 24;
constexpr std::uint32_t PayloadNameSize = 16;
constexpr std::uint32_t MessageTextSize = 128;
constexpr std::uint32_t FlightPlanFolderSize = 256;
constexpr std::uint32_t WeatherRecordSize = 1024;

// A tank's fill level is a 4-byte fraction of a full tank, 8388608; its capacity 4 bytes of US gallons.
constexpr std::int32_t FullTank = 8388608;

struct TankOffsets
{
    std::uint32_t level;
    std::uint32_t capacity;
};

// Level and capacity offsets of tanks 1 to 11 (index 0 is tank 1, "Left Tip").
constexpr TankOffsets Tanks[11] = {
    {0x0B8C, 0x0B90}, {0x0B84, 0x0B88}, {0x0B7C, 0x0B80}, {0x0B74, 0x0B78}, {0x1244, 0x1248}, {0x124C, 0x1250},
    {0x0B94, 0x0B98}, {0x0B9C, 0x0BA0}, {0x0BA4, 0x0BA8}, {0x1254, 0x1258}, {0x125C, 0x1260},
};

constexpr bool IsTankId(int id)
{
    return id >= 1 && id <= 11;
}

} // namespace aviation::IPC::FSUIPCOffset
