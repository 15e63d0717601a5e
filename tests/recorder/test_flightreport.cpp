// The end of a recorded flight: the reports, a new flight for the window, the mail draft and the flight file.
#include "forms/mainwindowform.h"
#include "platform/clock.h"
#include "platform/launcher.h"
#include "recorder/tab_flightrecorder.h"
#include "settings/settings.h"
#include "tests/app/recordinglauncher.h"
#include "tests/app/scopedappfolders.h"
#include "tests/generation/fakewindowhost.h"
#include "tests/generation/recordingprompter.h"

#include <QDir>
#include <QFile>
#include <QUrlQuery>
#include <gtest/gtest.h>

namespace {

// 2026-12-07 14:30:05 UTC.
constexpr qint64 kReportTime = 1796653805;

CFlightData Flight(const wchar_t* aircraft)
{
    CFlightData flight;
    aviation::structs::CAircraftDetail detail;
    detail.name = aircraft;
    detail.Registration = L"D-AVNE";
    flight.SetAircraftDetail(detail);
    const auto at = [](int hour, int minute, int second) {
        return QDateTime(QDate(2026, 12, 7), QTime(hour, minute, second), Qt::UTC);
    };
    flight.SetOffBlockTime(at(12, 58, 10));
    flight.SetTakeOffTime(at(13, 10, 0));
    flight.SetLandingTime(at(13, 52, 30));
    flight.SetOnBlockTime(at(14, 1, 45));
    aviation::structs::CAircraft sample;
    sample.SetLatitude(50.0494);
    sample.SetLongitude(8.5726);
    sample.altitude = 32000;
    sample.tas = 450;
    sample.groundSpeed = 470;
    flight.ApplyMaxima(sample);
    flight.AddPosition(sample);
    return flight;
}

class FlightReportTest : public ::testing::Test
{
protected:
    FlightReportTest()
    {
        ui.setupUi(&window);
        ui.tab_recorder->SetUi(&host);
    }

    QStringList FlightFiles() const
    {
        return QDir(CSettings::GetFlightsFolder()).entryList({QStringLiteral("*.xml")}, QDir::Files);
    }

    ScopedAppFolders folders;
    platform::ScopedClock clock{kReportTime};
    RecordingLauncher launcher;
    platform::ScopedLauncher scopedLauncher{launcher};
    FakeWindowHost host;
    CMainWindowForm window;
    Ui::Aerovane_ProClass& ui = window.ui;
};

} // namespace

TEST_F(FlightReportTest, ReportsPileUpOnThePageEscapedAndEachStartsANewFlightInASafelyNamedFile)
{
    CSettings::SetAerovaneUserId(QStringLiteral("42"));
    CSettings::SetUserId(QStringLiteral("N123/A"));
    ui.tab_recorder->WriteFlightReport(Flight(L"Boeing 737-800 Aerovane Air"));
    CFlightData unlanded = Flight(L"Cessna <b>172</b> & Co");
    unlanded.SetLandingTime(QDateTime());
    clock.AdvanceMs(3600 * 1000);
    ui.tab_recorder->WriteFlightReport(unlanded);

    const QString html = CTab_Flightrecorder::HtmlReport(unlanded, QDateTime::fromSecsSinceEpoch(kReportTime, Qt::UTC));
    EXPECT_TRUE(html.contains("Aircraft: Cessna &lt;b&gt;172&lt;/b&gt; &amp; Co Registration: D-AVNE</b>"));
    EXPECT_TRUE(html.contains("<li>Landing Time: </li><li>Flight Time: 02:20:05</li><li>Max Altitude: 32000 ft</li>"));

    const QString shown = ui.textBrowser_FlightResults->toPlainText();
    EXPECT_LT(shown.indexOf("Boeing 737-800 Aerovane Air"), shown.indexOf("Cessna <b>172</b> & Co"));
    EXPECT_EQ(host.CallsStartingWith("OnTabFlightRecorderResetFlight").size(), 2);
    EXPECT_EQ(FlightFiles(),
              QStringList({"flight_42_N123_A_20261207143005.xml", "flight_42_N123_A_20261207153005.xml"}));
}

TEST_F(FlightReportTest, MailDraftCarriesTheTextReportWithTimesAndMaximaOnlyForAnAddressOverThreeCharacters)
{
    CSettings::SetUserId(QStringLiteral("N123A#1"));
    const CFlightData flight = Flight(L"Boeing 737 & Co #1 100%");
    const struct
    {
        bool mail;
        const char* address;
        bool drafted;
    } cases[] = {{true, "a@b.c", true}, {true, "a@b", false}, {false, "a@b.c", false}};
    for (const auto& c : cases) {
        launcher.calls.clear();
        CSettings::SetFlight2Email(c.mail);
        CSettings::SetFlight2EmailAdress(c.address);
        ui.tab_recorder->WriteFlightReport(flight);
        ASSERT_EQ(launcher.calls.size(), c.drafted ? 1u : 0u) << c.address;
        if (!c.drafted)
            continue;
        const QUrl mail(launcher.calls[0].second);
        const QUrlQuery query(mail);
        EXPECT_EQ(mail.scheme() + ":" + mail.path(), "mailto:a@b.c");
        ASSERT_EQ(query.queryItems().size(), 2) << "'&' or '#' of the report cut the draft";
        EXPECT_EQ(query.queryItemValue("subject", QUrl::FullyDecoded), "Flight report from N123A#1");
        EXPECT_EQ(query.queryItemValue("body", QUrl::FullyDecoded),
                  "Flight Report from Mon Dec 7 14:30:05 2026 GMT, Aircraft: Boeing 737 & Co #1 100% Registration: "
                  "D-AVNE\n\nDep:\nDest:\nOff-Block Time:12:58:10\nOnBlock Time: 14:01:45\nTake-Off Time: 13:10:00\n"
                  "Landing Time: 13:52:30\nFlight Time: 00:42:30\nMax Altitude: 32000 ft\nMax GS: 470 kt\n"
                  "Max TAS: 450 kt\n");
    }
}

TEST_F(FlightReportTest, UnwritableFlightFileIsLoggedShownToTheUserAndTheReportStillShown)
{
    RecordingPrompter prompter;
    ScopedPrompter scopedPrompter(prompter);
    CSettings::SetUserId(QStringLiteral("N123A"));
    // A file where the flights folder belongs.
    ASSERT_TRUE(QFile(CSettings::GetFlightsFolder()).open(QIODevice::WriteOnly));
    ui.tab_recorder->WriteFlightReport(Flight(L"Boeing 737-800 Aerovane Air"));
    const QStringList logged = host.CallsStartingWith("OnDebugString((Recorder) - Can not write flight file");
    ASSERT_EQ(logged.size(), 1);
    EXPECT_TRUE(logged[0].contains("flight_0_N123A_20261207143005.xml"));
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].kind, PromptKind::Warning);
    EXPECT_TRUE(prompter.asked[0].text.startsWith("Can not write flight file "))
        << prompter.asked[0].text.toStdString();
    EXPECT_TRUE(ui.textBrowser_FlightResults->toPlainText().contains("Boeing 737-800 Aerovane Air"));
}
