// Fixture of the options dialog tests: an empty working directory for the settings file, a prompter that answers
// every box and chooser, and a few readers of the file as it lies on disk.
#pragma once

#include "dialogs/dialogoption.h"
#include "settings/settings.h"
#include "tests/generation/recordingprompter.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

class OptionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_workDir.isValid());
        CSettings::Release();
        m_previousDir = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_workDir.path()));
    }

    void TearDown() override
    {
        m_dialog.reset();
        CSettings::Release();
        QDir::setCurrent(m_previousDir);
    }

    // The dialog as the window builds it, over the settings as they stand now.
    DialogOption& Dialog()
    {
        if (!m_dialog)
            m_dialog = std::make_unique<DialogOption>();
        return *m_dialog;
    }

    template<typename W> W* Widget(const char* name) const
    {
        W* widget = m_dialog->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    QString IniPath() const { return m_workDir.filePath(QStringLiteral("aerovane_pro.ini")); }

    // Writes the keys straight into the file (keys of "general/" the way Qt's INI format keeps them).
    void WriteIni(const std::vector<std::pair<QString, QVariant>>& values) const
    {
        QSettings file(IniPath(), QSettings::IniFormat);
        for (const auto& [key, value] : values)
            file.setValue(FileKey(key), value);
    }

    // A key's text in the file after the store has written its changes.
    QString StoredText(const QString& key)
    {
        CSettings::Release();
        return QSettings(IniPath(), QSettings::IniFormat).value(FileKey(key)).toString();
    }

    QByteArray IniBytes() const
    {
        QFile file(IniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QString FileKey(const QString& key)
    {
        return key.startsWith(QLatin1String("general/")) ? QStringLiteral("General/") + key.mid(8) : key;
    }

    QTemporaryDir m_workDir;
    RecordingPrompter prompter;
    ScopedPrompter scopedPrompter{prompter};

private:
    QString m_previousDir;
    std::unique_ptr<DialogOption> m_dialog;
};
