#include "recorder/flightdlg.h"

#include "settings/productaddresses.h"
#include "settings/settings.h"

#include <QDebug>
#include <QDir>
#include <QHeaderView>

namespace {

enum Column { Callsign, Aircraft, Departure, Destination, TakeOff, FlightTime };

// Landing minus take-off as "hh:mm", the hours counted round the clock; empty without both times.
QString ListedFlightTime(const CFlightData& flight)
{
    if (flight.GetTakeOffTime().isNull() || flight.GetLandingTime().isNull())
        return QString();
    const qint64 seconds = flight.GetLandingTime().toSecsSinceEpoch() - flight.GetTakeOffTime().toSecsSinceEpoch();
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(QStringLiteral("hh:mm"));
}

} // namespace

FlightDlg::FlightDlg(QWidget* parent)
    : QDialog(parent)
{
    ui.setupUi(this);
    ReadFlights();
    FillFlightTable();
}

FlightDlg::~FlightDlg() = default;

void FlightDlg::ReadFlights()
{
    m_flights.clear();
    const QFileInfoList files
        = QDir(CSettings::GetFlightsFolder())
              .entryInfoList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& file : files) {
        qDebug().noquote() << QStringLiteral("%1 %2").arg(file.fileName(), QString::number(file.size()));
        FlightListEntry entry;
        entry.path = file.absoluteFilePath();
        ReadFlightFile(entry);
        m_flights.push_back(entry);
    }
}

bool FlightDlg::ReadFlightFile(FlightListEntry& entry)
{
    return CFlightFile::Read(entry);
}

void FlightDlg::FillFlightTable()
{
    QTableWidget* table = ui.tableWidget_flights;
    if (m_flights.empty()) {
        ui.label_message->setText(QStringLiteral("<i>no flights</i> <a href=\"%1\">Aerovane-Wiki</a>")
                                      .arg(QLatin1String(ProductAddresses::kFlightRecorderPage)));
        return;
    }
    // A sorted table moves a row as soon as its first cell is set; the rest of its cells would land in others.
    table->setSortingEnabled(false);
    table->setRowCount(static_cast<int>(m_flights.size()));
    for (int row = 0; row < table->rowCount(); ++row) {
        const FlightListEntry& entry = m_flights[static_cast<std::size_t>(row)];
        const QDateTime takeOff = entry.flight.GetTakeOffTime();
        const QString cells[] = {entry.callsign,
                                 entry.aircraft,
                                 entry.flight.GetDeparture(),
                                 entry.flight.GetDestination(),
                                 takeOff.isNull() ? QString() : takeOff.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
                                 ListedFlightTime(entry.flight)};
        for (int column = Callsign; column <= FlightTime; ++column)
            table->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    table->setSortingEnabled(true);
    // No cell cut: every column as wide as its contents, the last one taking the room that is left.
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
}
