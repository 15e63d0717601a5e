#include "tests/loadeditor/loadeditortest.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

using aviation::structs::CAircraftDetail;

namespace {

// Every number a profile carries.
float CAircraftDetail::*const kFloats[]
    = {&CAircraftDetail::EmptyWeight,   &CAircraftDetail::maxTakeOffWeight, &CAircraftDetail::maxLandingWeight,
       &CAircraftDetail::maxRampWeight, &CAircraftDetail::FuelFlow,         &CAircraftDetail::ExtraFuel,
       &CAircraftDetail::TaxiFuel,      &CAircraftDetail::HoldingFuel};
int CAircraftDetail::*const kInts[]
    = {&CAircraftDetail::CruiseAlt,       &CAircraftDetail::cruiseSpeed,     &CAircraftDetail::maxAlt,
       &CAircraftDetail::ClimbSpeed5000,  &CAircraftDetail::ClimbRate5000,   &CAircraftDetail::ClimbSpeed10000,
       &CAircraftDetail::ClimbRate10000,  &CAircraftDetail::ClimbSpeed20000, &CAircraftDetail::ClimbRate20000,
       &CAircraftDetail::ClimbSpeed30000, &CAircraftDetail::ClimbRate30000,  &CAircraftDetail::DescentSpeed,
       &CAircraftDetail::DescentRate};

void Write(const QString& path, const QByteArray& text)
{
    QDir().mkpath(AircraftConfigFolder());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

using AircraftProfile = LoadEditorTest;

TEST_F(AircraftProfile, SavedProfileComesBackWithEveryCarriedFieldAndEmptyStations)
{
    CAircraftDetail saved = Boeing737();
    saved.PaxAsWeight = false;
    saved.PaxAsPassenger = true;
    for (std::size_t i = 0; i < std::size(kInts); ++i)
        saved.*kInts[i] = 300 + static_cast<int>(i);
    for (std::size_t i = 0; i < std::size(kFloats); ++i)
        saved.*kFloats[i] = 100.25f + static_cast<float>(i);
    for (const wchar_t* name : {L"Forward Cargo", L"Bulk", L"Crew Rest"})
        saved.payload.AddStation({name, 0.0f, 1500.0f, 3});
    SaveProfile(saved);
    // Two stations saved over five leave two entries.
    saved.payload = Boeing737().payload;
    saved.payload.stations[0].weight = 6800.0f;
    SaveProfile(saved);
    const QString path = AircraftProfilePath(QStringLiteral("Boeing 737-800 Aerovane Air"));
    QSettings file(path, QSettings::IniFormat);
    EXPECT_EQ(file.value(QStringLiteral("Payload/size")).toInt(), 2);
    file.beginGroup(QStringLiteral("Payload"));
    EXPECT_EQ(file.childGroups(), QStringList({QStringLiteral("1"), QStringLiteral("2")}));

    const CAircraftDetail loaded = Saved(QStringLiteral("Boeing 737-800 Aerovane Air"));
    EXPECT_EQ(loaded.name + loaded.type + loaded.code + loaded.Registration + loaded.airline,
              saved.name + saved.type + saved.code + saved.Registration + saved.airline);
    EXPECT_FALSE(loaded.PaxAsWeight);
    EXPECT_TRUE(loaded.PaxAsPassenger);
    for (const auto field : kFloats)
        EXPECT_EQ(loaded.*field, saved.*field);
    for (const auto field : kInts)
        EXPECT_EQ(loaded.*field, saved.*field);
    ASSERT_EQ(loaded.payload.count, 2);
    EXPECT_EQ(loaded.payload.stations[1].name, L"Aft Cargo");
    EXPECT_EQ(loaded.payload.stations[1].maxWeight, 9000.0f);
    EXPECT_EQ(loaded.payload.stations[1].type, 3);
    EXPECT_EQ(loaded.payload.stations[0].weight, 0.0f);
}

TEST_F(AircraftProfile, HandWrittenProfileLoadsAlikeAndStaysUntouched)
{
    const QString path = AircraftProfilePath(QStringLiteral("Dash 8 Q400"));
    const QByteArray text = "UnitWeight=lbs\nname=Dash 8 Q400\ntype=Bombardier\ncode=DH8D\nairline=Aerovane Regional\n"
                            "[Weights]\nEmptyWeight=37886.5\n"
                            "[Payload]\n1\\Name=Cabin\n1\\maxWeight=18000.5\n1\\Type=2\nsize=1\n"
                            "[Fuel]\nFuelFlow=1850\n[Speeds]\ncruiseSpeed=360\n";
    Write(path, text);
    const QDateTime old = QDateTime::currentDateTimeUtc().addDays(-3);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.setFileTime(old, QFileDevice::FileModificationTime));
    }

    const CAircraftDetail loaded = Saved(QStringLiteral("Dash 8 Q400"));
    EXPECT_EQ(loaded.name + loaded.type + loaded.code + loaded.airline, L"Dash 8 Q400BombardierDH8DAerovane Regional");
    // Without the keys, passenger stations load as a weight.
    EXPECT_TRUE(loaded.PaxAsWeight);
    EXPECT_FALSE(loaded.PaxAsPassenger);
    EXPECT_EQ(loaded.EmptyWeight, 37886.5f);
    EXPECT_EQ(loaded.FuelFlow, 1850.0f);
    EXPECT_EQ(loaded.cruiseSpeed, 360);
    ASSERT_EQ(loaded.payload.count, 1);
    EXPECT_EQ(loaded.payload.stations[0].maxWeight, 18000.5f);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), text);
    EXPECT_EQ(QFileInfo(path).lastModified().toUTC(), old.toUTC());
    EXPECT_EQ(QDir(AircraftConfigFolder()).entryList(QDir::Files), QStringList{"Dash_8_Q400.cfg"});
}

TEST_F(AircraftProfile, EveryRangedKeyReadsBackAWideBodysFigure)
{
    // Each figure lies above every range narrower than its key's own (speeds 1,000, rates 10,000, fuel flow and
    // altitudes 100,000), so a key read against another key's range comes back as 0. Written back through the
    // writer, each key shows what the reader made of it.
    const std::pair<const char*, double> cases[] = {
        {"Weights/EmptyWeight", 370000},      {"Weights/maxTakeOffWeight", 775000},
        {"Weights/maxLandingWeight", 554000}, {"Weights/maxRampWeight", 777000},
        {"Payload/1/maxWeight", 148500},      {"Fuel/FuelFlow", 15400},
        {"Fuel/ExtraFuel", 120000},           {"Fuel/TaxiFuel", 100500},
        {"Fuel/HoldingFuel", 110000},         {"Speeds/CruiseAlt", 37000},
        {"Speeds/cruiseSpeed", 490},          {"Speeds/maxAlt", 43100},
        {"Speeds/ClimbSpeed5000", 250},       {"Speeds/ClimbRate5000", 3200},
        {"Speeds/ClimbSpeed10000", 290},      {"Speeds/ClimbRate10000", 2600},
        {"Speeds/ClimbSpeed20000", 310},      {"Speeds/ClimbRate20000", 2000},
        {"Speeds/ClimbSpeed30000", 310},      {"Speeds/ClimbRate30000", 1400},
        {"Speeds/DescentSpeed", 300},         {"Speeds/DescentRate", 2200},
    };
    {
        QSettings written(AircraftProfilePath(QStringLiteral("Boeing 777-300ER")), QSettings::IniFormat);
        written.setValue(QStringLiteral("Name"), QStringLiteral("Boeing 777-300ER"));
        written.setValue(QStringLiteral("Payload/size"), 1);
        written.setValue(QStringLiteral("Payload/1/Name"), QStringLiteral("Main Deck"));
        for (const auto& [key, value] : cases)
            written.setValue(QLatin1String(key), value);
    }
    Saved(QStringLiteral("Boeing 777-300ER"));
    const QString readBack = AircraftProfilePath(QStringLiteral("Read back"));
    ASSERT_TRUE(SaveAircraftProfile(readBack));
    const QSettings file(readBack, QSettings::IniFormat);
    for (const auto& [key, value] : cases)
        EXPECT_EQ(file.value(QLatin1String(key)).toDouble(), value) << key;
}

TEST_F(AircraftProfile, HostileNumbersLoadAtOnceAsNone)
{
    const std::pair<const char*, std::size_t> cases[] = {
        {"[Payload]\nsize=2147483647\n", static_cast<std::size_t>(kMaxProfileStations)},
        {"[Payload]\nsize=-4\n", 0},
        {"[Payload]\nsize=0\n1\\Name=Cabin\n", 0},
        {"[Payload]\n1\\Name=Cabin\n1\\maxWeight=nan\nsize=1\n", 1},
    };
    const QString path = AircraftProfilePath(QStringLiteral("Hostile"));
    for (const auto& [payload, stations] : cases) {
        Write(path,
              QByteArray(payload)
                  + "[Weights]\nEmptyWeight=nan\nmaxRampWeight=1e39\n"
                    "[Fuel]\nFuelFlow=inf\nTaxiFuel=-inf\n[Speeds]\nmaxAlt=inf\n");
        const CAircraftDetail loaded = Saved(QStringLiteral("Hostile"));
        EXPECT_EQ(loaded.payload.stations.size(), stations) << payload;
        if (stations == 1) {
            EXPECT_EQ(loaded.payload.stations[0].maxWeight, 0.0f);
        }
        for (const auto field : kFloats)
            EXPECT_EQ(loaded.*field, 0.0f) << payload;
        EXPECT_EQ(loaded.maxAlt, 0);
    }
}

TEST_F(AircraftProfile, ProfileFileStaysInsideItsFolderAndWriteFailuresAreReported)
{
    SetCurrentAircraft(Boeing737());
    ASSERT_TRUE(SaveAircraftProfile(AircraftProfilePath(QStringLiteral("A/B C"))));
    EXPECT_EQ(QDir(AircraftConfigFolder()).entryList(QDir::Files), QStringList{"A_B_C.cfg"});

    // A plain file stands where the folder should be.
    ASSERT_TRUE(QDir(AircraftConfigFolder()).removeRecursively());
    ASSERT_TRUE(QFile(AircraftConfigFolder()).open(QIODevice::WriteOnly));
    EXPECT_FALSE(SaveAircraftProfile(AircraftProfilePath(QStringLiteral("Boeing 737-800"))));
}

TEST_F(AircraftProfile, NumbersOutsideTheEditorsRangesReadAsNone)
{
    // The text stored for a weight, a fuel flow and a speed, and what each reads as.
    const std::tuple<const char*, float, float, int> cases[] = {
        {"abc", 0, 0, 0},
        {"-50", 0, 0, 0},
        {"1e9", 0, 0, 0},
        {"12,5", 0, 0, 0},
        {"", 0, 0, 0},
        {"1000", 1000, 1000, 1000},
        {"1001", 1001, 1001, 0},
        {"100001", 100001, 0, 0},
        {"2000000", 2000000, 0, 0},
        {"2000001", 0, 0, 0},
    };
    for (const auto& [text, weight, fuelFlow, speed] : cases) {
        // A file of its own per case: the settings class keeps what it read of a file of the same size and time.
        const QString name = QStringLiteral("Ranges %1").arg(text);
        Write(AircraftProfilePath(name),
              QStringLiteral("Name=Ranges\n[Weights]\nEmptyWeight=%1\n[Fuel]\nFuelFlow=%1\n[Speeds]\n"
                             "cruiseSpeed=%1\n[Payload]\n1\\Name=Cabin\n1\\maxWeight=%1\nsize=1\n")
                  .arg(QLatin1String(text))
                  .toLatin1());
        const CAircraftDetail loaded = Saved(name);
        EXPECT_EQ(loaded.EmptyWeight, weight) << text;
        EXPECT_EQ(loaded.payload.stations.at(0).maxWeight, weight) << text;
        EXPECT_EQ(loaded.FuelFlow, fuelFlow) << text;
        EXPECT_EQ(loaded.cruiseSpeed, speed) << text;
    }

    // Neither a name nor weights: no profile, and the current one stays.
    SetCurrentAircraft(Boeing737());
    const QString path = AircraftProfilePath(QStringLiteral("Stations only"));
    Write(path, "[Payload]\nsize=0\n");
    EXPECT_FALSE(LoadAircraftProfile(path));
    EXPECT_EQ(GetCurrentAircraft().name, Boeing737().name);
}
