// The operating-system calls the FSUIPC client needs to reach FSUIPC: its window, a registered window message,
// a global atom naming the request block, a named shared mapping holding the block, and one blocking message
// with a time-out. The program links the simulated FSUIPC (CFSUIPCSimulator) behind this interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace aviation::IPC {

using WindowHandle = std::uintptr_t;
using MappingHandle = std::uintptr_t;

class CFSUIPCTransport
{
public:
    virtual ~CFSUIPCTransport();

    // The top-level window of that class, 0 when there is none.
    virtual WindowHandle FindWindow(const std::string& className) = 0;
    // The message number registered for the name, 0 on failure.
    virtual std::uint32_t RegisterWindowMessage(const std::string& name) = 0;
    // The atom number of the name, 0 on failure.
    virtual std::uint16_t AddGlobalAtom(const std::string& name) = 0;
    virtual void DeleteGlobalAtom(std::uint16_t atom) = 0;
    // A read-write shared mapping of `size` bytes under the name, 0 on failure. `existed` reports that a mapping
    // of that name was there already; the handle is valid then and must be closed.
    virtual MappingHandle CreateMapping(const std::string& name, std::size_t size, bool& existed) = 0;
    virtual void CloseMapping(MappingHandle mapping) = 0;
    // A writable view of the whole mapping, nullptr on failure.
    virtual std::uint8_t* MapView(MappingHandle mapping) = 0;
    virtual void UnmapView(std::uint8_t* view) = 0;
    // Delivers the message and waits for the window's reply for at most timeoutMs. False when the message timed
    // out or could not be sent; LastError then tells which (0 for a plain time-out).
    virtual bool SendMessageTimeout(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam, unsigned timeoutMs, std::uintptr_t& reply)
        = 0;
    virtual std::uint32_t LastError() = 0;
    virtual std::uint32_t ProcessId() = 0;
};

// The transport the FSUIPC client opens with: the one installed last, or else the program's simulated FSUIPC,
// which runs a simulator only when the environment variable AEROVANE_SIM names one ("fs9", "fsx", "p3d").
CFSUIPCTransport& GetFSUIPCTransport();
// Installs a transport for later opens (nullptr brings back the program's own); returns the one installed before.
CFSUIPCTransport* SetFSUIPCTransport(CFSUIPCTransport* transport);

// Installs a transport while it lives. The FSUIPC client is closed on entry and on exit, so no open link is
// left on a transport that goes away.
class CScopedFSUIPCTransport
{
public:
    explicit CScopedFSUIPCTransport(CFSUIPCTransport& transport);
    ~CScopedFSUIPCTransport();
    CScopedFSUIPCTransport(const CScopedFSUIPCTransport&) = delete;
    CScopedFSUIPCTransport& operator=(const CScopedFSUIPCTransport&) = delete;

private:
    CFSUIPCTransport* m_previous;
};

} // namespace aviation::IPC
