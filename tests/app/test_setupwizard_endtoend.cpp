#include "dialogs/dialogoption.h"
#include "dialogs/dlgconfigurator.h"
#include "dialogs/wxstationfiles.h"
#include "mainwindowtest.h"
#include "platform/installpaths.h"
#include "tests/support/modaldialoganswer.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextEdit>

using SetupWizardEndToEnd = MainWindowTest;

namespace {

bool SavePicture(QWidget& widget, const QString& name)
{
    QApplication::processEvents();
    return widget.grab().toImage().save(QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/%1.png").arg(name));
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The wizard from the window's menu walks its three pages; a picture of each is left in the build folder.
TEST_F(SetupWizardEndToEnd, TheWizardWalksItsPagesAndStoresTheProposals)
{
    platform::ScopedInstallPaths installed({{QStringLiteral("Lockheed Martin/Prepar3D v2/AppPath"), "C:/P3D v2"},
                                            {platform::kDocumentsKey, "C:/Users/pilot/Documents"}});
    Aerovane_Pro& window = Window();
    window.show();
    ModalDialogAnswer<DlgConfigurator> answer([&](DlgConfigurator& wizard) {
        auto* pages = wizard.findChild<QStackedWidget*>(QStringLiteral("stackedWidget"));
        for (int page = 0; page < pages->count(); ++page) {
            EXPECT_EQ(pages->currentIndex(), page);
            EXPECT_TRUE(SavePicture(wizard, QStringLiteral("dlgconfigurator-") + pages->currentWidget()->objectName()));
            wizard.findChild<QPushButton*>(QStringLiteral("pushButton_next"))->click();
        }
        wizard.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Ok)->click();
        return true;
    });
    window.ui.actionSimple_Configurator->trigger();

    ASSERT_EQ(answer.Answered(), 1);
    CSettings::Release();
    EXPECT_EQ(CSettings::GetInterfaceType(), 3);
    EXPECT_EQ(CSettings::GetPathToFS(), "C:/P3D v2");
    EXPECT_EQ(CSettings::GetExportFPAirbusXFolder(), "C:/Users/pilot/Documents/Aerosoft/Airbus/FlightPlans");
}

// The options dialog's generator reads a Prepar3D's station files, extends them with the window's airports and
// writes the airport list with the Prepar3D flag on every line; the Interface tab is pictured afterwards.
TEST_F(SetupWizardEndToEnd, TheGeneratorExtendsTheSimulatorsFilesWithTheLoadedAirports)
{
    QTemporaryDir simulator;
    ASSERT_TRUE(QDir(simulator.path()).mkpath(QStringLiteral("Weather")));
    QFile(simulator.filePath(QStringLiteral("Prepar3D.exe"))).open(QIODevice::WriteOnly);
    const QByteArray stations = wxstationfiles::EncodeCode("EDDF") + wxstationfiles::EncodeCode("KJFK");
    const QByteArray mapping
        = wxstationfiles::EncodeMappingEntry({"EDDF", 50.0264f, 8.54313f, 111.0f, "Frankfurt Main, Germany"})
        + wxstationfiles::EncodeMappingEntry({"KJFK", 40.6398f, 286.221f, 4.0f, "New York Kennedy, United States"});
    for (const auto& [name, bytes] :
         {std::pair(QStringLiteral("wxstationlist.bin"), stations), {QStringLiteral("wxmapping.bin"), mapping}}) {
        QFile file(simulator.filePath(QStringLiteral("Weather/") + name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    Aerovane_Pro& window = Window();
    window.show();
    ModalDialogAnswer<DialogOption> answer([&](DialogOption& dialog) {
        auto* tabs = dialog.findChild<QTabWidget*>(QStringLiteral("tabWidget"));
        tabs->setCurrentWidget(dialog.findChild<QWidget*>(QStringLiteral("tab_Interface")));
        dialog.findChild<QLineEdit*>(QStringLiteral("lineEdit_Path_FS"))->setText(simulator.path());
        dialog.findChild<QPushButton*>(QStringLiteral("pushButton_reading_FS_wxstation"))->click();
        dialog.findChild<QPushButton*>(QStringLiteral("pushButton_create_ovyxstation"))->click();
        EXPECT_TRUE(dialog.findChild<QTextEdit*>(QStringLiteral("textEdit_result_fs_tool"))
                        ->toPlainText()
                        .contains(QStringLiteral("adding wxStation ICAO: EDDM")));
        EXPECT_TRUE(SavePicture(dialog, QStringLiteral("dialogoption-tab_Interface-generator")));
        return false;
    });
    window.ui.actionPreference->trigger();
    ASSERT_EQ(answer.Answered(), 1);

    const QList<QByteArray> lines = ReadFile(ProgramFile(QStringLiteral("airportlist.txt"))).split('\n');
    ASSERT_GT(lines.size(), 20000);
    for (int i = 1; i < lines.size() - 1; ++i)
        ASSERT_EQ(lines[i].split(';').value(8), "1") << lines[i].toStdString();
    const QByteArray grown = ReadFile(simulator.filePath(QStringLiteral("Weather/wxstationlist.bin")));
    EXPECT_TRUE(grown.startsWith(stations));
    EXPECT_GT(grown.size(), 20000 * 4);
    EXPECT_TRUE(ReadFile(simulator.filePath(QStringLiteral("Weather/wxmapping.bin"))).startsWith(mapping));
}
