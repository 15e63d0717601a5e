#include "generation/weatherworker.h"
#include "mainwindowtest.h"
#include "tablecontent.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <vector>

using aviation::weather::CGrib;
using aviation::weather::CMetar;

namespace {

// Reports as the weather server's sections hold them; XXAA is in no station list.
constexpr const char* kMetars = "EDDF 221850Z 24008KT CAVOK 14/07 Q1019 NOSIG\n"
                                "EDDM 221850Z 25012KT 9999 FEW040 13/06 Q1018 NOSIG\n"
                                "XXAA 221850Z 18005KT 9999 SCT030 11/04 Q1016\n";
constexpr const wchar_t* kTafs = L"TAF EDDF 221700Z 2218/2324 24008KT CAVOK\n      BECMG 2306/2308 27015KT\n\n"
                                 L"TAF XXAA 221700Z 2218/2306 18005KT 9999 SCT030\n\n";
// A grid point near Frankfurt, whole and cut after its header.
constexpr const char* kGrid
    = "GRIB 06110 00012 99501 10086 99014 12440 27015 0000118 11420 28225 9200768 07825 28135 8501468 03430 28449 "
      "7003018 04954 28557 5005578 21156 29380 4007198 31758 29992 3009168 45560 66315 2510368 52360 66621 2011798 "
      "55762 65709 1513618 56964 28977 1016188 59166 28547 7711369 55756 66018 8811360 57760 30096 L6123 M6000\n";
constexpr const char* kCutGrid = "GRIB 06110 00012 99501 10086 <html>\n";

// The window as the program builds it with the reports loaded; every level profile and log line it sends is
// recorded.
class MetarDisplayTest : public MainWindowTest
{
protected:
    Aerovane_Pro& Window(const char* grid = kGrid)
    {
        Aerovane_Pro& window = MainWindowTest::Window();
        CWeatherWorker& worker = *window.GetWeatherWorker();
        worker.LoadWeatherFromText(QString::fromLatin1(kMetars), QString(), QString::fromLatin1(grid));
        worker.GetWeatherManager()->SetTAFText(kTafs);
        QObject::connect(&window, &Aerovane_Pro::sigUIUpdateLevelInfo,
                         [this](const CGrib& grib) { profiles.push_back(grib); });
        QObject::connect(&window, QOverload<const QString&, int>::of(&Aerovane_Pro::sigUIDebugString),
                         [this](const QString& text, int) { log << text; });
        return window;
    }

    void Show(const char* icao)
    {
        CMetar metar = MainWindowTest::Window().GetWeatherWorker()->GetMetar(QString::fromLatin1(icao));
        MainWindowTest::Window().ShowMetar(metar);
    }

    QStringList ListRows()
    {
        const QListWidget* list = MainWindowTest::Window().ui.listWidgetMetarRaw;
        QStringList rows;
        for (int row = 0; row < list->count(); ++row)
            rows << list->item(row)->text();
        return rows;
    }

    std::vector<CGrib> profiles;
    QStringList log;
};

} // namespace

TEST_F(MetarDisplayTest, EachChangeOfReportIsListedNewestFirstAndEveryCallSendsAProfile)
{
    Aerovane_Pro& window = Window();
    for (const char* icao : {"EDDF", "EDDF", "EDDM", "EDDF"})
        Show(icao);
    EXPECT_EQ(ListRows(),
              QStringList({"EDDF 221850Z 24008KT CAVOK 14/07 Q1019 NOSIG",
                           "EDDM 221850Z 25012KT 9999 FEW040 13/06 Q1018 NOSIG",
                           "EDDF 221850Z 24008KT CAVOK 14/07 Q1019 NOSIG"}));
    EXPECT_EQ(window.ui.plainTextEditTaf->toPlainText(),
              "EDDF 221700Z 2218/2324 24008KT CAVOK    BECMG 2306/2308 27015KT");
    EXPECT_FALSE(window.ui.textEditMetarDecoded->toPlainText().isEmpty());
    ASSERT_EQ(profiles.size(), 4u);
    // The decoded grid point: eleven pressure levels, the tropopause and the maximum wind.
    EXPECT_FALSE(profiles[1].IsStandardAtmosphere());
    EXPECT_EQ(window.ui.tableViewLevelInfo->model()->rowCount(), 13);
}

TEST_F(MetarDisplayTest, StationsWithoutAPositionGetNoProfile)
{
    Aerovane_Pro& window = Window();
    Show("XXAA");
    EXPECT_EQ(window.ui.textEditMetarDecoded->toPlainText(), "no station data from metar");
    EXPECT_EQ(window.ui.plainTextEditTaf->toPlainText(), "XXAA 221700Z 2218/2306 18005KT 9999 SCT030");
    // No report: listed again on every call.
    CMetar none;
    none.SetICAO(L"ZZZZ");
    window.ShowMetar(none);
    window.ShowMetar(none);
    EXPECT_EQ(ListRows(),
              QStringList({"no metar found for ZZZZ ", "no metar found for ZZZZ ",
                           "XXAA 221850Z 18005KT 9999 SCT030 11/04 Q1016"}));
    EXPECT_TRUE(profiles.empty());
}

TEST_F(MetarDisplayTest, AGridPointThatDoesNotDecodeGivesWayToTheMetarsStandardAtmosphere)
{
    Aerovane_Pro& window = Window(kCutGrid);
    Show("EDDF");
    EXPECT_EQ(log.filter("(Grib) - too few layers of Level").size(), 1);
    ASSERT_EQ(profiles.size(), 1u);
    // 3000 ft above the surface of 24008KT 14/07 Q1019.
    EXPECT_EQ(RowTexts(*window.ui.tableViewLevelInfo, 0).mid(0, 5),
              QStringList({"3000 ft", "905 mb", U8("244°"), "10.0 kt", U8("10.0 °C")}));
}

TEST_F(MetarDisplayTest, WithLiveWeatherTheStationsGridPointIsFetched)
{
    Window("").GetWeatherWorker()->SetWeatherSource(WeatherDataLive);
    Show("EDDF");
    // EDDF's position in the airport list.
    EXPECT_EQ(server.Requests().filter("/get_grib_v2.php?"),
              QStringList({"/get_grib_v2.php?lat=50.03&lon=8.56&mode=single&key=64093"}));
    ASSERT_EQ(profiles.size(), 1u);
    EXPECT_FALSE(profiles[0].IsStandardAtmosphere());
}

TEST_F(MetarDisplayTest, TafIsShownOnOneLine)
{
    Aerovane_Pro& window = Window();
    window.ShowTaf("A\r\n B");
    EXPECT_EQ(window.ui.plainTextEditTaf->toPlainText(), "A  B");
    window.ShowTaf("FM061200   01035G50KT");
    EXPECT_EQ(window.ui.plainTextEditTaf->toPlainText(), "FM061200  01035G50KT");
}

TEST_F(MetarDisplayTest, AClickedLineShowsThatStationsReportTafAndLevels)
{
    Aerovane_Pro& window = Window("");
    window.GetWeatherWorker()->SetWeatherSource(WeatherDataLive);
    server.SetFailure(QStringLiteral("/get_grib_v2.php"), tools::WxServer::Failure::NotFound);
    for (const char* icao : {"EDDF", "EDDM"})
        Show(icao);
    profiles.clear();
    window.ui.plainTextEditTaf->clear();

    // EDDM is listed above EDDF, whose grid point cannot be fetched: a standard atmosphere over its report.
    window.OnListWidgetsMetarRawItemClicked(window.ui.listWidgetMetarRaw->item(1));
    EXPECT_TRUE(window.ui.textEditMetarDecoded->toPlainText().contains(QStringLiteral("EDDF")));
    EXPECT_EQ(window.ui.plainTextEditTaf->toPlainText(),
              "EDDF 221700Z 2218/2324 24008KT CAVOK    BECMG 2306/2308 27015KT");
    ASSERT_EQ(profiles.size(), 1u);
    EXPECT_TRUE(profiles[0].IsStandardAtmosphere());

    window.ui.listWidgetMetarRaw->insertItem(0, QStringLiteral("ZZZZ 221850Z 18005KT 9999 SCT030 11/04 Q1016"));
    window.OnListWidgetsMetarRawItemClicked(window.ui.listWidgetMetarRaw->item(0));
    EXPECT_EQ(window.ui.textEditMetarDecoded->toPlainText(), "No station data from metar");
    EXPECT_EQ(profiles.size(), 1u);
}
