#include "simlink/fsuipctransport.h"

#include "simlink/fsuipcclient.h"
#include "simlink/fsuipcsimulator.h"

#include <atomic>

namespace aviation::IPC {

namespace {

std::atomic<CFSUIPCTransport*> g_installed{nullptr};

CFSUIPCTransport& ProgramTransport()
{
    static CFSUIPCSimulator simulator(CFSUIPCSimulator::KindFromEnvironment());
    return simulator;
}

} // namespace

CFSUIPCTransport::~CFSUIPCTransport() = default;

CFSUIPCTransport& GetFSUIPCTransport()
{
    CFSUIPCTransport* installed = g_installed.load();
    return installed ? *installed : ProgramTransport();
}

CFSUIPCTransport* SetFSUIPCTransport(CFSUIPCTransport* transport)
{
    return g_installed.exchange(transport);
}

CScopedFSUIPCTransport::CScopedFSUIPCTransport(CFSUIPCTransport& transport)
{
    FSUIPC_Close();
    m_previous = SetFSUIPCTransport(&transport);
}

CScopedFSUIPCTransport::~CScopedFSUIPCTransport()
{
    FSUIPC_Close();
    SetFSUIPCTransport(m_previous);
}

} // namespace aviation::IPC
