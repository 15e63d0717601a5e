#include "platform/processrunner.h"

#include <QProcess>

namespace platform {

namespace {

class CSystemProcessRunner : public CProcessRunner
{
public:
    int Run(const QString& program, const QStringList& arguments, int timeoutMs) override
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        if (!process.waitForStarted(timeoutMs))
            return kFailed;
        if (!process.waitForFinished(timeoutMs)) {
            process.kill();
            process.waitForFinished();
            return kFailed;
        }
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : kFailed;
    }
};

CProcessRunner* g_installed = nullptr;

} // namespace

CProcessRunner& ProcessRunner()
{
    static CSystemProcessRunner system;
    return g_installed ? *g_installed : system;
}

CProcessRunner* InstallProcessRunner(CProcessRunner* runner)
{
    CProcessRunner* previous = g_installed;
    g_installed = runner;
    return previous;
}

} // namespace platform
