// A loopback stand-in for the bridge program: listens on 127.0.0.1, answers each request frame such as
// "@READ;001;0000;" as a bridge beside a simulator would (CPeerSimulator), records every frame it receives, and
// misbehaves on request. It runs its own thread, so a blocking client in the caller's thread gets its answers;
// every member may be called from any thread.
#pragma once

#include "simlink/linkmessage.h"
#include "tools/bridge-peer/peersimulator.h"

#include <QtGlobal>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace tools {

struct PeerState;

class CBridgePeer
{
public:
    using Simulator = CPeerSimulator::Simulator;

    CBridgePeer();
    ~CBridgePeer();
    CBridgePeer(const CBridgePeer&) = delete;
    CBridgePeer& operator=(const CBridgePeer&) = delete;

    // Listens on 127.0.0.1:port; port 0 takes a free one (see GetPort). False when the port cannot be had.
    bool Start(quint16 port = 0);
    // Closes every connection and stops listening.
    void Stop();
    quint16 GetPort() const;

    // Called in the peer's thread with every frame, without its line feed, as it arrives.
    void SetFrameObserver(std::function<void(const std::string& frame)> observer);

    // Every frame received so far, in order of arrival, without its line feed.
    std::vector<std::string> GetFrames() const;
    // The frames as one text, each followed by its line feed.
    std::string GetFrameLog() const;
    // The weather records received: writes of station blocks (6), METAR texts (7) and X-Plane records (8).
    std::vector<CLinkMessage> GetWeatherWrites() const;
    // The frames received with this command and, unless negative, this sub-code.
    std::vector<CLinkMessage> GetMessages(LinkCommand command, int subCode = -1) const;
    void ClearFrames();
    // Waits until at least `count` frames have been received.
    bool WaitForFrames(std::size_t count, int timeoutMs) const;
    // Frames sent whole so far: answers, scripted answers and stale answers.
    std::size_t GetSentCount() const;
    bool WaitForSent(std::size_t count, int timeoutMs) const;
    int GetConnectionCount() const;

    // The simulator played.
    void SetSimulator(Simulator simulator);
    void SetApiVersion(int version);
    aviation::structs::CAircraft GetAircraft() const;
    void SetAircraft(const aviation::structs::CAircraft& aircraft);
    // Plays a flight (CFlightScript): each read of the aircraft answers with its next sample, the last repeated.
    void PlayFlight(const std::vector<aviation::structs::CAircraft>& samples);
    aviation::structs::CAircraftDetail GetDetail() const;
    void SetDetail(const aviation::structs::CAircraftDetail& detail);
    aviation::structs::CAircraftFuel GetFuel() const;
    void SetFuel(const aviation::structs::CAircraftFuel& fuel);
    aviation::structs::CAircraftPayload GetPayload() const;
    void SetPayload(const aviation::structs::CAircraftPayload& payload);

    // Misbehaviour. Every answer from now on is sent this many milliseconds late; a negative delay means never.
    void SetAnswerDelay(int delayMs);
    // Every answer from now on is sent in this many pieces, `gapMs` apart (1: whole).
    void SetAnswerSplit(int pieces, int gapMs);
    // Writes are refused ("NCMD" instead of "ANSW").
    void SetRefuseWrites(bool refuse);
    // The next request (the logout excepted) is answered with exactly these bytes; each call scripts one more.
    void AnswerNextWith(const std::string& bytes);
    // After the next answer the previous answer is sent once more, a moment later, as a stale reply would arrive.
    void SendStaleAnswerAfterNext();
    // The connection is closed when the next request arrives, without an answer.
    void CloseOnNextRequest();

private:
    std::shared_ptr<PeerState> m_state;
    std::thread m_thread;
    quint16 m_port = 0;
};

} // namespace tools
