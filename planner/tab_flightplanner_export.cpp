#include "forms/mainwindowform.h"
#include "planner/flightplanexport.h"
#include "planner/routesearch.h"
#include "planner/tab_flightplanner.h"

void CTab_Flightplanner::ExportFP()
{
    FlightplanExport(this, m_form, m_window).Run(m_calculatedFlightplan);
}

void CTab_Flightplanner::GetRouteVatRoute()
{
    if (m_form == nullptr)
        return;
    const auto picked
        = RouteSearch(window(), m_window).Pick(m_form->lineEdit_Dep->text(), m_form->lineEdit_Arrival->text());
    if (!picked)
        return;
    m_flightplan = *picked;
    m_form->plainTextEdit_route->setPlainText(QString::fromStdWString(m_flightplan.title));
    CalculateFP();
    m_totalDistance = aviation::RouteDistance(m_flightplan);
    const double course = aviation::RouteCourse(m_flightplan);
    m_form->lineEdit_dist->setText(QString::number(m_totalDistance, 'f', 1) + QStringLiteral("NM"));
    m_form->lineEdit_avaerageDir->setText(QString::number(course, 'f', 1) + QChar(0x00B0));
}
