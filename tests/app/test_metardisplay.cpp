#include "app/aerovane_pro.h"
#include "generation/weatherworker.h"
#include "settings/serveraddresses.h"
#include "settings/settings.h"
#include "tools/wx-server/wxserver.h"

#include "scopedappfolders.h"
#include "tablecontent.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <memory>
#include <utility>
#include <vector>

using aviation::weather::CGrib;
using aviation::weather::CMetar;

namespace {

// Reports as the weather server's METAR section holds them; XXAA is in no station list.
constexpr const char* kMetars = "EDDF 221850Z 24008KT CAVOK 14/07 Q1019 NOSIG\n"
                                "EDDM 221850Z 25012KT 9999 FEW040 13/06 Q1018 NOSIG\n"
                                "XXAA 221850Z 18005KT 9999 SCT030 11/04 Q1016\n";
constexpr const wchar_t* kTafs = L"TAF EDDF 221700Z 2218/2324 24008KT CAVOK\n"
                                 L"      BECMG 2306/2308 27015KT\n\n"
                                 L"TAF XXAA 221700Z 2218/2306 18005KT 9999 SCT030\n\n";
// A grid point near Frankfurt (50.1 N, 8.6 E).
constexpr const char* kFrankfurtGrid
    = "# TIME:1491555600\nGRIB 06110 00012 99501 10086 99014 12440 27015 0000118 11420 28225 9200768 07825 28135 "
      "8501468 03430 28449 7003018 04954 28557 5005578 21156 29380 4007198 31758 29992 3009168 45560 66315 2510368 "
      "52360 66621 2011798 55762 65709 1513618 56964 28977 1016188 59166 28547 7711369 55756 66018 8811360 57760 "
      "30096 L6123 M6000\n";
// The same point cut after its header, as a broken download leaves it.
constexpr const char* kCutFrankfurtGrid = "# TIME:1491555600\nGRIB 06110 00012 99501 10086 <html>\n";

// The window as the program builds it, on an empty working directory and program folder, its weather server the
// loopback one; weather loaded on request, and every level profile and log line it sends recorded.
class MetarDisplayTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Listen());
        ServerAddresses addresses = ServerAddresses::BuiltIn();
        addresses.serverUrlDE = server.BaseUrl();
        addresses.serverUrlUS = server.BaseUrl();
        m_addresses = std::make_unique<ScopedServerAddresses>(addresses);
        CSettings::SetAutoConnectFS(false);
        CSettings::SetDownloadWX(false);
    }

    void TearDown() override
    {
        m_window.reset();
        m_addresses.reset();
    }

    Aerovane_Pro& Window()
    {
        if (!m_window)
            m_window = std::make_unique<Aerovane_Pro>();
        return *m_window;
    }

    Aerovane_Pro& LoadedWindow(const char* grid)
    {
        Aerovane_Pro& window = Window();
        CWeatherWorker& worker = *window.GetWeatherWorker();
        worker.LoadWeatherFromText(QString::fromLatin1(kMetars), QString(), QString::fromLatin1(grid));
        worker.GetWeatherManager()->SetTAFText(kTafs);
        QObject::connect(&window, &Aerovane_Pro::sigUIUpdateLevelInfo,
                         [this](const CGrib& grib) { profiles.push_back(grib); });
        QObject::connect(&window, QOverload<const QString&, int>::of(&Aerovane_Pro::sigUIDebugString),
                         [this](const QString& text, int) { log << text; });
        return window;
    }

    void Show(Aerovane_Pro& window, const char* icao)
    {
        CMetar metar = window.GetWeatherWorker()->GetMetar(QString::fromLatin1(icao));
        window.ShowMetar(metar);
    }

    static QStringList ListRows(const Aerovane_Pro& window)
    {
        QStringList rows;
        for (int row = 0; row < window.ui.listWidgetMetarRaw->count(); ++row)
            rows << window.ui.listWidgetMetarRaw->item(row)->text();
        return rows;
    }

    ScopedAppFolders m_folders;
    tools::WxServer server{QStringLiteral(AEROVANE_WXSERVER_DATA)};
    std::vector<CGrib> profiles;
    QStringList log;

private:
    std::unique_ptr<ScopedServerAddresses> m_addresses;
    std::unique_ptr<Aerovane_Pro> m_window;
};

const QString kEddf = QStringLiteral("EDDF 221850Z 24008KT CAVOK 14/07 Q1019 NOSIG");
const QString kEddm = QStringLiteral("EDDM 221850Z 25012KT 9999 FEW040 13/06 Q1018 NOSIG");

} // namespace

TEST_F(MetarDisplayTest, AReportShownAgainAddsNoRowButSendsItsProfileAgain)
{
    Aerovane_Pro& window = LoadedWindow(kFrankfurtGrid);
    Show(window, "EDDF");
    const QString decoded = window.ui.textEditMetarDecoded->toPlainText();
    EXPECT_FALSE(decoded.isEmpty());
    EXPECT_EQ(window.ui.plainTextEditTaf->toPlainText(),
              "EDDF 221700Z 2218/2324 24008KT CAVOK    BECMG 2306/2308 27015KT");
    Show(window, "EDDF");

    EXPECT_EQ(ListRows(window), QStringList({kEddf}));
    ASSERT_EQ(profiles.size(), 2u);
    // The grid point near Frankfurt, decoded: its eleven pressure levels, the tropopause and the maximum wind.
    EXPECT_FALSE(profiles[1].IsStandardAtmosphere());
    EXPECT_EQ(window.ui.tableViewLevelInfo->model()->rowCount(), 13);
    EXPECT_EQ(window.ui.textEditMetarDecoded->toPlainText(), decoded);
}

TEST_F(MetarDisplayTest, EveryChangeOfReportIsListedNewestFirst)
{
    Aerovane_Pro& window = LoadedWindow(kFrankfurtGrid);
    for (const char* icao : {"EDDF", "EDDM", "EDDF"})
        Show(window, icao);
    EXPECT_EQ(ListRows(window), QStringList({kEddf, kEddm, kEddf}));
    EXPECT_EQ(profiles.size(), 3u);
}

TEST_F(MetarDisplayTest, StationsWithoutAPositionGetNoProfile)
{
    Aerovane_Pro& window = LoadedWindow(kFrankfurtGrid);
    // A report of a station that no list places, then twice a station without any report or place.
    Show(window, "XXAA");
    EXPECT_EQ(window.ui.textEditMetarDecoded->toPlainText(), "no station data from metar");
    EXPECT_EQ(window.ui.plainTextEditTaf->toPlainText(), "XXAA 221700Z 2218/2306 18005KT 9999 SCT030");
    CMetar none;
    none.SetICAO(L"ZZZZ");
    window.ShowMetar(none);
    window.ShowMetar(none);
    EXPECT_EQ(ListRows(window),
              QStringList({"no metar found for ZZZZ ", "no metar found for ZZZZ ",
                           "XXAA 221850Z 18005KT 9999 SCT030 11/04 Q1016"}));
    EXPECT_EQ(window.ui.plainTextEditTaf->toPlainText(), "no TAF available");
    EXPECT_TRUE(profiles.empty());
}

TEST_F(MetarDisplayTest, AGridPointThatDoesNotDecodeGivesWayToTheMetarsStandardAtmosphere)
{
    Aerovane_Pro& window = LoadedWindow(kCutFrankfurtGrid);
    Show(window, "EDDF");
    // The point has a header and nothing after it.
    EXPECT_EQ(log.filter("(Grib) - too few layers of Level").size(), 1) << log.join("\n").toStdString();
    ASSERT_EQ(profiles.size(), 1u);
    EXPECT_TRUE(profiles[0].IsStandardAtmosphere());
    // 3000 ft above the surface of 24008KT 14/07 Q1019.
    EXPECT_EQ(RowTexts(*window.ui.tableViewLevelInfo, 0).mid(0, 5),
              QStringList({"3000 ft", "905 mb", U8("244°"), "10.0 kt", U8("10.0 °C")}));
}

TEST_F(MetarDisplayTest, WithLiveWeatherTheStationsGridPointIsFetched)
{
    Aerovane_Pro& window = LoadedWindow("");
    window.GetWeatherWorker()->SetWeatherSource(WeatherDataLive);
    Show(window, "EDDF");
    // EDDF's position in the airport list.
    EXPECT_EQ(server.Requests().filter(QStringLiteral("/get_grib_v2.php?")),
              QStringList({"/get_grib_v2.php?lat=50.03&lon=8.56&mode=single&key=64093"}));
    ASSERT_EQ(profiles.size(), 1u);
    EXPECT_FALSE(profiles[0].IsStandardAtmosphere());
    EXPECT_GT(window.ui.tableViewLevelInfo->model()->rowCount(), 10);
}

TEST_F(MetarDisplayTest, TafTextIsShownOnOneLine)
{
    const std::pair<const char*, const char*> cases[] = {
        {"A\r\n B", "A  B"},
        {"TAF EDDF\tBECMG", "TAF EDDF BECMG"},
        {"FM061200   01035G50KT", "FM061200  01035G50KT"},
        {"FM061200    01035G50KT", "FM061200  01035G50KT"},
    };
    Aerovane_Pro& window = Window();
    for (const auto& [taf, shown] : cases) {
        window.ShowTaf(QString::fromLatin1(taf));
        EXPECT_EQ(window.ui.plainTextEditTaf->toPlainText(), shown) << taf;
    }
}

TEST_F(MetarDisplayTest, AircraftAndWindTablesFollowTheReportsOnlyWhileShown)
{
    Aerovane_Pro& window = Window();
    aviation::structs::CAircraft sample;
    sample.SetLatitude(50.03);
    sample.SetLongitude(8.56);
    sample.altitude = 364;
    const CDirectWindControl control;
    window.OnUpdateAircraftdata(sample);
    emit window.sigUIUpdateDwcInfo(control);
    EXPECT_EQ(window.ui.tableViewAircraftData->model()->rowCount(), 0);
    EXPECT_EQ(window.ui.tableViewDirectWindControl->model()->rowCount(), 0);

    // The Flight Data page that holds both tables, in front in the shown window.
    window.show();
    window.ui.tabWidget_Output->setCurrentWidget(window.ui.tab_FlightData);
    ASSERT_TRUE(window.ui.tableViewAircraftData->isVisible());
    window.OnUpdateAircraftdata(sample);
    emit window.sigUIUpdateDwcInfo(control);
    EXPECT_EQ(window.ui.tableViewAircraftData->model()->index(0, 2).data().toString(), "364 ft");
    EXPECT_EQ(window.ui.tableViewDirectWindControl->model()->rowCount(), 1);
}
