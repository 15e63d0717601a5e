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
#include <QTest>
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

QStringList Search(const MetarSearchTerms& terms)
{
    std::vector<CMetar> metars;
    for (const auto& [raw, name] : kReports) {
        metars.emplace_back(raw);
        metars.back().SetName(name);
        metars.back().Decode();
    }
    QStringList codes;
    for (const CMetar* metar : SearchMetars(metars, terms))
        codes << QString::fromStdWString(metar->GetICAOString());
    return codes;
}

} // namespace

TEST(MetarSearch, EachFilledTermNarrowsTheReportsInListOrder)
{
    using T = MetarSearchTerms;
    const QStringList all = {"EGLL", "EGKK", "EDDF", "EDDM", "LFPG", "KJFK", "EGPD"};
    // The field filled, its text, the coverage chosen (3 is "BKR") and the codes found.
    const std::vector<std::tuple<QString T::*, const char*, int, QStringList>> cases = {
        {&T::icao, "eg", 0, {"EGLL", "EGKK", "EGPD"}},
        {&T::icao, "ZZ", 0, {}},
        {&T::airportName, "london", 0, {"EGLL", "EGKK"}},
        {&T::windDirection, "240", 0, {"EGLL"}},
        {&T::windSpeed, "10", 0, {"EGLL", "EDDM", "KJFK"}},
        {&T::windGust, "3", 0, {"EGLL", "EDDF", "EDDM", "LFPG", "KJFK"}},
        {&T::windGust, "30", 0, {"EGKK"}},
        {&T::phenomena, "ts", 0, {"EGLL", "LFPG"}},
        {&T::cloudBase, "2500", 3, {"EGKK", "EDDF"}},
        {&T::cloudBase, "2400", 3, {}},
        {&T::cloudBase, "", 4, {"EGPD"}},
        {&T::cloudBase, "2400", 0, {"LFPG"}},
        {&T::cloudBase, "0", 0, {}},
        {&T::visibilityMin, "5000", 0, {"EGLL", "EGKK", "EDDM", "LFPG", "KJFK"}},
        {&T::visibilityMax, "4500", 0, {"EDDF", "EGPD"}},
    };
    for (const auto& [field, text, coverage, codes] : cases) {
        T terms;
        terms.*field = QString::fromLatin1(text);
        terms.coverageIndex = coverage;
        EXPECT_EQ(Search(terms), codes) << text << " " << coverage;
    }
    T together;
    together.icao = "E", together.windSpeed = "20", together.phenomena = "SHRA";
    EXPECT_EQ(Search(together), QStringList{"EGKK"});
}

TEST(MetarSearch, NumberFieldsOutsideTheirRangeAreNamedAndNothingIsSearched)
{
    using T = MetarSearchTerms;
    // The field, its text, and the problem named (empty: none).
    const std::vector<std::tuple<QString T::*, const char*, const char*>> cases = {
        {&T::windDirection, "abc", "Wind direction: \"abc\" is not a number from 0 to 360 without decimals."},
        {&T::windDirection, "-50", "Wind direction: \"-50\" is not a number from 0 to 360 without decimals."},
        {&T::windDirection, "361", "Wind direction: \"361\" is not a number from 0 to 360 without decimals."},
        {&T::windDirection, "360", ""},
        {&T::windSpeed, "12,5", "Wind speed: \"12,5\" is not a number from 0 to 300 without decimals."},
        {&T::windGust, "1e9", "Gust: \"1e9\" is not a number from 0 to 300 without decimals."},
        {&T::cloudBase, "50001", "Cloud base: \"50001\" is not a number from 0 to 50000 without decimals."},
        {&T::visibilityMin, "0", ""},
        {&T::visibilityMax, "100001", "max. visibility: \"100001\" is not a number from 0 to 100000 without decimals."},
    };
    for (const auto& [field, text, problem] : cases) {
        T terms;
        terms.*field = QString::fromLatin1(text);
        EXPECT_EQ(terms.Problems(), *problem ? QStringList{problem} : QStringList()) << text;
        if (*problem) {
            EXPECT_TRUE(Search(terms).isEmpty()) << text;
        }
    }
}

class WxFinderDlgTest : public ::testing::Test
{
protected:
    // Runs the finder over the manager with the ICAO, cloud base and wind direction fields filled, presses
    // "Search now", accepts.
    void Search(aviation::weather::CWeatherManager& manager, const QString& icao, const QString& base = QString(),
                const QString& direction = QString())
    {
        WxFinderDlg dialog;
        ModalDialogAnswer<WxFinderDlg> answer([&](WxFinderDlg& shown) {
            shown.findChild<QLineEdit*>("lineEdit_icao")->setText(icao);
            shown.findChild<QLineEdit*>("lineEdit_cloud_base")->setText(base);
            auto* directionField = shown.findChild<QLineEdit*>("lineEdit_wind_dir");
            directionField->setText(direction);
            shown.findChild<QPushButton*>("pushButton_search")->click();
            results.clear();
            const QListWidget* list = shown.findChild<QListWidget*>("listWidget_result_metars");
            for (int row = 0; row < list->count(); ++row)
                results << list->item(row)->text();
            label = shown.findChild<QLabel*>("label__progress")->text();
            closedBySearch = !shown.isVisible();
            directionMarked = !directionField->styleSheet().isEmpty();
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
    bool directionMarked = false;
};

TEST_F(WxFinderDlgTest, SearchListsTheRawTextsOfTheHits)
{
    aviation::weather::CWeatherManager manager;
    std::wstring text;
    for (const auto& report : kReports)
        text += std::wstring(report.first) + L"\n";
    manager.InitMetar(text.substr(0, text.size() - 1), true);

    Search(manager, "eg", "2500");
    EXPECT_EQ(results, QStringList{QString::fromWCharArray(kReports[1].first)});
    EXPECT_EQ(label, "Metars founded: 1");
    Search(manager, "ZZ");
    EXPECT_TRUE(results.isEmpty());
    EXPECT_EQ(label, "Metars founded: 0");
    // Nothing filled in: no search, no message.
    Search(manager, QString());
    EXPECT_TRUE(results.isEmpty());
    EXPECT_EQ(label, "Please enter terms");
    EXPECT_TRUE(prompter.asked.empty());

    // Letters in a number field: the field is marked and named, and nothing is searched.
    Search(manager, QString(), QString(), "abc");
    EXPECT_TRUE(results.isEmpty());
    EXPECT_TRUE(directionMarked);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].text,
              "Nothing searched:\nWind direction: \"abc\" is not a number from 0 to 360 without decimals.");
}

TEST_F(WxFinderDlgTest, SearchWithoutWeatherSaysSoAndCloses)
{
    aviation::weather::CWeatherManager manager;
    Search(manager, "ED");
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, "Aerovane - WX-Finder");
    EXPECT_EQ(prompter.asked[0].text, "No Weather.\nPlease download weather.");
    EXPECT_TRUE(closedBySearch);
}

// A number field typed into and cleared again asks for nothing: it is not left marked.
TEST_F(WxFinderDlgTest, NumberFieldTypedIntoAndClearedAgainIsNotMarked)
{
    WxFinderDlg dialog;
    // The field, what is typed, and whether that is marked.
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"lineEdit_wind_dir", "361", true},  {"lineEdit_wind_speed", "12", false},
        {"lineEdit_wind_gust", "35", false}, {"lineEdit_cloud_base", "50001", true},
        {"lineEdit_vis_min", "800", false},  {"lineEdit_vis_max", "100001", true},
    };
    for (const auto& [name, text, marked] : cases) {
        auto* field = dialog.findChild<QLineEdit*>(name);
        ASSERT_NE(field, nullptr) << name;
        QTest::keyClicks(field, text);
        EXPECT_EQ(!field->styleSheet().isEmpty(), marked) << name << " " << text;
        for (const char* key = text; *key; ++key)
            QTest::keyClick(field, Qt::Key_Backspace);
        EXPECT_EQ(field->text(), "") << name;
        EXPECT_TRUE(field->styleSheet().isEmpty()) << name << " typed " << text << " and cleared";
    }
}
