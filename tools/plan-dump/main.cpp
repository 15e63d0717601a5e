// Reads flight plan files (FSX/P3D, FS2004, X-Plane) through the planner's plan-file reading, airports without a
// position placed by the embedded airport list, and prints each plan as one JSON line; a refused file prints the
// reason in "error". The readers' own lines and what the reading changed go to standard error.
//     plan-dump KSEA-KPDX.pln EDDFLOWW.fms notes.txt
//     {"file":"KSEA-KPDX.pln","departure":"KSEA","destination":"KPDX","cruise":30000,"waypoints":[{"ident":"KSEA",
//      "type":1,"lat":47.449,"lon":-122.309306,"alt":0}, ...]}
//     {"file":"notes.txt","error":"it is no FSX/P3D, FS2004 or X-Plane flight plan"}
// Exits 1 when any file given was refused, 0 otherwise.

#include "flightplan/planfilereader.h"
#include "platform/locale.h"
#include "tools/common/jsonline.h"
#include "weather/resourcetextstore.h"
#include "weather/weatherstations.h"

#include <QCoreApplication>

#include <cstdio>
#include <string>

namespace {

std::string WaypointsJson(const aviation::CFlightplan& plan)
{
    std::string json = "[";
    for (const aviation::CWaypointWX& point : plan.waypoints) {
        if (json.size() > 1)
            json += ",";
        json += tools::JsonLine()
                    .Add("ident", point.GetIdent())
                    .Add("type", point.GetType())
                    .Add("lat", point.GetLatitude())
                    .Add("lon", point.GetLongitude())
                    .Add("alt", point.GetAltitude())
                    .ToString();
    }
    return json + "]";
}

std::string PlanJson(const QString& path, const planfile::PlanFileReading& reading)
{
    tools::JsonLine line;
    line.Add("file", path.toStdString());
    if (reading.Refused())
        return line.Add("error", reading.error.toStdString()).ToString();
    const aviation::CFlightplan& plan = reading.plan;
    return line.Add("departure", plan.departure.GetIdent())
        .Add("destination", plan.destination.GetIdent())
        .Add("cruise", plan.cruiseAltitude)
        .AddJson("waypoints", WaypointsJson(plan))
        .ToString();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    platform::UseCLocale();
    aviation::weather::CWeatherStations airports;
    if (ResourceTextStore::LoadAirports())
        airports.InitAirports(ResourceTextStore::GetAirportText().toStdWString());
    const auto log = [](const QString& text) { std::fprintf(stderr, "%s\n", text.toUtf8().constData()); };

    int result = 0;
    for (int index = 1; index < argc; ++index) {
        const QString path = QString::fromLocal8Bit(argv[index]);
        const planfile::PlanFileReading reading = planfile::ReadPlanFile(path, 0, planfile::AirportsOf(airports), log);
        if (reading.Refused())
            result = 1;
        for (const QString& note : reading.notes)
            log(path + QStringLiteral(": ") + note);
        std::printf("%s\n", PlanJson(path, reading).c_str());
    }
    return result;
}
