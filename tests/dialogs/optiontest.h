// Options dialog fixture: empty working and program folders (the settings file lies in the first), a prompter that
// answers every box and chooser, and readers of the settings file as it lies on disk.
#pragma once

#include "dialogs/dialogoption.h"
#include "settings/settings.h"
#include "tests/app/scopedappfolders.h"
#include "tests/generation/recordingprompter.h"

#include <QFile>
#include <QSettings>
#include <gtest/gtest.h>

#include <memory>

class OptionTest : public ::testing::Test
{
protected:
    // The dialog as the window builds it, over the settings as they stand when first asked for.
    DialogOption& Dialog()
    {
        if (!m_dialog)
            m_dialog = std::make_unique<DialogOption>();
        return *m_dialog;
    }
    template<typename W> W* Widget(const char* name)
    {
        W* widget = Dialog().findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    static QString IniPath() { return QDir::current().filePath(QStringLiteral("aerovane_pro.ini")); }
    // Writes the keys straight into the file (keys of "general/" the way Qt's INI format keeps them).
    static void WriteIni(const std::vector<std::pair<QString, QVariant>>& values)
    {
        QSettings file(IniPath(), QSettings::IniFormat);
        for (const auto& [key, value] : values)
            file.setValue(FileKey(key), value);
    }
    // A key's text in the file after the store has written its changes.
    static QString StoredText(const QString& key)
    {
        CSettings::Release();
        return QSettings(IniPath(), QSettings::IniFormat).value(FileKey(key)).toString();
    }
    static QByteArray IniBytes()
    {
        QFile file(IniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QString FileKey(const QString& key)
    {
        return key.startsWith(QLatin1String("general/")) ? QStringLiteral("General/") + key.mid(8) : key;
    }

    ScopedAppFolders folders;
    RecordingPrompter prompter;
    ScopedPrompter scopedPrompter{prompter};
    std::unique_ptr<DialogOption> m_dialog;
};
