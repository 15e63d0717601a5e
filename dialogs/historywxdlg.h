// The choice of a past date and hour whose weather the main window downloads, and of the parts to fetch
// besides the METAR reports.
#pragma once

#include <QDateTime>
#include <QDialog>

class QCheckBox;
class QDateEdit;
class QTimeEdit;

class CHistoryWxDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CHistoryWxDlg(QWidget* parent = nullptr);
    ~CHistoryWxDlg() override;

    // The date box's date with the time box's time, as shown (local time).
    QDateTime GetDateTime() const;
    bool IsDownloadSynop() const;
    bool IsDownloadGrib() const;

private:
    QDateEdit* m_date = nullptr;
    QTimeEdit* m_time = nullptr;
    QCheckBox* m_synop = nullptr;
    QCheckBox* m_grib = nullptr;
};
