// The recorded-flights list over whole flights, one without a landing, one cut short and files that are none.
#include "recorder/flightdlg.h"
#include "settings/settings.h"
#include "tests/app/scopedappfolders.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

// A stored flight from the airport to EDDM, times in UTC as written; an empty landing is none.
QByteArray FlightXml(const char* callsign, const char* departure, const char* takeOff, const char* landing)
{
    const QString format = QStringLiteral("yyyy-MM-dd hh:mm:ss");
    CFlightData flight;
    flight.SetTakeOffTime(QDateTime::fromString(takeOff, format));
    flight.SetLandingTime(QDateTime::fromString(landing, format));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    CFlightFile::Write(buffer, callsign, flight, departure, QStringLiteral("EDDM"));
    return buffer.data();
}

void Store(const QString& name, const QByteArray& content)
{
    QDir().mkpath(CSettings::GetFlightsFolder());
    QFile file(QDir(CSettings::GetFlightsFolder()).filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
}

QStringList Row(const QTableWidget* table, int row)
{
    QStringList cells;
    for (int column = 0; column < table->columnCount(); ++column)
        cells << table->item(row, column)->text();
    return cells;
}

} // namespace

TEST(LocalTimeFlightList, OneRowPerFlightFileWithFlightTimesRoundTheClock)
{
    ScopedAppFolders folders;
    Store("flight_0_AVN101_1.xml", FlightXml("AVN101", "EDDF", "2026-12-07 13:10:00", "2026-12-07 14:40:00"));
    Store("flight_0_AVN102_2.xml", FlightXml("AVN102", "KJFK", "2026-12-07 10:00:00", "2026-12-08 11:00:00"));
    Store("flight_0_AVN103_3.xml", FlightXml("AVN103", "LOWW", "2026-12-09 08:00:00", ""));
    const QByteArray cut = FlightXml("AVN104", "EGLL", "2026-12-10 09:00:00", "2026-12-10 10:15:00");
    Store("flight_0_AVN104_4.xml", cut.left(cut.indexOf("<Dep>")));
    Store("flight_0_AVN105_5.xml.bak", FlightXml("AVN105", "EDDF", "", ""));
    Store("notes.txt", "not a flight");
    QDir().mkdir(QDir(CSettings::GetFlightsFolder()).filePath("archive.xml"));

    FlightDlg dialog;
    auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("tableWidget_flights"));
    ASSERT_EQ(table->rowCount(), 4);
    EXPECT_TRUE(dialog.findChild<QLabel*>("label_message")->text().isEmpty());

    table->sortByColumn(0, Qt::AscendingOrder);
    const QStringList expected[] = {
        {"AVN101", "", "EDDF", "EDDM", "2026-12-07 13:10:00", "01:30"},
        {"AVN102", "", "KJFK", "EDDM", "2026-12-07 10:00:00", "01:00"},
        {"AVN103", "", "LOWW", "EDDM", "2026-12-09 08:00:00", ""},
        // Cut short before its airports: listed with what was read.
        {"AVN104", "", "", "", "2026-12-10 09:00:00", "01:15"},
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
        EXPECT_EQ(dialog.findChild<QTableWidget*>()->rowCount(), 0);
        EXPECT_EQ(dialog.findChild<QLabel*>("label_message")->text(),
                  "<i>no flights</i> <a href=\"https://aerovane.example.org/wiki/flight-recorder\">Aerovane-Wiki</a>");
    }
}
