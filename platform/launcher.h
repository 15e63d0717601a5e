#pragma once

// Hands a file, folder, program or web address to the desktop, which opens it with the program registered
// for it. The result follows the shell's convention: above 32 the target was handed over, 32 or less is a
// failure code. Tests install a launcher of their own that records the calls.

#include <QString>

namespace platform {

class CLauncher
{
public:
    // The results of the desktop launcher: handed over, or no program could take the target.
    static constexpr int kOpened = 42;
    static constexpr int kNoAssociation = 31;

    virtual ~CLauncher() = default;
    // operation: empty for the target's default action, "open" to open it (a folder is shown).
    virtual int Open(const QString& operation, const QString& target) = 0;
};

// The installed launcher: the desktop's unless a test installed another one.
CLauncher& Launcher();
// Installs a launcher (not owned); null restores the desktop's. Returns the previous one (null for the desktop's).
CLauncher* InstallLauncher(CLauncher* launcher);

// Installs a launcher for its lifetime.
class ScopedLauncher
{
public:
    explicit ScopedLauncher(CLauncher& launcher)
        : m_previous(InstallLauncher(&launcher))
    {
    }
    ~ScopedLauncher() { InstallLauncher(m_previous); }
    ScopedLauncher(const ScopedLauncher&) = delete;
    ScopedLauncher& operator=(const ScopedLauncher&) = delete;

private:
    CLauncher* m_previous;
};

} // namespace platform
