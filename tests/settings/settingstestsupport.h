// Test support for the settings store: an empty temporary working directory per test, loopback download
// addresses, and a capture of the Qt debug channel on which the store announces its file.
#pragma once

#include "settings/settings.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <QtGlobal>
#include <gtest/gtest.h>

#include <memory>

// Collects the Qt debug messages of every thread while it lives.
class ScopedQtMessageCapture
{
public:
    ScopedQtMessageCapture();
    ~ScopedQtMessageCapture();
    ScopedQtMessageCapture(const ScopedQtMessageCapture&) = delete;
    ScopedQtMessageCapture& operator=(const ScopedQtMessageCapture&) = delete;

    QStringList Messages() const;

private:
    QtMessageHandler m_previous;
};

ServerAddresses LoopbackAddresses();

// A sound record's effect starts Qt Multimedia's loader and audio threads inside libraries that are not built
// for ThreadSanitizer, whose reports about their internal locking would not be about this program.
#if defined(__SANITIZE_THREAD__)
constexpr bool kThreadSanitizer = true;
#else
constexpr bool kThreadSanitizer = false;
#endif
#define SKIP_SOUND_EFFECTS_UNDER_THREAD_SANITIZER()                                                                    \
    if (kThreadSanitizer)                                                                                              \
    GTEST_SKIP() << "sound effects run threads ThreadSanitizer cannot follow; the other builds test them"

// Each test starts with no settings object and an empty working directory, and leaves the store as it found
// it: released, the in-memory values at their start values.
class SettingsTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    QString IniPath() const { return QDir::current().absoluteFilePath(QStringLiteral("aerovane_pro.ini")); }
    QStringList FilesInWorkingDir() const
    {
        return QDir::current().entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    // Every key of the INI file as "group/name", spelled as in the file.
    QStringList KeysInIniFile() const;
    void WriteIniText(const QByteArray& text) const;
    // Releases the store and continues, like the next run of the program, on a copy of the file in a new
    // working directory, so that the file is read from disk again.
    void SimulateRestart();

    QTemporaryDir m_dir;

private:
    QString m_previousDir;
    QTemporaryDir m_restartDir;
    std::unique_ptr<ScopedServerAddresses> m_addresses;
};
