// The load editor page as the program builds it, against the bridge peer playing FSX: the aircraft's tanks and
// stations arrive as gauges, an aircraft without profile gets one from the editor, and Apply writes the loads
// into the simulator. Runs on a real X server.
#include "loadeditor/aircraftconfigdlg.h"
#include "loadeditor/fuelbox.h"
#include "loadeditor/paxebox.h"
#include "mainwindowtest.h"
#include "simlink/linkmessage.h"
#include "tests/support/modaldialoganswer.h"

#include <QFileInfo>
#include <QPushButton>
#include <QTest>

namespace {

// Answers the editor's offer with Yes, every other box of the window as the fixture's prompter does.
class EditorOfferPrompter : public CPrompter
{
public:
    PromptAnswer Ask(const PromptRequest& request) override
    {
        if (request.title == QLatin1String("Aircraft Configurator")) {
            offers << request.text;
            return PromptAnswer::Yes;
        }
        return request.kind == PromptKind::Question ? PromptAnswer::No : PromptAnswer::Ok;
    }
    QStringList offers;
};

} // namespace

class LoadEditorEndToEnd : public MainWindowTest
{
};

TEST_F(LoadEditorEndToEnd, GaugesFromTheSimulatorANewProfileAndLoadsWrittenBack)
{
    EditorOfferPrompter prompter;
    ScopedPrompter scopedPrompter(prompter);
    Aerovane_Pro& window = Window();
    window.show();
    window.ui.actionConnect_to_FS->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.IsConnected(); }, 10000));

    // The editor, offered for the unknown aircraft, takes the simulator's data and saves it as its profile.
    ModalDialogAnswer<CAircraftConfigDlg> editor([](CAircraftConfigDlg& dialog) {
        dialog.pushButton_refresh->click();
        dialog.buttonBox->button(QDialogButtonBox::Save)->click();
        return true;
    });
    Ui::Aerovane_ProClass& ui = window.ui;
    ui.tabWidgetMain->setCurrentWidget(ui.tab_LoadEditor);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return ui.widget_ScrollMainPayload->findChildren<CPaxeBox*>().size() == 6; }, 10000));

    EXPECT_EQ(prompter.offers,
              QStringList{"Aircraft Config not found for this Aircraft.\nDo you want to start the Aircraft Editor"});
    const QList<CFuelBox*> tanks = ui.widget_ScrollMainFuel->findChildren<CFuelBox*>();
    ASSERT_EQ(tanks.size(), 3);
    EXPECT_EQ(ui.widget_ScrollMainPayload->findChildren<CPaxeBox*>().size(), 6);
    EXPECT_EQ(ui.lineEdit_fuelTotal->text(), "3350.50");
    EXPECT_EQ(ui.label_Gallon->text(), "Gal");
    EXPECT_EQ(ui.lineEdit_fuelTotalWeight->text(), "22448.35");
    EXPECT_EQ(ui.lineEdit_totalPayloadWeight->text(), "20640.00");
    EXPECT_TRUE(QFileInfo::exists(ProgramFile("AircraftConfigs/Boeing_737-800_Aerovane_Air.cfg")));

    CFuelBox* center = tanks[1];
    ASSERT_EQ(center->GetTankId(), 4);
    center->findChild<CFuelBar*>()->setValue(5000);
    ui.pushButton_Apply->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return peer.GetFuel().GetTank(4).level == 50.0; }, 10000));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return peer.GetMessages(LinkWrit, LinkSubCode::WritePayload).size() == 1; }, 10000));
    // Each Apply writes the loads once.
    QTest::qWait(200);
    EXPECT_EQ(peer.GetMessages(LinkWrit, LinkSubCode::WriteFuel).size(), 1u);
    EXPECT_EQ(peer.GetMessages(LinkWrit, LinkSubCode::WritePayload).size(), 1u);

    // With its profile saved the aircraft is known: the next refresh asks nothing and shows its empty weight.
    ui.pushButton_Refresh->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ui.lineEdit_emptyweight->text() == "91300"; }, 10000));
    EXPECT_EQ(prompter.offers.size(), 1);
    EXPECT_EQ(editor.Answered(), 1);
    EXPECT_EQ(ui.lineEdit_AircraftName->text(), "Boeing 737-800 Aerovane Air");

    // Gauges added to a shown page appear at the next turn of the event loop.
    QCoreApplication::processEvents();
    EXPECT_TRUE(ui.tab_LoadEditor->grab().save(QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/loadeditor-page.png")));
}
