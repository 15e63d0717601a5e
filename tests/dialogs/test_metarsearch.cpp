#include "dialogs/metarsearch.h"
#include "dialogs/wxfinderdlg.h"
#include "tests/generation/recordingprompter.h"
#include "tests/support/modaldialoganswer.h"
#include "weather/weathermanager.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

#include <vector>

using aviation::weather::CMetar;

namespace {

// Reports of one autumn evening, with their airports' names.
const std::vector<std::pair<const wchar_t*, const wchar_t*>> kReports = {
    {L"EGLL 221850Z 24012KT 9999 VCTS FEW020CB 14/09 Q1009", L"London Heathrow"},
    {L"EGKK 221850Z 23016G28KT 6000 -SHRA BKN025 13/10 Q1008", L"London Gatwick"},
    {L"EDDF 221850Z 00000KT 4500 BR BKN025 09/08 Q1021", L"Frankfurt Main"},
    {L"EDDM 221850Z 07005KT CAVOK 08/03 Q1024", L"Muenchen"},
    {L"LFPG 221900Z 20020KT 9999 TSRA SCT024CB BKN040 15/12 Q1010", L"Paris Charles de Gaulle"},
    {L"KJFK 221851Z 01009KT 10SM FEW250 17/06 A3012", L"New York Kennedy"},
    {L"EGPD 221850Z 27030G45KT 3000 +SHRA OVC008 09/07 Q0992", L"Aberdeen Dyce"},
};

std::vector<CMetar> DecodedReports()
{
    std::vector<CMetar> metars;
    for (const auto& [raw, name] : kReports) {
        CMetar metar(raw);
        metar.SetName(name);
        metar.Decode();
        metars.push_back(metar);
    }
    return metars;
}

QStringList Codes(const std::vector<const CMetar*>& hits)
{
    QStringList codes;
    for (const CMetar* metar : hits)
        codes << QString::fromStdWString(metar->GetICAOString());
    return codes;
}

} // namespace

TEST(MetarSearch, EachFilledTermNarrowsTheReportsInListOrder)
{
    struct Case
    {
        const char* what;
        MetarSearchTerms terms;
        QStringList codes;
    };
    auto terms = [](auto set) {
        MetarSearchTerms t;
        set(t);
        return t;
    };
    const QStringList all = {"EGLL", "EGKK", "EDDF", "EDDM", "LFPG", "KJFK", "EGPD"};
    const std::vector<Case> cases = {
        {"code start, any case", terms([](auto& t) { t.icao = "eg"; }), {"EGLL", "EGKK", "EGPD"}},
        {"name part", terms([](auto& t) { t.airportName = "london"; }), {"EGLL", "EGKK"}},
        {"direction exact", terms([](auto& t) { t.windDirection = "240"; }), {"EGLL"}},
        {"direction 0", terms([](auto& t) { t.windDirection = "0"; }), {"EDDF"}},
        {"direction not a number", terms([](auto& t) { t.windDirection = "W"; }), {"EDDF"}},
        {"direction out of range: off", terms([](auto& t) { t.windDirection = "400"; }), all},
        {"speed 10 kt +-5", terms([](auto& t) { t.windSpeed = "10"; }), {"EGLL", "EDDM", "KJFK"}},
        {"gust 3 takes no gust", terms([](auto& t) { t.windGust = "3"; }), {"EGLL", "EDDF", "EDDM", "LFPG", "KJFK"}},
        {"gust 30", terms([](auto& t) { t.windGust = "30"; }), {"EGKK"}},
        {"phenomena, any case", terms([](auto& t) { t.phenomena = "ts"; }), {"EGLL", "LFPG"}},
        {"BKR at exactly 2500 ft", terms([](auto& t) { t.coverageIndex = 3, t.cloudBase = "2500"; }), {"EGKK", "EDDF"}},
        {"BKR at 2400 ft", terms([](auto& t) { t.coverageIndex = 3, t.cloudBase = "2400"; }), {}},
        {"OVC at any base", terms([](auto& t) { t.coverageIndex = 4; }), {"EGPD"}},
        {"base alone", terms([](auto& t) { t.cloudBase = "2400"; }), {"LFPG"}},
        {"base 0 matches nothing", terms([](auto& t) { t.cloudBase = "0"; }), {}},
        {"base out of range: off", terms([](auto& t) { t.cloudBase = "60000"; }), all},
        {"visibility at least 5000",
         terms([](auto& t) { t.visibilityMin = "5000"; }),
         {"EGLL", "EGKK", "EDDM", "LFPG", "KJFK"}},
        {"visibility at most 4500", terms([](auto& t) { t.visibilityMax = "4500"; }), {"EDDF", "EGPD"}},
        {"visibility between",
         terms([](auto& t) { t.visibilityMin = "3000", t.visibilityMax = "6000"; }),
         {"EGKK", "EDDF", "EGPD"}},
        {"terms together", terms([](auto& t) { t.icao = "E", t.windSpeed = "20", t.phenomena = "SHRA"; }), {"EGKK"}},
        {"no hits", terms([](auto& t) { t.icao = "ZZ"; }), {}},
    };
    const std::vector<CMetar> metars = DecodedReports();
    for (const Case& c : cases)
        EXPECT_EQ(Codes(SearchMetars(metars, c.terms)), c.codes) << c.what;
}

class WxFinderDlgTest : public ::testing::Test
{
protected:
    // Runs the finder over the manager with the fields filled by `fill`, presses "Search now" and accepts.
    template<typename Fill> void Search(aviation::weather::CWeatherManager& manager, Fill fill)
    {
        WxFinderDlg dialog;
        ModalDialogAnswer<WxFinderDlg> answer([&](WxFinderDlg& shown) {
            fill(shown);
            shown.findChild<QPushButton*>("pushButton_search")->click();
            results.clear();
            const QListWidget* list = shown.findChild<QListWidget*>("listWidget_result_metars");
            for (int row = 0; row < list->count(); ++row)
                results << list->item(row)->text();
            label = shown.findChild<QLabel*>("label__progress")->text();
            closedBySearch = !shown.isVisible();
            return !closedBySearch;
        });
        dialog.Exec(&manager);
        EXPECT_EQ(answer.Answered(), 1);
    }

    RecordingPrompter prompter;
    ScopedPrompter scopedPrompter{prompter};
    QStringList results;
    QString label;
    bool closedBySearch = false;
};

TEST_F(WxFinderDlgTest, SearchListsTheRawTextsOfTheHits)
{
    aviation::weather::CWeatherManager manager;
    std::wstring text;
    for (const auto& report : kReports)
        text += std::wstring(report.first) + L"\n";
    manager.InitMetar(text.substr(0, text.size() - 1), true);

    Search(manager,
           [](WxFinderDlg& shown) { shown.findChild<QLineEdit*>("lineEdit_weather_phenomena")->setText("ts"); });
    EXPECT_EQ(results,
              QStringList({QString::fromWCharArray(kReports[0].first), QString::fromWCharArray(kReports[4].first)}));
    EXPECT_EQ(label, "Metars founded: 2");

    Search(manager, [](WxFinderDlg& shown) {
        shown.findChild<QComboBox*>("comboBox_cloud_coverage")->setCurrentIndex(3);
        shown.findChild<QLineEdit*>("lineEdit_cloud_base")->setText("2400");
    });
    EXPECT_TRUE(results.isEmpty());
    EXPECT_EQ(label, "Metars founded: 0");

    // Nothing filled in: no search, no message.
    Search(manager, [](WxFinderDlg&) {});
    EXPECT_TRUE(results.isEmpty());
    EXPECT_EQ(label, "Please enter terms");
    EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(WxFinderDlgTest, SearchWithoutWeatherSaysSoAndCloses)
{
    aviation::weather::CWeatherManager manager;
    Search(manager, [](WxFinderDlg& shown) { shown.findChild<QLineEdit*>("lineEdit_icao")->setText("ED"); });
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, "Aerovane - WX-Finder");
    EXPECT_EQ(prompter.asked[0].text, "No Weather.\nPlease download weather.");
    EXPECT_TRUE(closedBySearch);
}
