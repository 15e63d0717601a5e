#include "loadeditor/aircraftconfigdlg.h"
#include "loadeditor/fuelbox.h"
#include "loadeditor/paxebox.h"
#include "simlink/job.h"
#include "tests/loadeditor/loadeditortest.h"
#include "tests/support/modaldialoganswer.h"
#include "tools/bridge-peer/bridgepeer.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using aviation::structs::CAircraftDetail;
using aviation::structs::CAircraftFuel;
using aviation::structs::CAircraftFuelTank;
using aviation::structs::CAircraftPayload;
using aviation::structs::CAircraftPayloadStation;

namespace {

CAircraftDetail SimAircraft(std::initializer_list<CAircraftPayloadStation> stations,
                            const wchar_t* name = L"Boeing 737-800 Aerovane Air")
{
    CAircraftDetail aircraft;
    aircraft.name = name;
    for (const CAircraftPayloadStation& station : stations)
        aircraft.payload.AddStation(station);
    return aircraft;
}

} // namespace

class LoadEditorTab : public LoadEditorTest
{
protected:
    QList<CPaxeBox*> Gauges() const { return ui.widget_ScrollMainPayload->findChildren<CPaxeBox*>(); }
    QString Amount(int gauge) const { return Gauges().at(gauge)->findChildren<QLabel*>().at(2)->text(); }
};

TEST_F(LoadEditorTab, PassengerStationsCountHeadsAndApplySendsTheirWeight)
{
    CAircraftDetail profile = SimAircraft({{L"Forward Cabin", 0.0f, 12000.0f, 2},
                                           {L"Aft Cabin", 0.0f, 14000.0f, 2},
                                           {L"Forward Cargo", 0.0f, 7000.0f, 3}});
    profile.PaxAsPassenger = true;
    profile.EmptyWeight = 91300.0f;
    SaveProfile(profile);
    CAircraftFuel fuel;
    fuel.AddTank(CAircraftFuelTank(80.0, 1288.0, 3, L"Left Main"));
    fuel.SetFuelWeight(6.7);
    page->SetFuel(fuel);
    page->SetAircraftDetails(SimAircraft({{L"Forward Cabin", 1200.0f, 12000.0f, 0},
                                          {L"Aft Cabin", 1000.0f, 14000.0f, 0},
                                          {L"Forward Cargo", 2200.0f, 7000.0f, 0}}));

    EXPECT_EQ(ui.lineEdit_AircraftName->text(), "Boeing 737-800 Aerovane Air");
    EXPECT_EQ(ui.lineEdit_emptyweight->text(), "91300");
    ASSERT_EQ(Gauges().size(), 3);
    EXPECT_EQ(QStringList({Amount(0), Amount(1), Amount(2)}), QStringList({"5 Paxe", "4 Paxe", "2200 Lbs"}));
    EXPECT_EQ(ui.lineEdit_totalPayloadWeight->text(), "4400.00");

    ui.pushButton_Apply->click();
    EXPECT_EQ(page->GetPayload().stations[0].weight, 1200.0f);
    // The fraction of a passenger stays until the slider moves.
    EXPECT_FLOAT_EQ(page->GetPayload().stations[1].weight, 1000.0f);

    Gauges()[0]->findChild<CPaxeBar*>()->setValue(6);
    ui.pushButton_Apply->click();
    EXPECT_EQ(page->GetPayload().stations[0].weight, 1440.0f);

    // Cancel returns to what was applied last, not to what the simulator reported.
    Gauges()[0]->findChild<CPaxeBar*>()->setValue(9);
    ui.pushButton_Cancel->click();
    EXPECT_EQ(Amount(0), "6 Paxe");
}

TEST_F(LoadEditorTab, ApplySendsOnlyOverALinkAndSaysWhatBecameOfTheWrites)
{
    CAircraftFuel fuel;
    fuel.AddTank(CAircraftFuelTank(80.0, 1288.0, 3, L"Left Main"));
    CAircraftPayload payload;
    payload.AddStation({L"Aft Cargo", 1000.0f, 9000.0f, 3});
    QSignalSpy unlinkedJobs(&worker, &CConnectWorker::sigThreadJobFinished);
    page->SetFuel(fuel);
    page->SetPayload(payload);
    page->findChild<CPaxeBar*>()->setValue(2500);
    ui.pushButton_Apply->click();
    EXPECT_EQ(ui.label_Status->text(), "Fuel and payload not sent: FS not connected.");
    // The page keeps the loads for a later Apply.
    EXPECT_EQ(page->GetPayload().stations[0].weight, 2500.0f);

    tools::CBridgePeer peer;
    ASSERT_TRUE(peer.Start());
    CSettings::SetInterfaceType(4);
    CSettings::SetServerIP(QStringLiteral("127.0.0.1"));
    CSettings::SetServerPort(QString::number(peer.GetPort()));
    CConnectWorker linked;
    CMainWindowForm linkedWindow;
    linkedWindow.ui.setupUi(&linkedWindow);
    CTab_LoadEditor* linkedPage = linkedWindow.ui.tab_LoadEditor;
    linkedPage->Init(&host, &linked);
    linkedPage->SetFuel(fuel);
    linkedPage->SetPayload(payload);
    linkedWindow.ui.pushButton_Apply->click();
    EXPECT_EQ(linkedWindow.ui.label_Status->text(), "Fuel and payload not sent: FS not connected.");
    // The connect and the two reads it queues; the link coming up clears the line.
    const auto connectLink = [&] {
        QSignalSpy connecting(&linked, &CConnectWorker::sigThreadJobFinished);
        linked.AddJob(CJob(JobConnect, QStringLiteral("Connect")));
        const bool up = QTest::qWaitFor([&] { return connecting.count() >= 3; }, 60000) && linked.IsConnected();
        QCoreApplication::processEvents();
        return up;
    };
    const auto waitForSignal = [&](QSignalSpy& spy, int code) {
        return QTest::qWaitFor([&] { return spy.contains(QVariantList{code}); }, 60000);
    };
    ASSERT_TRUE(connectLink()) << "connected, fuel and details read";
    EXPECT_EQ(linkedWindow.ui.label_Status->text(), "");
    // The status line as it stands once the page has taken the end of each write.
    QStringList afterEachWrite;
    QObject::connect(
        &linked, &CConnectWorker::sigThreadJobFinished, linkedPage,
        [&](int type) {
            if (type == JobSetFuel || type == JobSetPayload)
                afterEachWrite << linkedWindow.ui.label_Status->text();
        },
        Qt::QueuedConnection);
    const auto applyAndWait = [&](int applies, int writes) {
        afterEachWrite.clear();
        for (int i = 0; i < applies; ++i)
            linkedWindow.ui.pushButton_Apply->click();
        return QTest::qWaitFor([&] { return afterEachWrite.size() >= writes; }, 60000);
    };
    const auto lines = [](const QStringList& texts) { return texts.join(QStringLiteral(" | ")).toStdString(); };
    // Whether the peer refuses writes, how many Applies at once, and the status line after each write: a second
    // Apply while the first one's writes wait says nothing until all four have run.
    struct Row
    {
        bool refuse;
        int applies;
        QStringList afterEachWrite;
    };
    for (const Row& row : {Row{false, 2, {"", "", "", "Fuel and payload sent."}},
                           Row{true, 1, {"FS did not take: Set Fuel.", "FS did not take: Set Fuel, Set Payload."}}}) {
        peer.SetRefuseWrites(row.refuse);
        QSignalSpy jobs(&linked, &CConnectWorker::sigThreadJobFinished);
        ASSERT_TRUE(applyAndWait(row.applies, row.afterEachWrite.size())) << "the page took each write's end";
        EXPECT_EQ(jobs[0], QVariantList({JobSetFuel, QStringLiteral("Set Fuel")}));
        EXPECT_EQ(jobs[1], QVariantList({JobSetPayload, QStringLiteral("Set Payload")}));
        EXPECT_EQ(lines(afterEachWrite), lines(row.afterEachWrite));
    }
    peer.SetRefuseWrites(false);

    // A link lost and back while no write waits leaves what the writes came to.
    QSignalSpy linkSignals(&linked, &CConnectWorker::sigThreadSignal);
    peer.CloseOnNextRequest();
    linked.AddJob(CJob(JobGetAircraftDetail, QStringLiteral("Get AC-Details")));
    ASSERT_TRUE(waitForSignal(linkSignals, ThreadLinkLost)) << "the link lost on reading the details";
    ASSERT_TRUE(connectLink()) << "connected again";
    EXPECT_EQ(linkedWindow.ui.label_Status->text().toStdString(), "FS did not take: Set Fuel, Set Payload.");

    // The link lost during Set Fuel drops Set Payload: the page says so until the link is back, and the next Apply
    // waits for both of its writes.
    linkSignals.clear();
    peer.CloseOnNextRequest();
    ASSERT_TRUE(applyAndWait(1, 1)) << "the page took the end of Set Fuel";
    ASSERT_TRUE(waitForSignal(linkSignals, ThreadLinkLost)) << "the link lost during Set Fuel";
    EXPECT_EQ(lines(afterEachWrite), "Fuel and payload not sent: the connection to FS was lost.");
    ASSERT_TRUE(connectLink()) << "connected after the loss";
    EXPECT_EQ(linkedWindow.ui.label_Status->text().toStdString(), "");
    ASSERT_TRUE(applyAndWait(1, 2)) << "the page took the end of both writes";
    EXPECT_EQ(lines(afterEachWrite), " | Fuel and payload sent.");
    EXPECT_EQ(unlinkedJobs.count(), 0);
}

TEST_F(LoadEditorTab, TotalsFollowTheChosenUnits)
{
    CAircraftFuel fuel;
    fuel.AddTank(CAircraftFuelTank(50.0, 100.0, 4, L"Center"));
    fuel.SetFuelWeight(6.7);
    CAircraftPayload payload;
    payload.AddStation({L"Aft Cargo", 1000.0f, 9000.0f, 3});
    // Fuel, its unit, fuel weight, payload, total, weight unit.
    for (const QStringList& texts : {QStringList{"50.00", "Gal", "335.00", "1000.00", "1335.00", "lbs"},
                                     QStringList{"189.27", "Liter", "151.95", "453.59", "605.55", "kg"}}) {
        CSettings::SetUnitsLbs(texts[5] == "lbs");
        CSettings::SetUnitsGallon(texts[5] == "lbs");
        page->SetFuel(fuel);
        page->SetPayload(payload);
        EXPECT_EQ(QStringList({ui.lineEdit_fuelTotal->text(), ui.label_Gallon->text(),
                               ui.lineEdit_fuelTotalWeight->text(), ui.lineEdit_totalPayloadWeight->text(),
                               ui.lineEdit_totalweight->text(), ui.label_Lbs_2->text()}),
                  texts);
    }

    // Without a tank the status says why and the totals keep their texts.
    page->SetFuel(CAircraftFuel());
    EXPECT_EQ(ui.label_Status->text(), "No Fuel. FS not connected or FS is not ready!");
    EXPECT_TRUE(ui.widget_ScrollMainFuel->findChildren<CFuelBox*>().isEmpty());
    EXPECT_EQ(ui.lineEdit_fuelTotal->text(), "189.27");
}

TEST_F(LoadEditorTab, AircraftWithoutProfileOffersTheEditorUntilToldNotTo)
{
    CAircraftDetail dash = SimAircraft({{L"Cabin", 0.0f, 18000.0f, 2}}, L"Dash 8 Q400");
    dash.EmptyWeight = 37886.0f;
    SaveProfile(dash);
    page->SetAircraftDetails(SimAircraft({{L"Cabin", 5000.0f, 18000.0f, 0}}, L"Dash 8 Q400"));
    ASSERT_EQ(ui.lineEdit_AircraftName->text(), "Dash 8 Q400");

    const CAircraftDetail unknown
        = SimAircraft({{L"Pilot", 170.0f, 300.0f, 0}, {L"Forward Cabin", 6800.0f, 12000.0f, 0}});
    prompter.answers = {PromptAnswer::Yes, PromptAnswer::No};
    ModalDialogAnswer<CAircraftConfigDlg> editor([](CAircraftConfigDlg&) { return false; });
    page->SetAircraftDetails(unknown);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].title, "Aircraft Configurator");
    EXPECT_EQ(prompter.asked[0].text,
              "Aircraft Config not found for this Aircraft.\nDo you want to start the Aircraft Editor");
    EXPECT_EQ(prompter.checkBoxTexts, QStringList{"Don't show again."});
    EXPECT_EQ(editor.Answered(), 1);
    EXPECT_EQ(host.calls, QStringList{"FillAircraftCombo"});
    // The simulator's stations as they are, and the earlier profile's name and empty weight stay.
    ASSERT_EQ(Gauges().size(), 2);
    EXPECT_EQ(Amount(1), "6800 Lbs");
    EXPECT_EQ(ui.lineEdit_AircraftName->text(), "Dash 8 Q400");
    EXPECT_EQ(ui.lineEdit_totalweight->text(), "44856.00");

    // While an editor is open (as the menu opens it) the page offers none; the profile saved there for the
    // aircraft in use shows at once.
    const CAircraftDetail airbus = SimAircraft({{L"Cabin", 6000.0f, 20000.0f, 0}}, L"Airbus A320");
    host.connected = true;
    host.aircraftDetail = airbus;
    host.aircraftDetail.EmptyWeight = 93000.0f;
    CAircraftConfigDlg menuEditor(&host, &window);
    menuEditor.show();
    page->SetAircraftDetails(airbus);
    EXPECT_EQ(prompter.asked.size(), 1u);
    menuEditor.pushButton_refresh->click();
    menuEditor.buttonBox->button(QDialogButtonBox::Save)->click();
    EXPECT_EQ(ui.lineEdit_AircraftName->text(), "Airbus A320");
    EXPECT_EQ(ui.lineEdit_emptyweight->text(), "93000");
    EXPECT_EQ(ui.lineEdit_totalweight->text(), "99000.00");
    // Another aircraft's profile saved leaves the page.
    SaveProfile(dash);
    EXPECT_EQ(ui.lineEdit_AircraftName->text(), "Airbus A320");

    prompter.tickCheckBox = true;
    page->SetAircraftDetails(unknown);
    EXPECT_FALSE(CSettings::GetInfoAircraftEditor());
    page->SetAircraftDetails(unknown);
    EXPECT_EQ(prompter.asked.size(), 2u);
    EXPECT_EQ(editor.Answered(), 1);
}

TEST_F(LoadEditorTab, NoAircraftOrOtherStationsLeaveTheGauges)
{
    SaveProfile(
        SimAircraft({{L"Pilot", 0.0f, 300.0f, 1}, {L"Cabin", 0.0f, 12000.0f, 2}, {L"Cargo", 0.0f, 7000.0f, 3}}));
    // A station whose name differs keeps the profile's empty load; another station count leaves the gauges.
    page->SetAircraftDetails(
        SimAircraft({{L"Pilot", 170.0f, 300.0f, 0}, {L"Cabin", 6000.0f, 12000.0f, 0}, {L"Hold", 900.0f, 7000.0f, 0}}));
    ASSERT_EQ(Gauges().size(), 3);
    EXPECT_EQ(Amount(2), "0 Lbs");
    page->SetAircraftDetails(SimAircraft({{L"Pilot", 200.0f, 300.0f, 0}, {L"Cabin", 100.0f, 12000.0f, 0}}));
    ASSERT_EQ(Gauges().size(), 3);
    EXPECT_EQ(Amount(0), "170 Lbs");

    for (const wchar_t* name : {L"", L"Unknow"}) {
        page->SetAircraftDetails(SimAircraft({}, name));
        EXPECT_EQ(prompter.asked.back().title, "Aerovane - Load editor");
        EXPECT_EQ(prompter.asked.back().text,
                  "No aircraft found or not loaded aircraft in FS.\nPlease select aircraft in the FS and load flight.");
    }
    EXPECT_EQ(Gauges().size(), 3);
}
