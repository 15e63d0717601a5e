#include "simlink/connectworker.h"

#include "platform/clock.h"
#include "platform/debugoutput.h"
#include "settings/settings.h"
#include "simlink/ovyxclient.h"

#include <algorithm>

using aviation::structs::CAircraft;
using aviation::structs::CAircraftDetail;
using aviation::structs::CAircraftFuel;
using aviation::structs::CAircraftPayload;

CConnectWorker::CConnectWorker(QObject*)
    : QThread(nullptr)
    , m_linkType(CSettings::GetInterfaceType())
{
}

CConnectWorker::~CConnectWorker()
{
    Stop();
    WaitForRunEnd();
    // The links belong to the worker's thread: one more run closes them there.
    bool hasClient = false;
    {
        std::lock_guard<std::mutex> locker(m_clientLock);
        hasClient = m_client != nullptr;
    }
    if (hasClient || m_facadeConnected) {
        m_closing = true;
        start();
        WaitForRunEnd();
    }
}

void CConnectWorker::WaitForRunEnd()
{
    wait();
    // Every run releases this lock last; taking it orders what the run did before the caller goes on, also for
    // thread checkers that cannot see inside QThread::wait.
    std::lock_guard<std::mutex> locker(m_runLock);
}

void CConnectWorker::AddJob(const CJob& job)
{
    if (!m_jobs.Push(job))
        return;
    if (!job.text.isEmpty())
        emit sigUIDebugString(QStringLiteral("(ConnectWorker) New Job - ") + job.text, 2);

    // A run that has decided to end has set m_active back under the same lock, so either it sees this job or
    // the thread is started again here. It may still be returning, which start() would take for running.
    std::lock_guard<std::mutex> locker(m_runLock);
    if (m_active)
        return;
    m_active = true;
    wait();
    start();
}

void CConnectWorker::SendFSMessage(const QString& text)
{
    AddJob(CJob(JobShowMessage, text));
}

void CConnectWorker::SendStationToFS(const std::vector<aviation::weather::CStation>& stations)
{
    {
        std::lock_guard<std::mutex> locker(m_valuesLock);
        m_newStations = stations;
    }
    AddJob(CJob(JobSendStationToFS, QStringLiteral("Send Station to FS")));
}

void CConnectWorker::SendWindToXP(const CXPWeather& wind)
{
    {
        std::lock_guard<std::mutex> locker(m_valuesLock);
        m_xplaneWind = wind;
    }
    AddJob(CJob(JobSendWindToXP, QStringLiteral("Send Wind to XP")));
}

void CConnectWorker::SetWeather(const std::vector<CFSWeatherStation>& stations)
{
    std::vector<CFSWeatherStation> copy = stations;
    std::lock_guard<std::mutex> locker(m_weatherLock);
    m_weather.swap(copy);
}

void CConnectWorker::SetWindLevel(const aviation::weather::CLevel& level)
{
    std::lock_guard<std::mutex> locker(m_weatherLock);
    m_windLevel = level;
}

void CConnectWorker::SetFuel(const CAircraftFuel& fuel)
{
    std::lock_guard<std::mutex> locker(m_valuesLock);
    m_fuel = fuel;
}

void CConnectWorker::SetPayload(const CAircraftPayload& payload)
{
    std::lock_guard<std::mutex> locker(m_valuesLock);
    m_payload = payload;
}

CAircraft CConnectWorker::GetAircraft() const
{
    std::lock_guard<std::mutex> locker(m_valuesLock);
    return m_aircraft;
}

CAircraftDetail CConnectWorker::GetAircraftDetail() const
{
    std::lock_guard<std::mutex> locker(m_valuesLock);
    return m_details;
}

CAircraftFuel CConnectWorker::GetFuel() const
{
    std::lock_guard<std::mutex> locker(m_valuesLock);
    return m_fuel;
}

bool CConnectWorker::IsConnected() const
{
    return IsBridgeLink() ? m_bridgeUp.load() : m_facadeConnected.load();
}

void CConnectWorker::LoadFlightPlan(const std::wstring& path)
{
    if (CSettings::GetInterfaceType() == 4)
        return;
    WithFacade([&](aviation::IPC::CFSInterface& facade) { return facade.LoadFlightPlan(path); });
}

void CConnectWorker::Stop()
{
    m_stop.exchange(true);
    if (!m_runningJobs)
        return;
    std::lock_guard<std::mutex> locker(m_clientLock);
    if (m_client)
        m_client->AbortWaits();
}

void CConnectWorker::StopWeatherTransfer()
{
    {
        std::lock_guard<std::mutex> locker(m_weatherLock);
        m_transferStop = true;
        m_weather.clear();
    }
    m_jobs.Drop(JobSetWeather);
}

bool CConnectWorker::IsSendingWeather() const
{
    return m_sendingWeather || m_jobs.Contains(JobSetWeather);
}

void CConnectWorker::SetFSVersion(int version)
{
    CSettings::SetFSVersion(version);
}

void CConnectWorker::OnUiDebugString(const QString& text, int target)
{
    emit sigUIDebugString(text, target);
}

void CConnectWorker::OnUiDebugString(const QString& text)
{
    emit sigUIDebugString(text, 0);
}

void CConnectWorker::run()
{
    if (m_closing) {
        CloseLinks();
        std::lock_guard<std::mutex> locker(m_runLock);
        m_active = false;
        return;
    }
    for (;;) {
        // Marked before the stop flag is looked at: a Stop either keeps the next job from starting or sees the
        // mark and cuts the bridge wait of the running one short.
        m_runningJobs = true;
        CJob job;
        while (!m_stop && m_jobs.Pop(job)) {
            const int waiting = m_jobs.Count();
            if (waiting > 0)
                platform::DebugOut("(ConnectWorker) - Jobs:" + std::to_string(waiting) + "\n");
            Perform(job);
            if (IsBridgeLink())
                CheckLink();
            emit sigThreadJobFinished(job.type, job.text);
        }
        m_runningJobs = false;
        std::lock_guard<std::mutex> locker(m_runLock);
        if (m_stop || m_jobs.Count() == 0) {
            m_active = false;
            break;
        }
    }
    platform::DebugOut("(ConnectWorker) - Thread closed\n");
}

void CConnectWorker::Perform(const CJob& job)
{
    switch (job.type) {
    case JobConnect:
        Connect();
        break;
    case JobDisconnect:
        Disconnect();
        break;
    case JobGetAircraftData:
        ReadAircraft();
        break;
    case JobSetFuel:
        WriteFuel();
        break;
    case JobGetPayload:
        ReadFuel();
        ReadDetails();
        break;
    case JobSetPayload:
        WritePayload();
        break;
    case JobSetWeather:
        m_sendingWeather = true;
        SendWeather();
        m_sendingWeather = false;
        break;
    case JobLoadWeatherTheme:
        LoadWeatherTheme(job.text);
        break;
    case JobSetWind:
        SetWind();
        break;
    case JobSetWindRepeat:
        SetWindAndRepeat();
        break;
    case JobSendWindToXP:
        SendXPlaneWind();
        break;
    case JobClearWeather:
        ClearWeather();
        break;
    case JobGetAircraftDetail:
        ReadDetails();
        break;
    case JobShowMessage:
        ShowMessage(job.text);
        break;
    default:
        // Get Fuel, Send Station to FS, RefreshAI and unknown types: only the finished signal.
        break;
    }
}

void CConnectWorker::CloseLinks()
{
    WithFacade([](aviation::IPC::CFSInterface& facade) {
        facade.Close();
        return 0;
    });
    m_facadeConnected = false;
    DropClient();
}

void CConnectWorker::DropClient()
{
    m_bridgeUp = false;
    COvyxClient* client = m_client;
    if (!client)
        return;
    disconnect(client, nullptr, this, nullptr);
    ReplaceClient(nullptr);
    if (client->IsConnected())
        client->Logout();
    delete client;
}

bool CConnectWorker::CheckLink()
{
    if (!m_client || m_client->GetLinkFault() == COvyxClient::LinkFault::None)
        return true;
    LinkLost(COvyxClient::FaultText(m_client->GetLinkFault()));
    return false;
}

void CConnectWorker::LinkLost(const QString& cause)
{
    const bool wasUp = m_bridgeUp;
    DropClient();
    if (m_stop || !wasUp)
        return;
    m_jobs.DropAllButConnects();
    Log(QStringLiteral("(ConnectWorker) Connection to the simulator lost: ") + cause);
    emit sigUIStatusText(QStringLiteral("not connected"));
    emit sigThreadSignal(ThreadLinkLost);
}

bool CConnectWorker::PauseBetweenRecords(int milliseconds)
{
    constexpr int kStepMs = 20;
    for (int slept = 0;; slept += kStepMs) {
        if (TransferStopped() || !ReadWaitingAircraft())
            return false;
        if (slept >= milliseconds)
            return true;
        platform::SleepMs(std::min(kStepMs, milliseconds - slept));
    }
}

bool CConnectWorker::ReadWaitingAircraft()
{
    CJob read;
    if (!m_jobs.Take(JobGetAircraftData, read))
        return true;
    ReadAircraft();
    const bool linkUp = !IsBridgeLink() || CheckLink();
    emit sigThreadJobFinished(read.type, read.text);
    return linkUp;
}

void CConnectWorker::ReplaceClient(COvyxClient* client)
{
    std::lock_guard<std::mutex> locker(m_clientLock);
    m_client = client;
}

void CConnectWorker::Log(const QString& text)
{
    emit sigUIDebugString(text, 0);
}
