// Flight files written and read back: times go out as UTC clock values and come back as local ones.
#include "recorder/flightfile.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using aviation::structs::CAircraft;

namespace {

QDateTime At(int hour, int minute, int second)
{
    return QDateTime(QDate(2026, 12, 7), QTime(hour, minute, second), Qt::UTC);
}

CAircraft Sample(double latitude, double longitude, int altitude, int height)
{
    CAircraft sample;
    sample.SetLatitude(latitude);
    sample.SetLongitude(longitude);
    sample.altitude = altitude;
    sample.height = height;
    sample.heading.direction = 249.5;
    sample.tas = 150;
    sample.groundSpeed = 145;
    sample.landingLights = true;
    return sample;
}

// A short hop with three track points, one of them over 0/0 at 100 ft.
CFlightData Hop()
{
    CFlightData flight;
    aviation::structs::CAircraftDetail detail;
    detail.name = L"Boeing 737-800 Aerovane Air";
    detail.Registration = L"D-AVNE";
    flight.SetAircraftDetail(detail);
    flight.SetOffBlockTime(At(12, 58, 10));
    flight.SetTakeOffTime(At(13, 10, 0));
    flight.SetLandingTime(At(13, 52, 30));
    flight.SetOnBlockTime(At(14, 1, 45));
    flight.SetTouchdownRate(-180);
    flight.AddPosition(Sample(50.0494, 8.5726, 364, 0));
    flight.AddPosition(Sample(0.0, 0.0, 100, 100));
    flight.AddPosition(Sample(48.352, 11.785, 1487, 0));
    return flight;
}

QByteArray Written(const CFlightData& flight, const QString& callsign)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(CFlightFile::Write(buffer, callsign, flight, QStringLiteral("EDDF"), QStringLiteral("EDDM")));
    return buffer.data();
}

} // namespace

TEST(FlightFileName, UserIdNumberAboveZeroAndTheCallsignMadeSafe)
{
    const auto name = [](const char* serviceUserId, const char* callsign) {
        return CFlightFile::FileName(serviceUserId, callsign, At(14, 30, 5)).remove("_20261207143005.xml");
    };
    for (const char* notANumberAboveZero : {"0", "", "x", "-7"})
        EXPECT_EQ(name(notANumberAboveZero, "N123A"), "flight_0_N123A") << notANumberAboveZero;
    EXPECT_EQ(name("42", "N123A"), "flight_42_N123A");
    EXPECT_EQ(name("0", "N123/A"), "flight_0_N123_A");
    EXPECT_EQ(name("0", "../x"), "flight_0_.._x");
}

TEST(FlightFileWriting, ElementsInOrderWithUtcTimesAndEveryTrackPoint)
{
    CFlightData flight = Hop();
    flight.SetLandingTime(QDateTime());
    const QByteArray xml = Written(flight, QStringLiteral("N123A & <crew>"));
    const QByteArray position = "        <Position>\n"
                                "            <Lat>%1</Lat>\n"
                                "            <Lon>%2</Lon>\n"
                                "            <Alt>%3</Alt>\n"
                                "            <Height>%4</Height>\n"
                                "            <Hdg>249.5</Hdg>\n"
                                "            <TAS>150</TAS>\n"
                                "            <GS>145</GS>\n"
                                "            <DoorOpen>0</DoorOpen>\n"
                                "            <LandingLights>1</LandingLights>\n"
                                "        </Position>\n";
    const QString expected = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                            "<Flight>\n"
                                            "    <FlightData>\n"
                                            "        <Callsign>N123A &amp; &lt;crew&gt;</Callsign>\n"
                                            "        <Aircraft>Boeing 737-800 Aerovane Air</Aircraft>\n"
                                            "        <Registration>D-AVNE</Registration>\n"
                                            "        <BlockOff>2026-12-07 12:58:10</BlockOff>\n"
                                            "        <BlockON>2026-12-07 14:01:45</BlockON>\n"
                                            "        <TakeOffTime>2026-12-07 13:10:00</TakeOffTime>\n"
                                            "        <LandingTime></LandingTime>\n"
                                            "        <Touchdownrate>-180</Touchdownrate>\n"
                                            "        <Dep>EDDF</Dep>\n"
                                            "        <Dest>EDDM</Dest>\n"
                                            "    </FlightData>\n"
                                            "    <Positions>\n")
        + QString::fromLatin1(position).arg("50.0494", "8.5726", "364", "0")
        + QString::fromLatin1(position).arg("0", "0", "100", "100")
        + QString::fromLatin1(position).arg("48.352", "11.785", "1487", "0")
        + QStringLiteral("    </Positions>\n</Flight>\n");
    EXPECT_EQ(QString::fromUtf8(xml), expected);
}

TEST(LocalTimeFlightFileReading, GivesBackTimesAirportsAndPositionsButTheEmptyOne)
{
    QTemporaryDir folder;
    FlightListEntry entry;
    entry.path = folder.filePath(QStringLiteral("flight.xml"));
    QFile file(entry.path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(Written(Hop(), QStringLiteral("N123A"))) > 0);
    file.close();
    ASSERT_TRUE(CFlightFile::Read(entry));
    EXPECT_EQ(QStringList({entry.callsign, entry.aircraft, entry.registration, entry.flight.GetDeparture(),
                           entry.flight.GetDestination()}),
              QStringList({"N123A", "Boeing 737-800 Aerovane Air", "D-AVNE", "EDDF", "EDDM"}));
    // The entry carries the aircraft; the record does not.
    EXPECT_TRUE(entry.flight.GetAircraft().isEmpty());
    // The UTC clock values come back as local ones.
    const CFlightData written = Hop();
    for (auto time : {&CFlightData::GetOffBlockTime, &CFlightData::GetOnBlockTime, &CFlightData::GetTakeOffTime,
                      &CFlightData::GetLandingTime})
        EXPECT_EQ((entry.flight.*time)(), QDateTime((written.*time)().date(), (written.*time)().time(), Qt::LocalTime));
    const std::vector<CAircraft> track = entry.flight.GetTrack();
    ASSERT_EQ(track.size(), 2u);
    EXPECT_DOUBLE_EQ(track[0].GetLatitude(), 50.0494);
    EXPECT_DOUBLE_EQ(track[1].GetLongitude(), 11.785);
}

TEST(FlightFileReading, BrokenOrMissingFilesFailKeepingWhatWasRead)
{
    const QByteArray whole = Written(Hop(), QStringLiteral("N123A"));
    QTemporaryDir folder;
    const struct
    {
        const char* name;
        QByteArray content; // null: no file
        const char* callsign;
        std::size_t positions;
    } cases[] = {{"truncated in the positions", whole.left(whole.indexOf("</Position>") + 40), "N123A", 1},
                 {"an HTML error page", "<html><body><h1>404 Not Found</h1></body>", "", 0},
                 {"not there", {}, "", 0}};
    for (const auto& c : cases) {
        FlightListEntry entry;
        entry.path = folder.filePath(QString::fromLatin1(c.name) + ".xml");
        QFile file(entry.path);
        if (!c.content.isNull()) {
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(c.content) > 0 && file.flush());
        }
        EXPECT_FALSE(CFlightFile::Read(entry)) << c.name;
        EXPECT_EQ(entry.callsign, c.callsign) << c.name;
        EXPECT_EQ(entry.flight.GetTrack().size(), c.positions) << c.name;
    }
}
