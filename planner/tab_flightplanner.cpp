#include "planner/tab_flightplanner.h"

#include "flightplan/planfilereader.h"
#include "flightplan/planfiletext.h"
#include "forms/mainwindowform.h"
#include "generation/mainwindowhost.h"
#include "generation/prompter.h"
#include "generation/weatherworker.h"
#include "platform/clock.h"
#include "platform/debugoutput.h"
#include "platform/regularfile.h"
#include "settings/settings.h"
#include "weather/weathermanager.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QStyleOptionFrame>

#include <utility>

namespace {

aviation::CWaypointWX AirportPoint(const aviation::weather::CStation& station, int type)
{
    return planfile::RoutePoint(QString::fromWCharArray(station.GetICAO()), station.GetPosition(),
                                QString::fromStdWString(station.GetName()), type, station.GetElevation());
}

// A known airport pale green, an unknown one pale red, both under black text that stays readable.
const QString kKnownAirportStyle = QStringLiteral("QLineEdit{background-color: rgb(190, 240, 190); color: black;}");
const QString kUnknownAirportStyle = QStringLiteral("QLineEdit{background-color: rgb(255, 190, 190); color: black;}");

// Waypoint rows the table shows without scrolling, however small the screen.
constexpr int kVisibleWaypointRows = 5;

// Gives a field the width of the longest text it shows: a route of 20,000 NM flown for days, 10,000,000 of fuel.
void FitWidth(QLineEdit* field, const QString& longest)
{
    QStyleOptionFrame option;
    option.initFrom(field);
    option.lineWidth
        = field->hasFrame() ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field) : 0;
    const QMargins margins = field->textMargins();
    // A line edit keeps a few pixels between its frame and its text.
    constexpr int kInnerMargin = 4;
    const QSize text(field->fontMetrics().horizontalAdvance(longest) + margins.left() + margins.right()
                         + 2 * kInnerMargin,
                     field->sizeHint().height());
    field->setFixedWidth(field->style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, field).width());
}

void DebugLine(const QString& text)
{
    platform::DebugOut((text + QLatin1Char('\n')).toStdWString());
}

} // namespace

CTab_Flightplanner::CTab_Flightplanner(QWidget* parent)
    : QWidget(parent)
    , m_positionSearchMs(platform::MonotonicMs())
{
}

CTab_Flightplanner::~CTab_Flightplanner() = default;

void CTab_Flightplanner::Init(CMainWindowHost* window, CWeatherWorker* worker)
{
    m_window = window;
    m_weatherWorker = worker;
    m_weatherManager = worker != nullptr ? worker->GetWeatherManager() : nullptr;
    m_form = CMainWindowForm::FormOf(this);
    if (m_form == nullptr)
        return;
    m_form->pushButton_printFp->setEnabled(false);
    FitResultFields();
}

void CTab_Flightplanner::FitResultFields()
{
    const QString fuel = QStringLiteral("10000000");
    const std::pair<QLineEdit*, QString> longest[] = {
        {m_form->lineEdit_dist, QStringLiteral("20000.0NM")},
        {m_form->lineEdit_avaerageDir, QStringLiteral("359.9") + QChar(0x00B0)},
        {m_form->lineEdit_averageWind, QStringLiteral("359") + QChar(0x00B0) + QStringLiteral("/200 kt")},
        {m_form->lineEdit_estimatedFlightTime, QStringLiteral("9999:59")},
        {m_form->lineEdit_fuel_route, fuel},
        {m_form->lineEdit_taxi, fuel},
        {m_form->lineEdit_fuel_holding, fuel},
        {m_form->lineEdit_fuel_extra, fuel},
        {m_form->lineEdit_fuel_total, fuel},
    };
    for (const auto& [field, text] : longest)
        FitWidth(field, text);

    CTableViewWaypoint* table = m_form->tableView_waypoints;
    const int scrollBar = table->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, table);
    table->setMinimumHeight(table->horizontalHeader()->sizeHint().height()
                            + kVisibleWaypointRows * table->verticalHeader()->defaultSectionSize() + scrollBar
                            + 2 * table->frameWidth());
}

void CTab_Flightplanner::Log(const QString& text)
{
    if (m_window != nullptr)
        m_window->sigUIDebugString(text, 0);
    else
        DebugLine(text);
}

void CTab_Flightplanner::DepartureChange(const QString& text)
{
    if (m_form != nullptr)
        AirportChange(m_form->lineEdit_Dep, text, m_flightplan.departure, true);
}

void CTab_Flightplanner::DestinationChange(const QString& text)
{
    if (m_form != nullptr)
        AirportChange(m_form->lineEdit_Arrival, text, m_flightplan.destination, true);
}

void CTab_Flightplanner::AlternateChange(const QString& text)
{
    if (m_form != nullptr)
        AirportChange(m_form->lineEdit_Altinate, text, m_flightplan.alternate, false);
}

void CTab_Flightplanner::AirportChange(QLineEdit* field, const QString& text, aviation::CWaypointWX& airport,
                                       bool enablesCalculation)
{
    const QString icao = text.toUpper();
    if (field->text() != icao) {
        // The window forwards every change of the field; putting the upper-case text back is not a new one.
        const QSignalBlocker blocker(field);
        field->setText(icao);
    }
    if (icao.size() < 4)
        return;

    aviation::weather::CStation station;
    if (m_weatherManager == nullptr || !m_weatherManager->FindAirport(icao.toStdWString(), station)) {
        field->setStyleSheet(kUnknownAirportStyle);
        m_form->pushButton_Calculate->setEnabled(false);
        return;
    }
    field->setStyleSheet(kKnownAirportStyle);
    airport = AirportPoint(station, 1);
    if (enablesCalculation && m_flightplan.departure.GetIdent().size() == 4
        && m_flightplan.destination.GetIdent().size() == 4)
        m_form->pushButton_Calculate->setEnabled(true);
}

void CTab_Flightplanner::CruisingLevelChanged()
{
    if (m_form == nullptr || m_aircraft.maxAlt < 1)
        return;
    QLineEdit* field = m_form->lineEdit_CruiseAlt;
    const int level = field->text().toInt();
    if (level < 1) {
        field->setStyleSheet(QStringLiteral("QLineEdit{background: red;}"));
        return;
    }
    field->setStyleSheet(QStringLiteral("QLineEdit{background: white;}"));
    DebugLine(QStringLiteral("Aircraft Max Alt: %1").arg(m_aircraft.maxAlt));
    if (level > m_aircraft.maxAlt) {
        field->setStyleSheet(QStringLiteral("QLineEdit{background: red;}"));
        Prompter().Ask({PromptKind::Information, QStringLiteral("Aerovane - Flight planner"),
                        QStringLiteral("The Cruising Altitude is greater than Maximum Altitude from your selected "
                                       "aircraft!"),
                        QString()});
    }
    m_flightplan.cruiseAltitude = level;
}

void CTab_Flightplanner::ImportFP()
{
    const QString path = Prompter().Choose(
        {ChooserKind::OpenFile, QStringLiteral("Import *.PLN"), CSettings::GetPathToFlightplan(),
         QStringLiteral("FS2004/FSX/XPlane Flightplan files (*.pln *.PLN *.fms *.FMS);;All files (*)")});
    if (path.isEmpty())
        return;
    DebugLine(QStringLiteral("TabFlightplanner: Open File ") + path);
    CSettings::SetPathToFlightplan(QFileInfo(path).absolutePath());
    if (OpenFlightPlanFile(path) && m_flightplan.waypoints.size() >= 2)
        CalculateFP();
}

bool CTab_Flightplanner::OpenFlightPlanFile(const QString& path)
{
    const planfile::AirportFinder findAirport
        = m_weatherManager != nullptr ? planfile::AirportsOf(*m_weatherManager) : planfile::AirportFinder();
    // A cruising altitude the field cannot hold leaves the field's.
    const int cruiseAltitude
        = m_form != nullptr ? m_form->lineEdit_CruiseAlt->text().toInt() : m_flightplan.cruiseAltitude;
    planfile::PlanFileReading reading
        = planfile::ReadPlanFile(path, cruiseAltitude, findAirport, [this](const QString& text) { Log(text); });
    const QString fileName = QFileInfo(path).fileName();
    if (reading.Refused()) {
        Log(QStringLiteral("(Flightplanner) - %1 not imported: %2").arg(fileName, reading.error));
        Prompter().Ask({PromptKind::Warning, QStringLiteral("File Error"),
                        platform::FileRefusal(path, QStringLiteral("imported"), reading.error), QString()});
        return false;
    }
    // What the page adds to a plan stays with it.
    reading.plan.flightLevel = m_flightplan.flightLevel;
    reading.plan.remarks = m_flightplan.remarks;
    reading.plan.alternate = m_flightplan.alternate;
    m_flightplan = reading.plan;
    if (!reading.notes.isEmpty()) {
        Log(QStringLiteral("(Flightplanner) - %1: %2").arg(fileName, reading.notes.join(QStringLiteral("; "))));
        Prompter().Ask({PromptKind::Information, QStringLiteral("Aerovane - Flight planner"),
                        QStringLiteral("%1 was imported; %2.").arg(fileName, reading.notes.join(QStringLiteral("; "))),
                        QString()});
    }
    if (m_form != nullptr)
        m_form->pushButton_printFp->setEnabled(false);

    const bool shown = m_window != nullptr && m_form != nullptr;
    if (shown && !m_form->lineEdit_Altinate->text().isEmpty() && m_weatherWorker != nullptr) {
        aviation::weather::CStation station;
        m_weatherWorker->FindStation(m_form->lineEdit_Altinate->text(), station);
        if (station.GetICAO()[0] != L'\0') {
            m_flightplan.alternate = AirportPoint(station, 2);
            m_flightplan.waypoints.push_back(m_flightplan.alternate);
        }
    }

    for (aviation::CWaypointWX& point : m_flightplan.waypoints) {
        if (point.GetType() == 1 && point.GetAltitude() == 0 && m_weatherWorker != nullptr) {
            aviation::weather::CStation station;
            m_weatherWorker->FindStation(QString::fromStdWString(point.GetIdent()), station);
            if (station.GetICAO()[0] != L'\0')
                point.SetAltitude(station.GetElevation());
        }
    }
    m_totalDistance = aviation::RouteDistance(m_flightplan);
    const double course = aviation::RouteCourse(m_flightplan);

    if (!shown)
        return true;
    m_form->lineEdit_Dep->setText(QString::fromStdWString(m_flightplan.departure.GetIdent()));
    m_form->lineEdit_Arrival->setText(QString::fromStdWString(m_flightplan.destination.GetIdent()));
    m_form->lineEdit_CruiseAlt->setText(QString::number(m_flightplan.cruiseAltitude));
    m_form->tableView_waypoints->SetFlightPlan(m_flightplan);
    QString route;
    for (const aviation::CWaypointWX& point : m_flightplan.waypoints)
        route += QString::fromStdWString(point.GetIdent()) + QLatin1Char(' ');
    m_form->plainTextEdit_route->setPlainText(route.trimmed());
    m_form->lineEdit_dist->setText(QString::number(m_totalDistance, 'f', 1) + QStringLiteral("NM"));
    m_form->lineEdit_avaerageDir->setText(QString::number(course, 'f', 1) + QChar(0x00B0));
    return true;
}

void CTab_Flightplanner::CalculateFP()
{
    if (m_form != nullptr) {
        m_form->pushButton_Calculate->setEnabled(false);
        m_form->pushButton_printFp->setEnabled(false);
    }
    CalculateFlightPlan();
    ExportPMDG777Wind();
    if (m_form != nullptr) {
        m_form->pushButton_Calculate->setEnabled(true);
        m_form->pushButton_printFp->setEnabled(true);
    }
}

void CTab_Flightplanner::Reset()
{
    m_flightplan.Clear();
    m_calculatedFlightplan.Clear();
    if (m_form == nullptr)
        return;
    for (QLineEdit* field : {m_form->lineEdit_Dep, m_form->lineEdit_Arrival, m_form->lineEdit_Altinate})
        field->clear();
    m_form->plainTextEdit_route->clear();
    for (QLineEdit* field : {m_form->lineEdit_dist, m_form->lineEdit_avaerageDir, m_form->lineEdit_averageWind,
                             m_form->lineEdit_estimatedFlightTime, m_form->lineEdit_fuel_route, m_form->lineEdit_taxi,
                             m_form->lineEdit_fuel_holding, m_form->lineEdit_fuel_extra, m_form->lineEdit_fuel_total})
        field->clear();
    m_form->tableView_waypoints->ResetModel();
}

aviation::CFlightplan CTab_Flightplanner::GetFlightPlan() const
{
    return m_calculatedFlightplan;
}

void CTab_Flightplanner::SetAircraft(const aviation::structs::CAircraftDetail& aircraft)
{
    m_aircraft = aircraft;
    if (m_form != nullptr && m_form->lineEdit_CruiseAlt->text().toInt() > m_aircraft.maxAlt)
        m_form->lineEdit_CruiseAlt->setText(QString::number(m_aircraft.CruiseAlt));
}

void CTab_Flightplanner::UpdatePosition(const aviation::structs::CAircraft& aircraft)
{
    if (platform::MonotonicMs() - m_positionSearchMs <= kPositionSearchIntervalMs)
        return;
    const std::vector<aviation::CWaypointWX>& route
        = m_calculatedFlightplan.waypoints.empty() ? m_flightplan.waypoints : m_calculatedFlightplan.waypoints;
    if (route.empty())
        return;

    const aviation::CWaypointWX* current = nullptr;
    double best = kCurrentPointRangeNm;
    for (const aviation::CWaypointWX& point : route) {
        const double distance = aviation::CalcDistance(aircraft, point);
        if (distance < best) {
            best = distance;
            current = &point;
        }
    }
    if (current != nullptr && m_form != nullptr)
        m_form->tableView_waypoints->SelectWaypoint(*current);
    m_positionSearchMs = platform::MonotonicMs();
}
