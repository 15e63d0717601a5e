#include "simlink/fsuipcclient.h"

#include "platform/clock.h"
#include "simlink/fsuipcoffsets.h"
#include "simlink/fsuipctransport.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace aviation::IPC {

namespace {

constexpr std::uint32_t kReadId = 1;
constexpr std::uint32_t kWriteId = 2;
constexpr std::uint32_t kReadHeader = 16;
constexpr std::uint32_t kWriteHeader = 12;
constexpr std::uint32_t kTerminator = 4;

constexpr std::uint32_t kLowestVersionWord = 0x19980005;
constexpr std::uint32_t kSimulatorWordMark = 0xFADE;

constexpr int kHandshakePasses = 5;
constexpr int kHandshakePauseMs = 100;
constexpr int kSendAttempts = 9;
constexpr unsigned kSendTimeoutMs = 2000;
constexpr int kSendPauseMs = 100;

// A queued read: where its record starts in the block, and where and how much of the answer goes. The block's
// own destination field holds only a token; answers are delivered from this table.
struct QueuedRead
{
    std::uint32_t record;
    void* destination;
    std::uint32_t size;
};

struct ClientState
{
    CFSUIPCTransport* transport = nullptr;
    WindowHandle window = 0;
    std::uint32_t message = 0;
    std::uint16_t atom = 0;
    MappingHandle mapping = 0;
    std::uint8_t* view = nullptr;
    std::uint32_t next = 0; // offset of the next record in the block
    std::uint32_t openCount = 0;
    std::uint32_t fsuipcVersion = 0;
    std::uint32_t fsVersion = 0;
    std::vector<QueuedRead> reads;
};

ClientState& State()
{
    static ClientState state;
    return state;
}

void PutWord(std::uint8_t* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetWord(const std::uint8_t* at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | at[i];
    return value;
}

// Room for a record of `length` bytes plus the terminator within the request part of the block. The size is
// checked on its own first, so a huge size cannot wrap the sum.
bool HasRoom(const ClientState& state, std::uint32_t header, std::uint32_t size)
{
    if (size > kFSUIPCRequestRoom)
        return false;
    return state.next + header + size + kTerminator <= kFSUIPCRequestRoom;
}

// Copies the answers of the queued reads out of the block. The other side can write the block, so the walk
// stops at any record that does not lie wholly inside it, copies only to reads that were queued at the record's
// position, and never more than was queued.
void DeliverAnswers(const std::uint8_t* block, const std::vector<QueuedRead>& reads)
{
    auto read = reads.begin();
    std::uint32_t at = 0;
    while (kFSUIPCBlockSize - at >= kTerminator) {
        const std::uint32_t id = GetWord(block + at);
        const std::uint32_t header = id == kReadId ? kReadHeader : id == kWriteId ? kWriteHeader : 0;
        if (header == 0 || kFSUIPCBlockSize - at < header)
            return;
        const std::uint32_t size = GetWord(block + at + 8);
        if (size > kFSUIPCBlockSize - at - header)
            return;
        if (id == kReadId) {
            while (read != reads.end() && read->record < at)
                ++read;
            if (read != reads.end() && read->record == at && read->destination) {
                const std::uint32_t count = std::min(size, read->size);
                if (count > 0)
                    std::memcpy(read->destination, block + at + header, count);
            }
        }
        at += header + size;
    }
}

bool Fail(std::uint32_t code, std::uint32_t& result)
{
    result = code;
    return false;
}

bool FailAndClose(std::uint32_t code, std::uint32_t& result)
{
    FSUIPC_Close();
    return Fail(code, result);
}

std::string BlockName(std::uint32_t processId, std::uint32_t openCount)
{
    char name[64];
    std::snprintf(name, sizeof(name), "FsasmLib:IPC:%X:%X", processId, openCount);
    return name;
}

} // namespace

std::recursive_mutex& FSUIPC_Mutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}

bool FSUIPC_Open(std::uint32_t requiredSimulator, std::uint32_t& result)
{
    CFSUIPCLock lock;
    ClientState& state = State();
    if (state.view)
        return Fail(FSUIPCResult::AlreadyOpen, result);

    state.fsuipcVersion = 0;
    state.fsVersion = 0;
    state.transport = &GetFSUIPCTransport();
    CFSUIPCTransport& transport = *state.transport;

    bool oldWindowClass = false;
    state.window = transport.FindWindow("UIPCMAIN");
    if (!state.window) {
        state.window = transport.FindWindow("FS98MAIN");
        oldWindowClass = true;
    }
    if (!state.window)
        return FailAndClose(FSUIPCResult::NoWindow, result);

    state.message = transport.RegisterWindowMessage("FsasmLib:IPC");
    if (!state.message)
        return FailAndClose(FSUIPCResult::NoMessage, result);

    ++state.openCount;
    const std::string name = BlockName(transport.ProcessId(), state.openCount);
    state.atom = transport.AddGlobalAtom(name);
    if (!state.atom)
        return FailAndClose(FSUIPCResult::NoAtom, result);

    bool existed = false;
    state.mapping = transport.CreateMapping(name, kFSUIPCBlockSize, existed);
    if (!state.mapping || existed)
        return FailAndClose(FSUIPCResult::NoMapping, result);

    state.view = transport.MapView(state.mapping);
    if (!state.view)
        return FailAndClose(FSUIPCResult::NoView, result);
    state.next = 0;
    state.reads.clear();

    const std::uint16_t libraryVersion = kFSUIPCLibraryVersion;
    for (int pass = 0; pass < kHandshakePasses; ++pass) {
        if (state.fsuipcVersion != 0 && state.fsVersion != 0)
            break;
        const bool queued = FSUIPC_Read(FSUIPCOffset::VersionWord, 4, &state.fsuipcVersion, result)
            && FSUIPC_Read(FSUIPCOffset::SimulatorWord, 4, &state.fsVersion, result)
            && (pass > 0 || FSUIPC_Write(FSUIPCOffset::LibraryVersion, 2, &libraryVersion, result));
        if (!queued || !FSUIPC_Process(result))
            return FailAndClose(result, result);
        platform::SleepMs(kHandshakePauseMs);
    }

    if (state.fsuipcVersion < kLowestVersionWord || (state.fsVersion >> 16) != kSimulatorWordMark)
        return FailAndClose(oldWindowClass ? FSUIPCResult::WrongVersionOldWindow : FSUIPCResult::WrongVersion, result);

    state.fsVersion &= 0xFFFF;
    if (requiredSimulator != 0 && requiredSimulator != state.fsVersion)
        return FailAndClose(FSUIPCResult::WrongSimulator, result);

    result = FSUIPCResult::Ok;
    return true;
}

bool FSUIPC_Read(std::uint32_t offset, std::uint32_t size, void* destination, std::uint32_t& result)
{
    CFSUIPCLock lock;
    ClientState& state = State();
    if (!state.view)
        return Fail(FSUIPCResult::NotOpen, result);
    if (!HasRoom(state, kReadHeader, size))
        return Fail(FSUIPCResult::NoRoom, result);

    std::uint8_t* record = state.view + state.next;
    state.reads.push_back({state.next, destination, size});
    PutWord(record, kReadId);
    PutWord(record + 4, offset);
    PutWord(record + 8, size);
    PutWord(record + 12, static_cast<std::uint32_t>(state.reads.size()));
    std::memset(record + kReadHeader, 0, size);
    state.next += kReadHeader + size;
    result = FSUIPCResult::Ok;
    return true;
}

bool FSUIPC_Write(std::uint32_t offset, std::uint32_t size, const void* source, std::uint32_t& result)
{
    CFSUIPCLock lock;
    ClientState& state = State();
    if (!state.view)
        return Fail(FSUIPCResult::NotOpen, result);
    if (!HasRoom(state, kWriteHeader, size))
        return Fail(FSUIPCResult::NoRoom, result);

    std::uint8_t* record = state.view + state.next;
    PutWord(record, kWriteId);
    PutWord(record + 4, offset);
    PutWord(record + 8, size);
    if (source && size > 0)
        std::memcpy(record + kWriteHeader, source, size);
    else
        std::memset(record + kWriteHeader, 0, size);
    state.next += kWriteHeader + size;
    result = FSUIPCResult::Ok;
    return true;
}

bool FSUIPC_Process(std::uint32_t& result)
{
    CFSUIPCLock lock;
    ClientState& state = State();
    if (!state.view)
        return Fail(FSUIPCResult::NotOpen, result);
    if (state.next == 0)
        return Fail(FSUIPCResult::NothingQueued, result);

    PutWord(state.view + state.next, 0);
    state.next = 0;
    std::vector<QueuedRead> reads;
    reads.swap(state.reads);

    std::uintptr_t reply = 0;
    bool sent = false;
    for (int attempt = 0; attempt < kSendAttempts && !sent; ++attempt) {
        sent = state.transport->SendMessageTimeout(state.window, state.message, state.atom, 0, kSendTimeoutMs, reply);
        if (!sent)
            platform::SleepMs(kSendPauseMs);
    }
    if (!sent)
        return Fail(state.transport->LastError() != 0 ? FSUIPCResult::SendFailed : FSUIPCResult::TimedOut, result);
    if (reply != 1)
        return Fail(FSUIPCResult::BadData, result);

    DeliverAnswers(state.view, reads);
    result = FSUIPCResult::Ok;
    return true;
}

void FSUIPC_Close()
{
    CFSUIPCLock lock;
    ClientState& state = State();
    state.window = 0;
    state.message = 0;
    if (state.transport) {
        if (state.atom)
            state.transport->DeleteGlobalAtom(state.atom);
        if (state.view)
            state.transport->UnmapView(state.view);
        if (state.mapping)
            state.transport->CloseMapping(state.mapping);
    }
    state.atom = 0;
    state.view = nullptr;
    state.mapping = 0;
    state.next = 0;
    state.reads.clear();
}

std::uint32_t FSUIPC_GetVersionWord()
{
    CFSUIPCLock lock;
    return State().fsuipcVersion;
}

std::uint32_t FSUIPC_GetSimulatorWord()
{
    CFSUIPCLock lock;
    return State().fsVersion;
}

} // namespace aviation::IPC
