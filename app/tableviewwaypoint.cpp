#include "app/tableviewwaypoint.h"

#include "app/tablecells.h"

#include <QItemSelectionModel>
#include <QList>
#include <QTime>

#include <cstdint>

using aviation::CWaypointWX;
using aviation::Position;
using tablecells::CenteredItem;
using tablecells::kDegreeSign;

namespace {

constexpr int kModelColumns = 12;
constexpr int kColumnWidths[] = {60, 70, 40, 50, 50, 50, 50, 70, 50, 50, 50, 50, 50};
constexpr int kSecondsPerDay = 24 * 60 * 60;

// A value the planner did not work out: "-" on the first row, which has no leg, "n/a" on the others.
QString MissingText(bool firstRow)
{
    return firstRow ? QStringLiteral("-") : QStringLiteral("n/a");
}

QString SpeedText(int knots, bool firstRow)
{
    return knots > 0 ? QString::asprintf("%i kt", knots) : MissingText(firstRow);
}

// The leg time as a time of day after midnight, so a leg of a day or more wraps round.
QString LegTimeText(int minutes, bool firstRow)
{
    if (minutes <= 0)
        return MissingText(firstRow);
    const int seconds = static_cast<int>(static_cast<std::int64_t>(minutes) * 60 % kSecondsPerDay);
    return QTime(0, 0, 0).addSecs(seconds).toString(QStringLiteral("HH:mm"));
}

// The 13 cells of a waypoint reached from `previous`; a previous position of (0, 0) counts as no leg.
QList<QStandardItem*> WaypointRow(const CWaypointWX& waypoint, const Position& previous, bool firstRow)
{
    const Position position = waypoint.GetPosition();
    const bool leg = !(previous == Position(0.0, 0.0));
    const double course = leg ? Position::GetCourse(previous, position) : 0.0;
    const double distance = leg ? Position::GetDistance(previous, position) : 0.0;
    const aviation::weather::CWind wind = waypoint.GetWind();
    const bool noWeather = wind.speed == -1.0;

    const QString cells[] = {
        QString::fromStdWString(waypoint.GetIdent()),
        QString::fromStdWString(waypoint.GetTypeText()),
        QString::asprintf("%.2f%c", position.GetLatitude(), kDegreeSign),
        QString::asprintf("%.2f%c", position.GetLongitude(), kDegreeSign),
        QString::asprintf("%.0f%c", course, kDegreeSign),
        QString::asprintf("%.0f NM", distance),
        QString::asprintf("%i", waypoint.GetAltitude()),
        noWeather ? QStringLiteral("n/a")
                  : QString::asprintf("%03.0f%c/%.0f kt", wind.direction, kDegreeSign, wind.speed),
        noWeather ? QStringLiteral("n/a")
                  : QString::asprintf("%.0f%cC", static_cast<double>(waypoint.GetTemperature()), kDegreeSign),
        SpeedText(waypoint.GetTas(), firstRow),
        firstRow ? QStringLiteral("-") : QString::asprintf("%.0f%c", waypoint.GetHeading(), kDegreeSign),
        SpeedText(waypoint.GetGroundSpeed(), firstRow),
        LegTimeText(waypoint.GetLegTime(), firstRow),
    };
    QList<QStandardItem*> row;
    for (const QString& text : cells)
        row << CenteredItem(text);
    return row;
}

} // namespace

CTableViewWaypoint::CTableViewWaypoint(QWidget* parent)
    : QTableView(parent)
    , m_model(std::make_shared<QStandardItemModel>(0, kModelColumns, this))
{
    InitHeader();
    setModel(m_model.get());
    InitColumnWidths();
}

CTableViewWaypoint::~CTableViewWaypoint()
{
    m_model.reset();
}

void CTableViewWaypoint::InitHeader()
{
    // The thirteenth label widens the model to its 13 columns.
    m_model->setHorizontalHeaderLabels(
        {"Waypoint", "Type", "Lat", "Lon", "Course", "Dist", "Alt", "Wind", "Temp", "TAS", "Hdg", "GS", "Time"});
}

void CTableViewWaypoint::InitColumnWidths()
{
    int column = 0;
    for (int width : kColumnWidths)
        setColumnWidth(column++, width);
}

void CTableViewWaypoint::ResetModel()
{
    // The view makes a selection model for every model it is given and leaves the previous one to its owner;
    // it is dropped here with the model it selected in, so repeated resets leave nothing behind.
    QItemSelectionModel* oldSelection = selectionModel();
    auto model = std::make_shared<QStandardItemModel>(0, kModelColumns, this);
    m_model.swap(model);
    InitHeader();
    setModel(m_model.get());
    delete oldSelection;
    InitColumnWidths();
}

void CTableViewWaypoint::SetFlightPlan(const aviation::CFlightplan& plan)
{
    m_model->removeRows(0, m_model->rowCount());
    Position previous(0.0, 0.0);
    bool firstRow = true;
    for (const CWaypointWX& waypoint : plan.waypoints) {
        m_model->appendRow(WaypointRow(waypoint, previous, firstRow));
        previous = waypoint.GetPosition();
        firstRow = false;
    }
    // Positions, distances and winds are read whole, never as "47…".
    resizeColumnsToContents();
}

void CTableViewWaypoint::SelectWaypoint(const aviation::WayPoint& waypoint)
{
    const QString ident = QString::fromStdWString(waypoint.GetIdent());
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QStandardItem* cell = m_model->item(row, 0);
        if (cell && cell->text() == ident) {
            selectRow(row);
            return;
        }
    }
}
