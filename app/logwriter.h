// The program's log files in "<program folder>/logs/": at every start the previous "aerovane.log" is kept as
// "aerovane_last.log" and as the numbered copy of a ring, then a new, empty "aerovane.log" is written line by
// line, each line flushed at once; a log that grows beyond kMaxLogBytes within a run goes into the ring too and
// "aerovane.log" starts empty again. Lines read "07.12.26 10:49:27 - (Main) Close".
#pragma once

#include <QFile>
#include <QString>

class CLogWriter
{
public:
    static constexpr qint64 kMaxLogBytes = 10LL * 1024 * 1024;

    CLogWriter() = default;
    CLogWriter(const CLogWriter&) = delete;
    CLogWriter& operator=(const CLogWriter&) = delete;

    // Rotates the logs of `programFolder` (creating its "logs/" folder when needed) and opens the new log. The
    // ring's size and next number are the settings general/maxlogfilenumber and general/logfilenumber.
    void Open(const QString& programFolder);
    // Appends one line and its line end and flushes it. Lost silently when the log could not be opened.
    void WriteLine(const QString& line);
    bool IsOpen() const { return m_file.isOpen(); }

    // "dd.MM.yy hh:mm:ss - text" at the clock's local time.
    static QString FormatLine(const QString& text);

    // The size at which the log is rotated; tests use a small one.
    void SetMaxBytes(qint64 bytes) { m_maxBytes = bytes; }

private:
    // Copies the current log into the ring's next numbered file and advances the ring; false when no copy was
    // made.
    bool CopyIntoRing(const QString& current);

    QString m_folder;
    QFile m_file;
    qint64 m_maxBytes = kMaxLogBytes;
};
