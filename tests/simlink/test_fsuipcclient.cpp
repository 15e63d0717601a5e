// The FSUIPC client over the simulated FSUIPC: opening and its failures, the request block's limits, lost and
// refused messages, and answers from a block the other side has scribbled over.
#include "simlinktestsupport.h"

#include "simlink/fsuipcclient.h"

#include <cstdlib>
#include <cstring>
#include <functional>

using namespace aviation::IPC;

namespace {

constexpr std::uint32_t kTrueAirspeed = 0x02B8;
constexpr std::uint32_t kHeading = 0x0580;

class FSUIPCClient : public FSUIPCTest
{
protected:
    FSUIPCClient()
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
};

using Faults = CFSUIPCSimulator::Faults;

} // namespace

TEST_F(FSUIPCClient, OpenReportsEachWayItCanFailAndUndoesWhatItHadDone)
{
    const struct
    {
        const char* name;
        std::function<void(CFSUIPCSimulator&, Faults&)> setup;
        std::uint32_t requiredSimulator;
        std::uint32_t expected;
    } cases[] = {
        {"no simulator running", [](CFSUIPCSimulator& s, Faults&) { s.SetWindowClass(""); }, 0, FSUIPCResult::NoWindow},
        {"old window class, version 0",
         [](CFSUIPCSimulator& s, Faults&) {
             s.SetWindowClass("FS98MAIN");
             s.SetVersionWords(0, 0);
         },
         0, FSUIPCResult::WrongVersionOldWindow},
        {"new window class, version 0", [](CFSUIPCSimulator& s, Faults&) { s.SetVersionWords(0, 0); }, 0,
         FSUIPCResult::WrongVersion},
        {"FSUIPC older than the lowest version",
         [](CFSUIPCSimulator& s, Faults&) { s.SetVersionWords(0x19980004, 0xFADE0008); }, 0,
         FSUIPCResult::WrongVersion},
        {"simulator word without its mark",
         [](CFSUIPCSimulator& s, Faults&) { s.SetVersionWords(0x49590000, 0xFACE0008); }, 0,
         FSUIPCResult::WrongVersion},
        {"old window class with good versions", [](CFSUIPCSimulator& s, Faults&) { s.SetWindowClass("FS98MAIN"); }, 0,
         FSUIPCResult::Ok},
        {"lowest version exactly", [](CFSUIPCSimulator& s, Faults&) { s.SetVersionWords(0x19980005, 0xFADE0008); }, 0,
         FSUIPCResult::Ok},
        {"required simulator runs", [](CFSUIPCSimulator&, Faults&) {}, 8, FSUIPCResult::Ok},
        {"required simulator differs", [](CFSUIPCSimulator&, Faults&) {}, 10, FSUIPCResult::WrongSimulator},
        {"message not registered", [](CFSUIPCSimulator&, Faults& f) { f.messageRegistrationFails = true; }, 0,
         FSUIPCResult::NoMessage},
        {"no atom", [](CFSUIPCSimulator&, Faults& f) { f.atomFails = true; }, 0, FSUIPCResult::NoAtom},
        {"no mapping", [](CFSUIPCSimulator&, Faults& f) { f.mappingFails = true; }, 0, FSUIPCResult::NoMapping},
        {"mapping of that name exists", [](CFSUIPCSimulator&, Faults& f) { f.mappingExists = true; }, 0,
         FSUIPCResult::NoMapping},
        {"no view", [](CFSUIPCSimulator&, Faults& f) { f.viewFails = true; }, 0, FSUIPCResult::NoView},
        {"handshake refused", [](CFSUIPCSimulator&, Faults& f) { f.reply = 0; }, 0, FSUIPCResult::BadData},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CFSUIPCSimulator fsuipc(CFSUIPCSimulator::Kind::FSX);
        Faults faults;
        c.setup(fsuipc, faults);
        fsuipc.SetFaults(faults);
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

TEST_F(FSUIPCClient, HandshakeTellsTheLibraryVersionOrGivesUpAfterFivePasses)
{
    Open();
    EXPECT_EQ(simulator.GetClientLibraryVersion(), 2002);
    EXPECT_EQ(static_cast<std::uint32_t>(simulator.PeekInt(0x3308, 4)), 0xFADE0008u);
    EXPECT_EQ(FSUIPC_GetVersionWord(), 0x49590000u);
    EXPECT_EQ(platform::MonotonicMs(), 100);

    std::uint32_t result = 0;
    EXPECT_FALSE(FSUIPC_Open(0, result));
    EXPECT_EQ(result, FSUIPCResult::AlreadyOpen);
    FSUIPC_Close();
    EXPECT_EQ(simulator.GetAtomCount(), 0);
    EXPECT_EQ(FSUIPC_GetVersionWord(), 0x49590000u) << "kept after the close";

    simulator.SetVersionWords(0, 0);
    const int exchanges = simulator.GetExchangeCount();
    EXPECT_FALSE(FSUIPC_Open(0, result));
    EXPECT_EQ(simulator.GetExchangeCount() - exchanges, 5);
    EXPECT_EQ(platform::MonotonicMs(), 600);
}

TEST_F(FSUIPCClient, RequestsMustFitTheBlockAndARefusalKeepsWhatWasQueued)
{
    Open();
    std::vector<std::uint8_t> buffer(32768, 0xAB);
    const std::tuple<bool, std::uint32_t, bool> cases[] = {
        {false, 32492, true},       {false, 32493, false},     {true, 32496, true},        {true, 32497, false},
        {false, 0xFFFFFFF0, false}, {true, 0xFFFFFFF0, false}, {false, 0xFFFFFFFF, false}, {true, 0xFFFFFFFF, false},
    };
    for (const auto& [write, size, fits] : cases) {
        SCOPED_TRACE(std::to_string(size) + (write ? " write" : " read"));
        std::uint32_t result = 99;
        const bool queued = write ? FSUIPC_Write(0x4000, size, buffer.data(), result)
                                  : FSUIPC_Read(0x4000, size, buffer.data(), result);
        EXPECT_EQ(queued, fits);
        EXPECT_EQ(result, fits ? FSUIPCResult::Ok : FSUIPCResult::NoRoom);
        if (fits) {
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

// Nine lost messages end in 11 (no last error) or 12 after nine waits and pauses of fixed-clock time; a message
// that gets through on the ninth attempt succeeds; a refused block delivers nothing. The queue is empty after.
TEST_F(FSUIPCClient, LostAndRefusedMessagesEmptyTheQueue)
{
    const struct
    {
        int failingSends;
        std::uint32_t lastError;
        std::uint32_t reply;
        std::uint32_t expected;
        std::int64_t waitedMs;
    } cases[] = {
        {-1, 0, 1, FSUIPCResult::TimedOut, 9 * 2000 + 9 * 100},
        {-1, 1400, 1, FSUIPCResult::SendFailed, 9 * 2000 + 9 * 100},
        {8, 0, 1, FSUIPCResult::Ok, 8 * 2000 + 8 * 100},
        {0, 0, 2, FSUIPCResult::BadData, 0},
    };
    Open();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.failingSends << " " << c.lastError << " " << c.reply);
        Fault([&](Faults& f) {
            f.failingSends = c.failingSends;
            f.sendError = c.lastError;
            f.reply = c.reply;
        });
        const std::int64_t start = platform::MonotonicMs();
        std::int32_t tas = -7;
        std::uint32_t result = 0;
        ASSERT_TRUE(FSUIPC_Read(kTrueAirspeed, 4, &tas, result));
        EXPECT_EQ(FSUIPC_Process(result), c.expected == FSUIPCResult::Ok);
        EXPECT_EQ(result, c.expected);
        EXPECT_EQ(tas, c.expected == FSUIPCResult::Ok ? 250 * 128 : -7);
        EXPECT_EQ(platform::MonotonicMs() - start, c.waitedMs);
        EXPECT_FALSE(FSUIPC_Process(result));
        EXPECT_EQ(result, FSUIPCResult::NothingQueued);
    }
}

// The block after FSUIPC answered "read 4 bytes of TAS, read 4 bytes of heading": records at 0 and 20.
TEST_F(FSUIPCClient, AScribbledAnswerBlockIsWalkedOnlyWithinItsBounds)
{
    auto putWord = [](std::uint8_t* at, std::uint32_t value) { std::memcpy(at, &value, 4); };
    const struct
    {
        const char* name;
        std::function<void(std::uint8_t*, std::size_t)> scribble;
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
             std::memset(b + 40, 0, size - 40);
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
        Fault([&](Faults& f) { f.scribble = c.scribble; });
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

TEST(FSUIPCSimulation, TheEnvironmentNamesTheSimulatorThatRuns)
{
    using Kind = CFSUIPCSimulator::Kind;
    const std::pair<const char*, Kind> cases[] = {
        {"fs9", Kind::FS2004},  {"FSX", Kind::FSX}, {"p3d", Kind::Prepar3D},
        {"xplane", Kind::None}, {"", Kind::None},   {nullptr, Kind::None},
    };
    const char* before = std::getenv("AEROVANE_SIM");
    const std::string saved = before ? before : "";
    for (const auto& [value, kind] : cases) {
        if (value)
            setenv("AEROVANE_SIM", value, 1);
        else
            unsetenv("AEROVANE_SIM");
        EXPECT_EQ(CFSUIPCSimulator::KindFromEnvironment(), kind) << (value ? value : "(unset)");
    }
    if (before)
        setenv("AEROVANE_SIM", saved.c_str(), 1);
    else
        unsetenv("AEROVANE_SIM");
}
