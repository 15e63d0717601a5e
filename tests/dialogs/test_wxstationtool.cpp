#include "dialogs/wxstationfiles.h"
#include "dialogs/wxstationtool.h"

#include "platform/clock.h"
#include "platform/debugoutput.h"
#include "platform/programfolder.h"
#include "tests/generation/recordingprompter.h"
#include "weather/weatherstations.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTextEdit>
#include <gtest/gtest.h>

using aviation::weather::CStation;
using aviation::weather::CWeatherStations;
using namespace wxstationfiles;

namespace {

// Lines of the embedded airport list; "00C " keeps the blank that pads its code.
const wchar_t kAirportLines[]
    = L"# icao;name;country;elev;lat;lon;fs9_station;fsx_station;p3d_station;xplane_station;active\n"
      L"EDDF;Frankfurt Main;Germany;364;50.0264;8.54313;1;0;0;1;1\n"
      L"00C ;Animas, Durango, CO;United States;6683;37.2032;-107.869;0;0;0;0;1\n"
      L"LEMD;Madrid Barajas;Spain;1998;40.4719;-3.56264;0;0;0;0;1\n"
      L"EGLL;London Heathrow;United Kingdom;83;51.4775;-0.461389;1;1;0;0;1\n";

std::vector<CStation> Airports(const std::wstring& text = kAirportLines)
{
    CWeatherStations stations;
    stations.InitAirports(text);
    return stations.GetAirportList();
}

CStation Airport(const std::wstring& line)
{
    CStation station;
    CWeatherStations::ParseAirportLine(line, station);
    return station;
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A simulator folder whose weather files hold EDDF and "00C", as the simulator wrote them, and the program's folder.
class WxStationToolTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_program.isValid() && m_simulator.isValid());
        platform::SetProgramFolderForTesting(m_program.path());
        ASSERT_TRUE(QDir(m_simulator.path()).mkdir(QStringLiteral("Weather")));
        WriteFile(StationPath(), EncodeCode("EDDF") + EncodeCode("00C"));
        WriteFile(MappingPath(),
                  EncodeMappingEntry({"EDDF", 50.0264f, 8.54313f, 111.0f, "Frankfurt Main, Germany"})
                      + EncodeMappingEntry({"00C", 37.2032f, 252.131f, 2037.0f, "Animas, Durango, CO, United States"}));
    }
    void TearDown() override { platform::SetProgramFolderForTesting(QString()); }

    QString StationPath() const { return m_simulator.filePath(QStringLiteral("Weather/wxstationlist.bin")); }
    QString MappingPath() const { return m_simulator.filePath(QStringLiteral("Weather/wxmapping.bin")); }
    QString Backup(const QString& name) const { return m_program.filePath(QStringLiteral("backups/") + name); }
    QString Log() const { return m_log.toPlainText(); }
    QStringList AirportListLines() const
    {
        return QString::fromUtf8(ReadFile(m_program.filePath(QStringLiteral("airportlist.txt"))))
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    void Create(const std::vector<CStation>& airports)
    {
        if (m_tool.Backup(m_simulator.path()))
            m_tool.AddWxStationsToFS(m_simulator.path(), airports);
    }

    QTemporaryDir m_program;
    QTemporaryDir m_simulator;
    platform::ScopedClock m_clock{1796644800}; // 2026-12-07 12:00 UTC
    QLabel m_status;
    QProgressBar m_progress;
    QTextEdit m_log;
    WxStationTool m_tool{{&m_status, &m_progress, &m_log}};
};

} // namespace

TEST(WxStationFiles, CodesAndRecordsKeepTheirBytes)
{
    // A three-letter code fills its item with a zero byte and reads back without it.
    EXPECT_EQ(EncodeCode("00C"), QByteArray("00C\0", 4));
    EXPECT_EQ(EncodeCode("EDDFX"), QByteArray("EDDF"));
    EXPECT_EQ(ReadStationCodes(EncodeCode("00C") + EncodeCode("EDDF")), QStringList({"00C", "EDDF"}));
    // A list of 4n + 2 bytes ends in a short code.
    EXPECT_EQ(ReadStationCodes(QByteArray("EDDFKJ")), QStringList({"EDDF", "KJ"}));

    const CStation madrid = Airport(L"LEMD;Madrid Barajas;Spain;1998;40.4719;-0.5;0;0;0;0;1");
    const WxMappingEntry entry = MappingEntryFor(madrid);
    EXPECT_EQ(entry.icao, "LEMD");
    EXPECT_FLOAT_EQ(entry.longitude, 359.5f);
    EXPECT_DOUBLE_EQ(ShownLongitude(entry.longitude), -0.5);
    EXPECT_DOUBLE_EQ(ShownLongitude(StoredLongitude(180.0)), 180.0);
    EXPECT_EQ(entry.name, "Madrid Barajas, Spain");
    EXPECT_EQ(SimulatorCode(Airport(L"00C ;Animas, Durango, CO;United States;6683;37.2032;-107.869;0;0;0;0;1")), "00C");

    for (const auto& [feet, metres] : {std::pair(1000, 305), {0, 0}, {-10, -3}, {6683, 2037}})
        EXPECT_EQ(FeetToMappingMetres(feet), metres) << feet;

    const QByteArray record = EncodeMappingEntry(entry);
    ASSERT_EQ(record.size(), 17 + entry.name.size());
    const std::vector<WxMappingEntry> read = ReadMappingEntries(record + record.left(20));
    ASSERT_EQ(read.size(), 1u) << "the cut second record is dropped";
    EXPECT_EQ(read[0].icao, "LEMD");
    EXPECT_FLOAT_EQ(read[0].latitude, 40.4719f);
    EXPECT_FLOAT_EQ(read[0].altitude, 609.0f);
    EXPECT_EQ(read[0].name, entry.name);

    const QByteArray longName(300, 'n');
    const QByteArray longRecord = EncodeMappingEntry({"EDDF", 0, 0, 0, longName});
    EXPECT_EQ(longRecord.size(), 17 + 255);
    EXPECT_EQ(static_cast<unsigned char>(longRecord[16]), 255);
}

TEST(WxStationFiles, AirportListKeepsSixDigitsAndEachLineOnce)
{
    std::vector<CStation> airports = Airports();
    airports.push_back(airports[1]);
    const QList<QByteArray> lines = AirportListText(airports).split('\n');
    ASSERT_EQ(lines.size(), 6) << "header, four airports, the final line end";
    EXPECT_EQ(lines[0], "# icao;name;country;elev;lat;lon;fs9_station;fsx_station;p3d_station;xplane_station;active");
    EXPECT_EQ(lines[2], "00C ;Animas, Durango, CO;United States;6683;37.2032;-107.869;0;0;0;0;1");
    EXPECT_EQ(lines[4], "EGLL;London Heathrow;United Kingdom;83;51.4775;-0.461389;1;1;0;0;1");
}

TEST_F(WxStationToolTest, ReadsBothFilesAndFindsCodesInAnyCase)
{
    ASSERT_TRUE(m_tool.Read(m_simulator.path()));
    EXPECT_EQ(m_tool.StationIds(), QStringList({"EDDF", "00C"}));
    ASSERT_EQ(m_tool.MappingEntries().size(), 2u);
    EXPECT_EQ(m_status.text(), "done ");
    m_tool.Search(QStringLiteral("00c"));
    m_tool.Search(QStringLiteral("KJFK"));
    EXPECT_EQ(Log(),
              "File: wxstationlist.bin, ids: 2\nFile: wxmapping.bin, ids: 2\nICAO: 00C founded in wxmapping\n"
              "ICAO: 00C, Name: Animas, Durango, CO, United States, Lat: 37.2032, Lon: -107.869, Alt: 2037\n"
              "ICAO: KJFK not found");

    QFile::remove(MappingPath());
    EXPECT_FALSE(m_tool.Read(m_simulator.path()));
    EXPECT_EQ(m_status.text(), "File icao wxmapping.bin is not readable");
    EXPECT_FALSE(m_tool.Read(m_program.filePath(QStringLiteral("nowhere"))));
    EXPECT_EQ(m_status.text(), "FS9/FSX Path is not readable");
}

TEST_F(WxStationToolTest, CreateBacksUpAppendsWhatIsMissingAndFlagsTheSimulator)
{
    WriteFile(m_simulator.filePath(QStringLiteral("FSX.EXE")), "MZ");
    std::vector<CStation> airports = Airports();
    CStation generated = Airport(L"A001;v 50.1 8.6;;0;50.1;8.6;0;0;0;0;1");
    generated.SetGenerated(true);
    airports.push_back(generated);
    const QByteArray stationsBefore = ReadFile(StationPath());
    const QByteArray mappingBefore = ReadFile(MappingPath());
    ASSERT_TRUE(m_tool.Read(m_simulator.path()));

    Create(airports);
    EXPECT_EQ(ReadFile(Backup("wxmapping.bin_20261207_1200")), mappingBefore);
    EXPECT_EQ(ReadFile(Backup("wxstationlist.bin_20261207_1200")), stationsBefore);
    // Only Madrid and Heathrow are new: "00C " is the simulator's "00C", A001 a made-up station.
    EXPECT_EQ(ReadFile(MappingPath()),
              mappingBefore + EncodeMappingEntry(MappingEntryFor(airports[2]))
                  + EncodeMappingEntry(MappingEntryFor(airports[3])));
    EXPECT_EQ(ReadFile(StationPath()), stationsBefore + "LEMDEGLL");
    const QStringList lines = AirportListLines();
    ASSERT_EQ(lines.size(), 5);
    for (const QString& line : lines.mid(1))
        EXPECT_EQ(line.split(QLatin1Char(';')).at(7), "1") << line.toStdString();
    EXPECT_EQ(lines[1], "EDDF;Frankfurt Main;Germany;364;50.0264;8.54313;1;1;0;1;1");

    // Within the same minute the backups exist already: nothing is written.
    const QByteArray mappingAfter = ReadFile(MappingPath());
    Create(airports);
    EXPECT_TRUE(Log().endsWith("can not backup file wxmapping.bin"));
    EXPECT_EQ(ReadFile(MappingPath()), mappingAfter);

    // A minute later, without a new read, the tool knows what it wrote and adds nothing twice.
    m_clock.AdvanceMs(60000);
    Create(airports);
    EXPECT_TRUE(QFile::exists(Backup("wxmapping.bin_20261207_1201")));
    EXPECT_EQ(ReadFile(MappingPath()), mappingAfter);
    EXPECT_EQ(ReadFile(StationPath()), stationsBefore + "LEMDEGLL");
}

TEST_F(WxStationToolTest, AFailedWriteLeavesBothFilesAsTheyWere)
{
    ASSERT_TRUE(m_tool.Read(m_simulator.path()));
    const QByteArray stationsBefore = ReadFile(StationPath());
    const QByteArray mappingBefore = ReadFile(MappingPath());
    for (const QString failing : {"wxmapping.bin", "wxstationlist.bin"}) {
        m_tool.SetCommitHook([failing](const QString& name) { return name != failing; });
        m_tool.AddWxStationsToFS(m_simulator.path(), Airports());
        EXPECT_EQ(ReadFile(MappingPath()), mappingBefore) << failing.toStdString();
        EXPECT_EQ(ReadFile(StationPath()), stationsBefore) << failing.toStdString();
        EXPECT_EQ(m_status.text(), QStringLiteral("File %1 is not readable/writable").arg(failing));
        EXPECT_FALSE(QFile::exists(m_program.filePath(QStringLiteral("airportlist.txt"))));
    }
}

// Without a simulator's executable the files still grow; the airport list read back at the next start gives the
// same airports, and the airports that every start appends from "airportaddlist.txt" are not written twice. A
// hand-made line without the blank that pads a three-character code gives that code, without its ';'.
TEST_F(WxStationToolTest, AirportListReadsBackAndDoesNotPileUpAddedAirports)
{
    const std::wstring added = L"EDXW;Westerland Sylt;Germany;51;54.9132;8.34047;0;0;0;0;1\n"
                               L"07C;Dekalb;United States;880;41.9337;-88.7059;0;0;0;0;1\n";
    std::vector<CStation> airports = Airports(std::wstring(kAirportLines) + added);
    ASSERT_TRUE(m_tool.Read(m_simulator.path()));
    platform::ScopedDebugCapture debug;
    m_tool.AddWxStationsToFS(m_simulator.path(), airports);
    EXPECT_TRUE(debug.Contains("No FS"));
    const QByteArray stations = EncodeCode("EDDF") + EncodeCode("00C") + "LEMDEGLLEDXW" + EncodeCode("07C");
    EXPECT_EQ(ReadFile(StationPath()), stations);
    const QStringList first = AirportListLines();
    ASSERT_EQ(first.size(), 7);
    EXPECT_EQ(first[2], "00C ;Animas, Durango, CO;United States;6683;37.2032;-107.869;0;0;0;0;1");
    EXPECT_EQ(first[6], "07C;Dekalb;United States;880;41.9337;-88.7059;0;0;0;0;1");

    for (int round = 0; round < 2; ++round) {
        const std::wstring listed = QString::fromUtf8(ReadFile(m_program.filePath("airportlist.txt"))).toStdWString();
        const std::vector<CStation> restarted = Airports(listed + added);
        m_tool.AddWxStationsToFS(m_simulator.path(), restarted);
        EXPECT_EQ(AirportListLines(), first) << round;
    }
    EXPECT_EQ(ReadFile(StationPath()), stations);
}

TEST_F(WxStationToolTest, RestorePutsTheBackupInPlaceOrKeepsTheCurrentFile)
{
    RecordingPrompter prompter;
    ScopedPrompter scoped(prompter);
    const QByteArray current = ReadFile(StationPath());
    const QByteArray mapping = ReadFile(MappingPath());
    ASSERT_TRUE(QDir().mkpath(m_program.filePath(QStringLiteral("backups"))));
    const QString backup = Backup(QStringLiteral("wxstationlist.bin_20261201_0930"));
    WriteFile(backup, "EDDF");

    prompter.chooserAnswers = QStringList{backup, Backup(QStringLiteral("wxstationlist.bin_20261130_0800"))};
    m_tool.Restore(m_simulator.path());
    EXPECT_EQ(prompter.choosers.at(0).caption, "Restore WXStations-Files");
    EXPECT_EQ(prompter.choosers.at(0).filter, "FS wxmapping Files (wxmapping.* wxstationlist.*)");
    EXPECT_EQ(ReadFile(StationPath()), "EDDF");
    EXPECT_EQ(ReadFile(StationPath() + QStringLiteral("_aerovane_20261207_1200")), current);
    EXPECT_FALSE(QFile::exists(backup));
    EXPECT_EQ(ReadFile(MappingPath()), mapping);

    // The second choice is gone: the copy fails and the current file goes back in place.
    m_clock.AdvanceMs(60000);
    m_tool.Restore(m_simulator.path());
    EXPECT_EQ(ReadFile(StationPath()), "EDDF");
    EXPECT_FALSE(QFile::exists(StationPath() + QStringLiteral("_aerovane_20261207_1201")));
    EXPECT_TRUE(Log().endsWith("the current file stays"));
}
