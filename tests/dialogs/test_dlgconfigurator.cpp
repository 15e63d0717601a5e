#include "dialogs/dlgconfigurator.h"

#include "platform/installpaths.h"
#include "platform/simconnectsim.h"
#include "settings/settings.h"
#include "simlink/fsuipcsimulator.h"
#include "simlink/linkmessage.h"
#include "tests/generation/recordingprompter.h"
#include "tools/bridge-peer/bridgepeer.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using aviation::IPC::CFSUIPCSimulator;
using aviation::IPC::CScopedFSUIPCTransport;
using platform::ScopedInstallPaths;

namespace {

const QString kP3Dv2 = QStringLiteral("Lockheed Martin/Prepar3D v2/AppPath");
const QString kP3Dv3 = QStringLiteral("Lockheed Martin/Prepar3D v3/AppPath");
const QString kFSX = QStringLiteral("Microsoft/Microsoft Games/Flight Simulator/10.0/AppPath");

class DlgConfiguratorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_workDir.isValid());
        CSettings::Release();
        m_previousDir = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_workDir.path()));
    }
    void TearDown() override
    {
        m_dialog.reset();
        CSettings::Release();
        QDir::setCurrent(m_previousDir);
    }

    DlgConfigurator& Wizard()
    {
        if (!m_dialog)
            m_dialog = std::make_unique<DlgConfigurator>();
        return *m_dialog;
    }
    template<typename W> W* Widget(const char* name) { return Wizard().findChild<W*>(QString::fromLatin1(name)); }
    QString Text(const char* lineEdit) { return Widget<QLineEdit>(lineEdit)->text(); }
    QString Debug() { return Widget<QTextEdit>("textEdit_debug")->toPlainText(); }
    void Next() { Widget<QPushButton>("pushButton_next")->click(); }
    QPushButton* TestButton() { return Widget<QPushButton>("pushButton_testConnection"); }
    void Tick() { QMetaObject::invokeMethod(&Wizard(), "OnTimerConnectionCheck"); }
    QVariant Stored(const QString& key)
    {
        CSettings::Release();
        return QSettings(m_workDir.filePath(QStringLiteral("aerovane_pro.ini")), QSettings::IniFormat)
            .value(key.startsWith(QLatin1String("general/")) ? QStringLiteral("General/") + key.mid(8) : key);
    }

    QTemporaryDir m_workDir;
    RecordingPrompter m_prompter;
    ScopedPrompter m_scopedPrompter{m_prompter};
    std::unique_ptr<DlgConfigurator> m_dialog;

private:
    QString m_previousDir;
};

} // namespace

TEST_F(DlgConfiguratorTest, ProposesTheInstalledSimulatorAndFolders)
{
    {
        ScopedInstallPaths only3({{kP3Dv3, "D:/P3D v3"}, {platform::kDocumentsKey, "C:\\Users\\pilot\\Documents"}});
        EXPECT_TRUE(Debug().startsWith("Auto detected Path P3Dv3: D:/P3D v3\nAuto detected Path P3Dv2: not found\n"
                                       "Auto detected Path FSX: not found"));
        EXPECT_EQ(Widget<QButtonGroup>("buttonGroup")->checkedButton(), nullptr);
        EXPECT_FALSE(Widget<QRadioButton>("radioButton_FSUIPC_Simconnect")->isChecked());
        EXPECT_FALSE(Widget<QPushButton>("pushButton_back")->isEnabled());
        Next();
        Next();
        EXPECT_FALSE(Widget<QPushButton>("pushButton_next")->isEnabled());
        EXPECT_EQ(Text("lineEdit_folder_fs9fsxp3d"), "D:/P3D v3");
        EXPECT_EQ(Text("lineEdit_export_fp_folder_airbus"), "C:/Users/pilot/Documents/Aerosoft/Airbus/FlightPlans");
        EXPECT_EQ(Text("lineEdit_export_fp_folder_xplane"), "");

        // Choosing the X-Plane folder proposes its flight plan folder.
        m_prompter.chooserAnswers = QStringList{"/opt/X-Plane 11"};
        Widget<QToolButton>("toolButton_path_xplane")->click();
        EXPECT_EQ(m_prompter.choosers.at(0).caption, "Path XPlane");
        EXPECT_EQ(Text("lineEdit_export_fp_folder_xplane"), "/opt/X-Plane 11/Output/FMS plans");
        m_dialog.reset();
    }
    ScopedInstallPaths both({{kP3Dv2, "C:/P3D v2"}, {kP3Dv3, "C:/P3D v3"}, {kFSX, "C:/FSX"}});
    EXPECT_TRUE(Debug().contains("Selected Flight Sim Prepar3D\nSelected Interface FSUIPC & SimConnect"));
    EXPECT_TRUE(Widget<QRadioButton>("radioButton_P3D")->isChecked());
    EXPECT_TRUE(Widget<QRadioButton>("radioButton_FSUIPC_Simconnect")->isChecked());
    Next();
    Next();
    EXPECT_EQ(Text("lineEdit_folder_fs9fsxp3d"), "C:/P3D v3");
}

TEST_F(DlgConfiguratorTest, AutoConnectionRefusesTheTest)
{
    ScopedInstallPaths none({});
    Widget<QRadioButton>("radioButton_xplane")->setChecked(true);
    Next();
    EXPECT_TRUE(Widget<QRadioButton>("radioButton_client")->isChecked());
    EXPECT_TRUE(Widget<QLineEdit>("lineEdit_ServerIP")->isEnabled());
    EXPECT_FALSE(TestButton()->isEnabled());
    EXPECT_EQ(TestButton()->styleSheet(), "background-color: rgb(255, 0, 0);");
    EXPECT_TRUE(Debug().endsWith("Disable Test Connection... because Auto-Connection is enabled\n"
                                 "Disable Auto-Connection, restart Aerovane and try again"));
    QMetaObject::invokeMethod(&Wizard(), "OnCheckConnection");
    EXPECT_TRUE(Debug().endsWith("try again\nDisable Test Connection... because Auto-Connection is enabled"));
    EXPECT_EQ(Wizard().findChild<QTimer*>(), nullptr);
}

TEST_F(DlgConfiguratorTest, TestsTheFSUIPCAndSimConnectLinksEverySecond)
{
    ScopedInstallPaths none({});
    CSettings::SetAutoConnectFS(false);
    CFSUIPCSimulator noSimulator;
    {
        CScopedFSUIPCTransport transport(noSimulator);
        Widget<QRadioButton>("radioButton_fsuipc")->setChecked(true);
        TestButton()->click();
        EXPECT_EQ(TestButton()->text(), "Abort Check Connection");
        Tick();
        Tick();
        EXPECT_EQ(Debug().count("FSUIPC not connected"), 2);
        TestButton()->click();
        EXPECT_EQ(TestButton()->text(), "Test Connection");
    }

    // The simulator the environment names answers, as it does for the program.
    const char* before = std::getenv("AEROVANE_SIM");
    const std::string saved = before ? before : "";
    setenv("AEROVANE_SIM", "fsx", 1);
    CFSUIPCSimulator fsx(CFSUIPCSimulator::KindFromEnvironment());
    CScopedFSUIPCTransport transport(fsx);
    platform::simconnect::ScopedSimConnect simConnect(platform::simconnect::SimulatorFromEnvironment());
    Widget<QRadioButton>("radioButton_FSUIPC_Simconnect")->setChecked(true);
    TestButton()->click();
    Tick();
    EXPECT_TRUE(
        Debug().contains(QRegularExpression("FSUIPC connected\nFS-Version: FSX\nFSUIPC-Version: FSUIPC-Ver: .+\n"
                                            "SimConnect connected\nSimConnect-Version: AppVersion=.+$")))
        << Debug().toStdString();
    EXPECT_EQ(TestButton()->text(), "Test Connection");
    Next();
    Next();
    EXPECT_EQ(Text("lineEdit_export_fp_older_fs9fsxp3d"), "C:/Flight Plans");
    if (before)
        setenv("AEROVANE_SIM", saved.c_str(), 1);
    else
        unsetenv("AEROVANE_SIM");
}

TEST_F(DlgConfiguratorTest, TestsTheBridgeAndNamesItsSimulator)
{
    ScopedInstallPaths none({});
    CSettings::SetAutoConnectFS(false);
    tools::CBridgePeer peer;
    ASSERT_TRUE(peer.Start());
    peer.SetSimulator(tools::CBridgePeer::Simulator::P3D);
    Widget<QRadioButton>("radioButton_client")->setChecked(true);
    Widget<QLineEdit>("lineEdit_ServerPort")->setText(QString::number(peer.GetPort()));
    TestButton()->click();
    Tick();
    EXPECT_TRUE(Debug().endsWith("Connected to Aerovane Bridge/Nimbolux\nFS Type: Prepar3D"));
    EXPECT_EQ(TestButton()->text(), "Test Connection");

    peer.AnswerNextWith(CLinkMessage(LinkAnsw, 0, "ServerName=Aerovane Bridge:ServerAPIVersion=1002").ToString()
                        + "\n");
    peer.AnswerNextWith(CLinkMessage(LinkFsst, 80, "SimVersion=7:FSVersion=7").ToString() + "\n");
    TestButton()->click();
    Tick();
    EXPECT_TRUE(Debug().endsWith("FS Type: no detected"));
}

TEST_F(DlgConfiguratorTest, OkStoresTheLinkAndTheFilledFoldersOnly)
{
    ScopedInstallPaths none({});
    CSettings::SetExportFPXPlaneFolder(QStringLiteral("/kept"));
    Widget<QLineEdit>("lineEdit_folder_fs9fsxp3d")->setText(QStringLiteral("C:/FSX"));
    Widget<QLineEdit>("lineEdit_export_fp_folder_airbus")->setText(QStringLiteral("C:/Airbus"));
    Widget<QLineEdit>("lineEdit_export_fp_folder_xplane")->clear();
    Widget<QLineEdit>("lineEdit_ServerIP")->setText(QStringLiteral("10.0.0.2"));
    Widget<QDialogButtonBox>("buttonBox")->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(Wizard().result(), QDialog::Accepted);
    EXPECT_EQ(Stored("interface/type").toInt(), 0);
    EXPECT_EQ(Stored("interface/PathToFS").toString(), "C:/FSX");
    EXPECT_EQ(Stored("general/ExportFPAirbusXFolder").toString(), "C:/Airbus");
    EXPECT_TRUE(Stored("general/ExportFPAirbusX").toBool());
    EXPECT_FALSE(Stored("general/ExportFPFSX").isValid());
    EXPECT_EQ(Stored("general/ExportFPXPlaneFolder").toString(), "/kept");
    EXPECT_FALSE(Stored("interface/ServerIP").isValid());
}

TEST(WineInstallPaths, ReadsTheUserRegistryAndMapsDrivesThroughDosdevices)
{
    QTemporaryDir prefix;
    QFile reg(prefix.filePath(QStringLiteral("user.reg")));
    ASSERT_TRUE(reg.open(QIODevice::WriteOnly));
    reg.write("WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
              "[Software\\\\Lockheed Martin\\\\Prepar3D v3] 1701234567\n#time=1d9f3a2b4c5d6e7\n"
              "\"AppPath\"=\"C:\\\\P3D\\\\\"\n\"SetupPath\"=dword:00000001\n\n"
              "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1701234567\n"
              "\"Personal\"=\"D:\\\\Documents\"\n");
    reg.close();
    const platform::WineInstallPaths paths(prefix.path());
    EXPECT_EQ(paths.Path(kP3Dv3), prefix.path() + "/dosdevices/c:/P3D");
    EXPECT_EQ(paths.Path(platform::kDocumentsKey), prefix.path() + "/dosdevices/d:/Documents");
    EXPECT_EQ(paths.Path(kP3Dv2), "");
    EXPECT_EQ(paths.Path(QStringLiteral("Lockheed Martin/Prepar3D v3/SetupPath")), "");
}
