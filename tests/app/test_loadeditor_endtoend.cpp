// The load editor page as the program builds it, against the bridge peer playing FSX: the aircraft's tanks and
// stations arrive as gauges, an aircraft without profile gets one from the editor (which fits a 1024 x 768 screen
// and refuses a negative station maximum), Apply writes the loads into the simulator and says so (and, before the
// link is up, that it did not until the link comes up), and the first display counts the current profile's empty
// weight. Runs on a real X server.
#include "loadeditor/aircraftconfigdlg.h"
#include "loadeditor/aircraftprofile.h"
#include "loadeditor/fuelbox.h"
#include "loadeditor/paxebox.h"
#include "mainwindowtest.h"
#include "simlink/linkmessage.h"
#include "tests/support/modaldialoganswer.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

namespace {

// Answers the editor's offer with Yes and keeps the editor's other messages, every other box of the window as the
// fixture's prompter does.
class EditorOfferPrompter : public CPrompter
{
public:
    PromptAnswer Ask(const PromptRequest& request) override
    {
        if (request.title == QLatin1String("Aircraft Configurator")) {
            (request.kind == PromptKind::Question ? offers : editorMessages) << request.text;
            return request.kind == PromptKind::Question ? PromptAnswer::Yes : PromptAnswer::Ok;
        }
        return request.kind == PromptKind::Question ? PromptAnswer::No : PromptAnswer::Ok;
    }
    QStringList offers;
    QStringList editorMessages;
};

// On a 1024 x 768 screen less a panel, the editor placed at its top left: whether its buttons are all on it.
bool FitsSmallScreen(CAircraftConfigDlg& dialog)
{
    const QRect screen(0, 0, 1024, 740);
    dialog.move(0, 0);
    dialog.resize(dialog.size().boundedTo(screen.size() - (dialog.frameGeometry().size() - dialog.size())));
    dialog.layout()->activate();
    QCoreApplication::processEvents();
    bool fits = screen.contains(dialog.frameGeometry());
    for (const QWidget* button : {static_cast<QWidget*>(dialog.buttonBox->button(QDialogButtonBox::Save)),
                                  static_cast<QWidget*>(dialog.buttonBox->button(QDialogButtonBox::Cancel)),
                                  static_cast<QWidget*>(dialog.pushButton_refresh)})
        fits = fits && button->isVisible() && screen.contains(QRect(button->mapToGlobal(QPoint()), button->size()));
    QGuiApplication::primaryScreen()
        ->grabWindow(0, 0, 0, 1024, 768)
        .save(QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/aircrafteditor-1024x768.png"));
    return fits;
}

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
    Ui::Aerovane_ProClass& ui = window.ui;
    // Loads applied without a link are not sent, which the page says until the link comes up.
    ui.pushButton_Apply->click();
    EXPECT_EQ(ui.label_Status->text(), "Fuel and payload not sent: FS not connected.");
    ui.actionConnect_to_FS->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.IsConnected(); }, 10000)) << "the link to the bridge peer came up";
    EXPECT_EQ(ui.label_Status->text(), "");

    // The editor, offered for the unknown aircraft, takes the simulator's data and saves it as its profile; a
    // negative station maximum is refused first, with the editor open.
    bool fits = false;
    bool openAfterRefusal = false;
    ModalDialogAnswer<CAircraftConfigDlg> editor([&](CAircraftConfigDlg& dialog) {
        dialog.pushButton_refresh->click();
        fits = FitsSmallScreen(dialog);
        auto* maximum = qobject_cast<QLineEdit*>(dialog.gridLayoutPayload->itemAtPosition(1, 2)->widget());
        const QString kept = maximum->text();
        maximum->setText(QStringLiteral("-50"));
        dialog.buttonBox->button(QDialogButtonBox::Save)->click();
        openAfterRefusal = dialog.isVisible();
        maximum->setText(kept);
        dialog.buttonBox->button(QDialogButtonBox::Save)->click();
        return true;
    });
    ui.tabWidgetMain->setCurrentWidget(ui.tab_LoadEditor);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return ui.widget_ScrollMainPayload->findChildren<CPaxeBox*>().size() == 6; }, 10000))
        << "six payload stations shown";

    EXPECT_EQ(prompter.offers,
              QStringList{"Aircraft Config not found for this Aircraft.\nDo you want to start the Aircraft Editor"});
    EXPECT_TRUE(fits);
    EXPECT_TRUE(openAfterRefusal);
    ASSERT_EQ(prompter.editorMessages.size(), 1);
    EXPECT_TRUE(prompter.editorMessages[0].contains(QStringLiteral("\"-50\" is not a number from 0 to 2000000")));
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return peer.GetFuel().GetTank(4).level == 50.0; }, 10000))
        << "the center tank written";
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return peer.GetMessages(LinkWrit, LinkSubCode::WritePayload).size() == 1; }, 10000))
        << "the payload written";
    ASSERT_TRUE(QTest::qWaitFor([&] { return ui.label_Status->text() == "Fuel and payload sent."; }, 10000))
        << "the status line saying the loads were sent";
    // Each Apply writes the loads once.
    QTest::qWait(200);
    EXPECT_EQ(peer.GetMessages(LinkWrit, LinkSubCode::WriteFuel).size(), 1u);
    EXPECT_EQ(peer.GetMessages(LinkWrit, LinkSubCode::WritePayload).size(), 1u);

    // With its profile saved the aircraft is known: the next refresh asks nothing and shows its empty weight.
    ui.pushButton_Refresh->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ui.lineEdit_emptyweight->text() == "91300"; }, 10000))
        << "the profile's empty weight shown";
    EXPECT_EQ(prompter.offers.size(), 1);
    EXPECT_EQ(editor.Answered(), 1);
    EXPECT_EQ(ui.lineEdit_AircraftName->text(), "Boeing 737-800 Aerovane Air");

    // Gauges added to a shown page appear at the next turn of the event loop.
    QCoreApplication::processEvents();
    EXPECT_TRUE(ui.tab_LoadEditor->grab().save(QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/loadeditor-page.png")));
}

TEST_F(LoadEditorEndToEnd, FirstDisplayCountsTheCurrentProfilesEmptyWeight)
{
    // The profile chosen in the tool bar names the aircraft otherwise than the simulator does.
    aviation::structs::CAircraftDetail charter;
    charter.name = L"Boeing 737-800 Charter";
    charter.EmptyWeight = 41234.5f;
    SetCurrentAircraft(charter);
    const QString path = AircraftProfilePath(QStringLiteral("Boeing 737-800 Charter"));
    ASSERT_TRUE(QDir().mkpath(AircraftConfigFolder()) && SaveAircraftProfile(path) && LoadAircraftProfile(path));

    Aerovane_Pro& window = Window();
    window.show();
    window.ui.actionConnect_to_FS->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.IsConnected(); }, 10000)) << "connected";
    Ui::Aerovane_ProClass& ui = window.ui;
    ui.tabWidgetMain->setCurrentWidget(ui.tab_LoadEditor);
    EXPECT_EQ(ui.lineEdit_emptyweight->text(), "41234.5");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return ui.widget_ScrollMainPayload->findChildren<CPaxeBox*>().size() == 6; }, 10000))
        << "six payload stations shown";
    // 22448.35 lbs of fuel and 20640 lbs of payload.
    EXPECT_EQ(ui.lineEdit_totalweight->text(), "84322.85");
    EXPECT_EQ(ui.lineEdit_AircraftName->text(), "Boeing 737-800 Charter");
}
