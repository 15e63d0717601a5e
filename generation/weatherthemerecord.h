// One point of a weather theme: the values one record of the binary .WTB theme file carries (header counts,
// surface wind, wind, visibility, cloud and temperature tables, QNH) and the place whose weather they are.
#pragma once

#include "simlink/newweather.h"
#include "weather/position.h"

#include <cstdint>

class CWeatherThemeRecord
{
public:
    // Entries per table of a record.
    static constexpr int kMaxEntries = 16;

    // The surface wind and each wind layer; the surface's gust holds speed plus gust, and its direction and
    // variance keep their fraction where the layers' are whole degrees.
    struct WindLayer
    {
        float upperAlt = 0.0f; // metres above the station
        float speed = 0.0f; // kt
        float gust = 0.0f; // kt
        float direction = 0.0f; // degrees
        float variance = 0.0f; // degrees
        std::int32_t turbulence = 0;
        std::int32_t shear = 0;
    };

    struct VisibilityLayer
    {
        float range = 0.0f; // metres
        float lowerAlt = 0.0f; // metres
        float upperAlt = 0.0f; // metres
    };

    struct CloudLayer
    {
        std::uint16_t type = 0;
        std::uint16_t reserved = 0;
        float base = 0.0f; // metres above the station
        float top = 0.0f; // metres above the station
        float deviation = 0.0f; // kept here, written to the file as 0.0
        std::int32_t coverage = 0; // oktas
        std::int32_t topShape = 0;
        std::int32_t turbulence = 0;
        std::int32_t precipitationType = 0;
        float precipitationBase = 0.0f; // metres
        std::int32_t precipitationRate = 0;
        std::int32_t icing = 0;
    };

    struct TemperatureLayer
    {
        float altitude = 0.0f; // metres above the station
        float temperature = 0.0f; // degrees Celsius
        float variation = 3.0f;
        float dewPoint = 0.0f; // degrees Celsius
    };

    CWeatherThemeRecord() = default;
    explicit CWeatherThemeRecord(const aviation::Position& position)
        : position(position)
    {
    }
    CWeatherThemeRecord(const CWeatherThemeRecord&) = default;
    CWeatherThemeRecord& operator=(const CWeatherThemeRecord&) = default;

    // Counts 0, the four spaces and 127.
    void ResetHeader();

    // Takes the weather of a filled New Weather block: heights relative to the block's station elevation, wind
    // directions from 65536ths of a circle into degrees, at most 16 entries per table. The QNH is in hPa.
    void SetFromBlock(const CNewWeather& block, float qnh);

    aviation::Position position; // chooses the weather, not written to the file

    std::uint16_t windCount = 0;
    std::uint16_t visibilityCount = 0;
    std::uint16_t cloudCount = 0;
    std::uint16_t temperatureCount = 0;
    char spaces[4] = {' ', ' ', ' ', ' '};
    std::int32_t headerValue = 127;

    WindLayer surface;
    WindLayer winds[kMaxEntries];
    VisibilityLayer visibilities[kMaxEntries];
    CloudLayer clouds[kMaxEntries];
    TemperatureLayer temperatures[kMaxEntries];
    float qnh = 0.0f; // hPa
};
