// The planner page as a user works it: a profile chosen in the toolbar, two airports typed, Calculate with the
// weather fetched from the loopback server, then the plan as a PDF.
#include "generation/weatherworker.h"
#include "mainwindowtest.h"
#include "recordinglauncher.h"

#include <QComboBox>
#include <QProcess>
#include <QTest>

namespace {

// Answers the weather question with Yes and the print box with "Create PDF and Open".
class PlannerAnswers : public CPrompter
{
public:
    PromptAnswer Ask(const PromptRequest& request) override
    {
        return request.kind == PromptKind::Question ? PromptAnswer::Yes : PromptAnswer::Ok;
    }
    int AskWithButtons(const PromptRequest&, const QStringList& buttons) override
    {
        return buttons.indexOf("Create PDF and Open");
    }
};

class FlightCalculationEndToEnd : public MainWindowTest
{
protected:
    QString Cell(int row, int column)
    {
        return Window().ui.tableView_waypoints->model()->index(row, column).data().toString();
    }

    PlannerAnswers answers;
    ScopedPrompter scopedAnswers{answers};
    RecordingLauncher launcher;
    platform::ScopedLauncher scopedLauncher{launcher};
};

} // namespace

TEST_F(FlightCalculationEndToEnd, TypedAirportsCalculatedWithDownloadedWeatherAndPrintedAsPdf)
{
    QDir(ProgramFolderPath()).mkpath("AircraftConfigs");
    QFile profile(ProgramFile("AircraftConfigs/Boeing_777-200ER.cfg"));
    ASSERT_TRUE(profile.open(QIODevice::WriteOnly));
    profile.write("name=Boeing 777-200ER\n[Fuel]\nFuelFlow=5300\nTaxiFuel=600\nHoldingFuel=3500\nExtraFuel=2000\n"
                  "[Speeds]\nCruiseAlt=35000\ncruiseSpeed=450\nmaxAlt=43100\n");
    profile.close();

    Aerovane_Pro& window = Window();
    window.resize(1400, 1000);
    window.show();
    window.ui.tabWidgetMain->setCurrentWidget(window.ui.tab_flightplanner);
    QComboBox* aircraft = window.ui.toolBar->findChild<QComboBox*>();
    ASSERT_NE(aircraft, nullptr);
    aircraft->setCurrentIndex(aircraft->findText("Boeing 777-200ER"));
    QTest::keyClicks(window.ui.lineEdit_Dep, "ksea");
    QTest::keyClicks(window.ui.lineEdit_Arrival, "kpdx");
    window.ui.lineEdit_CruiseAlt->setText("35000");
    QTest::mouseClick(window.ui.pushButton_Calculate, Qt::LeftButton);

    EXPECT_EQ(window.GetWeatherWorker()->GetWeatherSource(), WeatherDataLive);
    ASSERT_EQ(window.ui.tableView_waypoints->model()->rowCount(), 2);
    EXPECT_EQ(QStringList({Cell(0, 0), Cell(0, 7), Cell(0, 8)}), QStringList({"KSEA", "220°/7 kt", "9°C"}));
    EXPECT_EQ(QStringList({Cell(1, 0), Cell(1, 7), Cell(1, 8)}), QStringList({"KPDX", "260°/6 kt", "12°C"}));
    EXPECT_FALSE(window.ui.lineEdit_estimatedFlightTime->text().isEmpty());
    EXPECT_GT(window.ui.lineEdit_fuel_route->text().toInt(), 0);
    EXPECT_EQ(window.ui.lineEdit_fuel_total->text().toInt(), window.ui.lineEdit_fuel_route->text().toInt() + 6100);
    EXPECT_TRUE(window.ui.pushButton_printFp->isEnabled());
    window.ui.tab_flightplanner->grab().save(AEROVANE_TEST_OUTPUT_DIR "/flightcalculation.png");

    QTest::mouseClick(window.ui.pushButton_printFp, Qt::LeftButton);
    const QString pdf = ProgramFile("lastFP.pdf");
    ASSERT_EQ(launcher.calls.size(), 1u);
    EXPECT_EQ(launcher.calls[0].second, pdf);
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(30000)) << "pdftotext ended";
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(printed.contains("KSEA 221853Z 22007KT 10SM SCT005 SCT015 BKN030 09/08 A2977"));
    EXPECT_TRUE(printed.contains("KPDX 221853Z 26006KT 10SM FEW025 BKN030 BKN047 12/08 A2980"));
}
