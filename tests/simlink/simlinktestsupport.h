// Shared pieces of the simulator link tests: a bridge frame as a peer sends it, a station block as weather
// generation fills it, the loopback bridge peer with a client on 127.0.0.1, and the simulated FSUIPC on a fixed
// clock.
#pragma once

#include "platform/clock.h"
#include "simlink/fsuipcsimulator.h"
#include "simlink/fsuipctransport.h"
#include "simlink/linkmessage.h"
#include "simlink/ovyxclient.h"
#include "tools/bridge-peer/bridgepeer.h"

#include <QSignalSpy>
#include <QStringList>
#include <gtest/gtest.h>

#include <string>

// One frame with its line feed.
std::string Frame(LinkCommand command, std::uint8_t subCode, const std::string& payload);

// Munich: two surface temperature layers and a grid level, two surface wind layers and one aloft, a broken
// layer at 4000 ft and one upper visibility layer.
CNewWeather MunichStation();

// How long a test waits for something that must happen: room for the sanitizer build on a machine with every
// core busy. A wait that ends early when the event comes costs nothing more when all goes well.
constexpr int kEventWaitMs = 60000;

// Client waits a bridge that answers always beats, however loaded the machine. A test of a silent bridge shortens
// the wait it proves runs out.
COvyxClient::Waits RoomyWaits();

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

// An FSX with FSUIPC as the transport of every FSUIPC call, on a fixed clock.
class FSUIPCTest : public ::testing::Test
{
protected:
    explicit FSUIPCTest(aviation::IPC::CFSUIPCSimulator::Kind kind = aviation::IPC::CFSUIPCSimulator::Kind::FSX)
        : simulator(kind)
        , transport(simulator)
    {
    }

    // Sets one of the simulation's faults, the others cleared.
    template<typename Set> void Fault(Set set)
    {
        aviation::IPC::CFSUIPCSimulator::Faults faults;
        set(faults);
        simulator.SetFaults(faults);
    }

    aviation::IPC::CFSUIPCSimulator simulator;
    aviation::IPC::CScopedFSUIPCTransport transport;
    platform::ScopedClock clock{1665000000};
};
