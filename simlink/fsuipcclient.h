// Client side of the FSUIPC exchange. Reads and writes of FSUIPC offsets are queued as records in a 32 KiB
// shared block, sent to FSUIPC's window in one message, and the answers of the reads copied out when it returns:
//     FSUIPC_Read(0x02B8, 4, &tas, result); FSUIPC_Read(0x0580, 4, &heading, result); FSUIPC_Process(result);
// There is one link per process. Every call takes the process-wide FSUIPC_Mutex; a caller whose queue and
// Process belong together holds it across them (see CFSUIPCLock).
#pragma once

#include <cstdint>
#include <mutex>

namespace aviation::IPC {

namespace FSUIPCResult {
constexpr std::uint32_t Ok = 0;
constexpr std::uint32_t AlreadyOpen = 1;
constexpr std::uint32_t NoWindow = 2;
constexpr std::uint32_t NoMessage = 3;
constexpr std::uint32_t NoAtom = 4;
constexpr std::uint32_t NoMapping = 5;
constexpr std::uint32_t NoView = 6;
constexpr std::uint32_t WrongVersion = 7;
constexpr std::uint32_t WrongSimulator = 8;
constexpr std::uint32_t NotOpen = 9;
constexpr std::uint32_t NothingQueued = 10;
constexpr std::uint32_t TimedOut = 11;
constexpr std::uint32_t SendFailed = 12;
constexpr std::uint32_t BadData = 13;
constexpr std::uint32_t WrongVersionOldWindow = 14;
constexpr std::uint32_t NoRoom = 15;
} // namespace FSUIPCResult

// Size of the shared block, and the part of it that queued records and their terminating zero word may fill.
constexpr std::uint32_t kFSUIPCBlockSize = 32768;
constexpr std::uint32_t kFSUIPCRequestRoom = 32512;
// This client's library version, told to FSUIPC at open.
constexpr std::uint16_t kFSUIPCLibraryVersion = 2002;

// Opens the link; requiredSimulator 0 accepts any simulator, otherwise FSUIPC's simulator number must match.
bool FSUIPC_Open(std::uint32_t requiredSimulator, std::uint32_t& result);
// Queues a read; `destination` receives `size` bytes when the Process of this pass succeeds.
bool FSUIPC_Read(std::uint32_t offset, std::uint32_t size, void* destination, std::uint32_t& result);
// Queues a write; the data is copied into the block at once.
bool FSUIPC_Write(std::uint32_t offset, std::uint32_t size, const void* source, std::uint32_t& result);
// Sends the queue and delivers the answers of its reads. The queue is empty afterwards, whatever the result.
bool FSUIPC_Process(std::uint32_t& result);
void FSUIPC_Close();

// FSUIPC's version word and the simulator word of the last open; after a successful open the simulator word
// holds only the simulator number. Both stay as they were when the link closes.
std::uint32_t FSUIPC_GetVersionWord();
std::uint32_t FSUIPC_GetSimulatorWord();

std::recursive_mutex& FSUIPC_Mutex();

// Holds the client for one queue-and-process operation, so that calls from another thread cannot slip
// requests into the queue in between.
class CFSUIPCLock
{
public:
    CFSUIPCLock()
        : m_lock(FSUIPC_Mutex())
    {
    }

private:
    std::lock_guard<std::recursive_mutex> m_lock;
};

} // namespace aviation::IPC
