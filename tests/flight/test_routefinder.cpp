#include "flight/dlgflightplans.h"
#include "flight/routefinder.h"
#include "flight/routesearch.h"
#include "forms/mainwindowform.h"
#include "settings/serveraddresses.h"
#include "settings/settings.h"
#include "tests/app/scopedappfolders.h"
#include "tests/generation/fakewindowhost.h"
#include "tests/generation/recordingprompter.h"
#include "tests/support/modaldialoganswer.h"
#include "tools/wx-server/wxserver.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kDirect = "FL350:EDDF DCT LOWW:none:EDDF~50033333~8570556~~~APT|LOWW~48110278~16569722~~~APT";

std::vector<aviation::CFlightplan> Parse(const QString& reply)
{
    // The station database knows Vienna only.
    return RouteFinder::ParseReply(reply, [](const QString& ident) { return ident == "LOWW" ? 600 : 0; });
}

QStringList Idents(const aviation::CFlightplan& plan)
{
    QStringList idents;
    for (const aviation::CWaypointWX& point : plan.waypoints)
        idents << QString::fromStdWString(point.GetIdent());
    return idents;
}

} // namespace

TEST(RouteFinderRequest, KeysInOrderWithTheAirportsPercentEncoded)
{
    EXPECT_EQ(RouteFinder::RequestUrl("http://127.0.0.1:17380", "aerovane", "EDDF", "LOWW"),
              "http://127.0.0.1:17380/access.php?type=app&name=aerovane&dep=EDDF&dest=LOWW");
    // Typed text cannot add query keys or a path.
    EXPECT_EQ(RouteFinder::RequestUrl("http://h", "aero vane", "ED&x", "L/W#"),
              "http://h/access.php?type=app&name=aero%20vane&dep=ED%26x&dest=L%2FW%23");
}

TEST(RouteFinderReply, FixesBecomeWaypointsWithTypeAirwayAndAltitude)
{
    const auto candidates = Parse(kDirect.left(kDirect.indexOf('|'))
                                  + "|SOBRA~49760000~9360000~~Y180~INT|DKB~49142500~10238611~~~VOR DME"
                                    "|ALB~-33946111~151177222~~~NDB|HEH~1~2~~~DME|X~1~2~~~TACAN|LOWW~1~2~~~APT"
                                    "|ELB~1~2~~~VOR\r\n");
    ASSERT_EQ(candidates.size(), 1u);
    const aviation::CFlightplan& plan = candidates[0];
    EXPECT_EQ(plan.flightLevel, L"FL350");
    EXPECT_EQ(plan.title, L"EDDF DCT LOWW");
    EXPECT_EQ(plan.remarks, L"none");
    EXPECT_EQ(plan.departure.GetIdent(), L"EDDF");
    EXPECT_EQ(plan.destination.GetIdent(), L"ELB");
    const auto& points = plan.waypoints;
    ASSERT_EQ(points.size(), 8u);
    // The CR of a CR LF line end stays in the last type text, which then names no known type.
    const int types[] = {1, 4, 5, 6, 7, 4, 1, 4};
    const int altitudes[] = {0, -1, -1, -1, -1, -1, 600, -1};
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].GetType(), types[i]) << i;
        EXPECT_EQ(points[i].GetAltitude(), altitudes[i]) << i;
    }
    EXPECT_DOUBLE_EQ(points[0].GetLongitude(), 8.570556);
    EXPECT_DOUBLE_EQ(points[3].GetLatitude(), -33.946111);
    EXPECT_EQ(points[1].GetAirway(), L"Y180");
}

TEST(RouteFinderReply, UnusableLinesAndFixesAreDropped)
{
    const struct
    {
        const char* what;
        QString reply;
        QStringList idents; // of the one candidate; empty: no candidate
    } cases[] = {
        {"empty reply", "", {}},
        {"single fix", "FL350:EDDF DCT LOWW:none:EDDF~50033333~8570556~~~APT", {}},
        {"three fields", "FL350:EDDF DCT LOWW:EDDF~1~2~~~APT|LOWW~1~2~~~APT", {}},
        {"short line", "A:B:\n::|:", {}},
        {"no fix of six subfields", "FL350:EDDF DCT LOWW:none:EDDF~1~2~~APT|LOWW~1~2", {}},
        {"five subfields skipped", "FL300:A B:r:EDDF~1~2~~APT|LOWW~48110278~16569722~~~APT", {"LOWW"}},
        {"off the globe",
         "FL1:R:r:A~nan~1~~~INT|B~1~inf~~~INT|C~90000001~0~~~INT|D~0~-180000001~~~INT|E~0~0~~~INT",
         {"E"}},
        {"no number reads as 0", "FL1:R:r:A~north~east~~~INT|B~1~2~~~INT", {"A", "B"}},
        {"good lines around bad ones", "garbage\n" + kDirect + "\nFL1:R::A~1~2~~~APT\n", {"EDDF", "LOWW"}},
    };
    for (const auto& c : cases) {
        const auto candidates = Parse(c.reply);
        ASSERT_EQ(candidates.size(), c.idents.isEmpty() ? 0u : 1u) << c.what;
        if (!candidates.empty()) {
            EXPECT_EQ(Idents(candidates[0]), c.idents) << c.what;
        }
    }
}

TEST(RoutePicker, OkWaitsForAClickAndADoubleClickPicksAtOnce)
{
    DlgFlightplans picker(Parse(kDirect + "\n" + kDirect), nullptr, "VATroute - Online");
    EXPECT_EQ(picker.findChild<QLabel*>("label_dep")->text(), "EDDF");
    auto* table = picker.findChild<QTableWidget*>("tableWidget");
    auto* ok = picker.findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok);
    EXPECT_FALSE(ok->isEnabled());
    emit table->cellClicked(1, 2);
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_EQ(picker.GetSelectedRow(), 1);
    EXPECT_NE(picker.result(), QDialog::Accepted);
    emit table->cellDoubleClicked(0, 1);
    EXPECT_EQ(picker.GetSelectedRow(), 0);
    EXPECT_EQ(picker.result(), QDialog::Accepted);
}

namespace {

// The page with a window host, asking the loopback server's route finder.
class RouteSearchTest : public ::testing::Test
{
protected:
    RouteSearchTest()
    {
        QDir(data.path()).mkpath("vatroute");
        server.Listen();
        ServerAddresses addresses = ServerAddresses::BuiltIn();
        addresses.routeFinderUrl = server.BaseUrl();
        addresses.routeFinderAppName = "aerovane";
        scopedAddresses = std::make_unique<ScopedServerAddresses>(addresses);
        ui.setupUi(&window);
        ui.tab_flightplanner->Init(&host, nullptr);
    }

    // Finds routes with the picker answered by double-clicking the first row; the number of pickers shown.
    int FindRoute(const QString& departure, const QString& destination, const QByteArray& reply)
    {
        QFile file(data.filePath("vatroute/EDDF-LOWW.txt"));
        file.open(QIODevice::WriteOnly);
        file.write(reply);
        file.close();
        ui.lineEdit_Dep->setText(departure);
        ui.lineEdit_Arrival->setText(destination);
        ModalDialogAnswer<DlgFlightplans> answer([](DlgFlightplans& picker) {
            emit picker.findChild<QTableWidget*>("tableWidget")->cellDoubleClicked(0, 0);
            return true;
        });
        ui.tab_flightplanner->GetRouteVatRoute();
        return answer.Answered();
    }

    QStringList Boxes() const
    {
        QStringList texts;
        for (const PromptRequest& request : prompter.asked)
            texts << request.title + ": " + request.text;
        return texts;
    }

    ScopedAppFolders folders;
    QTemporaryDir data;
    tools::WxServer server{data.path()};
    std::unique_ptr<ScopedServerAddresses> scopedAddresses;
    RecordingPrompter prompter;
    ScopedPrompter scopedPrompter{prompter};
    FakeWindowHost host;
    CMainWindowForm window;
    Ui::Aerovane_ProClass& ui = window.ui;
};

} // namespace

TEST_F(RouteSearchTest, PickedRouteIsCalculatedWithItsDistanceAndCourse)
{
    EXPECT_EQ(FindRoute("EDDF", "LOWW", kDirect.toUtf8() + "\n"), 1);
    EXPECT_EQ(server.Requests(), QStringList{"/access.php?type=app&name=aerovane&dep=EDDF&dest=LOWW"});
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_EQ(ui.plainTextEdit_route->toPlainText(), "EDDF DCT LOWW");
    EXPECT_EQ(ui.tab_flightplanner->GetEditedFlightPlan().flightLevel, L"FL350");
    // Only a calculation enables printing.
    EXPECT_TRUE(ui.pushButton_printFp->isEnabled());
    EXPECT_EQ(ui.lineEdit_dist->text(), "335.3NM");
    EXPECT_EQ(ui.lineEdit_avaerageDir->text(), QString("107.1") + QChar(0x00B0));
}

TEST_F(RouteSearchTest, NothingToPickIsToldAndChangesNothing)
{
    EXPECT_EQ(FindRoute("EDDF", "LOWW", kDirect.left(kDirect.indexOf('|')).toUtf8() + "\r\n"), 0);
    const QString enterAirports = "Aerovane-VatRoute: Please enter departure and destination airport";
    EXPECT_EQ(FindRoute("EDD", "LOWW", kDirect.toUtf8()), 0);
    EXPECT_EQ(FindRoute("EDDF", "LOW", kDirect.toUtf8()), 0);
    EXPECT_EQ(Boxes(),
              QStringList({"Aerovane - VATroute: Could not find any route or could not extract any route.",
                           enterAirports, enterAirports}));
    EXPECT_EQ(server.Requests().size(), 1);

    server.SetFailure("/access.php", tools::WxServer::Failure::NotFound);
    EXPECT_EQ(FindRoute("EDDF", "LOWW", kDirect.toUtf8()), 0);
    EXPECT_EQ(host.log, QStringList{"(Flightplanner) VatRoute - Network Error 203"});
    // The server answers other airports, and idents that try to leave its folder, with no route.
    server.SetFailure("/access.php", tools::WxServer::Failure::None);
    EXPECT_EQ(FindRoute("../E", "LOWW", kDirect.toUtf8()), 0);
    EXPECT_EQ(prompter.asked.size(), 4u);
    EXPECT_TRUE(ui.plainTextEdit_route->toPlainText().isEmpty());
    EXPECT_TRUE(ui.tab_flightplanner->GetEditedFlightPlan().waypoints.empty());
}
