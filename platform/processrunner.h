#pragma once

// Runs an external program to its end and hands back its exit code, blocking the caller meanwhile. Tests install
// a runner of their own that records the command lines and answers with a chosen exit code.

#include <QString>
#include <QStringList>

namespace platform {

class CProcessRunner
{
public:
    // The exit code of a program that could not be started, crashed or ran out of time.
    static constexpr int kFailed = -1;

    virtual ~CProcessRunner() = default;
    // Starts the program with the arguments and waits at most timeoutMs for it to end.
    virtual int Run(const QString& program, const QStringList& arguments, int timeoutMs) = 0;
};

// The installed runner: the operating system's processes unless a test installed another one.
CProcessRunner& ProcessRunner();
// Installs a runner (not owned); null restores the system's. Returns the previous one (null for the system's).
CProcessRunner* InstallProcessRunner(CProcessRunner* runner);

// Installs a runner for its lifetime.
class ScopedProcessRunner
{
public:
    explicit ScopedProcessRunner(CProcessRunner& runner)
        : m_previous(InstallProcessRunner(&runner))
    {
    }
    ~ScopedProcessRunner() { InstallProcessRunner(m_previous); }
    ScopedProcessRunner(const ScopedProcessRunner&) = delete;
    ScopedProcessRunner& operator=(const ScopedProcessRunner&) = delete;

private:
    CProcessRunner* m_previous;
};

} // namespace platform
