// wx-server: the loopback weather server as a program, for runs of the whole system.
//     wx-server --port 17380 --data tools/wx-server/data --fail /weather_vatsim.gz=stall --ftp 127.0.0.1:2121
// Every request is printed as one line: target, status and body length.

#include "platform/locale.h"
#include "tools/wx-server/wxserver.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    platform::UseCLocale();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Loopback weather data server"));
    parser.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Port on 127.0.0.1 (default 17380)."),
                                  QStringLiteral("N"), QStringLiteral("17380"));
    const QCommandLineOption data(QStringLiteral("data"), QStringLiteral("Data folder (default: the demo snapshot)."),
                                  QStringLiteral("DIR"), QStringLiteral(AEROVANE_WXSERVER_DATA));
    const QCommandLineOption fail(QStringLiteral("fail"),
                                  QStringLiteral("PATH=MODE with MODE 404, stall, corrupt-gzip, html, grid-error, cut, "
                                                 "trickle, 500, slow (20 kB/s), slow-then-trickle, slow-no-length "
                                                 "(slow, without a Content-Length) or none."),
                                  QStringLiteral("PATH=MODE"));
    const QCommandLineOption ftp(QStringLiteral("ftp"),
                                 QStringLiteral("The file server the recorder login names (HOST or HOST:PORT)."),
                                 QStringLiteral("ADDRESS"));
    parser.addOptions({port, data, fail, ftp});
    parser.process(app);

    bool portOk = false;
    const uint portNumber = parser.value(port).toUInt(&portOk);
    if (!portOk || portNumber > 65535) {
        std::fprintf(stderr, "wx-server: bad port %s\n", qPrintable(parser.value(port)));
        return 2;
    }

    tools::WxServer server(parser.value(data));
    server.SetFtpServer(parser.value(ftp));
    for (const QString& item : parser.values(fail)) {
        const int equals = item.indexOf('=');
        tools::WxServer::Failure failure = tools::WxServer::Failure::None;
        if (equals <= 0 || !tools::WxServer::ParseFailure(item.mid(equals + 1), failure)) {
            std::fprintf(stderr, "wx-server: bad --fail %s\n", qPrintable(item));
            return 2;
        }
        server.SetFailure(item.left(equals), failure);
    }
    if (!server.Listen(static_cast<quint16>(portNumber))) {
        std::fprintf(stderr, "wx-server: cannot listen on port %u: %s\n", portNumber, qPrintable(server.ErrorString()));
        return 1;
    }
    QObject::connect(&server, &tools::WxServer::RequestServed, [](const QString& target, int status, qint64 bytes) {
        std::printf("GET %s -> %d (%lld bytes)\n", qPrintable(target), status, static_cast<long long>(bytes));
        std::fflush(stdout);
    });
    std::printf("wx-server listening on %s, data %s\n", qPrintable(server.BaseUrl()), qPrintable(parser.value(data)));
    std::fflush(stdout);
    return app.exec();
}
