// The planner page as the user meets it: an X-Plane plan chosen with the import button shows its route, a file of
// garbage chosen next keeps it, and an aircraft of the bridge peer near a route point selects that point's row.
#include "mainwindowtest.h"
#include "planner/tab_flightplanner.h"
#include "platform/clock.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>

namespace {

// Answers the start-up's boxes as the fixture does, hands the import its file and keeps the warnings.
struct ImportPrompter : AnsweringPrompter
{
    PromptAnswer Ask(const PromptRequest& request) override
    {
        if (request.kind == PromptKind::Warning)
            warnings << request.text;
        return AnsweringPrompter::Ask(request);
    }
    QString Choose(const ChooserRequest& request) override
    {
        return request.kind == ChooserKind::OpenFile ? path : QString();
    }
    int AskWithButtons(const PromptRequest&, const QStringList& buttons) override
    {
        return buttons.indexOf(QStringLiteral("Create PDF and Open"));
    }
    QString path;
    QStringList warnings;
};

using FlightPlannerEndToEnd = MainWindowTest;

} // namespace

TEST_F(FlightPlannerEndToEnd, ImportedXPlanePlanShowsTheRouteAndFollowsTheAircraft)
{
    QTemporaryDir plans;
    const QString path = plans.filePath("EDDFLOWW.fms");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("I\n3 version\n1\n1\n1 EDDF 0.000000 50.033333 8.570556\n1 LOWW 0.000000 48.110278 16.569722\n");
    file.close();
    ImportPrompter prompter;
    prompter.path = path;
    const ScopedPrompter scopedPrompter(prompter);
    // The page looks for the aircraft along the route at most every ten seconds of this clock.
    platform::ScopedClock clock(platform::NowSeconds());

    auto& window = Window();
    window.show();
    window.ui.tabWidgetMain->setCurrentWidget(window.ui.tab_flightplanner);
    window.ui.pushButton_FpImport->click();
    EXPECT_EQ(window.ui.lineEdit_Dep->text(), "EDDF");
    EXPECT_EQ(window.ui.lineEdit_Arrival->text(), "LOWW");
    EXPECT_EQ(window.ui.plainTextEdit_route->toPlainText(), "EDDF LOWW");
    EXPECT_EQ(window.ui.lineEdit_dist->text(), "335.3NM");
    EXPECT_EQ(window.ui.lineEdit_avaerageDir->text(), QString::fromUtf8("107.1°"));

    // A file of garbage leaves the plan as it was and says why.
    QFile garbage(plans.filePath("garbage.pln"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("\x89PNG\r\n\x1a\n\0\0\0\rIHDR not a flight plan\n");
    garbage.close();
    prompter.path = garbage.fileName();
    window.ui.pushButton_FpImport->click();
    EXPECT_EQ(window.ui.plainTextEdit_route->toPlainText(), "EDDF LOWW");
    EXPECT_EQ(window.ui.lineEdit_dist->text(), "335.3NM");
    EXPECT_EQ(window.ui.tableView_waypoints->model()->rowCount(), 2);
    EXPECT_EQ(prompter.warnings,
              QStringList{"garbage.pln was not imported: it is no FSX/P3D, FS2004 or X-Plane flight plan."});

    // 2.3 NM north of Frankfurt.
    aviation::structs::CAircraft aircraft;
    aircraft.SetLatitude(50.033333 + 2.3 / 60.0);
    aircraft.SetLongitude(8.570556);
    aircraft.altitude = 3000;
    peer.SetAircraft(aircraft);
    window.ui.actionConnect_to_FS->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.IsConnected(); }, 10000)) << "connected";
    const auto selectedIdent = [&] {
        const QModelIndexList rows = window.ui.tableView_waypoints->selectionModel()->selectedRows();
        return rows.isEmpty() ? QString() : rows.first().data().toString();
    };
    clock.AdvanceMs(CTab_Flightplanner::kPositionSearchIntervalMs + 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return selectedIdent() == "EDDF"; }, 30000))
        << "the next aircraft sample selected the nearby route point";

    const QImage picture = window.ui.tab_flightplanner->grab().toImage();
    EXPECT_TRUE(picture.save(QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/flightplanner.png")));
}

TEST_F(FlightPlannerEndToEnd, SmallScreenShowsFiveRowsAndExportAndALongPrintoutKeepsTheWindowAnswering)
{
    // A 2,000-point route along the 50th parallel.
    QTemporaryDir plans;
    QByteArray fms = "I\n3 version\n1\n1999\n1 EDDF 0.000000 50.033333 8.570556\n";
    for (int i = 1; i < 1999; ++i)
        fms += QByteArray("11 P") + QByteArray::number(i) + " 0 50.000000 " + QByteArray::number(8.6 + i * 0.004)
            + "\n";
    fms += "1 EPKK 0.000000 50.077731 19.784836\n";
    QFile file(plans.filePath("long.fms"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(fms);
    file.close();
    ImportPrompter prompter;
    prompter.path = file.fileName();
    const ScopedPrompter scopedPrompter(prompter);

    auto& window = Window();
    window.resize(1024, 768);
    window.show();
    window.ui.tabWidgetMain->setCurrentWidget(window.ui.tab_flightplanner);
    window.ui.pushButton_FpImport->click();
    ASSERT_EQ(window.ui.tableView_waypoints->model()->rowCount(), 2000);
    QTest::qWait(100);
    ASSERT_LE(window.height(), 768);

    // Scrolled down to the Export button, the page shows it whole with five waypoint rows above it.
    window.ui.scrollAreaFP->ensureWidgetVisible(window.ui.pushButton_ExportFP);
    QTest::qWait(50);
    QPushButton* exportButton = window.ui.pushButton_ExportFP;
    EXPECT_EQ(exportButton->visibleRegion().boundingRect(), exportButton->rect());
    QTableView* table = window.ui.tableView_waypoints;
    const int rowsInSight = (table->visibleRegion().boundingRect().height() - table->horizontalHeader()->height())
        / table->verticalHeader()->defaultSectionSize();
    EXPECT_GE(rowsInSight, 5);
    QWidget* page = window.ui.tab_flightplanner;
    EXPECT_TRUE(page->grab().toImage().save(QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/flightplanner_1024x768.png")));

    // The printout, watched by a timer, is cancelled half way: the earlier file stays.
    const QString pdf = QDir(platform::ProgramFolder()).filePath("lastFP.pdf");
    QFile earlier(pdf);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("the earlier flight plan");
    earlier.close();
    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 longestPause = 0;
    int progressSeen = 0;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        longestPause = std::max(longestPause, clock.elapsed() - lastTick);
        lastTick = clock.elapsed();
        auto* progress = window.findChild<QProgressDialog*>();
        if (progress != nullptr && progress->value() > progress->maximum() / 2) {
            progressSeen = progress->value();
            progress->cancel();
        }
    });
    clock.start();
    watch.start();
    window.ui.pushButton_printFp->click();
    watch.stop();
    EXPECT_GT(progressSeen, 0);
    EXPECT_LT(longestPause, 200);
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), "the earlier flight plan");
    EXPECT_FALSE(QFile::exists(pdf + ".part"));
}
