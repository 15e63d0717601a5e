// The program's side of the bridge link: a blocking TCP client of the bridge program beside the simulator. It
// logs in ("HELO"), asks which simulator the bridge serves ("COFS"), then sends one READ or WRIT at a time and
// waits for its answer, e.g. "@READ;001;0000;" answered by "@ANSW;001;0250;Height=4636:Alt=5000:...".
#pragma once

#include <QAbstractSocket>
#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <mutex>

class QTcpSocket;
class CLinkMessage;
class CNewWeather;
class CXPWeather;

namespace aviation {
namespace structs {
struct CAircraft;
struct CAircraftDetail;
class CAircraftFuel;
class CAircraftPayload;
} // namespace structs
namespace weather {
class CWind;
} // namespace weather
} // namespace aviation

class COvyxClient : public QObject
{
    Q_OBJECT

public:
    // How long the client waits, in milliseconds: for the TCP connection, for its bytes to be written, and for
    // the whole answer to a write request (and the handshake and version exchange) or to a read request.
    struct Waits
    {
        int connect = 2000;
        int write = 30000;
        int writeReply = 30000;
        int readReply = 10000;
    };

    // A frame that has not ended within this many bytes is not a bridge answer; it is dropped.
    static constexpr int kMaxFrameBytes = 64 * 1024;

    // What went wrong with the connection itself, as opposed to a request the bridge answered with a refusal.
    enum class LinkFault { None, Unreachable, Closed, NoAnswer, Garbled, WriteFailed };
    // The fault in words for the log and the status line, e.g. "no answer".
    static QString FaultText(LinkFault fault);

    explicit COvyxClient(QObject* parent = nullptr);
    // Logs out first when connected.
    ~COvyxClient() override;

    void SetWaits(const Waits& waits) { m_waits = waits; }

    // TCP connection and handshake. A bridge of another API version is reported in the log but accepted.
    bool Connect(const QString& host, quint16 port);
    // Version exchange; on success the simulator the bridge is connected to (first) and the kind of weather it
    // takes (second), as the bridge numbers them.
    bool SendClientVersion(int& first, int& second);
    // Sends the logout without waiting for it and closes the connection. Always true.
    bool Logout();
    // May be asked from another thread.
    bool IsConnected() const { return m_connected; }
    // The first connection fault since the last Connect; None while every request went through or was only
    // refused. The client goes on after a fault (a late answer is skipped); the caller decides to give up.
    LinkFault GetLinkFault() const { return m_fault; }
    // May be called from another thread: the wait of a request or handshake running in the client's thread ends
    // at once, and so does every later one until the next Connect; the connection is lost. The wait for the TCP
    // connection itself runs to its end.
    void AbortWaits();

    // Each read leaves the record unchanged when it fails.
    bool ReadAircraft(aviation::structs::CAircraft& aircraft);
    bool ReadAircraftDetail(aviation::structs::CAircraftDetail& detail);
    bool ReadFuel(aviation::structs::CAircraftFuel& fuel);
    bool ReadPayload(aviation::structs::CAircraftPayload& payload);

    bool SendFuel(const aviation::structs::CAircraftFuel& fuel);
    bool SendPayload(const aviation::structs::CAircraftPayload& payload);
    bool ClearWeather();
    bool SendWind(const aviation::weather::CWind& wind);
    bool SendText(const char* text);
    bool SendWeatherStation(const CNewWeather& weather);
    bool SendXPlaneWeather(const CXPWeather& weather);
    bool SendMetar(const char* text);
    bool SetWeatherTheme(const char* name);
    bool SendXPlaneWind(const CXPWeather& weather);

signals:
    void sigConnected();
    void sigUIDebugStringFromClient(QString text, int target);
    void sigFSVersion(int version);

public slots:
    void NewConnection();
    void OnServerDisconnected();
    void OnError(QAbstractSocket::SocketError error);

private:
    bool Handshake();
    // Writes the frame and its line feed; the number of bytes the socket took, -1 when nothing was sent.
    qint64 SendMessage(CLinkMessage& message);
    // Waits up to `waitMs` for one whole answer frame.
    bool ReadMessage(CLinkMessage& out, int waitMs);

    // Sends the request and waits until it is written.
    bool SendRequest(CLinkMessage& request);
    bool WaitWritten();
    // Drops what is left of earlier answers, so a late answer is never taken for the next one.
    void DiscardWaitingBytes();
    bool Read(std::uint8_t subCode, CLinkMessage& reply);
    // The answer to READ `subCode` turned into its record by `parse`; the record is left unchanged on failure.
    template<typename Record>
    bool ReadRecord(std::uint8_t subCode, Record (CLinkMessage::*parse)() const, Record& record);
    bool Write(CLinkMessage& request, CLinkMessage& reply);
    bool Write(CLinkMessage& request, const QString& successText);
    void Log(const QString& text);
    // Keeps a duplicate of the connected socket's descriptor for AbortWaits, which so never reaches a
    // descriptor the system has handed out again since.
    void KeepAbortHandle();
    // Notes the fault unless an earlier one is noted; a wait that ended on a closed socket counts as Closed.
    void NoteFault(LinkFault fault);

    QTcpSocket* m_socket;
    std::atomic<bool> m_connected{false};
    LinkFault m_fault = LinkFault::None;
    int m_clientApiVersion = 1002;
    int m_minServerApiVersion = 1002;
    Waits m_waits;
    // Bytes received but not yet taken as a frame.
    QByteArray m_pending;
    std::mutex m_abortLock;
    int m_abortHandle = -1;
    bool m_aborted = false;
};
