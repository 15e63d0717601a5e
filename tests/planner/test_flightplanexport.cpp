#include "forms/mainwindowform.h"
#include "planner/dlgexportflightplan.h"
#include "planner/flightplanexport.h"
#include "settings/settings.h"
#include "tests/app/scopedappfolders.h"
#include "tests/flightplan/planfixtures.h"
#include "tests/generation/fakewindowhost.h"
#include "tests/generation/recordingprompter.h"
#include "tests/support/modaldialoganswer.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QIcon>
#include <gtest/gtest.h>

// The button icons live in the forms library's resources.
static void InitImages()
{
    Q_INIT_RESOURCE(images);
}

namespace {

aviation::CWaypointWX Point(const wchar_t* ident, double latitude, double longitude, int type)
{
    return aviation::CWaypointWX(ident, aviation::Position(latitude, longitude), L"", type, -1, 13.0f, 5.0f, 1013.2f);
}

// Seattle to Portland over the SEA and OLM VORs, as an imported plan: no airway names.
aviation::CFlightplan SeattleToPortland(int waypoints = 4)
{
    aviation::CFlightplan plan;
    plan.waypoints = {Point(L"KSEA", 47.449, -122.309306, 1), Point(L"SEA", 47.435372, -122.309781, 5),
                      Point(L"OLM", 46.971500, -122.902000, 5), Point(L"KPDX", 45.588700, -122.597500, 1)};
    plan.departure = plan.waypoints.front();
    plan.destination = plan.waypoints.back();
    plan.waypoints.resize(static_cast<std::size_t>(waypoints));
    plan.cruiseAltitude = 30000;
    return plan;
}

enum Format { FSX = 1, FS9 = 2, XPlane = 4, AirbusX = 8, SquawkBox = 16, All = 31 };

class FlightplanExportTest : public ::testing::Test
{
protected:
    FlightplanExportTest()
    {
        InitImages();
        ui.setupUi(&window);
        for (const char* name : {"fsx", "fs9", "xplane", "airbusx", "squawkbox"})
            QDir().mkpath(Folder(name));
        CSettings::SetExportFPFSXFolder(Folder("fsx"));
        CSettings::SetExportFPFS9Folder(Folder("fs9"));
        CSettings::SetExportFPXPlaneFolder(Folder("xplane"));
        CSettings::SetExportFPAirbusXFolder(Folder("airbusx"));
        CSettings::SetExportFPSquawkboxFolder(Folder("squawkbox"));
        CSettings::SetExportFPXPlane(true);
        ui.lineEdit_CruiseAlt->setText("FL300");
        ui.plainTextEdit_route->setPlainText("SEA OLM");
    }

    // Runs the export with the dialog's boxes set to `formats` and accepted (or cancelled); the number of dialogs.
    int Export(const aviation::CFlightplan& plan, int formats, bool accept = true)
    {
        ModalDialogAnswer<DlgExportFlightplan> answer([&](DlgExportFlightplan& dialog) {
            const auto& form = dialog.Form();
            form.checkBox_ExportFSXP3D->setChecked(formats & FSX);
            form.checkBox_ExportFS9->setChecked(formats & FS9);
            form.checkBox_Export_Xplane->setChecked(formats & XPlane);
            form.checkBox_Export_AirbusX->setChecked(formats & AirbusX);
            form.checkBox_Export_Squawkbox->setChecked(formats & SquawkBox);
            return accept;
        });
        FlightplanExport(&window, &ui, &host).Run(plan);
        return answer.Answered();
    }

    QString Folder(const QString& name) const { return folders.ProgramFile(name); }
    // Every file in the export folders, "folder/name", sorted.
    QStringList Written() const
    {
        QStringList files;
        const QDir root(folders.ProgramFile("."));
        QDirIterator it(root.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << root.relativeFilePath(it.next());
        files.sort();
        return files;
    }
    bool IconOk() const
    {
        return ui.pushButton_ExportFP->icon().pixmap(16).toImage() == QIcon(":/image/ok").pixmap(16).toImage();
    }

    ScopedAppFolders folders;
    RecordingPrompter prompter;
    ScopedPrompter scopedPrompter{prompter};
    FakeWindowHost host;
    CMainWindowForm window;
    Ui::Aerovane_ProClass& ui = window.ui;
};

} // namespace

TEST_F(FlightplanExportTest, WritesEveryTickedFormatAndLoadsThePlanIntoAConnectedSimulator)
{
    CSettings::SetInterfaceType(2);
    host.connected = true;
    EXPECT_EQ(Export(SeattleToPortland(), All), 1);
    EXPECT_EQ(Written(),
              QStringList({"airbusx/KSEAKPDX01.flp", "fs9/KSEA-KPDX.pln", "fsx/KSEA-KPDX.pln",
                           "squawkbox/KSEA-KPDX.sfp", "xplane/KSEAKPDX.fms"}));
    EXPECT_TRUE(ReadBytes(Folder("fsx/KSEA-KPDX.pln")).contains("<Title>KSEA to KPDX</Title>"));
    // The SquawkBox file takes the page's level and route as they stand.
    EXPECT_TRUE(ReadBytes(Folder("squawkbox/KSEA-KPDX.sfp")).contains("\nAltitude=FL300\n"));
    EXPECT_TRUE(IconOk());
    const QString fsxPlan = Folder("fsx/KSEA-KPDX.pln");
    EXPECT_EQ(host.log.size(), 6);
    EXPECT_EQ(host.log.mid(0, 2),
              QStringList({"(Flight planner) - file written - " + fsxPlan,
                           "(Flight planner) - Send Flightplan to FS - " + fsxPlan}));
    EXPECT_TRUE(host.calls.contains("LoadFlightPlanToFS(" + fsxPlan + ")"));

    // FSUIPC loads no plans; neither does a simulator that is not connected.
    for (const auto& [interfaceType, connected] : {std::pair{1, true}, std::pair{2, false}}) {
        host.calls.clear();
        CSettings::SetInterfaceType(interfaceType);
        host.connected = connected;
        Export(SeattleToPortland(), FSX);
        EXPECT_FALSE(host.calls.join(' ').contains("LoadFlightPlanToFS")) << interfaceType;
    }
}

TEST_F(FlightplanExportTest, CancelledChooserOrDialogAndTheXPlaneGateWriteNothing)
{
    CSettings::SetExportFPFSXFolder(QString());
    EXPECT_EQ(Export(SeattleToPortland(), All), 0);
    ASSERT_EQ(prompter.choosers.size(), 1u);
    EXPECT_EQ(prompter.choosers[0].caption, "Path To FS Flight Plan");
    EXPECT_FALSE(IconOk());

    // The dialog stores its switches even when cancelled.
    prompter.chooserAnswers = QStringList{Folder("fsx")};
    EXPECT_EQ(Export(SeattleToPortland(), FS9 | SquawkBox, false), 1);
    EXPECT_EQ(CSettings::GetExportFPFSXFolder(), Folder("fsx"));
    EXPECT_TRUE(CSettings::GetExportFPFS9() && CSettings::GetExportFPSquawkbox());
    EXPECT_TRUE(Written().isEmpty());
    EXPECT_FALSE(IconOk());

    // The ticked box is the switch of this run, whatever was stored before.
    CSettings::SetExportFPXPlane(false);
    Export(SeattleToPortland(), XPlane | AirbusX | SquawkBox);
    EXPECT_EQ(Written(), QStringList({"airbusx/KSEAKPDX01.flp", "squawkbox/KSEA-KPDX.sfp", "xplane/KSEAKPDX.fms"}));
    EXPECT_TRUE(IconOk());
}

TEST_F(FlightplanExportTest, OneMessageListsEveryTickedFormatNotWrittenAndWhy)
{
    // A folder below a plain file cannot be written into.
    QFile plain(Folder("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    CSettings::SetExportFPSquawkboxFolder(Folder("plain/squawkbox"));
    CSettings::SetExportFPFS9Folder(QString());
    const QString unwritable = QDir::toNativeSeparators(Folder("plain/squawkbox/KSEA-KPDX.sfp"));
    const struct
    {
        aviation::CFlightplan plan;
        int formats;
        QString message; // empty: none
    } cases[] = {
        {SeattleToPortland(), FSX | XPlane, ""},
        {SeattleToPortland(), FSX | FS9 | XPlane | SquawkBox,
         "Not every ticked format was exported:\nFS2004: no folder set\nSquawkBox: cannot write " + unwritable},
        // The airports only, no waypoint list to walk.
        {SeattleToPortland(1), AirbusX | XPlane,
         "Not every ticked format was exported:\nAirbus X: flight plan waypoint error, too few waypoints"},
    };
    for (const auto& c : cases) {
        prompter.asked.clear();
        Export(c.plan, c.formats);
        EXPECT_EQ(IconOk(), c.message.isEmpty()) << c.formats;
        ASSERT_EQ(prompter.asked.size(), c.message.isEmpty() ? 0u : 1u) << c.formats;
        if (!c.message.isEmpty()) {
            EXPECT_EQ(prompter.asked[0].text, c.message);
        }
    }
    // The formats after a failure are still written.
    EXPECT_TRUE(QFile::exists(Folder("xplane/KSEAKPDX.fms")));
}

TEST_F(FlightplanExportTest, FilesStayInsideTheirFolders)
{
    // An ident from a file or a reply names no other folder.
    aviation::CFlightplan plan = SeattleToPortland();
    plan.departure = Point(L"../x", 47.0, -122.0, 1);
    Export(plan, FSX | SquawkBox);
    EXPECT_EQ(Written(), QStringList({"fsx/.._x-KPDX.pln", "squawkbox/.._x-KPDX.sfp"}));
    CSettings::SetExportFPFS9Folder(QString());
    Export(SeattleToPortland(), FS9);
    EXPECT_FALSE(QFile::exists("/KSEA-KPDX.pln"));
}
