// The choice of a past date and half hour whose weather the main window downloads, checked against the weather
// server's history index, and of the parts to fetch besides the METAR reports. The index reads
//     <dates_available><date>2022-10-22 03:00:00</date>...</dates_available>
#pragma once

#include "ui_historywxdlg.h"

#include <QDateTime>
#include <QDialog>
#include <QList>

class CMainWindowHost;
class QIODevice;

class CHistoryWxDlg : public QDialog
{
    Q_OBJECT

public:
    // The index is kept under this name in the working folder; an earlier copy is read when the download fails.
    static const char* const kIndexFile;

    // Fetches the index with the host's downloader (none: the kept copy is read) and offers its period.
    CHistoryWxDlg(QWidget* parent, CMainWindowHost* host);
    ~CHistoryWxDlg() override;

    // The date box's date with the time box's time, as shown (UTC).
    QDateTime GetDateTime() const;
    bool IsDownloadSynop() const;
    bool IsDownloadGrib() const;

    // Every `date` of every `dates_available` element, in document order ("yyyy-MM-dd hh:mm:ss", UTC; a text
    // that does not read so is kept as an invalid entry). A malformed document ends the reading at its error.
    static QList<QDateTime> ReadAvailableDates(QIODevice& index);
    // The next half hour at or after the time, wrapping at midnight: 10:10 -> 10:30, 23:45 -> 00:00.
    static QTime RoundUpToHalfHour(const QTime& time);

public slots:
    void OnCheckDateFromHistory(const QDate& date);
    void OnCheckTimeFromHistory(const QTime& time);

private:
    void LoadAvailableDates(CMainWindowHost* host);
    void ShowFound(bool found);

    Ui::Dialog_HistoryWx ui;
    QList<QDateTime> m_dates;
};
