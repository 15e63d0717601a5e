// The weather of a past date and hour: the archived METAR file and, when asked for, the SYNOP and upper-air
// files of the weather server's history folder, downloaded into "historywx" and loaded in place of the weather.
#include "app/aerovane_pro.h"

#include "dialogs/historywxdlg.h"
#include "generation/gzipunpack.h"
#include "generation/prompter.h"
#include "generation/weatherworker.h"
#include "generation/wxdownloader.h"
#include "platform/programfolder.h"
#include "settings/settings.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QScopeGuard>

// One archived file: where it comes from, where it goes, and the texts of its steps.
struct Aerovane_Pro::HistoryPart
{
    // The part as the user knows it.
    QString name;
    QString remoteName;
    QString gzName;
    QString textName;
    QString downloading;
    QString unpacking;
};

QString Aerovane_Pro::HistoryMetarName(const QDateTime& time)
{
    return QStringLiteral("metar_noaa_%1-%2-%3_%4_%5_00.gz")
        .arg(time.toString(QStringLiteral("yyyy")), time.toString(QStringLiteral("MM")),
             time.toString(QStringLiteral("dd")), time.toString(QStringLiteral("hh")),
             time.toString(QStringLiteral("mm")));
}

QString Aerovane_Pro::HistorySynopName(const QDateTime& time)
{
    return QStringLiteral("synop_%1-%2-%3_%4_00_00.gz")
        .arg(time.toString(QStringLiteral("yyyy")), time.toString(QStringLiteral("MM")),
             time.toString(QStringLiteral("dd")), time.toString(QStringLiteral("hh")));
}

QString Aerovane_Pro::HistoryGribName(const QDateTime& time)
{
    // The upper-air archive holds every third hour: the latest of them not after the chosen hour.
    const int hour = time.time().hour() / 3 * 3;
    return QStringLiteral("grib_1x1_%1-%2-%3_%4_00_00.gz")
        .arg(time.toString(QStringLiteral("yyyy")), time.toString(QStringLiteral("MM")),
             time.toString(QStringLiteral("dd")), QString::asprintf("%02d", hour));
}

void Aerovane_Pro::OnDlgHistoryWeather()
{
    // The command is off while one request runs: its downloads wait in local event loops, and a second request
    // would empty the folder under the first.
    historyRequestRunning = true;
    UpdateWeatherLoadCommands();
    const auto requestEnded = qScopeGuard([this] {
        historyRequestRunning = false;
        UpdateWeatherLoadCommands();
    });
    const QString folder = platform::ProgramFolder() + QStringLiteral("/historywx");
    emit sigUIDebugString(QStringLiteral("(Main) - Path: ") + folder, 0);

    // The files of the previous request go before the dialog opens, whatever the user then chooses.
    QDir historyDir(folder);
    const QStringList files = historyDir.entryList({QStringLiteral("*.*")}, QDir::Files);
    for (const QString& name : files) {
        if (historyDir.remove(name))
            qDebug().noquote() << QStringLiteral("File removed: ") + name;
        else
            qDebug().noquote() << QStringLiteral("Can not delete File: ") + name;
    }

    // exec shows the dialog itself: one shown before would stay non-modal while it runs.
    QPointer<CHistoryWxDlg> dialog = new CHistoryWxDlg(this, this);
    const int result = dialog->exec();
    if (!dialog)
        return;
    const QDateTime time = dialog->GetDateTime();
    const bool withSynop = dialog->IsDownloadSynop();
    const bool withGrib = dialog->IsDownloadGrib();
    delete dialog;
    if (result != QDialog::Accepted)
        return;

    qDebug().noquote() << QStringLiteral("Date History: ") + time.toString();
    const HistoryPart metar{QStringLiteral("Metar"),
                            HistoryMetarName(time),
                            QStringLiteral("/metar.gz"),
                            QStringLiteral("/metar.txt"),
                            QStringLiteral("Downloading History Metar"),
                            QStringLiteral("Unpack Metar")};
    const HistoryPart synop{QStringLiteral("Additional WX"),
                            HistorySynopName(time),
                            QStringLiteral("/addwx.gz"),
                            QStringLiteral("/addwx.txt"),
                            QStringLiteral("Downloading History Additional WX"),
                            QStringLiteral("Unpack AddWX")};
    const HistoryPart grib{QStringLiteral("Wind"),
                           HistoryGribName(time),
                           QStringLiteral("/wind.gz"),
                           QStringLiteral("/wind.txt"),
                           QStringLiteral("Downloading History Wind"),
                           QStringLiteral("Unpack Wind")};
    qDebug().noquote() << QStringLiteral("Metar filename: ") + metar.remoteName;
    qDebug().noquote() << QStringLiteral("Synop filename: ") + synop.remoteName;
    qDebug().noquote() << QStringLiteral("Grib filename: ") + grib.remoteName;

    qDebug().noquote() << QStringLiteral("Application historywx path: ") + folder;
    if (!QDir(folder).exists()) {
        qDebug() << "Dir not exists";
        if (!QDir().mkpath(folder))
            qDebug() << "Cant create Directory history";
    }

    // Each part that fails is named with its cause.
    const auto failed
        = [](const HistoryPart& part, const QString& cause) { return QStringLiteral("%1 (%2)").arg(part.name, cause); };
    // Without the METAR reports there is nothing to replace the weather with: the weather held stays.
    QString metarCause;
    if (!FetchHistoryPart(folder, metar, &metarCause)) {
        if (!closing)
            WarnHistoryPartsFailed({failed(metar, metarCause)}, QStringLiteral("The weather in use stays."));
        return;
    }
    // A missing SYNOP or upper-air file leaves only that part out.
    QString synopCause;
    QString gribCause;
    const bool synopLoaded = withSynop && FetchHistoryPart(folder, synop, &synopCause);
    const bool gribLoaded = withGrib && FetchHistoryPart(folder, grib, &gribCause);
    if (closing)
        return;

    emit sigUIUpdateProgress(0, QString());
    emit sigUIDebugString(QStringLiteral("(Main) - WeatherWorker->LoadWeatherFromFile"), 0);
    weatherWorker->LoadWeatherFromFile(folder, synopLoaded, gribLoaded);
    weatherWorker->SetWeatherSource(WeatherDataHistory);
    weatherWorker->SetWithoutUpperAir(withGrib && !gribLoaded);
    // The chosen weather goes out with the next tick, not at the next due update.
    weatherWorker->RequestWeatherUpdate();

    QStringList missing;
    if (withSynop && !synopLoaded)
        missing << failed(synop, synopCause);
    if (withGrib && !gribLoaded)
        missing << failed(grib, gribCause);
    if (!missing.isEmpty())
        WarnHistoryPartsFailed(missing, QStringLiteral("The historic weather is used without these parts."));
}

void Aerovane_Pro::WarnHistoryPartsFailed(const QStringList& parts, const QString& consequence)
{
    Prompter().Ask({PromptKind::Warning,
                    QStringLiteral("Aerovane - History WX"),
                    QStringLiteral("History weather failed: %1\n%2").arg(parts.join(QStringLiteral(", ")), consequence),
                    {}});
}

bool Aerovane_Pro::FetchHistoryPart(const QString& folder, const HistoryPart& part, QString* cause)
{
    // The window may have closed, and let go of its downloader, while an earlier download waited.
    if (closing || !downloader)
        return false;
    emit sigUIProgressTextUpdate(part.downloading);
    emit sigUIDebugString(QStringLiteral("(Main) - ") + part.downloading, 0);
    const QString url = CSettings::GetServerUrl() + QStringLiteral("/history/") + part.remoteName;
    QFile gzFile(folder + part.gzName);
    // History files run to several MB (the grid about 7 MB): a slow link needs minutes for them, while a server
    // that stalls or trickles is given up by the downloader's stall rule or the deadline that fits the file's size.
    const int code = downloader->DownloadLargeFile(url, &gzFile);
    if (closing)
        return false;
    if (code != 0) {
        *cause = downloader->GetLastErrorText();
        const QString error = QStringLiteral("Download of %1 failed: %2").arg(url, *cause);
        emit sigUIDebugString(QStringLiteral("(Main) - ") + error, 0);
        emit sigUIProgressTextUpdate(error);
        return false;
    }
    emit sigUIUpdateProgress(0, part.unpacking);
    emit sigUIDebugString(QStringLiteral("(Main) - ") + part.unpacking, 0);
    UnpackGzFile(folder + part.gzName, folder + part.textName);
    // A reply that was no gzip file (an error page, a cut transfer) unpacks to nothing.
    if (QFileInfo(folder + part.textName).size() == 0) {
        *cause = QStringLiteral("damaged or incomplete archive");
        const QString error = QStringLiteral("Unpacking of %1 failed: %2").arg(part.remoteName, *cause);
        emit sigUIDebugString(QStringLiteral("(Main) - ") + error, 0);
        emit sigUIProgressTextUpdate(error);
        return false;
    }
    return true;
}
