#include "simlinktestsupport.h"

#include <cstring>

std::string Frame(LinkCommand command, std::uint8_t subCode, const std::string& payload)
{
    return CLinkMessage(command, subCode, payload.c_str()).ToString() + "\n";
}

CNewWeather MunichStation()
{
    CNewWeather block;
    block.Command = 2;
    std::memcpy(block.Icao, "EDDM", 4);
    block.Elev = 29702178;
    block.Press = 16336;
    block.Drift = -1;
    block.Vis = {553, -100, 6281, 0};
    block.nTempCtr = 3;
    block.TempLayer[0] = {463, 6, 0, 1};
    block.TempLayer[1] = {663, 5, 0, 0};
    block.TempLayer[2] = {1524, -2, 0, -9};
    block.nWindCtr = 3;
    block.WindLayer[0] = {553, 8, 5, 43690, 1, 0, 3640, 65000, 500};
    block.WindLayer[1] = {753, 10, 5, 46421, 1, 0, 3640, 65000, 500};
    block.WindLayer[2] = {1524, 25, 0, 65535, 0, 0, 0, 0, 0};
    block.nCloudCtr = 1;
    block.CloudLayer[0] = {1673, 1673, 0, 6, 8, 0, 0, 0, 0, 0, 0, 0};
    block.nUpperVisCtr = 1;
    block.UpperVis[0] = {5000, 554, 6381, 0};
    return block;
}

COvyxClient::Waits RoomyWaits()
{
    COvyxClient::Waits waits;
    waits.connect = kEventWaitMs;
    waits.write = kEventWaitMs;
    waits.writeReply = kEventWaitMs;
    waits.readReply = kEventWaitMs;
    return waits;
}

void BridgeTest::SetUp()
{
    ASSERT_TRUE(m_peer.Start());
    m_client.SetWaits(RoomyWaits());
}

QStringList BridgeTest::LogTexts() const
{
    QStringList texts;
    for (const QList<QVariant>& arguments : m_log) {
        EXPECT_EQ(arguments.at(1).toInt(), 0) << arguments.at(0).toString().toStdString();
        texts << arguments.at(0).toString();
    }
    return texts;
}
