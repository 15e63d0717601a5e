// One message of the bridge protocol and its frame, e.g. "@HELO;000;0043;ClientName=Aerovanev2:ClientAPIVersion=1002":
// "@", the command word, ";", the sub-code in three digits, ";", the payload length in four digits, ";", the
// payload. The sender follows each frame with one line feed, which the length does not count.
#pragma once

#include "simlink/aircraft.h"
#include "simlink/aircraftdetail.h"
#include "simlink/aircraftfuel.h"
#include "simlink/aircraftpayload.h"
#include "simlink/newweather.h"
#include "simlink/xpweather.h"
#include "weather/wind.h"

#include <cstdint>
#include <string>

// Command codes; on the wire each is a four-letter word. Codes without a word are written "NCMD".
enum LinkCommand : std::int32_t {
    LinkHelo = 0, // "HELO" client: handshake with client name and API version
    LinkCofs = 1, // "COFS" client: client version; is the bridge connected to a simulator?
    LinkFsst = 2, // "FSST" bridge: answer to COFS, the simulator the bridge is connected to
    LinkRead = 3, // "READ" client: read aircraft data
    LinkWrit = 4, // "WRIT" client: write weather, wind, fuel, payload or a text
    LinkAnsw = 5, // "ANSW" bridge: answer to HELO, READ and WRIT
    LinkNoCommand = 6, // "NCMD"
    LinkQuit = 7, // "QUIT" client: logout
};

// Sub-codes of the requests the client sends.
namespace LinkSubCode {
constexpr std::uint8_t Hello = 0;
constexpr std::uint8_t ReadAircraft = 1;
constexpr std::uint8_t ReadFuel = 2;
constexpr std::uint8_t ReadPayload = 3;
constexpr std::uint8_t ReadAircraftDetail = 4;
constexpr std::uint8_t WriteFuel = 2;
constexpr std::uint8_t WritePayload = 3;
constexpr std::uint8_t WriteWind = 5;
constexpr std::uint8_t WriteNewWeather = 6;
constexpr std::uint8_t WriteMetar = 7;
constexpr std::uint8_t WriteXPlaneWeather = 8;
constexpr std::uint8_t WriteWeatherTheme = 9;
constexpr std::uint8_t WriteXPlaneWind = 11;
constexpr std::uint8_t WriteText = 13;
constexpr std::uint8_t ClientVersion = 80;
constexpr std::uint8_t ClearWeather = 81;
constexpr std::uint8_t Logout = 82;
} // namespace LinkSubCode

class CLinkMessage
{
public:
    // The length field has four digits, so no frame carries more payload than this.
    static constexpr int kMaxPayloadLength = 9999;

    CLinkMessage() = default;
    // Payload = the text (nullptr gives an empty payload).
    CLinkMessage(LinkCommand command, std::uint8_t subCode, const char* text);
    // Payloads written from records, with the record's sub-code: New Weather 6, fuel 2, payload 3, wind 5.
    CLinkMessage(LinkCommand command, const CNewWeather& weather);
    CLinkMessage(LinkCommand command, const aviation::structs::CAircraftFuel& fuel);
    CLinkMessage(LinkCommand command, const aviation::structs::CAircraftPayload& payload);
    CLinkMessage(LinkCommand command, const aviation::weather::CWind& wind);
    // X-Plane weather (sub-code 8) or X-Plane wind update (sub-code 11).
    CLinkMessage(LinkCommand command, const CXPWeather& weather, std::uint8_t subCode);
    // Parses a received text. A text shorter than a header or without the leading "@" gives an empty message
    // with no command; an unknown (or lower-case) word gives no command but keeps sub-code, length and payload.
    // The payload is everything after the header, line end included.
    explicit CLinkMessage(const std::string& received);

    // The catalogue's fixed requests.
    static CLinkMessage Hello(int clientApiVersion);
    static CLinkMessage ClientVersion(int clientVersion);
    static CLinkMessage Read(std::uint8_t subCode);
    static CLinkMessage Logout();

    // The frame without its line end. A payload longer than kMaxPayloadLength, or a length field that does not
    // fit four characters, would shift the header, so such a message gives an empty text and one debug line.
    std::string ToString() const;

    std::uint8_t GetCommand() const { return static_cast<std::uint8_t>(m_command & 0xFF); }
    std::uint8_t GetSubCode() const { return m_subCode; }
    int GetLength() const { return m_length; }
    std::string GetPayload() const { return m_payload; }

    // Payload writers. Numbers always use "." as the decimal separator, and every "," (names included) is sent
    // as ".".
    static std::string FromAircraftFuel(const aviation::structs::CAircraftFuel& fuel);
    static std::string FromAircraftPayload(const aviation::structs::CAircraftPayload& payload);
    static std::string FromWind(const aviation::weather::CWind& wind);
    static std::string FromNewWeather(const CNewWeather& weather);
    static std::string FromXPWeather(const CXPWeather& weather);

    // Readers of the answers to the four READ requests (aircraft 1, fuel 2, payload 3, details 4). A malformed
    // answer gives a default or partly filled record, never an error; a missing or too short item also leaves
    // one line on the debug output.
    aviation::structs::CAircraft ToAircraft() const;
    aviation::structs::CAircraftDetail ToAircraftDetail() const;
    aviation::structs::CAircraftFuel ToAircraftFuel() const;
    aviation::structs::CAircraftPayload ToAircraftPayload() const;

private:
    CLinkMessage(LinkCommand command, std::uint8_t subCode, std::string payload);

    std::int32_t m_command = LinkHelo;
    std::uint8_t m_subCode = 0;
    std::int32_t m_length = 0;
    std::string m_payload;
};
