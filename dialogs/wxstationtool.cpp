#include "dialogs/wxstationtool.h"

#include "generation/prompter.h"
#include "platform/clock.h"
#include "platform/debugoutput.h"
#include "platform/programfolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QSaveFile>
#include <QSet>
#include <QTextCursor>
#include <QTextEdit>

#include <algorithm>

namespace wxstationfiles {

QString WeatherFolder(const QString& simulatorFolder)
{
    return simulatorFolder + QDir::separator() + QStringLiteral("Weather");
}

QString BackupFolder()
{
    return platform::ProgramFolder() + QStringLiteral("/backups/");
}

} // namespace wxstationfiles

namespace {

const QString kStationFile = QStringLiteral("wxstationlist.bin");
const QString kMappingFile = QStringLiteral("wxmapping.bin");

QString UtcMinute()
{
    return QDateTime::fromSecsSinceEpoch(platform::NowSeconds(), Qt::UTC).toString(QStringLiteral("yyyyMMdd_hhmm"));
}

bool ReadWhole(const QString& path, QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

void SetFlag(aviation::weather::CStation& station, WxStationTool::Simulator simulator)
{
    switch (simulator) {
    case WxStationTool::Simulator::FS2004:
        station.SetFS9Station(true);
        break;
    case WxStationTool::Simulator::FSX:
        station.SetFSXStation(true);
        break;
    case WxStationTool::Simulator::Prepar3D:
        station.SetP3DStation(true);
        break;
    case WxStationTool::Simulator::None:
        break;
    }
}

} // namespace

using namespace wxstationfiles;

WxStationTool::WxStationTool(const Widgets& widgets)
    : m_widgets(widgets)
{
}

bool WxStationTool::Read(const QString& simulatorFolder)
{
    m_stationIds.clear();
    m_mapping.clear();
    m_widgets.log->clear();
    const QString weatherFolder = WeatherFolder(simulatorFolder);
    const QFileInfo folder(weatherFolder);
    if (!folder.isDir() || !folder.isReadable()) {
        Status(QStringLiteral("FS9/FSX Path is not readable"));
        return false;
    }

    Status(QStringLiteral("reading file wxstationlist.bin... "));
    QByteArray bytes;
    if (!ReadWhole(weatherFolder + QLatin1Char('/') + kStationFile, bytes)) {
        Status(QStringLiteral("File wxstationlist is not readable"));
        return false;
    }
    ShowProgress(bytes.size() / kCodeBytes);
    m_stationIds = ReadStationCodes(bytes);
    Step(bytes.size() / kCodeBytes);
    m_widgets.progress->setRange(0, 0);
    Log(QStringLiteral("File: wxstationlist.bin, ids: %1").arg(m_stationIds.size()));

    Status(QStringLiteral("reading file wxmapping.bin... "));
    if (!ReadWhole(weatherFolder + QLatin1Char('/') + kMappingFile, bytes)) {
        FlushLog();
        Status(QStringLiteral("File icao wxmapping.bin is not readable"));
        return false;
    }
    ShowProgress(bytes.size() / kCodeBytes);
    m_mapping = ReadMappingEntries(bytes);
    Step(bytes.size() / kCodeBytes);
    m_widgets.progress->setRange(0, 0);
    Log(QStringLiteral("File: wxmapping.bin, ids: %1").arg(m_mapping.size()));
    FlushLog();
    m_widgets.progress->setRange(0, static_cast<int>(m_mapping.size()));
    HideProgress();
    Status(QStringLiteral("done "));
    return true;
}

void WxStationTool::Search(const QString& code)
{
    const QByteArray searched = code.toUpper().toUtf8();
    ShowProgress(static_cast<int>(m_mapping.size()));
    Status(QStringLiteral("searching in wxmapping..."));
    bool found = false;
    int index = 0;
    for (const WxMappingEntry& entry : m_mapping) {
        if (entry.icao == searched) {
            Log(QStringLiteral("ICAO: %1 founded in wxmapping").arg(QString::fromUtf8(searched)));
            Log(QStringLiteral("ICAO: %1, Name: %2, Lat: %3, Lon: %4, Alt: %5")
                    .arg(QString::fromUtf8(entry.icao), QString::fromUtf8(entry.name), SixDigits(entry.latitude),
                         SixDigits(ShownLongitude(entry.longitude)), SixDigits(entry.altitude)));
            found = true;
            break;
        }
        if (++index % kProgressStep == 0)
            Step(index);
    }
    if (!found)
        Log(QStringLiteral("ICAO: %1 not found").arg(QString::fromUtf8(searched)));
    FlushLog();
    HideProgress();
    m_widgets.progress->setRange(0, 0);
    Status(QStringLiteral("done"));
}

bool WxStationTool::Backup(const QString& simulatorFolder)
{
    QDir().mkpath(BackupFolder());
    const QString weatherFolder = WeatherFolder(simulatorFolder);
    const QFileInfo folder(weatherFolder);
    if (!folder.isDir() || !folder.isReadable()) {
        Status(QStringLiteral("FS9/FSX Path is not readable"));
        return false;
    }
    const bool done = BackupFile(weatherFolder, kMappingFile) && BackupFile(weatherFolder, kStationFile);
    FlushLog();
    return done;
}

bool WxStationTool::BackupFile(const QString& weatherFolder, const QString& fileName)
{
    // QFile::copy never overwrites: a second backup within the same minute fails and stops the action.
    const QString backup = BackupFolder() + fileName + QLatin1Char('_') + UtcMinute();
    if (!QFile::copy(weatherFolder + QLatin1Char('/') + fileName, backup)) {
        Log(QStringLiteral("can not backup file ") + fileName);
        return false;
    }
    Log(QStringLiteral("backup file %1 into %2").arg(fileName, BackupFolder()));
    return true;
}

WxStationTool::Simulator WxStationTool::DetectSimulator(const QString& simulatorFolder)
{
    QSet<QString> files;
    for (const QString& name : QDir(simulatorFolder).entryList(QDir::Files))
        files.insert(name.toLower());
    if (files.contains(QStringLiteral("fsx.exe")))
        return Simulator::FSX;
    if (files.contains(QStringLiteral("prepar3d.exe")))
        return Simulator::Prepar3D;
    if (files.contains(QStringLiteral("fs9.exe")))
        return Simulator::FS2004;
    return Simulator::None;
}

void WxStationTool::AddWxStationsToFS(const QString& simulatorFolder, std::vector<aviation::weather::CStation> airports)
{
    const Simulator simulator = DetectSimulator(simulatorFolder);
    switch (simulator) {
    case Simulator::FSX:
        platform::DebugOut("FS: FSX\n");
        break;
    case Simulator::Prepar3D:
        platform::DebugOut("FS: P3D\n");
        break;
    case Simulator::FS2004:
        platform::DebugOut("FS: FS2004\n");
        break;
    case Simulator::None:
        platform::DebugOut("No FS");
        break;
    }

    // Stations that auto mode made up carry codes ("A001") that mean other places at the next start.
    airports.erase(std::remove_if(airports.begin(), airports.end(),
                                  [](const aviation::weather::CStation& station) { return station.IsGenerated(); }),
                   airports.end());
    // An empty list would replace the embedded airports at the next start with none.
    if (airports.empty()) {
        Status(QStringLiteral("no airports loaded"));
        return;
    }
    const int count = static_cast<int>(airports.size());
    const QString weatherFolder = WeatherFolder(simulatorFolder);
    const QString mappingPath = weatherFolder + QLatin1Char('/') + kMappingFile;
    const QString stationPath = weatherFolder + QLatin1Char('/') + kStationFile;

    QByteArray mappingBytes;
    if (!ReadWhole(mappingPath, mappingBytes) || !QFileInfo(mappingPath).isWritable()) {
        Status(QStringLiteral("File wxmapping.bin is not readable/writable"));
        return;
    }
    Log(QStringLiteral("modified file wxmapping.bin"));
    Status(QStringLiteral("modified file wxmapping.bin"));
    ShowProgress(count);
    QSet<QByteArray> mappingCodes;
    mappingCodes.reserve(static_cast<int>(m_mapping.size()) + count);
    for (const WxMappingEntry& entry : m_mapping)
        mappingCodes.insert(entry.icao);
    const int mappingSize = mappingBytes.size();
    std::vector<WxMappingEntry> addedEntries;
    for (int i = 0; i < count; ++i) {
        aviation::weather::CStation& airport = airports[static_cast<std::size_t>(i)];
        if (i % kProgressStep == 0)
            Step(i);
        const QByteArray code = SimulatorCode(airport);
        if (!mappingCodes.contains(code)) {
            WxMappingEntry entry = MappingEntryFor(airport);
            Log(QStringLiteral("adding wxmapping ICAO: %1, Name: %2, Lat: %3, Lon: %4, Alt: %5")
                    .arg(QString::fromUtf8(entry.icao), QString::fromUtf8(entry.name), SixDigits(entry.latitude),
                         SixDigits(entry.longitude), SixDigits(entry.altitude)));
            mappingBytes.append(EncodeMappingEntry(entry));
            mappingCodes.insert(code);
            addedEntries.push_back(std::move(entry));
        }
        SetFlag(airport, simulator);
    }
    FlushLog();
    HideProgress();

    QByteArray stationBytes;
    if (!ReadWhole(stationPath, stationBytes) || !QFileInfo(stationPath).isWritable()) {
        Status(QStringLiteral("File wxstationlist.bin is not readable/writable"));
        return;
    }
    ShowProgress(count);
    Log(QStringLiteral("modified file wxstationlist.bin"));
    Status(QStringLiteral("modified file wxstationlist.bin"));
    QSet<QString> stationCodes(m_stationIds.begin(), m_stationIds.end());
    const int stationSize = stationBytes.size();
    QStringList addedIds;
    for (int i = 0; i < count; ++i) {
        if (i % kProgressStep == 0)
            Step(i);
        const QByteArray code = SimulatorCode(airports[static_cast<std::size_t>(i)]);
        const QString id = QString::fromUtf8(code);
        if (stationCodes.contains(id))
            continue;
        Log(QStringLiteral("adding wxStation ICAO: %1").arg(id));
        stationBytes.append(EncodeCode(code));
        stationCodes.insert(id);
        addedIds.append(id);
    }
    FlushLog();
    HideProgress();

    // Both files are replaced whole, the mapping first; when the station list then fails, the mapping gets its
    // old bytes back, so the simulator never sees one file extended without the other.
    const bool mappingGrows = mappingBytes.size() > mappingSize;
    if (mappingGrows && !ReplaceWith(mappingPath, mappingBytes)) {
        Status(QStringLiteral("File wxmapping.bin is not readable/writable"));
        return;
    }
    if (stationBytes.size() > stationSize && !ReplaceWith(stationPath, stationBytes)) {
        if (mappingGrows && !ReplaceWith(mappingPath, mappingBytes.left(mappingSize)))
            Log(QStringLiteral("can not undo the changes of wxmapping.bin"));
        FlushLog();
        Status(QStringLiteral("File wxstationlist.bin is not readable/writable"));
        return;
    }
    // The lists now hold what the files hold, so a second create adds nothing twice.
    m_mapping.insert(m_mapping.end(), addedEntries.begin(), addedEntries.end());
    m_stationIds.append(addedIds);

    if (!WriteAirportList(platform::ProgramFolder() + QStringLiteral("/airportlist.txt"), airports))
        platform::DebugOut("Can not create file airportlist.txt\n");
}

bool WxStationTool::ReplaceWith(const QString& path, const QByteArray& contents)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(contents) != contents.size() || (m_commitHook && !m_commitHook(QFileInfo(path).fileName()))) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    return file.commit();
}

void WxStationTool::Restore(const QString& simulatorFolder)
{
    const QString chosen = Prompter().Choose({ChooserKind::OpenFile, QStringLiteral("Restore WXStations-Files"),
                                              platform::ProgramFolder() + QStringLiteral("/backups"),
                                              QStringLiteral("FS wxmapping Files (wxmapping.* wxstationlist.*)")});
    if (chosen.isEmpty())
        return;
    QString target;
    if (chosen.contains(QStringLiteral("wxmapping.bin_")))
        target = kMappingFile;
    if (chosen.contains(QStringLiteral("wxstationlist.bin_")))
        target = kStationFile;
    if (target.isEmpty())
        return;

    const QString weatherFolder = WeatherFolder(simulatorFolder);
    const QString current = weatherFolder + QLatin1Char('/') + target;
    const QString kept = current + QStringLiteral("_aerovane_") + UtcMinute();
    const bool moved = QFile::rename(current, kept);
    if (QFile::copy(chosen, current)) {
        QFile::remove(chosen);
        Log(QStringLiteral("restored %1 from %2").arg(target, chosen));
        platform::DebugOut(QStringLiteral("restored %1 from %2\n").arg(target, chosen).toStdString());
    } else {
        // Without the copy the simulator would be left without its file: the current one goes back in place.
        if (moved && !QFile::exists(current))
            QFile::rename(kept, current);
        Log(QStringLiteral("can not restore %1 from %2, the current file stays").arg(target, chosen));
        platform::DebugOut(QStringLiteral("can not restore %1 from %2\n").arg(target, chosen).toStdString());
    }
    FlushLog();
}

void WxStationTool::Status(const QString& text)
{
    m_widgets.status->setText(text);
}

void WxStationTool::Log(const QString& line)
{
    m_pendingLog.append(line);
    if (m_pendingLog.size() >= kLogBlock)
        FlushLog();
}

void WxStationTool::FlushLog()
{
    if (m_pendingLog.isEmpty())
        return;
    QTextCursor cursor(m_widgets.log->document());
    cursor.movePosition(QTextCursor::End);
    if (!m_widgets.log->document()->isEmpty())
        cursor.insertBlock();
    cursor.insertText(m_pendingLog.join(QLatin1Char('\n')));
    m_pendingLog.clear();
}

void WxStationTool::ShowProgress(int maximum)
{
    m_widgets.progress->setRange(0, maximum);
    m_widgets.progress->setValue(0);
    m_widgets.progress->show();
}

void WxStationTool::Step(int value)
{
    m_widgets.progress->setValue(value);
}

void WxStationTool::HideProgress()
{
    m_widgets.progress->hide();
}
