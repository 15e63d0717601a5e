// The recorded-flights list over a flights folder as the recorder leaves it: whole flights, a flight without a
// landing, a file cut short, and files that are no flights.
#include "flight/flightdlg.h"
#include "settings/settings.h"
#include "tests/app/scopedappfolders.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

struct StoredFlight
{
    const char* fileName;
    const char* callsign;
    const char* departure;
    const char* takeOff; // UTC, as written
    const char* landing; // empty: none
};

QByteArray FlightXml(const StoredFlight& stored)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Flight>\n    <FlightData>\n"
                          "        <Callsign>%1</Callsign>\n        <Aircraft>Boeing 737-800</Aircraft>\n"
                          "        <Registration>D-AVNE</Registration>\n        <BlockOff></BlockOff>\n"
                          "        <BlockON></BlockON>\n        <TakeOffTime>%2</TakeOffTime>\n"
                          "        <LandingTime>%3</LandingTime>\n        <Touchdownrate>-150</Touchdownrate>\n"
                          "        <Dep>%4</Dep>\n        <Dest>EDDM</Dest>\n    </FlightData>\n"
                          "    <Positions>\n    </Positions>\n</Flight>\n")
        .arg(stored.callsign, stored.takeOff, stored.landing, stored.departure)
        .toUtf8();
}

void Store(const QString& name, const QByteArray& content)
{
    QDir().mkpath(CSettings::GetFlightsFolder());
    QFile file(QDir(CSettings::GetFlightsFolder()).filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QTableWidget* Table(FlightDlg& dialog)
{
    return dialog.findChild<QTableWidget*>(QStringLiteral("tableWidget_flights"));
}

QStringList Row(QTableWidget* table, int row)
{
    QStringList cells;
    for (int column = 0; column < table->columnCount(); ++column)
        cells << (table->item(row, column) ? table->item(row, column)->text() : QStringLiteral("<none>"));
    return cells;
}

} // namespace

TEST(LocalTimeFlightList, OneRowPerFlightFileWithFlightTimesRoundTheClock)
{
    ScopedAppFolders folders;
    const StoredFlight flights[] = {
        {"flight_0_AVN101_20261207143005.xml", "AVN101", "EDDF", "2026-12-07 13:10:00", "2026-12-07 14:40:00"},
        {"flight_0_AVN102_20261208143005.xml", "AVN102", "KJFK", "2026-12-07 10:00:00", "2026-12-08 11:00:00"},
        {"flight_0_AVN103_20261209143005.xml", "AVN103", "LOWW", "2026-12-09 08:00:00", ""},
    };
    for (const StoredFlight& flight : flights)
        Store(flight.fileName, FlightXml(flight));
    const QByteArray cut = FlightXml({"", "AVN104", "EGLL", "2026-12-10 09:00:00", "2026-12-10 10:15:00"});
    Store("flight_0_AVN104_20261210143005.xml", cut.left(cut.indexOf("<Dep>")));
    Store("flight_0_AVN105_20261211143005.xml.bak", FlightXml(flights[0]));
    Store("notes.txt", "not a flight");
    QDir().mkdir(QDir(CSettings::GetFlightsFolder()).filePath("archive.xml"));

    FlightDlg dialog;
    QTableWidget* table = Table(dialog);
    ASSERT_EQ(table->rowCount(), 4);
    EXPECT_EQ(dialog.windowTitle(), "Flights");
    EXPECT_TRUE(dialog.findChild<QLabel*>("label_message")->text().isEmpty());

    table->sortByColumn(0, Qt::AscendingOrder);
    const QStringList expected[] = {
        {"AVN101", "Boeing 737-800", "EDDF", "EDDM", "2026-12-07 13:10:00", "01:30"},
        {"AVN102", "Boeing 737-800", "KJFK", "EDDM", "2026-12-07 10:00:00", "01:00"},
        {"AVN103", "Boeing 737-800", "LOWW", "EDDM", "2026-12-09 08:00:00", ""},
        // Cut short before its airports: listed with what was read.
        {"AVN104", "Boeing 737-800", "", "", "2026-12-10 09:00:00", "01:15"},
    };
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(Row(table, row), expected[row]) << row;

    // Sorting by "Dep" moves whole rows.
    table->sortByColumn(2, Qt::DescendingOrder);
    const int order[] = {2, 1, 0, 3};
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(Row(table, row), expected[order[row]]) << row;
}

TEST(FlightList, EmptyOrMissingFolderShowsTheNoFlightsHint)
{
    for (const bool folderExists : {false, true}) {
        ScopedAppFolders folders;
        if (folderExists)
            Store("notes.txt", "not a flight");
        FlightDlg dialog;
        EXPECT_EQ(Table(dialog)->rowCount(), 0);
        const QString hint = dialog.findChild<QLabel*>("label_message")->text();
        EXPECT_TRUE(hint.startsWith("<i>no flights</i> <a href=\"https://")) << hint.toStdString();
        EXPECT_TRUE(hint.endsWith("\">Aerovane-Wiki</a>")) << hint.toStdString();
    }
}
