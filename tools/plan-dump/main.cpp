// Reads flight plan files (FSX/P3D, FS2004, X-Plane) as the planner page opens them, on a page without a window,
// and prints each plan as one JSON line; a file no reader takes prints an empty route. The readers' own lines
// go to standard error.
//     plan-dump KSEA-KPDX.pln EDDFLOWW.fms
//     {"file":"KSEA-KPDX.pln","departure":"KSEA","destination":"KPDX","cruise":30000,"waypoints":[{"ident":"KSEA",
//      "type":1,"lat":47.449,"lon":-122.309306,"alt":0}, ...]}
// Exits 1 when a file cannot be opened, 0 otherwise.

#include "generation/prompter.h"
#include "planner/tab_flightplanner.h"
#include "platform/locale.h"
#include "tools/common/jsonline.h"

#include <QApplication>
#include <QFileInfo>

#include <cstdio>
#include <string>

namespace {

// The planner's message boxes, written to standard error instead of shown.
class StderrPrompter : public CPrompter
{
public:
    PromptAnswer Ask(const PromptRequest& request) override
    {
        std::fprintf(stderr, "%s: %s\n", request.title.toUtf8().constData(), request.text.toUtf8().constData());
        return PromptAnswer::Ok;
    }
};

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

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    platform::UseCLocale();
    StderrPrompter prompter;
    const ScopedPrompter scopedPrompter(prompter);

    int result = 0;
    for (int index = 1; index < argc; ++index) {
        const QString path = QString::fromLocal8Bit(argv[index]);
        if (!QFileInfo(path).isReadable())
            result = 1;
        CTab_Flightplanner planner;
        planner.OpenFlightPlanFile(path);
        const aviation::CFlightplan& plan = planner.GetEditedFlightPlan();
        const std::string json = tools::JsonLine()
                                     .Add("file", path.toStdString())
                                     .Add("departure", plan.departure.GetIdent())
                                     .Add("destination", plan.destination.GetIdent())
                                     .Add("cruise", plan.cruiseAltitude)
                                     .AddJson("waypoints", WaypointsJson(plan))
                                     .ToString();
        std::printf("%s\n", json.c_str());
    }
    return result;
}
