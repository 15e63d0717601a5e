// One whole bridge session against the loopback peer, byte for byte: login, version exchange, the four reads,
// the ten writes and the logout leave exactly the frames of tests/data/bridge/session-frames.log.
#include "bridgetestsupport.h"

#include "simlink/linkmessage.h"

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using aviation::structs::CAircraft;
using aviation::structs::CAircraftDetail;
using aviation::structs::CAircraftFuel;
using aviation::structs::CAircraftFuelTank;
using aviation::structs::CAircraftPayload;
using aviation::structs::CAircraftPayloadStation;

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

// Frankfurt as weather generation fills its station block: a surface visibility, two temperature layers, two
// wind layers and a broken layer at 3000 ft.
CNewWeather FrankfurtStation()
{
    CNewWeather station;
    station.Command = 2;
    std::memcpy(station.Icao, "EDDF", 4);
    station.Seconds = 60;
    station.Lat = 50.0333;
    station.Lon = 8.5706;
    station.Elev = 111 * 65536;
    station.Press = 1015 * 16;
    station.Vis = NewVisLayer{1500, -1500, 628, 0};
    station.nTempCtr = 2;
    station.TempLayer[0] = NewTempLayer{111, 8, 0, 3};
    station.TempLayer[1] = NewTempLayer{1500, 2, 0, -4};
    station.nWindCtr = 2;
    station.WindLayer[0] = NewWindLayer{600, 12, 0, 45511, 0, 0, 0, 0, 0};
    station.WindLayer[1] = NewWindLayer{3000, 25, 0, 47332, 1, 0, 0, 0, 0};
    station.nCloudCtr = 1;
    station.CloudLayer[0] = NewCloudLayer{1300, 914, 0, 5, 9, 0, 0, 0, 0, 0, 0, 0};
    return station;
}

} // namespace

TEST_F(BridgeTest, ScriptedSessionLeavesTheGoldenFrameLog)
{
    ASSERT_TRUE(ConnectClient());
    int simulator = 0, weatherKind = 0;
    ASSERT_TRUE(m_client.SendClientVersion(simulator, weatherKind));

    CAircraft aircraft;
    CAircraftFuel fuel;
    CAircraftPayload payload;
    CAircraftDetail detail;
    ASSERT_TRUE(m_client.ReadAircraft(aircraft));
    ASSERT_TRUE(m_client.ReadFuel(fuel));
    ASSERT_TRUE(m_client.ReadPayload(payload));
    ASSERT_TRUE(m_client.ReadAircraftDetail(detail));

    fuel.SetTankLevel(4, 55.0);
    payload.stations.at(3).weight = 9100.0f;
    CXPWeather xplane;
    xplane.Press = 29.98f;
    xplane.Temp = 8.0f;
    xplane.Dew = 3.0f;
    xplane.Cloudlayer[0] = XPCloudLayer{2, 0.75f, 914.0f, 1300.0f};
    xplane.WindLayer[0] = XPWindLayer{600.0f, 250.0f, 12.0f, 0.0f, 0.0f, 0.0f};
    ASSERT_TRUE(m_client.SendFuel(fuel));
    ASSERT_TRUE(m_client.SendPayload(payload));
    ASSERT_TRUE(m_client.SendWind(aviation::weather::CWind(250.0, 12.0, 22.0)));
    ASSERT_TRUE(m_client.SendWeatherStation(FrankfurtStation()));
    ASSERT_TRUE(m_client.SendMetar("EDDF 071020Z 25012G22KT 9999 BKN030 08/03 Q1015"));
    ASSERT_TRUE(m_client.SendXPlaneWeather(xplane));
    ASSERT_TRUE(m_client.SetWeatherTheme("Fair Weather"));
    ASSERT_TRUE(m_client.SendXPlaneWind(xplane));
    ASSERT_TRUE(m_client.SendText("Update Weather"));
    ASSERT_TRUE(m_client.ClearWeather());
    ASSERT_TRUE(m_client.Logout());
    ASSERT_TRUE(m_peer.WaitForFrames(17, 2000));

    const std::string golden = ReadFile(AEROVANE_TEST_DATA_DIR "/bridge/session-frames.log");
    ASSERT_FALSE(golden.empty());
    const std::vector<std::string> expected = Lines(golden);
    const std::vector<std::string> received = m_peer.GetFrames();
    ASSERT_EQ(received.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(received[i], expected[i]) << "frame " << i;
    EXPECT_EQ(m_peer.GetFrameLog(), golden);
    EXPECT_EQ(m_peer.GetWeatherWrites().size(), 3u);
}
