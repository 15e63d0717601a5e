// One METAR report: its station, the text as received, the text decoded and the values taken out of it.
//     EDDF 061250Z 27015G25KT 240V300 9999 -RA BKN020CB 12/08 Q1015 NOSIG
#pragma once

#include "weather/cloudlayer.h"
#include "weather/station.h"
#include "weather/wind.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace aviation {
namespace weather {

class CMetar : public CStation
{
public:
    // Conversion factor from hundredths of an inch of mercury to hPa.
    static constexpr double kHpaPerHundredthInch = 0.33864316;

    CMetar();
    // The station's ICAO code is taken from the first four characters of the text.
    explicit CMetar(const std::wstring& raw);
    CMetar(const CMetar& other) = default;
    // Copies every own field; the station part is assigned as stations are, without its observation time.
    CMetar& operator=(const CMetar& other) = default;
    ~CMetar() override = default;

    // Sets the decoded flag, decodes the raw text and returns the code (0 = no error, see GetErrorText).
    int Decode();
    static std::wstring GetErrorText(int code);
    // The error text of a decode's code, naming a missing wind too when a later failure took the code
    // ("Wind Metar Error, QNH Metar Error").
    std::wstring GetErrorTexts(int code) const;

    void SetRaw(const std::wstring& raw) { m_raw = raw; }
    std::wstring GetRaw() const { return m_raw; }
    std::wstring GetOriginalRaw() const { return m_originalRaw; }
    std::wstring GetICAOString() const { return GetICAO(); }
    // "ddhhmm" of the time group, "000000" while the report has none.
    std::wstring GetTimeGroup() const;
    // Description for the weather views; a visibility other than 0 replaces the report's own.
    std::wstring GetInfoText(int visibility) const;

    using CStation::GetDistance;
    // Distance from the place the report was chosen for (NM); 0 = not set.
    double GetDistance() const { return m_distance; }
    void SetDistance(double nm) { m_distance = nm; }

    // Where a decode found no readable wind group: the offset of that place in the raw text, and the length of
    // the group it passed over there (0 when the report has none).
    struct TextSpan
    {
        std::size_t offset = 0;
        std::size_t length = 0;
    };

    CWind GetWind() const { return m_wind; }
    // False after a decode that found no readable wind group (none, "/////KT", one without its unit): the wind
    // fields then hold no observation, least of all a calm.
    bool HasWind() const { return m_hasWind; }
    TextSpan GetUnreadWind() const { return m_unreadWind; }
    int GetVariableWindFrom() const { return m_variableFrom; }
    int GetVariableWindTo() const { return m_variableTo; }
    int GetVariableWindRange() const;
    int GetVisibility() const { return m_visibility; }
    std::wstring GetRVR() const { return m_rvr; }
    // Runway groups that followed the pressure group, each with one trailing blank.
    std::wstring GetRunwayAfterPressure() const { return m_runwayAfterPressure; }
    std::wstring GetWeather() const { return m_weather; }
    // 0 before decoding, 1 light, 2 moderate, 3 heavy.
    std::int8_t GetWeatherIntensity() const { return static_cast<std::int8_t>(m_intensity); }
    std::vector<CCloudLayer> GetCloudLayers() const { return m_clouds; }
    void SetCloudLayers(const std::vector<CCloudLayer>& layers) { m_clouds = layers; }
    int GetTemperature() const { return m_temperature; }
    int GetTemperatureMSL() const { return m_temperatureMsl; }
    void SetTemperatureMSL(int celsius) { m_temperatureMsl = celsius; }
    int GetDewPoint() const { return m_dewPoint; }
    int GetDewPointMSL() const { return m_dewPointMsl; }
    void SetDewPointMSL(int celsius) { m_dewPointMsl = celsius; }
    // The QNH in hPa, or in hundredths of an inch of mercury when `hectopascal` is false.
    double GetQNH(bool hectopascal) const;
    bool IsCAVOK() const { return m_cavok; }
    bool IsDecoded() const { return m_decoded; }
    bool IsAUTO() const { return m_auto; }
    bool IsNSC() const { return m_nsc; }
    // Diagnostic text of the last decode that a failure inside a stage ended.
    std::wstring GetDecodeErrorText() const { return m_decodeError; }

private:
    friend class CMetarDecoder;

    std::wstring m_raw;
    std::wstring m_originalRaw;
    wchar_t m_timeGroup[7] = {};
    CWind m_wind{0.0, 0.0, 0.0};
    bool m_hasWind = true;
    TextSpan m_unreadWind;
    std::int16_t m_variableFrom = -1;
    std::int16_t m_variableTo = -1;
    std::int32_t m_visibility = 9999;
    std::wstring m_rvr;
    std::wstring m_runwayAfterPressure;
    std::wstring m_weather;
    std::uint8_t m_intensity = 0;
    std::vector<CCloudLayer> m_clouds;
    std::int32_t m_temperature = 13;
    std::int32_t m_temperatureMsl = 15;
    std::int32_t m_dewPoint = 5;
    std::int32_t m_dewPointMsl = 5;
    float m_qnh = 1013.0f;
    bool m_cavok = false;
    bool m_decoded = false;
    bool m_auto = false;
    double m_distance = 0.0;
    bool m_nsc = false;
    std::wstring m_decodeError;
};

} // namespace weather
} // namespace aviation
