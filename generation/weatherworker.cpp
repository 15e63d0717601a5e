#include "generation/weatherworker.h"

#include "generation/mainwindowhost.h"
#include "platform/clock.h"
#include "platform/debugoutput.h"
#include "platform/programfolder.h"
#include "settings/settings.h"
#include "weather/resourcetextstore.h"

#include <QDir>
#include <QFile>
#include <QTextStream>
#include <QTimer>

using aviation::weather::CMetar;
using aviation::weather::CStation;

namespace {

// A METAR list entry older than this (seconds) is dropped by FilterMetarList.
constexpr std::int64_t kMetarListMaxAge = 1800;

QString ProgramFile(const QString& name)
{
    return platform::ProgramFolder() + QDir::separator() + name;
}

} // namespace

CWeatherWorker::CWeatherWorker(CMainWindowHost* window)
    : m_window(window)
{
    QString airportText;
    ReadStartupFiles(airportText);
    ResourceTextStore::LoadStations();

    m_window->ShowSplashMessage(QStringLiteral("Initialize Airports"));
    m_weatherManager = std::make_shared<aviation::weather::CWeatherManager>();
    m_weatherManager->InitAirports(airportText.toStdWString());
    m_window->ShowSplashMessage(QStringLiteral("Initialize Weather Stations"));
    m_weatherManager->InitWxStations(ResourceTextStore::GetStationText().toStdWString());
    BindModelCallbacks();

    m_simTimer = new QTimer(this);
    m_windControlTimer = new QTimer(this);
    qRegisterMetaType<CDirectWindControl>("CDirectWindControl");
    connect(m_simTimer, &QTimer::timeout, this, &CWeatherWorker::OnUpdateSimTimer);
    connect(m_windControlTimer, &QTimer::timeout, this, &CWeatherWorker::OnUpdateDWCTimer);
    m_simTimer->start(kSimTimerIntervalMs);
    m_windControlTimer->start(kWindControlIntervalMs);
}

CWeatherWorker::~CWeatherWorker()
{
    m_simTimer->stop();
    m_windControlTimer->stop();
}

void CWeatherWorker::ReadStartupFiles(QString& airportText)
{
    m_window->ShowSplashMessage(QStringLiteral("Loading Airport Resource"));
    QFile airportList(ProgramFile(QStringLiteral("airportlist.txt")));
    bool ownList = false;
    if (airportList.exists()) {
        m_window->ShowSplashMessage(QStringLiteral("reading Airports list"));
        if (airportList.open(QIODevice::ReadOnly | QIODevice::Text)) {
            airportText = QString::fromUtf8(airportList.readAll());
            ownList = true;
        } else {
            // An unreadable list must not leave the program without airports: the embedded one stands in.
            platform::DebugOut("Can not open airportlist.txt\n");
        }
    }
    if (!ownList) {
        ResourceTextStore::LoadAirports();
        airportText = ResourceTextStore::GetAirportText();
    }

    ReadIcaoSubstitutes(ProgramFile(QStringLiteral("icaos.txt")));

    QFile addList(platform::ProgramFolder() + QStringLiteral("/airportaddlist.txt"));
    if (addList.open(QIODevice::ReadOnly | QIODevice::Text)) {
        m_window->ShowSplashMessage(QStringLiteral("reading Airportslist"));
        Log(QStringLiteral("(WeatherWorker) - reading airportaddlist"));
        airportText += QString::fromUtf8(addList.readAll());
    }
}

void CWeatherWorker::ReadIcaoSubstitutes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    m_window->ShowSplashMessage(QStringLiteral("reading icao list"));
    Log(QStringLiteral("(WeatherWorker) - reading  icaos.txt"));
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    while (!stream.atEnd()) {
        const QString line = stream.readLine();
        if (line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList parts = line.split(QLatin1Char(','));
        if (parts.size() != 2) {
            Log(QStringLiteral("(WeatherWorker) - icaos.txt wrong format"));
            continue;
        }
        m_icaoSubstitutes[parts[0]] = std::make_pair(parts[1], parts[0]);
    }
}

void CWeatherWorker::BindModelCallbacks()
{
    auto forwardProgress = [this](int value, const wchar_t* text) {
        m_window->sigUIUpdateProgress(value, QString::fromWCharArray(text));
    };
    auto forwardLog = [this](const wchar_t* text) { m_window->sigUIDebugString(QString::fromWCharArray(text), 0); };
    aviation::weather::CWeatherManager& model = *m_weatherManager;
    m_modelConnections.emplace_back(model.sigMetarProgress.connect(forwardProgress));
    m_modelConnections.emplace_back(model.sigSynopProgress.connect(forwardProgress));
    m_modelConnections.emplace_back(model.sigGribProgress.connect(forwardProgress));
    m_modelConnections.emplace_back(model.sigMessage.connect(forwardLog));
}

void CWeatherWorker::Log(const QString& text)
{
    m_window->sigUIDebugString(text, 0);
}

void CWeatherWorker::Status(const QString& text)
{
    m_window->sigUIProgressTextUpdate(text);
}

void CWeatherWorker::ShowStep(const QString& text)
{
    Status(text);
    Log(QStringLiteral("(WeatherManager) ") + text);
}

aviation::Position CWeatherWorker::AircraftPosition() const
{
    return m_aircraft.GetPosition();
}

CMetar CWeatherWorker::GetMetar(const QString& icao)
{
    CMetar metar;
    if (!m_weatherManager->GetMetar(icao.toStdWString(), metar)) {
        Log(QStringLiteral("(WeatherManager) %1 - Metar not Found").arg(icao));
        CMetar blank;
        m_weatherManager->FindAirport(icao.toStdWString(), blank);
        return blank;
    }
    const int code = metar.Decode();
    if (code != 0)
        Log(QStringLiteral("(WeatherManager) %1, %2, %3")
                .arg(icao, QString::fromStdWString(metar.GetErrorTexts(code)),
                     QString::fromStdWString(metar.GetRaw())));
    m_weatherManager->RepairMetar(metar);
    if (m_aircraft.GetLatitude() != 0 && m_aircraft.GetLongitude() != 0)
        metar.SetDistance(metar.CStation::GetDistance(AircraftPosition(), false));
    return metar;
}

CWeatherWorker::OneGeneration::OneGeneration(CWeatherWorker& worker)
    : m_worker(worker)
    , m_started(!worker.m_generating)
{
    if (!m_started) {
        // Run inside the running one's wait, a second generation would send its own records in between and start
        // grid downloads of its own, each holding the first one up for its whole length.
        m_worker.ShowStep(GenerationUnderWayText());
        return;
    }
    m_worker.m_generating = true;
    m_worker.m_clearsAtGenerationStart = m_worker.m_weatherClears;
    // A download in the wait would hold the generation up and change the weather under it.
    m_worker.m_window->sigDisableButton(0, true);
    m_worker.m_window->sigDisableButton(1, true);
    m_worker.m_window->OnGenerationRunning(true);
}

CWeatherWorker::OneGeneration::~OneGeneration()
{
    if (!m_started)
        return;
    m_worker.m_generating = false;
    m_worker.EnableDownloadCommandWhenFree();
    // Without a link the command stays off, as the lost link left it.
    if (m_worker.m_window->IsConnected())
        m_worker.m_window->sigDisableButton(1, false);
    m_worker.m_window->OnGenerationRunning(false);
}

bool CWeatherWorker::HasWeatherToGenerate(const QString& generation)
{
    if (m_weatherManager->CMetarManager::GetCount() > 0)
        return true;
    Log(QStringLiteral("(WeatherManager) %1: no weather loaded, nothing generated").arg(generation));
    return false;
}

void CWeatherWorker::FindStation(const QString& icao, CStation& station)
{
    station = m_weatherManager->GetAirport(icao.toStdWString());
}

QString CWeatherWorker::GetTaf(const QString& icao)
{
    return QString::fromStdWString(m_weatherManager->GetTAF(icao.toStdWString()));
}

void CWeatherWorker::EnableSimTimer(bool enable)
{
    if (enable)
        m_simTimer->start(kSimTimerIntervalMs);
    else
        m_simTimer->stop();
}

void CWeatherWorker::StopTimers()
{
    m_simTimer->stop();
    m_windControlTimer->stop();
}

void CWeatherWorker::ClearMetarList()
{
    m_metarList.clear();
    m_autoModeList = false;
}

void CWeatherWorker::OnWeatherCleared()
{
    ++m_weatherClears;
    ClearMetarList();
}

void CWeatherWorker::FilterMetarList(const aviation::Position& centre, int radius)
{
    const std::int64_t oldest = platform::NowSeconds() - kMetarListMaxAge;
    std::vector<CMetar> kept;
    for (const CMetar& metar : m_metarList) {
        if (metar.CStation::GetDistance(centre, false) < radius && metar.GetTime() > oldest)
            kept.push_back(metar);
    }
    m_metarList = std::move(kept);
}

void CWeatherWorker::ExportMetar(const QString& metarText)
{
    if (!CSettings::GetExportMetar())
        return;
    const QString folder = CSettings::GetExportMetarDir();
    if (folder.isEmpty()) {
        Log(QStringLiteral("(WeatherWorker) Export Metar skipped: no export folder set"));
        return;
    }
    const QString path = QStringLiteral("%1/%2").arg(folder, CSettings::GetExportMetarFilename());
    platform::DebugOut(("Export Metar to " + path + "\n").toStdString());
    Log(QStringLiteral("(WeatherWorker) Export Metar to ") + path);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        file.write(metarText.toUtf8());
}

void CWeatherWorker::ClearWeatherStores()
{
    m_window->sigDisableButton(0, true);
    ShowStep(QStringLiteral("Deleting last weather"));
    m_weatherManager->Clear();
    m_withoutUpperAir = false;
}

void CWeatherWorker::SetWithoutUpperAir(bool without)
{
    m_withoutUpperAir = without;
    if (without) {
        Log(QStringLiteral("(WeatherManager) ") + WithoutUpperAirText());
        Status(WithoutUpperAirText());
    }
}

void CWeatherWorker::FinishLoad()
{
    m_window->sigUIUpdateProgressBar(0, 0);
    ShowStep(QStringLiteral("Success"));
    EnableDownloadCommandWhenFree();
}

void CWeatherWorker::EnableDownloadCommandWhenFree()
{
    if (!m_generating && !m_downloading)
        m_window->sigDisableButton(0, false);
}

bool CWeatherWorker::ReadWeatherFile(const QString& folder, const QString& name, QString& text)
{
    QFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        platform::DebugOut(("could not open file: " + name + "\n").toStdString());
        Log(QStringLiteral("(WeatherManager) could not open file: ") + name);
        // The command stays usable and the progress bar empty, though no weather was loaded.
        m_window->sigUIUpdateProgressBar(0, 0);
        EnableDownloadCommandWhenFree();
        return false;
    }
    text = QString::fromUtf8(file.readAll());
    return true;
}

void CWeatherWorker::LoadWeatherFromFile(const QString& folder, bool withAddWx, bool withWind)
{
    ClearWeatherStores();
    QString text;
    if (!ReadWeatherFile(folder, QStringLiteral("metar.txt"), text))
        return;
    ShowStep(QStringLiteral("Reading Metar file"));
    m_weatherManager->InitMetar(text.toStdWString(), true);
    ExportMetar(text);

    if (withAddWx) {
        if (!ReadWeatherFile(folder, QStringLiteral("addwx.txt"), text))
            return;
        ShowStep(QStringLiteral("Reading AddWX file"));
        m_weatherManager->InitSynop(text.toStdWString(), true);
    }
    if (withWind) {
        if (!ReadWeatherFile(folder, QStringLiteral("wind.txt"), text))
            return;
        ShowStep(QStringLiteral("Reading Wind file"));
        m_weatherManager->InitWindData(text.toStdWString(), true);
    }
    FinishLoad();
}

void CWeatherWorker::LoadWeatherFromText(const QString& metar, const QString& synop, const QString& grib)
{
    ClearWeatherStores();
    ShowStep(QStringLiteral("Reading Metar"));
    m_weatherManager->InitMetar(metar.toStdWString(), true);
    ExportMetar(metar);
    ShowStep(QStringLiteral("Reading AddWX"));
    m_weatherManager->InitSynop(synop.toStdWString(), true);
    ShowStep(QStringLiteral("Reading Wind"));
    m_weatherManager->InitWindData(grib.toStdWString(), true);
    FinishLoad();
}
