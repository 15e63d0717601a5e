// A loopback HTTP server standing in for the weather data server. It answers requests such as
//     GET /get_grib_v2.php?lat=50.03&lon=8.57&mode=multi&key=64093 HTTP/1.1
// with the combined weather file, grid texts, the server information document, history files and route finder
// replies (GET /access.php?type=app&name=aerovane&dep=EDDF&dest=LOWW) from a data folder, answers the flight
// recorder's login post
//     POST /index.php?option=com_aerovane_user&view=checklogin HTTP/1.1
// with the reply lines in the folder's recorder-login.txt, takes the recorder's live position posts at
//     POST /live.php HTTP/1.1
// with "OK" (status 200), and can be told to fail on a path the way a real server fails.
#pragma once

#include "tools/wx-server/gridsource.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

namespace tools {

class WxServer : public QObject
{
    Q_OBJECT

public:
    // How a path answers instead of its content.
    enum class Failure {
        None,
        NotFound, // status 404
        Stall, // the request is read and never answered
        CorruptGzip, // the gzip header followed by data that does not inflate
        HtmlPage, // an HTML error page with status 200
        GridError, // a grid answer whose first line is "Error: ..."
        CutAtSection, // the combined file's gzip cut off right after its METAR section
        Trickle, // the head sent at once, the body one byte at a time, kTrickleGapMs apart
        InternalError, // status 500
        Slow, // the head sent at once, the body as a slow but steady line brings it: kSlowChunkBytes every
              // kSlowGapMs (20 kB/s)
        SlowThenTrickle, // the head sent at once, the first kSlowStartBytes of the body as Slow sends them, the
                         // rest as Trickle does
        SlowWithoutLength, // as Slow, but the head names no Content-Length: closing the connection ends the body
    };
    static constexpr int kTrickleGapMs = 200;
    static constexpr int kSlowChunkBytes = 2048;
    static constexpr int kSlowGapMs = 100;
    static constexpr int kSlowStartBytes = 16 * kSlowChunkBytes;

    // Reads the folder: metar.txt, synop.txt, taf.txt (the combined weather file), aerovane_info.xml,
    // historywx.xml, history/, grid/, the route finder's replies in vatroute/ and recorder-login.txt at each
    // login. Missing files give empty sections, empty replies or 404 answers.
    explicit WxServer(const QString& dataFolder, QObject* parent = nullptr);

    // Listens on 127.0.0.1; port 0 picks a free one. False with ErrorString() when the port is taken.
    bool Listen(quint16 port = 0);
    quint16 Port() const;
    // "http://127.0.0.1:<port>", the base the program's server settings take.
    QString BaseUrl() const;
    QString ErrorString() const;

    // The failure a path (without its query) answers with from now on; Failure::None restores the content.
    void SetFailure(const QString& path, Failure failure);
    // The file server the login reply names from now on ("127.0.0.1:2121"), in place of the FTPServer line of
    // recorder-login.txt; empty keeps the file's line.
    void SetFtpServer(const QString& address) { m_ftpServer = address; }
    // Replaces the text that /weather_vatsim.gz carries, gzipped as one member.
    void SetCombinedText(const QByteArray& text);
    // The text /weather_vatsim.gz carries now, before packing.
    QByteArray CombinedText() const { return m_combinedText; }

    // Request targets (path and query) in the order they arrived.
    QStringList Requests() const { return m_requests; }
    void ClearRequests() { m_requests.clear(); }

    // Every POST with its body (at most 64 KiB; larger ones are refused unread), in the order they arrived.
    struct Post
    {
        QString target;
        QByteArray body;
    };
    QList<Post> Posts() const { return m_posts; }

    // Maps a failure name of the command line ("404", "stall", "corrupt-gzip", "html", "grid-error", "cut",
    // "trickle", "500", "slow", "slow-then-trickle", "slow-no-length", "none") to its value; false for an unknown
    // name.
    static bool ParseFailure(const QString& name, Failure& failure);

signals:
    // After each request: its target, the status sent (0 while stalled) and the body's length. Emitted from the
    // event loop once the server's handling of the socket is done, so that a slot may wait for anything, even for
    // the client to give up and its socket to go.
    void RequestServed(const QString& target, int status, qint64 bytes);

private:
    struct Answer
    {
        int status = 200;
        QByteArray contentType = "application/octet-stream";
        QByteArray body;
        // False: the head names no Content-Length, and the body ends when the connection closes.
        bool sized = true;
    };

    void OnNewConnection();
    void OnReadyRead(QTcpSocket* socket);
    // Emits RequestServed from the event loop.
    void ReportServed(const QString& target, int status, qint64 bytes);
    // False when the request is to stall (no answer is sent).
    bool Route(const QString& target, Answer& answer) const;
    Answer FileAnswer(const QString& relativePath, const QByteArray& contentType) const;
    Answer HistoryAnswer(const QString& name) const;
    Answer GridAnswer(const QString& query) const;
    // The route finder's reply for dep and dest: vatroute/<dep>-<dest>.txt, empty when there is none.
    Answer RouteAnswer(const QString& query) const;
    // recorder-login.txt with the FTPServer line naming m_ftpServer when that is set.
    Answer LoginAnswer() const;
    static void Send(QTcpSocket* socket, const Answer& answer);
    // The Content-Length of a request head, 0 without one; false when it is not a number.
    static bool RequestBodyLength(const QByteArray& head, qint64& length);
    // How a body is paced: pieces of chunkBytes, gapMs apart.
    struct Pace
    {
        int chunkBytes;
        int gapMs;
    };
    // Sends the head at once, the first paceBytes of the body at `pace` and the rest at `after`, and closes the
    // connection after the last piece.
    static void SendPaced(QTcpSocket* socket, const Answer& answer, Pace pace, int paceBytes, Pace after);
    static QByteArray Head(const Answer& answer);
    // The live position receiver's path, with or without a query.
    static bool IsLivePosition(const QString& target);

    QString m_folder;
    QTcpServer m_server;
    GridSource m_grid;
    QByteArray m_combinedText;
    QByteArray m_combinedGzip;
    QHash<QString, Failure> m_failures;
    QString m_ftpServer;
    QStringList m_requests;
    QList<Post> m_posts;
};

} // namespace tools
