// The planner page against the loopback route finder and the simulated FSX: find, pick, calculate, export, load.
#include "mainwindowtest.h"
#include "planner/dlgexportflightplan.h"
#include "planner/dlgflightplans.h"
#include "platform/simconnectsim.h"
#include "tests/support/modaldialoganswer.h"

#include <QTableWidget>
#include <QTest>

namespace {

namespace sim = platform::simconnect;

class FlightExportEndToEnd : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ServerAddresses addresses = CSettings::GetServerAddresses();
        addresses.routeFinderUrl = server.BaseUrl();
        m_addresses = std::make_unique<ScopedServerAddresses>(addresses);
        CSettings::SetInterfaceType(2);
        for (const char* name : {"fsx", "fs9", "xplane", "airbusx", "squawkbox"})
            QDir(m_exports.path()).mkpath(name);
        CSettings::SetExportFPFSXFolder(Export("fsx"));
        CSettings::SetExportFPFS9Folder(Export("fs9"));
        CSettings::SetExportFPXPlaneFolder(Export("xplane"));
        CSettings::SetExportFPAirbusXFolder(Export("airbusx"));
        CSettings::SetExportFPSquawkboxFolder(Export("squawkbox"));
        CSettings::SetExportFPXPlane(true);
    }

    void TearDown() override
    {
        m_addresses.reset();
        MainWindowTest::TearDown();
    }

    QString Export(const QString& name) const { return m_exports.filePath(name); }

    sim::ScopedSimConnect simulator{"fsx"};

private:
    QTemporaryDir m_exports;
    std::unique_ptr<ScopedServerAddresses> m_addresses;
};

} // namespace

TEST_F(FlightExportEndToEnd, FoundRouteIsExportedInEveryFormatAndLoadedIntoTheSimulator)
{
    Aerovane_Pro& window = Window();
    window.show();
    window.OnButtonConnect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.IsConnected(); }, 10000)) << "connected";
    window.ui.tabWidgetMain->setCurrentWidget(window.ui.tab_flightplanner);
    window.ui.lineEdit_Dep->setText("EDDF");
    window.ui.lineEdit_Arrival->setText("LOWW");

    ModalDialogAnswer<DlgFlightplans> picker([](DlgFlightplans& dialog) {
        auto* table = dialog.findChild<QTableWidget*>("tableWidget");
        EXPECT_EQ(table->rowCount(), 2);
        EXPECT_EQ(table->item(0, 1)->text(), "EDDF DCT LOWW");
        dialog.grab().save(QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/flightexport-picker.png"));
        emit table->cellDoubleClicked(0, 0);
        return true;
    });
    window.ui.pushButton_online_vatroute->click();
    ASSERT_EQ(picker.Answered(), 1);
    EXPECT_EQ(window.ui.plainTextEdit_route->toPlainText(), "EDDF DCT LOWW");
    EXPECT_EQ(window.ui.lineEdit_dist->text(), "335.3NM");
    EXPECT_EQ(window.ui.lineEdit_avaerageDir->text(), QString("107.1") + QChar(0x00B0));
    EXPECT_TRUE(server.Requests().filter("/access.php").first().endsWith("&dep=EDDF&dest=LOWW"));
    window.ui.tab_flightplanner->grab().save(QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/flightexport-page.png"));
    ASSERT_FALSE(window.ui.tab_flightplanner->GetFlightPlan().waypoints.empty());

    ModalDialogAnswer<DlgExportFlightplan> options([](DlgExportFlightplan& dialog) {
        const auto& form = dialog.Form();
        for (QCheckBox* box : {form.checkBox_ExportFSXP3D, form.checkBox_ExportFS9, form.checkBox_Export_Xplane,
                               form.checkBox_Export_AirbusX, form.checkBox_Export_Squawkbox})
            box->setChecked(true);
        return true;
    });
    window.ui.pushButton_ExportFP->click();
    ASSERT_EQ(options.Answered(), 1);
    const QStringList written
        = {Export("fsx/EDDF-LOWW.pln"), Export("fs9/EDDF-LOWW.pln"), Export("xplane/EDDFLOWW.fms"),
           Export("airbusx/EDDFLOWW01.flp"), Export("squawkbox/EDDF-LOWW.sfp")};
    for (const QString& path : written)
        EXPECT_TRUE(QFile::exists(path)) << path.toStdString();
    EXPECT_EQ(window.ui.pushButton_ExportFP->icon().pixmap(16).toImage(), QIcon(":/image/ok").pixmap(16).toImage());
    EXPECT_EQ(sim::FlightPlans(), std::vector<std::string>{written[0].toStdString()});
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return LogText().contains("(Flight planner) - Send Flightplan to FS - "); }, 60000))
        << "the plan sent to the simulator is logged";
}
