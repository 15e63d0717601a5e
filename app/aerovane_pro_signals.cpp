#include "app/aerovane_pro_signals.h"

#include <QSocketNotifier>
#include <QWidget>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
// [0] written by the handler, [1] read by the event loop.
int g_pipe[2] = {-1, -1};

void WriteWakeUp(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    // A full pipe already holds a wake-up.
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QWidget* window)
    : QObject(window)
    , m_window(window)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::OnSignal);
    struct sigaction action = {};
    action.sa_handler = WriteWakeUp;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    for (int signal : kSignals)
        std::signal(signal, SIG_DFL);
    delete m_notifier;
    for (int& end : g_pipe) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

void TerminationSignals::OnSignal()
{
    char bytes[16];
    while (::read(g_pipe[1], bytes, sizeof bytes) > 0) { }
    m_window->close();
}
