// The planner page as the user meets it: an X-Plane plan chosen with the import button shows its route, a file of
// garbage chosen next keeps it, and an aircraft of the bridge peer near a route point selects that point's row.
#include "mainwindowtest.h"
#include "planner/tab_flightplanner.h"

#include <QTest>

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
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.IsConnected(); }, 10000));
    const auto selectedIdent = [&] {
        const QModelIndexList rows = window.ui.tableView_waypoints->selectionModel()->selectedRows();
        return rows.isEmpty() ? QString() : rows.first().data().toString();
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return selectedIdent() == "EDDF"; }, 12000));

    const QImage picture = window.ui.tab_flightplanner->grab().toImage();
    EXPECT_TRUE(picture.save(QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/flightplanner.png")));
}
