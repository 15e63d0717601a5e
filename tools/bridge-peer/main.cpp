// bridge-peer: a loopback stand-in for the bridge program beside a simulator. It answers the program's bridge
// client on 127.0.0.1 as that simulator would, prints every frame it receives and, with --log, writes them to
// a file, one frame per line, as they arrive. With --flight it plays a flight script, one sample per read of the
// aircraft, the last one repeated.
//     bridge-peer --port 17300 --log frames.log --sim fsx --flight tools/bridge-peer/flights/eddf-eddm.txt
//     (--port 0: a free port, printed when listening)

#include "platform/locale.h"
#include "tools/bridge-peer/bridgepeer.h"
#include "tools/bridge-peer/flightscript.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Long frames (weather records) are shown by their start.
constexpr std::size_t kShownFrameBytes = 120;

int Usage()
{
    std::fprintf(stderr, "usage: bridge-peer --port N [--log FILE] [--sim fsx|p3d|fs9|xplane] [--flight FILE]\n");
    return 2;
}

bool ParsePort(const char* text, quint16& port)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0 || value > 65535)
        return false;
    port = static_cast<quint16>(value);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    platform::UseCLocale();

    quint16 port = 0;
    bool portGiven = false;
    const char* logPath = nullptr;
    const char* flightPath = nullptr;
    tools::CBridgePeer::Simulator simulator = tools::CBridgePeer::Simulator::FSX;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--port") == 0 && hasValue) {
            if (!ParsePort(argv[++i], port))
                return Usage();
            portGiven = true;
        } else if (std::strcmp(argv[i], "--log") == 0 && hasValue) {
            logPath = argv[++i];
        } else if (std::strcmp(argv[i], "--flight") == 0 && hasValue) {
            flightPath = argv[++i];
        } else if (std::strcmp(argv[i], "--sim") == 0 && hasValue) {
            if (!tools::CPeerSimulator::SimulatorFromName(argv[++i], simulator))
                return Usage();
        } else {
            return Usage();
        }
    }
    if (!portGiven)
        return Usage();

    std::vector<aviation::structs::CAircraft> flight;
    if (flightPath) {
        QString error;
        if (!tools::CFlightScript::Load(QString::fromLocal8Bit(flightPath), flight, error)) {
            std::fprintf(stderr, "bridge-peer: bad flight script %s\n", error.toLocal8Bit().constData());
            return 1;
        }
    }

    std::FILE* log = nullptr;
    if (logPath) {
        log = std::fopen(logPath, "wb");
        if (!log) {
            std::fprintf(stderr, "bridge-peer: cannot write %s: %s\n", logPath, std::strerror(errno));
            return 1;
        }
    }

    tools::CBridgePeer peer;
    peer.SetSimulator(simulator);
    peer.PlayFlight(flight);
    peer.SetFrameObserver([log](const std::string& frame) {
        if (log) {
            std::fwrite(frame.data(), 1, frame.size(), log);
            std::fputc('\n', log);
            std::fflush(log);
        }
        const bool cut = frame.size() > kShownFrameBytes;
        std::printf("%s%s\n", frame.substr(0, kShownFrameBytes).c_str(), cut ? " ..." : "");
        std::fflush(stdout);
    });
    if (!peer.Start(port)) {
        std::fprintf(stderr, "bridge-peer: cannot listen on 127.0.0.1:%u\n", static_cast<unsigned>(port));
        return 1;
    }
    std::printf("bridge-peer: listening on 127.0.0.1:%u as %s\n", static_cast<unsigned>(peer.GetPort()),
                tools::CPeerSimulator::SimulatorName(simulator));
    std::fflush(stdout);
    return app.exec();
}
