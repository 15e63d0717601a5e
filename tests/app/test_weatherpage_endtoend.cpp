#include "generation/weatherworker.h"
#include "mainwindowtest.h"
#include "weather/weathermanager.h"

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTest>
#include <QTextEdit>

namespace {

QString ServerFile(const char* name)
{
    QFile file(QStringLiteral(AEROVANE_WXSERVER_DATA "/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

// True when every cell of the table is as wide as its text and the item view's margins need, so none ends in an
// ellipsis.
bool EveryCellUnelided(const QTableView& table)
{
    const int margins = 2 * (table.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &table) + 1);
    const QAbstractItemModel& model = *table.model();
    for (int row = 0; row < model.rowCount(); ++row) {
        for (int column = 0; column < model.columnCount(); ++column) {
            const QString text = model.index(row, column).data().toString();
            if (table.fontMetrics().horizontalAdvance(text) + margins > table.columnWidth(column))
                return false;
        }
    }
    return model.rowCount() > 0;
}

} // namespace

using WeatherPageEndToEnd = MainWindowTest;

// The first start places the whole window, status bar included, on the screen it opens on, whatever its size
// (the test script runs this suite on a 1600 x 1200 and on a 1024 x 768 screen).
TEST_F(WeatherPageEndToEnd, FirstStartShowsTheWholeWindowAndItsStatusBar)
{
    Aerovane_Pro& window = Window();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, 60000)) << "the window shown";
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(window.frameGeometry())) << screen.width() << "x" << screen.height();
    const QRect statusBar(window.ui.statusBar->mapToGlobal(QPoint()), window.ui.statusBar->size());
    EXPECT_TRUE(screen.contains(statusBar));
    // Every tab leaves room for its title and the style's 20-pixel paddings.
    const QTabBar& tabs = *window.ui.tabWidgetMain->tabBar();
    for (int i = 0; i < tabs.count(); ++i)
        EXPECT_GE(tabs.tabRect(i).width(), tabs.fontMetrics().horizontalAdvance(tabs.tabText(i)) + 40)
            << tabs.tabText(i).toStdString();
    QGuiApplication::primaryScreen()->grabWindow(0).save(
        QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/firststart-%1x%2.png").arg(screen.width()).arg(screen.height()));
}

// Two clicks on the METAR list: each brings back its own station's decoded report, TAF and level table.
TEST_F(WeatherPageEndToEnd, ClickedMetarLinesShowTheirStations)
{
    Aerovane_Pro& window = Window();
    CWeatherWorker& worker = *window.GetWeatherWorker();
    worker.LoadWeatherFromText(ServerFile("metar.txt"), ServerFile("synop.txt"), QString());
    worker.GetWeatherManager()->SetTAFText(L"TAF EDDF 221700Z 2218/2324 24008KT CAVOK BECMG 2306/2308 27015KT\n\n"
                                           L"TAF KJFK 221720Z 2218/2324 14010KT P6SM FEW250\n\n");
    worker.SetWeatherSource(WeatherDataLive);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, 60000)) << "the window shown";
    for (const char* icao : {"EDDF", "KJFK"}) {
        aviation::weather::CMetar metar = worker.GetMetar(QString::fromLatin1(icao));
        window.ShowMetar(metar);
    }

    QListWidget& list = *window.ui.listWidgetMetarRaw;
    const auto click = [&list](int row) {
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(row)).center());
    };
    click(0);
    EXPECT_TRUE(window.ui.textEditMetarDecoded->toPlainText().contains(QStringLiteral("KJFK")));
    EXPECT_TRUE(window.ui.plainTextEditTaf->toPlainText().startsWith(QStringLiteral("KJFK")));
    click(1);
    EXPECT_TRUE(window.ui.textEditMetarDecoded->toPlainText().contains(QStringLiteral("EDDF")));
    EXPECT_TRUE(window.ui.plainTextEditTaf->toPlainText().startsWith(QStringLiteral("EDDF")));
    EXPECT_GT(window.ui.tableViewLevelInfo->model()->rowCount(), 10);
    EXPECT_TRUE(EveryCellUnelided(*window.ui.tableViewLevelInfo));
    window.ui.tabWidgetMain->widget(0)->grab().save(QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/weatherpage.png"));
}

// With the weather server down, Download WX puts the failure and the next try on the status bar and says the
// server is not reached; once it is back, the next try (due after two seconds here) loads the weather.
TEST_F(WeatherPageEndToEnd, AFailedDownloadShowsOnTheStatusBarUntilTheNextTrySucceeds)
{
    auto weatherServer = std::make_unique<tools::WxServer>(QStringLiteral(AEROVANE_WXSERVER_DATA));
    ASSERT_TRUE(weatherServer->Listen());
    const quint16 port = weatherServer->Port();
    ServerAddresses addresses = ServerAddresses::BuiltIn();
    addresses.serverUrlDE = addresses.serverUrlUS = weatherServer->BaseUrl();
    ScopedServerAddresses pointed(addresses);
    Aerovane_Pro& window = Window();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, 60000)) << "the window shown";
    window.OnButtonConnect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.IsConnected(); }, 10000)) << "connected";
    window.GetWeatherWorker()->SetFirstDownloadRetry(2);

    weatherServer.reset();
    window.OnDownloadWX();
    const auto statusBarSays = [&window](const QString& text) {
        for (const QLabel* label : window.ui.statusBar->findChildren<QLabel*>()) {
            if (label->isVisible() && label->text().contains(text))
                return true;
        }
        return false;
    };
    EXPECT_TRUE(statusBarSays("Download weather failed: connection refused, next try in 2 s"));
    EXPECT_TRUE(statusBarSays("Aerovane Server not reached"));
    QTest::qWait(100); // the status bar lays out its new texts
    window.ui.statusBar->grab().save(QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/downloadfailed.png"));

    weatherServer = std::make_unique<tools::WxServer>(QStringLiteral(AEROVANE_WXSERVER_DATA));
    ASSERT_TRUE(weatherServer->Listen(port));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !statusBarSays("Aerovane Server not reached"); }, 30000))
        << "the retry two seconds later reached the server";
    EXPECT_FALSE(statusBarSays("failed"));
    EXPECT_GT(window.GetWeatherWorker()->GetWeatherManager()->CMetarManager::GetCount(), 0);
}
