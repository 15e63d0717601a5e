#include "flightplan/squawkboxflightplan.h"

#include <QSettings>

bool SquawkBoxFlightplan::Write(const QString& path, const aviation::CFlightplan& plan, const QString& altitude,
                                const QString& route)
{
    const QString zero = QStringLiteral("0");
    QSettings file(path, QSettings::IniFormat);
    file.clear();
    file.beginGroup(QStringLiteral("SBFlightPlan"));
    file.setValue(QStringLiteral("Type"), zero);
    file.setValue(QStringLiteral("Departure"), QString::fromStdWString(plan.departure.GetIdent()));
    file.setValue(QStringLiteral("Arrival"), QString::fromStdWString(plan.destination.GetIdent()));
    file.setValue(QStringLiteral("Alternate"), QString::fromStdWString(plan.alternate.GetIdent()));
    file.setValue(QStringLiteral("FlightHours"), zero);
    file.setValue(QStringLiteral("FlightMinutes"), zero);
    file.setValue(QStringLiteral("FuelHours"), zero);
    file.setValue(QStringLiteral("FuelMinutes"), zero);
    file.setValue(QStringLiteral("Airspeed"), zero);
    file.setValue(QStringLiteral("Altitude"), altitude);
    file.setValue(QStringLiteral("Route"), route);
    file.setValue(QStringLiteral("Remarks"), QString());
    file.setValue(QStringLiteral("Heavy"), zero);
    file.setValue(QStringLiteral("Suffix"), QString());
    file.setValue(QStringLiteral("Voice"), zero);
    file.endGroup();
    file.sync();
    return file.status() == QSettings::NoError;
}
