// The main window's status bar: a progress bar for downloads and long jobs, the progress text, the status text,
// the weather server's state (only while it is not reached) and the program version ("v" + the client
// version), left to right.
#pragma once

#include <QStatusBar>
#include <QString>

#include <memory>

class CElidedLabel;
class QLabel;
class QProgressBar;

class CWXStatusBar : public QStatusBar
{
public:
    explicit CWXStatusBar(QWidget* parent = nullptr);
    ~CWXStatusBar() override;

    // Byte counts and totals arrive as 64-bit values; the progress bar holds 32-bit ones. A total of -1
    // (unknown) gives the range 0 to 0, which the bar draws as a busy indicator.
    void SetProgressRange(qint64 minimum, qint64 maximum);
    // The percentage shows only while the value is above 0.
    void SetProgressValue(qint64 value);
    void ResetProgress(bool textVisible);
    void SetProgressText(const QString& text, const QString& toolTip);
    void SetProgressToolTip(const QString& toolTip);
    void SetStatusText(const QString& text);
    void SetStatusToolTip(const QString& toolTip);
    // An empty text hides the server's field.
    void SetServerText(const QString& text);

private:
    std::shared_ptr<QProgressBar> m_progressBar;
    std::shared_ptr<CElidedLabel> m_progressLabel;
    std::shared_ptr<CElidedLabel> m_statusLabel;
    std::shared_ptr<QLabel> m_serverLabel;
    std::shared_ptr<QLabel> m_versionLabel;
};
