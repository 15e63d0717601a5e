// The weather-station generator of the options dialog: reads a simulator's "wxstationlist.bin" and
// "wxmapping.bin", finds a code among the mapping records, backs both files up, extends them with the
// program's airports and writes "airportlist.txt", and restores a backup. It reports into the group's status
// label, progress bar and result log, and keeps both files' contents as last read or written.
#pragma once

#include "dialogs/wxstationfiles.h"
#include "weather/station.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QLabel;
class QProgressBar;
class QTextEdit;

class WxStationTool
{
public:
    struct Widgets
    {
        QLabel* status = nullptr;
        QProgressBar* progress = nullptr;
        QTextEdit* log = nullptr;
    };

    // The simulator whose station flags the writer sets, found by its executable in the simulator's folder.
    enum class Simulator { None, FS2004, FSX, Prepar3D };

    // Called with a file's name just before its new contents replace it; false makes the write fail.
    using CommitHook = std::function<bool(const QString& fileName)>;

    explicit WxStationTool(const Widgets& widgets);

    // Reads both files of the simulator's weather folder; true when both were read to their ends.
    bool Read(const QString& simulatorFolder);
    // Looks the code up, upper-cased, among the mapping records of the last read.
    void Search(const QString& code);
    // Copies both files into the backup folder under names stamped with the UTC minute; false when either
    // copy failed, which must stop the create action.
    bool Backup(const QString& simulatorFolder);
    // Appends every airport the files lack (generated stations excepted) and writes "airportlist.txt" with
    // the found simulator's flags set. Both files change together or not at all.
    void AddWxStationsToFS(const QString& simulatorFolder, std::vector<aviation::weather::CStation> airports);
    // Asks for a backup file and puts it in place of the simulator's file of that name.
    void Restore(const QString& simulatorFolder);

    static Simulator DetectSimulator(const QString& simulatorFolder);

    const QStringList& StationIds() const { return m_stationIds; }
    const std::vector<WxMappingEntry>& MappingEntries() const { return m_mapping; }
    void SetCommitHook(CommitHook hook) { m_commitHook = std::move(hook); }

    // Progress and result lines are shown every this many items, so long files do not drown the GUI.
    static constexpr int kProgressStep = 11;
    static constexpr int kLogBlock = 500;

private:
    // Replaces the file whole with the contents, or leaves it untouched; false when it stayed.
    bool ReplaceWith(const QString& path, const QByteArray& contents);
    bool BackupFile(const QString& weatherFolder, const QString& fileName);
    void Status(const QString& text);
    void Log(const QString& line);
    void FlushLog();
    void ShowProgress(int maximum);
    void Step(int value);
    void HideProgress();

    Widgets m_widgets;
    QStringList m_stationIds;
    std::vector<WxMappingEntry> m_mapping;
    QStringList m_pendingLog;
    CommitHook m_commitHook;
};

namespace wxstationfiles {
// The simulator's folder, the platform's separator and "Weather".
QString WeatherFolder(const QString& simulatorFolder);
// The program's folder and "/backups/".
QString BackupFolder();
} // namespace wxstationfiles
