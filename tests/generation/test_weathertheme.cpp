#include "generation/weatherthemefile.h"
#include "platform/clock.h"
#include "recordingprompter.h"
#include "weatherworkertest.h"

#include <cstring>
#include <limits>

namespace {

// A theme point with one entry in each table and a plain one after it.
CWeatherThemeFile SmallTheme()
{
    CWeatherThemeRecord point;
    point.windCount = point.visibilityCount = point.cloudCount = point.temperatureCount = 1;
    point.surface = {10, 5, 12, 270.5f, 0, 1, 0};
    point.winds[0] = {10, 5, 7, 270, 0, 1, 0};
    point.visibilities[0] = {9260, 0, 3000};
    point.clouds[0] = {8, 0, 900, 1500, 77, 4, 1, 0, 1, 0, 2, 0};
    point.temperatures[0] = {10, 15, 3, 9};
    point.qnh = 1013.25f;
    CWeatherThemeFile theme;
    theme.SetSize(1, 1);
    theme.AddRecord(point);
    theme.AddRecord(CWeatherThemeRecord());
    return theme;
}

std::uint16_t U16At(const std::string& bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[offset])
                                      | static_cast<unsigned char>(bytes[offset + 1]) << 8);
}

// Walks the records of a .WTB image by their counts (the grid block after the first) as long as each ends with
// the marker 3.0; each entry: offset of the record end marker.
std::vector<std::size_t> RecordEnds(const std::string& bytes)
{
    std::vector<std::size_t> ends;
    std::size_t offset = 6;
    while (offset + 64 <= bytes.size()) {
        const std::size_t size = 56 + U16At(bytes, offset) * 28 + U16At(bytes, offset + 4) * 12
            + U16At(bytes, offset + 8) * 44 + U16At(bytes, offset + 12) * 16 + 8;
        offset += size + (ends.empty() ? 18 : 0);
        float marker = 0.0f;
        if (offset + 4 <= bytes.size())
            std::memcpy(&marker, bytes.data() + offset, sizeof marker);
        if (marker != 3.0f)
            break;
        ends.push_back(offset);
        offset += 4;
    }
    return ends;
}

// Runs the event loop until the host was asked to load a theme; the calls of that kind.
QStringList WaitForThemeLoad(FakeWindowHost& host)
{
    WaitUntil([&] { return !host.CallsStartingWith("SetWeatherTheme").isEmpty(); });
    return host.CallsStartingWith("SetWeatherTheme");
}

} // namespace

TEST(WeatherThemeFile, SmallThemeMatchesTheHandCheckedPair)
{
    const std::string expected = QByteArray::fromHex("0900000001fd0100000001000000010000000100000000000000202020207f00"
                                                     "0000000020410000a04000004041004087430000000001000000000000000000"
                                                     "20410000a0400000e0400000874300000000010000000000000000b010460000"
                                                     "000000803b4508000000000061440080bb440000000004000000010000000000"
                                                     "0000010000000000000002000000000000000000204100007041000040400000"
                                                     "10410000000000507d440000404002fd01000000010000000100c10000004040"
                                                     "0000000000000000000000000000000000000000202020207f00000000000000"
                                                     "0000000000000000000000000000000000000000000000000000000000000000"
                                                     "00004040")
                                     .toStdString();
    const CWeatherThemeFile theme = SmallTheme();
    EXPECT_EQ(QByteArray::fromStdString(theme.BinaryContent()).toHex(), QByteArray::fromStdString(expected).toHex());

    QTemporaryDir dir;
    platform::ScopedClock clock(1796640516); // Mon Dec  7 10:48:36 2026 UTC
    const std::string path = QFile::encodeName(dir.filePath(QStringLiteral("aerovane"))).toStdString();
    ASSERT_TRUE(theme.Write(path));
    EXPECT_EQ(ReadFile(dir.filePath(QStringLiteral("aerovane.WTB"))), QByteArray::fromStdString(expected));
    // A file that opens but cannot take the bytes is a failed write.
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), dir.filePath(QStringLiteral("full.WTB"))));
    EXPECT_FALSE(theme.Write(QFile::encodeName(dir.filePath(QStringLiteral("full"))).toStdString()));
    EXPECT_EQ(ReadFile(dir.filePath(QStringLiteral("aerovane.wt"))),
              QByteArray("[Main]\r\nTitle = \"Aerovane\"\r\nDescription = \"This is the weather model of Aerovane Pro. "
                         "For further information https://aerovane.example.org/. Size: 1x1 Date: Mon Dec  7 10:48:36 "
                         "2026\r\n\"\r\nVersion = 9.00"));
    // A time with no calendar date: the description closes on its own line.
    const std::string text = theme.DescriptionText(std::numeric_limits<std::int64_t>::max());
    EXPECT_NE(text.find("Size: 1x1 Date: \"\nVersion = 9.00"), std::string::npos) << text;
}

TEST(WeatherThemeRecord, BlockBecomesRecordWithRelativeHeightsAndAtMostSixteenEntries)
{
    CNewWeather block;
    block.Elev = 448 * 65536 + 1000; // 448 m and a fraction
    block.nWindCtr = 24;
    block.nTempCtr = 24;
    for (int i = 0; i < 24; ++i) {
        block.WindLayer[i] = {static_cast<std::uint16_t>(500 + 300 * i), 12, 3, 65535, 2, 0, 32768, 0, 0};
        block.TempLayer[i] = {static_cast<std::uint16_t>(500 + 300 * i), static_cast<std::int16_t>(10 - i), 0, -3};
    }
    block.Vis = {1500, -20, 5000, 0};
    block.nUpperVisCtr = 40; // more than the block holds
    block.nCloudCtr = 1;
    block.CloudLayer[0] = {1200, 900, 50, 6, 8, 1, 0, -5, 2, 3, 1, 0};

    CWeatherThemeRecord record;
    record.SetFromBlock(block, 1009.0f);
    EXPECT_EQ(record.windCount, 16);
    EXPECT_EQ(record.temperatureCount, 16);
    EXPECT_EQ(record.visibilityCount, 15);
    EXPECT_FLOAT_EQ(record.surface.direction, 359.9945f);
    EXPECT_FLOAT_EQ(record.winds[0].direction, 359.0f);
    EXPECT_FLOAT_EQ(record.winds[15].upperAlt, 500 + 300 * 15 - 448);
    EXPECT_FLOAT_EQ(record.clouds[0].base, 900 - 448);
    CWeatherThemeFile theme;
    theme.AddRecord(record);
    const std::string bytes = theme.BinaryContent();
    EXPECT_EQ(RecordEnds(bytes), std::vector<std::size_t>{bytes.size() - 4});
}

using WeatherModelFileTest = WeatherWorkerTest;

TEST_F(WeatherModelFileTest, GridOfTwentyAroundTheAircraftWithTheNamesInTurn)
{
    QTemporaryDir simulator;
    const QString themes = simulator.filePath(QStringLiteral("Sim Ü/Weather/themes"));
    ASSERT_TRUE(QDir().mkpath(themes));
    CSettings::SetPathToFS(simulator.filePath(QStringLiteral("Sim Ü")));
    ResetWeatherThemeNames();

    aviation::structs::CAircraft aircraft;
    aircraft.SetLatitude(48.35);
    aircraft.SetLongitude(11.78);
    const CWeatherThemeFile grid = CWeatherThemeFile::AroundPosition(aircraft, 20);
    ASSERT_EQ(grid.GetRecordCount(), 402);
    // Moves count 60 NM to the degree along great circles: the westward leg to the south-west corner ends 2.15 km
    // further south, and each row's eastward legs leave the cursor 0.41 km south of its row, so at 48° N the rows
    // lie 15.59 km apart and the north-east corner 133.7 km north instead of 144.
    constexpr double kKmPerDegree = 60 * 1.852;
    const aviation::Position southWest = grid.GetRecord(1).position;
    const aviation::Position northEast = grid.GetRecord(400).position;
    EXPECT_NEAR((aircraft.GetLatitude() - southWest.GetLatitude()) * kKmPerDegree, 162.15, 0.01);
    EXPECT_NEAR((northEast.GetLatitude() - aircraft.GetLatitude()) * kKmPerDegree, 133.74, 0.01);
    EXPECT_NEAR((grid.GetRecord(21).position.GetLatitude() - southWest.GetLatitude()) * kKmPerDegree, 15.59, 0.01);
    EXPECT_LT(southWest.GetLongitude(), aircraft.GetLongitude());
    EXPECT_GT(northEast.GetLongitude(), aircraft.GetLongitude());

    Worker().LoadWeatherFromText(QString::fromLatin1(kFrankfurtMetars), QString(), QString());
    Worker().SetAircraft(aircraft);
    Worker().SetThemeLoadDelay(20);
    for (const char* name : {"aerovane", "aerovane1", "aerovane"}) {
        m_host.Clear();
        Worker().GenerateFSWeatherModelFile();
        const QByteArray wtb = ReadFile(themes + "/" + name + ".WTB");
        EXPECT_EQ(wtb.left(6).toHex(), QByteArray("0900000001fd")) << name;
        EXPECT_EQ(RecordEnds(wtb.toStdString()).size(), 402u);
        EXPECT_TRUE(ReadFile(themes + "/" + name + ".wt").contains("Size: 20x20 Date: "));
        // Job 8 only after the wait.
        EXPECT_TRUE(m_host.CallsStartingWith("SetWeatherTheme").isEmpty());
        EXPECT_EQ(WaitForThemeLoad(m_host),
                  QStringList{QStringLiteral("SetWeatherTheme(weather/themes/%1)").arg(name)});
    }
    // Clear WX between the write and the load: the simulator is not told to load the theme.
    m_host.Clear();
    Worker().GenerateFSWeatherModelFile();
    Worker().OnWeatherCleared();
    EXPECT_TRUE(WaitUntil([this] { return m_host.log.contains(CWeatherWorker::GenerationStoppedText()); }));
    EXPECT_TRUE(m_host.CallsStartingWith("SetWeatherTheme").isEmpty());
}

// A theme goes only into the simulator's own Weather/themes: an empty setting ("/Weather/themes" would be
// written) or another folder fails on the status bar with its cause, warns once until a write succeeds, and
// creates nothing.
TEST_F(WeatherModelFileTest, FailedWritesShowTheirCauseWarnOnceAndCreateNothing)
{
    QTemporaryDir simulator;
    ResetWeatherThemeNames();
    RecordingPrompter prompter;
    ScopedPrompter usePrompter(prompter);
    Worker().SetThemeLoadDelay(1);
    CSettings::SetModelFileSize(1);
    // Nothing is generated from an empty model.
    Worker().GenerateFSWeatherModelFile();
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_TRUE(
        m_host.log.contains(QStringLiteral("(WeatherManager) WeatherModel: no weather loaded, nothing generated")));

    Worker().LoadWeatherFromText(QString::fromLatin1(kFrankfurtMetars), QString(), QString());
    const QString wrongFolder = QStringLiteral("wrong simulator folder, it has no Weather/themes");
    const std::pair<QString, QString> folders[] = {
        {QString(), QStringLiteral("no simulator folder set")},
        {QStringLiteral("/"), wrongFolder},
        {simulator.path(), wrongFolder},
    };
    for (const auto& [folder, cause] : folders) {
        CSettings::SetPathToFS(folder);
        for (int run = 0; run < 2; ++run) {
            m_host.Clear();
            Worker().GenerateFSWeatherModelFile();
            const QString shown = "Write weather theme failed: " + cause + ", next try in 60 s";
            EXPECT_TRUE(m_host.statuses.contains(shown) && m_host.log.contains(shown)) << folder.toStdString();
        }
    }
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, QStringLiteral("Aerovane-WeatherMode"));
    EXPECT_EQ(prompter.asked[0].text, QStringLiteral("Can not write File to FS"));
    EXPECT_TRUE(QDir(simulator.path()).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/Weather")));

    // A good write ends the failure; the next one warns again. The names went on meanwhile.
    ASSERT_TRUE(QDir().mkpath(simulator.filePath(QStringLiteral("Weather/themes"))));
    Worker().GenerateFSWeatherModelFile();
    EXPECT_EQ(WaitForThemeLoad(m_host), QStringList{"SetWeatherTheme(weather/themes/aerovane)"});
    EXPECT_TRUE(Worker().ThemeWriteFailureText(0).isEmpty());
    CSettings::SetPathToFS(QString());
    Worker().GenerateFSWeatherModelFile();
    EXPECT_EQ(prompter.asked.size(), 2u);
}
