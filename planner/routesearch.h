// The route finder as the planner page asks it: checks the typed airports, downloads the routes between them
// with the window's downloader and lets the user pick one in the route picker.
#pragma once

#include "flightplan/flightplan.h"

#include <QString>

#include <optional>

class CMainWindowHost;
class QWidget;

class RouteSearch
{
public:
    // The picker's parent and the window whose downloader, station database and log the search uses.
    RouteSearch(QWidget* window, CMainWindowHost* host);

    // The picked route; nothing when the airports are not four characters each, the download fails, the reply
    // holds no usable route or the picker is cancelled. Each failure but the cancel gives one message with its
    // cause; the console gets the reply's size, never the reply.
    std::optional<aviation::CFlightplan> Pick(const QString& departure, const QString& destination);

private:
    QWidget* m_window;
    CMainWindowHost* m_host;
};
