#include "forms/mainwindowform.h"
#include "planner/dlgflightplans.h"
#include "planner/routefinder.h"
#include "planner/routesearch.h"
#include "settings/serveraddresses.h"
#include "settings/settings.h"
#include "tests/app/scopedappfolders.h"
#include "tests/generation/fakewindowhost.h"
#include "tests/generation/recordingprompter.h"
#include "tests/support/modaldialoganswer.h"
#include "tools/wx-server/wxserver.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kDirect = "FL350:EDDF DCT LOWW:none:EDDF~50033333~8570556~~~APT|LOWW~48110278~16569722~~~APT";
const QString kEddfOnly = kDirect.left(kDirect.indexOf('|'));

// The station database knows Vienna only.
std::vector<aviation::CFlightplan> Parse(const QString& reply)
{
    return RouteFinder::ParseReply(reply, [](const QString& ident) { return ident == "LOWW" ? 600 : 0; });
}

} // namespace

TEST(RouteFinderReply, FixesBecomeWaypointsWithTypeAirwayAndAltitude)
{
    const auto candidates = Parse(kEddfOnly
                                  + "|SOBRA~49760000~9360000~~Y180~INT|DKB~49142500~10238611~~~VOR DME"
                                    "|ALB~-33946111~151177222~~~NDB|HEH~1~2~~~DME|X~1~2~~~TACAN|LOWW~1~2~~~APT"
                                    "|ELB~1~2~~~VOR\r\n");
    ASSERT_EQ(candidates.size(), 1u);
    const aviation::CFlightplan& plan = candidates[0];
    EXPECT_EQ(plan.flightLevel + L" " + plan.title + L" " + plan.remarks, L"FL350 EDDF DCT LOWW none");
    EXPECT_EQ(plan.departure.GetIdent() + L"-" + plan.destination.GetIdent(), L"EDDF-ELB");
    const auto& points = plan.waypoints;
    ASSERT_EQ(points.size(), 8u);
    // The CR of a CR LF line end stays in the last type text, which then names no known type.
    const int types[] = {1, 4, 5, 6, 7, 4, 1, 4};
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].GetType(), types[i]) << i;
        EXPECT_EQ(points[i].GetAltitude(), i == 6 ? 600 : i == 0 ? 0 : -1) << i;
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
        {"single fix", kEddfOnly, {}},
        {"three fields", "FL350:EDDF DCT LOWW:EDDF~1~2~~~APT|LOWW~1~2~~~APT", {}},
        {"short line", "A:B:\n::|:", {}},
        {"no fix of six subfields", "FL350:EDDF DCT LOWW:none:EDDF~1~2~~APT|LOWW~1~2", {}},
        {"five subfields skipped", "FL300:A B:r:EDDF~1~2~~APT|LOWW~48110278~16569722~~~APT|B~1~2~~~INT", {"LOWW", "B"}},
        {"off the globe",
         "FL1:R:r:A~nan~1~~~INT|B~1~inf~~~INT|C~90000001~0~~~INT|D~0~-180000001~~~INT|E~0~0~~~INT|F~1~1~~~INT",
         {"E", "F"}},
        {"one usable fix is no route", "FL300:A B:r:EDDF~1~2~~APT|LOWW~48110278~16569722~~~APT", {}},
        {"no number, no ident, no type", "FL1:R:r:A~north~east~~~INT|B C~1~2~~~INT|D~1~2~~~|E~1.5~2~~~INT", {}},
        {"random text with the separators", "x:\x01\x7f:%:~~~~~|~~~~~~~|\xff~0~0~~~?", {}},
        {"good lines around bad ones", "garbage\n" + kDirect + "\nFL1:R::A~1~2~~~APT\n", {"EDDF", "LOWW"}},
    };
    for (const auto& c : cases) {
        const auto candidates = Parse(c.reply);
        ASSERT_EQ(candidates.size(), c.idents.isEmpty() ? 0u : 1u) << c.what;
        if (candidates.empty())
            continue;
        QStringList idents;
        for (const aviation::CWaypointWX& point : candidates[0].waypoints)
            idents << QString::fromStdWString(point.GetIdent());
        EXPECT_EQ(idents, c.idents) << c.what;
    }
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

    // Finds routes, the picker answered by double-clicking its first row (its cells and labels kept in `picked`);
    // the number of pickers shown.
    int FindRoute(const QString& departure, const QString& destination, const QByteArray& reply)
    {
        QFile file(data.filePath("vatroute/EDDF-LOWW.txt"));
        file.open(QIODevice::WriteOnly);
        file.write(reply);
        file.close();
        ui.lineEdit_Dep->setText(departure);
        ui.lineEdit_Arrival->setText(destination);
        ModalDialogAnswer<DlgFlightplans> answer([this](DlgFlightplans& picker) {
            auto* table = picker.findChild<QTableWidget*>("tableWidget");
            picked = QStringList{QString::number(table->rowCount())};
            for (int column = 0; column < 3; ++column)
                picked << table->item(0, column)->text();
            picked << picker.findChild<QLabel*>("label_dep")->text() << picker.findChild<QLabel*>("label_dest")->text();
            emit table->cellDoubleClicked(0, 0);
            return true;
        });
        ui.tab_flightplanner->GetRouteVatRoute();
        return answer.Answered();
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
    QStringList picked;
};

} // namespace

TEST_F(RouteSearchTest, PickedRouteIsCalculatedWithItsDistanceAndCourse)
{
    EXPECT_EQ(FindRoute("EDDF", "LOWW", kDirect.toUtf8() + "\n"), 1);
    EXPECT_EQ(server.Requests(), QStringList{"/access.php?type=app&name=aerovane&dep=EDDF&dest=LOWW"});
    EXPECT_EQ(picked, QStringList({"1", "FL350", "EDDF DCT LOWW", "none", "EDDF", "LOWW"}));
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_EQ(ui.plainTextEdit_route->toPlainText(), "EDDF DCT LOWW");
    // Only a calculation enables printing.
    EXPECT_TRUE(ui.pushButton_printFp->isEnabled());
    EXPECT_EQ(ui.lineEdit_dist->text(), "335.3NM");
    EXPECT_EQ(ui.lineEdit_avaerageDir->text(), QString("107.1") + QChar(0x00B0));
}

TEST_F(RouteSearchTest, NothingToPickIsToldAndChangesNothing)
{
    EXPECT_EQ(FindRoute("EDDF", "LOWW", kEddfOnly.toUtf8() + "\r\n"), 0);
    EXPECT_EQ(FindRoute("EDD", "LOWW", kDirect.toUtf8()), 0);
    EXPECT_EQ(FindRoute("EDDF", "LOW", kDirect.toUtf8()), 0);
    QStringList boxes;
    for (const PromptRequest& request : prompter.asked)
        boxes << request.title + ": " + request.text;
    const QString enterAirports = "Aerovane-VatRoute: Please enter departure and destination airport";
    EXPECT_EQ(boxes,
              QStringList({"Aerovane - VATroute: Could not find any route or could not extract any route.",
                           enterAirports, enterAirports}));
    EXPECT_EQ(server.Requests().size(), 1);

    server.SetFailure("/access.php", tools::WxServer::Failure::NotFound);
    EXPECT_EQ(FindRoute("EDDF", "LOWW", kDirect.toUtf8()), 0);
    EXPECT_EQ(host.log, QStringList{"(Flightplanner) VatRoute - Network Error 203"});
    EXPECT_EQ(prompter.asked.back().text, "The route finder gave no routes: HTTP 404.");
    // Typed idents add no query keys and no path; the server has no route for them.
    server.SetFailure("/access.php", tools::WxServer::Failure::None);
    EXPECT_EQ(FindRoute("ED#x", "../W", kDirect.toUtf8()), 0);
    EXPECT_EQ(server.Requests().last(), "/access.php?type=app&name=aerovane&dep=ED%23x&dest=..%2FW");
    EXPECT_EQ(prompter.asked.size(), 5u);
    EXPECT_TRUE(ui.plainTextEdit_route->toPlainText().isEmpty());
    EXPECT_TRUE(ui.tab_flightplanner->GetEditedFlightPlan().waypoints.empty());
}

TEST_F(RouteSearchTest, EveryFailureOfTheServiceIsShownWithItsCause)
{
    host.GetDownloader()->SetMaxBodySize(1024);
    const struct
    {
        tools::WxServer::Failure failure;
        QByteArray reply;
        const char* cause;
    } cases[] = {
        {tools::WxServer::Failure::InternalError, kDirect.toUtf8(), "HTTP 500"},
        {tools::WxServer::Failure::Stall, kDirect.toUtf8(), "stalled: less than 64 bytes in 1 s"},
        {tools::WxServer::Failure::None, QByteArray(4096, 'x'), "exceeds 1024 bytes"},
        {tools::WxServer::Failure::None, QByteArray("<html><body>Service unavailable</body></html>"),
         "Could not find any route"},
    };
    for (const auto& c : cases) {
        // A second for the server that never answers; every answer keeps the usual room.
        if (c.failure == tools::WxServer::Failure::Stall)
            host.GetDownloader()->SetStallLimit(1000, 64);
        else
            host.GetDownloader()->SetStallLimit(WXDownloader::kDefaultStallWindowMs,
                                                WXDownloader::kDefaultStallMinimumBytes);
        prompter.asked.clear();
        server.SetFailure("/access.php", c.failure);
        EXPECT_EQ(FindRoute("EDDF", "LOWW", c.reply), 0);
        ASSERT_EQ(prompter.asked.size(), 1u) << c.cause;
        EXPECT_TRUE(prompter.asked[0].text.contains(c.cause)) << prompter.asked[0].text.toStdString();
    }
}
