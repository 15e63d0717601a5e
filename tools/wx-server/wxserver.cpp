#include "tools/wx-server/wxserver.h"

#include "tools/wx-server/gzipwriter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>

#include <algorithm>
#include <cmath>
#include <memory>

namespace tools {

namespace {

// A request head larger than this is refused; real clients send a few hundred bytes.
constexpr int kMaxRequestHead = 16 * 1024;
// A request body (the recorder's form posts) larger than this is refused.
constexpr qint64 kMaxRequestBody = 64 * 1024;
// The deflate data after a gzip header is overwritten with this many bytes of 0xff, a reserved block type.
constexpr int kGzipHeaderSize = 10;
constexpr int kCorruptBytes = 64;

const QByteArray kHtmlPage = "<!DOCTYPE html>\n<html><head><title>503 Service Unavailable</title></head>\n"
                             "<body><h1>Service Unavailable</h1><p>The server is down for maintenance.</p></body>"
                             "</html>\n";

QByteArray ReadFile(const QString& path, bool* found = nullptr)
{
    QFile file(path);
    const bool opened = file.open(QIODevice::ReadOnly);
    if (found)
        *found = opened;
    return opened ? file.readAll() : QByteArray();
}

// The hour of an upper-air archive name ("grib_1x1_2022-10-22_03_00_00") when the history folder holds METARs
// of that day; invalid otherwise.
QDateTime HistoricGridHour(const QString& historyFolder, const QString& name)
{
    static const QRegularExpression gridName(QStringLiteral("^grib_1x1_(\\d{4}-\\d{2}-\\d{2})_(\\d{2})_00_00$"));
    const QRegularExpressionMatch grid = gridName.match(name);
    if (!grid.hasMatch()
        || QDir(historyFolder).entryList({QStringLiteral("metar_noaa_") + grid.captured(1) + '*'}).isEmpty())
        return QDateTime();
    QDateTime hour = QDateTime::fromString(grid.captured(1) + grid.captured(2), QStringLiteral("yyyy-MM-ddhh"));
    hour.setTimeSpec(Qt::UTC);
    return hour;
}

// The archive's upper-air file of a history hour, made up like the live grid's points: a lattice 1 degree
// apart over Europe, where the history METARs lie, dated at the hour ("grib_1x1_2022-10-22_03_00_00").
QByteArray HistoricGrid(const QDateTime& hour)
{
    QByteArray text = "# TIME:" + QByteArray::number(hour.toSecsSinceEpoch()) + '\n';
    for (int latitude = 35; latitude <= 71; ++latitude) {
        for (int longitude = -25; longitude <= 45; ++longitude)
            text += GridSource::SynthesizedPoint(latitude, longitude) + '\n';
    }
    return text;
}

QByteArray ReasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 413:
        return "Payload Too Large";
    case 500:
        return "Internal Server Error";
    default:
        return "Error";
    }
}

} // namespace

WxServer::WxServer(const QString& dataFolder, QObject* parent)
    : QObject(parent)
    , m_folder(dataFolder)
{
    const QDir dir(dataFolder);
    auto section = [&dir](const char* tag, const char* file) {
        QByteArray body = ReadFile(dir.filePath(QString::fromLatin1(file)));
        if (!body.isEmpty() && !body.endsWith('\n'))
            body += '\n';
        return "[" + QByteArray(tag) + "]\n" + body + "[/" + QByteArray(tag) + "]\n";
    };
    SetCombinedText(section("METAR", "metar.txt") + section("SYNOP", "synop.txt") + section("TAF", "taf.txt"));
    m_grid.LoadFolder(dir.filePath(QStringLiteral("grid")));
    connect(&m_server, &QTcpServer::newConnection, this, &WxServer::OnNewConnection);
}

bool WxServer::Listen(quint16 port)
{
    return m_server.listen(QHostAddress::LocalHost, port);
}

quint16 WxServer::Port() const
{
    return m_server.serverPort();
}

QString WxServer::BaseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(Port());
}

QString WxServer::ErrorString() const
{
    return m_server.errorString();
}

void WxServer::SetFailure(const QString& path, Failure failure)
{
    if (failure == Failure::None)
        m_failures.remove(path);
    else
        m_failures.insert(path, failure);
}

void WxServer::SetCombinedText(const QByteArray& text)
{
    m_combinedText = text;
    m_combinedGzip = GzipCompress(text);
}

bool WxServer::ParseFailure(const QString& name, Failure& failure)
{
    static const QHash<QString, Failure> names = {{QStringLiteral("404"), Failure::NotFound},
                                                  {QStringLiteral("stall"), Failure::Stall},
                                                  {QStringLiteral("corrupt-gzip"), Failure::CorruptGzip},
                                                  {QStringLiteral("html"), Failure::HtmlPage},
                                                  {QStringLiteral("grid-error"), Failure::GridError},
                                                  {QStringLiteral("cut"), Failure::CutAtSection},
                                                  {QStringLiteral("trickle"), Failure::Trickle},
                                                  {QStringLiteral("500"), Failure::InternalError},
                                                  {QStringLiteral("slow"), Failure::Slow},
                                                  {QStringLiteral("slow-then-trickle"), Failure::SlowThenTrickle},
                                                  {QStringLiteral("slow-no-length"), Failure::SlowWithoutLength},
                                                  {QStringLiteral("none"), Failure::None}};
    const auto found = names.find(name);
    if (found == names.end())
        return false;
    failure = found.value();
    return true;
}

void WxServer::OnNewConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { OnReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void WxServer::OnReadyRead(QTcpSocket* socket)
{
    // One request per connection: once answered (or stalled) the socket's further input is ignored.
    if (socket->property("handled").toBool()) {
        socket->readAll();
        return;
    }
    const QByteArray received = socket->property("received").toByteArray() + socket->readAll();
    const int end = received.indexOf("\r\n\r\n");
    if (end < 0) {
        if (received.size() > kMaxRequestHead) {
            socket->setProperty("handled", true);
            Send(socket, {400, "text/plain", "request head too large\n"});
        } else {
            socket->setProperty("received", received);
        }
        return;
    }
    const QByteArray head = received.left(end + 2);
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    qint64 bodyLength = 0;
    if (!RequestBodyLength(head, bodyLength)) {
        socket->setProperty("handled", true);
        Send(socket, {400, "text/plain", "bad Content-Length\n"});
        return;
    }
    if (bodyLength > kMaxRequestBody) {
        socket->setProperty("handled", true);
        Send(socket, {413, "text/plain", "request body too large\n"});
        return;
    }
    const int bodyStart = end + 4;
    if (received.size() - bodyStart < bodyLength) {
        socket->setProperty("received", received);
        return;
    }
    socket->setProperty("handled", true);
    socket->setProperty("received", QVariant());

    if (requestLine.size() != 3 || !requestLine[1].startsWith('/')) {
        Send(socket, {400, "text/plain", "bad request\n"});
        return;
    }
    const QString target = QString::fromLatin1(requestLine[1]);
    m_requests.append(target);
    const bool post = requestLine[0] == "POST";
    if (post)
        m_posts.append({target, received.mid(bodyStart, static_cast<int>(bodyLength))});
    const bool postRoute = target.startsWith(QLatin1String("/index.php?")) || IsLivePosition(target);
    if (post != postRoute || (!post && requestLine[0] != "GET")) {
        Send(socket, {405, "text/plain", "method not served here\n"});
        ReportServed(target, 405, 0);
        return;
    }
    Answer answer;
    if (!Route(target, answer)) {
        ReportServed(target, 0, 0);
        return;
    }
    const int mark = target.indexOf('?');
    const Pace trickle{1, kTrickleGapMs};
    const Pace slow{kSlowChunkBytes, kSlowGapMs};
    switch (m_failures.value(QUrl::fromPercentEncoding(target.left(mark).toLatin1()))) {
    case Failure::Trickle:
        SendPaced(socket, answer, trickle, 0, trickle);
        break;
    case Failure::Slow:
        SendPaced(socket, answer, slow, 0, slow);
        break;
    case Failure::SlowThenTrickle:
        SendPaced(socket, answer, slow, kSlowStartBytes, trickle);
        break;
    case Failure::SlowWithoutLength:
        answer.sized = false;
        SendPaced(socket, answer, slow, 0, slow);
        break;
    default:
        Send(socket, answer);
    }
    ReportServed(target, answer.status, answer.body.size());
}

void WxServer::ReportServed(const QString& target, int status, qint64 bytes)
{
    QMetaObject::invokeMethod(
        this, [this, target, status, bytes] { emit RequestServed(target, status, bytes); }, Qt::QueuedConnection);
}

bool WxServer::IsLivePosition(const QString& target)
{
    return target == QLatin1String("/live.php") || target.startsWith(QLatin1String("/live.php?"));
}

bool WxServer::RequestBodyLength(const QByteArray& head, qint64& length)
{
    length = 0;
    for (const QByteArray& line : head.split('\n')) {
        const int colon = line.indexOf(':');
        if (colon < 0 || line.left(colon).trimmed().toLower() != "content-length")
            continue;
        bool ok = false;
        length = line.mid(colon + 1).trimmed().toLongLong(&ok);
        return ok && length >= 0;
    }
    return true;
}

bool WxServer::Route(const QString& target, Answer& answer) const
{
    const int mark = target.indexOf('?');
    const QString path = QUrl::fromPercentEncoding(target.left(mark).toLatin1());
    const QString query = mark < 0 ? QString() : target.mid(mark + 1);

    switch (m_failures.value(path, Failure::None)) {
    case Failure::None:
        break;
    case Failure::NotFound:
        answer = {404, "text/plain", "not found\n"};
        return true;
    case Failure::Stall:
        return false;
    case Failure::CorruptGzip: {
        QByteArray corrupt = m_combinedGzip;
        for (int i = kGzipHeaderSize; i < qMin(corrupt.size(), kGzipHeaderSize + kCorruptBytes); ++i)
            corrupt[i] = static_cast<char>(0xff);
        answer = {200, "application/x-gzip", corrupt};
        return true;
    }
    case Failure::CutAtSection: {
        const QByteArray endTag = "[/METAR]\n";
        const int boundary = m_combinedText.indexOf(endTag);
        answer = {200, "application/x-gzip",
                  GzipCutAfter(m_combinedText, boundary < 0 ? m_combinedText.size() / 2 : boundary + endTag.size())};
        return true;
    }
    case Failure::Trickle:
    case Failure::Slow:
    case Failure::SlowThenTrickle:
    case Failure::SlowWithoutLength:
        break;
    case Failure::InternalError:
        answer = {500, "text/plain", "internal server error\n"};
        return true;
    case Failure::HtmlPage:
        answer = {200, "text/html", kHtmlPage};
        return true;
    case Failure::GridError:
        answer = {200, "text/plain", "Error: no grid data available for this position\n"};
        return true;
    }

    if (path == QLatin1String("/weather_vatsim.gz"))
        answer = {200, "application/x-gzip", m_combinedGzip};
    else if (path == QLatin1String("/get_grib_v2.php"))
        answer = GridAnswer(query);
    else if (path == QLatin1String("/aerovane_info.php"))
        answer = FileAnswer(QStringLiteral("aerovane_info.xml"), "text/xml");
    else if (path == QLatin1String("/historywx.xml"))
        answer = FileAnswer(QStringLiteral("historywx.xml"), "text/xml");
    else if (path == QLatin1String("/index.php")
             && QUrlQuery(query).queryItemValue(QStringLiteral("view")) == QLatin1String("checklogin"))
        answer = LoginAnswer();
    else if (IsLivePosition(path))
        answer = {200, "text/plain", "OK\n"};
    else if (path.startsWith(QLatin1String("/history/")))
        answer = HistoryAnswer(path.mid(9));
    else if (path == QLatin1String("/access.php"))
        answer = RouteAnswer(query);
    else
        answer = {404, "text/plain", "not found\n"};
    return true;
}

WxServer::Answer WxServer::FileAnswer(const QString& relativePath, const QByteArray& contentType) const
{
    bool found = false;
    const QByteArray body = ReadFile(QDir(m_folder).filePath(relativePath), &found);
    if (!found)
        return {404, "text/plain", "not found\n"};
    return {200, contentType, body};
}

WxServer::Answer WxServer::LoginAnswer() const
{
    Answer answer = FileAnswer(QStringLiteral("recorder-login.txt"), "text/plain");
    if (answer.status != 200 || m_ftpServer.isEmpty())
        return answer;
    QList<QByteArray> lines = answer.body.split('\n');
    const QByteArray named = "FTPServer=" + m_ftpServer.toUtf8();
    const auto line = std::find_if(lines.begin(), lines.end(),
                                   [](const QByteArray& text) { return text.startsWith("FTPServer="); });
    if (line != lines.end())
        *line = named;
    else
        lines.insert(lines.size() - (lines.last().isEmpty() ? 1 : 0), named);
    answer.body = lines.join('\n');
    return answer;
}

WxServer::Answer WxServer::HistoryAnswer(const QString& name) const
{
    // Only plain names inside the history folder: no separators, no way up.
    if (name.isEmpty() || name.contains('/') || name.contains('\\') || name.startsWith('.'))
        return {404, "text/plain", "not found\n"};
    const QString relative = QStringLiteral("history/") + name;
    if (QFile::exists(QDir(m_folder).filePath(relative)))
        return FileAnswer(relative, "application/octet-stream");
    // "x.gz" without such a file: the text file "x", packed now; else the made-up upper air of a history hour.
    if (name.endsWith(QLatin1String(".gz"))) {
        Answer text = FileAnswer(relative.chopped(3), "application/x-gzip");
        if (text.status == 200) {
            text.body = GzipCompress(text.body);
            return text;
        }
        const QDateTime hour = HistoricGridHour(QDir(m_folder).filePath(QStringLiteral("history")), name.chopped(3));
        if (hour.isValid())
            return {200, "application/x-gzip", GzipCompress(HistoricGrid(hour))};
    }
    return {404, "text/plain", "not found\n"};
}

WxServer::Answer WxServer::RouteAnswer(const QString& query) const
{
    // Only airport codes name a reply file; anything else finds no route.
    static const QRegularExpression code(QStringLiteral("^[A-Z0-9]{1,8}$"));
    const QUrlQuery items(query);
    const QString departure = items.queryItemValue(QStringLiteral("dep"), QUrl::FullyDecoded);
    const QString destination = items.queryItemValue(QStringLiteral("dest"), QUrl::FullyDecoded);
    if (!code.match(departure).hasMatch() || !code.match(destination).hasMatch())
        return {200, "text/plain", QByteArray()};
    return {200, "text/plain",
            ReadFile(QDir(m_folder).filePath(QStringLiteral("vatroute/%1-%2.txt").arg(departure, destination)))};
}

WxServer::Answer WxServer::GridAnswer(const QString& query) const
{
    const QUrlQuery items(query);
    bool latitudeOk = false;
    bool longitudeOk = false;
    const double latitude = items.queryItemValue(QStringLiteral("lat")).toDouble(&latitudeOk);
    const double longitude = items.queryItemValue(QStringLiteral("lon")).toDouble(&longitudeOk);
    if (!latitudeOk || !longitudeOk || !std::isfinite(latitude) || !std::isfinite(longitude)
        || std::fabs(latitude) > 90.0 || std::fabs(longitude) > 180.0)
        return {200, "text/plain", "Error: invalid position\n"};
    const bool area = items.queryItemValue(QStringLiteral("mode")) != QLatin1String("single");
    return {200, "text/plain", m_grid.Answer(latitude, longitude, area)};
}

QByteArray WxServer::Head(const Answer& answer)
{
    const QByteArray length
        = answer.sized ? "\r\nContent-Length: " + QByteArray::number(answer.body.size()) : QByteArray();
    return "HTTP/1.1 " + QByteArray::number(answer.status) + ' ' + ReasonPhrase(answer.status)
        + "\r\nContent-Type: " + answer.contentType + length + "\r\nConnection: close\r\n\r\n";
}

void WxServer::Send(QTcpSocket* socket, const Answer& answer)
{
    socket->write(Head(answer) + answer.body);
    socket->disconnectFromHost();
}

void WxServer::SendPaced(QTcpSocket* socket, const Answer& answer, Pace pace, int paceBytes, Pace after)
{
    socket->write(Head(answer));
    // Tied to the socket: a client that gives up takes the rest of the answer with it.
    auto* timer = new QTimer(socket);
    auto sent = std::make_shared<int>(0);
    const QByteArray body = answer.body;
    connect(timer, &QTimer::timeout, socket, [socket, timer, body, sent, pace, paceBytes, after] {
        const int chunkBytes = *sent < paceBytes ? std::min(pace.chunkBytes, paceBytes - *sent) : after.chunkBytes;
        socket->write(body.mid(*sent, chunkBytes));
        *sent += chunkBytes;
        if (*sent >= body.size()) {
            timer->stop();
            socket->disconnectFromHost();
        } else if (*sent == paceBytes) {
            timer->setInterval(after.gapMs);
        }
    });
    timer->start(paceBytes > 0 ? pace.gapMs : after.gapMs);
}

} // namespace tools
