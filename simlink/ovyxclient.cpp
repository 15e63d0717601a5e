#include "simlink/ovyxclient.h"

#include "simlink/linkmessage.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QHostAddress>
#include <QLoggingCategory>
#include <QStringList>
#include <QTcpSocket>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

// Every frame written and read; off unless QT_LOGGING_RULES="aerovane.wire.debug=true" (run.sh --verbose).
Q_LOGGING_CATEGORY(lcWire, "aerovane.wire", QtInfoMsg)

using aviation::structs::CAircraft;
using aviation::structs::CAircraftDetail;
using aviation::structs::CAircraftFuel;
using aviation::structs::CAircraftPayload;

namespace {

constexpr int kHeaderSize = 15;
// Polls for bytes still on their way are bounded, so a peer that streams without pause cannot hold a request.
constexpr int kMaxDiscardPolls = 16;

// Length of the first whole frame in `pending` with its line end, 0 while it is incomplete. A frame ends at its
// line feed; a bridge that sends none ends it with the payload length its header announces.
int CompleteFrameLength(const QByteArray& pending)
{
    const int lineEnd = pending.indexOf('\n');
    if (lineEnd >= 0)
        return lineEnd + 1;
    if (pending.size() < kHeaderSize || pending.at(0) != '@')
        return 0;
    bool isNumber = false;
    const int length = pending.mid(10, 4).toInt(&isNumber);
    if (isNumber && length >= 0 && pending.size() >= kHeaderSize + length)
        return kHeaderSize + length;
    return 0;
}

std::string WithoutLineEnd(const QByteArray& frame)
{
    int size = frame.size();
    while (size > 0 && (frame.at(size - 1) == '\n' || frame.at(size - 1) == '\r'))
        --size;
    return std::string(frame.constData(), static_cast<std::size_t>(size));
}

QString Latin1(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<int>(text.size()));
}

// The number after "=" in a "Key=value" item; 0 when it is none.
int ItemNumber(const QString& item, bool& wellFormed)
{
    const QStringList pieces = item.split(QLatin1Char('='), Qt::KeepEmptyParts);
    wellFormed = pieces.size() == 2;
    return pieces.size() >= 2 ? pieces.at(1).toInt() : 0;
}

} // namespace

COvyxClient::COvyxClient(QObject* parent)
    : QObject(parent)
    , m_socket(new QTcpSocket(this))
{
}

COvyxClient::~COvyxClient()
{
    if (m_connected)
        Logout();
    delete m_socket;
    if (m_abortHandle >= 0)
        ::close(m_abortHandle);
}

bool COvyxClient::Connect(const QString& host, quint16 port)
{
    qDebug() << "(Client) - connect to host";
    {
        std::lock_guard<std::mutex> locker(m_abortLock);
        m_aborted = false;
    }
    m_pending.clear();
    m_fault = LinkFault::None;
    m_socket->connectToHost(host, port, QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
    qDebug() << "(Client) - try connect to server";
    if (!m_socket->waitForConnected(m_waits.connect)) {
        qDebug() << "(Client) - not connected";
        m_socket->abort();
        NoteFault(LinkFault::Unreachable);
        return false;
    }
    qDebug() << "(Client) - connected";
    KeepAbortHandle();
    connect(m_socket, &QTcpSocket::disconnected, this, &COvyxClient::OnServerDisconnected, Qt::UniqueConnection);
    return Handshake();
}

bool COvyxClient::Handshake()
{
    if (m_connected)
        return true;
    CLinkMessage hello = CLinkMessage::Hello(m_clientApiVersion);
    if (!SendRequest(hello))
        return false;
    CLinkMessage reply;
    if (!ReadMessage(reply, m_waits.writeReply))
        return false;

    // "ServerName=...:ServerAPIVersion=1002"; an answer without that second item counts as version 0.
    const QStringList items = Latin1(reply.GetPayload()).split(QLatin1Char(':'));
    bool wellFormed = false;
    const int serverApiVersion = items.size() >= 2 ? ItemNumber(items.at(1), wellFormed) : 0;
    if (serverApiVersion != m_minServerApiVersion) {
        Log(QStringLiteral("Aerovane is not compatible with Nimbolux or Aerovane-Server. MinServerApiVersion=%1, "
                           "your ServerApiVersion=%2 Please download and install the last versions of Aerovane "
                           "and Nimbolux")
                .arg(m_minServerApiVersion)
                .arg(serverApiVersion));
    }
    Log(QStringLiteral("(Client) - connected to ") + m_socket->peerAddress().toString() + QLatin1Char(':')
        + QString::number(m_socket->peerPort()));
    Log(QStringLiteral("(Client) - Server waits for connection to any FS"));
    m_connected = true;
    return true;
}

bool COvyxClient::SendClientVersion(int& first, int& second)
{
    CLinkMessage request = CLinkMessage::ClientVersion(m_clientApiVersion);
    if (!SendRequest(request))
        return false;
    qCDebug(lcWire) << "Written ";
    CLinkMessage reply;
    if (!ReadMessage(reply, m_waits.writeReply) || reply.GetCommand() != LinkFsst)
        return false;

    // "SimVersion=3:FSVersion=3"
    const QStringList items = Latin1(reply.GetPayload()).split(QLatin1Char(':'));
    if (items.size() < 2)
        return false;
    bool wellFormed = false;
    const int simulator = ItemNumber(items.at(0), wellFormed);
    if (!wellFormed)
        return false;
    first = simulator;
    if (first == 0)
        return false;
    const int value = ItemNumber(items.at(1), wellFormed);
    if (!wellFormed)
        return false;
    second = value;
    return true;
}

bool COvyxClient::Logout()
{
    CLinkMessage logout = CLinkMessage::Logout();
    if (m_socket) {
        SendMessage(logout);
        if (m_socket->isOpen())
            m_socket->close();
    }
    m_connected = false;
    return true;
}

template<typename Record>
bool COvyxClient::ReadRecord(std::uint8_t subCode, Record (CLinkMessage::*parse)() const, Record& record)
{
    CLinkMessage reply;
    if (!Read(subCode, reply))
        return false;
    record = (reply.*parse)();
    return true;
}

bool COvyxClient::ReadAircraft(CAircraft& aircraft)
{
    return ReadRecord(LinkSubCode::ReadAircraft, &CLinkMessage::ToAircraft, aircraft);
}

bool COvyxClient::ReadAircraftDetail(CAircraftDetail& detail)
{
    return ReadRecord(LinkSubCode::ReadAircraftDetail, &CLinkMessage::ToAircraftDetail, detail);
}

bool COvyxClient::ReadFuel(CAircraftFuel& fuel)
{
    return ReadRecord(LinkSubCode::ReadFuel, &CLinkMessage::ToAircraftFuel, fuel);
}

bool COvyxClient::ReadPayload(CAircraftPayload& payload)
{
    return ReadRecord(LinkSubCode::ReadPayload, &CLinkMessage::ToAircraftPayload, payload);
}

bool COvyxClient::SendFuel(const CAircraftFuel& fuel)
{
    CLinkMessage request(LinkWrit, fuel);
    return Write(request, QStringLiteral("(Client) - Send AircraftFuel"));
}

bool COvyxClient::SendPayload(const CAircraftPayload& payload)
{
    CLinkMessage request(LinkWrit, payload);
    return Write(request, QStringLiteral("(Client) - Send AircraftPayload"));
}

bool COvyxClient::ClearWeather()
{
    CLinkMessage request(LinkWrit, LinkSubCode::ClearWeather, "");
    return Write(request, QStringLiteral("(Client) - Clear WX OK"));
}

bool COvyxClient::SendWind(const aviation::weather::CWind& wind)
{
    CLinkMessage request(LinkWrit, wind);
    return Write(request, QString());
}

bool COvyxClient::SendText(const char* text)
{
    CLinkMessage request(LinkWrit, LinkSubCode::WriteText, text);
    return Write(request, QStringLiteral("(Client) - OK"));
}

bool COvyxClient::SendWeatherStation(const CNewWeather& weather)
{
    CLinkMessage request(LinkWrit, weather);
    return Write(request, QStringLiteral("(Client) - Weather newweather OK"));
}

bool COvyxClient::SendXPlaneWeather(const CXPWeather& weather)
{
    CLinkMessage request(LinkWrit, weather, LinkSubCode::WriteXPlaneWeather);
    return Write(request, QStringLiteral("(Client) - Weather xplane ok"));
}

bool COvyxClient::SendMetar(const char* text)
{
    CLinkMessage request(LinkWrit, LinkSubCode::WriteMetar, text);
    return Write(request, QStringLiteral("(Client)-Weather metar ICAO: %1 - ok").arg(QString::fromLatin1(text)));
}

bool COvyxClient::SetWeatherTheme(const char* name)
{
    CLinkMessage request(LinkWrit, LinkSubCode::WriteWeatherTheme, name);
    CLinkMessage reply;
    if (!Write(request, reply))
        return false;
    Log(QStringLiteral("(Client)") + Latin1(reply.GetPayload()));
    return true;
}

bool COvyxClient::SendXPlaneWind(const CXPWeather& weather)
{
    CLinkMessage request(LinkWrit, weather, LinkSubCode::WriteXPlaneWind);
    return Write(request, QString());
}

void COvyxClient::NewConnection()
{
    qDebug() << "(Client - Connected)";
    m_connected = true;
}

void COvyxClient::OnServerDisconnected()
{
    m_connected = false;
}

void COvyxClient::OnError(QAbstractSocket::SocketError error)
{
    qDebug() << "(Client - Error)" << error;
}

qint64 COvyxClient::SendMessage(CLinkMessage& message)
{
    DiscardWaitingBytes();
    const std::string frame = message.ToString();
    if (frame.empty() || m_socket->state() != QAbstractSocket::ConnectedState)
        return -1;
    const QByteArray text = QByteArray::fromStdString(frame) + '\n';
    const qint64 sent = m_socket->write(text);
    // Hand the bytes to the system now: without an event loop in this thread, a logout that closes the socket
    // right after would otherwise never send them.
    m_socket->flush();
    qCDebug(lcWire).noquote().nospace() << "Write: " << QString::fromLatin1(text) << " Msg-Len:" << text.size()
                                 << " SendLen:" << sent;
    return sent;
}

bool COvyxClient::ReadMessage(CLinkMessage& out, int waitMs)
{
    const QDeadlineTimer deadline(waitMs);
    int frameLength = 0;
    for (;;) {
        m_pending += m_socket->readAll();
        // A line end left over from a frame that was complete by its length is no frame of its own.
        int lineEnds = 0;
        while (lineEnds < m_pending.size() && (m_pending.at(lineEnds) == '\n' || m_pending.at(lineEnds) == '\r'))
            ++lineEnds;
        m_pending.remove(0, lineEnds);
        frameLength = CompleteFrameLength(m_pending);
        if (frameLength > kMaxFrameBytes || (frameLength == 0 && m_pending.size() > kMaxFrameBytes)) {
            qDebug() << "(Client) - answer longer than" << kMaxFrameBytes << "bytes dropped";
            m_pending.clear();
            NoteFault(LinkFault::Garbled);
            return false;
        }
        if (frameLength > 0)
            break;
        const qint64 remaining = deadline.remainingTime();
        if (remaining == 0 || !m_socket->waitForReadyRead(static_cast<int>(remaining))) {
            NoteFault(LinkFault::NoAnswer);
            return false;
        }
    }
    const QByteArray frame = m_pending.left(frameLength);
    m_pending.remove(0, frameLength);
    qCDebug(lcWire).noquote().nospace() << QString::fromLatin1(frame) << QStringLiteral(" Len:%1").arg(frame.size());
    if (!frame.startsWith('@')) {
        NoteFault(LinkFault::Garbled);
        return false;
    }
    out = CLinkMessage(WithoutLineEnd(frame));
    return true;
}

bool COvyxClient::SendRequest(CLinkMessage& request)
{
    const std::string frame = request.ToString();
    // A request too long to be framed is refused here; the link stays as it is.
    if (frame.empty())
        return false;
    if (SendMessage(request) > 0 && WaitWritten())
        return true;
    NoteFault(LinkFault::WriteFailed);
    return false;
}

bool COvyxClient::WaitWritten()
{
    if (m_socket->bytesToWrite() == 0)
        return m_socket->state() == QAbstractSocket::ConnectedState;
    return m_socket->waitForBytesWritten(m_waits.write);
}

void COvyxClient::DiscardWaitingBytes()
{
    m_pending.clear();
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    m_socket->readAll();
    for (int poll = 0; poll < kMaxDiscardPolls && m_socket->waitForReadyRead(0); ++poll)
        m_socket->readAll();
}

bool COvyxClient::Read(std::uint8_t subCode, CLinkMessage& reply)
{
    if (!m_connected) {
        NoteFault(LinkFault::Closed);
        return false;
    }
    CLinkMessage request = CLinkMessage::Read(subCode);
    if (!SendRequest(request)) {
        qDebug() << "Written TimeOut ";
        return false;
    }
    qCDebug(lcWire) << "Written ";
    if (!ReadMessage(reply, m_waits.readReply)) {
        qDebug() << "ReadReady Timeout ";
        return false;
    }
    if (reply.GetCommand() != LinkAnsw || reply.GetSubCode() != subCode) {
        qDebug() << "Written TimeOut ";
        return false;
    }
    return true;
}

bool COvyxClient::Write(CLinkMessage& request, CLinkMessage& reply)
{
    if (!m_connected) {
        NoteFault(LinkFault::Closed);
        return false;
    }
    if (!SendRequest(request))
        return false;
    return ReadMessage(reply, m_waits.writeReply) && reply.GetCommand() == LinkAnsw;
}

bool COvyxClient::Write(CLinkMessage& request, const QString& successText)
{
    CLinkMessage reply;
    if (!Write(request, reply))
        return false;
    if (!successText.isEmpty())
        Log(successText);
    return true;
}

void COvyxClient::AbortWaits()
{
    std::lock_guard<std::mutex> locker(m_abortLock);
    m_aborted = true;
    if (m_abortHandle >= 0)
        ::shutdown(m_abortHandle, SHUT_RDWR);
}

void COvyxClient::KeepAbortHandle()
{
    std::lock_guard<std::mutex> locker(m_abortLock);
    if (m_abortHandle >= 0)
        ::close(m_abortHandle);
    const qintptr descriptor = m_socket->socketDescriptor();
    m_abortHandle = descriptor >= 0 ? ::fcntl(static_cast<int>(descriptor), F_DUPFD_CLOEXEC, 0) : -1;
    // An abort asked for while the connection was being made ends the handshake's wait.
    if (m_aborted && m_abortHandle >= 0)
        ::shutdown(m_abortHandle, SHUT_RDWR);
}

void COvyxClient::NoteFault(LinkFault fault)
{
    if (m_fault != LinkFault::None)
        return;
    const bool closed = m_socket->state() != QAbstractSocket::ConnectedState;
    m_fault = closed && fault != LinkFault::Unreachable ? LinkFault::Closed : fault;
}

QString COvyxClient::FaultText(LinkFault fault)
{
    switch (fault) {
    case LinkFault::None:
        return QString();
    case LinkFault::Unreachable:
        return QStringLiteral("server not found");
    case LinkFault::Closed:
        return QStringLiteral("connection closed");
    case LinkFault::NoAnswer:
        return QStringLiteral("no answer");
    case LinkFault::Garbled:
        return QStringLiteral("not a bridge");
    case LinkFault::WriteFailed:
        return QStringLiteral("write failed");
    }
    return QString();
}

void COvyxClient::Log(const QString& text)
{
    emit sigUIDebugStringFromClient(text, 0);
}
