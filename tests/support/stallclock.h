// Moves a test's fixed clock past the downloader's stall window, for tests of a weather server that stops or
// trickles. The stall window runs on the program's clock, so under a fixed one it runs out only when the test
// moves the clock, and this does so only once the test has seen what it expects to come first: the server has
// taken the request it leaves unanswered, or the body has begun. A busy machine then never makes a server that
// answers look stalled.
#pragma once

#include "generation/wxdownloader.h"
#include "platform/clock.h"
#include "tools/wx-server/wxserver.h"

#include <QObject>

class StallClock
{
public:
    static constexpr qint64 kOnUnansweredRequest = 0;
    static constexpr qint64 kNever = -1;

    // The window is the one the test gives the downloader.
    StallClock(platform::ScopedClock& clock, WXDownloader& downloader, const tools::WxServer& server, int windowMs)
        : m_clock(clock)
        , m_windowMs(windowMs)
    {
        QObject::connect(&server, &tools::WxServer::RequestServed, &m_context, [this](const QString&, int status) {
            if (m_passAfterBytes == kOnUnansweredRequest && status == 0)
                Pass();
        });
        QObject::connect(&downloader, &WXDownloader::DownloadProgress, &m_context, [this](qint64 received) {
            if (m_passAfterBytes > 0 && received >= m_passAfterBytes)
                Pass();
        });
    }

    // From now on the clock passes the window once, as soon as the downloader has brought this many bytes of a
    // body; kOnUnansweredRequest: as soon as the server has taken a request that it leaves unanswered; kNever: it
    // stays where it is.
    void PassWindowAfter(qint64 bodyBytes) { m_passAfterBytes = bodyBytes; }

private:
    void Pass()
    {
        m_passAfterBytes = kNever;
        m_clock.AdvanceMs(m_windowMs);
    }

    platform::ScopedClock& m_clock;
    const int m_windowMs;
    qint64 m_passAfterBytes = kNever;
    QObject m_context;
};
