// The flight planner page as a user works it: a profile chosen in the toolbar, two airports typed, Calculate
// with the weather fetched from the loopback server, then the PDF of the plan.

#include "generation/weatherworker.h"
#include "mainwindowtest.h"
#include "recordinglauncher.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {

// Answers the planner's weather question with Yes and its print box with "Create PDF and Open".
class PlannerAnswers : public CPrompter
{
public:
    PromptAnswer Ask(const PromptRequest& request) override
    {
        asked << request.text;
        return request.kind == PromptKind::Question ? PromptAnswer::Yes : PromptAnswer::Ok;
    }
    int AskWithButtons(const PromptRequest& request, const QStringList& buttons) override
    {
        asked << request.text;
        return buttons.indexOf(QStringLiteral("Create PDF and Open"));
    }

    QStringList asked;
};

constexpr const char* kProfile = "name=Boeing 777-200ER\n"
                                 "type=B772\n"
                                 "[Fuel]\n"
                                 "FuelFlow=5300\n"
                                 "TaxiFuel=600\n"
                                 "HoldingFuel=3500\n"
                                 "ExtraFuel=2000\n"
                                 "[Speeds]\n"
                                 "CruiseAlt=35000\n"
                                 "cruiseSpeed=450\n"
                                 "maxAlt=43100\n";

} // namespace

class FlightCalculationEndToEnd : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(QDir(ProgramFolderPath()).mkpath(QStringLiteral("AircraftConfigs")));
        QFile profile(ProgramFile(QStringLiteral("AircraftConfigs/Boeing_777-200ER.cfg")));
        ASSERT_TRUE(profile.open(QIODevice::WriteOnly));
        profile.write(kProfile);
    }

    // The waypoint table's cell text.
    static QString Cell(Aerovane_Pro& window, int row, int column)
    {
        return window.ui.tableView_waypoints->model()->index(row, column).data().toString();
    }

    PlannerAnswers answers;
    ScopedPrompter scopedAnswers{answers};
    RecordingLauncher launcher;
    platform::ScopedLauncher scopedLauncher{launcher};
};

TEST_F(FlightCalculationEndToEnd, TypedAirportsCalculatedWithDownloadedWeatherAndPrintedAsPdf)
{
    Aerovane_Pro& window = Window();
    window.resize(1400, 1000);
    window.show();
    window.ui.tabWidgetMain->setCurrentWidget(window.ui.tab_flightplanner);
    QComboBox* aircraft = window.ui.toolBar->findChild<QComboBox*>();
    ASSERT_NE(aircraft, nullptr);
    aircraft->setCurrentIndex(aircraft->findText(QStringLiteral("Boeing 777-200ER")));

    QTest::keyClicks(window.ui.lineEdit_Dep, QStringLiteral("ksea"));
    QTest::keyClicks(window.ui.lineEdit_Arrival, QStringLiteral("kpdx"));
    window.ui.lineEdit_CruiseAlt->setText(QStringLiteral("35000"));
    ASSERT_TRUE(window.ui.pushButton_Calculate->isEnabled());
    QTest::mouseClick(window.ui.pushButton_Calculate, Qt::LeftButton);

    EXPECT_EQ(answers.asked.value(0), QStringLiteral("No Weather.\nDownload Weather Now?"));
    EXPECT_EQ(window.GetWeatherWorker()->GetWeatherSource(), WeatherDataLive);
    ASSERT_EQ(window.ui.tableView_waypoints->model()->rowCount(), 2);
    EXPECT_EQ(Cell(window, 0, 0), QStringLiteral("KSEA"));
    EXPECT_EQ(Cell(window, 0, 7), QStringLiteral("220°/7 kt"));
    EXPECT_EQ(Cell(window, 0, 8), QStringLiteral("9°C"));
    EXPECT_EQ(Cell(window, 1, 0), QStringLiteral("KPDX"));
    EXPECT_EQ(Cell(window, 1, 7), QStringLiteral("260°/6 kt"));
    EXPECT_EQ(Cell(window, 1, 8), QStringLiteral("12°C"));
    EXPECT_FALSE(window.ui.lineEdit_estimatedFlightTime->text().isEmpty());
    EXPECT_NE(window.ui.lineEdit_fuel_route->text().toInt(), 0);
    EXPECT_EQ(window.ui.lineEdit_fuel_total->text().toInt(), window.ui.lineEdit_fuel_route->text().toInt() + 6100);
    EXPECT_TRUE(window.ui.pushButton_printFp->isEnabled());
    EXPECT_TRUE(window.ui.pushButton_Calculate->isEnabled());
    window.ui.tab_flightplanner->grab().save(QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/flightcalculation.png"));

    QTest::mouseClick(window.ui.pushButton_printFp, Qt::LeftButton);
    const QString pdf = QDir(ProgramFolderPath()).filePath(QStringLiteral("lastFP.pdf"));
    ASSERT_EQ(launcher.calls.size(), 1u);
    EXPECT_EQ(launcher.calls[0].second, pdf);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(printed.contains(QStringLiteral("KSEA 221853Z 22007KT 10SM SCT005 SCT015 BKN030 09/08 A2977")));
    EXPECT_TRUE(printed.contains(QStringLiteral("KPDX 221853Z 26006KT 10SM FEW025 BKN030 BKN047 12/08 A2980")));
}
