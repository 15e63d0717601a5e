// The job bodies of the connection worker, run in its thread: each works through the bridge client on the
// bridge link (interface type 4) and through the simulator interface facade on the others.
#include "simlink/connectworker.h"

#include "platform/clock.h"
#include "platform/debugoutput.h"
#include "settings/settings.h"
#include "simlink/ovyxclient.h"

#include <cstring>

using aviation::IPC::CFSInterface;
using aviation::structs::CAircraft;
using aviation::structs::CAircraftDetail;
using aviation::structs::CAircraftFuel;
using aviation::structs::CAircraftPayload;

namespace {

constexpr std::uint16_t kFS2004WeatherCommand = 0x100;
constexpr std::int64_t kMinWindIntervalMs = 500;
constexpr std::int64_t kWindRepeatPauseMs = 1000;

// The simulator the bridge's first version number names; empty for numbers it does not use.
QString BridgeSimulatorName(int code)
{
    switch (code) {
    case 1:
        return QStringLiteral("FS2002");
    case 2:
        return QStringLiteral("FS2004");
    case 3:
        return QStringLiteral("FSX");
    case 4:
        return QStringLiteral("P3D");
    case 9:
        return QStringLiteral("XPLANE 9");
    case 10:
        return QStringLiteral("XPLANE 10");
    default:
        return QString();
    }
}

QString ConnectedMessage()
{
    return QStringLiteral("Connected with Aerovane v") + CSettings::GetClientVersion();
}

// The record's ICAO code; the block's field is not terminated when all four characters are used.
QString BlockIcao(const CNewWeather& block)
{
    const char* icao = block.Icao;
    return QString::fromLatin1(icao, static_cast<int>(strnlen(icao, sizeof(block.Icao))));
}

// A link that cannot read the aircraft answers with the default sample at (0, 0), which is no position.
bool IsSample(const CAircraft& aircraft)
{
    return !(aircraft.GetPosition() == aviation::Position());
}

bool AllowsBridgeWind(int fsVersion)
{
    return fsVersion == 1 || fsVersion == 3;
}

} // namespace

void CConnectWorker::Connect()
{
    if (IsBridgeLink())
        ConnectBridge();
    else
        ConnectFacade();
}

void CConnectWorker::ConnectBridge()
{
    if (m_bridgeUp)
        return;
    // Whatever is left of an earlier attempt goes: each attempt starts on a socket of its own.
    DropClient();
    ReplaceClient(new COvyxClient());
    m_client->SetWaits(m_bridgeWaits);
    platform::DebugOut("client initialized\n");
    connect(m_client, &COvyxClient::sigUIDebugStringFromClient, this,
            qOverload<const QString&, int>(&CConnectWorker::OnUiDebugString),
            Qt::ConnectionType(Qt::DirectConnection | Qt::UniqueConnection));
    connect(m_client, &COvyxClient::sigFSVersion, this, &CConnectWorker::SetFSVersion,
            Qt::ConnectionType(Qt::DirectConnection | Qt::UniqueConnection));

    Log(QStringLiteral("(ConnectWorker) trying to connect to server"));
    emit sigUIStatusText(QStringLiteral("trying to connect to server"));
    platform::DebugOut("try connect to Server\n");
    bool portValid = false;
    const quint16 port = CSettings::GetServerPort().toUShort(&portValid);
    if (!portValid || !m_client->Connect(CSettings::GetServerIP(), port)) {
        const COvyxClient::LinkFault fault = m_client->GetLinkFault();
        const QString cause = !portValid || fault == COvyxClient::LinkFault::Unreachable
            ? QStringLiteral("server not found")
            : QStringLiteral("server found, ") + COvyxClient::FaultText(fault);
        platform::DebugOut(cause.toStdString() + "\n");
        Log(QStringLiteral("(ConnectWorker) Connect failed: ") + cause);
        emit sigUIStatusText(cause);
        DropClient();
        return;
    }
    platform::DebugOut("connected to Server\n");
    emit sigUIStatusText(QStringLiteral("Connected to Aerovane Server, wait for Sim"));
    platform::DebugOut("Is Server Connected to FS\n");

    int simulator = -1;
    int weatherKind = -1;
    if (!m_client->SendClientVersion(simulator, weatherKind)) {
        // A bridge without a simulator answers with simulator 0: it is asked again on the next attempt.
        const COvyxClient::LinkFault fault = m_client->GetLinkFault();
        const QString cause = fault != COvyxClient::LinkFault::None
            ? QStringLiteral("server found, ") + COvyxClient::FaultText(fault)
            : simulator == 0 ? QStringLiteral("Connected to Aerovane Server, wait for Sim")
                             : QStringLiteral("server found, not a bridge");
        Log(QStringLiteral("(ConnectWorker) Connect failed: ") + cause);
        emit sigUIStatusText(cause);
        DropClient();
        return;
    }
    platform::DebugOut("Server is Connected to FS\n");
    m_bridgeUp = true;
    const QString name = BridgeSimulatorName(simulator);
    if (simulator == 9 || simulator == 10)
        SendFSMessage(ConnectedMessage());
    emit sigUIStatusText(QStringLiteral("Connected to Aerovane Server, Sim:") + name);
    Log(QStringLiteral("(Client) - FS Version: %1").arg(name));
    CSettings::SetFSVersion(simulator);
    m_fsVersion = weatherKind;

    AddJob(CJob(JobGetFuel, QStringLiteral("Get Fuel")));
    AddJob(CJob(JobGetAircraftDetail, QStringLiteral("Get AC-Details")));
    emit sigThreadSignal(ThreadConnected);
    emit sigThreadSignal(ThreadBridgeConnected);
}

void CConnectWorker::ConnectFacade()
{
    bool connected = false;
    const int result = WithFacade([&](CFSInterface& facade) {
        const int code = facade.Open(m_linkType);
        connected = facade.IsConnected();
        return code;
    });
    m_facadeConnected = connected;
    if (result != 0) {
        emit sigUIStatusText(QStringLiteral("not connected"));
        return;
    }
    if (!connected)
        return;

    std::wstring name;
    std::wstring version;
    const int fsVersion = WithFacade([&](CFSInterface& facade) {
        name = facade.GetSimulatorName();
        version = facade.GetVersionText();
        return facade.GetFSVersion();
    });
    CSettings::SetFSVersion(fsVersion);
    const QString text = QString::fromStdWString(name) + QStringLiteral(" - ") + QString::fromStdWString(version);
    emit sigUIStatusText(text);
    Log(QStringLiteral("(ConnectWorker) ") + text);
    if (CSettings::GetFSMessage()) {
        const std::wstring message = ConnectedMessage().toStdWString();
        WithFacade([&](CFSInterface& facade) { return facade.SendText(message); });
    }
    emit sigThreadSignal(ThreadConnected);
}

void CConnectWorker::Disconnect()
{
    emit sigThreadSignal(ThreadDisconnecting);
    Log(QStringLiteral("(ConnectWorker) Disconnect"));
    if (!IsBridgeLink()) {
        WithFacade([](CFSInterface& facade) {
            facade.Close();
            return 0;
        });
        m_facadeConnected = false;
        return;
    }
    DropClient();
    emit sigUIStatusText(QStringLiteral("not connected"));
}

void CConnectWorker::ReadAircraft()
{
    CAircraft sample;
    const int facadeType = WithFacade([](CFSInterface& facade) { return facade.GetInterfaceType(); });
    if (m_linkType == 1 || facadeType == 2 || facadeType == 3) {
        sample = WithFacade([](CFSInterface& facade) { return facade.GetAircraft(); });
    } else if (IsBridgeLink() && m_client) {
        if (!m_client->ReadAircraft(sample))
            return;
    } else {
        return;
    }
    // A failed read keeps the last sample: weather generation would take the default one for a flight to (0, 0).
    if (!IsSample(sample))
        return;
    std::lock_guard<std::mutex> locker(m_valuesLock);
    m_aircraft = sample;
}

void CConnectWorker::WriteFuel()
{
    const CAircraftFuel fuel = GetFuel();
    WriteRecord(
        JobSetFuel, QStringLiteral("Fuel"), "Set Fuel", [&](COvyxClient& client) { return client.SendFuel(fuel); },
        [&](aviation::IPC::CFSInterface& facade) { return facade.SetFuel(fuel); });
}

void CConnectWorker::ReadFuel()
{
    CAircraftFuel fuel = GetFuel();
    if (IsBridgeLink()) {
        if (!m_client)
            return;
        m_client->ReadFuel(fuel);
    } else {
        fuel = WithFacade([](CFSInterface& facade) { return facade.GetFuel(); });
    }
    SetFuel(fuel);
    Log(QStringLiteral("(ConnectWorker) Get Fuel from Aircraft"));
}

void CConnectWorker::WritePayload()
{
    CAircraftPayload payload;
    {
        std::lock_guard<std::mutex> locker(m_valuesLock);
        payload = m_payload;
    }
    // "Set Playload" is the text the simulator has always shown for this write.
    WriteRecord(
        JobSetPayload, QStringLiteral("Payload"), "Set Playload",
        [&](COvyxClient& client) { return client.SendPayload(payload); },
        [&](aviation::IPC::CFSInterface& facade) { return facade.SetPayload(payload); });
}

template<typename BridgeWrite, typename FacadeWrite>
void CConnectWorker::WriteRecord(int job, const QString& record, const char* shownText, BridgeWrite overBridge,
                                 FacadeWrite overFacade)
{
    const bool showMessage = CSettings::GetFSMessage();
    bool written = false;
    if (IsBridgeLink()) {
        if (m_client) {
            if (showMessage)
                m_client->SendText(shownText);
            written = overBridge(*m_client);
        }
    } else {
        written = WithFacade([&](aviation::IPC::CFSInterface& facade) {
                      if (showMessage)
                          facade.SendText(QString::fromLatin1(shownText).toStdWString());
                      return overFacade(facade);
                  })
            == 0;
    }
    if (!written) {
        Log(QStringLiteral("(ConnectWorker) Set %1 failed").arg(record));
        emit sigWriteFailed(job);
        return;
    }
    Log(QStringLiteral("(ConnectWorker) Set %1 to Aircraft").arg(record));
}

void CConnectWorker::SendWeather()
{
    // The records are taken over at the start, so the window's hand-overs never wait for the transfer.
    std::vector<CFSWeatherStation> stations;
    aviation::weather::CLevel windLevel;
    {
        std::lock_guard<std::mutex> locker(m_weatherLock);
        stations.swap(m_weather);
        windLevel = m_windLevel;
        m_transferStop = false;
    }

    // The records stay for the next transfer when this one cannot finish, unless newer ones were handed over.
    auto keepRecords = [&] {
        std::lock_guard<std::mutex> locker(m_weatherLock);
        if (m_weather.empty())
            m_weather.swap(stations);
    };
    if (IsBridgeLink() && !m_bridgeUp) {
        keepRecords();
        FailTransfer(QStringLiteral("not connected"));
        return;
    }

    if (CSettings::GetFSMessage())
        WithFacade([](CFSInterface& facade) { return facade.SendText(L"Update Weather"); });
    emit sigThreadSignal(ThreadWeatherStarted);
    const int count = static_cast<int>(stations.size());
    Log(QStringLiteral("(ConnectWorker) Sending Weather To FS: %1").arg(count));

    const auto stopped = [&] {
        if (IsBridgeLink() && !m_bridgeUp) {
            keepRecords();
            FailTransfer(QStringLiteral("connection lost"));
        } else {
            FailTransfer(m_stop ? QStringLiteral("stopped") : QStringLiteral("stopped by Clear WX"));
        }
    };
    for (int i = 1; i <= count; ++i) {
        if (TransferStopped()) {
            stopped();
            return;
        }
        const CFSWeatherStation& station = stations[static_cast<std::size_t>(i - 1)];
        emit sigUIProgress(100 * i / count, QStringLiteral("Sending Weather to FS, %1 from %2").arg(i).arg(count));
        Log(QStringLiteral("(ConnectWorker) Sending Weather: %1").arg(BlockIcao(station.block), 4));
        SendWeatherRecord(station, windLevel);
        if (IsBridgeLink() && !CheckLink()) {
            keepRecords();
            FailTransfer(QStringLiteral("connection lost"));
            return;
        }
        if (!PauseBetweenRecords(CSettings::GetPauseBetweenWXStation())) {
            stopped();
            return;
        }
    }

    if (CSettings::GetFSVersion() == 2)
        WithFacade([](CFSInterface& facade) { return facade.SendWeatherCommand(kFS2004WeatherCommand); });
    emit sigThreadSignal(ThreadWeatherFinished);
    emit sigUIProgress(0, QStringLiteral("Weather transfer Complete"));
    Log(QStringLiteral("(ConnectWorker) Weather transfer Complete"));
}

void CConnectWorker::FailTransfer(const QString& cause)
{
    emit sigUIProgress(0, QStringLiteral("Weather transfer failed: ") + cause);
    Log(QStringLiteral("(ConnectWorker) Weather transfer failed: ") + cause);
}

void CConnectWorker::SendWeatherRecord(const CFSWeatherStation& station, const aviation::weather::CWind& wind)
{
    const int facadeType = WithFacade([](CFSInterface& facade) { return facade.GetInterfaceType(); });
    const bool windDwc = CSettings::GetWindDwc();
    switch (facadeType) {
    case 1:
        CallFacade([&](CFSInterface& facade) { return facade.SendNewWeather(station.block); });
        break;
    case 2:
    case 3: {
        Log(QStringLiteral("(ConnectWorker) Sending Weather: %1").arg(station.text));
        const std::wstring metar = station.text.toStdWString();
        CallFacade([&](CFSInterface& facade) { return facade.SendMetar(metar, station.seconds); });
        break;
    }
    default:
        SendWeatherToBridge(station, wind);
        return;
    }
    if (windDwc && (facadeType == 1 || facadeType == 3))
        CallFacade([&](CFSInterface& facade) { return facade.SetWind(wind); });
}

void CConnectWorker::SendWeatherToBridge(const CFSWeatherStation& station, const aviation::weather::CWind& wind)
{
    if (CSettings::GetInterfaceType() != 4)
        return;
    const bool sendsRecord
        = m_fsVersion == 1 || m_fsVersion == 2 || m_fsVersion == 3 || m_fsVersion == 9 || m_fsVersion == 10;
    if (!sendsRecord || !m_client)
        return;
    bool accepted = false;
    if (m_fsVersion == 1) {
        accepted = m_client->SendWeatherStation(station.block);
    } else if (m_fsVersion == 2 || m_fsVersion == 3) {
        const QByteArray metar = station.text.toLatin1();
        accepted = m_client->SendMetar(metar.constData());
    } else {
        accepted = m_client->SendXPlaneWeather(station.xplane);
    }
    // A refused record is not followed by the wind; the transfer goes on with the next record after the pause.
    if (accepted && CSettings::GetWindDwc() && AllowsBridgeWind(m_fsVersion))
        m_client->SendWind(wind);
}

void CConnectWorker::LoadWeatherTheme(const QString& theme)
{
    const std::string name = theme.toLatin1().toStdString();
    if (CSettings::GetInterfaceType() == 4) {
        if (m_client)
            m_client->SetWeatherTheme(name.c_str());
        return;
    }
    WithFacade([&](CFSInterface& facade) { return facade.LoadWeatherTheme(name); });
}

void CConnectWorker::SetWind()
{
    const std::int64_t now = platform::MonotonicMs();
    if (!m_windClockStarted) {
        m_windClockStarted = true;
        m_lastWindSetMs = now;
    }
    if (now - m_lastWindSetMs < kMinWindIntervalMs)
        return;
    m_lastWindSetMs = now;
    if (!CSettings::GetWindDwc())
        return;

    aviation::weather::CLevel level;
    {
        std::lock_guard<std::mutex> locker(m_weatherLock);
        level = m_windLevel;
    }
    const int facadeType = WithFacade([](CFSInterface& facade) { return facade.GetInterfaceType(); });
    if (facadeType == 3 || m_linkType == 1)
        CallFacade([&](CFSInterface& facade) { return facade.SetWind(level); });
    else if (IsBridgeLink() && AllowsBridgeWind(m_fsVersion) && m_client)
        m_client->SendWind(level);
}

void CConnectWorker::SetWindAndRepeat()
{
    SetWind();
    if (m_jobs.Count() != 0)
        return;
    platform::SleepMs(kWindRepeatPauseMs);
    AddJob(CJob(JobSetWindRepeat, QStringLiteral("Set Wind FSUIPC")));
}

void CConnectWorker::SendXPlaneWind()
{
    if (CSettings::GetInterfaceType() != 4 || (m_fsVersion != 9 && m_fsVersion != 10) || !m_client)
        return;
    CXPWeather wind;
    {
        std::lock_guard<std::mutex> locker(m_valuesLock);
        wind = m_xplaneWind;
    }
    if (!m_client->SendXPlaneWind(wind))
        platform::DebugOut("(ConnectWorker) -  Send Wind to Xplane failed\n");
}

void CConnectWorker::ClearWeather()
{
    if (IsBridgeLink()) {
        if (m_client)
            m_client->ClearWeather();
        return;
    }
    WithFacade([](CFSInterface& facade) { return facade.ClearWeather(); });
}

void CConnectWorker::ReadDetails()
{
    CAircraftDetail details;
    if (IsBridgeLink()) {
        if (!m_client)
            return;
        CAircraftPayload payload;
        {
            std::lock_guard<std::mutex> locker(m_valuesLock);
            details = m_details;
            payload = m_payload;
        }
        m_client->ReadPayload(payload);
        m_client->ReadAircraftDetail(details);
        // The bridge's detail answer carries no stations: the details take the stations just read.
        details.payload = payload;
        std::lock_guard<std::mutex> locker(m_valuesLock);
        m_details = details;
        m_payload = payload;
    } else {
        details = WithFacade([](CFSInterface& facade) { return facade.GetAircraftDetail(); });
        std::lock_guard<std::mutex> locker(m_valuesLock);
        m_details = details;
    }
    Log(QStringLiteral("(ConnectWorker) Get Detail from Aircraft"));
}

void CConnectWorker::ShowMessage(const QString& text)
{
    if (!CSettings::GetFSMessage())
        return;
    if (CSettings::GetInterfaceType() == 4) {
        if (m_client) {
            const QByteArray narrow = text.toLatin1();
            m_client->SendText(narrow.constData());
        }
        return;
    }
    const std::wstring message = text.toStdWString();
    WithFacade([&](CFSInterface& facade) { return facade.SendText(message); });
}
