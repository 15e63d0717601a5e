// One weather station in FSUIPC's 1024-byte "New Weather" layout (little-endian), written byte for byte to the
// simulator's New Weather area and sent field by field over the bridge, e.g. the header
// "Command=2:Flag=0:Signature=0:Icao=EDDM:Dynamic=0:Seconds=0:Lat=0.000000:Lon=0.000000:Elev=29425664:...".
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

// One temperature layer: top of the layer in metres MSL, day temperature, day/night variation and dew point in
// whole degrees Celsius.
struct NewTempLayer
{
    std::uint16_t Alt = 0;
    std::int16_t Day = 0;
    std::int16_t DayNightVar = 0;
    std::int16_t Dew = 0;
};

// One wind layer: top in metres MSL, speed and gust in knots, direction and variance in units of 360/65536
// degree, turbulence 0..4.
struct NewWindLayer
{
    std::uint16_t UpperAlt = 0;
    std::uint16_t Speed = 0;
    std::uint16_t Gust = 0;
    std::uint16_t Dir = 0;
    std::uint8_t Turbulence = 0;
    std::uint8_t Shear = 0;
    std::uint16_t Variance = 0;
    std::uint16_t SpeedFract = 0;
    std::uint16_t CapAbove = 0;
};

// One visibility layer (the surface one and the upper ones): altitudes in metres, range in metres / 15.92.
struct NewVisLayer
{
    std::uint16_t UpperAlt = 0;
    std::int16_t LowerAlt = 0;
    std::uint16_t Range = 0;
    std::uint16_t Reserved = 0;
};

// One cloud layer.
struct NewCloudLayer
{
    std::uint16_t UpperAlt = 0;
    std::uint16_t LowerAlt = 0;
    std::uint16_t Dev = 0;
    std::uint8_t Cover = 0;
    std::uint8_t Type = 0;
    std::uint8_t Turbulence = 0;
    std::uint8_t Icing = 0;
    std::int16_t PrecipBase = 0;
    std::uint8_t PrecipType = 0;
    std::uint8_t PrecipRate = 0;
    std::uint8_t TopShape = 0;
    std::uint8_t Reserved = 0;
};

// The block starts all zero except the pressure, 1013. The layer counters say how many entries of each table
// are in use; a block read from elsewhere may carry any counter, so readers clamp them to the table sizes.
struct CNewWeather
{
    static constexpr int kMaxTempLayers = 24;
    static constexpr int kMaxWindLayers = 24;
    static constexpr int kMaxCloudLayers = 16;
    static constexpr int kMaxUpperVisLayers = 14;

    CNewWeather();

    std::uint16_t Command = 0;
    std::uint16_t Flag = 0;
    std::uint32_t Signature = 0;
    char Icao[4] = {};
    std::uint16_t Dynamic = 0;
    std::uint16_t Seconds = 0;
    double Lat = 0.0;
    double Lon = 0.0;
    std::int32_t Elev = 0; // metres x 65536
    std::uint32_t Timestamp = 0;
    std::uint16_t Press = 0; // hPa x 16 once filled; 1013 in a new block
    std::int16_t Drift = 0;
    NewVisLayer Vis;
    std::int32_t nTempCtr = 0;
    NewTempLayer TempLayer[kMaxTempLayers];
    std::int32_t nWindCtr = 0;
    NewWindLayer WindLayer[kMaxWindLayers];
    std::int32_t nCloudCtr = 0;
    NewCloudLayer CloudLayer[kMaxCloudLayers];
    std::uint8_t Reserved[12] = {};
    std::int32_t nUpperVisCtr = 0;
    NewVisLayer UpperVis[kMaxUpperVisLayers];
};

static_assert(sizeof(NewTempLayer) == 8 && sizeof(NewVisLayer) == 8, "8-byte layers");
static_assert(sizeof(NewWindLayer) == 16 && sizeof(NewCloudLayer) == 16, "16-byte layers");
static_assert(sizeof(CNewWeather) == 1024, "the block is exchanged as exactly 1024 bytes");
static_assert(std::is_standard_layout<CNewWeather>::value && std::is_trivially_copyable<CNewWeather>::value,
              "the block is copied as raw bytes");
static_assert(offsetof(CNewWeather, Flag) == 2 && offsetof(CNewWeather, Signature) == 4
                  && offsetof(CNewWeather, Icao) == 8 && offsetof(CNewWeather, Dynamic) == 12
                  && offsetof(CNewWeather, Seconds) == 14 && offsetof(CNewWeather, Lat) == 16
                  && offsetof(CNewWeather, Lon) == 24 && offsetof(CNewWeather, Elev) == 32
                  && offsetof(CNewWeather, Timestamp) == 36 && offsetof(CNewWeather, Press) == 40
                  && offsetof(CNewWeather, Drift) == 42 && offsetof(CNewWeather, Vis) == 44,
              "header fields at their FSUIPC offsets");
static_assert(offsetof(CNewWeather, nTempCtr) == 52 && offsetof(CNewWeather, TempLayer) == 56
                  && offsetof(CNewWeather, nWindCtr) == 248 && offsetof(CNewWeather, WindLayer) == 252
                  && offsetof(CNewWeather, nCloudCtr) == 636 && offsetof(CNewWeather, CloudLayer) == 640
                  && offsetof(CNewWeather, nUpperVisCtr) == 908 && offsetof(CNewWeather, UpperVis) == 912,
              "layer tables and counters at their FSUIPC offsets");
static_assert(offsetof(NewWindLayer, Turbulence) == 8 && offsetof(NewWindLayer, Variance) == 10
                  && offsetof(NewWindLayer, CapAbove) == 14,
              "wind layer fields");
static_assert(offsetof(NewCloudLayer, Cover) == 6 && offsetof(NewCloudLayer, PrecipBase) == 10
                  && offsetof(NewCloudLayer, TopShape) == 14,
              "cloud layer fields");
