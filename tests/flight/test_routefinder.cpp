#include "flight/dlgflightplans.h"
#include "flight/routefinder.h"
#include "flight/routesearch.h"
#include "forms/mainwindowform.h"
#include "generation/wxdownloader.h"
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

const QString kDirect
    = QStringLiteral("FL350:EDDF DCT LOWW:none:EDDF~50033333~8570556~~~APT|LOWW~48110278~16569722~~~APT");

// The airports the station database knows, with their elevations.
int Elevation(const QString& ident)
{
    if (ident == QLatin1String("EDDF"))
        return 364;
    if (ident == QLatin1String("LOWW"))
        return 600;
    return 0;
}

std::vector<aviation::CFlightplan> Parse(const QString& reply)
{
    return RouteFinder::ParseReply(reply, Elevation);
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

TEST(RouteFinderReply, DirectRouteBecomesACompletePlan)
{
    const auto candidates = Parse(kDirect + "\n");
    ASSERT_EQ(candidates.size(), 1u);
    const aviation::CFlightplan& plan = candidates[0];
    EXPECT_EQ(plan.flightLevel, L"FL350");
    EXPECT_EQ(plan.title, L"EDDF DCT LOWW");
    EXPECT_EQ(plan.remarks, L"none");
    ASSERT_EQ(Idents(plan), QStringList({"EDDF", "LOWW"}));
    EXPECT_DOUBLE_EQ(plan.waypoints[0].GetLatitude(), 50.033333);
    EXPECT_DOUBLE_EQ(plan.waypoints[0].GetLongitude(), 8.570556);
    EXPECT_DOUBLE_EQ(plan.waypoints[1].GetLatitude(), 48.110278);
    EXPECT_DOUBLE_EQ(plan.waypoints[1].GetLongitude(), 16.569722);
    EXPECT_EQ(plan.waypoints[1].GetType(), 1);
    EXPECT_EQ(plan.waypoints[1].GetAltitude(), 600);
    EXPECT_FLOAT_EQ(plan.waypoints[1].GetQNH(), 1013.2f);
    EXPECT_EQ(plan.departure.GetIdent(), L"EDDF");
    EXPECT_EQ(plan.destination.GetIdent(), L"LOWW");
    EXPECT_EQ(plan.destination.GetAltitude(), 600);
}

TEST(RouteFinderReply, FixTypesAirwaysAndAltitudes)
{
    const auto candidates = Parse("FL340:EDDF SOBRA Y180 DKB LOWW:x:EDDF~50033333~8570556~~~APT"
                                  "|SOBRA~49760000~9360000~~Y180~INT|DKB~49142500~10238611~~~VOR DME"
                                  "|ALB~-33946111~151177222~~~NDB|HEH~1~2~~~DME|X~1~2~~~TACAN|ZZZZ~1~2~~~APT"
                                  "|ELB~1~2~~~VOR\r\n");
    ASSERT_EQ(candidates.size(), 1u);
    const auto& points = candidates[0].waypoints;
    ASSERT_EQ(points.size(), 8u);
    const int types[] = {1, 4, 5, 6, 7, 4, 1, 4};
    const int altitudes[] = {364, -1, -1, -1, -1, -1, 0, -1};
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].GetType(), types[i]) << i;
        EXPECT_EQ(points[i].GetAltitude(), altitudes[i]) << i;
    }
    EXPECT_EQ(points[1].GetAirway(), L"Y180");
    EXPECT_DOUBLE_EQ(points[3].GetLatitude(), -33.946111);
    // The CR of a CR LF line end stays in the last type text, which then names no known type.
    EXPECT_EQ(RouteFinder::WaypointType("VOR\r"), 4);
}

TEST(RouteFinderReply, UnusableLinesAndFixesAreDropped)
{
    const QString fiveSubfields = "FL300:A B:r:EDDF~50033333~8570556~~APT|LOWW~48110278~16569722~~~APT";
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
        {"five subfields skipped", fiveSubfields, {"LOWW"}},
        {"off the globe",
         "FL1:R:r:A~nan~1~~~INT|B~1~inf~~~INT|C~90000001~0~~~INT|D~0~-180000001~~~INT|E~0~0~~~INT",
         {"E"}},
        {"no number reads as 0", "FL1:R:r:A~north~east~~~INT|B~1~2~~~INT", {"A", "B"}},
    };
    for (const auto& c : cases) {
        const auto candidates = Parse(c.reply);
        if (c.idents.isEmpty()) {
            EXPECT_TRUE(candidates.empty()) << c.what;
            continue;
        }
        ASSERT_EQ(candidates.size(), 1u) << c.what;
        EXPECT_EQ(Idents(candidates[0]), c.idents) << c.what;
        EXPECT_EQ(candidates[0].departure.GetIdent(), c.idents.front().toStdWString()) << c.what;
    }
    // Good lines around bad ones still count, in reply order.
    const auto candidates
        = Parse("garbage\n" + kDirect + "\nFL1:R::A~1~2~~~APT\n" + QString(kDirect).replace("FL350", "FL360"));
    ASSERT_EQ(candidates.size(), 2u);
    EXPECT_EQ(candidates[1].flightLevel, L"FL360");
}

TEST(RouteFinderServer, RepliesFromItsDataFolderByAirports)
{
    QTemporaryDir data;
    ASSERT_TRUE(QDir(data.path()).mkpath("vatroute"));
    QFile reply(data.filePath("vatroute/EDDF-LOWW.txt"));
    ASSERT_TRUE(reply.open(QIODevice::WriteOnly));
    reply.write(kDirect.toUtf8() + "\n");
    reply.close();
    tools::WxServer server(data.path());
    ASSERT_TRUE(server.Listen());
    WXDownloader downloader;

    QString body;
    const auto get = [&](const QString& departure, const QString& destination) {
        body = "untouched";
        return downloader.DownloadWithProgress(
            RouteFinder::RequestUrl(server.BaseUrl(), "aerovane", departure, destination), &body);
    };
    EXPECT_EQ(get("EDDF", "LOWW"), 0);
    EXPECT_EQ(body, kDirect + "\n");
    EXPECT_EQ(get("LOWW", "EDDF"), 0);
    EXPECT_TRUE(body.isEmpty());
    EXPECT_EQ(get("../vatroute/EDDF", "LOWW"), 0);
    EXPECT_TRUE(body.isEmpty());
    EXPECT_TRUE(server.Requests().last().endsWith("dep=..%2Fvatroute%2FEDDF&dest=LOWW"));
    server.SetFailure("/access.php", tools::WxServer::Failure::NotFound);
    EXPECT_EQ(get("EDDF", "LOWW"), 203);
    EXPECT_EQ(body, "untouched");
}

TEST(RoutePicker, ListsTheCandidatesAndPicksOnlyAClickedRow)
{
    auto candidates = Parse(kDirect + "\nFL340:EDDF DKB LOWW:validated:EDDF~1~2~~~APT|DKB~1~2~~~VOR|LOWW~1~2~~~APT");
    DlgFlightplans picker(candidates, nullptr, "VATroute - Online");
    candidates.clear();
    EXPECT_EQ(picker.windowTitle(), "VATroute - Online");
    EXPECT_EQ(picker.findChild<QLabel*>("label_dep")->text(), "EDDF");
    EXPECT_EQ(picker.findChild<QLabel*>("label_dest")->text(), "LOWW");
    auto* table = picker.findChild<QTableWidget*>("tableWidget");
    ASSERT_EQ(table->rowCount(), 2);
    const char* cells[2][3] = {{"FL350", "EDDF DCT LOWW", "none"}, {"FL340", "EDDF DKB LOWW", "validated"}};
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(table->item(row, column)->text(), cells[row][column]);
    auto* ok = picker.findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok);
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_EQ(picker.GetSelectedRow(), -1);

    emit table->cellClicked(1, 2);
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_EQ(picker.GetSelectedRow(), 1);
    EXPECT_NE(picker.result(), QDialog::Accepted);
    emit table->cellDoubleClicked(0, 1);
    EXPECT_EQ(picker.GetSelectedRow(), 0);
    EXPECT_EQ(picker.result(), QDialog::Accepted);

    DlgFlightplans empty({}, nullptr, QString());
    EXPECT_EQ(empty.windowTitle(), "Flightplans");
    EXPECT_EQ(empty.findChild<QLabel*>("label_dep")->text(), "....");
}

namespace {

// The route finder served by the loopback server from a data folder of its own.
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
    }

    void Serve(const QByteArray& reply)
    {
        QFile file(data.filePath("vatroute/EDDF-LOWW.txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reply);
    }

    // Searches with the picker answered by double-clicking `row` (-1: cancelled); the number of pickers shown.
    int Search(const QString& departure, const QString& destination, int row = 0)
    {
        ModalDialogAnswer<DlgFlightplans> answer([row](DlgFlightplans& picker) {
            if (row >= 0)
                emit picker.findChild<QTableWidget*>("tableWidget")->cellDoubleClicked(row, 1);
            return row >= 0;
        });
        picked = RouteSearch(nullptr, &host).Pick(departure, destination);
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
    std::optional<aviation::CFlightplan> picked;
};

} // namespace

TEST_F(RouteSearchTest, PickedRouteComesBackWithItsDistanceAndCourse)
{
    Serve(kDirect.toUtf8() + "\nFL340:EDDF DKB LOWW:x:EDDF~1~2~~~APT|DKB~1~2~~~VOR|LOWW~1~2~~~APT\n");
    EXPECT_EQ(Search("EDDF", "LOWW"), 1);
    EXPECT_EQ(server.Requests(), QStringList{"/access.php?type=app&name=aerovane&dep=EDDF&dest=LOWW"});
    ASSERT_TRUE(picked.has_value());
    EXPECT_EQ(picked->title, L"EDDF DCT LOWW");
    EXPECT_EQ(QString::number(RouteSearch::RouteDistance(*picked), 'f', 1), "335.3");
    EXPECT_EQ(QString::number(RouteSearch::RouteCourse(*picked), 'f', 1), "107.1");

    EXPECT_EQ(Search("EDDF", "LOWW", 1), 1);
    EXPECT_EQ(picked->flightLevel, L"FL340");
    EXPECT_EQ(Search("EDDF", "LOWW", -1), 1);
    EXPECT_FALSE(picked.has_value());
    EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(RouteSearchTest, NothingToPickIsToldAndNothingComesBack)
{
    Serve(kDirect.left(kDirect.indexOf('|')).toUtf8() + "\r\n");
    EXPECT_EQ(Search("EDDF", "LOWW"), 0);
    EXPECT_EQ(Boxes(), QStringList{"Aerovane - VATroute: Could not find any route or could not extract any route."});

    // Airports other than four characters ask for none.
    prompter.asked.clear();
    server.ClearRequests();
    for (const auto& [departure, destination] : {std::pair{"EDD", "LOWW"}, std::pair{"EDDF", "LOWWX"}})
        EXPECT_EQ(Search(departure, destination), 0);
    const QString enterAirports = "Aerovane-VatRoute: Please enter departure and destination airport";
    EXPECT_EQ(Boxes(), QStringList({enterAirports, enterAirports}));
    EXPECT_TRUE(server.Requests().isEmpty());

    server.SetFailure("/access.php", tools::WxServer::Failure::NotFound);
    EXPECT_EQ(Search("EDDF", "LOWW"), 0);
    EXPECT_EQ(host.log, QStringList{"(Flightplanner) VatRoute - Network Error 203"});
    EXPECT_FALSE(picked.has_value());

    EXPECT_DOUBLE_EQ(RouteSearch::RouteCourse(aviation::CFlightplan()), 0.0);
}

TEST_F(RouteSearchTest, PageTakesThePickedRouteAndCalculatesIt)
{
    Serve(kDirect.toUtf8() + "\n");
    CMainWindowForm window;
    Ui::Aerovane_ProClass& ui = window.ui;
    ui.setupUi(&window);
    ui.tab_flightplanner->Init(&host, nullptr);
    ui.lineEdit_Dep->setText("EDDF");
    ui.lineEdit_Arrival->setText("LOWW");
    ModalDialogAnswer<DlgFlightplans> answer([](DlgFlightplans& picker) {
        emit picker.findChild<QTableWidget*>("tableWidget")->cellDoubleClicked(0, 0);
        return true;
    });
    ui.tab_flightplanner->GetRouteVatRoute();
    ASSERT_EQ(answer.Answered(), 1);
    EXPECT_EQ(ui.plainTextEdit_route->toPlainText(), "EDDF DCT LOWW");
    EXPECT_EQ(ui.tab_flightplanner->GetEditedFlightPlan().flightLevel, L"FL350");
    // Only a calculation enables printing.
    EXPECT_TRUE(ui.pushButton_printFp->isEnabled());
    EXPECT_EQ(ui.lineEdit_dist->text(), "335.3NM");
    EXPECT_EQ(ui.lineEdit_avaerageDir->text(), QString("107.1") + QChar(0x00B0));
}
