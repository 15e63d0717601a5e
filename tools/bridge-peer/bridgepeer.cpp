#include "tools/bridge-peer/bridgepeer.h"

#include <QByteArray>
#include <QDebug>
#include <QEventLoop>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>

namespace tools {

// Everything the caller's thread and the peer's thread share, under one mutex.
struct PeerState
{
    template<typename Predicate> bool WaitFor(int timeoutMs, Predicate done) const
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), done);
    }

    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    CPeerSimulator simulator;
    std::function<void(const std::string& frame)> observer;
    std::vector<std::string> frames;
    std::size_t sent = 0;
    int connections = 0;
    bool stopRequested = false;
    // Misbehaviour.
    int delayMs = 0;
    int pieces = 1;
    int gapMs = 0;
    std::deque<std::string> scripted;
    bool staleAfterNext = false;
    bool closeOnNext = false;
    std::string lastAnswer;
};

namespace {

// A client line that has not ended within this many bytes is no request; the connection is dropped.
constexpr int kMaxFrameBytes = 64 * 1024;
// How often the peer's thread looks whether it is to stop.
constexpr int kStopCheckMs = 10;
// A stale answer trails the answer by this much, so it arrives in bytes of its own.
constexpr int kStaleGapMs = 20;

// What the peer does about one request.
struct Reply
{
    bool close = false;
    QByteArray answer;
    QByteArray stale;
    int delayMs = 0;
    int pieces = 1;
    int gapMs = 0;
};

// The listening socket and its connections; lives in the peer's thread.
class CPeerServer
{
public:
    explicit CPeerServer(std::shared_ptr<PeerState> state)
        : m_state(std::move(state))
    {
    }

    bool Listen(quint16 port)
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] { Accept(); });
        return m_server.listen(QHostAddress::LocalHost, port);
    }

    quint16 GetPort() const { return m_server.serverPort(); }

private:
    void Accept()
    {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            {
                std::lock_guard<std::mutex> lock(m_state->mutex);
                ++m_state->connections;
            }
            m_state->changed.notify_all();
            auto received = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket,
                             [this, socket, received] { Receive(socket, *received); });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    void Receive(QTcpSocket* socket, QByteArray& received)
    {
        received += socket->readAll();
        for (int lineEnd = received.indexOf('\n'); lineEnd >= 0; lineEnd = received.indexOf('\n')) {
            const std::string frame(received.constData(), static_cast<std::size_t>(lineEnd));
            received.remove(0, lineEnd + 1);
            if (!Handle(socket, frame)) {
                received.clear();
                return;
            }
        }
        if (received.size() > kMaxFrameBytes) {
            qWarning() << "bridge-peer: no line end within" << kMaxFrameBytes << "bytes; connection dropped";
            received.clear();
            socket->abort();
        }
    }

    // Records the frame and answers it; false when the connection ends with it.
    bool Handle(QTcpSocket* socket, const std::string& frame)
    {
        const CLinkMessage request(frame);
        Reply reply;
        std::function<void(const std::string&)> observer;
        {
            std::lock_guard<std::mutex> lock(m_state->mutex);
            m_state->frames.push_back(frame);
            observer = m_state->observer;
            reply = Decide(request);
        }
        m_state->changed.notify_all();
        if (observer)
            observer(frame);
        if (reply.close) {
            socket->disconnectFromHost();
            return false;
        }
        Send(socket, reply.answer, reply.delayMs, reply.pieces, reply.gapMs);
        if (reply.delayMs >= 0)
            Send(socket, reply.stale, reply.delayMs + (reply.pieces - 1) * reply.gapMs + kStaleGapMs, 1, 0);
        if (request.GetCommand() == LinkQuit) {
            socket->disconnectFromHost();
            return false;
        }
        return true;
    }

    // Called under the state's lock.
    Reply Decide(const CLinkMessage& request)
    {
        PeerState& state = *m_state;
        Reply reply;
        if (state.closeOnNext) {
            state.closeOnNext = false;
            reply.close = true;
            return reply;
        }
        if (request.GetCommand() == LinkQuit)
            return reply;
        reply.delayMs = state.delayMs;
        reply.pieces = state.pieces;
        reply.gapMs = state.gapMs;
        if (!state.scripted.empty()) {
            reply.answer = QByteArray::fromStdString(state.scripted.front());
            state.scripted.pop_front();
        } else {
            reply.answer = QByteArray::fromStdString(state.simulator.Answer(request)) + '\n';
        }
        if (state.staleAfterNext) {
            state.staleAfterNext = false;
            reply.stale = QByteArray::fromStdString(state.lastAnswer);
        }
        state.lastAnswer = reply.answer.toStdString();
        return reply;
    }

    void Send(QTcpSocket* socket, const QByteArray& bytes, int delayMs, int pieces, int gapMs)
    {
        if (bytes.isEmpty() || delayMs < 0)
            return;
        // Written at once when nothing holds it back, so it leaves before a close that follows the request.
        if (delayMs == 0 && pieces == 1) {
            socket->write(bytes);
            socket->flush();
            CountSent();
            return;
        }
        pieces = std::clamp(pieces, 1, bytes.size());
        for (int i = 0; i < pieces; ++i) {
            const int from = bytes.size() * i / pieces;
            const QByteArray piece = bytes.mid(from, bytes.size() * (i + 1) / pieces - from);
            const bool last = i == pieces - 1;
            // Tied to the socket: a connection that is gone takes its pending pieces with it.
            QTimer::singleShot(delayMs + i * gapMs, socket, [this, socket, piece, last] {
                socket->write(piece);
                socket->flush();
                if (last)
                    CountSent();
            });
        }
    }

    void CountSent()
    {
        {
            std::lock_guard<std::mutex> lock(m_state->mutex);
            ++m_state->sent;
        }
        m_state->changed.notify_all();
    }

    std::shared_ptr<PeerState> m_state;
    QTcpServer m_server;
};

} // namespace

CBridgePeer::CBridgePeer()
    : m_state(std::make_shared<PeerState>())
{
}

CBridgePeer::~CBridgePeer()
{
    Stop();
}

bool CBridgePeer::Start(quint16 port)
{
    Stop();
    std::promise<quint16> listening;
    std::future<quint16> listeningPort = listening.get_future();
    // A plain thread, told to stop through the state and joined, so that thread checkers see where it ends.
    m_thread = std::thread([state = m_state, port, &listening] {
        // The event loop first: it gives the thread the event dispatcher that sockets need.
        QEventLoop loop;
        CPeerServer server(state);
        if (!server.Listen(port)) {
            listening.set_value(0);
            return;
        }
        listening.set_value(server.GetPort());
        QTimer stopCheck;
        QObject::connect(&stopCheck, &QTimer::timeout, [&state, &loop] {
            std::lock_guard<std::mutex> lock(state->mutex);
            if (state->stopRequested)
                loop.quit();
        });
        stopCheck.start(kStopCheckMs);
        loop.exec();
    });
    m_port = listeningPort.get();
    if (m_port == 0) {
        Stop();
        return false;
    }
    return true;
}

void CBridgePeer::Stop()
{
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        m_state->stopRequested = true;
    }
    m_thread.join();
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->stopRequested = false;
    m_port = 0;
}

quint16 CBridgePeer::GetPort() const
{
    return m_port;
}

void CBridgePeer::SetFrameObserver(std::function<void(const std::string& frame)> observer)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->observer = std::move(observer);
}

std::vector<std::string> CBridgePeer::GetFrames() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->frames;
}

std::string CBridgePeer::GetFrameLog() const
{
    std::string log;
    for (const std::string& frame : GetFrames())
        log += frame + '\n';
    return log;
}

std::vector<CLinkMessage> CBridgePeer::GetWeatherWrites() const
{
    std::vector<CLinkMessage> writes;
    for (const CLinkMessage& message : GetMessages(LinkWrit)) {
        const std::uint8_t subCode = message.GetSubCode();
        if (subCode == LinkSubCode::WriteNewWeather || subCode == LinkSubCode::WriteMetar
            || subCode == LinkSubCode::WriteXPlaneWeather)
            writes.push_back(message);
    }
    return writes;
}

std::vector<CLinkMessage> CBridgePeer::GetMessages(LinkCommand command, int subCode) const
{
    std::vector<CLinkMessage> messages;
    for (const std::string& frame : GetFrames()) {
        const CLinkMessage message(frame);
        if (message.GetCommand() == command && (subCode < 0 || message.GetSubCode() == subCode))
            messages.push_back(message);
    }
    return messages;
}

void CBridgePeer::ClearFrames()
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->frames.clear();
}

bool CBridgePeer::WaitForFrames(std::size_t count, int timeoutMs) const
{
    return m_state->WaitFor(timeoutMs, [this, count] { return m_state->frames.size() >= count; });
}

std::size_t CBridgePeer::GetSentCount() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->sent;
}

bool CBridgePeer::WaitForSent(std::size_t count, int timeoutMs) const
{
    return m_state->WaitFor(timeoutMs, [this, count] { return m_state->sent >= count; });
}

int CBridgePeer::GetConnectionCount() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->connections;
}

void CBridgePeer::SetSimulator(Simulator simulator)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->simulator.SetSimulator(simulator);
}

void CBridgePeer::SetApiVersion(int version)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->simulator.SetApiVersion(version);
}

aviation::structs::CAircraft CBridgePeer::GetAircraft() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->simulator.GetAircraft();
}

void CBridgePeer::SetAircraft(const aviation::structs::CAircraft& aircraft)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->simulator.SetAircraft(aircraft);
}

void CBridgePeer::PlayFlight(const std::vector<aviation::structs::CAircraft>& samples)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->simulator.PlayFlight(samples);
}

aviation::structs::CAircraftDetail CBridgePeer::GetDetail() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->simulator.GetDetail();
}

void CBridgePeer::SetDetail(const aviation::structs::CAircraftDetail& detail)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->simulator.SetDetail(detail);
}

aviation::structs::CAircraftFuel CBridgePeer::GetFuel() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->simulator.GetFuel();
}

void CBridgePeer::SetFuel(const aviation::structs::CAircraftFuel& fuel)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->simulator.SetFuel(fuel);
}

aviation::structs::CAircraftPayload CBridgePeer::GetPayload() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->simulator.GetPayload();
}

void CBridgePeer::SetPayload(const aviation::structs::CAircraftPayload& payload)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->simulator.SetPayload(payload);
}

void CBridgePeer::SetAnswerDelay(int delayMs)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->delayMs = delayMs;
}

void CBridgePeer::SetAnswerSplit(int pieces, int gapMs)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->pieces = std::max(1, pieces);
    m_state->gapMs = std::max(0, gapMs);
}

void CBridgePeer::SetRefuseWrites(bool refuse)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->simulator.SetRefuseWrites(refuse);
}

void CBridgePeer::AnswerNextWith(const std::string& bytes)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->scripted.push_back(bytes);
}

void CBridgePeer::SendStaleAnswerAfterNext()
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->staleAfterNext = true;
}

void CBridgePeer::CloseOnNextRequest()
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->closeOnNext = true;
}

} // namespace tools
