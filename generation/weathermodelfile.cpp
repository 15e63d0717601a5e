// Weather-model file mode: the weather of a square grid around the aircraft written as a weather theme that the
// simulator then loads.
#include "generation/weatherworker.h"

#include "generation/generationguard.h"
#include "generation/mainwindowhost.h"
#include "generation/newweatherbuilder.h"
#include "generation/prompter.h"
#include "generation/weatherthemefile.h"
#include "platform/clock.h"
#include "platform/failuretext.h"
#include "settings/settings.h"
#include "weather/weatherset.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

using aviation::Position;
using aviation::weather::CGrib;
using aviation::weather::CMetar;
using aviation::weather::CSynop;

namespace {

// Why no theme can be written for the simulator folder, empty when its themes folder is there. The simulator
// loads themes only from its own Weather/themes: one written anywhere else is never loaded, and an empty
// folder setting must not put the files under "/".
QString ThemesFolderProblem(const QString& simulatorFolder)
{
    if (simulatorFolder.isEmpty())
        return QStringLiteral("no simulator folder set");
    if (!QFileInfo(simulatorFolder + QStringLiteral("/Weather/themes")).isDir())
        return QStringLiteral("wrong simulator folder, it has no Weather/themes");
    return QString();
}

} // namespace

void CWeatherWorker::GenerateFSWeatherModelFile()
{
    const OneGeneration generation(*this);
    if (!generation.Started())
        return;
    if (!HasWeatherToGenerate(QStringLiteral("WeatherModel")))
        return;
    const std::string name = NextWeatherThemeName();
    const QString simulatorFolder = CSettings::GetPathToFS();
    const QString problem = ThemesFolderProblem(simulatorFolder);
    if (!problem.isEmpty()) {
        ThemeWriteFailed(problem);
        return;
    }

    const CWeatherThemeFile theme
        = CWeatherThemeFile::AroundPosition(AircraftPosition(), CSettings::GetModelFileSize());
    CWeatherThemeFile filled;
    filled.SetSize(theme.GetColumns(), theme.GetRows());
    const int count = theme.GetRecordCount();
    try {
        for (int k = 1; k <= count; ++k) {
            m_window->sigUIUpdateProgress(k * 100 / count,
                                          QStringLiteral("Generate Weather %1 from %2").arg(k).arg(count));
            CWeatherThemeRecord record = theme.GetRecord(k - 1);
            filled.AddRecord(ThemeRecordAt(record));
        }
    } catch (const GenerationStopped&) {
        Log(GenerationStoppedText());
        return;
    }

    const QString path = simulatorFolder + QStringLiteral("/Weather/themes/") + QString::fromStdString(name);
    if (!filled.Write(QFile::encodeName(path).toStdString())) {
        ThemeWriteFailed(QStringLiteral("Weather/themes is not writable"));
        return;
    }
    m_themeWriteFailure.clear();
    m_themeFailureWarned = false;
    // The simulator reads the theme once both files have been closed for a while; a Clear WX meanwhile leaves it
    // unloaded.
    const std::string theme8 = "weather/themes/" + name;
    const std::uint64_t clears = m_weatherClears;
    QTimer::singleShot(m_themeLoadDelayMs, this, [this, theme8, clears] {
        if (m_weatherClears != clears)
            Log(GenerationStoppedText());
        else
            m_window->SetWeatherTheme(theme8);
    });
}

void CWeatherWorker::ThemeWriteFailed(const QString& cause)
{
    const std::uint32_t now = static_cast<std::uint32_t>(platform::NowSeconds());
    m_themeWriteFailure = cause;
    m_themeWriteRetryAt = now + m_themeRetrySeconds;
    const QString text = ThemeWriteFailureText(now);
    Log(text);
    Status(text);
    // One box until a write succeeds: the retries every minute say the rest on the status bar.
    if (m_themeFailureWarned)
        return;
    m_themeFailureWarned = true;
    Prompter().Ask(
        {PromptKind::Warning, QStringLiteral("Aerovane-WeatherMode"), QStringLiteral("Can not write File to FS"), {}});
}

QString CWeatherWorker::ThemeWriteFailureText(std::uint32_t now) const
{
    if (m_themeWriteFailure.isEmpty())
        return QString();
    return platform::FailureText(QStringLiteral("Write weather theme"), m_themeWriteFailure,
                                 platform::SecondsUntil(m_themeWriteRetryAt, now));
}

bool CWeatherWorker::ThemeWriteRetryDue(std::uint32_t now) const
{
    return !m_themeWriteFailure.isEmpty() && now >= m_themeWriteRetryAt;
}

CWeatherThemeRecord CWeatherWorker::ThemeRecordAt(const CWeatherThemeRecord& point)
{
    const Position& p = point.position;
    CMetar metar = m_weatherManager->GetNearestMetar(p);
    if (!metar.IsDecoded())
        metar.Decode();

    CSynop synop;
    m_weatherManager->FindNearestSynop(p, synop);
    if (!synop.GetRaw().empty()) {
        const int code = synop.Decode();
        if (code != 0)
            Log(QStringLiteral("(WeatherManager) %1, %2, %3")
                    .arg(QString::fromWCharArray(synop.GetICAO()), QString::fromStdWString(CSynop::GetErrorText(code)),
                         QString::fromStdWString(synop.GetRaw())));
    }

    CGrib grib;
    bool gridFromStore = true;
    if (!m_weatherManager->HasGribNear(p) && m_weatherSource == WeatherDataLive && !DownloadGribInGeneration(p)) {
        grib.SetStandardAtmosphere(metar.GetWind(), metar.GetTemperature(), metar.GetDewPoint(), metar.GetQNH(true));
        gridFromStore = false;
    }
    if (gridFromStore) {
        grib = m_weatherManager->GetNearestGrib(p);
        if (!grib.IsStandardAtmosphere() && !grib.Decode(false))
            Log(QString::fromStdWString(grib.GetErrorText()));
    }

    CNewWeather block;
    aviation::weather::SetNewWeather(aviation::weather::CWeatherSet(metar, synop, grib), block, m_aircraft.magVar);
    CWeatherThemeRecord record = point;
    record.SetFromBlock(block, static_cast<float>(metar.GetQNH(true)));
    return record;
}
