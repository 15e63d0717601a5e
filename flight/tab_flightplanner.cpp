#include "flight/tab_flightplanner.h"

#include "forms/mainwindowform.h"

CTab_Flightplanner::CTab_Flightplanner(QWidget* parent)
    : QWidget(parent)
{
}

CTab_Flightplanner::~CTab_Flightplanner() = default;

void CTab_Flightplanner::Init(CMainWindowHost* window, CWeatherWorker* worker)
{
    m_window = window;
    m_weatherWorker = worker;
    m_form = CMainWindowForm::FormOf(this);
    if (m_form != nullptr)
        m_form->pushButton_printFp->setEnabled(false);
}

void CTab_Flightplanner::DepartureChange(const QString& /*text*/) { }

void CTab_Flightplanner::DestinationChange(const QString& /*text*/) { }

void CTab_Flightplanner::AlternateChange(const QString& /*text*/) { }

void CTab_Flightplanner::CruisingLevelChanged() { }

void CTab_Flightplanner::ImportFP() { }

void CTab_Flightplanner::CalculateFP() { }

void CTab_Flightplanner::Reset()
{
    if (m_form != nullptr)
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

void CTab_Flightplanner::UpdatePosition(const aviation::structs::CAircraft& /*aircraft*/) { }
