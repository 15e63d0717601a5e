#include "dialogs/historywxdlg.h"
#include "generation/weatherworker.h"
#include "generation/wxdownloader.h"
#include "mainwindowtest.h"
#include "platform/clock.h"
#include "simlink/connectworker.h"
#include "tests/generation/recordingprompter.h"
#include "tests/support/modaldialoganswer.h"
#include "tests/support/stallclock.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>

#include <memory>
#include <vector>

namespace {

using aviation::weather::CGribManager;
using aviation::weather::CMetarManager;
using aviation::weather::CSynopManager;

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void WriteFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// The window against a weather server whose archive holds the reports of 4 May 2016, 07:30 (METAR), 07:00
// (SYNOP) and 06:00 (upper air, made up by the server for a day it holds METARs of), and whose index lists
// 07:30 of that day and of the day before.
class HistoryWeatherTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        const QDir served(QStringLiteral(AEROVANE_WXSERVER_DATA));
        for (const QString& name : served.entryList(QDir::Files))
            QFile::copy(served.filePath(name), m_data.filePath(name));
        QDir(m_data.path()).mkdir("history");
        const QByteArray metars = ReadFile(served.filePath("history/metar_noaa_2022-10-22_03_00_00"));
        m_metarCount = metars.count('\n');
        WriteFile(m_data.filePath("history/metar_noaa_2016-05-04_07_30_00"), metars);
        WriteFile(m_data.filePath("historywx.xml"),
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<dates_available>\n"
                  "  <date>2016-05-03 07:30:00</date>\n"
                  "  <date>2016-05-04 07:30:00</date>\n</dates_available>\n");
        WriteFile(m_data.filePath("history/synop_2016-05-04_07_00_00"),
                  ReadFile(served.filePath("history/synop_2022-10-22_03_00_00")));
        ASSERT_TRUE(archive.Listen());
        ServerAddresses addresses = ServerAddresses::BuiltIn();
        addresses.serverUrlDE = archive.BaseUrl();
        addresses.serverUrlUS = archive.BaseUrl();
        m_addresses = std::make_unique<ScopedServerAddresses>(addresses);
    }

    void TearDown() override
    {
        m_addresses.reset();
        MainWindowTest::TearDown();
    }

    QString HistoryFolder() const { return ProgramFile("historywx"); }
    QStringList HistoryFiles() const { return QDir(HistoryFolder()).entryList(QDir::Files, QDir::Name); }
    QStringList HistoryRequests() const { return archive.Requests().filter("/history/"); }

    // Runs the command with the dialog answered: the date and time, the two boxes, and OK or cancel. OK is
    // pressed only where the dialog enables it.
    void RunHistory(Aerovane_Pro& window, const QDateTime& time, bool synop, bool grib, bool accept = true)
    {
        ModalDialogAnswer<CHistoryWxDlg> answer([&](CHistoryWxDlg& dialog) {
            EXPECT_FALSE(window.ui.actionDownload_History_WX->isEnabled());
            dialog.findChild<QDateEdit*>("dateEdit_weather")->setDate(time.date());
            dialog.findChild<QTimeEdit*>("timeEdit_weather")->setTime(time.time());
            dialog.findChild<QCheckBox*>("checkBox_dwlSynop")->setChecked(synop);
            dialog.findChild<QCheckBox*>("checkBox_dwlGrib")->setChecked(grib);
            okEnabled = dialog.findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->isEnabled();
            return accept && okEnabled;
        });
        window.ui.actionDownload_History_WX->trigger();
        EXPECT_EQ(answer.Answered(), 1);
        EXPECT_TRUE(window.ui.actionDownload_History_WX->isEnabled());
        EXPECT_TRUE(window.findChildren<CHistoryWxDlg*>().isEmpty());
    }

    // Live weather as the scheduler would have loaded it.
    void LoadLiveWeather(Aerovane_Pro& window)
    {
        window.GetWeatherWorker()->LoadWeatherFromText(
            "EDDF 040650Z 24008KT 9999 FEW030 12/07 Q1018\nEGLL 040650Z 23012KT 9999 SCT025 13/08 Q1016\n", QString(),
            QString());
        window.GetWeatherWorker()->SetWeatherSource(WeatherDataLive);
    }

    int MetarCount(Aerovane_Pro& window)
    {
        return window.GetWeatherWorker()->GetWeatherManager()->CMetarManager::GetCount();
    }
    int SynopCount(Aerovane_Pro& window)
    {
        return window.GetWeatherWorker()->GetWeatherManager()->CSynopManager::GetCount();
    }
    bool HasWind(Aerovane_Pro& window)
    {
        return !window.GetWeatherWorker()->GetWeatherManager()->CGribManager::GetAllRaw().empty();
    }

    bool StatusShows(Aerovane_Pro& window, const QString& text)
    {
        const QList<QLabel*> labels = window.ui.statusBar->findChildren<QLabel*>();
        return std::any_of(labels.begin(), labels.end(), [&](QLabel* label) { return label->text().contains(text); });
    }

    const QDateTime kArchived{QDate(2016, 5, 4), QTime(7, 30)};
    const QString kGridPath = "/history/grib_1x1_2016-05-04_06_00_00.gz";
    RecordingPrompter prompter;
    ScopedPrompter usePrompter{prompter};
    bool okEnabled = false;
    QTemporaryDir m_data;
    tools::WxServer archive{m_data.path()};
    int m_metarCount = 0;

private:
    std::unique_ptr<ScopedServerAddresses> m_addresses;
};

} // namespace

TEST(HistoryFileNames, UpperAirOnEveryThirdHour)
{
    const std::vector<std::pair<int, QString>> gridHours
        = {{0, "00"},  {1, "00"},  {2, "00"},  {3, "03"},  {5, "03"}, {6, "06"},
           {11, "09"}, {12, "12"}, {20, "18"}, {21, "21"}, {23, "21"}};
    for (const auto& [hour, expected] : gridHours) {
        const QDateTime time(QDate(2017, 12, 31), QTime(hour, 59));
        EXPECT_EQ(Aerovane_Pro::HistoryGribName(time), "grib_1x1_2017-12-31_" + expected + "_00_00.gz") << hour;
    }
}

TEST_F(HistoryWeatherTest, BothBoxesFetchAllThreeArchivesAndSwitchToHistory)
{
    Aerovane_Pro& window = Window();
    LoadLiveWeather(window);
    RunHistory(window, kArchived, true, true);

    EXPECT_EQ(HistoryRequests(),
              QStringList({"/history/metar_noaa_2016-05-04_07_30_00.gz", "/history/synop_2016-05-04_07_00_00.gz",
                           "/history/grib_1x1_2016-05-04_06_00_00.gz"}));
    EXPECT_EQ(HistoryFiles(), QStringList({"addwx.gz", "addwx.txt", "metar.gz", "metar.txt", "wind.gz", "wind.txt"}));
    EXPECT_EQ(window.GetWeatherWorker()->GetWeatherSource(), WeatherDataHistory);
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_EQ(MetarCount(window), m_metarCount);
    EXPECT_GT(SynopCount(window), 0);
    EXPECT_TRUE(HasWind(window));
}

TEST_F(HistoryWeatherTest, NeitherBoxLoadsTheMetarsAloneIntoANewFolder)
{
    Aerovane_Pro& window = Window();
    ASSERT_FALSE(QDir(HistoryFolder()).exists());
    window.GetWeatherWorker()->LoadWeatherFromText("EDDF 040650Z 24008KT 9999 FEW030 12/07 Q1018\n",
                                                   "AAXX 31001 78310 01470 70303 10250 20214 30094=\n", QString());
    RunHistory(window, kArchived, false, false);

    EXPECT_EQ(HistoryRequests(), QStringList{"/history/metar_noaa_2016-05-04_07_30_00.gz"});
    EXPECT_EQ(HistoryFiles(), QStringList({"metar.gz", "metar.txt"}));
    EXPECT_EQ(window.GetWeatherWorker()->GetWeatherSource(), WeatherDataHistory);
    EXPECT_EQ(MetarCount(window), m_metarCount);
    EXPECT_EQ(SynopCount(window), 0);
    EXPECT_FALSE(HasWind(window));
}

TEST_F(HistoryWeatherTest, EarlierFilesGoEvenWhenTheDialogIsCancelled)
{
    Aerovane_Pro& window = Window();
    LoadLiveWeather(window);
    QDir().mkpath(HistoryFolder() + "/kept");
    WriteFile(HistoryFolder() + "/metar.txt", "LSZS 220250Z AUTO 02007KT 7000 +RA SCT024 BKN034 07/07 Q1018\n");
    WriteFile(HistoryFolder() + "/wind.gz", "\x1f\x8b");

    RunHistory(window, kArchived, true, true, false);
    EXPECT_TRUE(HistoryFiles().isEmpty());
    EXPECT_TRUE(QDir(HistoryFolder() + "/kept").exists());
    EXPECT_TRUE(HistoryRequests().isEmpty());
    EXPECT_EQ(window.GetWeatherWorker()->GetWeatherSource(), WeatherDataLive);
    EXPECT_EQ(MetarCount(window), 2);

    // The next request finds nothing of the earlier one either.
    RunHistory(window, kArchived, false, false);
    EXPECT_EQ(HistoryFiles(), QStringList({"metar.gz", "metar.txt"}));
}

TEST_F(HistoryWeatherTest, FailedMetarDownloadKeepsTheWeatherAndItsSource)
{
    const QString metarPath = "/history/metar_noaa_2016-05-04_07_30_00.gz";
    struct Case
    {
        tools::WxServer::Failure failure;
        QString cause;
    };
    const std::vector<Case> cases = {
        {tools::WxServer::Failure::NotFound, "HTTP 404"},
        {tools::WxServer::Failure::HtmlPage, "damaged or incomplete archive"},
        {tools::WxServer::Failure::CorruptGzip, "damaged or incomplete archive"},
        {tools::WxServer::Failure::Trickle, "stalled: less than 64 bytes in 1 s"},
    };
    Aerovane_Pro& window = Window();
    // The trickle (5 bytes a second) is given up after a second of this clock, which passes once the METAR file's
    // body has begun, not after the half hour of a history file; the answers never see the clock move.
    platform::ScopedClock clock(platform::NowSeconds());
    window.GetDownloader()->SetStallLimit(1000, 64);
    StallClock stallClock(clock, *window.GetDownloader(), archive, 1000);
    bool trickle = false;
    QObject metarServed;
    QObject::connect(&archive, &tools::WxServer::RequestServed, &metarServed, [&](const QString& target) {
        if (trickle && target == metarPath)
            stallClock.PassWindowAfter(1);
    });
    for (const Case& c : cases) {
        trickle = c.failure == tools::WxServer::Failure::Trickle;
        LoadLiveWeather(window);
        archive.SetFailure(metarPath, c.failure);
        archive.ClearRequests();
        const int mark = LogText().size();

        RunHistory(window, kArchived, true, true);
        const QString log = LogText().mid(mark);
        EXPECT_EQ(HistoryRequests().size(), 1) << log.toStdString();
        EXPECT_EQ(window.GetWeatherWorker()->GetWeatherSource(), WeatherDataLive);
        EXPECT_EQ(MetarCount(window), 2);
        const QString failed = "metar_noaa_2016-05-04_07_30_00.gz failed: " + c.cause;
        EXPECT_TRUE(log.contains(failed)) << log.toStdString();
        EXPECT_TRUE(StatusShows(window, failed)) << failed.toStdString();
        EXPECT_FALSE(log.contains("Success")) << log.toStdString();
        EXPECT_FALSE(log.contains("LoadWeatherFromFile"));
        ASSERT_FALSE(prompter.asked.empty());
        EXPECT_EQ(prompter.asked.back().text,
                  "History weather failed: Metar (" + c.cause + ")\nThe weather in use stays.");
        archive.SetFailure(metarPath, tools::WxServer::Failure::None);
    }
}

TEST_F(HistoryWeatherTest, MissingSynopArchiveLoadsTheRestWithoutIt)
{
    archive.SetFailure("/history/synop_2016-05-04_07_00_00.gz", tools::WxServer::Failure::NotFound);
    Aerovane_Pro& window = Window();
    const int mark = LogText().size();
    RunHistory(window, kArchived, true, true);

    EXPECT_EQ(HistoryRequests().size(), 3);
    EXPECT_EQ(window.GetWeatherWorker()->GetWeatherSource(), WeatherDataHistory);
    EXPECT_EQ(MetarCount(window), m_metarCount);
    EXPECT_EQ(SynopCount(window), 0);
    EXPECT_TRUE(HasWind(window));
    EXPECT_TRUE(LogText().mid(mark).contains("synop_2016-05-04_07_00_00.gz failed: HTTP 404"));
}

TEST_F(HistoryWeatherTest, TimeNotInTheIndexCannotBeChosen)
{
    Aerovane_Pro& window = Window();
    LoadLiveWeather(window);
    // 08:10 is checked as 08:30 and 23:45 as 00:00 of the same day, neither of which the index lists.
    for (const QTime& time : {QTime(8, 10), QTime(23, 45)}) {
        RunHistory(window, QDateTime(kArchived.date(), time), true, true);
        EXPECT_FALSE(okEnabled);
    }
    EXPECT_TRUE(HistoryRequests().isEmpty());
    EXPECT_EQ(window.GetWeatherWorker()->GetWeatherSource(), WeatherDataLive);

    RunHistory(window, QDateTime(kArchived.date(), QTime(7, 10)), false, false);
    EXPECT_TRUE(okEnabled);
    EXPECT_EQ(HistoryRequests(), QStringList{"/history/metar_noaa_2016-05-04_07_30_00.gz"});
    EXPECT_EQ(window.GetWeatherWorker()->GetWeatherSource(), WeatherDataHistory);
}

// A ticked part that fails is named in a warning box. Without the upper air asked for, no live grid stands in
// for it: a station far from every report (mid-Atlantic) gets no weather made from today's grid.
TEST_F(HistoryWeatherTest, FailedUpperAirIsNamedAndNoLiveGridTakesItsPlace)
{
    const std::pair<tools::WxServer::Failure, QString> failures[]
        = {{tools::WxServer::Failure::NotFound, "HTTP 404"},
           {tools::WxServer::Failure::CorruptGzip, "damaged or incomplete archive"},
           {tools::WxServer::Failure::Slow, "timed out"}};
    Aerovane_Pro& window = Window();
    CWeatherWorker& worker = *window.GetWeatherWorker();
    for (const auto& [failure, cause] : failures) {
        // The slow grid (about 200 kB) arrives steadily at 20 kB/s, and so runs to the deadline its length gives:
        // 2 s at the least, as the time it takes at 1 MB/s is shorter. The half hour of a file without a length
        // would let it arrive. The other answers keep the usual room.
        if (failure == tools::WxServer::Failure::Slow)
            window.GetDownloader()->SetFittedDeadline(1000 * 1000, 2000);
        else
            window.GetDownloader()->SetFittedDeadline(WXDownloader::kLowestRateBytesPerSecond,
                                                      WXDownloader::kLeastFittedDeadlineMs);
        LoadLiveWeather(window);
        archive.SetFailure(kGridPath, failure);
        prompter.asked.clear();
        RunHistory(window, kArchived, true, true);

        ASSERT_EQ(prompter.asked.size(), 1u);
        EXPECT_EQ(prompter.asked[0].title, "Aerovane - History WX");
        EXPECT_EQ(prompter.asked[0].text,
                  "History weather failed: Wind (" + cause + ")\nThe historic weather is used without these parts.");
        EXPECT_EQ(worker.GetWeatherSource(), WeatherDataHistory);
        EXPECT_FALSE(HasWind(window));
        EXPECT_TRUE(StatusShows(window, "historic weather without upper air"));

        aviation::structs::CAircraft aircraft;
        aircraft.SetLatitude(45.0);
        aircraft.SetLongitude(-30.0);
        worker.SetAircraft(aircraft);
        archive.ClearRequests();
        worker.GenerateFSWeather(QString());
        EXPECT_TRUE(archive.Requests().filter("grib").isEmpty()) << archive.Requests().join(' ').toStdString();
    }
}

// The chosen weather reaches the simulator with the next tick, not at the next due update half an hour later.
TEST_F(HistoryWeatherTest, LoadedHistoryIsSentAtOnce)
{
    CSettings::SetNormalMode(true);
    Aerovane_Pro& window = Window();
    LoadLiveWeather(window);
    // Each limit is at least ten times what its wait takes in the sanitizer build on a fully loaded machine (the
    // first weather about 2 s, the history's about 1 s), far below the half hour of a due update.
    window.OnButtonConnect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.IsConnected(); }, 10000)) << "the link came up";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !peer.GetWeatherWrites().empty(); }, 30000))
        << "the live weather reached the simulator";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.GetConnectWorker()->IsSendingWeather(); }, 15000))
        << "the live weather was sent";

    peer.ClearFrames();
    RunHistory(window, kArchived, false, false);
    ASSERT_EQ(window.GetWeatherWorker()->GetWeatherSource(), WeatherDataHistory);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !peer.GetWeatherWrites().empty(); }, 20000))
        << "the historic weather reached the simulator";
}
