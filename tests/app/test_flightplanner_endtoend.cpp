// The planner page as the user meets it: an X-Plane plan chosen with the import button shows its route, a file of
// garbage chosen next keeps it, and an aircraft of the bridge peer near a route point selects that point's row; the
// page fits a maximised window at first start, and a long printout keeps the window answering until it is cancelled.
#include "mainwindowtest.h"
#include "planner/tab_flightplanner.h"
#include "platform/clock.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <set>

namespace {

// Answers the start-up's boxes as the fixture does, hands the import its file and keeps the warnings.
struct ImportPrompter : AnsweringPrompter
{
    PromptAnswer Ask(const PromptRequest& request) override
    {
        if (request.kind == PromptKind::Warning)
            warnings << request.text;
        return AnsweringPrompter::Ask(request);
    }
    QString Choose(const ChooserRequest& request) override
    {
        return request.kind == ChooserKind::OpenFile ? path : QString();
    }
    int AskWithButtons(const PromptRequest&, const QStringList& buttons) override
    {
        return buttons.indexOf(QStringLiteral("Create PDF and Open"));
    }
    QString path;
    QStringList warnings;
};

// What a window manager's title bar takes from a maximised window's height.
constexpr int kTitleBarHeight = 28;
// The room a push button keeps between its icon and its text.
constexpr int kIconTextGap = 4;

// An X-Plane plan of 2,000 points along the 50th parallel, written into the folder; its path.
QString LongRoutePlan(const QTemporaryDir& folder)
{
    QByteArray fms = "I\n3 version\n1\n1999\n1 EDDF 0.000000 50.033333 8.570556\n";
    for (int i = 1; i < 1999; ++i)
        fms += QByteArray("11 P") + QByteArray::number(i) + " 0 50.000000 " + QByteArray::number(8.6 + i * 0.004)
            + "\n";
    fms += "1 EPKK 0.000000 50.077731 19.784836\n";
    QFile file(folder.filePath("long.fms"));
    if (!file.open(QIODevice::WriteOnly) || file.write(fms) != fms.size())
        return QString();
    return file.fileName();
}

// The long plan, and the prompter that hands it to the import button while the test runs.
struct LongRouteImport
{
    LongRouteImport() { prompter.path = LongRoutePlan(plans); }
    QTemporaryDir plans;
    ImportPrompter prompter;
    const ScopedPrompter scopedPrompter{prompter};
};

// Opens the planner page and imports the plan the prompter hands out.
void ImportOnPlannerPage(Aerovane_Pro& window)
{
    window.ui.tabWidgetMain->setCurrentWidget(window.ui.tab_flightplanner);
    window.ui.pushButton_FpImport->click();
}

using FlightPlannerEndToEnd = MainWindowTest;

} // namespace

TEST_F(FlightPlannerEndToEnd, ImportedXPlanePlanShowsTheRouteAndFollowsTheAircraft)
{
    QTemporaryDir plans;
    const QString path = plans.filePath("EDDFLOWW.fms");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("I\n3 version\n1\n1\n1 EDDF 0.000000 50.033333 8.570556\n1 LOWW 0.000000 48.110278 16.569722\n");
    file.close();
    ImportPrompter prompter;
    prompter.path = path;
    const ScopedPrompter scopedPrompter(prompter);
    // The page looks for the aircraft along the route at most every ten seconds of this clock.
    platform::ScopedClock clock(platform::NowSeconds());

    auto& window = Window();
    window.show();
    ImportOnPlannerPage(window);
    EXPECT_EQ(window.ui.lineEdit_Dep->text(), "EDDF");
    EXPECT_EQ(window.ui.lineEdit_Arrival->text(), "LOWW");
    EXPECT_EQ(window.ui.plainTextEdit_route->toPlainText(), "EDDF LOWW");
    EXPECT_EQ(window.ui.lineEdit_dist->text(), "335.3NM");
    EXPECT_EQ(window.ui.lineEdit_avaerageDir->text(), QString::fromUtf8("107.1°"));

    // A file of garbage leaves the plan as it was and says why.
    QFile garbage(plans.filePath("garbage.pln"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("\x89PNG\r\n\x1a\n\0\0\0\rIHDR not a flight plan\n");
    garbage.close();
    prompter.path = garbage.fileName();
    window.ui.pushButton_FpImport->click();
    EXPECT_EQ(window.ui.plainTextEdit_route->toPlainText(), "EDDF LOWW");
    EXPECT_EQ(window.ui.lineEdit_dist->text(), "335.3NM");
    EXPECT_EQ(window.ui.tableView_waypoints->model()->rowCount(), 2);
    EXPECT_EQ(prompter.warnings,
              QStringList{"garbage.pln was not imported: it is no FSX/P3D, FS2004 or X-Plane flight plan."});

    // 2.3 NM north of Frankfurt.
    aviation::structs::CAircraft aircraft;
    aircraft.SetLatitude(50.033333 + 2.3 / 60.0);
    aircraft.SetLongitude(8.570556);
    aircraft.altitude = 3000;
    peer.SetAircraft(aircraft);
    window.ui.actionConnect_to_FS->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.IsConnected(); }, 10000)) << "connected";
    const auto selectedIdent = [&] {
        const QModelIndexList rows = window.ui.tableView_waypoints->selectionModel()->selectedRows();
        return rows.isEmpty() ? QString() : rows.first().data().toString();
    };
    clock.AdvanceMs(CTab_Flightplanner::kPositionSearchIntervalMs + 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return selectedIdent() == "EDDF"; }, 30000))
        << "the next aircraft sample selected the nearby route point";

    const QImage picture = window.ui.tab_flightplanner->grab().toImage();
    EXPECT_TRUE(picture.save(QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/flightplanner.png")));
}

// The first start, maximised on the screen the test runs on (the test script runs it on a 1024 x 768 screen, where
// the window with a title bar is 1024 x 740, and on a 1600 x 1200 one): the page needs no sideways scrolling, each
// button shows its whole text, five waypoint rows show when the table is scrolled to and Results with Export when
// scrolled down, with no widget of Results over another and each of its labels whole.
TEST_F(FlightPlannerEndToEnd, FirstStartMaximisedShowsTheWholePageWidthAndFiveWaypointRows)
{
    const LongRouteImport plan;
    auto& window = Window();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    window.setGeometry(screen.adjusted(0, kTitleBarHeight, 0, 0));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, 60000)) << "the window shown";
    ASSERT_TRUE(screen.contains(window.frameGeometry()));
    const QString size = QStringLiteral("%1x%2").arg(window.width()).arg(window.height());
    ImportOnPlannerPage(window);
    ASSERT_EQ(window.ui.tableView_waypoints->model()->rowCount(), 2000);
    QTest::qWait(50);

    QGuiApplication::primaryScreen()->grabWindow(0).save(
        QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/flightplanner-firststart-%1.png").arg(size));
    QScrollArea& scrollArea = *window.ui.scrollAreaFP;
    EXPECT_FALSE(scrollArea.horizontalScrollBar()->isVisible()) << size.toStdString();
    const QRect viewport = scrollArea.viewport()->rect();
    for (const QPushButton* button : window.ui.tab_flightplanner->findChildren<QPushButton*>()) {
        const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + kIconTextGap;
        const int margins = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button)
            + 2 * button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        const QRect inViewport(button->mapTo(scrollArea.viewport(), QPoint()), button->size());
        EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(button->text()) + icon + margins)
            << button->text().toStdString() << " in " << size.toStdString();
        EXPECT_TRUE(inViewport.left() >= viewport.left() && inViewport.right() <= viewport.right())
            << button->text().toStdString() << " in " << size.toStdString();
    }

    // Scrolled to the table, five rows show; scrolled down, the results and the Export button show whole.
    QTableView& table = *window.ui.tableView_waypoints;
    scrollArea.ensureWidgetVisible(&table);
    QTest::qWait(50);
    const int rowsInSight = (table.visibleRegion().boundingRect().height() - table.horizontalHeader()->height())
        / table.verticalHeader()->defaultSectionSize();
    EXPECT_GE(rowsInSight, 5) << size.toStdString();
    for (QWidget* shown : std::initializer_list<QWidget*>{window.ui.groupBox_6, window.ui.pushButton_ExportFP}) {
        scrollArea.ensureWidgetVisible(shown, 0, 0);
        QTest::qWait(50);
        EXPECT_EQ(shown->visibleRegion().boundingRect(), shown->rect()) << size.toStdString();
    }
    // In the Results box no widget lies over another, and each label shows its whole text.
    QWidgetList results;
    for (QWidget* child : window.ui.groupBox_6->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->isVisible())
            results << child;
    }
    for (int i = 0; i < results.size(); ++i) {
        for (int j = i + 1; j < results.size(); ++j) {
            EXPECT_FALSE(results[i]->geometry().intersects(results[j]->geometry()))
                << results[i]->objectName().toStdString() << " lies over " << results[j]->objectName().toStdString()
                << " in " << size.toStdString();
        }
        if (const auto* label = qobject_cast<const QLabel*>(results[i])) {
            EXPECT_GE(label->contentsRect().width() - 2 * label->margin(),
                      label->fontMetrics().horizontalAdvance(label->text()))
                << label->text().toStdString() << " in " << size.toStdString();
        }
    }
    QGuiApplication::primaryScreen()->grabWindow(0).save(
        QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/flightplanner-firststart-%1-scrolled.png").arg(size));
}

TEST_F(FlightPlannerEndToEnd, ALongPrintoutKeepsTheWindowAnsweringUntilItIsCancelled)
{
    const LongRouteImport plan;
    auto& window = Window();
    window.show();
    ImportOnPlannerPage(window);
    ASSERT_EQ(window.ui.tableView_waypoints->model()->rowCount(), 2000);

    // The printout is watched by a timer that fires whenever the event loop turns, and cancelled with the dialog's
    // button once past half way: the timer saw the progress rise block by block, nothing was printed after the
    // Cancel, and the earlier file stays.
    const QString pdf = QDir(platform::ProgramFolder()).filePath("lastFP.pdf");
    QFile earlier(pdf);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("the earlier flight plan");
    earlier.close();
    // The progress values the timer saw: each one a turn of the event loop between two blocks.
    std::set<int> progressSeen;
    int blocks = 0;
    int cancelledAt = 0;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* progress = window.findChild<QProgressDialog*>();
        if (progress == nullptr || progress->value() <= 0)
            return;
        progressSeen.insert(progress->value());
        blocks = progress->maximum();
        if (cancelledAt == 0 && progress->value() > blocks / 2) {
            cancelledAt = progress->value();
            progress->findChild<QPushButton*>()->click();
        }
    });
    watch.start();
    window.ui.pushButton_printFp->click();
    watch.stop();
    EXPECT_GE(progressSeen.size(), 5u);
    EXPECT_GT(cancelledAt, 0) << "the printout was not seen past half way";
    EXPECT_LT(cancelledAt, blocks);
    ASSERT_FALSE(progressSeen.empty());
    EXPECT_EQ(*progressSeen.rbegin(), cancelledAt) << "the printout went on after Cancel";
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), "the earlier flight plan");
    EXPECT_FALSE(QFile::exists(pdf + ".part"));
}
