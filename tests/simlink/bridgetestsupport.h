// Test support for the bridge link: a loopback bridge peer and a client with short waits, connected to it on
// 127.0.0.1, and a capture of the Qt debug channel the client reports on.
#pragma once

#include "simlink/ovyxclient.h"
#include "tools/bridge-peer/bridgepeer.h"

#include <QSignalSpy>
#include <QStringList>
#include <QtGlobal>
#include <gtest/gtest.h>

// Collects the Qt debug messages of every thread while it lives.
class ScopedQtDebugCapture
{
public:
    ScopedQtDebugCapture();
    ~ScopedQtDebugCapture();
    ScopedQtDebugCapture(const ScopedQtDebugCapture&) = delete;
    ScopedQtDebugCapture& operator=(const ScopedQtDebugCapture&) = delete;

    QStringList Messages() const;
    bool Contains(const QString& fragment) const;

private:
    QtMessageHandler m_previous;
};

// Waits short enough for a test, long enough for a loaded machine.
COvyxClient::Waits ShortWaits();

class BridgeTest : public ::testing::Test
{
protected:
    void SetUp() override;

    bool ConnectClient() { return m_client.Connect(QStringLiteral("127.0.0.1"), m_peer.GetPort()); }
    // The texts the client logged so far (target 0 every one).
    QStringList LogTexts() const;

    // Declared before the client, so the client logs out while the peer still listens.
    tools::CBridgePeer m_peer;
    COvyxClient m_client;
    QSignalSpy m_log{&m_client, &COvyxClient::sigUIDebugStringFromClient};
};
