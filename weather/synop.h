// One surface synoptic report of a land station (AAXX), a ship (BBXX) or a mobile land station (OOXX),
// with the values decoded from it and its conversion into a METAR line:
//     AAXX 01124 10384 32595 81204 10123 21012 30132 40015 82530 333 85815 91125
#pragma once

#include "weather/cloudlayer.h"
#include "weather/station.h"
#include "weather/wind.h"

#include <string>
#include <vector>

namespace aviation {
namespace weather {

class CMetar;

class CSynop : public CStation
{
public:
    CSynop() = default;
    // Keeps the text as the raw report and decodes its header (station, time, ship position).
    explicit CSynop(const std::wstring& text);
    CSynop(const CSynop& other) = default;
    // The station part is assigned as stations are, without its observation time, then every own field.
    CSynop& operator=(const CSynop& other) = default;
    ~CSynop() override = default;

    // Restores the decoded values to their defaults; keeps the raw text, the station, the wind, the lowest
    // cloud, the cloud layers and the wind-unit indicator.
    void Reset();

    // Decodes the whole report into this record; returns the code (0 = no error, see GetErrorText).
    int Decode();
    // Decodes only the land or ship header: station, observation time, wind unit and ship position.
    int DecodeHeader();
    static std::wstring GetErrorText(int code);
    // Message of the last failure caught while decoding; empty when there was none.
    std::wstring GetDecodeErrorText() const { return m_errorText; }

    // Writes the report as a METAR line under the identity of `target` and hands back its METAR decode;
    // returns the code of that decode (see CMetar::GetErrorText).
    int ToMetar(CMetar& target);

    std::wstring GetRaw() const { return m_raw; }
    // 0 and 1: wind speeds were given in metres per second; 3 and 4: in knots; -1 before any header.
    int GetWindUnitIndicator() const { return m_windUnit; }
    double GetTemperature() const { return m_temperature; }
    double GetDewPoint() const { return m_dewPoint; }
    // Relative humidity in percent from a 29UUU group; 0 when the report gave a dew point instead.
    double GetHumidity() const { return m_humidity; }
    double GetRegionalTemperature() const { return m_regionalTemperature; }
    double GetRegionalValue() const { return m_regionalValue; }
    int GetPrecipitationIndicator() const { return m_precipitationIndicator; }
    int GetVisibility() const { return m_visibility; }
    CCloudLayer GetLowestCloud() const { return m_lowestCloud; }
    int GetLowCloudType() const { return m_lowCloudType; }
    int GetMiddleCloudType() const { return m_middleCloudType; }
    int GetHighCloudType() const { return m_highCloudType; }
    std::vector<CCloudLayer> GetCloudLayers() const { return m_cloudLayers; }
    CWind GetWind() const { return m_wind; }
    int GetGust910() const { return m_gust910; }
    int GetGust911First() const { return m_gust911First; }
    int GetGust911Second() const { return m_gust911Second; }
    float GetSeaLevelPressure() const { return m_seaLevelPressure; }
    float GetStationPressure() const { return m_stationPressure; }
    bool HasCloudBase() const { return m_hasCloudBase; }
    bool HasWind() const { return m_hasWind; }
    bool HasVisibility() const { return m_hasVisibility; }
    int GetShipDirection() const { return m_shipDirection; }
    int GetShipSpeed() const { return m_shipSpeed; }

    // Error codes of Decode and DecodeHeader.
    static constexpr int kNoError = 0;
    static constexpr int kRegexError = 1;
    static constexpr int kStationError = 2;
    static constexpr int kClimateError = 3;
    static constexpr int kPositionError = 4;
    static constexpr int kNotFound = 6;
    static constexpr int kNotReportedVisibility = 99999;

private:
    friend class CSynopDecoder;

    std::wstring m_raw;
    int m_windUnit = -1;
    double m_temperature = 15.0;
    double m_dewPoint = 5.0;
    double m_humidity = 0.0;
    double m_regionalTemperature = 0.0;
    double m_regionalValue = 0.0;
    int m_precipitationIndicator = 3;
    int m_visibility = kNotReportedVisibility;
    CCloudLayer m_lowestCloud;
    int m_lowCloudType = 0;
    int m_middleCloudType = 0;
    int m_highCloudType = 0;
    std::vector<CCloudLayer> m_cloudLayers;
    CWind m_wind{-1.0, -1.0, 0.0};
    int m_gust910 = 0;
    int m_gust911First = 0;
    int m_gust911Second = 0;
    float m_seaLevelPressure = 1013.2f;
    float m_stationPressure = 1013.2f;
    bool m_hasCloudBase = true;
    bool m_hasWind = true;
    bool m_hasVisibility = true;
    int m_shipDirection = 0;
    int m_shipSpeed = 0;
    std::wstring m_errorText;
};

} // namespace weather
} // namespace aviation
