// Fixture of the main window tests: an empty working directory and program folder, the loopback weather server
// and the bridge peer (FSX) in-process with the settings pointed at them, and the window as the program builds
// it. Automatic connect and download are off unless a test switches them on before Window().
#pragma once

#include "app/aerovane_pro.h"
#include "generation/prompter.h"
#include "platform/programfolder.h"
#include "settings/serveraddresses.h"
#include "settings/settings.h"
#include "tools/bridge-peer/bridgepeer.h"
#include "tools/wx-server/wxserver.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

// Answers every message box of the start-up at once.
class AnsweringPrompter : public CPrompter
{
public:
    PromptAnswer Ask(const PromptRequest& request) override
    {
        return request.kind == PromptKind::Question ? PromptAnswer::No : PromptAnswer::Ok;
    }
};

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(m_workDir.path());
        platform::SetProgramFolderForTesting(m_programDir.path());
        ASSERT_TRUE(server.Listen());
        ASSERT_TRUE(peer.Start());
        ServerAddresses addresses = ServerAddresses::BuiltIn();
        addresses.serverUrlDE = server.BaseUrl();
        addresses.serverUrlUS = server.BaseUrl();
        m_addresses = std::make_unique<ScopedServerAddresses>(addresses);
        CSettings::SetInterfaceType(4);
        CSettings::SetServerPort(QString::number(peer.GetPort()));
        CSettings::SetAutoConnectFS(false);
        CSettings::SetDownloadWX(false);
        CSettings::SetPauseBetweenWXStation(0);
        CSettings::SetShowTipDialog(false);
    }

    void TearDown() override
    {
        m_window.reset();
        peer.Stop();
        m_addresses.reset();
        CSettings::Release();
        CSettings::SetFSVersion(0);
        platform::SetProgramFolderForTesting(QString());
        QDir::setCurrent(m_previousDir);
    }

    template<typename W = Aerovane_Pro> W& Window()
    {
        if (!m_window)
            m_window = std::make_unique<W>();
        return static_cast<W&>(*m_window);
    }

    QString ProgramFile(const QString& name) const { return m_programDir.filePath(name); }
    QString ProgramFolderPath() const { return m_programDir.path(); }

    QString LogText() const
    {
        QFile file(ProgramFile(QStringLiteral("logs/aerovane.log")));
        file.open(QIODevice::ReadOnly);
        return QString::fromUtf8(file.readAll());
    }

    tools::WxServer server{QStringLiteral(AEROVANE_WXSERVER_DATA)};
    tools::CBridgePeer peer;

private:
    AnsweringPrompter m_prompter;
    ScopedPrompter m_scopedPrompter{m_prompter};
    QString m_previousDir;
    QTemporaryDir m_workDir;
    QTemporaryDir m_programDir;
    std::unique_ptr<ScopedServerAddresses> m_addresses;
    std::unique_ptr<Aerovane_Pro> m_window;
};
