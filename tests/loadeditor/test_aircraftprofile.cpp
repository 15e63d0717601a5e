#include "loadeditor/aircraftprofile.h"
#include "tests/app/scopedappfolders.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <gtest/gtest.h>

using aviation::structs::CAircraftDetail;
using aviation::structs::CAircraftPayloadStation;

namespace {

class AircraftProfileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetCurrentAircraft(CAircraftDetail());
        QDir().mkpath(AircraftConfigFolder());
    }
    void TearDown() override { SetCurrentAircraft(CAircraftDetail()); }

    static void Write(const QString& path, const QByteArray& text)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    ScopedAppFolders folders;
};

CAircraftDetail Boeing737()
{
    CAircraftDetail a;
    a.name = L"Boeing 737-800 Aerovane Air";
    a.type = L"Boeing 737-800";
    a.code = L"B738";
    a.Registration = L"D-AVNE";
    a.airline = L"Aerovane Air";
    a.PaxAsWeight = false;
    a.PaxAsPassenger = true;
    a.EmptyWeight = 91300.5f;
    a.maxTakeOffWeight = 174200.0f;
    a.maxLandingWeight = 146300.0f;
    a.maxRampWeight = 174700.0f;
    a.FuelFlow = 5300.25f;
    a.ExtraFuel = 1200.0f;
    a.TaxiFuel = 440.0f;
    a.HoldingFuel = 2600.0f;
    int* const numbers[] = {&a.CruiseAlt, &a.cruiseSpeed, &a.maxAlt, &a.ClimbSpeed5000, &a.ClimbRate5000,
                            &a.ClimbSpeed10000, &a.ClimbRate10000, &a.ClimbSpeed20000, &a.ClimbRate20000,
                            &a.ClimbSpeed30000, &a.ClimbRate30000, &a.DescentSpeed, &a.DescentRate};
    const int values[] = {35000, 450, 41000, 250, 3000, 290, 2500, 290, 2000, 300, 1500, 280, 2200};
    for (int i = 0; i < 13; ++i)
        *numbers[i] = values[i];
    a.payload.AddStation(CAircraftPayloadStation(L"Pilot", 170.0f, 300.0f, 1));
    a.payload.AddStation(CAircraftPayloadStation(L"Forward Cabin", 6800.0f, 12000.5f, 2));
    a.payload.AddStation(CAircraftPayloadStation(L"Aft Cargo", 2800.0f, 9000.0f, 3));
    return a;
}

} // namespace

TEST_F(AircraftProfileTest, SavedProfileComesBackWithEveryCarriedFieldAndEmptyStations)
{
    const CAircraftDetail saved = Boeing737();
    SetCurrentAircraft(saved);
    const QString path = AircraftProfilePath(QString::fromStdWString(saved.name));
    ASSERT_TRUE(SaveAircraftProfile(path));
    EXPECT_EQ(path, folders.ProgramFile("AircraftConfigs/Boeing_737-800_Aerovane_Air.cfg"));

    SetCurrentAircraft(CAircraftDetail());
    ASSERT_TRUE(LoadAircraftProfile(path));
    const CAircraftDetail loaded = GetCurrentAircraft();
    EXPECT_EQ(loaded.name, saved.name);
    EXPECT_EQ(loaded.type, saved.type);
    EXPECT_EQ(loaded.code, saved.code);
    EXPECT_EQ(loaded.Registration, saved.Registration);
    EXPECT_EQ(loaded.airline, saved.airline);
    EXPECT_EQ(loaded.PaxAsWeight, false);
    EXPECT_EQ(loaded.PaxAsPassenger, true);
    const float CAircraftDetail::*floats[] = {&CAircraftDetail::EmptyWeight, &CAircraftDetail::maxTakeOffWeight,
                                              &CAircraftDetail::maxLandingWeight, &CAircraftDetail::maxRampWeight,
                                              &CAircraftDetail::FuelFlow, &CAircraftDetail::ExtraFuel,
                                              &CAircraftDetail::TaxiFuel, &CAircraftDetail::HoldingFuel};
    for (const auto field : floats)
        EXPECT_EQ(loaded.*field, saved.*field);
    const int CAircraftDetail::*ints[] = {
        &CAircraftDetail::CruiseAlt, &CAircraftDetail::cruiseSpeed, &CAircraftDetail::maxAlt,
        &CAircraftDetail::ClimbSpeed5000, &CAircraftDetail::ClimbRate5000, &CAircraftDetail::ClimbSpeed10000,
        &CAircraftDetail::ClimbRate10000, &CAircraftDetail::ClimbSpeed20000, &CAircraftDetail::ClimbRate20000,
        &CAircraftDetail::ClimbSpeed30000, &CAircraftDetail::ClimbRate30000, &CAircraftDetail::DescentSpeed,
        &CAircraftDetail::DescentRate};
    for (const auto field : ints)
        EXPECT_EQ(loaded.*field, saved.*field);
    ASSERT_EQ(loaded.payload.stations.size(), 3u);
    EXPECT_EQ(loaded.payload.count, 3);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(loaded.payload.stations[i].name, saved.payload.stations[i].name);
        EXPECT_EQ(loaded.payload.stations[i].maxWeight, saved.payload.stations[i].maxWeight);
        EXPECT_EQ(loaded.payload.stations[i].type, saved.payload.stations[i].type);
        EXPECT_EQ(loaded.payload.stations[i].weight, 0.0f);
    }
}

TEST_F(AircraftProfileTest, SavingTwoStationsOverFiveLeavesTwoEntries)
{
    const QString path = AircraftProfilePath(QStringLiteral("Airbus A320"));
    CAircraftDetail aircraft = Boeing737();
    aircraft.payload.AddStation(CAircraftPayloadStation(L"Forward Cargo", 0.0f, 7000.0f, 3));
    aircraft.payload.AddStation(CAircraftPayloadStation(L"Bulk", 0.0f, 1500.0f, 3));
    SetCurrentAircraft(aircraft);
    ASSERT_TRUE(SaveAircraftProfile(path));

    aircraft.payload = aviation::structs::CAircraftPayload();
    aircraft.payload.AddStation(CAircraftPayloadStation(L"Captain", 0.0f, 250.0f, 1));
    aircraft.payload.AddStation(CAircraftPayloadStation(L"Cabin", 0.0f, 18000.0f, 2));
    SetCurrentAircraft(aircraft);
    ASSERT_TRUE(SaveAircraftProfile(path));

    QSettings file(path, QSettings::IniFormat);
    file.beginGroup(QStringLiteral("Payload"));
    EXPECT_EQ(file.value(QStringLiteral("size")).toInt(), 2);
    EXPECT_EQ(file.childGroups(), QStringList({QStringLiteral("1"), QStringLiteral("2")}));
    EXPECT_EQ(file.value(QStringLiteral("2/Name")).toString(), QStringLiteral("Cabin"));
}

TEST_F(AircraftProfileTest, HandWrittenProfileLoadsAlikeAndStaysUntouched)
{
    const QString path = folders.ProgramFile(QStringLiteral("AircraftConfigs/Dash_8_Q400.cfg"));
    const QByteArray text = "UnitWeight=lbs\nUnitVolume=gal\nname=Dash 8 Q400\ntype=Bombardier\ncode=DH8D\n"
                            "airline=Aerovane Regional\nRegistration=D-ADHQ\n\n"
                            "[Weights]\nEmptyWeight=37886.5\nmaxTakeOffWeight=65200\n\n"
                            "[Payload]\n1\\Name=Cabin\n1\\maxWeight=18000.5\n1\\Type=2\n"
                            "2\\Name=Cargo\n2\\maxWeight=2900\n2\\Type=3\nsize=2\n\n"
                            "[Fuel]\nFuelFlow=1850\nTaxiFuel=120\n\n[Speeds]\nCruiseAlt=25000\ncruiseSpeed=360\n";
    Write(path, text);
    const QDateTime old = QDateTime::currentDateTimeUtc().addDays(-3);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(old, QFileDevice::FileModificationTime));
    }

    ASSERT_TRUE(LoadAircraftProfile(path));
    const CAircraftDetail loaded = GetCurrentAircraft();
    EXPECT_EQ(loaded.name, L"Dash 8 Q400");
    EXPECT_EQ(loaded.type, L"Bombardier");
    EXPECT_EQ(loaded.code, L"DH8D");
    EXPECT_EQ(loaded.airline, L"Aerovane Regional");
    EXPECT_EQ(loaded.Registration, L"D-ADHQ");
    // Without the keys, passenger stations load as a weight.
    EXPECT_TRUE(loaded.PaxAsWeight);
    EXPECT_FALSE(loaded.PaxAsPassenger);
    EXPECT_EQ(loaded.EmptyWeight, 37886.5f);
    EXPECT_EQ(loaded.maxLandingWeight, 0.0f);
    EXPECT_EQ(loaded.FuelFlow, 1850.0f);
    EXPECT_EQ(loaded.cruiseSpeed, 360);
    ASSERT_EQ(loaded.payload.stations.size(), 2u);
    EXPECT_EQ(loaded.payload.stations[0].maxWeight, 18000.5f);
    EXPECT_EQ(loaded.payload.stations[1].type, 3);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), text);
    EXPECT_EQ(QFileInfo(path).lastModified().toUTC(), old.toUTC());
    EXPECT_EQ(QDir(AircraftConfigFolder()).entryList(QDir::Files), QStringList{QStringLiteral("Dash_8_Q400.cfg")});
}

TEST_F(AircraftProfileTest, HostileNumbersLoadAtOnceAsNone)
{
    struct Case
    {
        const char* text;
        std::size_t stations;
    };
    const Case cases[] = {
        {"[Payload]\nsize=2147483647\n", static_cast<std::size_t>(kMaxProfileStations)},
        {"[Payload]\nsize=-4\n", 0},
        {"[Payload]\nsize=0\n1\\Name=Cabin\n", 0},
        {"[Payload]\n1\\Name=Cabin\n", 0},
        {"[Payload]\n1\\Name=Cabin\n1\\maxWeight=nan\nsize=1\n", 1},
    };
    const QString path = folders.ProgramFile(QStringLiteral("AircraftConfigs/Hostile.cfg"));
    for (const Case& c : cases) {
        Write(path, QByteArray(c.text) + "[Weights]\nEmptyWeight=nan\nmaxRampWeight=1e39\n"
                                        "[Fuel]\nFuelFlow=inf\nTaxiFuel=-inf\n[Speeds]\nmaxAlt=inf\n");
        ASSERT_TRUE(LoadAircraftProfile(path)) << c.text;
        const CAircraftDetail loaded = GetCurrentAircraft();
        EXPECT_EQ(loaded.payload.stations.size(), c.stations) << c.text;
        for (const CAircraftPayloadStation& station : loaded.payload.stations)
            EXPECT_EQ(station.maxWeight, 0.0f) << c.text;
        EXPECT_EQ(loaded.EmptyWeight, 0.0f);
        EXPECT_EQ(loaded.maxRampWeight, 0.0f);
        EXPECT_EQ(loaded.FuelFlow, 0.0f);
        EXPECT_EQ(loaded.TaxiFuel, 0.0f);
        EXPECT_EQ(loaded.maxAlt, 0);
    }
}

TEST_F(AircraftProfileTest, ProfileFileStaysInsideItsFolderAndWriteFailuresAreReported)
{
    EXPECT_EQ(AircraftProfilePath(QStringLiteral("A/B C")), folders.ProgramFile("AircraftConfigs/A_B_C.cfg"));
    EXPECT_EQ(AircraftProfilePath(QStringLiteral("..\\..\\x")), folders.ProgramFile("AircraftConfigs/.._.._x.cfg"));
    EXPECT_EQ(AircraftProfilePath(QStringLiteral("..")), folders.ProgramFile("AircraftConfigs/__.cfg"));

    SetCurrentAircraft(Boeing737());
    ASSERT_TRUE(SaveAircraftProfile(AircraftProfilePath(QStringLiteral("A/B C"))));
    EXPECT_EQ(QDir(AircraftConfigFolder()).entryList(QDir::Files), QStringList{QStringLiteral("A_B_C.cfg")});

    // A missing file changes nothing.
    EXPECT_FALSE(LoadAircraftProfile(AircraftProfilePath(QStringLiteral("Cessna 172"))));
    EXPECT_EQ(GetCurrentAircraft().name, Boeing737().name);

    // A folder that cannot hold files: a plain file stands where it should be.
    ASSERT_TRUE(QDir(AircraftConfigFolder()).removeRecursively());
    Write(AircraftConfigFolder(), "not a folder");
    EXPECT_FALSE(SaveAircraftProfile(AircraftProfilePath(QStringLiteral("Boeing 737-800"))));
}
