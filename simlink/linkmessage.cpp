#include "simlink/linkmessage.h"

#include "platform/debugoutput.h"
#include "simlink/wiretext.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr std::size_t kHeaderSize = 15;

const char* CommandWord(std::int32_t command)
{
    switch (command) {
    case LinkHelo:
        return "HELO";
    case LinkCofs:
        return "COFS";
    case LinkFsst:
        return "FSST";
    case LinkRead:
        return "READ";
    case LinkWrit:
        return "WRIT";
    case LinkAnsw:
        return "ANSW";
    case LinkQuit:
        return "QUIT";
    default:
        return "NCMD";
    }
}

// The words a received header may carry, in the order they are tried.
struct ReceivedWord
{
    const char* word;
    LinkCommand command;
};
constexpr ReceivedWord kReceivedWords[]
    = {{"QUIT", LinkQuit}, {"HELO", LinkHelo}, {"COFS", LinkCofs}, {"FSST", LinkFsst},
       {"READ", LinkRead}, {"WRIT", LinkWrit}, {"ANSW", LinkAnsw}};

// The number of a fixed-width header field.
int FieldValue(const std::string& text, std::size_t offset, std::size_t width)
{
    return CWireText::ReadInt(std::string_view(text).substr(offset, width));
}

} // namespace

CLinkMessage::CLinkMessage(LinkCommand command, std::uint8_t subCode, const char* text)
    : CLinkMessage(command, subCode, std::string(text ? text : ""))
{
}

CLinkMessage::CLinkMessage(LinkCommand command, std::uint8_t subCode, std::string payload)
    : m_command(command)
    , m_subCode(subCode)
    , m_length(static_cast<std::int32_t>(payload.size()))
    , m_payload(std::move(payload))
{
    // A frame ends at its line feed: one inside the payload would cut it in two.
    std::replace_if(
        m_payload.begin(), m_payload.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
}

CLinkMessage::CLinkMessage(LinkCommand command, const CNewWeather& weather)
    : CLinkMessage(command, LinkSubCode::WriteNewWeather, FromNewWeather(weather))
{
}

CLinkMessage::CLinkMessage(LinkCommand command, const aviation::structs::CAircraftFuel& fuel)
    : CLinkMessage(command, LinkSubCode::WriteFuel, FromAircraftFuel(fuel))
{
}

CLinkMessage::CLinkMessage(LinkCommand command, const aviation::structs::CAircraftPayload& payload)
    : CLinkMessage(command, LinkSubCode::WritePayload, FromAircraftPayload(payload))
{
}

CLinkMessage::CLinkMessage(LinkCommand command, const aviation::weather::CWind& wind)
    : CLinkMessage(command, LinkSubCode::WriteWind, FromWind(wind))
{
}

CLinkMessage::CLinkMessage(LinkCommand command, const CXPWeather& weather, std::uint8_t subCode)
    : CLinkMessage(command, subCode, FromXPWeather(weather))
{
}

CLinkMessage::CLinkMessage(const std::string& received)
    : m_command(LinkNoCommand)
{
    if (received.size() < kHeaderSize || received[0] != '@')
        return;
    const std::string word = received.substr(1, 4);
    for (const ReceivedWord& known : kReceivedWords) {
        if (word == known.word) {
            m_command = known.command;
            break;
        }
    }
    m_subCode = static_cast<std::uint8_t>(FieldValue(received, 6, 3));
    m_length = FieldValue(received, 10, 4);
    if (received.size() > kHeaderSize)
        m_payload = received.substr(kHeaderSize);
}

CLinkMessage CLinkMessage::Hello(int clientApiVersion)
{
    const std::string text = "ClientName=Aerovanev2:ClientAPIVersion=" + std::to_string(clientApiVersion);
    return CLinkMessage(LinkHelo, LinkSubCode::Hello, text);
}

CLinkMessage CLinkMessage::ClientVersion(int clientVersion)
{
    return CLinkMessage(LinkCofs, LinkSubCode::ClientVersion, "ClientVersion=" + std::to_string(clientVersion));
}

CLinkMessage CLinkMessage::Read(std::uint8_t subCode)
{
    return CLinkMessage(LinkRead, subCode, std::string());
}

CLinkMessage CLinkMessage::Logout()
{
    return CLinkMessage(LinkQuit, LinkSubCode::Logout, "Logout");
}

std::string CLinkMessage::ToString() const
{
    if (m_payload.size() > static_cast<std::size_t>(kMaxPayloadLength) || m_length < -999
        || m_length > kMaxPayloadLength) {
        platform::DebugOut("(LinkMessage) " + std::string(CommandWord(m_command)) + " message of "
                           + std::to_string(m_payload.size()) + " payload bytes does not fit a frame; not sent\n");
        return std::string();
    }
    char header[32];
    std::snprintf(header, sizeof(header), "@%s;%03i;%04i;", CommandWord(m_command), m_subCode, m_length);
    return header + m_payload;
}
