#include "planner/routesearch.h"

#include "generation/mainwindowhost.h"
#include "generation/prompter.h"
#include "generation/weatherworker.h"
#include "generation/wxdownloader.h"
#include "planner/dlgflightplans.h"
#include "planner/routefinder.h"
#include "settings/serveraddresses.h"
#include "settings/settings.h"

#include <QDebug>

namespace {

constexpr int kIcaoLength = 4;
const QString kTitle = QStringLiteral("Aerovane - VATroute");

} // namespace

RouteSearch::RouteSearch(QWidget* window, CMainWindowHost* host)
    : m_window(window)
    , m_host(host)
{
}

std::optional<aviation::CFlightplan> RouteSearch::Pick(const QString& departure, const QString& destination)
{
    if (departure.size() != kIcaoLength || destination.size() != kIcaoLength) {
        Prompter().Ask({PromptKind::Information, QStringLiteral("Aerovane-VatRoute"),
                        QStringLiteral("Please enter departure and destination airport"), QString()});
        return std::nullopt;
    }
    if (m_host == nullptr || m_host->GetDownloader() == nullptr)
        return std::nullopt;

    const ServerAddresses addresses = CSettings::GetServerAddresses();
    QString reply;
    const int error = m_host->GetDownloader()->DownloadWithProgress(
        RouteFinder::RequestUrl(addresses.routeFinderUrl, addresses.routeFinderAppName, departure, destination),
        &reply);
    if (error != 0) {
        m_host->sigUIDebugString(QStringLiteral("(Flightplanner) VatRoute - Network Error %1").arg(error), 0);
        const QString cause = m_host->GetDownloader()->GetLastErrorText();
        Prompter().Ask({PromptKind::Warning, kTitle,
                        QStringLiteral("The route finder gave no routes: %1.")
                            .arg(cause.isEmpty() ? QStringLiteral("network error %1").arg(error) : cause),
                        QString()});
        return std::nullopt;
    }
    qDebug().noquote() << QStringLiteral("(Flightplanner-Vatroute) - reply of %1 characters").arg(reply.size());

    CWeatherWorker* worker = m_host->GetWeatherWorker();
    const auto elevation = [worker](const QString& ident) {
        if (worker == nullptr)
            return 0;
        aviation::weather::CStation station;
        worker->FindStation(ident, station);
        return station.GetElevation();
    };
    const std::vector<aviation::CFlightplan> candidates = RouteFinder::ParseReply(reply, elevation);
    if (candidates.empty()) {
        Prompter().Ask({PromptKind::Information, kTitle,
                        QStringLiteral("Could not find any route or could not extract any route."), QString()});
        return std::nullopt;
    }

    DlgFlightplans picker(candidates, m_window, QStringLiteral("VATroute - Online"));
    if (picker.exec() != QDialog::Accepted)
        return std::nullopt;
    const int row = picker.GetSelectedRow();
    if (row < 0 || row >= static_cast<int>(candidates.size()))
        return std::nullopt;
    return candidates[row];
}
