// Frames of the bridge protocol as the client writes them and as a bridge program answers them.
#include "simlink/linkmessage.h"

#include "platform/debugoutput.h"

#include <gtest/gtest.h>

namespace {

std::string Framed(const CLinkMessage& message)
{
    return message.ToString() + "\n";
}

} // namespace

TEST(LinkMessage, RequestsAreFramedByteForByte)
{
    EXPECT_EQ(Framed(CLinkMessage::Read(LinkSubCode::ReadAircraft)), std::string("@READ;001;0000;\n"));
    EXPECT_EQ(Framed(CLinkMessage::Read(LinkSubCode::ReadAircraft)).size(), 16u);
    EXPECT_EQ(Framed(CLinkMessage::Logout()), "@QUIT;082;0006;Logout\n");
    EXPECT_EQ(Framed(CLinkMessage::Hello(1002)), "@HELO;000;0043;ClientName=Aerovanev2:ClientAPIVersion=1002\n");
    EXPECT_EQ(CLinkMessage::ClientVersion(1002).ToString(), "@COFS;080;0018;ClientVersion=1002");
    EXPECT_EQ(CLinkMessage(LinkWrit, LinkSubCode::ClearWeather, "").ToString(), "@WRIT;081;0000;");
    EXPECT_EQ(CLinkMessage(LinkWrit, LinkSubCode::WriteMetar, "EDDM 071020Z 24008KT CAVOK 06/01 Q1021").ToString(),
              "@WRIT;007;0038;EDDM 071020Z 24008KT CAVOK 06/01 Q1021");
}

TEST(LinkMessage, CommandsWithoutWordAreWrittenNcmd)
{
    const std::pair<LinkCommand, const char*> cases[] = {{LinkHelo, "@HELO"},
                                                         {LinkCofs, "@COFS"},
                                                         {LinkFsst, "@FSST"},
                                                         {LinkRead, "@READ"},
                                                         {LinkWrit, "@WRIT"},
                                                         {LinkAnsw, "@ANSW"},
                                                         {LinkQuit, "@QUIT"},
                                                         {LinkNoCommand, "@NCMD"},
                                                         {static_cast<LinkCommand>(8), "@NCMD"},
                                                         {static_cast<LinkCommand>(-1), "@NCMD"}};
    for (const auto& [command, start] : cases)
        EXPECT_EQ(CLinkMessage(command, 0, nullptr).ToString(), std::string(start) + ";000;0000;") << command;
}

TEST(LinkMessage, ReceivedHeadersAreParsed)
{
    struct Case
    {
        const char* name;
        std::string received;
        int command;
        int subCode;
        int length;
        std::string payload;
    };
    const Case cases[] = {
        {"answer with line end kept", "@ANSW;001;0005;Hello\n", LinkAnsw, 1, 5, "Hello\n"},
        {"answer without payload", "@ANSW;001;0000;", LinkAnsw, 1, 0, ""},
        {"lower-case word", "@answ;001;0000;x", LinkNoCommand, 1, 0, "x"},
        {"sub-code beyond a byte", "@ANSW;300;0000;", LinkAnsw, 44, 0, ""},
        {"simulator state", "@FSST;080;0009;FS=3:SC=1\n", LinkFsst, 80, 9, "FS=3:SC=1\n"},
        {"logout", "@QUIT;082;0006;Logout", LinkQuit, 82, 6, "Logout"},
        {"length not compared with payload", "@WRIT;006;0999;abc", LinkWrit, 6, 999, "abc"},
        {"fields as atoi reads them", "@READ; 2x;12ab;", LinkRead, 2, 12, ""},
        {"empty input", "", LinkNoCommand, 0, 0, ""},
        {"short of a header", "@ANSW;001;000", LinkNoCommand, 0, 0, ""},
        {"no leading at sign", "ANSW;001;0005;Hello", LinkNoCommand, 0, 0, ""},
        {"HTTP answer instead of a frame", "HTTP/1.1 400 Bad Request\r\n", LinkNoCommand, 0, 0, ""},
    };
    for (const Case& c : cases) {
        const CLinkMessage message(c.received);
        EXPECT_EQ(message.GetCommand(), c.command) << c.name;
        EXPECT_EQ(message.GetSubCode(), c.subCode) << c.name;
        EXPECT_EQ(message.GetLength(), c.length) << c.name;
        EXPECT_EQ(message.GetPayload(), c.payload) << c.name;
    }
}

TEST(LinkMessage, ParsedMessageIsWrittenWithItsOwnLengthField)
{
    const CLinkMessage message(std::string("@ANSW;004;0003;Hello"));
    EXPECT_EQ(message.ToString(), "@ANSW;004;0003;Hello");
}

TEST(LinkMessage, LongestPayloadStillFrames)
{
    const std::string payload(CLinkMessage::kMaxPayloadLength, 'x');
    const std::string frame = CLinkMessage(LinkWrit, LinkSubCode::WriteMetar, payload.c_str()).ToString();
    EXPECT_EQ(frame.substr(0, 15), "@WRIT;007;9999;");
    EXPECT_EQ(frame.size(), 15u + 9999u);
}

TEST(LinkMessage, PayloadTooLongForLengthFieldIsRefusedWithOneDebugLine)
{
    platform::ScopedDebugCapture capture;
    const std::string payload(CLinkMessage::kMaxPayloadLength + 1, 'x');
    const CLinkMessage message(LinkWrit, LinkSubCode::WriteMetar, payload.c_str());
    EXPECT_EQ(message.GetLength(), 10000);
    EXPECT_EQ(message.ToString(), "");
    ASSERT_EQ(capture.Lines().size(), 1u);
    EXPECT_TRUE(capture.Contains("10000"));
}
