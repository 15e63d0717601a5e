#include "planner/tab_flightplanner_pmdgwind.h"
#include "planner/tab_flightplanner.h"
#include "planner/tab_flightplanner_calculation.h"

#include "platform/debugoutput.h"
#include "platform/filename.h"
#include "settings/settings.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

#include <cmath>

using aviation::weather::CGrib;
using aviation::weather::CLevel;

namespace flightplanner {

namespace {

constexpr int kAltitudes[] = {6000, 9000, 12000, 18000, 24000, 30000, 34000, 39000, 44000, 49000};

// A value the grid could not give (not a number) is written as the unset value.
double Finite(double value, double unset)
{
    return std::isfinite(value) ? value : unset;
}

// "275@42(-30)": the level's wind, then its whole temperature in brackets.
QString LevelText(const CLevel& level)
{
    return QString::asprintf("%03.0f@%.0f", Finite(level.direction, -1.0), Finite(level.speed, -1.0))
        + QStringLiteral("(%1)").arg(TruncatedInt(Finite(level.GetTemperature(), CLevel::kNoTemperature)));
}

} // namespace

QString PMDG777WindText(const aviation::CFlightplan& plan)
{
    QString text;
    for (const aviation::CWaypointWX& point : plan.waypoints) {
        const CGrib grib = point.GetGrib();
        QStringList levels;
        for (int altitude : kAltitudes)
            levels << LevelText(grib.GetLevelAtAltitude(altitude));
        text += QString::fromStdWString(point.GetIdent()) + QStringLiteral("\t ") + levels.mid(0, 5).join('\t')
            + QStringLiteral("\n\t\t") + levels.mid(5).join('\t') + QStringLiteral("\n");
    }
    return text;
}

bool WritePMDG777WindFile(const QString& folder, const aviation::CFlightplan& plan)
{
    const QString path = folder + QDir::separator()
        + platform::SafeFileName(QString::fromStdWString(plan.departure.GetIdent()))
        + platform::SafeFileName(QString::fromStdWString(plan.destination.GetIdent())) + QStringLiteral(".wx");
    QFile file(path);
    // Without a folder the file would land in the file system's root.
    if (folder.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        platform::DebugOut(L"Can not create file: " + path.toStdWString() + L"\n");
        return false;
    }
    QTextStream stream(&file);
    stream << PMDG777WindText(plan);
    stream.flush();
    return stream.status() == QTextStream::Ok && file.error() == QFileDevice::NoError;
}

} // namespace flightplanner

void CTab_Flightplanner::ExportPMDG777Wind()
{
    if (CSettings::GetExportPMDG777WX())
        flightplanner::WritePMDG777WindFile(CSettings::GetExportPMDG777WXFolder(), m_calculatedFlightplan);
}
