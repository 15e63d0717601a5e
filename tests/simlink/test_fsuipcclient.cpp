// The FSUIPC client over the simulated FSUIPC: opening and its failures, the request block's limits, lost and
// refused messages, and answers from a block the other side has scribbled over.
#include "platform/clock.h"
#include "simlink/fsuipcclient.h"
#include "simlink/fsuipcsimulator.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <regex>
#include <vector>

using namespace aviation::IPC;

namespace {

constexpr std::uint32_t kTrueAirspeed = 0x02B8;
constexpr std::uint32_t kHeading = 0x0580;

class FSUIPCClient : public ::testing::Test
{
protected:
    FSUIPCClient()
        : simulator(CFSUIPCSimulator::Kind::FSX)
        , transport(simulator)
        , clock(1665000000)
    {
        simulator.PokeInt(kTrueAirspeed, 250 * 128, 4);
        simulator.PokeInt(kHeading, 0x40000000, 4);
    }

    void Open()
    {
        std::uint32_t result = 99;
        ASSERT_TRUE(FSUIPC_Open(0, result));
        ASSERT_EQ(result, FSUIPCResult::Ok);
    }

    CFSUIPCSimulator simulator;
    CScopedFSUIPCTransport transport;
    platform::ScopedClock clock;
};

// Forwards to the simulated FSUIPC and keeps the names the client gave its blocks.
class NameRecorder : public CFSUIPCSimulator
{
public:
    NameRecorder()
        : CFSUIPCSimulator(Kind::FSX)
    {
    }
    std::uint16_t AddGlobalAtom(const std::string& name) override
    {
        atomNames.push_back(name);
        return CFSUIPCSimulator::AddGlobalAtom(name);
    }
    MappingHandle CreateMapping(const std::string& name, std::size_t size, bool& existed) override
    {
        mappingNames.push_back(name);
        return CFSUIPCSimulator::CreateMapping(name, size, existed);
    }
    std::vector<std::string> atomNames;
    std::vector<std::string> mappingNames;
};

} // namespace

TEST_F(FSUIPCClient, OpenReportsEachWayItCanFailAndUndoesWhatItHadDone)
{
    using Setup = std::function<void(CFSUIPCSimulator&)>;
    const struct
    {
        const char* name;
        Setup setup;
        std::uint32_t requiredSimulator;
        std::uint32_t expected;
    } cases[] = {
        {"no simulator running", [](CFSUIPCSimulator& s) { s.SetWindowClass(""); }, 0, FSUIPCResult::NoWindow},
        {"old window class, version 0",
         [](CFSUIPCSimulator& s) {
             s.SetWindowClass("FS98MAIN");
             s.SetVersionWords(0, 0);
         },
         0, FSUIPCResult::WrongVersionOldWindow},
        {"new window class, version 0", [](CFSUIPCSimulator& s) { s.SetVersionWords(0, 0); }, 0,
         FSUIPCResult::WrongVersion},
        {"FSUIPC older than the lowest version", [](CFSUIPCSimulator& s) { s.SetVersionWords(0x19980004, 0xFADE0008); },
         0, FSUIPCResult::WrongVersion},
        {"simulator word without its mark", [](CFSUIPCSimulator& s) { s.SetVersionWords(0x49590000, 0xFACE0008); }, 0,
         FSUIPCResult::WrongVersion},
        {"old window class with good versions", [](CFSUIPCSimulator& s) { s.SetWindowClass("FS98MAIN"); }, 0,
         FSUIPCResult::Ok},
        {"lowest version exactly", [](CFSUIPCSimulator& s) { s.SetVersionWords(0x19980005, 0xFADE0008); }, 0,
         FSUIPCResult::Ok},
        {"required simulator runs", [](CFSUIPCSimulator&) {}, 8, FSUIPCResult::Ok},
        {"required simulator differs", [](CFSUIPCSimulator&) {}, 10, FSUIPCResult::WrongSimulator},
        {"message not registered",
         [](CFSUIPCSimulator& s) {
             CFSUIPCSimulator::Faults faults;
             faults.messageRegistrationFails = true;
             s.SetFaults(faults);
         },
         0, FSUIPCResult::NoMessage},
        {"no atom",
         [](CFSUIPCSimulator& s) {
             CFSUIPCSimulator::Faults faults;
             faults.atomFails = true;
             s.SetFaults(faults);
         },
         0, FSUIPCResult::NoAtom},
        {"no mapping",
         [](CFSUIPCSimulator& s) {
             CFSUIPCSimulator::Faults faults;
             faults.mappingFails = true;
             s.SetFaults(faults);
         },
         0, FSUIPCResult::NoMapping},
        {"mapping of that name exists",
         [](CFSUIPCSimulator& s) {
             CFSUIPCSimulator::Faults faults;
             faults.mappingExists = true;
             s.SetFaults(faults);
         },
         0, FSUIPCResult::NoMapping},
        {"no view",
         [](CFSUIPCSimulator& s) {
             CFSUIPCSimulator::Faults faults;
             faults.viewFails = true;
             s.SetFaults(faults);
         },
         0, FSUIPCResult::NoView},
        {"handshake refused",
         [](CFSUIPCSimulator& s) {
             CFSUIPCSimulator::Faults faults;
             faults.reply = 0;
             s.SetFaults(faults);
         },
         0, FSUIPCResult::BadData},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CFSUIPCSimulator fsuipc(CFSUIPCSimulator::Kind::FSX);
        c.setup(fsuipc);
        CScopedFSUIPCTransport use(fsuipc);
        std::uint32_t result = 99;
        EXPECT_EQ(FSUIPC_Open(c.requiredSimulator, result), c.expected == FSUIPCResult::Ok);
        EXPECT_EQ(result, c.expected);
        if (c.expected == FSUIPCResult::Ok) {
            EXPECT_EQ(FSUIPC_GetSimulatorWord(), 8u);
            EXPECT_EQ(fsuipc.GetOpenMappingCount(), 1);
            FSUIPC_Close();
        }
        EXPECT_EQ(fsuipc.GetOpenMappingCount(), 0);
        EXPECT_EQ(fsuipc.GetAtomCount(), 0);
        EXPECT_FALSE(FSUIPC_Process(result));
        EXPECT_EQ(result, FSUIPCResult::NotOpen);
    }
}

TEST_F(FSUIPCClient, HandshakeTellsTheLibraryVersionAndLeavesTheVersionWordsAlone)
{
    Open();
    EXPECT_EQ(simulator.GetClientLibraryVersion(), 2002);
    EXPECT_EQ(static_cast<std::uint32_t>(simulator.PeekInt(0x3308, 4)), 0xFADE0008u);
    EXPECT_EQ(FSUIPC_GetVersionWord(), 0x49590000u);
    EXPECT_EQ(platform::MonotonicMs(), 100);
}

TEST_F(FSUIPCClient, HandshakeGivesUpAfterFivePassesWithoutVersionWords)
{
    simulator.SetVersionWords(0, 0);
    std::uint32_t result = 0;
    EXPECT_FALSE(FSUIPC_Open(0, result));
    EXPECT_EQ(simulator.GetExchangeCount(), 5);
    EXPECT_EQ(platform::MonotonicMs(), 500);
}

TEST_F(FSUIPCClient, OpenWhileOpenFailsAndLeavesTheLinkWorking)
{
    Open();
    std::uint32_t result = 0;
    EXPECT_FALSE(FSUIPC_Open(0, result));
    EXPECT_EQ(result, FSUIPCResult::AlreadyOpen);

    std::int32_t tas = 0;
    ASSERT_TRUE(FSUIPC_Read(kTrueAirspeed, 4, &tas, result));
    ASSERT_TRUE(FSUIPC_Process(result));
    EXPECT_EQ(tas, 250 * 128);
}

TEST_F(FSUIPCClient, EveryOpenNamesItsBlockAfterTheProcessAndANewCount)
{
    NameRecorder recorder;
    CScopedFSUIPCTransport use(recorder);
    std::uint32_t result = 0;
    ASSERT_TRUE(FSUIPC_Open(0, result));
    FSUIPC_Close();
    ASSERT_TRUE(FSUIPC_Open(0, result));
    FSUIPC_Close();

    ASSERT_EQ(recorder.atomNames.size(), 2u);
    EXPECT_EQ(recorder.mappingNames, recorder.atomNames);
    const std::regex pattern("FsasmLib:IPC:([0-9A-F]+):([0-9A-F]+)");
    std::smatch first, second;
    ASSERT_TRUE(std::regex_match(recorder.atomNames[0], first, pattern)) << recorder.atomNames[0];
    ASSERT_TRUE(std::regex_match(recorder.atomNames[1], second, pattern)) << recorder.atomNames[1];
    EXPECT_EQ(std::stoul(first[1], nullptr, 16), recorder.ProcessId());
    EXPECT_EQ(std::stoul(second[2], nullptr, 16), std::stoul(first[2], nullptr, 16) + 1);
}

TEST_F(FSUIPCClient, CallsOnAClosedLinkAndEmptyQueuesAreRefused)
{
    std::uint32_t result = 0;
    std::int32_t value = 0;
    EXPECT_FALSE(FSUIPC_Read(kTrueAirspeed, 4, &value, result));
    EXPECT_EQ(result, FSUIPCResult::NotOpen);
    EXPECT_FALSE(FSUIPC_Write(kTrueAirspeed, 4, &value, result));
    EXPECT_EQ(result, FSUIPCResult::NotOpen);

    Open();
    EXPECT_FALSE(FSUIPC_Process(result));
    EXPECT_EQ(result, FSUIPCResult::NothingQueued);
    ASSERT_TRUE(FSUIPC_Read(kTrueAirspeed, 4, &value, result));
    ASSERT_TRUE(FSUIPC_Process(result));
    EXPECT_FALSE(FSUIPC_Process(result));
    EXPECT_EQ(result, FSUIPCResult::NothingQueued);
}

TEST_F(FSUIPCClient, RequestsMustFitTheBlockAndARefusalKeepsWhatWasQueued)
{
    Open();
    std::vector<std::uint8_t> buffer(32768, 0xAB);
    const struct
    {
        bool write;
        std::uint32_t size;
        bool fits;
    } cases[] = {
        {false, 32492, true},       {false, 32493, false},     {true, 32496, true},        {true, 32497, false},
        {false, 0xFFFFFFF0, false}, {true, 0xFFFFFFF0, false}, {false, 0xFFFFFFFF, false}, {true, 0xFFFFFFFF, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.size) + (c.write ? " write" : " read"));
        std::uint32_t result = 99;
        const bool queued = c.write ? FSUIPC_Write(0x4000, c.size, buffer.data(), result)
                                    : FSUIPC_Read(0x4000, c.size, buffer.data(), result);
        EXPECT_EQ(queued, c.fits);
        EXPECT_EQ(result, c.fits ? FSUIPCResult::Ok : FSUIPCResult::NoRoom);
        if (c.fits) {
            EXPECT_TRUE(FSUIPC_Process(result));
        }
    }

    std::int32_t tas = 0;
    std::uint32_t result = 0;
    ASSERT_TRUE(FSUIPC_Read(kTrueAirspeed, 4, &tas, result));
    EXPECT_FALSE(FSUIPC_Read(0x4000, 0xFFFFFFF0, buffer.data(), result));
    EXPECT_FALSE(FSUIPC_Write(0x4000, 32500, buffer.data(), result));
    ASSERT_TRUE(FSUIPC_Process(result));
    EXPECT_EQ(tas, 250 * 128);
}

TEST_F(FSUIPCClient, MessagesThatNeverArriveEndIn11Or12AndEmptyTheQueue)
{
    const struct
    {
        std::uint32_t lastError;
        std::uint32_t expected;
    } cases[] = {{0, FSUIPCResult::TimedOut}, {1400, FSUIPCResult::SendFailed}};
    Open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lastError);
        CFSUIPCSimulator::Faults faults;
        faults.failingSends = -1;
        faults.sendError = c.lastError;
        simulator.SetFaults(faults);
        const std::int64_t start = platform::MonotonicMs();
        std::int32_t tas = -7;
        std::uint32_t result = 0;
        ASSERT_TRUE(FSUIPC_Read(kTrueAirspeed, 4, &tas, result));
        EXPECT_FALSE(FSUIPC_Process(result));
        EXPECT_EQ(result, c.expected);
        EXPECT_EQ(tas, -7);
        EXPECT_EQ(platform::MonotonicMs() - start, 9 * 2000 + 9 * 100);
        EXPECT_FALSE(FSUIPC_Process(result));
        EXPECT_EQ(result, FSUIPCResult::NothingQueued);
    }
}

TEST_F(FSUIPCClient, AMessageThatGetsThroughOnTheNinthAttemptSucceeds)
{
    Open();
    CFSUIPCSimulator::Faults faults;
    faults.failingSends = 8;
    simulator.SetFaults(faults);
    std::int32_t tas = 0;
    std::uint32_t result = 0;
    ASSERT_TRUE(FSUIPC_Read(kTrueAirspeed, 4, &tas, result));
    EXPECT_TRUE(FSUIPC_Process(result));
    EXPECT_EQ(tas, 250 * 128);
}

TEST_F(FSUIPCClient, ARefusedBlockDeliversNoAnswers)
{
    Open();
    CFSUIPCSimulator::Faults faults;
    faults.reply = 2;
    simulator.SetFaults(faults);
    std::int32_t tas = -7;
    std::uint32_t result = 0;
    ASSERT_TRUE(FSUIPC_Read(kTrueAirspeed, 4, &tas, result));
    EXPECT_FALSE(FSUIPC_Process(result));
    EXPECT_EQ(result, FSUIPCResult::BadData);
    EXPECT_EQ(tas, -7);
}

// The block after FSUIPC answered "read 4 bytes of TAS, read 4 bytes of heading": records at 0 and 20.
TEST_F(FSUIPCClient, AScribbledAnswerBlockIsWalkedOnlyWithinItsBounds)
{
    auto putWord = [](std::uint8_t* at, std::uint32_t value) { std::memcpy(at, &value, 4); };
    using Scribble = std::function<void(std::uint8_t*, std::size_t)>;
    const struct
    {
        const char* name;
        Scribble scribble;
        bool tasDelivered;
        bool headingDelivered;
    } cases[] = {
        {"destination fields overwritten", [&](std::uint8_t* b, std::size_t) { putWord(b + 12, 0xDEADBEEF); }, true,
         true},
        {"first size huge", [&](std::uint8_t* b, std::size_t) { putWord(b + 8, 0xFFFFFFF0); }, false, false},
        {"first size larger than queued", [&](std::uint8_t* b, std::size_t) { putWord(b + 8, 32000); }, true, false},
        {"first size shortened, walk lands inside an answer", [&](std::uint8_t* b, std::size_t) { putWord(b + 8, 0); },
         false, false},
        {"terminator gone, write records of size 0 to the end",
         [&](std::uint8_t* b, std::size_t size) {
             for (std::size_t at = 40; at + 12 <= size; at += 12) {
                 putWord(b + at, 2);
                 putWord(b + at + 4, 0);
                 putWord(b + at + 8, 0);
             }
             putWord(b + size - 4, 2);
         },
         true, true},
        {"terminator gone, read record header cut by the end",
         [&](std::uint8_t* b, std::size_t size) {
             for (std::size_t at = 40; at < size; ++at)
                 b[at] = 0;
             putWord(b + 40, 1);
             putWord(b + 48, static_cast<std::uint32_t>(size - 8 - 40 - 16));
             putWord(b + size - 8, 1);
         },
         true, true},
        {"every byte 0x01", [](std::uint8_t* b, std::size_t size) { std::memset(b, 1, size); }, false, false},
        {"every byte 0xFF", [](std::uint8_t* b, std::size_t size) { std::memset(b, 0xFF, size); }, false, false},
    };
    Open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CFSUIPCSimulator::Faults faults;
        faults.scribble = c.scribble;
        simulator.SetFaults(faults);
        std::int32_t tas = -1;
        std::uint32_t heading = 1;
        std::uint32_t result = 0;
        ASSERT_TRUE(FSUIPC_Read(kTrueAirspeed, 4, &tas, result));
        ASSERT_TRUE(FSUIPC_Read(kHeading, 4, &heading, result));
        EXPECT_TRUE(FSUIPC_Process(result));
        EXPECT_EQ(tas, c.tasDelivered ? 250 * 128 : -1);
        EXPECT_EQ(heading, c.headingDelivered ? 0x40000000u : 1u);
    }
}

TEST_F(FSUIPCClient, CloseReleasesTheBlockAndKeepsTheVersionWords)
{
    Open();
    FSUIPC_Close();
    EXPECT_EQ(simulator.GetOpenMappingCount(), 0);
    EXPECT_EQ(simulator.GetAtomCount(), 0);
    EXPECT_EQ(FSUIPC_GetVersionWord(), 0x49590000u);
    EXPECT_EQ(FSUIPC_GetSimulatorWord(), 8u);
    FSUIPC_Close();
    Open();
}

TEST(FSUIPCSimulation, TheEnvironmentNamesTheSimulatorThatRuns)
{
    const struct
    {
        const char* value;
        CFSUIPCSimulator::Kind kind;
    } cases[] = {
        {"fs9", CFSUIPCSimulator::Kind::FS2004},   {"FSX", CFSUIPCSimulator::Kind::FSX},
        {"p3d", CFSUIPCSimulator::Kind::Prepar3D}, {"xplane", CFSUIPCSimulator::Kind::None},
        {"", CFSUIPCSimulator::Kind::None},        {nullptr, CFSUIPCSimulator::Kind::None},
    };
    const char* before = std::getenv("AEROVANE_SIM");
    const std::string saved = before ? before : "";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(unset)");
        if (c.value)
            setenv("AEROVANE_SIM", c.value, 1);
        else
            unsetenv("AEROVANE_SIM");
        EXPECT_EQ(CFSUIPCSimulator::KindFromEnvironment(), c.kind);
    }
    if (before)
        setenv("AEROVANE_SIM", saved.c_str(), 1);
    else
        unsetenv("AEROVANE_SIM");
}
